// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "simulation.h"

#include <netscan/networkchange.h>

#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// Rounds a device that went offline is still reported by the MAC scan.
constexpr int RememberedRounds = 3;
// Seconds of device time between two scan rounds.
constexpr int SecondsPerRound = 5;

// Kinds in the order the population cycles through them.
const NodeType KindCycle[] = { NodeEncoder, NodeDecoder, NodeDecoder, NodeDecoderTwoInOne, NodeEncoder,
    NodeDecoder, NodeCentralControl, NodeDecoder };

const char *const Places[]
    = { "指挥大厅", "一号会议室", "二号会议室", "值班室", "演播厅", "监控中心", "机房", "展厅" };

struct SimulatedDevice
{
    QString commMac;
    QString model;
    QString serialNumber;
    QString name;
    QString firmware;
    NodeType nodeType = NodeInvalid;
    SubNodeType subNodeType = SubNodeNone;
    DeviceRunMode runMode = RunModeNormal;
    QVector<t_device_network_info> ports;
    QString ownIp; // the first port's configured address
    int borrowedRounds = 0; // rounds left while the first port uses another device's address
    int malfunction = 0;
    bool offline = false;
    bool linkFault = false;
    int callRoll = 0;
    int firstRound = 1; // the scan first reaches the device in this round
    int offlineRounds = 0; // rounds since it went offline
    int bootingRounds = 0; // rounds left until it has started up again
    int rebootRounds = 0; // rounds left offline after a restart during a change
    qint64 clockOffset = 0; // seconds ahead of the network's clock

    bool isNode() const { return runMode == RunModeMaster || runMode == RunModeBackup; }
};

QString macText(quint32 prefix, quint32 value)
{
    return QStringLiteral("00:1E:%1:%2:%3:%4")
        .arg(prefix, 2, 16, QLatin1Char('0'))
        .arg((value >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(value & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

t_device_network_info port(
    int id, const QString &mac, const QString &ip, const QString &mask, const QString &gateway)
{
    t_device_network_info info;
    info.id = id;
    info.mac = mac;
    info.ip = ip;
    info.subnetMask = mask;
    info.gateway = gateway;
    return info;
}

quint32 address(const QString &text)
{
    quint32 value = 0;
    parseAddress(text, &value);
    return value;
}

} // namespace

class SimulationPrivate
{
public:
    SimulatedDevice makeDevice(int index);
    void drift(SimulatedDevice &device);
    void report(const SimulatedDevice &device);
    MacScanDeviceInfo infoOf(const SimulatedDevice &device) const;
    int ipState(const SimulatedDevice &device, const QHash<QString, int> &answering) const;
    bool inReach(const SimulatedDevice &device) const;
    QVector<Simulation::Outcome> answer(const QString &macs, const QString &port1, const QString &port2,
        const QString &request, int *requestId);
    IpSettingResult apply(SimulatedDevice *device, const NetworkChange &change, quint32 offset);
    bool strikes(double rate) { return rate > 0 && faultRandom.generateDouble() < rate; }
    //! Reports the faults' version of \a outcomes: some lost, some twice, some with a stray one.
    QVector<Simulation::Outcome> disturb(const QVector<Simulation::Outcome> &outcomes);

    Simulation *q = nullptr;
    QRandomGenerator random;
    QRandomGenerator faultRandom;
    NetworkFaults faults;
    std::vector<SimulatedDevice> devices;
    QHash<QString, int> byMac;
    int round = 0;
    int finishedRounds = 0;
    // A round under way passes over every device three times: the network moves on, the
    // answers to each address are counted, then each device in reach is reported. Each
    // pass goes in slices, so that a round of many devices never holds the event loop.
    enum class Pass { None, Drift, Count, Report };
    Pass pass = Pass::None;
    size_t next = 0;
    QHash<QString, int> answering;
    int answerDelay = 400;
    const QDateTime epoch { QDate(2026, 3, 2), QTime(9, 0, 0), Qt::UTC };
};

SimulatedDevice SimulationPrivate::makeDevice(int index)
{
    SimulatedDevice device;
    device.nodeType = index % 24 == 19 ? NodeInvalid : KindCycle[index % 8];

    switch (device.nodeType) {
    case NodeEncoder:
        device.model = QStringLiteral("ZE-2100");
        device.subNodeType = index % 16 == 4 ? SubNodeSeat : SubNodeNone; // shown only for decoders
        break;
    case NodeDecoder: {
        const SubNodeType subTypes[] = { SubNodeSeat, SubNodeBigScreen, SubNodeEcho, SubNodeNone };
        device.model = QStringLiteral("ZD-3100");
        device.subNodeType = subTypes[(index / 2) % 4];
        break;
    }
    case NodeDecoderTwoInOne:
        device.model = QStringLiteral("ZD-3200T");
        device.subNodeType = index % 16 == 3 ? SubNodeBigScreen : SubNodeNone;
        break;
    case NodeCentralControl:
        device.model = QStringLiteral("ZC-800");
        break;
    case NodeInvalid:
        break;
    }

    const QString kindWords[] = { QStringLiteral("设备"), QStringLiteral("编码器"), QStringLiteral("解码器"),
        QStringLiteral("二合一解码器"), QStringLiteral("中控") };
    device.name = QStringLiteral("%1%2%3")
                      .arg(QString::fromUtf8(Places[(index / 3) % 8]), kindWords[device.nodeType])
                      .arg(index + 1, 2, 10, QLatin1Char('0'));

    // The first two central controllers are the master and backup nodes; a few
    // devices never report a run mode because they have not finished starting up.
    if (device.nodeType == NodeCentralControl && index == 6) {
        device.runMode = RunModeMaster;
    } else if (device.nodeType == NodeCentralControl && index == 14) {
        device.runMode = RunModeBackup;
    } else if (index % 16 == 11) {
        device.runMode = RunModeInvalid;
    }

    const quint32 tail = (quint32(index) << 8) | random.bounded(256);
    device.commMac = macText(0xC0, tail);
    device.serialNumber = QStringLiteral("ZV24%1").arg(random.bounded(1000000), 6, 10, QLatin1Char('0'));
    device.firmware = QStringLiteral("V%1.%2.%3")
                          .arg(2 + random.bounded(2))
                          .arg(random.bounded(6))
                          .arg(random.bounded(20));
    device.clockOffset = random.bounded(120) - 60;

    const int host = 10 + index;
    const int segment = 1 + host / 240;
    // Past 192.168.255.x the population goes on in 172.16.0.0/12.
    QString ip = segment < 256 ? QStringLiteral("192.168.%1.%2").arg(segment).arg(10 + host % 240)
                               : QStringLiteral("172.%1.%2.%3")
                                     .arg(16 + (segment - 256) / 256)
                                     .arg((segment - 256) % 256)
                                     .arg(10 + host % 240);
    if (device.runMode == RunModeMaster) {
        ip = QStringLiteral("192.168.1.2");
    } else if (device.runMode == RunModeBackup) {
        ip = QStringLiteral("192.168.1.3");
    } else if (index == 9) {
        ip = QStringLiteral("192.168.1.%1").arg(10 + 18); // configured twice: conflicts with device 8
    }
    device.ownIp = ip;
    device.ports << port(
        0, device.commMac, ip, QStringLiteral("255.255.255.0"), QStringLiteral("192.168.%1.1").arg(segment));

    const bool twoPorts
        = device.nodeType == NodeCentralControl || device.nodeType == NodeDecoderTwoInOne || index % 5 == 0;
    if (twoPorts) {
        const QString mac = macText(0xC1, tail);
        if (index % 4 == 0) {
            device.ports << port(1, mac, QStringLiteral("192.168.2.%1").arg(50 + index % 150),
                QStringLiteral("255.255.255.0"), QStringLiteral("192.168.2.1"));
        } else {
            const int block = index / 200; // 10.10.x.y first, then 10.11.0.0 upwards
            device.ports << port(1, mac,
                QStringLiteral("10.%1.%2.%3").arg(10 + block / 256).arg(block % 256).arg(10 + index % 200),
                QStringLiteral("255.255.0.0"), QStringLiteral("10.10.0.1"));
        }
    }

    device.malfunction = (index % 13 == 12 ? MalfunctionTemperature : 0)
        | (index % 17 == 16 ? MalfunctionVoltage : 0) | (index == 21 ? 0x4 : 0);
    device.offline = index % 11 == 10;
    device.linkFault = index == 15;
    device.callRoll = index % 7 == 3 ? 1 : (index % 19 == 18 ? -1 : 0);
    device.firstRound = index % 6 == 4 ? 2 : (index % 6 == 5 ? 3 : 1);
    return device;
}

void SimulationPrivate::drift(SimulatedDevice &device)
{
    const int presence = random.bounded(1000);
    const int fault = random.bounded(1000);
    const int link = random.bounded(1000);
    const int rollCall = random.bounded(1000);
    const int collision = random.bounded(1000);

    if (device.offline) {
        ++device.offlineRounds;
        if (presence < 350) {
            device.offline = false;
            device.offlineRounds = 0;
            device.bootingRounds = 1;
        }
    } else {
        device.bootingRounds = qMax(0, device.bootingRounds - 1);
        if (presence < 30) {
            device.offline = true;
            device.offlineRounds = 0;
        }
    }
    if (device.rebootRounds > 0) {
        device.offline = --device.rebootRounds > 0;
        if (!device.offline) {
            device.offlineRounds = 0;
            device.bootingRounds = 1;
        }
    }
    if (fault < 25) {
        device.malfunction ^= fault % 2 == 0 ? MalfunctionTemperature : MalfunctionVoltage;
    } else if (fault < 28) {
        device.malfunction ^= 0x4;
    }
    if (link < 15) {
        device.linkFault = !device.linkFault;
    }
    if (rollCall < 50) {
        device.callRoll = rollCall % 3 - 1;
    }

    // Someone configures a device with an address already in use, and later undoes it.
    if (device.borrowedRounds > 0 && --device.borrowedRounds == 0) {
        device.ports[0].ip = device.ownIp;
    } else if (collision < 10 && !device.isNode() && devices.size() > 1) {
        const SimulatedDevice &other = devices.at(size_t(random.bounded(int(devices.size()))));
        if (&other != &device) {
            device.ports[0].ip = other.ports.at(0).ip;
            device.borrowedRounds = 2;
        }
    }
}

bool SimulationPrivate::inReach(const SimulatedDevice &device) const
{
    return round >= device.firstRound && (!device.offline || device.offlineRounds < RememberedRounds);
}

int SimulationPrivate::ipState(const SimulatedDevice &device, const QHash<QString, int> &answering) const
{
    if (device.linkFault) {
        return 3; // DeviceData::StateLinkFault
    }
    // Another answering device on the same address: the device's own answer is one of them.
    const int others = answering.value(device.ports.at(0).ip) - (device.offline ? 0 : 1);
    return others > 0 ? 2 : 1; // DeviceData::StateConflict or StateNormal
}

void SimulationPrivate::report(const SimulatedDevice &device)
{
    // The back-end hands over everything it knows of a device; which share the
    // record takes depends on the kind of report.
    const MacScanDeviceInfo info = infoOf(device);
    Q_EMIT q->deviceReported(info, Simulation::MacScanReport);
    // Devices out of reach do not answer the UDP query.
    if (!device.offline) {
        Q_EMIT q->deviceReported(info, Simulation::UdpReport);
    }
}

MacScanDeviceInfo SimulationPrivate::infoOf(const SimulatedDevice &device) const
{
    MacScanDeviceInfo info;
    info.setDeviceModel(device.model);
    info.setDeviceSN(device.serialNumber);
    info.setName(device.name);
    info.setFirmwareVer(device.firmware);
    info.setDevTime(epoch.addSecs(qint64(round) * SecondsPerRound + device.clockOffset)
                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    info.setDeviceCommMac(device.commMac);
    info.setNodeType(device.nodeType);
    info.setSubNodeType(device.subNodeType);
    info.setRunMode(device.runMode);
    info.setNetworkInfo(device.ports);
    info.setMalfunction(device.malfunction);
    info.setOffline(device.offline);
    info.setCallRollState(device.callRoll);
    return info;
}

IpSettingResult SimulationPrivate::apply(SimulatedDevice *device, const NetworkChange &change, quint32 offset)
{
    const quint32 newIp = address(change.port1.ip) + offset;
    if (device->offline) {
        return IpSetTimeout;
    }
    if (device->runMode == RunModeInvalid || device->bootingRounds > 0) {
        return IpSetDeviceNotReady;
    }
    if (device->nodeType == NodeInvalid) {
        return IpSetFormatError; // firmware of unknown kind does not read the format
    }
    if (device->isNode()) {
        return IpSetNodeIpLocked;
    }
    for (const SimulatedDevice &other : devices) {
        if (other.isNode() && address(other.ports.at(0).ip) == newIp) {
            return IpSetSameAsNodeIp;
        }
    }
    if (device->linkFault || (device->malfunction & MalfunctionVoltage)) {
        return IpSetPortCheckFailed;
    }
    const quint32 mask1 = address(change.port1.subnetMask);
    if (device->ports.size() > 1) {
        const t_device_network_info &current = device->ports.at(1);
        const quint32 ip2 = change.port2.isEmpty() ? address(current.ip) : address(change.port2.ip) + offset;
        const quint32 mask2 = address(change.port2.isEmpty() ? current.subnetMask : change.port2.subnetMask);
        const quint32 common = mask1 & mask2;
        if ((newIp & common) == (ip2 & common)) {
            return IpSetSameSegment;
        }
    }

    device->ownIp = formatAddress(newIp);
    device->borrowedRounds = 0;
    device->ports[0].ip = device->ownIp;
    device->ports[0].subnetMask = change.port1.subnetMask;
    device->ports[0].gateway = change.port1.gateway;
    if (device->ports.size() > 1 && !change.port2.isEmpty()) {
        device->ports[1].ip = formatAddress(address(change.port2.ip) + offset);
        device->ports[1].subnetMask = change.port2.subnetMask;
        device->ports[1].gateway = change.port2.gateway;
    }
    return IpSetSuccess;
}

QVector<Simulation::Outcome> SimulationPrivate::answer(
    const QString &macs, const QString &port1, const QString &port2, const QString &request, int *requestId)
{
    QVector<Simulation::Outcome> outcomes;
    NetworkChange change;
    const bool wellFormed = NetworkChange::fromTexts(macs, port1, port2, request, &change);
    *requestId = wellFormed ? change.requestId : request.toInt();
    const QStringList targets = wellFormed ? change.macs : macs.split(QLatin1Char(','), Qt::SkipEmptyParts);

    for (int i = 0; i < targets.size(); ++i) {
        Simulation::Outcome outcome;
        outcome.commMac = targets.at(i);
        const auto found = byMac.constFind(outcome.commMac);
        SimulatedDevice *device = found == byMac.constEnd() ? nullptr : &devices[size_t(found.value())];
        if (!device) {
            outcome.result = wellFormed ? IpSetTimeout : IpSetFormatError;
        } else if (wellFormed && !device->offline && strikes(faults.reboot)) {
            // It restarts halfway: the change may or may not have been stored; no answer.
            if (faultRandom.bounded(2) == 0) {
                apply(device, change, change.offset(i));
            }
            device->offline = true;
            device->offlineRounds = 0;
            device->rebootRounds = 2;
            continue;
        } else {
            outcome.result = wellFormed ? apply(device, change, change.offset(i)) : IpSetFormatError;
            outcome.ip = device->ports.at(0).ip;
        }
        outcomes << outcome;
    }
    return faults.isEmpty() ? outcomes : disturb(outcomes);
}

QVector<Simulation::Outcome> SimulationPrivate::disturb(const QVector<Simulation::Outcome> &outcomes)
{
    QVector<Simulation::Outcome> sent;
    for (const Simulation::Outcome &outcome : outcomes) {
        if (strikes(faults.drop)) {
            continue;
        }
        sent << outcome;
        if (strikes(faults.duplicate)) {
            sent << outcome;
        }
        if (strikes(faults.stray)) {
            // A device of another network answers as well.
            sent << Simulation::Outcome { macText(0xEE, faultRandom.bounded(1u << 24)), QString(),
                IpSetSuccess };
        }
    }
    return sent;
}

QString NetworkFaults::fromString(const QString &text, NetworkFaults *faults)
{
    NetworkFaults result;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int equals = item.indexOf(QLatin1Char('='));
        const QString key = item.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : item.mid(equals + 1).trimmed();
        bool ok = false;
        if (key == QLatin1String("delay")) {
            result.delay = value.toInt(&ok);
            if (!ok || result.delay < 0 || result.delay > 600000) {
                return QStringLiteral("delay takes milliseconds from 0 to 600000, not \"%1\"").arg(value);
            }
            continue;
        }
        double *const rate = key == QLatin1String("drop") ? &result.drop
            : key == QLatin1String("duplicate")           ? &result.duplicate
            : key == QLatin1String("reboot")              ? &result.reboot
            : key == QLatin1String("stray")               ? &result.stray
                                                          : nullptr;
        if (!rate) {
            return QStringLiteral(
                "unknown fault \"%1\"; the faults are drop, duplicate, delay, reboot and stray")
                .arg(key);
        }
        *rate = value.toDouble(&ok);
        if (!ok || !(*rate >= 0 && *rate <= 1)) { // also refuses NaN
            return QStringLiteral("%1 takes a share from 0 to 1, not \"%2\"").arg(key, value);
        }
    }
    *faults = result;
    return QString();
}

Simulation::Simulation(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<SimulationPrivate>())
{
    d->q = this;
    populate(DefaultSeed, DefaultDeviceCount);
}

Simulation::~Simulation() = default;

void Simulation::populate(quint32 seed, int deviceCount)
{
    d->random.seed(seed);
    d->faultRandom.seed(seed ^ 0x5EEDFA17u);
    d->round = 0;
    d->finishedRounds = 0;
    d->pass = SimulationPrivate::Pass::None;
    d->answering.clear();
    d->devices.clear();
    d->byMac.clear();
    for (int i = 0; i < deviceCount; ++i) {
        d->devices.push_back(d->makeDevice(i));
        d->byMac.insert(d->devices.back().commMac, i);
    }
}

int Simulation::deviceCount() const
{
    return int(d->devices.size());
}

int Simulation::round() const
{
    return d->finishedRounds;
}

int Simulation::answerDelay() const
{
    return d->answerDelay;
}

void Simulation::setAnswerDelay(int milliseconds)
{
    d->answerDelay = qMax(0, milliseconds);
}

NetworkFaults Simulation::faults() const
{
    return d->faults;
}

void Simulation::setFaults(const NetworkFaults &faults)
{
    d->faults = faults;
}

MacScanDeviceInfo Simulation::deviceInfo(int index) const
{
    if (index < 0 || index >= deviceCount()) {
        return MacScanDeviceInfo();
    }
    return d->infoOf(d->devices.at(size_t(index)));
}

bool Simulation::deviceAnswers(int index) const
{
    if (index < 0 || index >= deviceCount()) {
        return false;
    }
    const SimulatedDevice &device = d->devices.at(size_t(index));
    return d->inReach(device) && !device.offline;
}

void Simulation::scanRound()
{
    startRound();
    while (!continueRound(std::numeric_limits<int>::max())) { }
}

bool Simulation::roundUnderWay() const
{
    return d->pass != SimulationPrivate::Pass::None;
}

void Simulation::startRound()
{
    if (roundUnderWay()) {
        return;
    }
    // The first round shows the network as it was built.
    d->pass = d->round > 0 ? SimulationPrivate::Pass::Drift : SimulationPrivate::Pass::Count;
    ++d->round;
    d->answering.clear();
    d->next = 0;
}

bool Simulation::continueRound(int count)
{
    using Pass = SimulationPrivate::Pass;
    if (d->pass == Pass::None) {
        return true;
    }
    size_t budget = size_t(std::max(count, 1));
    while (d->pass != Pass::None && budget > 0) {
        const size_t end = std::min(d->devices.size(), d->next + budget);
        budget -= end - d->next;
        for (; d->next < end; ++d->next) {
            SimulatedDevice &device = d->devices.at(d->next);
            if (d->pass == Pass::Drift) {
                d->drift(device);
            } else if (d->pass == Pass::Count) {
                if (d->inReach(device) && !device.offline) {
                    ++d->answering[device.ports.at(0).ip];
                }
            } else if (d->inReach(device)) {
                d->report(device);
                Q_EMIT ipStateReported(device.commMac, d->ipState(device, d->answering));
            }
        }
        if (d->next < d->devices.size()) {
            return false;
        }
        d->next = 0;
        d->pass = d->pass == Pass::Drift ? Pass::Count : d->pass == Pass::Count ? Pass::Report : Pass::None;
    }
    if (d->pass != Pass::None) {
        return false;
    }
    d->answering.clear();
    d->finishedRounds = d->round;
    Q_EMIT scanFinished(d->round);
    return true;
}

QString Simulation::configuredAddress(const QString &commMac) const
{
    const auto found = d->byMac.constFind(commMac);
    return found == d->byMac.constEnd() ? QString() : d->devices.at(size_t(found.value())).ownIp;
}

void Simulation::handleRequest(
    const QString &macs, const QString &port1, const QString &port2, const QString &request)
{
    // The devices work on the change while the tool waits; they answer all at once.
    QTimer::singleShot(
        d->faults.delay >= 0 ? d->faults.delay : d->answerDelay, this, [this, macs, port1, port2, request] {
            int requestId = 0;
            const QVector<Outcome> outcomes = d->answer(macs, port1, port2, request, &requestId);
            Q_EMIT requestAnswered(requestId, outcomes);
        });
}
