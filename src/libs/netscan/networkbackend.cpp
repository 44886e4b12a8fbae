// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkbackend.h"

#include <QNetworkInterface>
#include <QTimer>

class NetworkBackendPrivate
{
public:
    QString interfaceName;
    QHostAddress address;
    quint16 port = 0;
    QString user;
    QString password;
    int changeTimeout = 10000;
    int readTimeout = 3000;
    int probeWait = 1000;
    int maxReads = 16;
    bool roundUnderWay = false;
};

NetworkBackend::NetworkBackend(QObject *parent)
    : ScanBackend(parent)
    , d(new NetworkBackendPrivate)
{
}

NetworkBackend::~NetworkBackend() = default;

bool NetworkBackend::setInterface(const QString &name, QString *error)
{
    const QNetworkInterface iface = QNetworkInterface::interfaceFromName(name);
    if (!iface.isValid()) {
        if (error) {
            *error = QStringLiteral("No network interface is named \"%1\"").arg(name);
        }
        return false;
    }
    d->interfaceName = name;
    d->address = QHostAddress();
    d->port = 0;
    return true;
}

void NetworkBackend::setDirectedTarget(const QHostAddress &address, quint16 port)
{
    d->interfaceName.clear();
    d->address = address;
    d->port = port;
}

bool NetworkBackend::setTarget(const NetworkTarget &target, QString *error)
{
    if (target.directed()) {
        setDirectedTarget(target.address, target.port);
        return true;
    }
    return setInterface(target.interfaceName, error);
}

void NetworkBackend::setCredentials(const QString &user, const QString &password)
{
    d->user = user;
    d->password = password;
}

bool NetworkBackend::hasCredentials() const
{
    return !d->user.isEmpty();
}

QString NetworkBackend::user() const
{
    return d->user;
}

void NetworkBackend::setChangeTimeout(int ms)
{
    d->changeTimeout = qMax(1, ms);
}

int NetworkBackend::changeTimeout() const
{
    return d->changeTimeout;
}

void NetworkBackend::setReadTimeout(int ms)
{
    d->readTimeout = qMax(1, ms);
}

int NetworkBackend::readTimeout() const
{
    return d->readTimeout;
}

void NetworkBackend::setProbeWait(int ms)
{
    d->probeWait = qMax(1, ms);
}

int NetworkBackend::probeWait() const
{
    return d->probeWait;
}

void NetworkBackend::setMaxReadsInFlight(int count)
{
    d->maxReads = qMax(1, count);
}

int NetworkBackend::maxReadsInFlight() const
{
    return d->maxReads;
}

void NetworkBackend::restart()
{
    resetRounds();
}

void NetworkBackend::startRound()
{
    if (d->roundUnderWay) {
        return;
    }
    d->roundUnderWay = true;
    QTimer::singleShot(d->probeWait, this, [this] { finishRound(); });
}

bool NetworkBackend::roundUnderWay() const
{
    return d->roundUnderWay;
}

void NetworkBackend::finishRound()
{
    if (!d->roundUnderWay) {
        return;
    }
    d->roundUnderWay = false;
    endRound();
}

QString NetworkBackend::networkName() const
{
    if (!d->interfaceName.isEmpty()) {
        return d->interfaceName;
    }
    return QStringLiteral("%1:%2").arg(d->address.toString()).arg(d->port);
}

void NetworkBackend::changeRequested(
    const QString &macs, const QString &port1, const QString &port2, const QString &request)
{
    Q_UNUSED(macs)
    Q_UNUSED(port1)
    Q_UNUSED(port2)
    Q_UNUSED(request)
}
