// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkbackend.h"

#include "devicechanger_p.h"
#include "devicereader_p.h"
#include "networkchange.h"
#include "networkdiscovery_p.h"
#include "onvifmessages_p.h"

#include <QHash>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

/* The devices the back-end remembers at most. An endpoint beyond them is not listed
 * (one log line a round), so that a flood of made-up endpoints cannot grow memory
 * without bound.
 */
constexpr int MaxDevices = 200000;
// Rounds a device may miss before it is reported offline.
constexpr int MissedRoundsOffline = 2;
/* An endpoint whose device service answered as another device (its MAC taken, or an
 * address it does not hold) is not read again while its match stays the same, for so
 * many rounds; at most so many such endpoints are remembered.
 */
constexpr int RefusedRounds = 10;
constexpr int MaxRefused = 1024;
const QString DeviceTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Only a literal IPv4 address over plain HTTP: no name look-ups, no other schemes.
bool usableAddress(const QString &xaddr, QUrl *url)
{
    const QUrl parsed(xaddr, QUrl::StrictMode);
    quint32 value = 0;
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("http")
        || !parseAddress(parsed.host(), &value)) {
        return false;
    }
    *url = parsed;
    return true;
}

} // namespace

class NetworkBackendPrivate
{
public:
    struct Device
    {
        QString xaddr;
        quint32 metadataVersion = 0;
        QStringList scopes; // as the device service answered them
        // What the last complete reading says; listed once it has a communication MAC.
        MacScanDeviceInfo info;
        QString commMac;
        QStringList tokens;
        qint64 clockOffset = 0; // seconds the device's clock is ahead of ours
        bool hasClock = false;
        // The match that the reading under way answers.
        QString readXaddr;
        quint32 readVersion = 0;
        bool seen = false; // answered the round under way
        int missed = 0;
        bool offline = false;
    };

    struct Refusal
    {
        QString xaddr;
        quint32 metadataVersion = 0;
        int roundsLeft = RefusedRounds;
        int lastRound = -1; // the round that last heard it
    };

    explicit NetworkBackendPrivate(NetworkBackend *q);
    //! Whether \a match repeats an endpoint refused before; counts its address as seen.
    bool refusedBefore(const Onvif::ProbeMatch &match, const QUrl &url);

    void matched(const Onvif::ProbeMatch &match);
    void deviceRead(const QString &endpoint, const DeviceReading &reading);
    MacScanDeviceInfo current(const Device &device) const;
    void report(const Device &device, bool first);
    void maybeFinish();
    void completeRound();
    void changeRequested(const NetworkChange &change);

    NetworkBackend *const q;
    NetworkDiscovery *const discovery;
    DeviceReader *const reader;
    DeviceChanger *const changer;
    QTimer probeTimer;
    QHash<QString, Device> devices; // by endpoint
    QHash<QString, QString> endpointByMac;
    QHash<QString, Refusal> refused; // by endpoint
    QString networkName;
    QString user;
    QString password;
    int changeTimeout = 10000;
    int readTimeout = 3000;
    int probeWait = 1000;
    int readsAtOnce = 160;
    bool roundUnderWay = false;
    bool waitingForProbes = false;
    bool capLogged = false;
    bool readRefusalTold = false; // readCredentialsRefused() this round
    // Endpoints seen this round by the address of their device service: two devices on
    // one address are in conflict, even when only one of them can be read there.
    QHash<QString, int> hostsSeen;
    int newDevices = 0; // read this round for the first time
    int newDevicesRead = 0;
};

NetworkBackendPrivate::NetworkBackendPrivate(NetworkBackend *q)
    : q(q)
    , discovery(new NetworkDiscovery(q))
    , reader(new DeviceReader(q))
    , changer(new DeviceChanger(q))
{
    probeTimer.setSingleShot(true);
    reader->setLimits(readsAtOnce, readTimeout);
}

void NetworkBackendPrivate::matched(const Onvif::ProbeMatch &match)
{
    if (!roundUnderWay) {
        return; // a late answer: the next round hears the device again
    }
    auto found = devices.find(match.endpoint);
    if (found == devices.end()) {
        QUrl url;
        if (usableAddress(match.xaddr, &url) && refusedBefore(match, url)) {
            return;
        }
        if (devices.size() >= MaxDevices) {
            if (!capLogged) {
                capLogged = true;
                qCWarning(lcNetscan, "over %d devices known; further endpoints are not listed", MaxDevices);
            }
            return;
        }
        found = devices.insert(match.endpoint, Device());
    }
    Device &device = found.value();
    if (device.seen) {
        return; // an answer repeated
    }
    QUrl url;
    if (!usableAddress(match.xaddr, &url)) {
        qCWarning(lcNetscan, "%s offers no usable device service (%s); ignored",
            qUtf8Printable(match.endpoint), qUtf8Printable(match.xaddr));
        if (device.commMac.isEmpty()) {
            devices.erase(found);
        }
        return;
    }
    device.seen = true;
    ++hostsSeen[url.host()];
    const bool changed = device.commMac.isEmpty() || match.xaddr != device.xaddr
        || match.metadataVersion != device.metadataVersion;
    if (changed) {
        if (device.commMac.isEmpty()) {
            ++newDevices;
            Q_EMIT q->readProgress(newDevicesRead, newDevices);
        }
        device.readXaddr = match.xaddr;
        device.readVersion = match.metadataVersion;
        reader->read(match.endpoint, url);
        return;
    }
    device.missed = 0;
    device.offline = false;
    report(device, false);
}

void NetworkBackendPrivate::deviceRead(const QString &endpoint, const DeviceReading &reading)
{
    const auto found = devices.find(endpoint);
    if (found == devices.end()) {
        return;
    }
    Device &device = found.value();
    const bool listed = !device.commMac.isEmpty();
    if (!listed) {
        Q_EMIT q->readProgress(++newDevicesRead, newDevices);
    }
    if (reading.notAuthorized && !std::exchange(readRefusalTold, true)) {
        Q_EMIT q->readCredentialsRefused();
    }
    const QVector<Onvif::InterfaceInfo> &interfaces = reading.interfaces.interfaces;
    QString commMac = interfaces.isEmpty() ? QString() : Onvif::normalizedMac(interfaces.first().mac);
    if (reading.ok && commMac.isEmpty()) {
        qCWarning(
            lcNetscan, "%s names no interface with a MAC address; not listed", qUtf8Printable(endpoint));
    }
    const QString holder = endpointByMac.value(commMac);
    bool answeredAsAnother = false;
    if (!commMac.isEmpty() && !holder.isEmpty() && holder != endpoint) {
        answeredAsAnother = true;
        qCWarning(lcNetscan, "%s claims MAC %s of %s; not listed", qUtf8Printable(endpoint),
            qUtf8Printable(commMac), qUtf8Printable(holder));
        commMac.clear();
    }
    // A device serves at one of its own addresses: a host that names another's MAC but
    // none of the addresses it serves at speaks for a device it is not.
    const QString host = QUrl(device.readXaddr).host();
    if (!commMac.isEmpty()
        && std::none_of(interfaces.cbegin(), interfaces.cend(),
            [&host](const Onvif::InterfaceInfo &interface) { return interface.ip == host; })) {
        answeredAsAnother = true;
        qCWarning(lcNetscan, "%s serves at %s, which none of its interfaces holds; not listed",
            qUtf8Printable(endpoint), qUtf8Printable(host));
        commMac.clear();
    }
    // Without its scopes the device's name and kind are unknown: not listed on a guess.
    if (reading.ok && !commMac.isEmpty() && !reading.hasScopes) {
        commMac.clear();
    }
    if (!reading.ok || commMac.isEmpty()) {
        // Tried again next round; a listed device keeps its last values meanwhile.
        if (!listed && answeredAsAnother && reading.ok && reading.hasScopes && refused.size() < MaxRefused) {
            refused.insert(endpoint, { device.readXaddr, device.readVersion, RefusedRounds, q->round() });
        }
        if (listed) {
            device.missed = 0;
            device.offline = false;
            report(device, false);
        } else {
            devices.erase(found);
        }
        maybeFinish();
        return;
    }
    if (listed && commMac != device.commMac) {
        endpointByMac.remove(device.commMac);
    }
    // The device's values as its answers carry them, what it does not answer left empty.
    MacScanDeviceInfo info;
    info.setDeviceCommMac(commMac);
    QVector<t_device_network_info> ports;
    const QString gateway = reading.gateway.gateway;
    device.tokens.clear();
    for (const Onvif::InterfaceInfo &interface : interfaces) {
        t_device_network_info port;
        port.id = ports.size();
        const QString mac = Onvif::normalizedMac(interface.mac);
        port.mac = mac.isEmpty() ? interface.mac : mac;
        port.ip = interface.ip;
        parseAddress(interface.ip, &port.ipInt);
        port.subnetMask
            = interface.ip.isEmpty() ? QString() : formatAddress(Onvif::maskOf(interface.prefixLength));
        port.gateway = gateway;
        ports.append(port);
        device.tokens.append(interface.token);
    }
    info.setNetworkInfo(ports);
    info.setDeviceModel(reading.information.model);
    info.setDeviceSN(reading.information.serialNumber);
    info.setFirmwareVer(reading.information.firmware);
    device.hasClock = reading.hasClock;
    if (reading.hasClock) {
        device.clockOffset = QDateTime::currentDateTimeUtc().secsTo(reading.clock.time);
    }
    device.info = info;
    device.scopes = reading.scopes.scopes;
    device.xaddr = device.readXaddr;
    device.metadataVersion = device.readVersion;
    device.commMac = commMac;
    device.missed = 0;
    device.offline = false;
    endpointByMac.insert(commMac, endpoint);
    report(device, !listed);
    maybeFinish();
}

bool NetworkBackendPrivate::refusedBefore(const Onvif::ProbeMatch &match, const QUrl &url)
{
    const auto found = refused.find(match.endpoint);
    if (found == refused.end()) {
        return false;
    }
    Refusal &refusal = found.value();
    if (refusal.xaddr != match.xaddr || refusal.metadataVersion != match.metadataVersion) {
        refused.erase(found);
        return false;
    }
    if (refusal.lastRound != q->round()) {
        refusal.lastRound = q->round();
        if (--refusal.roundsLeft < 0) {
            refused.erase(found);
            return false;
        }
        // Still on the network: the device that answers at its address is in conflict.
        ++hostsSeen[url.host()];
    }
    return true;
}

MacScanDeviceInfo NetworkBackendPrivate::current(const Device &device) const
{
    MacScanDeviceInfo info = device.info;
    const QString model = info.deviceModel();
    Onvif::applyScopes(device.scopes, &info);
    // The device-service answer names the model; the hardware scope stands in without it.
    if (!model.isEmpty()) {
        info.setDeviceModel(model);
    }
    if (device.hasClock) {
        info.setDevTime(
            QDateTime::currentDateTimeUtc().addSecs(device.clockOffset).toString(DeviceTimeFormat));
    }
    info.setOffline(device.offline);
    return info;
}

void NetworkBackendPrivate::report(const Device &device, bool first)
{
    const MacScanDeviceInfo info = current(device);
    if (first) {
        Q_EMIT q->deviceReported(info, 0);
        return;
    }
    Q_EMIT q->deviceReported(info, 1);
    // An offline device answers nothing of the UDP share.
    if (!device.offline) {
        Q_EMIT q->deviceReported(info, 2);
    }
}

void NetworkBackendPrivate::maybeFinish()
{
    if (roundUnderWay && !waitingForProbes && reader->idle()) {
        completeRound();
    }
}

void NetworkBackendPrivate::completeRound()
{
    roundUnderWay = false;
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        Device &device = it.value();
        const bool seen = std::exchange(device.seen, false);
        if (device.commMac.isEmpty()) {
            continue;
        }
        if (!seen && ++device.missed >= MissedRoundsOffline) {
            if (!device.offline) {
                qCInfo(
                    lcNetscan, "%s missed %d rounds: offline", qUtf8Printable(device.commMac), device.missed);
            }
            device.offline = true;
            report(device, false);
        }
        const int others = hostsSeen.value(QUrl(device.xaddr).host()) - (seen ? 1 : 0);
        Q_EMIT q->ipStateReported(device.commMac, others > 0 ? 2 : 1);
    }
    hostsSeen.clear();
    q->endRound();
}

void NetworkBackendPrivate::changeRequested(const NetworkChange &change)
{
    QVector<DeviceChangePlan> plans;
    QVector<ChangeOutcome> settled;
    quint32 start1 = 0;
    quint32 start2 = 0;
    quint32 mask1 = 0;
    quint32 mask2 = 0;
    parseAddress(change.port1.ip, &start1);
    parseAddress(change.port1.subnetMask, &mask1);
    const bool port2 = !change.port2.isEmpty();
    parseAddress(change.port2.ip, &start2);
    parseAddress(change.port2.subnetMask, &mask2);
    const int prefix1 = Onvif::prefixLength(mask1);
    const int prefix2 = Onvif::prefixLength(mask2);
    for (int i = 0; i < change.macs.size(); ++i) {
        const QString &mac = change.macs.at(i);
        const auto found = devices.constFind(endpointByMac.value(mac));
        ChangeOutcome outcome { mac, QString(), IpSetTimeout, QString() };
        if (found == devices.constEnd() || found->offline) {
            qCWarning(lcNetscan, "change request %d: %s is not on the network", change.requestId,
                qUtf8Printable(mac));
            settled.append(outcome);
            continue;
        }
        if (prefix1 < 1 || (port2 && prefix2 < 1)) {
            outcome.result = IpSetFormatError;
            settled.append(outcome);
            continue;
        }
        DeviceChangePlan plan;
        plan.commMac = mac;
        usableAddress(found->xaddr, &plan.url);
        plan.token1 = found->tokens.value(0);
        plan.ip1 = formatAddress(start1 + change.offset(i));
        plan.prefix1 = prefix1;
        if (port2 && found->tokens.size() > 1) {
            plan.token2 = found->tokens.at(1);
            plan.ip2 = formatAddress(start2 + change.offset(i));
            plan.prefix2 = prefix2;
        }
        plan.gateway = change.port1.gateway;
        plans.append(plan);
    }
    changer->start(change.requestId, plans, settled, changeTimeout);
}

NetworkBackend::NetworkBackend(QObject *parent)
    : ScanBackend(parent)
    , d(new NetworkBackendPrivate(this))
{
    connect(d->discovery, &NetworkDiscovery::matched, this,
        [this](const Onvif::ProbeMatch &match) { d->matched(match); });
    connect(d->reader, &DeviceReader::deviceRead, this,
        [this](const QString &endpoint, const DeviceReading &reading) { d->deviceRead(endpoint, reading); });
    connect(&d->probeTimer, &QTimer::timeout, this, [this] {
        d->waitingForProbes = false;
        d->maybeFinish();
    });
    connect(d->changer, &DeviceChanger::answered, this, &ScanBackend::changeAnswered);
    connect(d->changer, &DeviceChanger::credentialsRefused, this, &NetworkBackend::credentialsRefused);
}

NetworkBackend::~NetworkBackend() = default;

bool NetworkBackend::setInterface(const QString &name, QString *error)
{
    if (!d->discovery->setInterface(name, error)) {
        return false;
    }
    d->networkName = name;
    return true;
}

void NetworkBackend::setDirectedTarget(const QHostAddress &address, quint16 port)
{
    d->discovery->setDirected(address, port);
    d->networkName = address.toString() + QLatin1Char(':') + QString::number(port);
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
    d->reader->setCredentials(user, password);
    d->changer->setCredentials(user, password);
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
    d->reader->setLimits(d->readsAtOnce, d->readTimeout);
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
    d->readsAtOnce = qMax(1, count);
    d->reader->setLimits(d->readsAtOnce, d->readTimeout);
}

int NetworkBackend::maxReadsInFlight() const
{
    return d->readsAtOnce;
}

void NetworkBackend::restart()
{
    d->reader->cancel();
    d->probeTimer.stop();
    d->devices.clear();
    d->endpointByMac.clear();
    d->refused.clear();
    d->hostsSeen.clear();
    d->roundUnderWay = false;
    d->waitingForProbes = false;
    d->capLogged = false;
    resetRounds();
}

void NetworkBackend::startRound()
{
    if (d->roundUnderWay) {
        return;
    }
    d->roundUnderWay = true;
    d->waitingForProbes = true;
    d->newDevices = 0;
    d->newDevicesRead = 0;
    d->readRefusalTold = false;
    QString error;
    if (!d->discovery->probe(&error)) {
        qCWarning(lcNetscan, "round %d: %s", round() + 1, qUtf8Printable(error));
    }
    d->probeTimer.start(d->probeWait);
}

bool NetworkBackend::roundUnderWay() const
{
    return d->roundUnderWay;
}

void NetworkBackend::finishRound()
{
    // Stops waiting for answers; the reads under way still end within their time limit.
    if (d->roundUnderWay && d->waitingForProbes) {
        d->probeTimer.stop();
        d->waitingForProbes = false;
        d->maybeFinish();
    }
}

QString NetworkBackend::networkName() const
{
    return d->networkName;
}

void NetworkBackend::changeRequested(
    const QString &macs, const QString &port1, const QString &port2, const QString &request)
{
    NetworkChange change;
    if (!NetworkChange::fromTexts(macs, port1, port2, request, &change)) {
        qCWarning(lcNetscan, "change request \"%s\" is malformed; dropped", qUtf8Printable(request));
        return;
    }
    d->changeRequested(change);
}
