// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>

#include "modellog.h"

#include <QtTest>

#include <functional>
#include <utility>

using Action = std::function<void(DeviceData &)>;
Q_DECLARE_METATYPE(Action)

// Records the name of every signal of one record, in emission order; new signals join by themselves.
class SignalLog : public QObject
{
    Q_OBJECT

public:
    explicit SignalLog(DeviceData *device)
    {
        const QMetaObject &meta = DeviceData::staticMetaObject;
        const QMetaMethod hit = staticMetaObject.method(staticMetaObject.indexOfSlot("hit()"));
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Signal) {
                connect(device, meta.method(i), this, hit);
            }
        }
    }
    QStringList take() { return std::exchange(m_names, {}); }

public Q_SLOTS:
    void hit() { m_names << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name()); }

private:
    QStringList m_names;
};

static const QStringList PortSignals = { "macChanged", "ipChanged", "subnetMaskChanged", "gatewayChanged",
    "mac2Changed", "ip2Changed", "subnetMask2Changed", "gateway2Changed" };

static t_device_network_info port(const char *mac, const char *ip, const char *mask, const char *gateway)
{
    return { 0, mac, ip, mask, gateway, 0 };
}

// A report in which every value differs from a new record's.
static MacScanDeviceInfo fullReport()
{
    MacScanDeviceInfo info;
    info.setDeviceModel("ZV-D200");
    info.setNodeType(NodeDecoder);
    info.setDeviceSN("SN0001");
    info.setNetworkInfo({ port("00:11:22:33:44:01", "192.168.1.10", "255.255.255.0", "192.168.1.1"),
        port("00:11:22:33:44:02", "10.0.0.10", "255.0.0.0", "10.0.0.1") });
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

static const QString FreshText = QStringLiteral(
    "checked:false,devModel:,nodeType:--,ipState:StateNormal,serialNumber:,mac:,ip:,subnetMask:,gateway:,"
    "mac2:,ip2:,subnetMask2:,gateway2:,name:,subNodeType:,firmwareVer:,devTime:,callRollState:0,runMode:--,"
    "completeType:--,devStatus:Online,devStatusStr:在线,malfunction:");

static const QString FullText = QStringLiteral(
    "checked:false,devModel:ZV-D200,nodeType:解码器,ipState:StateNormal,serialNumber:SN0001,"
    "mac:00:11:22:33:44:01,ip:192.168.1.10,subnetMask:255.255.255.0,gateway:192.168.1.1,"
    "mac2:00:11:22:33:44:02,ip2:10.0.0.10,subnetMask2:255.0.0.0,gateway2:10.0.0.1,name:Hall A,"
    "subNodeType:大屏,firmwareVer:V1.2.3,devTime:2026-01-02 03:04:05,callRollState:1,runMode:主节点,"
    "completeType:解码器-大屏,devStatus:Malfunction,devStatusStr:故障,malfunction:电压异常");

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
    void initTestCase()
    {
        // As the interface does; an enumeration property then reads as its key in Qt 5 and Qt 6 alike.
        qRegisterMetaType<DeviceData::IpState>();
        qRegisterMetaType<DeviceData::DeviceStatus>();
    }

    void setterSignals_data()
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
    void setterSignals()
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

    void texts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("subKind");
        QTest::addColumn<int>("runMode");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("expected");

        // nodeType|subNodeType|completeType|runMode|devStatusStr|malfunction, read as properties.
        QTest::newRow("new record") << 0 << 0 << 3 << 0 << 0 << "--||--|--|在线|";
        QTest::newRow("encoder seat") << 1 << 1 << 0 << 1 << 1 << "编码器|坐席|编码器|普通节点|离线|温度异常";
        QTest::newRow("decoder seat")
            << 2 << 1 << 1 << 2 << 2 << "解码器|坐席|解码器-坐席|主节点|故障|电压异常";
        QTest::newRow("decoder big screen")
            << 2 << 2 << 2 << 0 << 3 << "解码器|大屏|解码器-大屏|备节点|在线|温度异常/电压异常";
        QTest::newRow("decoder echo") << 2 << 3 << 0 << 0 << 4 << "解码器|回显|解码器-回显|普通节点|在线|";
        QTest::newRow("decoder, unknown sub-kind") << 2 << 4 << -1 << 7 << 6 << "解码器||解码器|||电压异常";
        QTest::newRow("two-in-one seat")
            << 3 << 1 << 0 << 0 << -1 << "解码器-二合一|坐席|解码器-二合一|普通节点|在线|温度异常/电压异常";
        QTest::newRow("central control") << 4 << 0 << 0 << 0 << 0 << "中控||中控|普通节点|在线|";
        QTest::newRow("unknown kind") << 5 << 1 << 0 << 0 << 0 << "|坐席||普通节点|在线|";
    }

    void texts()
    {
        QFETCH(int, kind);
        QFETCH(int, subKind);
        QFETCH(int, runMode);
        QFETCH(int, status);
        QFETCH(int, word);

        DeviceData device;
        device.setNodeTypeVal(static_cast<NodeType>(kind));
        device.setSubNodeTypeVal(static_cast<SubNodeType>(subKind));
        device.setRunModeVal(static_cast<DeviceRunMode>(runMode));
        device.setDevStatus(static_cast<DeviceData::DeviceStatus>(status));
        device.setMalfunctionVal(word);
        QStringList shown;
        for (const char *name :
            { "nodeType", "subNodeType", "completeType", "runMode", "devStatusStr", "malfunction" }) {
            shown << device.property(name).toString();
        }
        QTEST(shown.join(QLatin1Char('|')), "expected");
        QCOMPARE(device.online(), status == DeviceData::Online);
        QCOMPARE(device.offline(), status != DeviceData::Online);
    }

    // Port properties follow the first two ports; a bad address gets the error value and its
    // warning while the other ports still convert; the caller's vector is left alone.
    void ports()
    {
        DeviceData device;
        const QVector<t_device_network_info> given { port("m1", "192.168.1.10", "255.255.255.0",
                                                         "192.168.1.1"),
            port("m2", "1.2.3", "255.0.0.0", "10.0.0.1"),
            port("m3", "172.16.0.3", "255.255.0.0", "172.16.0.1") };
        LogCapture cap;
        device.setNetworkInfo(given);
        QCOMPARE(cap.lines().size(), 1);
        QCOMPARE(contextLine(cap.lines().at(0)),
            QStringLiteral("warning default src/libs/zvrviewmodel/ipaddresshelper.cpp quint32 "
                           "IPV4StringToInteger(const QString&) | IPV4StringToInteger  \"1.2.3\"  is invalid "
                           "ip address"));

        QCOMPARE(device.ethernetPortNumber(), 3);
        const QList<quint32> ints { device.networkIpInt(-1), device.networkIpInt(0), device.networkIpInt(1),
            device.networkIpInt(2), device.networkIpInt(3), device.networkInfo().at(2).ipInt,
            given.at(0).ipInt };
        QCOMPARE(ints, (QList<quint32> { 0u, 0xC0A8010Au, 0xFFFFFFFFu, 0xAC100003u, 0u, 0xAC100003u, 0u }));

        // The port properties, as the description lists them.
        const auto shown = [&] { return device.toString().section(QLatin1Char(','), 5, 12); };
        QCOMPARE(shown(),
            QStringLiteral(
                "mac:m1,ip:192.168.1.10,subnetMask:255.255.255.0,gateway:192.168.1.1,mac2:m2,ip2:1.2.3,"
                "subnetMask2:255.0.0.0,gateway2:10.0.0.1"));
        device.setNetworkInfo({ given.at(2) });
        QCOMPARE(shown(),
            QStringLiteral("mac:m3,ip:172.16.0.3,subnetMask:255.255.0.0,gateway:172.16.0.1,mac2:,ip2:,"
                           "subnetMask2:,gateway2:"));
        QCOMPARE(device.networkIpInt(1), 0u);
        device.setNetworkInfo({});
        QCOMPARE(shown(), QStringLiteral("mac:,ip:,subnetMask:,gateway:,mac2:,ip2:,subnetMask2:,gateway2:"));
        QCOMPARE(device.ethernetPortNumber(), 0);
    }

    // The description follows the object's own meta-object. Copies take every value, commMac
    // included, but no parent, name or connection, and share no block.
    void descriptionAndCopies()
    {
        QCOMPARE(DeviceData().toString(), FreshText);
        QCOMPARE(DeviceData().commMac(), QString());
        TaggedDevice tagged;
        QCOMPARE(
            static_cast<const DeviceData &>(tagged).toString(), FreshText + QStringLiteral(",tag:north"));

        QObject parent;
        DeviceData original(&parent);
        original.setObjectName("original");
        original.update(fullReport(), 0);
        QCOMPARE(original.toString(), FullText);
        original.setChecked(true);
        original.setIpState(DeviceData::StateLinkFault);
        SignalLog originalLog(&original);

        DeviceData copy(original);
        QCOMPARE(copy.parent(), nullptr);
        QCOMPARE(copy.objectName(), QString());

        DeviceData target(&parent);
        target.setObjectName("target");
        SignalLog targetLog(&target);
        target = original;
        target = std::as_const(target);
        QCOMPARE(targetLog.take(), QStringList());
        QCOMPARE(target.parent(), &parent);
        QCOMPARE(target.objectName(), QStringLiteral("target"));

        for (DeviceData *made : { &copy, &target }) {
            QCOMPARE(made->toString(), original.toString());
            QCOMPARE(made->commMac(), QStringLiteral("AA:BB:CC:00:00:01"));
            QCOMPARE(made->networkIpInt(1), 0x0A00000Au);
            made->setChecked(false);
            made->setName("other");
        }
        QCOMPARE(original.checked(), true);
        QCOMPARE(original.name(), QStringLiteral("Hall A"));
        QCOMPARE(originalLog.take(), QStringList());
    }

    void update_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("expected");

        const QStringList mac = QStringList { "devModelChanged", "nodeTypeChanged", "completeTypeChanged",
            "serialNumberChanged" }
            + PortSignals + QStringList { "malfunctionChanged", "devStatusChanged", "devStatusStrChanged" };
        const QStringList udp = { "nameChanged", "subNodeTypeChanged", "completeTypeChanged",
            "firmwareVerChanged", "runModeChanged", "devTimeChanged", "callRollStateChanged" };
        QTest::addRow("everything") << 0 << mac + udp;
        QTest::addRow("mac scan") << 1 << mac;
        QTest::addRow("udp") << 2 << udp;
        QTest::addRow("mode 3") << 3 << QStringList();
        QTest::addRow("mode -1") << -1 << QStringList();
    }

    // Each mode takes its own share only; checked, ipState and (but for mode 0) commMac stay.
    void update()
    {
        QFETCH(int, mode);

        DeviceData device;
        SignalLog log(&device);
        device.update(fullReport(), mode);
        QTEST(log.take(), "expected");

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

    // The same report again signals the ports only; a fault that clears signals the way back.
    void updateAgain()
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

        MacScanDeviceInfo cleared = fullReport();
        cleared.setMalfunction(0);
        device.update(cleared, 1);
        const QStringList back { "malfunctionChanged", "devStatusChanged", "devStatusStrChanged" };
        QCOMPARE(log.take(), PortSignals + back);
        QCOMPARE(device.devStatus(), DeviceData::Online);

        // An offline device keeps its faults but shows as offline; any fault bit makes a malfunction.
        const struct
        {
            bool offline;
            int word;
            DeviceData::DeviceStatus status;
        } reports[] = { { true, 3, DeviceData::Offline }, { false, 4, DeviceData::Malfunction },
            { false, 1, DeviceData::Malfunction } };
        for (const auto &report : reports) {
            cleared.setOffline(report.offline);
            cleared.setMalfunction(report.word);
            device.update(cleared, 1);
            QCOMPARE(device.devStatus(), report.status);
            QCOMPARE(device.malfunctionVal(), report.word);
        }
    }

    void largeReports_data()
    {
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("ports");
        QTest::newRow("megabyte texts") << (1 << 20) << 2;
        QTest::newRow("10,000 ports") << 12 << 10000;
    }

    // The largest reports a back-end can hand over, once each: the fuzzer keeps its inputs small.
    void largeReports()
    {
        QFETCH(int, textLength);
        QFETCH(int, ports);
        // With short texts every port has an address of its own; a megabyte text is none.
        const QString text = QString(QStringLiteral("1.2.3.4")).repeated(textLength / 7 + 1).left(textLength);
        QVector<t_device_network_info> sent;
        for (int i = 0; i < ports; ++i) {
            const QString ip = textLength < 16
                ? QStringLiteral("10.%1.%2.%3").arg(i >> 16).arg((i >> 8) & 0xFF).arg(i & 0xFF)
                : text;
            sent.append({ i, text, ip, text, text, 7 });
        }
        MacScanDeviceInfo info;
        info.setDeviceModel(text);
        info.setDeviceSN(text);
        info.setName(text);
        info.setDeviceCommMac(text);
        info.setNetworkInfo(sent);

        LogCapture log;
        DeviceData device;
        device.update(info, 0);
        for (const QString &got :
            { device.devModel(), device.serialNumber(), device.name(), device.commMac() }) {
            QCOMPARE(got, text);
        }
        QCOMPARE(device.ethernetPortNumber(), ports);
        QCOMPARE(device.ip2(), sent.at(1).ip);
        for (int i = 0; i < ports; ++i) {
            QCOMPARE(device.networkIpInt(i), textLength < 16 ? quint32(0x0A000000 | i) : 0xFFFFFFFFu);
        }
        QCOMPARE(device.networkIpInt(ports), 0u);
        QCOMPARE(log.lines().size(), textLength < 16 ? 0 : ports);
        QCOMPARE(info.networkInfo().constLast().ipInt, 7u);
    }
};

QTEST_GUILESS_MAIN(tst_DeviceData)
#include "tst_devicedata.moc"
