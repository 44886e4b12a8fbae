// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "emulatednetwork.h"

#include <netscan/networkchange.h>

#include <QSaveFile>
#include <QUrl>
#include <QUuid>

namespace {

constexpr int SliceSize = 4000;
const QUuid UuidNamespace { 0x5a7c3e10, 0x2f6b, 0x4d1e, 0x9c, 0x41, 0x7e, 0x02, 0x6b, 0x8d, 0x31, 0xa5 };

quint32 parsed(const QString &text)
{
    quint32 value = 0;
    parseAddress(text, &value);
    return value;
}

QString scopeText(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

EmulatedNetwork::EmulatedNetwork(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_garbleRandom(options.seed ^ 0x6A4B1E05u)
{
    m_simulation.setAnswerDelay(options.answerDelay);
    connect(&m_simulation, &Simulation::requestAnswered, this, &EmulatedNetwork::answered);
    m_rounds.setInterval(qMax(options.interval, 100));
    connect(&m_rounds, &QTimer::timeout, this, [this] {
        if (!m_simulation.roundUnderWay() && m_nextRefresh < 0) {
            m_simulation.startRound();
            m_slices.start();
        }
    });
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &EmulatedNetwork::continueRound);
}

EmulatedNetwork::~EmulatedNetwork() = default;

void EmulatedNetwork::start()
{
    m_simulation.populate(m_options.seed, m_options.devices);
    m_simulation.setFaults(m_options.faults);
    for (int round = 0; round < qMax(1, m_options.rounds); ++round) {
        m_simulation.scanRound();
    }
    m_slots.assign(size_t(m_options.devices), Slot());
    m_byAddress.clear();
    m_byAddress.reserve(m_options.devices);
    m_initial.clear();
    for (int i = 0; i < m_options.devices; ++i) {
        refresh(i, false);
        m_initial << configuredAddress(i);
    }
    if (m_options.interval > 0) {
        m_rounds.start();
    }
}

void EmulatedNetwork::continueRound()
{
    // The model moves on in slices, then each device's place on the network is followed.
    if (m_nextRefresh < 0) {
        if (m_simulation.continueRound(SliceSize)) {
            m_nextRefresh = 0;
        }
        return;
    }
    const int end = qMin(deviceCount(), m_nextRefresh + SliceSize);
    for (; m_nextRefresh < end; ++m_nextRefresh) {
        refresh(m_nextRefresh, true);
    }
    if (m_nextRefresh >= deviceCount()) {
        m_nextRefresh = -1;
        m_slices.stop();
    }
}

void EmulatedNetwork::refresh(int index, bool announce)
{
    Slot &slot = m_slots[size_t(index)];
    const bool answers = m_simulation.deviceAnswers(index);
    const MacScanDeviceInfo model = m_simulation.deviceInfo(index);
    const quint32 address
        = model.networkInfo().isEmpty() ? 0 : toNetwork(parsed(model.networkInfo().at(0).ip));
    const bool moved = address != slot.address;
    if (moved) {
        m_byAddress.remove(slot.address, index);
        m_byAddress.insert(address, index);
        slot.address = address;
        ++slot.metadataVersion;
    }
    const bool cameBack = answers && !slot.answers;
    slot.answers = answers;
    if (announce && answers && (moved || cameBack)) {
        Q_EMIT deviceMoved(index);
    }
}

int EmulatedNetwork::deviceCount() const
{
    return int(m_slots.size());
}

int EmulatedNetwork::deviceAt(quint32 address) const
{
    for (auto it = m_byAddress.constFind(address); it != m_byAddress.constEnd() && it.key() == address;
         ++it) {
        if (m_slots[size_t(it.value())].answers) {
            return it.value();
        }
    }
    return -1;
}

bool EmulatedNetwork::answers(int index) const
{
    return index >= 0 && index < deviceCount() && m_slots[size_t(index)].answers;
}

MacScanDeviceInfo EmulatedNetwork::info(int index) const
{
    MacScanDeviceInfo info = m_simulation.deviceInfo(index);
    if (m_options.mode == AddressMode::Loopback) {
        QVector<t_device_network_info> ports = info.networkInfo();
        for (t_device_network_info &port : ports) {
            port.ip = formatAddress(toNetwork(parsed(port.ip)));
            port.gateway = formatAddress(toNetwork(parsed(port.gateway)));
        }
        info.setNetworkInfo(ports);
    }
    return info;
}

quint32 EmulatedNetwork::address(int index) const
{
    return m_slots[size_t(index)].address;
}

QString EmulatedNetwork::configuredAddress(int index) const
{
    const QString own = m_simulation.configuredAddress(m_simulation.deviceInfo(index).deviceCommMac());
    return own.isEmpty() ? own : formatAddress(toNetwork(parsed(own)));
}

void EmulatedNetwork::noteWrite(int index, quint32 localAddress)
{
    if (index < 0 || index >= deviceCount()) {
        return;
    }
    const Slot &slot = m_slots[size_t(index)];
    if (localAddress != slot.address || slot.address == parsed(configuredAddress(index))) {
        return;
    }
    // Borrowed: the write may have been meant for any device that holds the address too.
    for (auto it = m_byAddress.constFind(localAddress);
         it != m_byAddress.constEnd() && it.key() == localAddress; ++it) {
        ++m_slots[size_t(it.value())].sharedWrites;
    }
}

bool EmulatedNetwork::writeTruth(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArray text = QByteArrayLiteral(
        "mac\tanswering\tinitial\tconfigured\tip\tmask\tgateway\tip2\tname\tserial\tmodel\tfirmware\tkind\t"
        "shared_writes\n");
    const auto field
        = [](const QString &value) { return value.toUtf8().replace('\t', ' ').replace('\n', ' '); };
    for (int i = 0; i < deviceCount(); ++i) {
        const MacScanDeviceInfo device = info(i);
        const QVector<t_device_network_info> ports = device.networkInfo();
        const t_device_network_info first = ports.value(0);
        text += field(device.deviceCommMac()) + '\t' + (answers(i) ? "1" : "0") + '\t'
            + field(m_initial.value(i)) + '\t' + field(configuredAddress(i)) + '\t' + field(first.ip) + '\t'
            + field(first.subnetMask) + '\t' + field(first.gateway) + '\t' + field(ports.value(1).ip) + '\t'
            + field(device.name()) + '\t' + field(device.deviceSN()) + '\t' + field(device.deviceModel())
            + '\t' + field(device.firmwareVer()) + '\t' + QByteArray::number(int(device.nodeType())) + '\t'
            + QByteArray::number(m_slots[size_t(i)].sharedWrites) + '\n';
    }
    file.write(text);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString EmulatedNetwork::endpoint(int index) const
{
    // For life: the same seed and MAC give the same identity.
    const QByteArray name = QByteArray::number(m_options.seed) + '/'
        + m_simulation.deviceInfo(index).deviceCommMac().toLatin1();
    return QStringLiteral("urn:uuid:")
        + QUuid::createUuidV5(UuidNamespace, name).toString(QUuid::WithoutBraces);
}

QString EmulatedNetwork::serviceUrl(int index) const
{
    const QString port = m_options.httpPort == 80 ? QString() : QStringLiteral(":%1").arg(m_options.httpPort);
    return QStringLiteral("http://") + formatAddress(address(index)) + port
        + QStringLiteral("/onvif/device_service");
}

quint32 EmulatedNetwork::metadataVersion(int index) const
{
    return m_slots[size_t(index)].metadataVersion;
}

QStringList EmulatedNetwork::scopes(const MacScanDeviceInfo &info)
{
    static const char *const Kinds[] = { nullptr, "encoder", "decoder", "decoder-2in1", "central" };
    static const char *const SubKinds[] = { "none", "seat", "bigscreen", "echo" };
    static const char *const RunModes[] = { "normal", "master", "backup" };
    QStringList scopes { QStringLiteral("onvif://www.onvif.org/name/") + scopeText(info.name()),
        QStringLiteral("onvif://www.onvif.org/hardware/") + scopeText(info.deviceModel()) };
    if (info.nodeType() > NodeInvalid && info.nodeType() <= NodeCentralControl) {
        scopes << QStringLiteral("zvr://node/") + QLatin1String(Kinds[info.nodeType()]);
    }
    if (info.subNodeType() >= SubNodeNone && info.subNodeType() <= SubNodeEcho) {
        scopes << QStringLiteral("zvr://sub/") + QLatin1String(SubKinds[info.subNodeType()]);
    }
    if (info.runMode() >= RunModeNormal && info.runMode() <= RunModeBackup) {
        scopes << QStringLiteral("zvr://runmode/") + QLatin1String(RunModes[info.runMode()]);
    }
    scopes << QStringLiteral("zvr://fault/%1").arg(info.malfunction())
           << QStringLiteral("zvr://callroll/%1").arg(info.callRollState());
    return scopes;
}

QVector<QualifiedName> EmulatedNetwork::types(NodeType kind)
{
    QVector<QualifiedName> types { { WsNs::Device, QStringLiteral("Device") } };
    if (kind == NodeEncoder) {
        types.append({ WsNs::Network, QStringLiteral("NetworkVideoTransmitter") });
    } else if (kind == NodeDecoder || kind == NodeDecoderTwoInOne) {
        types.append({ WsNs::Network, QStringLiteral("NetworkVideoDisplay") });
    }
    return types;
}

bool EmulatedNetwork::strikesGarble()
{
    return m_options.garble > 0 && m_garbleRandom.generateDouble() < m_options.garble;
}

QByteArray EmulatedNetwork::garbled(const QByteArray &answer)
{
    if (answer.size() < 4) {
        return answer;
    }
    const int at = int(m_garbleRandom.bounded(quint32(answer.size() / 2))) + answer.size() / 4;
    if (m_garbleRandom.bounded(2) == 0) {
        return answer.left(at); // cut short
    }
    QByteArray broken = answer;
    broken.replace(at, 1, "<&");
    return broken;
}

quint32 EmulatedNetwork::toNetwork(quint32 modelAddress) const
{
    return m_options.mode == AddressMode::Loopback ? (127u << 24) | (modelAddress & 0xFFFFFFu) : modelAddress;
}

quint32 EmulatedNetwork::toModel(int index, quint32 address) const
{
    if (m_options.mode != AddressMode::Loopback || address >> 24 != 127) {
        return address;
    }
    // Back into the range the device's port 1 holds in the model.
    const quint32 current = parsed(m_simulation.deviceInfo(index).networkInfo().value(0).ip);
    return (current & 0xFF000000u) | (address & 0xFFFFFFu);
}

int EmulatedNetwork::requestChange(int index, int port, quint32 address, const QString &mask, quint32 gateway)
{
    const int id = m_nextRequest++;
    const MacScanDeviceInfo model = m_simulation.deviceInfo(index);
    const QVector<t_device_network_info> ports = model.networkInfo();
    const t_device_network_info first = ports.value(0);
    PortSettings port1 { first.ip, first.subnetMask, first.gateway };
    PortSettings port2;
    if (port == 0) {
        for (auto it = m_byAddress.constFind(toNetwork(address));
             it != m_byAddress.constEnd() && it.key() == toNetwork(address); ++it) {
            if (it.value() != index) {
                QTimer::singleShot(0, this, [this, id] { Q_EMIT changeAnswered(id, IpSetPortCheckFailed); });
                return id;
            }
        }
        port1.ip = formatAddress(address);
        port1.subnetMask = mask;
    } else if (port == 1) {
        const t_device_network_info second = ports.value(1);
        port2 = { formatAddress(address), mask, second.gateway };
    } else {
        port1.gateway = formatAddress(gateway);
    }
    m_pending.insert(id, index);
    m_simulation.handleRequest(model.deviceCommMac(), NetworkChange::portText(port1),
        NetworkChange::portText(port2), QString::number(id));
    return id;
}

void EmulatedNetwork::answered(int requestId, const QVector<Simulation::Outcome> &outcomes)
{
    const auto pending = m_pending.find(requestId);
    if (pending == m_pending.end()) {
        return;
    }
    const int index = pending.value();
    m_pending.erase(pending);
    const QString mac = m_simulation.deviceInfo(index).deviceCommMac();
    int result = -1;
    for (const Simulation::Outcome &outcome : outcomes) {
        if (outcome.commMac == mac) {
            result = outcome.result;
            break;
        }
    }
    refresh(index, true);
    Q_EMIT changeAnswered(requestId, result);
}
