// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Feeds arbitrary device reports, in any mode, to one DeviceData and checks every
// value and the exact signal sequence against a reference record kept here.

#include "fuzzinput.h"

#include <zvrviewmodel/devicedata.h>

#include <QMap>
#include <QVector>
#include <QtGlobal>

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

enum Signal {
    SigChecked,
    SigDevModel,
    SigNodeType,
    SigIpState,
    SigSerialNumber,
    SigMac,
    SigIp,
    SigSubnetMask,
    SigGateway,
    SigMac2,
    SigIp2,
    SigSubnetMask2,
    SigGateway2,
    SigName,
    SigFirmwareVer,
    SigDevTime,
    SigCallRollState,
    SigSubNodeType,
    SigRunMode,
    SigCompleteType,
    SigDevStatus,
    SigDevStatusStr,
    SigMalfunction,
};

using SignalList = QVector<int>;

void recordSignals(DeviceData *device, SignalList *out)
{
    using S = void (DeviceData::*)();
    static const S all[] = {
        &DeviceData::checkedChanged,      &DeviceData::devModelChanged,     &DeviceData::nodeTypeChanged,
        &DeviceData::ipStateChanged,      &DeviceData::serialNumberChanged, &DeviceData::macChanged,
        &DeviceData::ipChanged,           &DeviceData::subnetMaskChanged,   &DeviceData::gatewayChanged,
        &DeviceData::mac2Changed,         &DeviceData::ip2Changed,          &DeviceData::subnetMask2Changed,
        &DeviceData::gateway2Changed,     &DeviceData::nameChanged,         &DeviceData::firmwareVerChanged,
        &DeviceData::devTimeChanged,      &DeviceData::callRollStateChanged, &DeviceData::subNodeTypeChanged,
        &DeviceData::runModeChanged,      &DeviceData::completeTypeChanged, &DeviceData::devStatusChanged,
        &DeviceData::devStatusStrChanged, &DeviceData::malfunctionChanged,
    };
    for (int i = 0; i < int(sizeof(all) / sizeof(all[0])); ++i) {
        QObject::connect(device, all[i], device, [out, i] { out->append(i); });
    }
}

// The address rule written out again: split at every full stop keeping empty parts,
// exactly four parts, each a base-10 int or 0, ORed into place in 32 bits.
quint32 expectedAddress(const QString &ip)
{
    if (ip.count(QLatin1Char('.')) != 3) {
        return 0xFFFFFFFFu;
    }
    quint64 value = 0;
    int start = 0;
    for (int i = 0; i < 4; ++i) {
        const int dot = i < 3 ? ip.indexOf(QLatin1Char('.'), start) : ip.size();
        bool ok = false;
        const int part = ip.mid(start, dot - start).toInt(&ok, 10);
        value |= quint64(quint32(ok ? part : 0)) << (8 * (3 - i));
        start = dot + 1;
    }
    return quint32(value & 0xFFFFFFFFu);
}

QString tableText(const QMap<int, QString> &table, int value)
{
    return table.value(value);
}

const QMap<int, QString> &nodeTexts()
{
    static const QMap<int, QString> t = {{0, QStringLiteral("--")},
                                         {1, QStringLiteral("编码器")},
                                         {2, QStringLiteral("解码器")},
                                         {3, QStringLiteral("解码器-二合一")},
                                         {4, QStringLiteral("中控")}};
    return t;
}

const QMap<int, QString> &subNodeTexts()
{
    static const QMap<int, QString> t = {
        {0, QString()}, {1, QStringLiteral("坐席")}, {2, QStringLiteral("大屏")}, {3, QStringLiteral("回显")}};
    return t;
}

const QMap<int, QString> &runModeTexts()
{
    static const QMap<int, QString> t = {{0, QStringLiteral("普通节点")},
                                         {1, QStringLiteral("主节点")},
                                         {2, QStringLiteral("备节点")},
                                         {3, QStringLiteral("--")}};
    return t;
}

const QMap<int, QString> &statusTexts()
{
    static const QMap<int, QString> t = {
        {0, QStringLiteral("在线")}, {1, QStringLiteral("离线")}, {2, QStringLiteral("故障")}};
    return t;
}

// What the record must hold, kept by the rules of a report's two shares.
struct Reference
{
    QString devModel;
    QString serialNumber;
    QString name;
    QString firmwareVer;
    QString devTime;
    QString commMac;
    int nodeType = NodeInvalid;
    int subNodeType = SubNodeNone;
    int runMode = RunModeInvalid;
    int malfunction = 0;
    int callRollState = 0;
    int status = DeviceData::Online;
    QVector<t_device_network_info> ports;

    QString completeType() const
    {
        const QString kind = tableText(nodeTexts(), nodeType);
        const QString sub = tableText(subNodeTexts(), subNodeType);
        if (nodeType == NodeDecoder && !sub.isEmpty()) {
            return kind + QLatin1Char('-') + sub;
        }
        return kind;
    }

    QString malfunctionText() const
    {
        QString text;
        if (malfunction & 1) {
            text = QStringLiteral("温度异常");
        }
        if (malfunction & 2) {
            if (!text.isEmpty()) {
                text += QLatin1Char('/');
            }
            text += QStringLiteral("电压异常");
        }
        return text;
    }

    // Applies a MAC-scan share and appends the signals it must emit.
    void takeMac(const MacScanDeviceInfo &info, SignalList *expected)
    {
        const QString model = info.deviceModel();
        if (model != devModel) {
            devModel = model;
            expected->append(SigDevModel);
        }
        const int kind = info.nodeType();
        if (kind != nodeType) {
            nodeType = kind;
            expected->append(SigNodeType);
            expected->append(SigCompleteType);
        }
        const QString sn = info.deviceSN();
        if (sn != serialNumber) {
            serialNumber = sn;
            expected->append(SigSerialNumber);
        }
        ports = info.networkInfo();
        for (t_device_network_info &port : ports) {
            port.ipInt = expectedAddress(port.ip);
        }
        for (int s = SigMac; s <= SigGateway2; ++s) {
            expected->append(s);
        }
        const int word = info.malfunction();
        if (word != malfunction) {
            malfunction = word;
            expected->append(SigMalfunction);
        }
        const int newStatus = info.isOffline() ? DeviceData::Offline
            : malfunction == 0                 ? DeviceData::Online
                                               : DeviceData::Malfunction;
        if (newStatus != status) {
            status = newStatus;
            expected->append(SigDevStatus);
            expected->append(SigDevStatusStr);
        }
    }

    void takeUdp(const MacScanDeviceInfo &info, SignalList *expected)
    {
        const QString newName = info.name();
        if (newName != name) {
            name = newName;
            expected->append(SigName);
        }
        const int sub = info.subNodeType();
        if (sub != subNodeType) {
            subNodeType = sub;
            expected->append(SigSubNodeType);
            expected->append(SigCompleteType);
        }
        const QString version = info.firmwareVer();
        if (version != firmwareVer) {
            firmwareVer = version;
            expected->append(SigFirmwareVer);
        }
        const int mode = info.runMode();
        if (mode != runMode) {
            runMode = mode;
            expected->append(SigRunMode);
        }
        const QString time = info.devTime();
        if (time != devTime) {
            devTime = time;
            expected->append(SigDevTime);
        }
        const int roll = info.callRollState();
        if (roll != callRollState) {
            callRollState = roll;
            expected->append(SigCallRollState);
        }
    }
};

void checkPorts(const DeviceData &device, const Reference &ref)
{
    const QVector<t_device_network_info> actual = device.networkInfo();
    FUZZ_CHECK(actual.size() == ref.ports.size());
    FUZZ_CHECK(device.ethernetPortNumber() == ref.ports.size());
    for (int i = 0; i < actual.size(); ++i) {
        const t_device_network_info &a = actual.at(i);
        const t_device_network_info &e = ref.ports.at(i);
        FUZZ_CHECK(a.id == e.id);
        FUZZ_CHECK(a.mac == e.mac);
        FUZZ_CHECK(a.ip == e.ip);
        FUZZ_CHECK(a.subnetMask == e.subnetMask);
        FUZZ_CHECK(a.gateway == e.gateway);
        FUZZ_CHECK(a.ipInt == e.ipInt);
        FUZZ_CHECK(device.networkIpInt(i) == e.ipInt);
    }
    const int n = ref.ports.size();
    for (const int outside : {-1, n, n + 1, INT_MIN, INT_MAX}) {
        FUZZ_CHECK(device.networkIpInt(outside) == 0);
    }
    const auto field = [&ref](int port, QString t_device_network_info::*member) {
        return port < ref.ports.size() ? ref.ports.at(port).*member : QString();
    };
    FUZZ_CHECK(device.mac() == field(0, &t_device_network_info::mac));
    FUZZ_CHECK(device.ip() == field(0, &t_device_network_info::ip));
    FUZZ_CHECK(device.subnetMask() == field(0, &t_device_network_info::subnetMask));
    FUZZ_CHECK(device.gateway() == field(0, &t_device_network_info::gateway));
    FUZZ_CHECK(device.mac2() == field(1, &t_device_network_info::mac));
    FUZZ_CHECK(device.ip2() == field(1, &t_device_network_info::ip));
    FUZZ_CHECK(device.subnetMask2() == field(1, &t_device_network_info::subnetMask));
    FUZZ_CHECK(device.gateway2() == field(1, &t_device_network_info::gateway));
}

void checkRecord(const DeviceData &device, const Reference &ref)
{
    FUZZ_CHECK(!device.checked());
    FUZZ_CHECK(device.ipState() == DeviceData::StateNormal);
    FUZZ_CHECK(device.devModel() == ref.devModel);
    FUZZ_CHECK(device.serialNumber() == ref.serialNumber);
    FUZZ_CHECK(device.name() == ref.name);
    FUZZ_CHECK(device.firmwareVer() == ref.firmwareVer);
    FUZZ_CHECK(device.devTime() == ref.devTime);
    FUZZ_CHECK(device.commMac() == ref.commMac);
    FUZZ_CHECK(int(device.getNodeType()) == ref.nodeType);
    FUZZ_CHECK(device.nodeType() == tableText(nodeTexts(), ref.nodeType));
    FUZZ_CHECK(device.subNodeType() == tableText(subNodeTexts(), ref.subNodeType));
    FUZZ_CHECK(device.runMode() == tableText(runModeTexts(), ref.runMode));
    FUZZ_CHECK(device.completeType() == ref.completeType());
    FUZZ_CHECK(device.callRollState() == ref.callRollState);
    FUZZ_CHECK(device.malfunctionVal() == ref.malfunction);
    FUZZ_CHECK(device.malfunction() == ref.malfunctionText());
    FUZZ_CHECK(int(device.devStatus()) == ref.status);
    FUZZ_CHECK(device.devStatusStr() == tableText(statusTexts(), ref.status));
    FUZZ_CHECK(device.online() == (ref.status == DeviceData::Online));
    FUZZ_CHECK(device.offline() == (ref.status != DeviceData::Online));
    checkPorts(device, ref);
}

int pickMode(FuzzedDataProvider &in)
{
    const int choice = in.ConsumeIntegralInRange<int>(0, 4);
    return choice < 3 ? choice : in.ConsumeIntegral<int>();
}

void silent(QtMsgType, const QMessageLogContext &, const QString &)
{
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Invalid addresses are meant to be logged; the checks here are what matters.
    qInstallMessageHandler(silent);
    // Small texts and port lists keep thousands of inputs a second; the megabyte texts
    // and the 10,000-port report are checked once each by tst_devicedata.
    FuzzInput::Limits &limits = FuzzInput::limits();
    limits.longText = 4096;
    limits.ordinaryText = 256;
    limits.ports = 64;
    limits.portText = 4096;
    FuzzInput::reportExtremesAtExit("fuzz_report");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FuzzInput::beginInput();
    DeviceData device;
    SignalList emitted;
    recordSignals(&device, &emitted);
    Reference ref;

    for (int step = 0; step < 4 && in.remaining_bytes() > 0; ++step) {
        const int mode = pickMode(in);
        const MacScanDeviceInfo info = FuzzInput::report(in);
        const QVector<t_device_network_info> sentPorts = info.networkInfo();

        SignalList expected;
        if (mode == 0 || mode == 1) {
            ref.takeMac(info, &expected);
        }
        if (mode == 0 || mode == 2) {
            ref.takeUdp(info, &expected);
        }
        if (mode == 0) {
            ref.commMac = info.deviceCommMac();
        }

        emitted.clear();
        device.update(info, mode);
        FUZZ_CHECK(emitted == expected);
        checkRecord(device, ref);

        // The record converts its own copy; the report's ports keep the back-end's ipInt.
        const QVector<t_device_network_info> afterPorts = info.networkInfo();
        FUZZ_CHECK(afterPorts.size() == sentPorts.size());
        for (int i = 0; i < afterPorts.size(); ++i) {
            FUZZ_CHECK(afterPorts.at(i).ipInt == sentPorts.at(i).ipInt);
        }
    }

    // A copy and an assignment carry every value; the assignment signals nothing.
    const DeviceData copy(device);
    checkRecord(copy, ref);
    DeviceData assigned;
    SignalList assignedSignals;
    recordSignals(&assigned, &assignedSignals);
    assigned = device;
    FUZZ_CHECK(assignedSignals.isEmpty());
    checkRecord(assigned, ref);

    const QString description = device.toString();
    FUZZ_CHECK(description.startsWith(QStringLiteral("checked:false,devModel:") + ref.devModel
                                      + QStringLiteral(",nodeType:")));
    FUZZ_CHECK(description.endsWith(QStringLiteral(",malfunction:") + ref.malfunctionText()));
    return 0;
}
