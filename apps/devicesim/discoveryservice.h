// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DISCOVERYSERVICE_H
#define ZVR_DISCOVERYSERVICE_H

#include "wsmessage.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QObject>
#include <QQueue>
#include <QTimer>
#include <QUdpSocket>

#include <memory>
#include <vector>

class EmulatedNetwork;

/*! \brief The devices' WS-Discovery side.
 *
 *  Answers Probe with one ProbeMatches per matching device, unicast to the prober, in
 *  slices so that thousands of answers never hold the event loop; sends Hello when a
 *  device takes a new address and Bye for every device on shutdown(), by multicast on
 *  the interfaces given.
 */
class DiscoveryService : public QObject
{
    Q_OBJECT

public:
    DiscoveryService(EmulatedNetwork *network, bool verbose, QObject *parent = nullptr);
    ~DiscoveryService() override;

    //! Listens for directed probes on \a probePort and joins the group on \a interfaces.
    bool start(quint16 probePort, const QList<QNetworkInterface> &interfaces, QString *error);
    //! Sends Hello and Bye to \a address, \a port as well, a listener without multicast; before start().
    void announceTo(const QHostAddress &address, quint16 port);
    //! The UDP port directed probes reach.
    quint16 probePort() const;
    //! Sends Bye for every answering device, then finished().
    void shutdown();
    //! Builds the ProbeMatches of device \a index for a probe with message id \a relatesTo.
    QByteArray probeMatches(int index, const QString &relatesTo);

Q_SIGNALS:
    void finished();
    //! Every device that answers has said Hello since start().
    void announced();

private:
    struct Probe
    {
        QHostAddress sender;
        quint16 port = 0;
        QString messageId;
        QVector<QualifiedName> types;
        QStringList scopes;
        int next = 0;
        bool multicast = false;
        QElapsedTimer since; // when it came
    };

    void readDatagrams(QUdpSocket *socket);
    void handle(const QByteArray &data, const QHostAddress &sender, quint16 port, bool multicast);
    //! The devices whose answer to \a probe is due by now, in device order.
    void announcedAll();
    int dueDevices(const Probe &probe) const;
    bool matches(int index, const Probe &probe) const;
    void answerSlice();
    void announce(int index, bool bye);
    bool announces() const;
    void send(QUdpSocket *socket, const QByteArray &data, int index, const QHostAddress &to, quint16 port);
    QByteArray envelope(
        const QString &action, const QString &relatesTo, const QString &to, const QString &body);
    void log(const QString &line) const;

    EmulatedNetwork *const m_network;
    const bool m_verbose;
    std::vector<std::unique_ptr<QUdpSocket>> m_sockets;
    QList<QNetworkInterface> m_interfaces;
    QHostAddress m_announceAddress;
    quint16 m_announcePort = 0;
    QQueue<Probe> m_probes;
    QQueue<int> m_announcements;
    QTimer m_slices;
    bool m_shuttingDown = false;
    int m_byeNext = -1;
    quint64 m_messageNumber = 0;
    const qint64 m_instanceId;
    const QByteArray m_ownMark;
    bool m_startupAnnounced = false;
};

#endif // ZVR_DISCOVERYSERVICE_H
