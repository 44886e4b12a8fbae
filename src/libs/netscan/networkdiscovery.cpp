// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkdiscovery_p.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QUrl>
#include <QUuid>

#include <utility>

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
// Received and not yet read: beyond it datagrams are counted and dropped.
constexpr qint64 InboxBytes = 16 << 20;
// Datagrams read in one turn of the caller's event loop, and the time they may take.
constexpr int ReadSlice = 256;
constexpr qint64 ReadSliceMilliseconds = 5;

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
    m_thread.setObjectName(QStringLiteral("zvr discovery"));
}

NetworkDiscovery::~NetworkDiscovery()
{
    stopReceiver();
}

void NetworkDiscovery::stopReceiver()
{
    if (m_thread.isRunning()) {
        // The receiver and its socket go on their own thread.
        QMetaObject::invokeMethod(m_receiver, [this] { delete m_receiver; }, Qt::BlockingQueuedConnection);
        m_receiver = nullptr;
        m_thread.quit();
        m_thread.wait();
    }
}

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
    m_thread.start();
    m_receiver = new QObject;
    m_receiver->moveToThread(&m_thread);
    QString failure;
    QMetaObject::invokeMethod(m_receiver, [this, &failure] {
        auto *socket = new QUdpSocket(m_receiver);
        if (!socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0)) {
            failure = QStringLiteral("cannot open a UDP socket: %1").arg(socket->errorString());
            delete socket;
            return;
        }
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBuffer);
#ifdef Q_OS_LINUX
        // Beyond the system's limit where the process may raise it; else the limit stands.
        if (socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt() < ReceiveBuffer) {
            const int size = ReceiveBuffer;
            ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
        }
#endif
        connect(socket, &QUdpSocket::readyRead, m_receiver, [this] { receive(); });
        m_socket = socket;
    }, Qt::BlockingQueuedConnection);
    if (!m_socket) {
        *error = failure;
        stopReceiver();
        return false;
    }
    return true;
}

void NetworkDiscovery::receive()
{
    QVector<QNetworkDatagram> received;
    qint64 bytes = 0;
    while (m_socket->hasPendingDatagrams()) {
        received.append(m_socket->receiveDatagram(Onvif::MaxDatagram + 1));
        bytes += received.constLast().data().size();
    }
    QMutexLocker locker(&m_inboxMutex);
    if (m_inboxBytes + bytes > InboxBytes) {
        m_inboxOverflow += received.size();
        return;
    }
    m_inbox += received;
    m_inboxBytes += bytes;
    if (!std::exchange(m_readQueued, true)) {
        QMetaObject::invokeMethod(this, [this] { readDatagrams(); }, Qt::QueuedConnection);
    }
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
    bool sent = false;
    QString failure;
    QMetaObject::invokeMethod(m_receiver, [this, &probe, &sent, &failure] {
        qint64 written = -1;
        if (m_interface.isValid()) {
            m_socket->setMulticastInterface(m_interface);
            written = m_socket->writeDatagram(probe, Group, DiscoveryPort);
        } else {
            written = m_socket->writeDatagram(probe, m_address, m_port);
        }
        sent = written == probe.size();
        if (!sent) {
            failure = m_socket->errorString();
        }
    }, Qt::BlockingQueuedConnection);
    if (!sent) {
        *error = QStringLiteral("probe not sent: %1").arg(failure);
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
    if (m_readAt >= m_reading.size()) {
        QMutexLocker locker(&m_inboxMutex);
        m_reading = std::exchange(m_inbox, {});
        m_readAt = 0;
        m_inboxBytes = 0;
        if (const int overflow = std::exchange(m_inboxOverflow, 0)) {
            locker.unlock();
            qCWarning(lcNetscan, "%d datagrams dropped: %lld bytes wait to be read", overflow, InboxBytes);
        }
    }
    const int end = qMin(m_reading.size(), m_readAt + ReadSlice);
    QElapsedTimer slice;
    slice.start();
    while (m_readAt < end && !slice.hasExpired(ReadSliceMilliseconds)) {
        const QNetworkDatagram datagram = std::move(m_reading[m_readAt++]);
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
    if (m_readAt >= m_reading.size()) {
        m_reading.clear();
        m_readAt = 0;
        QMutexLocker locker(&m_inboxMutex);
        if (m_inbox.isEmpty()) {
            m_readQueued = false; // the next datagram queues a read again
            return;
        }
    }
    QMetaObject::invokeMethod(this, [this] { readDatagrams(); }, Qt::QueuedConnection);
}
