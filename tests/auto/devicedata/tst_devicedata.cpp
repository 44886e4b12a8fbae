// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>

#include "logcapture.h"

#include <QtTest>

#include <functional>
#include <utility>

using Action = std::function<void(DeviceData &)>;
Q_DECLARE_METATYPE(Action)

// Records the name of every change signal of one record, in emission order.
class SignalLog
{
public:
    explicit SignalLog(DeviceData *device)
    {
        record(device, &DeviceData::checkedChanged, "checkedChanged");
        record(device, &DeviceData::devModelChanged, "devModelChanged");
        record(device, &DeviceData::nodeTypeChanged, "nodeTypeChanged");
        record(device, &DeviceData::ipStateChanged, "ipStateChanged");
        record(device, &DeviceData::serialNumberChanged, "serialNumberChanged");
        record(device, &DeviceData::macChanged, "macChanged");
        record(device, &DeviceData::ipChanged, "ipChanged");
        record(device, &DeviceData::subnetMaskChanged, "subnetMaskChanged");
        record(device, &DeviceData::gatewayChanged, "gatewayChanged");
        record(device, &DeviceData::mac2Changed, "mac2Changed");
        record(device, &DeviceData::ip2Changed, "ip2Changed");
        record(device, &DeviceData::subnetMask2Changed, "subnetMask2Changed");
        record(device, &DeviceData::gateway2Changed, "gateway2Changed");
        record(device, &DeviceData::nameChanged, "nameChanged");
        record(device, &DeviceData::firmwareVerChanged, "firmwareVerChanged");
        record(device, &DeviceData::devTimeChanged, "devTimeChanged");
        record(device, &DeviceData::callRollStateChanged, "callRollStateChanged");
        record(device, &DeviceData::subNodeTypeChanged, "subNodeTypeChanged");
        record(device, &DeviceData::runModeChanged, "runModeChanged");
        record(device, &DeviceData::completeTypeChanged, "completeTypeChanged");
        record(device, &DeviceData::devStatusChanged, "devStatusChanged");
        record(device, &DeviceData::devStatusStrChanged, "devStatusStrChanged");
        record(device, &DeviceData::malfunctionChanged, "malfunctionChanged");
    }

    QStringList take() { return std::exchange(m_names, {}); }
    int watched() const { return m_watched; }

private:
    template<typename Signal> void record(DeviceData *device, Signal signal, const char *name)
    {
        QObject::connect(device, signal, &m_context, [this, name] { m_names << QLatin1String(name); });
        ++m_watched;
    }

    QObject m_context;
    QStringList m_names;
    int m_watched = 0;
};

static const QStringList PortSignals = { "macChanged", "ipChanged", "subnetMaskChanged", "gatewayChanged",
    "mac2Changed", "ip2Changed", "subnetMask2Changed", "gateway2Changed" };

static t_device_network_info port(
    const QString &mac, const QString &ip, const QString &mask, const QString &gateway)
{
    t_device_network_info info;
    info.mac = mac;
    info.ip = ip;
    info.subnetMask = mask;
    info.gateway = gateway;
    return info;
}

static QVector<t_device_network_info> twoPorts()
{
    return { port("00:11:22:33:44:01", "192.168.1.10", "255.255.255.0", "192.168.1.1"),
        port("00:11:22:33:44:02", "10.0.0.10", "255.0.0.0", "10.0.0.1") };
}

// A report in which every value differs from a new record's.
static MacScanDeviceInfo fullReport()
{
    MacScanDeviceInfo info;
    info.setDeviceModel("ZV-D200");
    info.setNodeType(NodeDecoder);
    info.setDeviceSN("SN0001");
    info.setNetworkInfo(twoPorts());
    info.setMalfunction(MalfunctionVoltage);
    info.setName("Hall A");
    info.setSubNodeType(SubNodeBigScreen);
    info.setFirmwareVer("V1.2.3");
    info.setRunMode(RunModeMaster);
    info.setDevTime("2026-01-02 03:04:05");
    info.setCallRollState(DeviceData::CallRollOn);
    info.setDeviceCommMac("AA:BB:CC:00:00:01");
    return info;
}

static QString fullReportText()
{
    return QStringLiteral(
        "checked:false,devModel:ZV-D200,nodeType:解码器,ipState:StateNormal,serialNumber:SN0001,mac:00:11:22:"
        "33:44:01,ip:192.168.1.10,subnetMask:255.255.255.0,"
        "gateway:192.168.1.1,mac2:00:11:22:33:44:02,ip2:10.0.0.10,subnetMask2:255.0.0.0,"
        "gateway2:10.0.0.1,name:Hall A,subNodeType:大屏,firmwareVer:V1.2.3,"
        "devTime:2026-01-02 03:04:05,callRollState:1,runMode:主节点,completeType:解码器-大屏,"
        "devStatus:Malfunction,devStatusStr:故障,malfunction:电压异常");
}

// Carries one property more, which the description must pick up.
class TaggedDevice : public DeviceData
{
    Q_OBJECT
    Q_PROPERTY(QString tag READ tag CONSTANT)

public:
    QString tag() const { return QStringLiteral("north"); }
};

class tst_DeviceData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void defaults();
    void setterSignals_data();
    void setterSignals();
    void lookupTexts_data();
    void lookupTexts();
    void completeType_data();
    void completeType();
    void malfunctionText_data();
    void malfunctionText();
    void onlineOffline_data();
    void onlineOffline();
    void ports();
    void portAddressWarning();
    void toStringText();
    void copyConstruct();
    void assign();
    void update_data();
    void update();
    void updateTwice();
    void updateStatus_data();
    void updateStatus();
    void recoverFromFault();
};

void tst_DeviceData::initTestCase()
{
    // As the interface does; an enumeration property then reads as its key in Qt 5 and Qt 6 alike.
    qRegisterMetaType<DeviceData::IpState>();
    qRegisterMetaType<DeviceData::DeviceStatus>();

    // Guards the log against a signal added to the record but not watched here.
    DeviceData device;
    const QMetaObject *const meta = device.metaObject();
    int signalCount = 0;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        signalCount += meta->method(i).methodType() == QMetaMethod::Signal ? 1 : 0;
    }
    QCOMPARE(SignalLog(&device).watched(), signalCount);
}

void tst_DeviceData::defaults()
{
    const DeviceData device;
    QCOMPARE(device.checked(), false);
    QCOMPARE(device.ipState(), DeviceData::StateNormal);
    QCOMPARE(device.devStatus(), DeviceData::Online);
    QCOMPARE(device.devStatusStr(), QStringLiteral("在线"));
    QCOMPARE(device.getNodeType(), NodeInvalid);
    QCOMPARE(device.nodeType(), QStringLiteral("--"));
    QCOMPARE(device.subNodeType(), QString());
    QCOMPARE(device.completeType(), QStringLiteral("--"));
    QCOMPARE(device.runMode(), QStringLiteral("--"));
    QCOMPARE(device.callRollState(), 0);
    QCOMPARE(device.malfunctionVal(), 0);
    QCOMPARE(device.malfunction(), QString());
    QCOMPARE(device.ethernetPortNumber(), 0);
    QCOMPARE(device.mac(), QString());
    QCOMPARE(device.mac2(), QString());
    QCOMPARE(device.commMac(), QString());
    QCOMPARE(device.networkIpInt(0), 0u);
}

void tst_DeviceData::setterSignals_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("signalsAgain");

    auto row = [](const char *name, Action action, const QStringList &names, bool again = false) {
        QTest::newRow(name) << action << names << again;
    };
    row("checked", [](DeviceData &d) { d.setChecked(true); }, { "checkedChanged" });
    row("devModel", [](DeviceData &d) { d.setDevModel("M"); }, { "devModelChanged" });
    row("empty devModel", [](DeviceData &d) { d.setDevModel(QLatin1String("")); }, {});
    row("kind", [](DeviceData &d) { d.setNodeTypeVal(NodeEncoder); },
        { "nodeTypeChanged", "completeTypeChanged" });
    row("same kind", [](DeviceData &d) { d.setNodeTypeVal(NodeInvalid); }, {});
    row("ipState", [](DeviceData &d) { d.setIpState(DeviceData::StateConflict); }, { "ipStateChanged" });
    row("serialNumber", [](DeviceData &d) { d.setSerialNumber("S"); }, { "serialNumberChanged" });
    row("name", [](DeviceData &d) { d.setName("N"); }, { "nameChanged" });
    row("devTime", [](DeviceData &d) { d.setDevTime("T"); }, { "devTimeChanged" });
    row("callRollState", [](DeviceData &d) { d.setCallRollState(-1); }, { "callRollStateChanged" });
    row("sub-kind", [](DeviceData &d) { d.setSubNodeTypeVal(SubNodeSeat); },
        { "subNodeTypeChanged", "completeTypeChanged" });
    row("firmwareVer", [](DeviceData &d) { d.setFirmwareVer("F"); }, { "firmwareVerChanged" });
    row("runMode", [](DeviceData &d) { d.setRunModeVal(RunModeMaster); }, { "runModeChanged" });
    row("same runMode", [](DeviceData &d) { d.setRunModeVal(RunModeInvalid); }, {});
    row("devStatus", [](DeviceData &d) { d.setDevStatus(DeviceData::Malfunction); },
        { "devStatusChanged", "devStatusStrChanged" });
    row("malfunction word", [](DeviceData &d) { d.setMalfunctionVal(4); }, { "malfunctionChanged" });
    row("commMac", [](DeviceData &d) { d.setCommMac("C"); }, {});
    row(
        "ports", [](DeviceData &d) { d.setNetworkInfo({}); }, PortSignals, true);
}

// Each setter signals once on a change and not at all when the value is already stored.
void tst_DeviceData::setterSignals()
{
    QFETCH(Action, action);
    QFETCH(QStringList, expected);
    QFETCH(bool, signalsAgain);

    DeviceData device;
    SignalLog log(&device);
    action(device);
    QCOMPARE(log.take(), expected);
    action(device);
    QCOMPARE(log.take(), signalsAgain ? expected : QStringList());
}

void tst_DeviceData::lookupTexts_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    const QStringList kinds = { "--", "编码器", "解码器", "解码器-二合一", "中控", QString() };
    for (int i = 0; i < kinds.size(); ++i) {
        QTest::addRow("nodeType %d", i) << QByteArray("nodeType") << i << kinds.at(i);
    }
    const QStringList subKinds = { QString(), "坐席", "大屏", "回显", QString() };
    for (int i = 0; i < subKinds.size(); ++i) {
        QTest::addRow("subNodeType %d", i) << QByteArray("subNodeType") << i << subKinds.at(i);
    }
    const QStringList runModes = { "普通节点", "主节点", "备节点", "--" };
    for (int i = 0; i < runModes.size(); ++i) {
        QTest::addRow("runMode %d", i) << QByteArray("runMode") << i << runModes.at(i);
    }
    QTest::addRow("runMode -1") << QByteArray("runMode") << -1 << QString();
    const QStringList statuses = { "在线", "离线", "故障" };
    for (int i = 0; i < statuses.size(); ++i) {
        QTest::addRow("devStatusStr %d", i) << QByteArray("devStatusStr") << i << statuses.at(i);
    }
    QTest::addRow("devStatusStr 7") << QByteArray("devStatusStr") << 7 << QString();
}

// The interface reads these texts through the properties, so read them the same way.
void tst_DeviceData::lookupTexts()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    QFETCH(QString, text);

    DeviceData device;
    if (property == "nodeType") {
        device.setNodeTypeVal(static_cast<NodeType>(value));
    } else if (property == "subNodeType") {
        device.setSubNodeTypeVal(static_cast<SubNodeType>(value));
    } else if (property == "runMode") {
        device.setRunModeVal(static_cast<DeviceRunMode>(value));
    } else {
        device.setDevStatus(static_cast<DeviceData::DeviceStatus>(value));
    }
    QCOMPARE(device.property(property.constData()).toString(), text);
}

void tst_DeviceData::completeType_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("subKind");
    QTest::addColumn<QString>("text");

    QTest::addRow("decoder seat") << 2 << 1 << QStringLiteral("解码器-坐席");
    QTest::addRow("decoder big screen") << 2 << 2 << QStringLiteral("解码器-大屏");
    QTest::addRow("decoder echo") << 2 << 3 << QStringLiteral("解码器-回显");
    QTest::addRow("decoder without sub-kind") << 2 << 0 << QStringLiteral("解码器");
    QTest::addRow("decoder, unknown sub-kind") << 2 << 4 << QStringLiteral("解码器");
    QTest::addRow("encoder seat") << 1 << 1 << QStringLiteral("编码器");
    QTest::addRow("two-in-one seat") << 3 << 1 << QStringLiteral("解码器-二合一");
    QTest::addRow("unknown kind") << 9 << 1 << QString();
}

void tst_DeviceData::completeType()
{
    QFETCH(int, kind);
    QFETCH(int, subKind);
    QFETCH(QString, text);

    DeviceData device;
    device.setNodeTypeVal(static_cast<NodeType>(kind));
    device.setSubNodeTypeVal(static_cast<SubNodeType>(subKind));
    QCOMPARE(device.completeType(), text);
}

void tst_DeviceData::malfunctionText_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("text");

    QTest::addRow("none") << 0 << QString();
    QTest::addRow("temperature") << 1 << QStringLiteral("温度异常");
    QTest::addRow("voltage") << 2 << QStringLiteral("电压异常");
    QTest::addRow("both") << 3 << QStringLiteral("温度异常/电压异常");
    QTest::addRow("unknown bit") << 4 << QString();
    QTest::addRow("voltage and unknown") << 6 << QStringLiteral("电压异常");
    QTest::addRow("all bits") << -1 << QStringLiteral("温度异常/电压异常");
}

void tst_DeviceData::malfunctionText()
{
    QFETCH(int, word);
    QFETCH(QString, text);

    DeviceData device;
    device.setMalfunctionVal(word);
    QCOMPARE(device.malfunction(), text);
    // The text does not follow the status.
    device.setDevStatus(DeviceData::Offline);
    QCOMPARE(device.malfunction(), text);
    QCOMPARE(device.malfunctionVal(), word);
}

void tst_DeviceData::onlineOffline_data()
{
    QTest::addColumn<DeviceData::DeviceStatus>("status");
    QTest::addColumn<bool>("online");

    QTest::addRow("online") << DeviceData::Online << true;
    QTest::addRow("offline") << DeviceData::Offline << false;
    QTest::addRow("malfunction") << DeviceData::Malfunction << false;
}

void tst_DeviceData::onlineOffline()
{
    QFETCH(DeviceData::DeviceStatus, status);
    QFETCH(bool, online);

    DeviceData device;
    device.setDevStatus(status);
    QCOMPARE(device.online(), online);
    QCOMPARE(device.offline(), !online);
    QCOMPARE(device.malfunctionVal(), 0);
}

void tst_DeviceData::ports()
{
    DeviceData device;
    QVector<t_device_network_info> given = twoPorts();
    given.append(port("00:11:22:33:44:03", "172.16.0.3", "255.255.0.0", "172.16.0.1"));
    device.setNetworkInfo(given);

    QCOMPARE(device.ethernetPortNumber(), 3);
    QCOMPARE(device.property("mac").toString(), QStringLiteral("00:11:22:33:44:01"));
    QCOMPARE(device.property("ip").toString(), QStringLiteral("192.168.1.10"));
    QCOMPARE(device.property("subnetMask").toString(), QStringLiteral("255.255.255.0"));
    QCOMPARE(device.property("gateway").toString(), QStringLiteral("192.168.1.1"));
    QCOMPARE(device.property("mac2").toString(), QStringLiteral("00:11:22:33:44:02"));
    QCOMPARE(device.property("ip2").toString(), QStringLiteral("10.0.0.10"));
    QCOMPARE(device.property("subnetMask2").toString(), QStringLiteral("255.0.0.0"));
    QCOMPARE(device.property("gateway2").toString(), QStringLiteral("10.0.0.1"));
    QCOMPARE(device.networkIpInt(0), 0xC0A8010Au);
    QCOMPARE(device.networkIpInt(1), 0x0A00000Au);
    QCOMPARE(device.networkIpInt(2), 0xAC100003u);
    QCOMPARE(device.networkIpInt(3), 0u);
    QCOMPARE(device.networkIpInt(-1), 0u);
    QCOMPARE(device.networkInfo().at(2).ipInt, 0xAC100003u);
    // The caller's vector stays as it was.
    QCOMPARE(given.at(0).ipInt, 0u);

    device.setNetworkInfo({ given.at(0) });
    QCOMPARE(device.ip(), QStringLiteral("192.168.1.10"));
    QCOMPARE(device.mac2(), QString());
    QCOMPARE(device.ip2(), QString());
    QCOMPARE(device.subnetMask2(), QString());
    QCOMPARE(device.gateway2(), QString());
    QCOMPARE(device.networkIpInt(1), 0u);

    device.setNetworkInfo({});
    QCOMPARE(device.ethernetPortNumber(), 0);
    QCOMPARE(device.mac(), QString());
    QCOMPARE(device.ip(), QString());
    QCOMPARE(device.subnetMask(), QString());
    QCOMPARE(device.gateway(), QString());
}

// A bad port address gets the error value and its warning; the other ports still convert.
void tst_DeviceData::portAddressWarning()
{
    DeviceData device;
    LogCapture cap;
    device.setNetworkInfo({ port("m1", "1.2.3", "", ""), port("m2", "10.0.0.1", "", "") });
    QCOMPARE(device.networkIpInt(0), 0xFFFFFFFFu);
    QCOMPARE(device.networkIpInt(1), 0x0A000001u);
    QCOMPARE(cap.lines().size(), 1);
    const CapturedMessage &line = cap.lines().at(0);
    QCOMPARE(line.type, QtWarningMsg);
    QCOMPARE(line.text, QStringLiteral("IPV4StringToInteger  \"1.2.3\"  is invalid ip address"));
    QCOMPARE(line.category, QStringLiteral("default"));
    QCOMPARE(line.file, QStringLiteral("src/libs/zvrviewmodel/ipaddresshelper.cpp"));
    QCOMPARE(line.function, QStringLiteral("quint32 IPV4StringToInteger(const QString&)"));
}

void tst_DeviceData::toStringText()
{
    const DeviceData fresh;
    const QString freshText = QStringLiteral(
        "checked:false,devModel:,nodeType:--,ipState:StateNormal,serialNumber:,mac:,ip:,subnetMask:,gateway:,"
        "mac2:,ip2:,subnetMask2:,gateway2:,name:,subNodeType:,firmwareVer:,devTime:,callRollState:0,runMode:-"
        "-,"
        "completeType:--,devStatus:Online,devStatusStr:在线,malfunction:");
    QCOMPARE(fresh.toString(), freshText);

    DeviceData device;
    device.update(fullReport(), 0);
    QCOMPARE(device.toString(), fullReportText());

    // The description follows the object's own meta-object.
    TaggedDevice tagged;
    const DeviceData &asBase = tagged;
    QCOMPARE(asBase.toString(), freshText + QStringLiteral(",tag:north"));
}

void tst_DeviceData::copyConstruct()
{
    QObject parent;
    DeviceData original(&parent);
    original.setObjectName("original");
    original.update(fullReport(), 0);
    original.setChecked(true);
    original.setIpState(DeviceData::StateLinkFault);
    QSignalSpy originalChecked(&original, &DeviceData::checkedChanged);
    QVERIFY(originalChecked.isValid());

    DeviceData copy(original);
    QCOMPARE(copy.parent(), nullptr);
    QCOMPARE(copy.objectName(), QString());
    QCOMPARE(copy.toString(), original.toString());
    QCOMPARE(copy.commMac(), QStringLiteral("AA:BB:CC:00:00:01"));
    QCOMPARE(copy.networkIpInt(1), 0x0A00000Au);

    // The copy has a block of its own and none of the original's connections.
    copy.setChecked(false);
    copy.setName("other");
    QCOMPARE(original.checked(), true);
    QCOMPARE(original.name(), QStringLiteral("Hall A"));
    QCOMPARE(originalChecked.count(), 0);
}

void tst_DeviceData::assign()
{
    DeviceData source;
    source.update(fullReport(), 0);
    source.setChecked(true);
    source.setIpState(DeviceData::StateConflict);

    QObject parent;
    DeviceData target(&parent);
    target.setObjectName("target");
    SignalLog log(&target);

    target = source;
    QCOMPARE(log.take(), QStringList());
    QCOMPARE(target.toString(), source.toString());
    QCOMPARE(target.checked(), true);
    QCOMPARE(target.commMac(), source.commMac());
    QCOMPARE(target.ethernetPortNumber(), 2);
    QCOMPARE(target.networkIpInt(0), 0xC0A8010Au);
    QCOMPARE(target.parent(), &parent);
    QCOMPARE(target.objectName(), QStringLiteral("target"));

    const DeviceData &same = target;
    target = same;
    QCOMPARE(log.take(), QStringList());
    QCOMPARE(target.toString(), source.toString());

    // Values, not the block, were shared.
    source.setName("changed");
    QCOMPARE(target.name(), QStringLiteral("Hall A"));
}

void tst_DeviceData::update_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("expected");

    const QStringList mac
        = QStringList { "devModelChanged", "nodeTypeChanged", "completeTypeChanged", "serialNumberChanged" }
        + PortSignals + QStringList { "malfunctionChanged", "devStatusChanged", "devStatusStrChanged" };
    const QStringList udp = { "nameChanged", "subNodeTypeChanged", "completeTypeChanged",
        "firmwareVerChanged", "runModeChanged", "devTimeChanged", "callRollStateChanged" };
    QTest::addRow("everything") << 0 << mac + udp;
    QTest::addRow("mac scan") << 1 << mac;
    QTest::addRow("udp") << 2 << udp;
    QTest::addRow("mode 3") << 3 << QStringList();
    QTest::addRow("mode -1") << -1 << QStringList();
}

void tst_DeviceData::update()
{
    QFETCH(int, mode);
    QFETCH(QStringList, expected);

    DeviceData device;
    SignalLog log(&device);
    device.update(fullReport(), mode);
    QCOMPARE(log.take(), expected);

    const bool macShare = mode == 0 || mode == 1;
    const bool udpShare = mode == 0 || mode == 2;
    QCOMPARE(device.devModel(), macShare ? QStringLiteral("ZV-D200") : QString());
    QCOMPARE(device.ip2(), macShare ? QStringLiteral("10.0.0.10") : QString());
    QCOMPARE(device.devStatus(), macShare ? DeviceData::Malfunction : DeviceData::Online);
    QCOMPARE(device.name(), udpShare ? QStringLiteral("Hall A") : QString());
    QCOMPARE(device.runMode(), udpShare ? QStringLiteral("主节点") : QStringLiteral("--"));
    QCOMPARE(device.callRollState(), udpShare ? 1 : 0);
    QCOMPARE(device.commMac(), mode == 0 ? QStringLiteral("AA:BB:CC:00:00:01") : QString());
    QCOMPARE(device.checked(), false);
    QCOMPARE(device.ipState(), DeviceData::StateNormal);
}

void tst_DeviceData::updateTwice()
{
    DeviceData device;
    device.update(fullReport(), 0);
    SignalLog log(&device);
    device.update(fullReport(), 1);
    QCOMPARE(log.take(), PortSignals);
    device.update(fullReport(), 2);
    QCOMPARE(log.take(), QStringList());
    device.update(fullReport(), 0);
    QCOMPARE(log.take(), PortSignals);
}

void tst_DeviceData::updateStatus_data()
{
    QTest::addColumn<bool>("offline");
    QTest::addColumn<int>("word");
    QTest::addColumn<DeviceData::DeviceStatus>("status");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("malfunction");

    QTest::addRow("online") << false << 0 << DeviceData::Online << QStringLiteral("在线") << QString();
    QTest::addRow("offline with faults")
        << true << 3 << DeviceData::Offline << QStringLiteral("离线") << QStringLiteral("温度异常/电压异常");
    QTest::addRow("unnamed fault") << false << 4 << DeviceData::Malfunction << QStringLiteral("故障")
                                   << QString();
    QTest::addRow("temperature") << false << 1 << DeviceData::Malfunction << QStringLiteral("故障")
                                 << QStringLiteral("温度异常");
}

void tst_DeviceData::updateStatus()
{
    QFETCH(bool, offline);
    QFETCH(int, word);
    QFETCH(DeviceData::DeviceStatus, status);
    QFETCH(QString, statusText);
    QFETCH(QString, malfunction);

    MacScanDeviceInfo info;
    info.setOffline(offline);
    info.setMalfunction(word);
    DeviceData device;
    device.update(info, 1);
    QCOMPARE(device.devStatus(), status);
    QCOMPARE(device.devStatusStr(), statusText);
    QCOMPARE(device.malfunction(), malfunction);
    QCOMPARE(device.malfunctionVal(), word);
}

void tst_DeviceData::recoverFromFault()
{
    MacScanDeviceInfo info;
    info.setMalfunction(MalfunctionTemperature);
    DeviceData device;
    device.update(info, 1);
    QCOMPARE(device.devStatus(), DeviceData::Malfunction);

    SignalLog log(&device);
    info.setMalfunction(0);
    device.update(info, 1);
    const QStringList expected
        = PortSignals + QStringList { "malfunctionChanged", "devStatusChanged", "devStatusStrChanged" };
    QCOMPARE(log.take(), expected);
    QCOMPARE(device.devStatus(), DeviceData::Online);
}

QTEST_GUILESS_MAIN(tst_DeviceData)
#include "tst_devicedata.moc"
