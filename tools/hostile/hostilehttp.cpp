// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "hostilehttp.h"

#include <QTcpSocket>

namespace {

constexpr int MaxConnections = 512;
constexpr int MaxRequest = 16384;
constexpr qint64 EndlessQueue = 256 * 1024;
constexpr int HugeBytes = 8 * 1024 * 1024;
const char *const ModeNames[] = { "drip", "endless", "bomb", "huge", "impostor" };

QByteArray head(qint64 length)
{
    QByteArray text
        = QByteArrayLiteral("HTTP/1.1 200 OK\r\nContent-Type: application/soap+xml; charset=utf-8\r\n");
    if (length >= 0) {
        text
            += QByteArrayLiteral("Content-Length: ") + QByteArray::number(length) + QByteArrayLiteral("\r\n");
    } else {
        text += QByteArrayLiteral("Connection: close\r\n");
    }
    return text + QByteArrayLiteral("\r\n");
}

QByteArray element(const QByteArray &name, const QByteArray &value)
{
    return '<' + name + '>' + value + "</" + name + '>';
}

QByteArray envelope(const QByteArray &body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                             "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
                             " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\""
                             " xmlns:tt=\"http://www.onvif.org/ver10/schema\"><env:Body>")
        + body + QByteArrayLiteral("</env:Body></env:Envelope>");
}

// A value that no emulated device holds, and an address that stays on this host.
QByteArray claimedAddress(int index)
{
    return "127.250." + QByteArray::number((index >> 8) & 0xFF) + '.' + QByteArray::number(index & 0xFF);
}

} // namespace

QByteArray billionLaughs(const QByteArray &inside)
{
    QByteArray dtd = QByteArrayLiteral("<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">");
    QByteArray previous = "lol";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray name = "lol" + QByteArray::number(level);
        dtd += "<!ENTITY " + name + " \"" + QByteArray("&" + previous + ";").repeated(10) + "\">";
        previous = name;
    }
    dtd += QByteArrayLiteral("<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>");
    QByteArray body = inside;
    body.replace("@LAUGHS@", QByteArray("&" + previous + ";&xxe;"));
    return dtd + body;
}

QByteArray deepNesting(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

HostileHttp::HostileHttp(const MacsOf &macsOf, QObject *parent)
    : QObject(parent)
    , m_macsOf(macsOf)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HostileHttp::accept);
    m_drip.setInterval(1000);
    connect(&m_drip, &QTimer::timeout, this, &HostileHttp::dripTick);
}

HostileHttp::~HostileHttp()
{
    // The sockets are the server's children: let them go before the books they report to.
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        disconnect(it.key(), nullptr, this, nullptr);
    }
    m_connections.clear();
}

bool HostileHttp::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (!m_server.listen(address, port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(m_server.errorString());
        return false;
    }
    m_server.setMaxPendingConnections(256);
    m_drip.start();
    return true;
}

const char *HostileHttp::modeName(int mode)
{
    return mode >= 0 && mode < ModeCount ? ModeNames[mode] : "?";
}

QString HostileHttp::url(Mode mode, int index) const
{
    QString path = QLatin1Char('/') + QLatin1String(modeName(mode));
    if (mode == Impostor) {
        path += QLatin1Char('/') + QString::number(index);
    }
    return QStringLiteral("http://%1:%2%3/onvif/device_service")
        .arg(m_server.serverAddress().toString())
        .arg(m_server.serverPort())
        .arg(path);
}

void HostileHttp::accept()
{
    while (QTcpSocket *const socket = m_server.nextPendingConnection()) {
        if (m_connections.size() >= MaxConnections) {
            // The oldest goes, so that a reader that never closes cannot fill us up.
            auto oldest = m_connections.begin();
            for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
                if (it->serial < oldest->serial) {
                    oldest = it;
                }
            }
            QTcpSocket *const victim = oldest.key();
            m_connections.erase(oldest);
            victim->abort();
            victim->deleteLater();
            ++m_totals.closedAsOldest;
        }
        Connection connection;
        connection.serial = m_nextSerial++;
        m_connections.insert(socket, connection);
        m_totals.mostOpen = qMax(m_totals.mostOpen, int(m_connections.size()));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { refill(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void HostileHttp::readFrom(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end()) {
        return;
    }
    Connection &connection = found.value();
    connection.request += socket->readAll();
    if (connection.answered) {
        connection.request.clear();
        return;
    }
    const int end = connection.request.indexOf("\r\n\r\n");
    if (end < 0) {
        if (connection.request.size() > MaxRequest) {
            socket->abort();
        }
        return;
    }
    // Wait for the body only as long as it fits; its operation names the answer.
    const QByteArray header = connection.request.left(end).toLower();
    const int at = header.indexOf("content-length:");
    const int length = at < 0 ? 0 : header.mid(at + 15, header.indexOf('\r', at) - at - 15).trimmed().toInt();
    if (connection.request.size() < end + 4 + qMin(length, MaxRequest)) {
        return;
    }
    const QList<QByteArray> line = connection.request.left(connection.request.indexOf("\r\n")).split(' ');
    ++m_totals.requests;
    connection.answered = true;
    answer(socket, connection, line.value(1), connection.request.mid(end + 4));
    connection.request.clear();
}

void HostileHttp::answer(
    QTcpSocket *socket, Connection &connection, const QByteArray &path, const QByteArray &body)
{
    const QList<QByteArray> parts = path.split('/');
    const QByteArray name = parts.value(1);
    int mode = 0;
    while (mode < ModeCount && name != ModeNames[mode]) {
        ++mode;
    }
    connection.mode = Mode(mode == ModeCount ? Drip : mode);
    ++m_totals.connections[size_t(connection.mode)];
    switch (connection.mode) {
    case Drip: {
        const QByteArray answer = envelope(element(
            "tds:GetDeviceInformationResponse", element("tds:Model", QByteArray("slow").repeated(4000))));
        connection.pending = head(answer.size()) + answer;
        break;
    }
    case Endless:
        send(socket, head(-1) + envelope(QByteArray()).left(200));
        refill(socket);
        break;
    case Bomb: {
        const QByteArray answer = billionLaughs(envelope(element(
            "tds:GetDeviceInformationResponse", element("tds:Model", "@LAUGHS@") + deepNesting(20000))));
        send(socket, head(answer.size()) + answer);
        break;
    }
    case Huge: {
        QByteArray answer = envelope(
            element("tds:GetDeviceInformationResponse", element("tds:Model", QByteArray(HugeBytes, 'x'))));
        send(socket, head(answer.size()) + answer);
        break;
    }
    case Impostor: {
        const QByteArray answer = impostorAnswer(parts.value(2).toInt(), body);
        send(socket, head(answer.size()) + answer);
        connection.answered = false; // keep-alive: the next read may follow
        break;
    }
    case ModeCount:
        break;
    }
}

QByteArray HostileHttp::impostorAnswer(int index, const QByteArray &body) const
{
    const QByteArray address = claimedAddress(index);
    const QStringList macs = m_macsOf(index);
    QByteArray answer;
    if (body.contains("GetDeviceInformation")) {
        answer = element("tds:GetDeviceInformationResponse",
            element("tds:Manufacturer", "ZVR") + element("tds:Model", "HOSTILE-MODEL")
                + element("tds:FirmwareVersion", "0.0.0-hostile")
                + element("tds:SerialNumber", "HOSTILE-SN-" + QByteArray::number(index))
                + element("tds:HardwareId", "HOSTILE"));
    } else if (body.contains("GetNetworkInterfaces")) {
        QByteArray interfaces;
        for (int port = 0; port < macs.size(); ++port) {
            interfaces += "<tds:NetworkInterfaces token=\"eth" + QByteArray::number(port) + "\">"
                + element("tt:Enabled", "true")
                + element("tt:Info",
                    element("tt:Name", "eth" + QByteArray::number(port))
                        + element("tt:HwAddress", macs.at(port).toLatin1()) + element("tt:MTU", "1500"))
                + element("tt:IPv4",
                    element("tt:Enabled", "true")
                        + element("tt:Config",
                            element("tt:Manual",
                                element("tt:Address",
                                    port == 0 ? address : "127.251.0." + QByteArray::number(port))
                                    + element("tt:PrefixLength", "8"))
                                + element("tt:DHCP", "false")))
                + "</tds:NetworkInterfaces>";
        }
        answer = element("tds:GetNetworkInterfacesResponse", interfaces);
    } else if (body.contains("GetNetworkDefaultGateway")) {
        answer = element("tds:GetNetworkDefaultGatewayResponse",
            element("tds:NetworkGateway", element("tt:IPv4Address", "127.250.0.1")));
    } else if (body.contains("GetScopes")) {
        QByteArray scopes;
        for (const QByteArray &scope :
            { QByteArray(QByteArray("onvif://www.onvif.org/name/hostile-") + QByteArray::number(index)),
                QByteArray("onvif://www.onvif.org/hardware/HOSTILE-MODEL"), QByteArray("zvr://node/central"),
                QByteArray("zvr://sub/none"), QByteArray("zvr://runmode/normal"), QByteArray("zvr://fault/3"),
                QByteArray("zvr://callroll/1") }) {
            scopes += element("tds:Scopes", element("tt:ScopeDef", "Fixed") + element("tt:ScopeItem", scope));
        }
        answer = element("tds:GetScopesResponse", scopes);
    } else if (body.contains("GetSystemDateAndTime")) {
        const QByteArray time
            = element(
                  "tt:Time", element("tt:Hour", "1") + element("tt:Minute", "2") + element("tt:Second", "3"))
            + element(
                "tt:Date", element("tt:Year", "1999") + element("tt:Month", "9") + element("tt:Day", "9"));
        answer = element("tds:GetSystemDateAndTimeResponse",
            element("tds:SystemDateAndTime",
                element("tt:DateTimeType", "Manual") + element("tt:DaylightSavings", "false")
                    + element("tt:UTCDateTime", time) + element("tt:LocalDateTime", time)));
    } else {
        // A change or anything else: success, so that a believing client would think it done.
        const int open = body.indexOf(":Set");
        const QByteArray operation
            = open < 0 ? QByteArray("Unknown") : body.mid(open + 1, body.indexOf(' ', open) - open - 1);
        answer = element("tds:" + operation.left(64) + "Response", element("tds:RebootNeeded", "false"));
    }
    return envelope(answer);
}

void HostileHttp::send(QTcpSocket *socket, const QByteArray &data)
{
    m_totals.bytesSent += socket->write(data);
}

void HostileHttp::refill(QTcpSocket *socket)
{
    const auto found = m_connections.constFind(socket);
    if (found == m_connections.constEnd() || found->mode != Endless || !found->answered) {
        return;
    }
    static const QByteArray Chunk = QByteArray("<tt:Filler>endless</tt:Filler>").repeated(512);
    while (socket->bytesToWrite() < EndlessQueue && socket->state() == QAbstractSocket::ConnectedState) {
        send(socket, Chunk);
    }
}

void HostileHttp::dripTick()
{
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (it->mode == Drip && it->answered && !it->pending.isEmpty()) {
            send(it.key(), it->pending.left(1));
            it->pending.remove(0, 1);
        }
    }
}
