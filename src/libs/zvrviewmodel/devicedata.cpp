// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicedata.h"

#include "displaytexts.h"
#include "ipaddresshelper.h"

#include <QMap>
#include <QMetaObject>
#include <QMetaProperty>
#include <QVariant>

#include <utility>

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

// The update paths take the report getter's own copy of a text: the same comparison and
// signal as the setter, without two more reference-count updates to copy the text again.
template<typename Signal>
static void takeText(DeviceData *record, QString &field, QString &&value, Signal changed)
{
    if (field == value) {
        return;
    }
    field = std::move(value);
    Q_EMIT(record->*changed)();
}

// An equal text is kept rather than replaced: comparing is cheaper than swapping references.
static void keepOrTake(QString &field, const QString &value)
{
    if (field != value) {
        field = value;
    }
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
    Q_D(const DeviceData);
    return d->checked;
}

void DeviceData::setChecked(bool checked)
{
    Q_D(DeviceData);
    if (d->checked == checked) {
        return;
    }
    d->checked = checked;
    Q_EMIT checkedChanged();
}

QString DeviceData::devModel() const
{
    Q_D(const DeviceData);
    return d->devModel;
}

void DeviceData::setDevModel(const QString &model)
{
    Q_D(DeviceData);
    if (d->devModel == model) {
        return;
    }
    d->devModel = model;
    Q_EMIT devModelChanged();
}

NodeType DeviceData::getNodeType() const
{
    Q_D(const DeviceData);
    return d->nodeType;
}

void DeviceData::setNodeTypeVal(NodeType type)
{
    Q_D(DeviceData);
    if (d->nodeType == type) {
        return;
    }
    d->nodeType = type;
    Q_EMIT nodeTypeChanged();
    Q_EMIT completeTypeChanged();
}

QString DeviceData::nodeType() const
{
    Q_D(const DeviceData);
    return textOf(nodeTypeTexts, d->nodeType);
}

DeviceData::IpState DeviceData::ipState() const
{
    Q_D(const DeviceData);
    return static_cast<IpState>(d->ipState);
}

int DeviceData::ipStateValue()
{
    Q_D(const DeviceData);
    return d->ipState;
}

void DeviceData::setIpState(IpState state)
{
    Q_D(DeviceData);
    if (d->ipState == state) {
        return;
    }
    d->ipState = state;
    Q_EMIT ipStateChanged();
}

QString DeviceData::serialNumber() const
{
    Q_D(const DeviceData);
    return d->serialNumber;
}

void DeviceData::setSerialNumber(const QString &serialNumber)
{
    Q_D(DeviceData);
    if (d->serialNumber == serialNumber) {
        return;
    }
    d->serialNumber = serialNumber;
    Q_EMIT serialNumberChanged();
}

QString DeviceData::name() const
{
    Q_D(const DeviceData);
    return d->name;
}

void DeviceData::setName(const QString &name)
{
    Q_D(DeviceData);
    if (d->name == name) {
        return;
    }
    d->name = name;
    Q_EMIT nameChanged();
}

QString DeviceData::devTime() const
{
    Q_D(const DeviceData);
    return d->devTime;
}

void DeviceData::setDevTime(const QString &time)
{
    Q_D(DeviceData);
    if (d->devTime == time) {
        return;
    }
    d->devTime = time;
    Q_EMIT devTimeChanged();
}

int DeviceData::callRollState() const
{
    Q_D(const DeviceData);
    return d->callRollState;
}

void DeviceData::setCallRollState(int state)
{
    Q_D(DeviceData);
    if (d->callRollState == state) {
        return;
    }
    d->callRollState = state;
    Q_EMIT callRollStateChanged();
}

void DeviceData::setSubNodeTypeVal(SubNodeType type)
{
    Q_D(DeviceData);
    if (d->subNodeType == type) {
        return;
    }
    d->subNodeType = type;
    Q_EMIT subNodeTypeChanged();
    Q_EMIT completeTypeChanged();
}

QString DeviceData::subNodeType() const
{
    Q_D(const DeviceData);
    return textOf(subNodeTypeTexts, d->subNodeType);
}

QString DeviceData::firmwareVer() const
{
    Q_D(const DeviceData);
    return d->firmwareVer;
}

void DeviceData::setFirmwareVer(const QString &version)
{
    Q_D(DeviceData);
    if (d->firmwareVer == version) {
        return;
    }
    d->firmwareVer = version;
    Q_EMIT firmwareVerChanged();
}

void DeviceData::setRunModeVal(DeviceRunMode mode)
{
    Q_D(DeviceData);
    if (d->runMode == mode) {
        return;
    }
    d->runMode = mode;
    Q_EMIT runModeChanged();
}

QString DeviceData::runMode() const
{
    Q_D(const DeviceData);
    return textOf(runModeTexts, d->runMode);
}

DeviceData::DeviceStatus DeviceData::devStatus() const
{
    Q_D(const DeviceData);
    return static_cast<DeviceStatus>(d->devStatus);
}

void DeviceData::setDevStatus(DeviceStatus status)
{
    Q_D(DeviceData);
    if (d->devStatus == status) {
        return;
    }
    d->devStatus = status;
    Q_EMIT devStatusChanged();
    Q_EMIT devStatusStrChanged();
}

QString DeviceData::devStatusStr() const
{
    Q_D(const DeviceData);
    return textOf(devStatusTexts, d->devStatus);
}

int DeviceData::malfunctionVal() const
{
    Q_D(const DeviceData);
    return d->malfunctionVal;
}

void DeviceData::setMalfunctionVal(int word)
{
    Q_D(DeviceData);
    if (d->malfunctionVal == word) {
        return;
    }
    d->malfunctionVal = word;
    Q_EMIT malfunctionChanged();
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
    Q_D(const DeviceData);
    return d->commMac;
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
    Q_D(const DeviceData);
    return d->devStatus == Online;
}

bool DeviceData::offline() const
{
    Q_D(const DeviceData);
    return d->devStatus != Online;
}

QString DeviceData::mac() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 0 ? d->networkInfo.at(0).mac : QString();
}

QString DeviceData::ip() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 0 ? d->networkInfo.at(0).ip : QString();
}

QString DeviceData::subnetMask() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 0 ? d->networkInfo.at(0).subnetMask : QString();
}

QString DeviceData::gateway() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 0 ? d->networkInfo.at(0).gateway : QString();
}

QString DeviceData::mac2() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 1 ? d->networkInfo.at(1).mac : QString();
}

QString DeviceData::ip2() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 1 ? d->networkInfo.at(1).ip : QString();
}

QString DeviceData::subnetMask2() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 1 ? d->networkInfo.at(1).subnetMask : QString();
}

QString DeviceData::gateway2() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size() > 1 ? d->networkInfo.at(1).gateway : QString();
}

int DeviceData::ethernetPortNumber() const
{
    Q_D(const DeviceData);
    return d->networkInfo.size();
}

QVector<t_device_network_info> DeviceData::networkInfo() const
{
    Q_D(const DeviceData);
    return d->networkInfo;
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
    Q_D(DeviceData);
    if (!info.isEmpty() && info.size() == d->networkInfo.size()) {
        // A rescan brings as many ports as before: overwrite our own entries rather than
        // allocate a copy of the caller's shared array. The caller's entries stay as they are.
        t_device_network_info *port = d->networkInfo.data();
        for (const t_device_network_info &given : std::as_const(info)) {
            port->id = given.id;
            keepOrTake(port->mac, given.mac);
            keepOrTake(port->ip, given.ip);
            keepOrTake(port->subnetMask, given.subnetMask);
            keepOrTake(port->gateway, given.gateway);
            port->ipInt = IPV4StringToInteger(port->ip);
            ++port;
        }
    } else {
        d->networkInfo = std::move(info);
        for (t_device_network_info &port : d->networkInfo) {
            port.ipInt = IPV4StringToInteger(port.ip);
        }
    }
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
    for (int i = 1; i < count; ++i) {
        const char *const propertyName = meta->property(i).name();
        text += QLatin1String(propertyName);
        text += QLatin1Char(':');
        text += property(propertyName).toString();
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
    case 0:
        updateFromMac(info);
        updateFromUdp(info);
        // As setCommMac: stored without comparing, no signal.
        d->commMac = info.deviceCommMac();
        break;
    case 1:
        updateFromMac(info);
        break;
    case 2:
        updateFromUdp(info);
        break;
    default:
        break;
    }
}

void DeviceData::updateFromMac(const MacScanDeviceInfo &info)
{
    Q_D(DeviceData);
    takeText(this, d->devModel, info.deviceModel(), &DeviceData::devModelChanged);
    setNodeTypeVal(info.nodeType());
    takeText(this, d->serialNumber, info.deviceSN(), &DeviceData::serialNumberChanged);
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
    takeText(this, d->name, info.name(), &DeviceData::nameChanged);
    setSubNodeTypeVal(info.subNodeType());
    takeText(this, d->firmwareVer, info.firmwareVer(), &DeviceData::firmwareVerChanged);
    setRunModeVal(info.runMode());
    takeText(this, d->devTime, info.devTime(), &DeviceData::devTimeChanged);
    setCallRollState(info.callRollState());
}
