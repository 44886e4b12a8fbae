// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_HOSTILEHTTP_H
#define ZVR_HOSTILEHTTP_H

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <array>
#include <functional>

class QTcpSocket;

/*! \brief A device service that never helps: the answer a path asks for, at its worst.
 *
 *  "/drip/..." answers one byte a second, "/endless/..." a body that never ends,
 *  "/bomb/..." entity expansion and deep nesting, "/huge/..." a body far over any
 *  reader's limit, "/impostor/N/..." well-formed device-service answers that claim
 *  device N's MACs with other values. At most MaxConnections are kept; the oldest goes.
 */
class HostileHttp : public QObject
{
    Q_OBJECT

public:
    enum Mode { Drip, Endless, Bomb, Huge, Impostor, ModeCount };

    //! Device \a index's MACs as its real answers carry them, in port order.
    using MacsOf = std::function<QStringList(int index)>;

    HostileHttp(const MacsOf &macsOf, QObject *parent = nullptr);
    ~HostileHttp() override;

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    //! The service URL of \a mode, for device \a index where the mode names one.
    QString url(Mode mode, int index) const;
    static const char *modeName(int mode);

    struct Totals
    {
        std::array<qint64, ModeCount> connections {};
        qint64 requests = 0;
        qint64 bytesSent = 0;
        int mostOpen = 0;
        int closedAsOldest = 0;
    };
    Totals totals() const { return m_totals; }

private:
    struct Connection
    {
        QByteArray request;
        Mode mode = Drip;
        QByteArray pending; // what drip has still to send
        qint64 serial = 0;
        bool answered = false;
    };

    void accept();
    void readFrom(QTcpSocket *socket);
    void answer(QTcpSocket *socket, Connection &connection, const QByteArray &path, const QByteArray &body);
    void send(QTcpSocket *socket, const QByteArray &data);
    void dripTick();
    void refill(QTcpSocket *socket);
    QByteArray impostorAnswer(int index, const QByteArray &body) const;

    MacsOf m_macsOf;
    QTcpServer m_server;
    QHash<QTcpSocket *, Connection> m_connections;
    QTimer m_drip;
    qint64 m_nextSerial = 0;
    Totals m_totals;
};

//! An XML document whose entities expand a billion-fold, as an answer's body or a datagram.
QByteArray billionLaughs(const QByteArray &inside);
//! Elements nested \a depth deep.
QByteArray deepNesting(int depth);

#endif // ZVR_HOSTILEHTTP_H
