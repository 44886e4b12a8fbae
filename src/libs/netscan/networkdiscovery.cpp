// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkdiscovery_p.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
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

void NetworkDiscovery::readDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(Onvif::MaxDatagram + 1);
        const QString from
            = datagram.senderAddress().toString() + QLatin1Char(':') + QString::number(datagram.senderPort());
        if (datagram.data().size() > Onvif::MaxDatagram) {
            qCWarning(lcNetscan, "datagram from %s over %d bytes dropped", qUtf8Printable(from),
                Onvif::MaxDatagram);
            continue;
        }
        QString relatesTo;
        QVector<Onvif::ProbeMatch> matches;
        QString error;
        if (!Onvif::parseProbeMatches(datagram.data(), &relatesTo, &matches, &error)) {
            qCWarning(lcNetscan, "datagram from %s dropped: %s", qUtf8Printable(from), qUtf8Printable(error));
            continue;
        }
        if (!m_probes.contains(relatesTo)) {
            qCWarning(
                lcNetscan, "ProbeMatches from %s answer no probe of ours; dropped", qUtf8Printable(from));
            continue;
        }
        for (const Onvif::ProbeMatch &match : qAsConst(matches)) {
            if (!match.isDevice()) {
                qCInfo(lcNetscan, "%s from %s is no network video device; ignored",
                    qUtf8Printable(match.endpoint), qUtf8Printable(from));
                continue;
            }
            Q_EMIT matched(match);
        }
    }
}
