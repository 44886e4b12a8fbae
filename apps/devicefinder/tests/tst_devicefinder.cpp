// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicefinder.h"
#include "fakebackend.h"
#include "logcapture.h"

#include <macscanbll/macscan.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <numeric>

// The device finder over a network the test states: six devices, the third the master
// controller, the fourth offline, the sixth reporting a malfunction.
class tst_DeviceFinder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void reports_data();
    void reports();
    void requestTexts();
    void validateChange_data();
    void validateChange();
    void batchAccounts_data();
    void batchAccounts();
    void removedDevicesAreReleased();
    void resultsSettle();

private:
    DeviceData *deviceAt(int row) const { return ZVR::deviceAtRow(m_finder->deviceModel(), row); }
    QString mac(int n) const { return FakeBackend::device(n, "", "").deviceCommMac(); }
    //! Sends a change of the checked devices from 10.0.0.2 and gives its request number.
    int changeChecked();

    std::unique_ptr<FakeBackend> m_backend;
    std::unique_ptr<DeviceFinder> m_finder;
};

namespace {

QVariantMap settings(const QString &ip, const QString &ip2 = QString())
{
    QVariantMap map { { QStringLiteral("ip"), ip }, { QStringLiteral("subnetMask"), QStringLiteral("255.255.255.0") },
        { QStringLiteral("gateway"), QStringLiteral("10.0.0.1") } };
    if (!ip2.isEmpty()) {
        map.insert(QStringLiteral("changePort2"), true);
        map.insert(QStringLiteral("ip2"), ip2);
        map.insert(QStringLiteral("subnetMask2"), QStringLiteral("255.255.0.0"));
        map.insert(QStringLiteral("gateway2"), QStringLiteral("10.30.0.1"));
    }
    return map;
}

QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items) {
        list << QString::fromUtf8(item);
    }
    return list;
}

ChangeOutcome outcome(const QString &mac, IpSettingResult result, const QString &ip = QString())
{
    return { mac, ip, result, QString() };
}

} // namespace

void tst_DeviceFinder::init()
{
    m_backend = std::make_unique<FakeBackend>();
    m_backend->network = { FakeBackend::device(1, "编码器01", "192.168.1.20"),
        FakeBackend::device(2, "解码器02", "192.168.1.21", NodeDecoder),
        FakeBackend::device(3, "中控03", "192.168.1.2", NodeCentralControl, RunModeMaster),
        FakeBackend::device(4, "编码器04", "192.168.1.23", NodeEncoder, RunModeNormal, true),
        FakeBackend::device(5, "解码器05", "192.168.1.24", NodeDecoder),
        FakeBackend::device(6, "故障06", "192.168.1.25", NodeDecoder) };
    m_backend->network.last().setMalfunction(1);
    m_finder = std::make_unique<DeviceFinder>(m_backend.get());
    m_finder->setChangeTimeout(20);
    m_finder->restart();
    m_finder->scan(1);
}

void tst_DeviceFinder::cleanup()
{
    m_finder.reset();
    m_backend.reset();
}

int tst_DeviceFinder::changeChecked()
{
    if (!m_finder->editChecked() || !m_finder->applyChange(settings(QStringLiteral("10.0.0.2")))) {
        return -1;
    }
    return m_backend->requests.last().at(3).toInt();
}

// One record per communication MAC whatever the back-end sends; its first sight takes
// the whole report, later ones their share.
void tst_DeviceFinder::reports_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("stated network") << QString() << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("empty round") << "empty" << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("twice in a round") << "twice" << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("renamed, UDP share") << "rename udp" << texts({ "新名字", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("renamed, MAC share") << "rename mac" << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("unknown MAC, UDP share only") << "stranger udp" << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06" });
    QTest::newRow("unknown MAC, MAC share") << "stranger mac" << texts({ "编码器01", "解码器02", "中控03", "编码器04", "解码器05", "故障06", "外来07" });
}

void tst_DeviceFinder::reports()
{
    QFETCH(QString, operation);
    DeviceData *first = deviceAt(0);
    MacScanDeviceInfo renamed = m_backend->network.first();
    renamed.setName(QStringLiteral("新名字"));
    const MacScanDeviceInfo stranger = FakeBackend::device(7, "外来07", "192.168.1.26");
    if (operation == QLatin1String("empty")) {
        m_backend->network.clear();
        m_finder->scan(1);
    } else if (operation == QLatin1String("twice")) {
        m_backend->network += m_backend->network;
        m_finder->scan(1);
    } else if (operation.startsWith(QLatin1String("rename"))) {
        Q_EMIT m_backend->deviceReported(renamed, operation.endsWith(QLatin1String("udp")) ? 2 : 1);
    } else if (operation.startsWith(QLatin1String("stranger"))) {
        Q_EMIT m_backend->deviceReported(stranger, operation.endsWith(QLatin1String("udp")) ? 2 : 1);
    }
    QStringList names;
    for (int row = 0; row < m_finder->deviceModel()->rowCount(); ++row) {
        names << deviceAt(row)->name();
        QCOMPARE(deviceAt(row)->commMac(), deviceAt(row)->mac());
    }
    QTEST(names, "names");
    QCOMPARE(deviceAt(0), first);
    QCOMPARE(m_finder->scanRound(), operation.isEmpty() ? 1 : m_backend->round());
    QCoreApplication::processEvents();
    QCOMPARE(m_finder->tableCount(), names.size());
    QCOMPARE(m_finder->onlineCount(), names.size() - 2);
}

void tst_DeviceFinder::requestTexts()
{
    QSignalSpy busy(m_finder.get(), &DeviceFinder::busyChanged);
    // Checked: three online rows and the offline one; shown by name, descending.
    for (int row : { 0, 1, 3, 4 }) {
        m_finder->deviceModel()->checkDevice(row, true);
    }
    m_finder->sortModel()->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Descend);
    m_finder->sortModel()->setSearchText(QStringLiteral("解码器"));
    QVERIFY(m_finder->editChecked());
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("count")).toInt(), 2);
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("hidden")).toInt(), 2);
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("offline")).toInt(), 0);
    m_finder->sortModel()->setSearchText(QString());
    QVERIFY(m_finder->editChecked());
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("hidden")).toInt(), 0);
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("offline")).toInt(), 1);
    QVERIFY(m_finder->applyChange(settings(QStringLiteral("10.0.0.100"), QStringLiteral("10.30.0.100"))));

    // The devices in the order shown, the first port from its start address, the second port, the request.
    QCOMPARE(m_backend->requests.size(), 1);
    QCOMPARE(m_backend->requests.at(0),
        QStringList({ QStringList { mac(5), mac(2), mac(1) }.join(QLatin1Char(',')),
            QStringLiteral("10.0.0.100;255.255.255.0;10.0.0.1"), QStringLiteral("10.30.0.100;255.255.0.0;10.30.0.1"),
            QStringLiteral("1") }));
    QCOMPARE(busy.count(), 1);
    QVERIFY(m_finder->busy());
    QVERIFY(!m_finder->rescan());
    QVERIFY(!m_finder->applyChange(settings(QStringLiteral("10.0.0.120"))));
    QCOMPARE(m_backend->requests.size(), 1);
    m_backend->answer(1, { outcome(mac(5), IpSetSuccess), outcome(mac(2), IpSetSuccess), outcome(mac(1), IpSetSuccess) });
    QCOMPARE(busy.count(), 2);
    QCOMPARE(m_finder->resultModel()->ethernetPort(), 2);
}

void tst_DeviceFinder::validateChange_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("ip2");
    QTest::addColumn<QString>("text");

    QTest::addRow("nothing selected") << QList<int>() << QStringLiteral("192.168.1.99") << QString()
                                      << QStringLiteral("请先选择要修改的设备");
    QTest::addRow("one device") << QList<int> { 1 } << QStringLiteral("192.168.1.99") << QString() << QString();
    QTest::addRow("two ports alike") << QList<int> { 0 } << QStringLiteral("192.168.1.99")
                                     << QStringLiteral("192.168.1.99") << QStringLiteral("网口IP地址不能相同");
    QTest::addRow("several unchanged") << QList<int> { 0, 1 } << QStringLiteral("192.168.1.20") << QString()
                                       << QStringLiteral("网络配置无修改");
    QTest::addRow("held by the master") << QList<int> { 4 } << QStringLiteral("192.168.1.2") << QString()
                                        << QStringLiteral("ip地址：新地址已被中控03占用");
    QTest::addRow("offline ones left out") << QList<int> { 3, 0 } << QStringLiteral("192.168.1.99") << QString()
                                           << QString();
}

void tst_DeviceFinder::validateChange()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, ip);
    QFETCH(QString, ip2);
    QFETCH(QString, text);

    for (int row : qAsConst(rows)) {
        m_finder->deviceModel()->checkDevice(row, true);
    }
    QSignalSpy messages(m_finder.get(), &DeviceFinder::messageRequested);
    QCOMPARE(m_finder->editChecked(), !rows.isEmpty());
    QVariantMap change = settings(ip, ip2);
    change.insert(QStringLiteral("gateway"), QStringLiteral("192.168.1.1"));
    QCOMPARE(m_finder->validateChange(change), text);

    // A refused change says why and sends nothing.
    messages.clear();
    QCOMPARE(m_finder->applyChange(change), text.isEmpty());
    QCOMPARE(m_backend->requests.size(), text.isEmpty() ? 1 : 0);
    QCOMPARE(messages.count(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(messages.at(0).at(0).toString(), text);
        QVERIFY(!m_finder->busy());
    }
}

// Every checked device is changed or counted under the reason it is left out; a batch
// with nothing to change says why.
void tst_DeviceFinder::batchAccounts_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QList<int>>("counts"); // changed, hidden, offline, fault, nodes
    QTest::addColumn<QString>("message");
    const QString none = QString();
    QTest::addRow("all checked") << QList<int> { 0, 1, 2, 3, 4, 5 } << none << QList<int> { 3, 0, 1, 1, 1 } << none;
    QTest::addRow("searched") << QList<int> { 0, 1, 2, 3, 5 } << QStringLiteral("0") << QList<int> { 2, 0, 1, 1, 1 }
                              << none;
    QTest::addRow("others hidden") << QList<int> { 0, 2, 5 } << QStringLiteral("编码器") << QList<int> { 1, 2, 0, 0, 0 }
                                   << none;
    QTest::addRow("fault on screen only") << QList<int> { 5 } << QStringLiteral("故障") << QList<int>()
                                          << QStringLiteral("勾选的设备都不能修改：1台故障");
    QTest::addRow("master and offline") << QList<int> { 2, 3 } << none << QList<int>()
                                        << QStringLiteral("勾选的设备都不能修改：1台离线，1台主备节点不能修改地址");
    QTest::addRow("all hidden") << QList<int> { 1 } << QStringLiteral("编码器") << QList<int>()
                                << QStringLiteral("已选设备都被筛选隐藏了，请清除筛选后再修改");
    QTest::addRow("selected, none checked") << QList<int>() << none << QList<int>()
                                            << QStringLiteral("请先勾选要修改的设备（选中行不等于勾选）");
}

void tst_DeviceFinder::batchAccounts()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, search);
    QFETCH(QList<int>, counts);
    for (int row : qAsConst(rows)) {
        m_finder->deviceModel()->checkDevice(row, true);
    }
    m_finder->sortModel()->setSearchText(search);
    QSignalSpy messages(m_finder.get(), &DeviceFinder::messageRequested);
    QCOMPARE(m_finder->editChecked(), !counts.isEmpty());
    if (counts.isEmpty()) {
        QTEST(messages.value(0).value(0).toString(), "message");
        return;
    }
    const QVariantMap target = m_finder->editTarget();
    QList<int> told;
    for (const char *key : { "count", "hidden", "offline", "fault", "nodes" }) {
        told << target.value(QString::fromLatin1(key)).toInt();
    }
    QCOMPARE(told, counts);
    QCOMPARE(std::accumulate(told.cbegin(), told.cend(), 0), rows.size());
}

void tst_DeviceFinder::removedDevicesAreReleased()
{
    QPointer<DeviceData> offline = deviceAt(3);
    QPointer<DeviceData> online = deviceAt(0);
    QVERIFY(offline && offline->offline());
    QCOMPARE(m_finder->removeOfflineDevices(), 1);
    QCOMPARE(m_finder->deviceModel()->rowCount(), 5);
    QVERIFY(offline.isNull());
    QVERIFY(!online.isNull());

    // A forgotten device that is still reported is found again, as a new record.
    m_finder->restart();
    QVERIFY(online.isNull());
    QCOMPARE(m_finder->deviceModel()->rowCount(), 0);
    QCOMPARE(m_finder->scanRound(), 0);
}

// What the results say is what is known: the later of two answers counts, a silent device is
// unconfirmed until a late answer or a scan tells where it is; retry takes the devices
// known to be unchanged, and answers to no request in flight change nothing.
void tst_DeviceFinder::resultsSettle()
{
    LogCapture log;
    QSignalSpy ready(m_finder.get(), &DeviceFinder::resultsReady);
    QSignalSpy status(m_finder.get(), &DeviceFinder::statusTextChanged);
    m_finder->toggleAll();
    QCoreApplication::processEvents();
    const int request = changeChecked();
    QCOMPARE(m_backend->requests.last().at(0), QStringList({ mac(1), mac(2), mac(5) }).join(QLatin1Char(',')));
    m_backend->answer(request,
        { outcome(mac(1), IpSetDeviceNotReady), outcome(mac(1), IpSetSuccess, QStringLiteral("10.0.0.2")),
            outcome(mac(1), IpSetSuccess, QStringLiteral("10.0.0.2")), outcome(mac(9), IpSetSuccess),
            outcome(mac(2), IpSetTimeout) }); // a back-end that gave up: still unknown
    m_backend->answer(request + 7, { outcome(mac(2), IpSetSuccess) });
    QVERIFY(ready.wait(1000));
    QCOMPARE(m_finder->resultRows().mid(1),
        QVector<QStringList>({ texts({ "1", "编码器01" }) + QStringList(mac(1)) + texts({ "192.168.1.20", "10.0.0.2", "修改成功", "" }),
            texts({ "2", "解码器02" }) + QStringList(mac(2)) + texts({ "192.168.1.21", "未确认", "未确认", "设备0.02秒内无应答，修改是否生效未知" }),
            texts({ "3", "解码器05" }) + QStringList(mac(5)) + texts({ "192.168.1.24", "未确认", "未确认", "设备0.02秒内无应答，修改是否生效未知" }) }));
    QCOMPARE(m_finder->resultSummary(), QStringLiteral("修改成功1个, 失败0个, 未确认2个"));
    QVERIFY(m_finder->isAwaitingScan(deviceAt(0)));
    QCOMPARE(deviceAt(0)->ip(), QStringLiteral("10.0.0.2"));

    // Both addresses of a silent device stay held: the planned one, and the old one.
    m_finder->deviceModel()->checkAllDevice();
    for (int row : { 0, 1, 4 }) {
        m_finder->deviceModel()->checkDevice(row, row == 0);
    }
    QVERIFY(m_finder->editChecked());
    for (const QString &held : { QStringLiteral("10.0.0.3"), QStringLiteral("192.168.1.21") }) {
        QCOMPARE(m_finder->validateChange(settings(held)), QStringLiteral("ip地址：新地址已被解码器02占用"));
    }

    // A late answer settles its device; the scan finds the other at its old address and
    // the changed one where it was to go.
    m_backend->answer(request, { outcome(mac(5), IpSetSuccess, QStringLiteral("10.0.0.5")) });
    m_backend->move(mac(1), QStringLiteral("10.0.0.2"));
    m_backend->move(mac(5), QStringLiteral("10.0.0.5"));
    m_finder->scan(1);
    QVERIFY(status.wait(1000));
    QCOMPARE(m_finder->statusText(), QStringLiteral("未应答的设备中，1台已确认生效，1台确认未更改；仍有0台未确认"));
    QCOMPARE(m_finder->resultRows().at(2).mid(4), texts({ "未更改", "修改失败", "设备未应答，扫描确认未更改" }));
    QCOMPARE(m_finder->resultRows().at(3).mid(4), texts({ "10.0.0.5", "修改成功", "修改成功（超时后应答）" }));
    QCOMPARE(m_finder->resultSummary(), QStringLiteral("修改成功2个, 失败1个"));
    QVERIFY(!m_finder->isAwaitingScan(deviceAt(0)));

    // Retry: the one known to be unchanged, at its place in the first plan.
    QVERIFY(m_finder->retryFailed());
    QCOMPARE(m_backend->requests.last(),
        QStringList({ mac(2), QStringLiteral("10.0.0.2;255.255.255.0;10.0.0.1"), QString(),
            QStringLiteral("%1;1").arg(request + 1) }));
    QStringList ignored;
    for (const CapturedMessage &line : log.lines()) {
        if (line.text.contains(QLatin1String("ignored")) || line.text.contains(QLatin1String("late"))) {
            ignored << line.text;
        }
    }
    QCOMPARE(ignored,
        QStringList({ QStringLiteral("change request 1 : \"%1\" answered 0 after 1 ; the later answer counts").arg(mac(1)),
            QStringLiteral("change request 1 did not ask \"%1\" ; answer ignored").arg(mac(9)),
            QStringLiteral("change request 8 is not the current one; answer of \"%1\" ignored").arg(mac(2)),
            QStringLiteral("change request 1 : late answer of \"%1\" settles its result").arg(mac(5)) }));
}

QTEST_MAIN(tst_DeviceFinder)
#include "tst_devicefinder.moc"
