// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKDISCOVERY_P_H
#define ZVR_NETWORKDISCOVERY_P_H

// Not part of the library's API.

#include "onvifmessages_p.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QObject>
#include <QStringList>

class QUdpSocket;

/*! \brief WS-Discovery probes and their answers: sends a Probe for tds:Device (by
 *  multicast on one interface, or to one address and port) and passes on the matches
 *  that answer one of its recent probes. Everything else is dropped with a log line.
 */
class NetworkDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit NetworkDiscovery(QObject *parent = nullptr);
    ~NetworkDiscovery() override;

    bool setInterface(const QString &name, QString *error);
    void setDirected(const QHostAddress &address, quint16 port);
    bool hasTarget() const;
    //! Sends a probe with a fresh MessageID; false with the reason when it cannot be sent.
    bool probe(QString *error);

Q_SIGNALS:
    void matched(const Onvif::ProbeMatch &match);

private:
    bool ensureSocket(QString *error);
    void readDatagrams();
    //! Logs a dropped datagram, at most so many lines a second.
    void dropped(const QString &line);
    //! Whether this second's drop lines are said; counts the rest when a new second begins.
    bool dropLinesSpent();
    bool namesOurProbe(const QByteArray &data) const;

    QUdpSocket *m_socket = nullptr;
    QNetworkInterface m_interface;
    QHostAddress m_address;
    quint16 m_port = 0;
    //! The last probes' MessageIDs, newest last: late answers to them still count.
    QStringList m_probes;
    QElapsedTimer m_dropWindow;
    int m_dropLines = 0;
    int m_dropsUnsaid = 0;
};

#endif // ZVR_NETWORKDISCOVERY_P_H
