// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "deviceservice.h"

#include "emulatednetwork.h"

#include <netscan/networkchange.h>

#include <QCryptographicHash>
#include <QTcpSocket>

namespace {

constexpr int MaxHeader = 8192;
constexpr int MaxBody = 65536;
constexpr int MaxConnections = 1024;
constexpr qint64 TokenWindow = 300; // seconds a UsernameToken stays valid either side of the clock
constexpr int MaxNonces = 200000;

const QString PasswordDigestType = QStringLiteral(
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-username-token-profile-1.0#PasswordDigest");

QString element(const QString &name, const QString &value)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + value + QStringLiteral("</") + name
        + QLatin1Char('>');
}

QString envelope(const QString &body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
                          " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\""
                          " xmlns:tt=\"http://www.onvif.org/ver10/schema\""
                          " xmlns:ter=\"http://www.onvif.org/ver10/error\""
                          " xmlns:zvr=\"urn:zvr:device:1\"><env:Body>")
        + body + QStringLiteral("</env:Body></env:Envelope>");
}

// A SOAP 1.2 fault: the code, then each subcode nested in the one before.
QString fault(const QString &code, const QStringList &subcodes, const QString &reason)
{
    QString subcode;
    for (auto it = subcodes.crbegin(); it != subcodes.crend(); ++it) {
        subcode = element(QStringLiteral("env:Subcode"), element(QStringLiteral("env:Value"), *it) + subcode);
    }
    return envelope(element(QStringLiteral("env:Fault"),
        element(QStringLiteral("env:Code"), element(QStringLiteral("env:Value"), code) + subcode)
            + QStringLiteral("<env:Reason><env:Text xml:lang=\"en\">") + xmlEscaped(reason)
            + QStringLiteral("</env:Text></env:Reason>")));
}

QString senderFault(const QStringList &subcodes, const QString &reason)
{
    return fault(QStringLiteral("env:Sender"), subcodes, reason);
}

QString notAuthorized(const QString &reason)
{
    return senderFault(
        { QStringLiteral("ter:NotAuthorized") }, QStringLiteral("Sender not authorized: ") + reason);
}

QString dateTime(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return element(QStringLiteral("tt:Time"),
               element(QStringLiteral("tt:Hour"), QString::number(clock.hour()))
                   + element(QStringLiteral("tt:Minute"), QString::number(clock.minute()))
                   + element(QStringLiteral("tt:Second"), QString::number(clock.second())))
        + element(QStringLiteral("tt:Date"),
            element(QStringLiteral("tt:Year"), QString::number(date.year()))
                + element(QStringLiteral("tt:Month"), QString::number(date.month()))
                + element(QStringLiteral("tt:Day"), QString::number(date.day())));
}

int prefixLength(const QString &mask)
{
    quint32 value = 0;
    parseAddress(mask, &value);
    int bits = 0;
    while (bits < 32 && (value & (0x80000000u >> bits))) {
        ++bits;
    }
    return bits;
}

QByteArray statusLine(int status)
{
    switch (status) {
    case 200:
        return QByteArrayLiteral("200 OK");
    case 400:
        return QByteArrayLiteral("400 Bad Request");
    case 404:
        return QByteArrayLiteral("404 Not Found");
    case 405:
        return QByteArrayLiteral("405 Method Not Allowed");
    case 411:
        return QByteArrayLiteral("411 Length Required");
    case 413:
        return QByteArrayLiteral("413 Payload Too Large");
    case 431:
        return QByteArrayLiteral("431 Request Header Fields Too Large");
    default:
        return QByteArrayLiteral("500 Internal Server Error");
    }
}

} // namespace

Credentials::Credentials(const QString &user, const QString &password)
    : m_user(user)
    , m_password(password)
{
}

QByteArray Credentials::digest(const QByteArray &nonce, const QString &created, const QString &password)
{
    const QByteArray material = nonce + created.toUtf8() + password.toUtf8();
    return QCryptographicHash::hash(material, QCryptographicHash::Sha1).toBase64();
}

QString Credentials::check(const SoapMessage &message, bool write, const QDateTime &now)
{
    const QString token = QStringLiteral("Security/UsernameToken/");
    const QString user = message.header.value(token + QStringLiteral("Username"));
    const QString password = message.header.value(token + QStringLiteral("Password"));
    const QString created = message.header.value(token + QStringLiteral("Created"));
    const QByteArray nonce
        = QByteArray::fromBase64(message.header.value(token + QStringLiteral("Nonce")).toLatin1());
    if (user.isEmpty()) {
        return QStringLiteral("no UsernameToken");
    }
    if (message.header.value(token + QStringLiteral("Password@Type")) != PasswordDigestType
        || nonce.isEmpty()) {
        return QStringLiteral("only a password digest with a nonce is accepted");
    }
    const QDateTime at = QDateTime::fromString(created, Qt::ISODateWithMs);
    if (!at.isValid() || qAbs(at.secsTo(now)) > TokenWindow) {
        return QStringLiteral("the token's creation time is more than five minutes from the device's clock");
    }
    if (user != m_user || password.toLatin1() != digest(nonce, created, m_password)) {
        return QStringLiteral("wrong user name or password");
    }
    if (!write) {
        return QString();
    }
    const qint64 seconds = now.toSecsSinceEpoch();
    while (!m_nonceOrder.isEmpty()
        && (m_nonceOrder.head().first < seconds - 2 * TokenWindow || m_nonceOrder.size() > MaxNonces)) {
        m_nonces.remove(m_nonceOrder.dequeue().second);
    }
    if (m_nonces.contains(nonce)) {
        return QStringLiteral("a nonce already used (a replay)");
    }
    m_nonces.insert(nonce, seconds);
    m_nonceOrder.enqueue({ seconds, nonce });
    return QString();
}

struct DeviceService::Connection
{
    QTcpSocket *socket = nullptr;
    int device = -1;
    QByteArray buffer;
    qint64 deadline = 0; // ms since the epoch; dropped after it unless a change is pending
    int change = 0; // request id of the change being made, or 0
    bool silent = false; // the model gave no answer: nothing more is served
    bool close = false;
    bool continued = false; // "100 Continue" sent for the request under way
    QString operation;
};

DeviceService::DeviceService(EmulatedNetwork *network, const Options &options, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_options(options)
    , m_credentials(options.user, options.password)
{
    connect(&m_server, &QTcpServer::newConnection, this, &DeviceService::accept);
    connect(m_network, &EmulatedNetwork::changeAnswered, this, &DeviceService::changeAnswered);
    m_sweep.setInterval(500);
    connect(&m_sweep, &QTimer::timeout, this, &DeviceService::sweep);
}

DeviceService::~DeviceService()
{
    // The sockets go first, so that none reports its end to a half-destroyed service.
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        it.key()->disconnect(this);
        delete it.key();
        delete it.value();
    }
    m_server.close();
}

bool DeviceService::start(quint16 port, QString *error)
{
    m_server.setMaxPendingConnections(256);
    if (!m_server.listen(QHostAddress::AnyIPv4, port)) {
        *error = QStringLiteral("cannot listen on TCP port %1: %2").arg(port).arg(m_server.errorString());
        return false;
    }
    m_sweep.start();
    return true;
}

quint16 DeviceService::port() const
{
    return m_server.serverPort();
}

void DeviceService::log(const QString &line) const
{
    if (m_options.verbose) {
        qInfo("%s", qUtf8Printable(line));
    }
}

void DeviceService::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const QHostAddress local = socket->localAddress();
        const int device = m_network->deviceAt(local.toIPv4Address());
        QString refusal;
        if (m_network->mode() == EmulatedNetwork::AddressMode::Loopback
            && !socket->peerAddress().isLoopback()) {
            refusal = QStringLiteral("not from this host");
        } else if (device < 0) {
            refusal = QStringLiteral("no device answers there");
        } else if (m_connections.size() >= MaxConnections && !dropIdlest()) {
            refusal = QStringLiteral("%1 connections open").arg(m_connections.size());
        }
        if (!refusal.isEmpty()) {
            log(QStringLiteral("service: connection to %1 refused: %2").arg(local.toString(), refusal));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new Connection;
        connection->socket = socket;
        connection->device = device;
        connection->deadline = QDateTime::currentMSecsSinceEpoch() + m_options.headerTimeout;
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, connection] { readFrom(connection); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            Connection *const gone = m_connections.take(socket);
            if (gone) {
                m_changes.remove(gone->change);
                gone->silent = true;
                // Whoever is still reading it finishes first.
                QTimer::singleShot(0, this, [gone] { delete gone; });
            }
            socket->deleteLater();
        });
    }
}

bool DeviceService::dropIdlest()
{
    Connection *idlest = nullptr;
    for (Connection *connection : qAsConst(m_connections)) {
        if (connection->change == 0 && connection->buffer.isEmpty()
            && (!idlest || connection->deadline < idlest->deadline)) {
            idlest = connection;
        }
    }
    if (idlest) {
        drop(idlest, QStringLiteral("the longest idle of %1 connections").arg(m_connections.size()));
    }
    return idlest;
}

void DeviceService::drop(Connection *connection, const QString &why)
{
    log(QStringLiteral("service: connection to %1 dropped: %2")
            .arg(connection->socket->localAddress().toString(), why));
    connection->socket->abort(); // disconnected() cleans up
}

void DeviceService::sweep()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QList<Connection *> connections = m_connections.values();
    for (Connection *connection : connections) {
        if (connection->change == 0 && now > connection->deadline) {
            drop(connection,
                connection->buffer.isEmpty() ? QStringLiteral("idle") : QStringLiteral("request incomplete"));
        }
    }
}

void DeviceService::readFrom(Connection *connection)
{
    if (connection->change != 0 || connection->silent) {
        return; // the rest waits until the change is answered
    }
    while (connection->change == 0 && !connection->silent) {
        connection->buffer += connection->socket->read(MaxHeader + MaxBody + 1 - connection->buffer.size());
        const int end = connection->buffer.indexOf("\r\n\r\n");
        if (end < 0 || end > MaxHeader) {
            if (connection->buffer.size() > MaxHeader) {
                log(QStringLiteral("service: header over %1 bytes").arg(MaxHeader));
                reply(connection, 431, QString(), true);
            }
            return;
        }
        const QList<QByteArray> lines = connection->buffer.left(end).split('\n');
        const QList<QByteArray> request = lines.first().trimmed().split(' ');
        qint64 length = -1;
        bool chunked = false;
        bool expectsContinue = false;
        for (const QByteArray &line : lines.mid(1)) {
            const int colon = line.indexOf(':');
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length") {
                bool ok = false;
                length = value.toLongLong(&ok);
                length = ok && length >= 0 ? length : -1;
            } else if (name == "expect") {
                expectsContinue = value.toLower() == "100-continue";
            } else if (name == "transfer-encoding") {
                chunked = true;
            } else if (name == "connection" && value.toLower() == "close") {
                connection->close = true;
            }
        }
        if (request.size() != 3 || !request.at(2).startsWith("HTTP/1.")) {
            log(QStringLiteral("service: not an HTTP request"));
            reply(connection, 400, QString(), true);
            return;
        }
        connection->close = connection->close || request.at(2) == "HTTP/1.0";
        if (request.at(0) != "POST") {
            reply(connection, 405, QString(), true);
            return;
        }
        if (!request.at(1).startsWith("/onvif/")) {
            reply(connection, 404, QString(), true);
            return;
        }
        if (length < 0 || chunked) {
            log(QStringLiteral("service: request without a Content-Length"));
            reply(connection, 411, QString(), true);
            return;
        }
        if (length > MaxBody) {
            log(QStringLiteral("service: request of %1 bytes, over %2").arg(length).arg(MaxBody));
            reply(connection, 413, QString(), true);
            return;
        }
        if (connection->buffer.size() < end + 4 + length) {
            if (expectsContinue && !connection->continued) {
                connection->continued = true;
                connection->socket->write("HTTP/1.1 100 Continue\r\n\r\n");
            }
            return;
        }
        const QByteArray body = connection->buffer.mid(end + 4, int(length));
        connection->buffer.remove(0, end + 4 + int(length));
        connection->continued = false;
        if (request.at(1) != "/onvif/device_service") {
            reply(connection, 500,
                fault(QStringLiteral("env:Receiver"), { QStringLiteral("ter:ActionNotSupported") },
                    QStringLiteral("only the device service is offered")));
            continue;
        }
        serve(connection, body);
    }
}

void DeviceService::serve(Connection *connection, const QByteArray &body)
{
    if (!m_network->answers(connection->device)) {
        drop(connection, QStringLiteral("the device is offline"));
        return;
    }
    SoapMessage message;
    QString error;
    if (!SoapMessage::parse(body, &message, &error)) {
        log(QStringLiteral("service: request refused: %1").arg(error));
        reply(connection, 400, senderFault({ QStringLiteral("ter:WellFormed") }, error));
        return;
    }
    if (message.envelopeNamespace != WsNs::Soap12) {
        log(QStringLiteral("service: envelope of namespace %1 refused").arg(message.envelopeNamespace));
        reply(connection, 500,
            fault(QStringLiteral("env:VersionMismatch"), {},
                QStringLiteral("only SOAP 1.2 envelopes are understood")));
        return;
    }
    int status = 200;
    const QString answer = this->answer(connection, message, &status);
    if (connection->change == 0) {
        reply(connection, status, answer);
    }
}

QString DeviceService::answer(Connection *connection, const SoapMessage &message, int *status)
{
    const QString &operation = message.operation.second;
    const int device = connection->device;
    const bool write = operation.startsWith(QLatin1String("Set"));
    log(QStringLiteral("service: %1 for %2").arg(operation, formatAddress(m_network->address(device))));
    if (message.operation.first != WsNs::Device) {
        *status = 500;
        return fault(QStringLiteral("env:Receiver"), { QStringLiteral("ter:ActionNotSupported") },
            QStringLiteral("no such service"));
    }
    if (operation != QLatin1String("GetSystemDateAndTime") && (write || m_options.readsNeedUser)) {
        const QString refusal = m_credentials.check(message, write, QDateTime::currentDateTimeUtc());
        if (!refusal.isEmpty()) {
            log(QStringLiteral("service: %1 refused: %2").arg(operation, refusal));
            *status = 400;
            return notAuthorized(refusal);
        }
    }
    const MacScanDeviceInfo info = m_network->info(device);
    const QVector<t_device_network_info> ports = info.networkInfo();
    QString body;
    if (operation == QLatin1String("GetSystemDateAndTime")) {
        const QDateTime local = QDateTime::fromString(info.devTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        body = element(QStringLiteral("tds:SystemDateAndTime"),
            element(QStringLiteral("tt:DateTimeType"), QStringLiteral("Manual"))
                + element(QStringLiteral("tt:DaylightSavings"), QStringLiteral("false"))
                + element(
                    QStringLiteral("tt:TimeZone"), element(QStringLiteral("tt:TZ"), QStringLiteral("UTC0")))
                + element(QStringLiteral("tt:UTCDateTime"), dateTime(QDateTime::currentDateTimeUtc()))
                + element(QStringLiteral("tt:LocalDateTime"), dateTime(local)));
    } else if (operation == QLatin1String("GetDeviceInformation")) {
        body = element(QStringLiteral("tds:Manufacturer"), QStringLiteral("ZVR"))
            + element(QStringLiteral("tds:Model"), xmlEscaped(info.deviceModel()))
            + element(QStringLiteral("tds:FirmwareVersion"), xmlEscaped(info.firmwareVer()))
            + element(QStringLiteral("tds:SerialNumber"), xmlEscaped(info.deviceSN()))
            + element(QStringLiteral("tds:HardwareId"), xmlEscaped(info.deviceModel()));
    } else if (operation == QLatin1String("GetScopes")) {
        for (const QString &scope : EmulatedNetwork::scopes(info)) {
            body += element(QStringLiteral("tds:Scopes"),
                element(QStringLiteral("tt:ScopeDef"), QStringLiteral("Fixed"))
                    + element(QStringLiteral("tt:ScopeItem"), xmlEscaped(scope)));
        }
    } else if (operation == QLatin1String("GetNetworkInterfaces")) {
        for (const t_device_network_info &port : ports) {
            body += QStringLiteral("<tds:NetworkInterfaces token=\"eth%1\">").arg(port.id)
                + element(QStringLiteral("tt:Enabled"), QStringLiteral("true"))
                + element(QStringLiteral("tt:Info"),
                    element(QStringLiteral("tt:Name"), QStringLiteral("eth%1").arg(port.id))
                        + element(QStringLiteral("tt:HwAddress"), port.mac)
                        + element(QStringLiteral("tt:MTU"), QStringLiteral("1500")))
                + element(QStringLiteral("tt:IPv4"),
                    element(QStringLiteral("tt:Enabled"), QStringLiteral("true"))
                        + element(QStringLiteral("tt:Config"),
                            element(QStringLiteral("tt:Manual"),
                                element(QStringLiteral("tt:Address"), port.ip)
                                    + element(QStringLiteral("tt:PrefixLength"),
                                        QString::number(prefixLength(port.subnetMask))))
                                + element(QStringLiteral("tt:DHCP"), QStringLiteral("false"))))
                + QStringLiteral("</tds:NetworkInterfaces>");
        }
    } else if (operation == QLatin1String("GetNetworkDefaultGateway")) {
        body = element(QStringLiteral("tds:NetworkGateway"),
            element(QStringLiteral("tt:IPv4Address"), ports.isEmpty() ? QString() : ports.first().gateway));
    } else if (operation == QLatin1String("GetHostname")) {
        body = element(QStringLiteral("tds:HostnameInformation"),
            element(QStringLiteral("tt:FromDHCP"), QStringLiteral("false"))
                + element(QStringLiteral("tt:Name"),
                    QStringLiteral("zvr-") + info.deviceCommMac().remove(QLatin1Char(':')).toLower()));
    } else if (operation == QLatin1String("GetCapabilities")) {
        body = element(QStringLiteral("tds:Capabilities"),
            element(QStringLiteral("tt:Device"),
                element(QStringLiteral("tt:XAddr"), m_network->serviceUrl(device))
                    + element(QStringLiteral("tt:Network"),
                        element(QStringLiteral("tt:IPFilter"), QStringLiteral("false"))
                            + element(QStringLiteral("tt:ZeroConfiguration"), QStringLiteral("false"))
                            + element(QStringLiteral("tt:IPVersion6"), QStringLiteral("false"))
                            + element(QStringLiteral("tt:DynDNS"), QStringLiteral("false")))));
    } else if (operation == QLatin1String("GetServices")) {
        body = element(QStringLiteral("tds:Service"),
            element(QStringLiteral("tds:Namespace"), WsNs::Device)
                + element(QStringLiteral("tds:XAddr"), m_network->serviceUrl(device))
                + element(QStringLiteral("tds:Version"),
                    element(QStringLiteral("tt:Major"), QStringLiteral("2"))
                        + element(QStringLiteral("tt:Minor"), QStringLiteral("60"))));
    } else if (operation == QLatin1String("SetNetworkInterfaces")
        || operation == QLatin1String("SetNetworkDefaultGateway")) {
        return changeAnswer(connection, message, status);
    } else {
        *status = 500;
        return fault(QStringLiteral("env:Receiver"), { QStringLiteral("ter:ActionNotSupported") },
            QStringLiteral("the device does not offer %1").arg(operation));
    }
    return envelope(element(QStringLiteral("tds:") + operation + QStringLiteral("Response"), body));
}

QString DeviceService::changeAnswer(Connection *connection, const SoapMessage &message, int *status)
{
    const int device = connection->device;
    const QString &operation = message.operation.second;
    auto invalid = [status](const QString &subcode, const QString &reason) {
        *status = 400;
        QStringList subcodes { QStringLiteral("ter:InvalidArgVal") };
        if (!subcode.isEmpty()) {
            subcodes << subcode;
        }
        return senderFault(subcodes, reason);
    };
    quint32 address = 0;
    int id = 0;
    m_network->noteWrite(device, connection->socket->localAddress().toIPv4Address());
    if (operation == QLatin1String("SetNetworkDefaultGateway")) {
        if (!parseAddress(message.body.value(QStringLiteral("IPv4Address")), &address)) {
            return invalid(
                QStringLiteral("ter:InvalidGatewayAddress"), QStringLiteral("not an IPv4 gateway"));
        }
        id = m_network->requestChange(device, -1, 0, QString(), m_network->toModel(device, address));
    } else {
        const QString token = message.body.value(QStringLiteral("InterfaceToken"));
        const int port = token == QLatin1String("eth0") ? 0 : token == QLatin1String("eth1") ? 1 : -1;
        const QString ipv4 = QStringLiteral("NetworkInterface/IPv4/");
        bool ok = false;
        const int prefix = message.body.value(ipv4 + QStringLiteral("Manual/PrefixLength")).toInt(&ok);
        if (port < 0 || port >= m_network->info(device).networkInfo().size()) {
            return invalid(
                QStringLiteral("ter:InvalidNetworkInterface"), QStringLiteral("no interface ") + token);
        }
        if (message.body.value(QStringLiteral("NetworkInterface/Enabled")) == QLatin1String("false")
            || message.body.value(ipv4 + QStringLiteral("Enabled")) == QLatin1String("false")
            || message.body.value(ipv4 + QStringLiteral("DHCP")) == QLatin1String("true")) {
            return invalid(QString(), QStringLiteral("the interface takes a manual IPv4 address only"));
        }
        if (!parseAddress(message.body.value(ipv4 + QStringLiteral("Manual/Address")), &address)) {
            return invalid(QStringLiteral("ter:InvalidIPv4Address"), QStringLiteral("not an IPv4 address"));
        }
        if (!ok || prefix < 1 || prefix > 30) {
            return invalid(QString(), QStringLiteral("a prefix length from 1 to 30"));
        }
        const QString mask = formatAddress(~0u << (32 - prefix));
        id = m_network->requestChange(device, port, m_network->toModel(device, address), mask, 0);
    }
    connection->change = id;
    connection->operation = operation;
    m_changes.insert(id, connection);
    return QString();
}

void DeviceService::changeAnswered(int requestId, int result)
{
    Connection *const connection = m_changes.take(requestId);
    if (!connection) {
        return;
    }
    connection->change = 0;
    const QString operation = connection->operation;
    if (result < 0 || result == IpSetTimeout) {
        // The model says the device never answered: the client waits for its time limit.
        log(QStringLiteral("service: %1 left unanswered").arg(operation));
        connection->silent = true;
        connection->deadline = QDateTime::currentMSecsSinceEpoch() + m_options.idleTimeout;
        return;
    }
    struct Refusal
    {
        IpSettingResult result;
        const char *code;
        const char *subcode;
        const char *reason;
    };
    static const Refusal Refusals[] = {
        { IpSetFormatError, "env:Sender", "ter:InvalidArgVal", "the device cannot take this setting" },
        { IpSetDeviceNotReady, "env:Receiver", "zvr:DeviceNotReady", "the device has not finished starting" },
        { IpSetSameAsNodeIp, "env:Sender", "zvr:SameAsNodeIp", "the address is a node's address" },
        { IpSetNodeIpLocked, "env:Receiver", "zvr:NodeIpLocked", "a node's address cannot be changed" },
        { IpSetPortCheckFailed, "env:Receiver", "zvr:PortCheckFailed", "the port check failed" },
        { IpSetSameSegment, "env:Sender", "zvr:SameSegment", "both ports would be in one subnet" },
    };
    QString answer;
    int status = 200;
    if (result == IpSetSuccess) {
        const QString body = operation == QLatin1String("SetNetworkInterfaces")
            ? element(QStringLiteral("tds:RebootNeeded"), QStringLiteral("false"))
            : QString();
        answer = envelope(element(QStringLiteral("tds:") + operation + QStringLiteral("Response"), body));
    }
    for (const Refusal &refusal : Refusals) {
        if (refusal.result == result) {
            const QString code = QLatin1String(refusal.code);
            status = code == QLatin1String("env:Sender") ? 400 : 500;
            answer = fault(code, { QLatin1String(refusal.subcode) }, QLatin1String(refusal.reason));
            log(QStringLiteral("service: %1 refused with %2").arg(operation, QLatin1String(refusal.subcode)));
        }
    }
    // A device that took a new address no longer answers at the old one.
    const bool moved
        = connection->socket->localAddress().toIPv4Address() != m_network->address(connection->device);
    reply(connection, status, answer, moved);
    QTcpSocket *const socket = connection->socket;
    QTimer::singleShot(0, socket, [this, socket] {
        if (Connection *const next = m_connections.value(socket)) {
            readFrom(next);
        }
    });
}

void DeviceService::reply(Connection *connection, int status, const QString &envelope, bool close)
{
    QByteArray body = envelope.toUtf8();
    qint64 length = body.size();
    bool cut = false;
    if (!body.isEmpty() && m_network->strikesGarble()) {
        body = m_network->garbled(body);
        cut = body.size() < length;
        length = cut ? length : body.size();
    }
    close = close || cut || connection->close;
    QByteArray head = QByteArrayLiteral("HTTP/1.1 ") + statusLine(status)
        + QByteArrayLiteral("\r\nContent-Type: application/soap+xml; charset=utf-8\r\nContent-Length: ")
        + QByteArray::number(length) + (close ? QByteArrayLiteral("\r\nConnection: close") : QByteArray())
        + QByteArrayLiteral("\r\n\r\n");
    connection->socket->write(head + body);
    connection->socket->flush(); // now, not a turn of the event loop later
    connection->deadline = QDateTime::currentMSecsSinceEpoch() + m_options.idleTimeout;
    if (close) {
        connection->silent = true;
        connection->socket->disconnectFromHost();
    }
}
