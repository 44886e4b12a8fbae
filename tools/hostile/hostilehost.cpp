// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A host with no business on the network, for the device finder's hostile-network
// run: for a while it sends at full speed everything a finder must survive, and serves
// XAddrs that never help. It only ever addresses this host (loopback, or the addresses a
// private network namespace routes to itself).
#include "hostilehttp.h"

#include <discoveryservice.h>
#include <emulatednetwork.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QSet>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>
#include <QUuid>

#include <array>

namespace {

constexpr quint16 DiscoveryPort = 3702;
constexpr int Burst = 48;
const QHostAddress Group { QStringLiteral("239.255.255.250") };

enum Kind { RandomBytes, UnaskedMatches, ClaimedDevices, HelloFlood, XmlTricks, Oversized, KindCount };
const char *const KindNames[]
    = { "random bytes", "ProbeMatches for probes never sent", "matches claiming existing devices",
          "Hello with fresh endpoints", "XML tricks (nesting, entities)", "datagrams over 8 KB" };

// An address is ours when a socket can be bound to it: nothing sent there leaves the host.
bool local(const QHostAddress &address)
{
    QUdpSocket socket;
    return !address.isNull() && socket.bind(address, 0);
}

// The UDP ports that process \a pid has open, from its descriptors and /proc/net/udp.
QSet<quint16> udpPortsOf(qint64 pid)
{
    QSet<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &name : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        const QString target = QFile::symLinkTarget(fds.filePath(name));
        if (target.contains(QLatin1String("socket:["))) {
            inodes.insert(target.section(QLatin1Char('['), 1).section(QLatin1Char(']'), 0, 0).toLatin1());
        }
    }
    QSet<quint16> ports;
    QFile table(QStringLiteral("/proc/net/udp"));
    if (inodes.isEmpty() || !table.open(QIODevice::ReadOnly)) {
        return ports;
    }
    table.readLine();
    while (!table.atEnd()) {
        const QList<QByteArray> fields = table.readLine().simplified().split(' ');
        if (fields.size() > 9 && inodes.contains(fields.at(9))) {
            ports.insert(quint16(fields.at(1).mid(fields.at(1).indexOf(':') + 1).toUInt(nullptr, 16)));
        }
    }
    return ports;
}

class HostileHost : public QObject
{
public:
    struct Options
    {
        int seconds = 60;
        QHostAddress own { QHostAddress::LocalHost };
        QHostAddress target { QHostAddress::LocalHost };
        QSet<quint16> ports;
        qint64 pid = 0;
        quint16 httpPort = 0;
        bool multicast = false;
        EmulatedNetwork::Options devices;
    };

    explicit HostileHost(const Options &options)
        : m_options(options)
        , m_devices(options.devices)
        , m_builder(&m_devices, false)
        , m_http([this](int index) {
            QStringList macs;
            for (const t_device_network_info &port : m_devices.info(index).networkInfo()) {
                macs << port.mac;
            }
            return macs;
        })
        , m_random(QRandomGenerator::securelySeeded())
    {
    }

    bool start(QString *error)
    {
        m_devices.start();
        if (!m_http.listen(m_options.own, m_options.httpPort, error)) {
            return false;
        }
        if (!m_socket.bind(m_options.own, 0)) {
            *error
                = QStringLiteral("cannot bind %1: %2").arg(m_options.own.toString(), m_socket.errorString());
            return false;
        }
        m_socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 1 << 20);
        if (m_options.multicast && !joinLoopbackGroup(error)) {
            return false;
        }
        m_targets = m_options.ports;
        m_targets.insert(DiscoveryPort);
        connect(&m_tick, &QTimer::timeout, this, [this] { burst(); });
        connect(&m_refresh, &QTimer::timeout, this, [this] {
            // The finder gone, the run is over.
            if (m_options.pid > 0 && !QFile::exists(QStringLiteral("/proc/%1").arg(m_options.pid))) {
                finish();
                return;
            }
            findToolPorts();
        });
        m_tick.start(0);
        m_refresh.start(500);
        findToolPorts();
        m_clock.start();
        return true;
    }

    void report() const
    {
        QTextStream out(stdout);
        out << "hostile: " << m_clock.elapsed() << " ms, ports attacked:";
        for (const quint16 port : m_targets) {
            out << ' ' << port;
        }
        out << ", probes seen " << m_probesSeen << '\n';
        for (int kind = 0; kind < KindCount; ++kind) {
            out << "hostile: " << m_sent[size_t(kind)] << " datagrams of " << KindNames[kind] << " ("
                << m_refused[size_t(kind)] << " not taken by the kernel)\n";
        }
        const HostileHttp::Totals http = m_http.totals();
        out << "hostile: http " << http.requests << " requests, " << http.bytesSent << " bytes sent, at most "
            << http.mostOpen << " connections open (" << http.closedAsOldest << " closed as the oldest):";
        for (int mode = 0; mode < HostileHttp::ModeCount; ++mode) {
            out << ' ' << HostileHttp::modeName(mode) << ' ' << http.connections[size_t(mode)];
        }
        out << '\n';
    }

private:
    bool joinLoopbackGroup(QString *error)
    {
        // Only loopback joins the group, so that nothing of ours goes further.
        for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
            if (interface.flags().testFlag(QNetworkInterface::IsLoopBack)
                && interface.flags().testFlag(QNetworkInterface::CanMulticast)) {
                m_group.bind(QHostAddress::AnyIPv4, DiscoveryPort,
                    QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
                if (!m_group.joinMulticastGroup(Group, interface)) {
                    *error = QStringLiteral("cannot join the group on %1").arg(interface.name());
                    return false;
                }
                m_socket.setMulticastInterface(interface);
                m_socket.setSocketOption(QAbstractSocket::MulticastTtlOption, 0);
                m_loopback = interface;
                connect(&m_group, &QUdpSocket::readyRead, this, [this] { readProbes(); });
                return true;
            }
        }
        *error = QStringLiteral("loopback carries no multicast here");
        return false;
    }

    // A probe on the group names the finder's port and a message id worth answering.
    void readProbes()
    {
        while (m_group.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_group.receiveDatagram(8192);
            SoapMessage message;
            QString error;
            if (SoapMessage::parse(datagram.data(), &message, &error)
                && message.operation.second == QLatin1String("Probe") && datagram.senderPort() > 0) {
                m_lastProbe = message.header.value(QStringLiteral("MessageID"));
                m_targets.insert(quint16(datagram.senderPort()));
                ++m_probesSeen;
            }
        }
    }

    void findToolPorts()
    {
        if (m_options.pid > 0) {
            m_targets.unite(udpPortsOf(m_options.pid));
        }
    }

    QString freshEndpoint() const
    {
        return QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    }
    int anyDevice() { return int(m_random.bounded(quint32(m_devices.deviceCount()))); }
    HostileHttp::Mode anyMode() { return HostileHttp::Mode(m_random.bounded(int(HostileHttp::ModeCount))); }

    // A real device's match with its XAddrs and whatever else replaced.
    QByteArray alteredMatch(
        int index, const QString &relatesTo, const QString &endpoint, const QString &xaddrs)
    {
        QString text = QString::fromUtf8(m_builder.probeMatches(index, relatesTo));
        text.replace(m_devices.serviceUrl(index), xaddrs);
        text.replace(m_devices.endpoint(index), endpoint);
        text.replace(QStringLiteral("onvif://www.onvif.org/name/"),
            QStringLiteral("onvif://www.onvif.org/name/hostile-"));
        text.replace(QStringLiteral("<d:MetadataVersion>%1<").arg(m_devices.metadataVersion(index)),
            QStringLiteral("<d:MetadataVersion>%1<").arg(m_random.bounded(1000, 1000000)));
        return text.toUtf8();
    }

    QByteArray hello(const QString &endpoint, const QString &xaddrs)
    {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                              "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
                              " xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
                              " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
                              " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\"><env:Header>"
                              "<wsa:MessageID>%1</wsa:MessageID>"
                              "<wsa:To>urn:schemas-xmlsoap-org:ws:2005:04:discovery</wsa:To>"
                              "<wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/Hello</wsa:Action>"
                              "</env:Header><env:Body><d:Hello><wsa:EndpointReference><wsa:Address>%2"
                              "</wsa:Address></wsa:EndpointReference><d:Types>tds:Device</d:Types>"
                              "<d:Scopes>zvr://node/encoder onvif://www.onvif.org/name/hostile</d:Scopes>"
                              "<d:XAddrs>%3</d:XAddrs><d:MetadataVersion>1</d:MetadataVersion></d:Hello>"
                              "</env:Body></env:Envelope>")
            .arg(freshEndpoint(), endpoint, xaddrs)
            .toUtf8();
    }

    QByteArray xmlTrick()
    {
        const QByteArray match
            = alteredMatch(anyDevice(), freshEndpoint(), freshEndpoint(), m_http.url(anyMode(), 0));
        switch (m_random.bounded(5)) {
        case 0:
            return deepNesting(1000);
        case 1: {
            // Entities in a well-formed match, where a reader that expands them would take them in.
            QByteArray bomb = match;
            bomb.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "");
            bomb.replace("<d:Scopes>", "<d:Scopes>@LAUGHS@ ");
            return billionLaughs(bomb);
        }
        case 2: {
            QByteArray external = match;
            external.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                QByteArray("<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY remote SYSTEM \""
                    + m_http.url(HostileHttp::Drip, 0).toLatin1()
                    + "\"><!ENTITY local SYSTEM \"file:///proc/self/environ\">]>"));
            external.replace("<d:XAddrs>", "<d:XAddrs>&remote;&local;");
            return external;
        }
        case 3:
            // Well formed until it stops.
            return match.left(int(m_random.bounded(match.size())));
        default: {
            QByteArray broken = match;
            broken.replace("</d:Types>", QByteArray(QByteArray(2000, '\xff') + "</d:Types>"));
            return broken;
        }
        }
    }

    QByteArray datagram(Kind kind)
    {
        switch (kind) {
        case RandomBytes: {
            QByteArray bytes(int(m_random.bounded(1, 1500)), Qt::Uninitialized);
            m_random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            return bytes;
        }
        case UnaskedMatches:
            return alteredMatch(anyDevice(), freshEndpoint(), freshEndpoint(), m_http.url(anyMode(), 0));
        case ClaimedDevices: {
            const int index = anyDevice();
            // The real probe's id where one was seen: the claim then answers what the finder asked.
            const QString relatesTo
                = m_lastProbe.isEmpty() || m_random.bounded(2) ? freshEndpoint() : m_lastProbe;
            // A third keep the device's own service and change only what the datagram says.
            const int how = m_random.bounded(3);
            const QString xaddrs = how == 0 ? m_devices.serviceUrl(index)
                                            : m_http.url(how == 1 ? HostileHttp::Impostor : anyMode(), index);
            return alteredMatch(index, relatesTo, m_devices.endpoint(index), xaddrs);
        }
        case HelloFlood:
            return hello(freshEndpoint(), m_http.url(anyMode(), anyDevice()));
        case XmlTricks:
            return xmlTrick();
        case Oversized:
        case KindCount:
            break;
        }
        return QByteArray(60000, '<');
    }

    void finish()
    {
        m_tick.stop();
        m_refresh.stop();
        report();
        QCoreApplication::exit(0);
    }

    void burst()
    {
        if (m_clock.hasExpired(qint64(m_options.seconds) * 1000)) {
            finish();
            return;
        }
        for (int i = 0; i < Burst; ++i) {
            const Kind kind = Kind(m_next++ % KindCount);
            const QByteArray data = datagram(kind);
            for (const quint16 port : qAsConst(m_targets)) {
                const bool taken = m_socket.writeDatagram(data, m_options.target, port) == data.size();
                ++(taken ? m_sent : m_refused)[size_t(kind)];
            }
            if (kind == HelloFlood && m_loopback.isValid()) {
                m_socket.writeDatagram(data, Group, DiscoveryPort);
            }
        }
    }

    const Options m_options;
    EmulatedNetwork m_devices;
    DiscoveryService m_builder;
    HostileHttp m_http;
    QRandomGenerator m_random;
    QUdpSocket m_socket;
    QUdpSocket m_group;
    QNetworkInterface m_loopback;
    QSet<quint16> m_targets;
    QString m_lastProbe;
    qint64 m_probesSeen = 0;
    QTimer m_tick;
    QTimer m_refresh;
    QElapsedTimer m_clock;
    quint64 m_next = 0;
    std::array<qint64, KindCount> m_sent {};
    std::array<qint64, KindCount> m_refused {};
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zvr-hostile"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Floods a device finder on this host with hostile "
                                                    "discovery traffic and serves XAddrs that never help."));
    parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("How long (default 60)."),
        QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption own(QStringLiteral("bind"),
        QStringLiteral("This host's address for its datagrams and its service (default 127.0.0.1)."),
        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption target(QStringLiteral("target"),
        QStringLiteral("The finder's address (default 127.0.0.1)."), QStringLiteral("address"),
        QStringLiteral("127.0.0.1"));
    const QCommandLineOption ports(QStringLiteral("ports"),
        QStringLiteral("The finder's UDP ports besides 3702, joined by commas."), QStringLiteral("list"));
    const QCommandLineOption pid(QStringLiteral("pid"),
        QStringLiteral(
            "The finder's process: its UDP ports are attacked as it opens them; the run ends with it."),
        QStringLiteral("pid"));
    const QCommandLineOption httpPort(QStringLiteral("http-port"),
        QStringLiteral("TCP port of the hostile service (default: any free one)."), QStringLiteral("port"),
        QStringLiteral("0"));
    const QCommandLineOption multicast(QStringLiteral("multicast"),
        QStringLiteral("Join 239.255.255.250 on loopback: read the finder's probes, flood Hello there too."));
    const QCommandLineOption devices(QStringLiteral("devices"),
        QStringLiteral("The emulator's device count, whose devices are claimed (default 1000)."),
        QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("The emulator's seed."),
        QStringLiteral("n"), QString::number(Simulation::DefaultSeed));
    const QCommandLineOption servicePort(QStringLiteral("service-port"),
        QStringLiteral(
            "The emulator's service port, for claims that keep a device's own service (default 80)."),
        QStringLiteral("port"), QStringLiteral("80"));
    const QCommandLineOption mode(QStringLiteral("address-mode"),
        QStringLiteral("The emulator's: anyip or loopback (default loopback)."), QStringLiteral("mode"),
        QStringLiteral("loopback"));
    parser.addOptions(
        { seconds, own, target, ports, pid, httpPort, multicast, devices, seed, servicePort, mode });
    parser.process(app);

    const auto fail = [](const QString &message) {
        QTextStream(stderr) << "zvr-hostile: " << message << '\n';
        return 2;
    };
    HostileHost::Options options;
    bool ok = false;
    options.seconds = parser.value(seconds).toInt(&ok);
    if (!ok || options.seconds < 1 || options.seconds > 3600) {
        return fail(QStringLiteral("--seconds takes 1 to 3600"));
    }
    options.own = QHostAddress(parser.value(own));
    options.target = QHostAddress(parser.value(target));
    if (!local(options.own) || !local(options.target)) {
        return fail(
            QStringLiteral("--bind and --target must be addresses of this host (loopback, or a private "
                           "namespace's own ranges)"));
    }
    for (const QString &port : parser.value(ports).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535) {
            return fail(QStringLiteral("--ports takes port numbers, not \"%1\"").arg(port));
        }
        options.ports.insert(quint16(number));
    }
    options.pid = parser.value(pid).toLongLong();
    const uint http = parser.value(httpPort).toUInt(&ok);
    if (!ok || http > 65535) {
        return fail(QStringLiteral("--http-port takes 0 to 65535"));
    }
    options.httpPort = quint16(http);
    options.multicast = parser.isSet(multicast);
    options.devices.devices = parser.value(devices).toInt(&ok);
    if (!ok || options.devices.devices < 1 || options.devices.devices > 1000000) {
        return fail(QStringLiteral("--devices takes 1 to 1000000"));
    }
    options.devices.seed = parser.value(seed).toUInt();
    options.devices.interval = 0;
    options.devices.httpPort = quint16(parser.value(servicePort).toUInt());
    options.devices.mode = parser.value(mode) == QLatin1String("anyip")
        ? EmulatedNetwork::AddressMode::AnyIp
        : EmulatedNetwork::AddressMode::Loopback;

    HostileHost host(options);
    QString error;
    if (!host.start(&error)) {
        return fail(error);
    }
    return app.exec();
}
