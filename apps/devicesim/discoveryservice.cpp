// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "discoveryservice.h"

#include "emulatednetwork.h"

#include <netscan/networkchange.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace {

constexpr int MaxDatagram = 8192;
constexpr int MaxQueuedProbes = 16;
constexpr int MaxQueuedAnnouncements = 200000;
constexpr int SliceSize = 256;
constexpr qint64 SliceMilliseconds = 1;
// WS-Discovery's APP_MAX_DELAY: a device waits a random time up to it before it answers
// a multicast probe.
constexpr qint64 AppMaxDelay = 500;
constexpr quint16 DiscoveryPort = 3702;
const QHostAddress Group { QStringLiteral("239.255.255.250") };

QString typeList(const QVector<QualifiedName> &types)
{
    QStringList names;
    for (const QualifiedName &type : types) {
        names << (type.first == WsNs::Device ? QStringLiteral("tds:") : QStringLiteral("dn:")) + type.second;
    }
    return names.join(QLatin1Char(' '));
}

// RFC 3986 matching: the probe's scope is the device scope or a path prefix of it.
bool scopeMatches(const QString &wanted, const QStringList &scopes)
{
    for (const QString &scope : scopes) {
        if (scope == wanted
            || (scope.startsWith(wanted)
                && (wanted.endsWith(QLatin1Char('/')) || scope.at(wanted.size()) == QLatin1Char('/')))) {
            return true;
        }
    }
    return false;
}

// From the device's own address, so that the prober sees who answered: the source
// address goes in IP_PKTINFO's ipi_spec_dst.
bool sendFrom(int descriptor, const QByteArray &data, quint32 from, const QHostAddress &to, quint16 port)
{
    sockaddr_in destination {};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr = htonl(to.toIPv4Address());
    iovec part { const_cast<char *>(data.constData()), size_t(data.size()) };
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message {};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr *const header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info {};
    info.ipi_spec_dst.s_addr = htonl(from);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    return ::sendmsg(descriptor, &message, MSG_DONTWAIT | MSG_NOSIGNAL) == data.size();
}

} // namespace

DiscoveryService::DiscoveryService(EmulatedNetwork *network, bool verbose, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_verbose(verbose)
    , m_instanceId(QDateTime::currentSecsSinceEpoch())
    , m_ownMark("InstanceId=\"" + QByteArray::number(m_instanceId) + '"')
{
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &DiscoveryService::answerSlice);
    connect(m_network, &EmulatedNetwork::deviceMoved, this, [this](int index) {
        if (announces() && m_announcements.size() < MaxQueuedAnnouncements) {
            m_announcements.enqueue(index);
            m_slices.start();
        }
    });
}

DiscoveryService::~DiscoveryService() = default;

bool DiscoveryService::start(quint16 probePort, const QList<QNetworkInterface> &interfaces, QString *error)
{
    QList<quint16> ports { probePort };
    if (!interfaces.isEmpty() && probePort != DiscoveryPort) {
        ports << DiscoveryPort;
    }
    for (const quint16 port : ports) {
        auto socket = std::make_unique<QUdpSocket>();
        if (!socket->bind(
                QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            *error = QStringLiteral("cannot listen on UDP port %1: %2").arg(port).arg(socket->errorString());
            return false;
        }
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4 << 20);
        if (port == DiscoveryPort) {
            for (const QNetworkInterface &interface : interfaces) {
                if (!socket->joinMulticastGroup(Group, interface)) {
                    *error = QStringLiteral("cannot join %1 on %2: %3")
                                 .arg(Group.toString(), interface.name(), socket->errorString());
                    return false;
                }
            }
            socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        }
        QUdpSocket *const raw = socket.get();
        connect(raw, &QUdpSocket::readyRead, this, [this, raw] { readDatagrams(raw); });
        m_sockets.push_back(std::move(socket));
    }
    m_interfaces = interfaces;
    // A device that joins the network says so.
    for (int i = 0; announces() && i < m_network->deviceCount(); ++i) {
        if (m_network->answers(i)) {
            m_announcements.enqueue(i);
        }
    }
    if (m_announcements.isEmpty()) {
        announcedAll();
    } else {
        m_slices.start();
    }
    return true;
}

void DiscoveryService::announceTo(const QHostAddress &address, quint16 port)
{
    m_announceAddress = address;
    m_announcePort = port;
}

bool DiscoveryService::announces() const
{
    return !m_interfaces.isEmpty() || !m_announceAddress.isNull();
}

quint16 DiscoveryService::probePort() const
{
    return m_sockets.empty() ? 0 : m_sockets.front()->localPort();
}

void DiscoveryService::shutdown()
{
    m_shuttingDown = true;
    m_probes.clear();
    m_announcements.clear();
    m_byeNext = announces() ? 0 : m_network->deviceCount();
    m_slices.start();
}

void DiscoveryService::log(const QString &line) const
{
    if (m_verbose) {
        qInfo("%s", qUtf8Printable(line));
    }
}

void DiscoveryService::readDatagrams(QUdpSocket *socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagram + 1);
        const QHostAddress sender = datagram.senderAddress();
        if (m_network->mode() == EmulatedNetwork::AddressMode::Loopback && !sender.isLoopback()) {
            continue; // only this host's own clients
        }
        if (datagram.data().contains(m_ownMark)) {
            continue; // our own announcements, looped back by the group
        }
        if (datagram.data().size() > MaxDatagram) {
            log(QStringLiteral("discovery: datagram from %1 over %2 bytes dropped")
                    .arg(sender.toString())
                    .arg(MaxDatagram));
            continue;
        }
        if (!m_shuttingDown) {
            handle(datagram.data(), sender, quint16(datagram.senderPort()),
                datagram.destinationAddress().isMulticast());
        }
    }
}

void DiscoveryService::handle(const QByteArray &data, const QHostAddress &sender, quint16 port, bool multicast)
{
    SoapMessage message;
    QString error;
    const QString from = sender.toString() + QLatin1Char(':') + QString::number(port);
    if (!SoapMessage::parse(data, &message, &error)) {
        log(QStringLiteral("discovery: message from %1 dropped: %2").arg(from, error));
        return;
    }
    if (message.operation != QualifiedName { WsNs::Discovery, QStringLiteral("Probe") }) {
        log(QStringLiteral("discovery: %1 from %2 ignored").arg(message.operation.second, from));
        return;
    }
    Probe probe;
    probe.messageId = message.header.value(QStringLiteral("MessageID"));
    if (probe.messageId.isEmpty() || message.envelopeNamespace != WsNs::Soap12) {
        log(QStringLiteral("discovery: probe from %1 without a MessageID or not SOAP 1.2 dropped").arg(from));
        return;
    }
    if (m_probes.size() >= MaxQueuedProbes) {
        log(QStringLiteral("discovery: probe from %1 dropped, %2 probes waiting")
                .arg(from)
                .arg(m_probes.size()));
        return;
    }
    probe.sender = sender;
    probe.port = port;
    probe.multicast = multicast;
    probe.since.start();
    probe.types = message.probeTypes;
    probe.scopes = message.body.value(QStringLiteral("Scopes"))
                       .simplified()
                       .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    m_probes.enqueue(probe);
    m_slices.start();
}

bool DiscoveryService::matches(int index, const Probe &probe) const
{
    if (!m_network->answers(index)) {
        return false;
    }
    if (probe.types.isEmpty() && probe.scopes.isEmpty()) {
        return true;
    }
    const MacScanDeviceInfo info = m_network->info(index);
    const QVector<QualifiedName> own = EmulatedNetwork::types(info.nodeType());
    for (const QualifiedName &type : probe.types) {
        const bool known = std::any_of(own.cbegin(), own.cend(), [&type](const QualifiedName &mine) {
            // A prefix the probe never declared still names the type by its local name.
            return mine.second == type.second && (type.first.isEmpty() || mine.first == type.first);
        });
        if (!known) {
            return false;
        }
    }
    if (probe.scopes.isEmpty()) {
        return true;
    }
    const QStringList scopes = EmulatedNetwork::scopes(info);
    return std::all_of(probe.scopes.cbegin(), probe.scopes.cend(),
        [&scopes](const QString &wanted) { return scopeMatches(wanted, scopes); });
}

void DiscoveryService::answerSlice()
{
    // A slice ends after its count or its time, whichever comes first, so that the
    // device service is served between slices however many answers are waiting.
    int budget = SliceSize;
    QElapsedTimer clock;
    clock.start();
    const auto more = [&budget, &clock] { return budget > 0 && !clock.hasExpired(SliceMilliseconds); };
    if (m_byeNext >= 0) {
        for (; more() && m_byeNext < m_network->deviceCount(); ++m_byeNext) {
            if (m_network->answers(m_byeNext)) {
                announce(m_byeNext, true);
                --budget;
            }
        }
        if (m_byeNext >= m_network->deviceCount()) {
            m_slices.stop();
            Q_EMIT finished();
        }
        return;
    }
    while (more() && !m_announcements.isEmpty()) {
        announce(m_announcements.dequeue(), false);
        --budget;
    }
    if (m_announcements.isEmpty()) {
        announcedAll();
    }
    // Probes take turns, so that one large answer does not starve the next prober.
    bool waiting = false; // answers are left that are not due yet
    for (int turns = m_probes.size(); more() && turns > 0; --turns) {
        Probe &probe = m_probes.head();
        const int due = dueDevices(probe);
        for (; probe.next < due && more(); ++probe.next) {
            if (matches(probe.next, probe)) {
                send(m_sockets.front().get(), probeMatches(probe.next, probe.messageId), probe.next,
                    probe.sender, probe.port);
                --budget;
            }
        }
        if (probe.next >= m_network->deviceCount()) {
            m_probes.dequeue();
            continue;
        }
        waiting = waiting || probe.next >= due;
        if (m_probes.size() > 1) {
            m_probes.enqueue(m_probes.dequeue());
        }
    }
    if (m_probes.isEmpty() && m_announcements.isEmpty()) {
        m_slices.stop();
    } else {
        // Nothing due now: look again in a millisecond rather than spin.
        m_slices.setInterval(waiting && m_announcements.isEmpty() && more() ? 1 : 0);
    }
}

void DiscoveryService::announcedAll()
{
    if (!m_startupAnnounced) {
        m_startupAnnounced = true;
        Q_EMIT announced();
    }
}

int DiscoveryService::dueDevices(const Probe &probe) const
{
    const qint64 count = m_network->deviceCount();
    if (!probe.multicast) {
        return int(count);
    }
    // Each device's wait played as an even spread over the delay, in device order.
    return int(qMin(count, count * (probe.since.elapsed() + 1) / AppMaxDelay));
}

QByteArray DiscoveryService::envelope(
    const QString &action, const QString &relatesTo, const QString &to, const QString &body)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                  "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
                                  " xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
                                  " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
                                  " xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\""
                                  " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\">"
                                  "<env:Header><wsa:MessageID>urn:uuid:")
        + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("</wsa:MessageID>");
    if (!relatesTo.isEmpty()) {
        text
            += QStringLiteral("<wsa:RelatesTo>") + xmlEscaped(relatesTo) + QStringLiteral("</wsa:RelatesTo>");
    }
    text += QStringLiteral("<wsa:To>") + to + QStringLiteral("</wsa:To><wsa:Action>") + action
        + QStringLiteral("</wsa:Action><d:AppSequence InstanceId=\"%1\" MessageNumber=\"%2\"/>")
              .arg(m_instanceId)
              .arg(++m_messageNumber)
        + QStringLiteral("</env:Header><env:Body>") + body + QStringLiteral("</env:Body></env:Envelope>");
    return text.toUtf8();
}

QByteArray DiscoveryService::probeMatches(int index, const QString &relatesTo)
{
    const MacScanDeviceInfo info = m_network->info(index);
    const QString match = QStringLiteral("<d:ProbeMatches><d:ProbeMatch><wsa:EndpointReference><wsa:Address>")
        + m_network->endpoint(index) + QStringLiteral("</wsa:Address></wsa:EndpointReference><d:Types>")
        + typeList(EmulatedNetwork::types(info.nodeType())) + QStringLiteral("</d:Types><d:Scopes>")
        + xmlEscaped(EmulatedNetwork::scopes(info).join(QLatin1Char(' ')))
        + QStringLiteral("</d:Scopes><d:XAddrs>") + m_network->serviceUrl(index)
        + QStringLiteral("</d:XAddrs><d:MetadataVersion>%1</d:MetadataVersion>")
              .arg(m_network->metadataVersion(index))
        + QStringLiteral("</d:ProbeMatch></d:ProbeMatches>");
    return envelope(QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"), relatesTo,
        QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous"), match);
}

void DiscoveryService::announce(int index, bool bye)
{
    const MacScanDeviceInfo info = m_network->info(index);
    QString body = (bye ? QStringLiteral("<d:Bye>") : QStringLiteral("<d:Hello>"))
        + QStringLiteral("<wsa:EndpointReference><wsa:Address>") + m_network->endpoint(index)
        + QStringLiteral("</wsa:Address></wsa:EndpointReference>");
    if (!bye) {
        body += QStringLiteral("<d:Types>") + typeList(EmulatedNetwork::types(info.nodeType()))
            + QStringLiteral("</d:Types><d:Scopes>")
            + xmlEscaped(EmulatedNetwork::scopes(info).join(QLatin1Char(' ')))
            + QStringLiteral("</d:Scopes><d:XAddrs>") + m_network->serviceUrl(index)
            + QStringLiteral("</d:XAddrs>");
    }
    body += QStringLiteral("<d:MetadataVersion>%1</d:MetadataVersion>").arg(m_network->metadataVersion(index))
        + (bye ? QStringLiteral("</d:Bye>") : QStringLiteral("</d:Hello>"));
    const QByteArray data = envelope(QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery/")
            + (bye ? QStringLiteral("Bye") : QStringLiteral("Hello")),
        QString(), QStringLiteral("urn:schemas-xmlsoap-org:ws:2005:04:discovery"), body);
    QUdpSocket *const socket = m_sockets.back().get(); // the one on the discovery port
    if (!m_announceAddress.isNull()) {
        send(socket, data, index, m_announceAddress, m_announcePort);
    }
    for (const QNetworkInterface &interface : qAsConst(m_interfaces)) {
        socket->setMulticastInterface(interface);
        send(socket, data, index, Group, DiscoveryPort);
    }
}

void DiscoveryService::send(
    QUdpSocket *socket, const QByteArray &data, int index, const QHostAddress &to, quint16 port)
{
    const QByteArray answer = m_network->strikesGarble() ? m_network->garbled(data) : data;
    if (!sendFrom(int(socket->socketDescriptor()), answer, m_network->address(index), to, port)
        && socket->writeDatagram(answer, to, port) < 0) {
        log(QStringLiteral("discovery: answer to %1:%2 not sent: %3")
                .arg(to.toString())
                .arg(port)
                .arg(socket->errorString()));
    }
}
