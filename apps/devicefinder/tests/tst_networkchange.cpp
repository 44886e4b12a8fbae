// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changeplan.h"

#include <zvrviewmodel/devicedata.h>

#include <QtTest>

static QString str(const char *text)
{
    return QString::fromUtf8(text);
}

class tst_NetworkChange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromTexts_data();
    void fromTexts();
    void parseAddress_data();
    void parseAddress();
    void normalizedMask_data();
    void normalizedMask();
    void plan_data();
    void plan();
};

void tst_NetworkChange::fromTexts_data()
{
    QTest::addColumn<QString>("macs");
    QTest::addColumn<QString>("port1");
    QTest::addColumn<QString>("port2");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("ok");

    const QString mac = str("00:1E:C0:00:00:01");
    const QString port = str("10.0.0.2;255.0.0.0;10.0.0.1");
    QTest::addRow("two devices, first port")
        << str("00:1E:C0:00:00:01,00:1E:C0:00:01:02") << str("192.168.1.10;255.255.255.0;192.168.1.1")
        << QString() << str("7") << true;
    QTest::addRow("both ports") << mac << port << str("10.1.0.2;255.255.0.0;10.1.0.1") << str("2") << true;
    QTest::addRow("no devices") << QString() << port << QString() << str("1") << false;
    QTest::addRow("no first port") << mac << QString() << QString() << str("1") << false;
    QTest::addRow("two fields") << mac << str("10.0.0.2;255.0.0.0") << QString() << str("1") << false;
    QTest::addRow("bad address") << mac << str("10.0.0.256;255.0.0.0;10.0.0.1") << QString() << str("1")
                                 << false;
    QTest::addRow("bad second port") << mac << port << str("x;y;z") << str("1") << false;
    QTest::addRow("request not a number") << mac << port << QString() << str("one") << false;
}

void tst_NetworkChange::fromTexts()
{
    QFETCH(QString, macs);
    QFETCH(QString, port1);
    QFETCH(QString, port2);
    QFETCH(QString, request);
    QFETCH(bool, ok);

    NetworkChange change;
    change.requestId = -5;
    QCOMPARE(NetworkChange::fromTexts(macs, port1, port2, request, &change), ok);
    if (!ok) { // a refused text leaves the target untouched
        QCOMPARE(change.requestId, -5);
        QVERIFY(change.macs.isEmpty() && change.port1.isEmpty() && change.port2.isEmpty());
        return;
    }
    // The texts it makes are the texts it read.
    QCOMPARE(change.requestId, request.toInt());
    QCOMPARE(change.macsText(), macs);
    QCOMPARE(NetworkChange::portText(change.port1), port1);
    QCOMPARE(NetworkChange::portText(change.port2), port2);
    QCOMPARE(change.port2.isEmpty(), port2.isEmpty());
    QCOMPARE(change.requestText(), request);
}

void tst_NetworkChange::parseAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");

    QTest::addRow("plain") << str("192.168.0.1") << true << 0xC0A80001u;
    QTest::addRow("zero") << str("0.0.0.0") << true << 0u;
    QTest::addRow("all ones") << str("255.255.255.255") << true << 0xFFFFFFFFu;
    QTest::addRow("leading zero") << str("010.0.0.1") << true << 0x0A000001u;
    for (const char *bad : { "1.2.3", "1..2.3", "1.2.3.256", "1.2.3.+4", "1.2.3.-1", "" }) {
        QTest::addRow("%s", bad) << str(bad) << false << 0u;
    }
}

void tst_NetworkChange::parseAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(quint32, value);

    quint32 result = 12345;
    QCOMPARE(::parseAddress(text, &result), ok);
    QCOMPARE(result, ok ? value : 12345u);
    if (ok) {
        QVERIFY(::parseAddress(formatAddress(value), &result));
        QCOMPARE(result, value);
    }
}

// Technicians type masks as prefix lengths too; anything else is left for the plan to refuse.
void tst_NetworkChange::normalizedMask_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mask");
    for (const auto &row : { std::pair<const char *, const char *> { "24", "255.255.255.0" }, { "/16", "255.255.0.0" },
             { "1", "128.0.0.0" }, { "32", "255.255.255.255" }, { "255.255.255.0", "255.255.255.0" }, { "0", "0" },
             { "33", "33" }, { "/", "/" }, { "+8", "+8" }, { "024", "024" } }) {
        QTest::addRow("%s", row.first) << str(row.first) << str(row.second);
    }
}

void tst_NetworkChange::normalizedMask()
{
    QFETCH(QString, typed);
    QTEST(::normalizedMask(typed), "mask");
}

void tst_NetworkChange::plan_data()
{
    QTest::addColumn<QList<int>>("targets");
    QTest::addColumn<QStringList>("port1");
    QTest::addColumn<QString>("ip2");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("planned");

    const auto port
        = [](const char *ip, const char *mask = "255.255.255.0", const char *gateway = "192.168.1.1") {
              return QStringList { str(ip), str(mask), str(gateway) };
          };
    const QString taken = str("ip地址：新地址已被%1占用");
    const QStringList none;

    QTest::addRow("one device") << QList<int> { 0 } << port("192.168.1.50") << QString() << QString()
                                << QStringList { str("192.168.1.50") };
    QTest::addRow("in the order given")
        << QList<int> { 1, 0 } << port("192.168.1.50") << QString() << QString()
        << QStringList { str("192.168.1.50"), str("192.168.1.51") };
    QTest::addRow("freed in the same batch")
        << QList<int> { 1, 0 } << port("192.168.1.20") << QString() << QString()
        << QStringList { str("192.168.1.20"), str("192.168.1.21") };
    QTest::addRow("nothing selected")
        << QList<int>() << port("192.168.1.50") << QString() << str("请先选择要修改的设备") << none;
    QTest::addRow("offline") << QList<int> { 3 } << port("192.168.1.50") << QString() << str("设备已离线")
                             << none;
    QTest::addRow("unchanged") << QList<int> { 0 } << port("192.168.1.20") << QString()
                               << str("网络配置无修改") << none;
    QTest::addRow("empty mask") << QList<int> { 0 } << port("192.168.1.50", "") << QString()
                                << str("子网掩码：子网掩码不能为空") << none;
    QTest::addRow("empty gateway") << QList<int> { 0 } << port("192.168.1.50", "255.255.255.0", "")
                                   << QString() << str("网关地址：网关地址不能为空") << none;
    QTest::addRow("bad address") << QList<int> { 0 } << port("192.168.1.") << QString()
                                 << str("ip地址：192.168.1.是无效的ip地址") << none;
    QTest::addRow("mask with a gap") << QList<int> { 0 } << port("192.168.1.50", "255.255.0.255") << QString()
                                     << str("子网掩码：子网掩码必须是相邻的") << none;
    QTest::addRow("first byte 127") << QList<int> { 0 } << port("127.0.0.2", "255.0.0.0", "127.0.0.1")
                                    << QString() << str("ip地址：首字节不能用127") << none;
    QTest::addRow("range leaves the classes")
        << QList<int> { 0, 1, 2 } << port("223.255.255.254", "255.0.0.0") << QString()
        << str("ip地址：首字节只能用1~223之间的值") << none;
    QTest::addRow("network address") << QList<int> { 0 } << port("192.168.1.0") << QString()
                                     << str("ip地址：192.168.1.0是子网192.168.1.0/24的网络地址，不能分配给设备") << none;
    QTest::addRow("broadcast address")
        << QList<int> { 0 } << port("192.168.1.255") << QString()
        << str("ip地址：192.168.1.255是子网192.168.1.0/24的广播地址，不能分配给设备") << none;
    QTest::addRow("mask of zeros") << QList<int> { 0 } << port("192.168.1.50", "0.0.0.0") << QString()
                                   << str("子网掩码：子网掩码不能是0.0.0.0") << none;
    QTest::addRow("past the end of the subnet")
        << QList<int> { 0, 1, 2 } << port("192.168.1.253") << QString()
        << str("ip地址：从192.168.1.253起的3台设备超出了子网192.168.1.0/24，最后一个可用地址是192.168.1.254")
        << none;
    QTest::addRow("gateway outside") << QList<int> { 0 } << port("192.168.1.50", "255.255.255.0", "10.0.0.1")
                                     << QString() << str("网关地址：网关10.0.0.1不在子网192.168.1.0/24内")
                                     << none;
    QTest::addRow("gateway taken") << QList<int> { 0 } << port("192.168.1.1") << QString()
                                   << str("网关地址：网关192.168.1.1与编码器01的新地址相同") << none;
    QTest::addRow("held by an unchecked device")
        << QList<int> { 0 } << port("192.168.1.21") << QString() << taken.arg(str("编码器02")) << none;
    QTest::addRow("held by an offline device")
        << QList<int> { 1, 0 } << port("192.168.1.39") << QString() << taken.arg(str("备用解码器")) << none;
    QTest::addRow("held on a second port")
        << QList<int> { 0 } << port("10.10.0.22", "255.255.0.0", "10.10.0.1") << QString()
        << taken.arg(str("解码器03")) << none;
    QTest::addRow("a control node keeps its address")
        << QList<int> { 0, 4 } << port("192.168.1.2") << QString() << taken.arg(str("中控")) << none;
    QTest::addRow("its own second port") << QList<int> { 2 } << port("10.10.0.22", "255.255.0.0", "10.10.0.1")
                                         << QString() << str("网口IP地址不能相同") << none;
    QTest::addRow("both ports alike") << QList<int> { 2 } << port("192.168.1.60") << str("192.168.1.60")
                                      << str("网口IP地址不能相同") << none;
    QTest::addRow("second port taken") << QList<int> { 2 } << port("192.168.1.60") << str("192.168.1.21")
                                       << str("网口2 ip地址：新地址已被编码器02占用") << none;
}

void tst_NetworkChange::plan()
{
    QFETCH(QList<int>, targets);
    QFETCH(QStringList, port1);
    QFETCH(QString, ip2);
    QFETCH(QString, text);
    QFETCH(QStringList, planned);

    // Three encoders and decoders on 192.168.1.0/24, one offline, and a central controller.
    const auto device = [](const char *name, const char *ip, const char *ip2 = nullptr) {
        auto record = std::make_unique<DeviceData>();
        record->setName(str(name));
        record->setDevStatus(DeviceData::Online);
        QVector<t_device_network_info> ports { { 0, QString(), str(ip), str("255.255.255.0"),
            str("192.168.1.1") } };
        if (ip2) {
            ports.append({ 1, QString(), str(ip2), str("255.255.0.0"), str("10.10.0.1") });
        }
        record->setNetworkInfo(ports);
        return record;
    };
    std::vector<std::unique_ptr<DeviceData>> devices;
    devices.push_back(device("编码器01", "192.168.1.20"));
    devices.push_back(device("编码器02", "192.168.1.21"));
    devices.push_back(device("解码器03", "192.168.1.22", "10.10.0.22"));
    devices.push_back(device("备用解码器", "192.168.1.40"));
    devices.back()->setDevStatus(DeviceData::Offline);
    devices.push_back(device("中控", "192.168.1.2"));
    devices.back()->setNodeTypeVal(NodeCentralControl);
    QVector<const DeviceData *> known;
    for (const auto &record : devices) {
        known << record.get();
    }
    QVector<const DeviceData *> chosen;
    for (int index : qAsConst(targets)) {
        chosen << known.at(index);
    }
    ChangeRequest request { { port1.at(0), port1.at(1), port1.at(2) }, !ip2.isEmpty(),
        { ip2, port1.at(1), port1.at(2) }, {} };
    const ChangePlan plan = planChange(chosen, request, known, [](const DeviceData *) { return RunModeNormal; });
    QCOMPARE(plan.firstError(), text);
    QCOMPARE(plan.isValid(), text.isEmpty());
    if (plan.isValid()) {
        QStringList ips;
        for (const PlannedDevice &entry : plan.devices) {
            ips << entry.ip;
        }
        QCOMPARE(ips, planned);
    }
}

QTEST_GUILESS_MAIN(tst_NetworkChange)
#include "tst_networkchange.moc"
