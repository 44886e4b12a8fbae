// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicedata.h"

#include "displaytexts.h"
#include "ipaddresshelper.h"
#include "notifyingstore_p.h"

#include <QMap>
#include <QMetaObject>
#include <QMetaProperty>
#include <QVariant>

#include <utility>

using ZVR::Private::storeAndNotify;

// Texts of the enumeration values, translated once when the library is loaded.
static const QMap<int, QString> nodeTypeTexts = {
    { NodeInvalid, QObject::tr("--") },
    { NodeEncoder, QObject::tr("编码器") },
    { NodeDecoder, QObject::tr("解码器") },
    { NodeDecoderTwoInOne, QObject::tr("解码器-二合一") },
    { NodeCentralControl, QObject::tr("中控") },
};

static const QMap<int, QString> runModeTexts = {
    { RunModeNormal, QObject::tr("普通节点") },
    { RunModeMaster, QObject::tr("主节点") },
    { RunModeBackup, QObject::tr("备节点") },
    { RunModeInvalid, QObject::tr("--") },
};

static const QMap<int, QString> subNodeTypeTexts = {
    { SubNodeNone, QObject::tr("") },
    { SubNodeSeat, QObject::tr("坐席") },
    { SubNodeBigScreen, QObject::tr("大屏") },
    { SubNodeEcho, QObject::tr("回显") },
};

static const QMap<int, QString> devStatusTexts = {
    { DeviceData::Online, QObject::tr("在线") },
    { DeviceData::Offline, QObject::tr("离线") },
    { DeviceData::Malfunction, QObject::tr("故障") },
};

// An unknown value has no text; the lookup never inserts.
static QString textOf(const QMap<int, QString> &table, int value)
{
    const auto it = table.constFind(value);
    if (it == table.constEnd()) {
        return QString();
    }
    return it.value();
}

class DeviceDataPrivate
{
public:
    bool checked = false;
    QString devModel;
    // Held as int, like the two below: a value outside its list stays defined and shows
    // an empty text.
    int ipState = DeviceData::StateNormal;
    QString serialNumber;
    NodeType nodeType = NodeInvalid;
    int devStatus = DeviceData::Online;
    int malfunctionVal = 0;
    QString name;
    SubNodeType subNodeType = SubNodeNone;
    QString firmwareVer;
    QString devTime;
    int callRollState = DeviceData::CallRollOff;
    DeviceRunMode runMode = RunModeInvalid;
    QVector<t_device_network_info> networkInfo;
    QString commMac;
};

// A port the device does not have shows empty texts.
static QString portText(const DeviceDataPrivate *d, int port, QString t_device_network_info::*text)
{
    return port < d->networkInfo.size() ? d->networkInfo.at(port).*text : QString();
}

DeviceData::DeviceData(QObject *parent)
    : QObject(parent)
    , d_ptr(std::make_unique<DeviceDataPrivate>())
{
}

DeviceData::DeviceData(const DeviceData &other)
    : QObject(nullptr)
    , d_ptr(std::make_unique<DeviceDataPrivate>(*other.d_ptr))
{
}

DeviceData &DeviceData::operator=(const DeviceData &other)
{
    if (this != &other) {
        *d_ptr = *other.d_ptr;
    }
    return *this;
}

DeviceData::~DeviceData() = default;

bool DeviceData::checked() const
{
    return d_func()->checked;
}

void DeviceData::setChecked(bool checked)
{
    storeAndNotify(this, d_func()->checked, checked, &DeviceData::checkedChanged);
}

QString DeviceData::devModel() const
{
    return d_func()->devModel;
}

void DeviceData::setDevModel(const QString &model)
{
    storeAndNotify(this, d_func()->devModel, model, &DeviceData::devModelChanged);
}

NodeType DeviceData::getNodeType() const
{
    return d_func()->nodeType;
}

void DeviceData::setNodeTypeVal(NodeType type)
{
    storeAndNotify(
        this, d_func()->nodeType, type, &DeviceData::nodeTypeChanged, &DeviceData::completeTypeChanged);
}

QString DeviceData::nodeType() const
{
    return textOf(nodeTypeTexts, d_func()->nodeType);
}

DeviceData::IpState DeviceData::ipState() const
{
    return static_cast<IpState>(d_func()->ipState);
}

int DeviceData::ipStateValue()
{
    return d_func()->ipState;
}

void DeviceData::setIpState(IpState state)
{
    storeAndNotify(this, d_func()->ipState, state, &DeviceData::ipStateChanged);
}

QString DeviceData::serialNumber() const
{
    return d_func()->serialNumber;
}

void DeviceData::setSerialNumber(const QString &serialNumber)
{
    storeAndNotify(this, d_func()->serialNumber, serialNumber, &DeviceData::serialNumberChanged);
}

QString DeviceData::name() const
{
    return d_func()->name;
}

void DeviceData::setName(const QString &name)
{
    storeAndNotify(this, d_func()->name, name, &DeviceData::nameChanged);
}

QString DeviceData::devTime() const
{
    return d_func()->devTime;
}

void DeviceData::setDevTime(const QString &time)
{
    storeAndNotify(this, d_func()->devTime, time, &DeviceData::devTimeChanged);
}

int DeviceData::callRollState() const
{
    return d_func()->callRollState;
}

void DeviceData::setCallRollState(int state)
{
    storeAndNotify(this, d_func()->callRollState, state, &DeviceData::callRollStateChanged);
}

void DeviceData::setSubNodeTypeVal(SubNodeType type)
{
    storeAndNotify(
        this, d_func()->subNodeType, type, &DeviceData::subNodeTypeChanged, &DeviceData::completeTypeChanged);
}

QString DeviceData::subNodeType() const
{
    return textOf(subNodeTypeTexts, d_func()->subNodeType);
}

QString DeviceData::firmwareVer() const
{
    return d_func()->firmwareVer;
}

void DeviceData::setFirmwareVer(const QString &version)
{
    storeAndNotify(this, d_func()->firmwareVer, version, &DeviceData::firmwareVerChanged);
}

void DeviceData::setRunModeVal(DeviceRunMode mode)
{
    storeAndNotify(this, d_func()->runMode, mode, &DeviceData::runModeChanged);
}

QString DeviceData::runMode() const
{
    return textOf(runModeTexts, d_func()->runMode);
}

DeviceData::DeviceStatus DeviceData::devStatus() const
{
    return static_cast<DeviceStatus>(d_func()->devStatus);
}

void DeviceData::setDevStatus(DeviceStatus status)
{
    storeAndNotify(
        this, d_func()->devStatus, status, &DeviceData::devStatusChanged, &DeviceData::devStatusStrChanged);
}

QString DeviceData::devStatusStr() const
{
    return textOf(devStatusTexts, d_func()->devStatus);
}

int DeviceData::malfunctionVal() const
{
    return d_func()->malfunctionVal;
}

void DeviceData::setMalfunctionVal(int word)
{
    storeAndNotify(this, d_func()->malfunctionVal, word, &DeviceData::malfunctionChanged);
}

// Only the temperature and voltage bits have a text; the status does not matter.
QString DeviceData::malfunction() const
{
    Q_D(const DeviceData);
    QString text;
    if (d->malfunctionVal & MalfunctionTemperature) {
        text += STR_TEMPERATURE_ABNORMAL;
    }
    if (d->malfunctionVal & MalfunctionVoltage) {
        if (!text.isEmpty()) {
            text += QLatin1Char('/');
        }
        text += STR_VOLTAGE_ABNORMAL;
    }
    return text;
}

QString DeviceData::commMac() const
{
    return d_func()->commMac;
}

void DeviceData::setCommMac(const QString &mac)
{
    Q_D(DeviceData);
    d->commMac = mac;
}

// Only a decoder shows its sub-kind beside its kind.
QString DeviceData::completeType() const
{
    Q_D(const DeviceData);
    const QString kind = nodeType();
    const QString subKind = subNodeType();
    if (!subKind.isEmpty() && d->nodeType == NodeDecoder) {
        return QStringLiteral("%1-%2").arg(kind).arg(subKind);
    }
    return kind;
}

bool DeviceData::online() const
{
    return d_func()->devStatus == Online;
}

bool DeviceData::offline() const
{
    return d_func()->devStatus != Online;
}

QString DeviceData::mac() const
{
    return portText(d_func(), 0, &t_device_network_info::mac);
}

QString DeviceData::ip() const
{
    return portText(d_func(), 0, &t_device_network_info::ip);
}

QString DeviceData::subnetMask() const
{
    return portText(d_func(), 0, &t_device_network_info::subnetMask);
}

QString DeviceData::gateway() const
{
    return portText(d_func(), 0, &t_device_network_info::gateway);
}

QString DeviceData::mac2() const
{
    return portText(d_func(), 1, &t_device_network_info::mac);
}

QString DeviceData::ip2() const
{
    return portText(d_func(), 1, &t_device_network_info::ip);
}

QString DeviceData::subnetMask2() const
{
    return portText(d_func(), 1, &t_device_network_info::subnetMask);
}

QString DeviceData::gateway2() const
{
    return portText(d_func(), 1, &t_device_network_info::gateway);
}

int DeviceData::ethernetPortNumber() const
{
    return d_func()->networkInfo.size();
}

QVector<t_device_network_info> DeviceData::networkInfo() const
{
    return d_func()->networkInfo;
}

quint32 DeviceData::networkIpInt(int port) const
{
    Q_D(const DeviceData);
    if (port < 0 || port >= d->networkInfo.size()) {
        return 0;
    }
    return d->networkInfo.at(port).ipInt;
}

// The port properties signal on every call: the record does not compare port vectors.
void DeviceData::setNetworkInfo(QVector<t_device_network_info> info)
{
    takePorts(d_func()->networkInfo, std::move(info));
    Q_EMIT macChanged();
    Q_EMIT ipChanged();
    Q_EMIT subnetMaskChanged();
    Q_EMIT gatewayChanged();
    Q_EMIT mac2Changed();
    Q_EMIT ip2Changed();
    Q_EMIT subnetMask2Changed();
    Q_EMIT gateway2Changed();
}

// Walks the dynamic meta-object, so a subclass's own properties are listed too.
QString DeviceData::toString() const
{
    const QMetaObject *const meta = metaObject();
    const int count = meta->propertyCount();
    QString text;
    text.reserve(count * 24);
    for (int i = 1; i < count; ++i) {
        const QMetaProperty property = meta->property(i);
        text += QLatin1String(property.name());
        text += QLatin1Char(':');
        text += property.read(this).toString();
        if (i != count - 1) {
            text += QLatin1Char(',');
        }
    }
    return text;
}

void DeviceData::update(const MacScanDeviceInfo &info, int mode)
{
    Q_D(DeviceData);
    switch (mode) {
    case ZVR::FirstReport:
        updateFromMac(info);
        updateFromUdp(info);
        // As setCommMac: stored without comparing, no signal.
        d->commMac = info.deviceCommMac();
        break;
    case ZVR::MacScanReport:
        updateFromMac(info);
        break;
    case ZVR::UdpReport:
        updateFromUdp(info);
        break;
    default:
        break;
    }
}

void DeviceData::updateFromMac(const MacScanDeviceInfo &info)
{
    Q_D(DeviceData);
    storeAndNotify(this, d->devModel, info.deviceModel(), &DeviceData::devModelChanged);
    setNodeTypeVal(info.nodeType());
    storeAndNotify(this, d->serialNumber, info.deviceSN(), &DeviceData::serialNumberChanged);
    setNetworkInfo(info.networkInfo());
    setMalfunctionVal(info.malfunction());
    // An offline device keeps its last faults, but shows as offline.
    if (info.isOffline()) {
        setDevStatus(Offline);
    } else if (malfunctionVal() == 0) {
        setDevStatus(Online);
    } else {
        setDevStatus(Malfunction);
    }
}

void DeviceData::updateFromUdp(const MacScanDeviceInfo &info)
{
    Q_D(DeviceData);
    storeAndNotify(this, d->name, info.name(), &DeviceData::nameChanged);
    setSubNodeTypeVal(info.subNodeType());
    storeAndNotify(this, d->firmwareVer, info.firmwareVer(), &DeviceData::firmwareVerChanged);
    setRunModeVal(info.runMode());
    storeAndNotify(this, d->devTime, info.devTime(), &DeviceData::devTimeChanged);
    setCallRollState(info.callRollState());
}
