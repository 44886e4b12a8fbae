// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICESERVICE_H
#define ZVR_DEVICESERVICE_H

#include "wsmessage.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QQueue>
#include <QTcpServer>
#include <QTimer>

class EmulatedNetwork;
class QTcpSocket;

//! The administrator's credentials and the nonces already used on writes.
class Credentials
{
public:
    Credentials(const QString &user, const QString &password);

    /*! Checks a UsernameToken with a password digest against the administrator; on a
     *  write also refuses a nonce seen on a write within the window. Gives the refusal,
     *  or an empty text.
     */
    QString check(const SoapMessage &message, bool write, const QDateTime &now);
    static QByteArray digest(const QByteArray &nonce, const QString &created, const QString &password);

private:
    QString m_user;
    QString m_password;
    QHash<QByteArray, qint64> m_nonces;
    QQueue<QPair<qint64, QByteArray>> m_nonceOrder;
};

/*! \brief The ONVIF device service of every emulated device, over one listening socket.
 *
 *  A connection belongs to the device whose address it reached. Requests are HTTP/1.1
 *  POSTs of SOAP 1.2 envelopes; changes go through the model and are answered when it
 *  answers (not at all when it says the device did not).
 */
class DeviceService : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString user = QStringLiteral("admin");
        QString password = QStringLiteral("admin");
        bool readsNeedUser = false;
        bool verbose = false;
        int headerTimeout = 10000;
        int idleTimeout = 30000;
    };

    DeviceService(EmulatedNetwork *network, const Options &options, QObject *parent = nullptr);
    ~DeviceService() override;

    bool start(quint16 port, QString *error);
    quint16 port() const;

private:
    struct Connection;

    void accept();
    void readFrom(Connection *connection);
    void serve(Connection *connection, const QByteArray &body);
    QString answer(Connection *connection, const SoapMessage &message, int *status);
    QString changeAnswer(Connection *connection, const SoapMessage &message, int *status);
    void reply(Connection *connection, int status, const QString &envelope, bool close = false);
    void changeAnswered(int requestId, int result);
    void sweep();
    // Makes room for a new connection: false when none is idle.
    bool dropIdlest();
    void drop(Connection *connection, const QString &why);
    void log(const QString &line) const;

    EmulatedNetwork *const m_network;
    const Options m_options;
    Credentials m_credentials;
    QTcpServer m_server;
    QHash<QTcpSocket *, Connection *> m_connections;
    QHash<int, Connection *> m_changes;
    QTimer m_sweep;
};

#endif // ZVR_DEVICESERVICE_H
