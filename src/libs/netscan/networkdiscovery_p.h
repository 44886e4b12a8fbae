// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKDISCOVERY_P_H
#define ZVR_NETWORKDISCOVERY_P_H

// Not part of the library's API.

#include "onvifmessages_p.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMutex>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVector>

class QUdpSocket;

/*! \brief WS-Discovery probes and their answers: sends a Probe for tds:Device (by
 *  multicast on one interface, or to one address and port) and passes on the matches
 *  that answer one of its recent probes. Everything else is dropped with a log line.
 *
 *  The socket is read on a thread of its own, so that the answers of thousands of
 *  devices arriving at once are taken off the system's buffer while the caller's
 *  thread is busy; they are parsed on the caller's thread in bounded slices.
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
    //! Ends the socket's thread, the receiver and the socket with it.
    void stopReceiver();
    //! On the socket's thread: moves what the socket holds into the inbox.
    void receive();
    //! One slice of the inbox; queues the next while more wait.
    void readDatagrams();
    //! Logs a dropped datagram, at most so many lines a second.
    void dropped(const QString &line);
    //! Whether this second's drop lines are said; counts the rest when a new second begins.
    bool dropLinesSpent();
    bool namesOurProbe(const QByteArray &data) const;

    QThread m_thread;
    QObject *m_receiver = nullptr; // lives on m_thread, with the socket
    QUdpSocket *m_socket = nullptr;
    // Datagrams received and not yet read, bounded in bytes.
    QMutex m_inboxMutex;
    QVector<QNetworkDatagram> m_inbox;
    qint64 m_inboxBytes = 0;
    int m_inboxOverflow = 0;
    bool m_readQueued = false;
    QVector<QNetworkDatagram> m_reading; // taken from the inbox, read slice by slice
    int m_readAt = 0;
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
