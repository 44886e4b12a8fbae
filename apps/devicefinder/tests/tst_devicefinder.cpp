// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "simulatedfinder.h"

#include <netscan/networkchange.h>

#include <macscanbll/macscan.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

class tst_DeviceFinder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void firstSightTakesTheWholeReport();
    void requestTexts();
    void validateChange_data();
    void validateChange();
    void removedDevicesAreReleased();
    void resultsAndTotals();
    void retryFailed();

private:
    DeviceData *deviceAt(int row) const;
    QList<DeviceData *> devices() const;

    std::unique_ptr<SimulatedFinder> m_network;
    DeviceFinder *m_finder = nullptr;
};

// The settings the editor hands over: the first port, and the second one when given.
static QVariantMap settings(const char *ip, const char *mask = "255.255.255.0",
    const char *gateway = "192.168.1.1", const char *ip2 = nullptr, const char *mask2 = nullptr,
    const char *gateway2 = nullptr)
{
    QVariantMap map { { QStringLiteral("ip"), QString::fromUtf8(ip) },
        { QStringLiteral("subnetMask"), QString::fromUtf8(mask) },
        { QStringLiteral("gateway"), QString::fromUtf8(gateway) } };
    if (ip2) {
        map.insert(QStringLiteral("changePort2"), true);
        map.insert(QStringLiteral("ip2"), QString::fromUtf8(ip2));
        map.insert(QStringLiteral("subnetMask2"), QString::fromUtf8(mask2 ? mask2 : mask));
        map.insert(QStringLiteral("gateway2"), QString::fromUtf8(gateway2 ? gateway2 : gateway));
    }
    return map;
}

DeviceData *tst_DeviceFinder::deviceAt(int row) const
{
    return ZVR::deviceAtRow(m_finder->deviceModel(), row);
}

QList<DeviceData *> tst_DeviceFinder::devices() const
{
    QList<DeviceData *> list;
    for (int row = 0; row < m_finder->deviceModel()->rowCount(); ++row) {
        list << deviceAt(row);
    }
    return list;
}

void tst_DeviceFinder::init()
{
    m_network = std::make_unique<SimulatedFinder>();
    m_finder = &m_network->finder;
    m_finder->restart();
    m_finder->scan(1);
}

void tst_DeviceFinder::firstSightTakesTheWholeReport()
{
    QCOMPARE(m_finder->deviceModel()->rowCount(), 32);
    QCOMPARE(m_finder->scanRound(), 1);
    // Only a whole report (mode 0) sets the communication MAC; names come from the UDP share.
    for (DeviceData *device : devices()) {
        QVERIFY(!device->commMac().isEmpty());
        QCOMPARE(device->mac(), device->commMac());
        QVERIFY(!device->name().isEmpty());
    }
    // Later reports update the same records: one per device, no second row.
    DeviceData *first = deviceAt(0);
    const QString time = first->devTime();
    m_finder->scan(1);
    QCOMPARE(m_finder->deviceModel()->rowCount(), 40);
    QCOMPARE(deviceAt(0), first);
    QVERIFY(first->devTime() != time || first->offline());
}

void tst_DeviceFinder::requestTexts()
{
    QSignalSpy requested(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested);
    QSignalSpy busy(m_finder, &DeviceFinder::busyChanged);

    // Checked: three online rows and an offline one; shown by name, descending.
    for (int row : { 1, 0, 4, 15 }) {
        m_finder->deviceModel()->checkDevice(row, true);
    }
    m_finder->sortModel()->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Descend);
    m_finder->sortModel()->setSearchText(deviceAt(4)->name());
    QVERIFY(m_finder->editChecked());
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("count")).toInt(), 1);
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("hidden")).toInt(), 2);
    m_finder->sortModel()->setSearchText(QString());
    QVERIFY(m_finder->editChecked());
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("hidden")).toInt(), 0);
    QCOMPARE(m_finder->editTarget().value(QStringLiteral("offline")).toInt(), 1);
    QVERIFY(m_finder->applyChange(settings(
        "192.168.1.100", "255.255.255.0", "192.168.1.1", "10.30.0.100", "255.255.0.0", "10.30.0.1")));

    QCOMPARE(requested.count(), 1);
    const QList<QVariant> texts = requested.at(0);
    // The devices in the order shown, the first port from its start address, the second port, the request.
    QStringList shown;
    for (int row = 0; row < m_finder->sortModel()->rowCount(); ++row) {
        DeviceData *device = m_finder->sortModel()->device(row);
        if (device->checked() && device->online()) {
            shown << device->commMac();
        }
    }
    QCOMPARE(shown.size(), 3);
    QCOMPARE(texts.at(0).toString(), shown.join(QLatin1Char(',')));
    QCOMPARE(texts.at(1).toString(), QStringLiteral("192.168.1.100;255.255.255.0;192.168.1.1"));
    QCOMPARE(texts.at(2).toString(), QStringLiteral("10.30.0.100;255.255.0.0;10.30.0.1"));
    QCOMPARE(texts.at(3).toString(), QStringLiteral("1"));
    QCOMPARE(busy.count(), 1);
    QVERIFY(m_finder->busy());
    QVERIFY(busy.wait(1000));
    QVERIFY(!m_finder->busy());
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
    QTest::addRow("one device") << QList<int> { 1 } << QStringLiteral("192.168.1.99") << QString()
                                << QString();
    QTest::addRow("two ports alike") << QList<int> { 0 } << QStringLiteral("192.168.1.99")
                                     << QStringLiteral("192.168.1.99")
                                     << QStringLiteral("网口IP地址不能相同");
    QTest::addRow("several unchanged") << QList<int> { 0, 1, 2 } << QStringLiteral("192.168.1.20")
                                       << QString() << QStringLiteral("网络配置无修改");
    QTest::addRow("offline ones left out")
        << QList<int> { 15, 0 } << QStringLiteral("192.168.1.99") << QString() << QString();
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
    QSignalSpy messages(m_finder, &DeviceFinder::messageRequested);
    QCOMPARE(m_finder->editChecked(), !rows.isEmpty());

    const QByteArray ipText = ip.toUtf8(), ip2Text = ip2.toUtf8();
    const QVariantMap change = settings(
        ipText.constData(), "255.255.255.0", "192.168.1.1", ip2.isEmpty() ? nullptr : ip2Text.constData());
    QCOMPARE(m_finder->validateChange(change), text);

    // A refused change says why and sends nothing.
    messages.clear();
    QSignalSpy requested(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested);
    QCOMPARE(m_finder->applyChange(change), text.isEmpty());
    QCOMPARE(requested.count(), text.isEmpty() ? 1 : 0);
    QCOMPARE(messages.count(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(messages.at(0).at(0).toString(), text);
        QVERIFY(!m_finder->busy());
    }
}

void tst_DeviceFinder::removedDevicesAreReleased()
{
    QPointer<DeviceData> offline = deviceAt(15);
    QPointer<DeviceData> online = deviceAt(0);
    QVERIFY(offline && offline->offline());
    QCOMPARE(m_finder->removeOfflineDevices(), 3);
    QCOMPARE(m_finder->deviceModel()->rowCount(), 29);
    QVERIFY(offline.isNull());
    QVERIFY(!online.isNull());

    // A forgotten device that is still reported is found again, as a new record.
    m_finder->restart();
    QVERIFY(online.isNull());
    QCOMPARE(m_finder->deviceModel()->rowCount(), 0);
}

void tst_DeviceFinder::resultsAndTotals()
{
    QSignalSpy ready(m_finder, &DeviceFinder::resultsReady);
    QVERIFY(m_finder->changeAllOnline(
        QStringLiteral("172.16.0.2"), QStringLiteral("255.240.0.0"), QStringLiteral("172.16.0.1")));
    QVERIFY(ready.wait(1000));

    SettingResultTableModel *results = m_finder->resultModel();
    QCOMPARE(results->totalNum(), 25);
    QCOMPARE(results->successNum() + results->failureNum(), 25);
    QCOMPARE(results->rowCount(), 25);
    QCOMPARE(results->ethernetPort(), 1);
    QCOMPARE(m_finder->resultSummary(),
        QStringLiteral("修改成功%1个, 失败%2个").arg(results->successNum()).arg(results->failureNum()));
    QCOMPARE(m_finder->resultTotal(), QStringLiteral("共计修改25个，成功%1个").arg(results->successNum()));
    auto record = [results](int row) {
        return qobject_cast<SettingResultData *>(results->data(results->index(row, 0)).value<QObject *>());
    };
    // The master (fifth online row) keeps its address.
    QCOMPARE(record(4)->detail(), QStringLiteral("不能修改主或备节点ip"));
    QCOMPARE(record(4)->ip(), QStringLiteral("192.168.1.2"));
    // A success shows in the row at once, until the next scan confirms it.
    QCOMPARE(record(0)->detail(), QString());
    QCOMPARE(record(0)->ip(), QStringLiteral("172.16.0.2"));
    DeviceData *changed = deviceAt(0);
    QCOMPARE(changed->commMac(), record(0)->mac());
    QCOMPARE(changed->ip(), QStringLiteral("172.16.0.2"));
    QCOMPARE(changed->subnetMask(), QStringLiteral("255.240.0.0"));
    QVERIFY(m_finder->isAwaitingScan(changed));
    QCOMPARE(m_finder->awaitingScanCount(), results->successNum());
    m_finder->scan(1);
    QVERIFY(!m_finder->isAwaitingScan(changed));
    QCOMPARE(changed->ip(), QStringLiteral("172.16.0.2"));
}

// A device that does not answer in time is unconfirmed, not failed: retry leaves it out,
// and the next scan settles its row where the device is; the failures filter shows
// exactly the rows not known to have changed.
void tst_DeviceFinder::retryFailed()
{
    NetworkFaults faults;
    faults.drop = 0.5;
    m_network->simulation()->setFaults(faults);
    m_finder->setChangeTimeout(30);
    QSignalSpy ready(m_finder, &DeviceFinder::resultsReady);
    QVERIFY(m_finder->changeAllOnline(
        QStringLiteral("172.16.0.2"), QStringLiteral("255.240.0.0"), QStringLiteral("172.16.0.1")));
    QVERIFY(ready.wait(1000));
    ResultRowModel *rows = m_finder->resultRowModel();
    QStringList failed;
    QStringList steps;
    QStringList unconfirmed;
    for (const ResultRow &row : rows->rows()) {
        if (row.state == ResultRow::Failed) {
            failed << row.mac;
            steps << QString::number(row.offset);
        } else if (row.state == ResultRow::Unconfirmed) {
            unconfirmed << row.mac;
            QCOMPARE(row.detail, QStringLiteral("设备0.03秒内无应答，修改是否生效未知"));
        }
    }
    QVERIFY(!failed.isEmpty() && unconfirmed.size() > 2);
    QCOMPARE(rows->failureCount(), failed.size());
    QCOMPARE(rows->unconfirmedCount(), unconfirmed.size());
    SettingResultTableModel *results = m_finder->resultModel();
    QCOMPARE(results->failureNum(), failed.size());
    QCOMPARE(results->successNum(), rows->totalCount() - failed.size() - unconfirmed.size());
    QCOMPARE(m_finder->resultSummary(),
        QStringLiteral("修改成功%1个, 失败%2个, 未确认%3个")
            .arg(results->successNum())
            .arg(failed.size())
            .arg(unconfirmed.size()));
    rows->setFailuresOnly(true);
    QCOMPARE(rows->rowCount(), failed.size() + unconfirmed.size());

    m_network->simulation()->setFaults({});
    QSignalSpy requested(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested);
    QVERIFY(m_finder->retryFailed());
    QCOMPARE(requested.at(0).at(0).toString(), failed.join(QLatin1Char(',')));
    QCOMPARE(requested.at(0).at(1).toString(), QStringLiteral("172.16.0.2;255.240.0.0;172.16.0.1"));
    QCOMPARE(requested.at(0).at(3).toString(), QStringLiteral("2;") + steps.join(QLatin1Char(',')));
    QVERIFY(ready.wait(1000));
    QCOMPARE(rows->totalCount(), failed.size());
    for (const ResultRow &row : rows->rows()) {
        QCOMPARE(row.plannedIp, formatAddress(0xAC100002 + row.offset));
    }

    // The dropped answers' devices took the change; the first change's rows are no longer
    // on show, so the scan settles the devices without touching the retry's rows.
    QSignalSpy settled(m_finder, &DeviceFinder::statusTextChanged);
    m_finder->scan(1);
    QCoreApplication::processEvents();
    QCOMPARE(settled.count(), 0);
    QCOMPARE(rows->totalCount(), failed.size());
}

QTEST_MAIN(tst_DeviceFinder)
#include "tst_devicefinder.moc"
