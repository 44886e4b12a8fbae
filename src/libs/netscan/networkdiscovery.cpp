// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkdiscovery_p.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QUrl>
#include <QUuid>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif

namespace {

const QHostAddress Group { QStringLiteral("239.255.255.250") };
constexpr quint16 DiscoveryPort = 3702;
constexpr int RememberedProbes = 4;
// Room for the answers of ten thousand devices arriving at once.
constexpr int ReceiveBuffer = 8 << 20;
// Drop lines a second; past them one line counts the rest.
constexpr int DropLinesPerSecond = 20;

bool hasIPv4(const QNetworkInterface &interface)
{
    for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
            return true;
        }
    }
    return false;
}

} // namespace

NetworkDiscovery::NetworkDiscovery(QObject *parent)
    : QObject(parent)
{
}

NetworkDiscovery::~NetworkDiscovery() = default;

bool NetworkDiscovery::setInterface(const QString &name, QString *error)
{
    const QNetworkInterface interface = QNetworkInterface::interfaceFromName(name);
    QString refusal;
    if (!interface.isValid()) {
        refusal = QStringLiteral("No network interface is named \"%1\"").arg(name);
    } else if (!interface.flags().testFlag(QNetworkInterface::IsUp)) {
        refusal = QStringLiteral("The network interface \"%1\" is down").arg(name);
    } else if (!interface.flags().testFlag(QNetworkInterface::CanMulticast)) {
        refusal = QStringLiteral("The network interface \"%1\" cannot multicast").arg(name);
    } else if (!hasIPv4(interface)) {
        refusal = QStringLiteral("The network interface \"%1\" has no IPv4 address").arg(name);
    }
    if (!refusal.isEmpty()) {
        if (error) {
            *error = refusal;
        }
        return false;
    }
    m_interface = interface;
    m_address = QHostAddress();
    m_port = 0;
    return true;
}

void NetworkDiscovery::setDirected(const QHostAddress &address, quint16 port)
{
    m_interface = QNetworkInterface();
    m_address = address;
    m_port = port;
}

bool NetworkDiscovery::hasTarget() const
{
    return m_interface.isValid() || (!m_address.isNull() && m_port != 0);
}

bool NetworkDiscovery::ensureSocket(QString *error)
{
    if (m_socket) {
        return true;
    }
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0)) {
        *error = QStringLiteral("cannot open a UDP socket: %1").arg(m_socket->errorString());
        delete m_socket;
        m_socket = nullptr;
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBuffer);
#ifdef Q_OS_LINUX
    // Beyond the system's limit where the process may raise it; else the limit stands.
    if (m_socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt() < ReceiveBuffer) {
        const int size = ReceiveBuffer;
        ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
    }
#endif
    connect(m_socket, &QUdpSocket::readyRead, this, &NetworkDiscovery::readDatagrams);
    return true;
}

bool NetworkDiscovery::probe(QString *error)
{
    if (!hasTarget()) {
        *error = QStringLiteral("no interface or address to probe");
        return false;
    }
    if (!ensureSocket(error)) {
        return false;
    }
    const QString id = QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_probes.append(id);
    while (m_probes.size() > RememberedProbes) {
        m_probes.removeFirst();
    }
    const QByteArray probe = Onvif::buildProbe(id);
    qint64 sent = -1;
    if (m_interface.isValid()) {
        m_socket->setMulticastInterface(m_interface);
        sent = m_socket->writeDatagram(probe, Group, DiscoveryPort);
    } else {
        sent = m_socket->writeDatagram(probe, m_address, m_port);
    }
    if (sent != probe.size()) {
        *error = QStringLiteral("probe not sent: %1").arg(m_socket->errorString());
        return false;
    }
    return true;
}

bool NetworkDiscovery::dropLinesSpent()
{
    if (!m_dropWindow.isValid() || m_dropWindow.hasExpired(1000)) {
        if (m_dropsUnsaid > 0) {
            qCWarning(lcNetscan, "%d more datagrams dropped in a second", m_dropsUnsaid);
        }
        m_dropWindow.start();
        m_dropLines = 0;
        m_dropsUnsaid = 0;
    }
    return m_dropLines >= DropLinesPerSecond;
}

void NetworkDiscovery::dropped(const QString &line)
{
    if (dropLinesSpent()) {
        ++m_dropsUnsaid;
        return;
    }
    ++m_dropLines;
    qCWarning(lcNetscan, "%s", qUtf8Printable(line));
}

bool NetworkDiscovery::namesOurProbe(const QByteArray &data) const
{
    for (const QString &id : m_probes) {
        if (data.contains(id.toUtf8())) {
            return true;
        }
    }
    return false;
}

void NetworkDiscovery::readDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(Onvif::MaxDatagram + 1);
        const QString from
            = datagram.senderAddress().toString() + QLatin1Char(':') + QString::number(datagram.senderPort());
        if (datagram.data().size() > Onvif::MaxDatagram) {
            dropped(QStringLiteral("datagram from %1 over %2 bytes dropped").arg(from).arg(Onvif::MaxDatagram));
            continue;
        }
        // Once this second's drop lines are said, what cannot answer a probe of ours is
        // not worth parsing: only counted.
        if (dropLinesSpent() && !namesOurProbe(datagram.data())) {
            ++m_dropsUnsaid;
            continue;
        }
        QString relatesTo;
        QVector<Onvif::ProbeMatch> matches;
        QString error;
        if (!Onvif::parseProbeMatches(datagram.data(), &relatesTo, &matches, &error)) {
            dropped(QStringLiteral("datagram from %1 dropped: %2").arg(from, error));
            continue;
        }
        if (!m_probes.contains(relatesTo)) {
            dropped(QStringLiteral("ProbeMatches from %1 answer no probe of ours; dropped").arg(from));
            continue;
        }
        for (const Onvif::ProbeMatch &match : qAsConst(matches)) {
            if (!match.isDevice()) {
                qCInfo(lcNetscan, "%s from %s is no network video device; ignored",
                    qUtf8Printable(match.endpoint), qUtf8Printable(from));
                continue;
            }
            // A device answers from the address it serves at; another host may not speak for it.
            const QHostAddress service(QUrl(match.xaddr).host());
            if (!service.isEqual(datagram.senderAddress(), QHostAddress::TolerantConversion)) {
                dropped(QStringLiteral("%1 from %2 names a service at %3; dropped")
                            .arg(match.endpoint, from, QUrl(match.xaddr).host()));
                continue;
            }
            Q_EMIT matched(match);
        }
    }
}
