// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringListModel>
#include <QtTest>

#include <memory>
#include <random>

using DevicePtr = QSharedPointer<DeviceData>;
using Table = DeviceTableModel;
using Sort = ZVRSortButton;

// Table order: C10, CTRL, C9, GW.
static const QString C10 = QStringLiteral("编码器10"), CTRL = QStringLiteral("中控"),
                     C9 = QStringLiteral("编码器9"), GW = QStringLiteral("安全网关");

static DevicePtr makeDevice(const QString &name, const QString &ip, DeviceData::DeviceStatus status,
    const QString &mask = QString(), const QString &sn = QString(), const QString &mac = QString())
{
    DevicePtr device(new DeviceData);
    device->setName(name);
    device->setSerialNumber(sn);
    device->setDevStatus(status);
    t_device_network_info port;
    port.mac = mac;
    port.ip = ip;
    port.subnetMask = mask;
    device->setNetworkInfo({ port });
    return device;
}

class tst_DeviceSortFilterProxyModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void sortByColumn_data();
    void sortByColumn();
    void filter_data();
    void filter();
    void changesResortOncePerTurn();
    void unrelatedChangeIsIgnored();
    void statusChangeRefilters();
    void removedDeviceIsNoLongerWatched_data();
    void removedDeviceIsNoLongerWatched();
    void appendedDeviceIsSortedIn();
    void mapsRowsForTheTable();
    void refusesRows_data();
    void refusesRows();
    void refusesWithoutTable();
    void modelTesterWhileTableChanges();
    void matchesFullSortAfterRandomChanges_data();
    void matchesFullSortAfterRandomChanges();
    void destructionOrder_data();
    void destructionOrder();

private:
    QStringList names() const
    {
        QStringList result;
        for (int row = 0; row < m_proxy->rowCount(); ++row) {
            result << m_proxy->device(row)->name();
        }
        return result;
    }

    std::unique_ptr<Table> m_table;
    std::unique_ptr<DeviceSortFilterProxyModel> m_proxy;
    QList<DevicePtr> m_devices;
};

void tst_DeviceSortFilterProxyModel::init()
{
    qRegisterMetaType<DevicePtr>("QSharedPointer<DeviceData>");
    m_proxy.reset();
    m_table = std::make_unique<Table>();
    m_devices = { makeDevice(
                      C10, "10.0.0.10", DeviceData::Online, "255.255.255.0", "SN-C3", "00:1A:00:00:00:03"),
        makeDevice(CTRL, "9.1.1.1", DeviceData::Offline, "255.0.0.0", "SN-A1", "00:1A:00:00:00:01"),
        makeDevice(C9, "10.0.0.9", DeviceData::Malfunction, "255.255.0.0", "SN-B2", "00:1A:00:00:00:0b"),
        makeDevice(GW, "192.168.0.2", DeviceData::Online, "255.255.255.128", "XN-D4", "00:1A:00:00:00:02") };
    for (const DevicePtr &device : qAsConst(m_devices)) {
        m_table->appendDevice(device);
    }
    m_proxy = std::make_unique<DeviceSortFilterProxyModel>();
    m_proxy->setSourceModel(m_table.get());
}

void tst_DeviceSortFilterProxyModel::sortByColumn_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("order");

    QTest::addRow("table order") << int(Table::ColName) << int(Sort::None)
                                 << QStringList { C10, CTRL, C9, GW };
    // Pinyin order (an, bian, zhong) and numbers by value within equal prefixes.
    QTest::addRow("name ascending") << int(Table::ColName) << int(Sort::Ascend)
                                    << QStringList { GW, C9, C10, CTRL };
    QTest::addRow("name descending") << int(Table::ColName) << int(Sort::Descend)
                                     << QStringList { CTRL, C10, C9, GW };
    // Addresses by value, where text order would put 10.0.0.10 first and 9.1.1.1 last.
    QTest::addRow("ip ascending") << int(Table::ColIP) << int(Sort::Ascend)
                                  << QStringList { CTRL, C9, C10, GW };
    QTest::addRow("mask ascending") << int(Table::ColSubnetMask) << int(Sort::Ascend)
                                    << QStringList { CTRL, C9, C10, GW };
    QTest::addRow("status ascending")
        << int(Table::ColDevStatus) << int(Sort::Ascend) << QStringList { C10, GW, CTRL, C9 };
    QTest::addRow("status descending")
        << int(Table::ColDevStatus) << int(Sort::Descend) << QStringList { C9, CTRL, C10, GW };
    QTest::addRow("serial number") << int(Table::ColSN) << int(Sort::Ascend)
                                   << QStringList { CTRL, C9, C10, GW };
    QTest::addRow("mac") << int(Table::ColMAC) << int(Sort::Ascend) << QStringList { CTRL, GW, C10, C9 };
    QTest::addRow("row number descending")
        << int(Table::ColIndex) << int(Sort::Descend) << QStringList { GW, C9, CTRL, C10 };
    QTest::addRow("unknown mode") << int(Table::ColName) << 7 << QStringList { C10, CTRL, C9, GW };
    QTest::addRow("negative section") << -3 << int(Sort::Descend) << QStringList { C10, CTRL, C9, GW };
    QTest::addRow("column past the end") << 21 << int(Sort::Ascend) << QStringList { C10, CTRL, C9, GW };
}

void tst_DeviceSortFilterProxyModel::sortByColumn()
{
    QFETCH(int, section);
    QFETCH(int, mode);
    QFETCH(QStringList, order);

    // Start from another order so that every row shows a real sort and a state change.
    m_proxy->sortByColumn(Table::ColSN, Sort::Descend);
    QSignalSpy spy(m_proxy.get(), &DeviceSortFilterProxyModel::sortChanged);
    m_proxy->sortByColumn(section, mode);
    m_proxy->sortByColumn(section, mode); // the same request again changes nothing
    QCOMPARE(names(), order);
    QCOMPARE(spy.count(), 1);
    // No sort, an unknown mode or a section outside the table clear the state.
    const bool sorted
        = section >= 0 && section < m_table->columnCount() && (mode == Sort::Ascend || mode == Sort::Descend);
    QCOMPARE(m_proxy->sortSection(), sorted ? section : -1);
    QCOMPARE(m_proxy->sortMode(), sorted ? mode : int(Sort::None));
}

void tst_DeviceSortFilterProxyModel::filter_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("visible");

    QTest::addRow("all") << -1 << QString() << QStringList { C10, CTRL, C9, GW };
    QTest::addRow("online") << int(DeviceData::Online) << QString() << QStringList { C10, GW };
    QTest::addRow("offline") << int(DeviceData::Offline) << QString() << QStringList { CTRL };
    QTest::addRow("malfunction") << int(DeviceData::Malfunction) << QString() << QStringList { C9 };
    QTest::addRow("unknown status") << 5 << QString() << QStringList();
    QTest::addRow("name") << -1 << QStringLiteral("编码器") << QStringList { C10, C9 };
    QTest::addRow("ip part") << -1 << QStringLiteral("10.0.0.1") << QStringList { C10 };
    QTest::addRow("mac ignores case") << -1 << QStringLiteral("00:1a:00:00:00:0B") << QStringList { C9 };
    QTest::addRow("mac bare digits") << -1 << QStringLiteral("001A0000000b") << QStringList { C9 };
    QTest::addRow("mac with dashes") << -1 << QStringLiteral("00-1a-00-00-00-0B") << QStringList { C9 };
    QTest::addRow("mac part") << -1 << QStringLiteral("0000-0002") << QStringList { GW };
    QTest::addRow("serial number") << -1 << QStringLiteral("xn-") << QStringList { GW };
    QTest::addRow("blanks around") << -1 << QStringLiteral("  中控 ") << QStringList { CTRL };
    QTest::addRow("no match") << -1 << QStringLiteral("解码器") << QStringList();
    QTest::addRow("status and text") << int(DeviceData::Online) << QStringLiteral("10.0.0")
                                     << QStringList { C10 };
}

void tst_DeviceSortFilterProxyModel::filter()
{
    QFETCH(int, status);
    QFETCH(QString, search);
    QFETCH(QStringList, visible);

    QSignalSpy countSpy(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged);
    m_proxy->setStatusFilter(status);
    m_proxy->setSearchText(search);
    QCOMPARE(names(), visible);
    QCOMPARE(m_proxy->count(), visible.size());
    QCOMPARE(countSpy.isEmpty(), visible.size() == m_devices.size());

    m_proxy->setStatusFilter(DeviceSortFilterProxyModel::AllStatus);
    m_proxy->setSearchText(QString());
    QCOMPARE(names(), (QStringList { C10, CTRL, C9, GW }));
}

void tst_DeviceSortFilterProxyModel::changesResortOncePerTurn()
{
    // A scan round of many devices re-sorts once, on the next turn, not inside the setters:
    // the table never says that data changed.
    for (int i = 0; i < 500; ++i) {
        m_devices << makeDevice(QStringLiteral("节点%1").arg(i), QString(), DeviceData::Online);
        m_table->appendDevice(m_devices.last());
    }
    m_proxy->sortByColumn(Table::ColName, Sort::Descend);
    QSignalSpy layoutSpy(m_proxy.get(), &QAbstractItemModel::layoutChanged);
    for (int i = 0; i < m_devices.size(); ++i) {
        m_devices.at(i)->setName(QStringLiteral("设备%1").arg(i));
    }
    QVERIFY(m_proxy->isRefreshPending());
    QCOMPARE(layoutSpy.count(), 0);
    QCOMPARE(m_proxy->device(0)->name(), QStringLiteral("设备1"));
    QCoreApplication::processEvents();
    QVERIFY(!m_proxy->isRefreshPending());
    QCOMPARE(layoutSpy.count(), 1);
    QCOMPARE(m_proxy->device(0)->name(), QStringLiteral("设备503"));
    QCOMPARE(m_proxy->device(m_proxy->rowCount() - 1)->name(), QStringLiteral("设备0"));
}

void tst_DeviceSortFilterProxyModel::unrelatedChangeIsIgnored()
{
    m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    QSignalSpy layoutSpy(m_proxy.get(), &QAbstractItemModel::layoutChanged);
    // Neither the sorted column nor a filtered property.
    m_devices.at(0)->setDevTime(QStringLiteral("2026-01-01 08:00:00"));
    m_devices.at(0)->setSerialNumber(QStringLiteral("SN-Z9"));
    m_devices.at(0)->setChecked(true);
    QVERIFY(!m_proxy->isRefreshPending());
    QCoreApplication::processEvents();
    QCOMPARE(layoutSpy.count(), 0);
}

void tst_DeviceSortFilterProxyModel::statusChangeRefilters()
{
    m_proxy->setStatusFilter(DeviceData::Online);
    QStringList log;
    logModel(m_proxy.get(), &log);
    connect(
        m_proxy.get(), &DeviceSortFilterProxyModel::countChanged, this, [&log] { log << "countChanged"; });

    // The gateway (proxy row 1) goes offline and leaves the online view.
    m_devices.at(3)->setDevStatus(DeviceData::Offline);
    QVERIFY(log.isEmpty());
    m_proxy->refresh();
    // countChanged comes from the proxy's own rowsRemoved handler, first in line.
    QCOMPARE(log, QStringList({ "aboutToRemove 1-1", "countChanged", "removed 1-1" }));
    QCOMPARE(names(), QStringList { C10 });
    // The queued refresh finds nothing left to do.
    log.clear();
    QCoreApplication::processEvents();
    QVERIFY(log.isEmpty());
}

void tst_DeviceSortFilterProxyModel::removedDeviceIsNoLongerWatched_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addRow("removeDevice") << false;
    QTest::addRow("clear") << true;
}

void tst_DeviceSortFilterProxyModel::removedDeviceIsNoLongerWatched()
{
    QFETCH(bool, clear);

    const DevicePtr device = m_devices.at(2);
    m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
    if (clear) {
        m_table->clear();
    } else {
        QVERIFY(m_table->removeDevice(device));
    }
    device->setName(QStringLiteral("阿里"));
    QVERIFY(!m_proxy->isRefreshPending());

    // Appended again, it is sorted in (on the next turn) and watched again.
    QVERIFY(m_table->appendDevice(device));
    m_proxy->refresh();
    QCOMPARE(m_proxy->device(0), device.data());
    device->setName(QStringLiteral("中心"));
    QVERIFY(m_proxy->isRefreshPending());
    m_proxy->refresh();
    QCOMPARE(m_proxy->device(m_proxy->rowCount() - 1), device.data());
}

void tst_DeviceSortFilterProxyModel::appendedDeviceIsSortedIn()
{
    m_proxy->sortByColumn(Table::ColIP, Sort::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    QStringList log;
    logModel(m_proxy.get(), &log);
    const DevicePtr hidden = makeDevice(QStringLiteral("离线解码器"), "1.1.1.1", DeviceData::Offline);
    m_table->appendDevice(hidden);
    m_table->appendDevice(makeDevice(QStringLiteral("解码器"), "10.0.0.11", DeviceData::Online));
    QVERIFY(log.isEmpty()); // appended rows join on the next turn, in one batch
    m_proxy->refresh();
    QCOMPARE(log, QStringList({ "aboutToInsert 1-1", "inserted 1-1" }));
    QCOMPARE(names(), (QStringList { C10, QStringLiteral("解码器"), GW }));

    // The hidden device is watched too: coming online brings it in at its place.
    hidden->setDevStatus(DeviceData::Online);
    m_proxy->refresh();
    QCOMPARE(m_proxy->device(0), hidden.data());
}

void tst_DeviceSortFilterProxyModel::mapsRowsForTheTable()
{
    m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    // Proxy rows: 0 the gateway (table row 3), 1 the encoder (table row 0); table row 1 is filtered out.
    QCOMPARE(QList<int>({ m_proxy->sourceRow(0), m_proxy->sourceRow(1), m_proxy->sourceRow(2) }),
        QList<int>({ 3, 0, -1 }));
    QCOMPARE(QList<int>({ m_proxy->proxyRow(3), m_proxy->proxyRow(1), m_proxy->proxyRow(4) }),
        QList<int>({ 0, -1, -1 }));
    QCOMPARE(m_proxy->columnRole(Table::ColIP), QStringLiteral("ip"));
    QCOMPARE(m_proxy->columnRole(21), QString());

    QSignalSpy checkSpy(m_table.get(), &Table::deviceCheckChanged);
    QSignalSpy editSpy(m_table.get(), &Table::editDevice);
    m_proxy->checkDevice(1, true);
    QVERIFY(m_devices.at(0)->checked());
    QVERIFY(!m_devices.at(3)->checked());
    QCOMPARE(checkSpy.count(), 1);
    QCOMPARE(checkSpy.at(0).at(0).value<DevicePtr>(), m_devices.at(0));
    m_proxy->editSignalDevice(0);
    QCOMPARE(editSpy.count(), 1);
    QCOMPARE(editSpy.at(0).at(0).value<DevicePtr>(), m_devices.at(3));
}

void tst_DeviceSortFilterProxyModel::refusesRows_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("row");
    for (const bool edit : { false, true }) {
        for (const int row : { -1, 2, INT_MIN, INT_MAX }) {
            QTest::addRow("%s %d", edit ? "edit" : "check", row) << edit << row;
        }
    }
}

void tst_DeviceSortFilterProxyModel::refusesRows()
{
    QFETCH(bool, edit);
    QFETCH(int, row);

    m_proxy->setStatusFilter(DeviceData::Online); // two rows left
    QSignalSpy checkSpy(m_table.get(), &Table::deviceCheckChanged);
    QSignalSpy editSpy(m_table.get(), &Table::editDevice);
    LogCapture cap;
    if (edit) {
        m_proxy->editSignalDevice(row);
    } else {
        m_proxy->checkDevice(row, true);
    }
    const QString name = edit ? "editSignalDevice" : "checkDevice";
    QCOMPARE(cap.lines().size(), 1);
    QCOMPARE(contextLine(cap.lines().at(0)),
        QString::fromLatin1("warning default src/libs/zvrviewmodel/devicesortfilterproxymodel.cpp "
                            "void DeviceSortFilterProxyModel::%1(int%2) | "
                            "DeviceSortFilterProxyModel::%1 error! the row is  %3")
            .arg(name, edit ? "" : ", bool")
            .arg(row));
    QCOMPARE(checkSpy.count() + editSpy.count(), 0);
    for (const DevicePtr &device : qAsConst(m_devices)) {
        QVERIFY(!device->checked());
    }
}

void tst_DeviceSortFilterProxyModel::refusesWithoutTable()
{
    QStringListModel strings(QStringList { "a", "b" });
    DeviceSortFilterProxyModel proxy;
    proxy.setSourceModel(&strings);
    QCOMPARE(proxy.count(), 2);
    QCOMPARE(proxy.device(0), nullptr);
    QTest::ignoreMessage(QtWarningMsg, "DeviceSortFilterProxyModel::checkDevice error! no device table");
    proxy.checkDevice(0, true);
    QTest::ignoreMessage(QtWarningMsg, "DeviceSortFilterProxyModel::editSignalDevice error! no device table");
    proxy.editSignalDevice(0);
    // Rows without a device pass no filter.
    proxy.setSearchText(QStringLiteral("a"));
    QCOMPARE(proxy.count(), 0);
}

void tst_DeviceSortFilterProxyModel::modelTesterWhileTableChanges()
{
    LogCapture cap;
    {
        QAbstractItemModelTester tester(
            m_proxy.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
        m_proxy->sortByColumn(Table::ColIP, Sort::Descend);
        m_proxy->setStatusFilter(DeviceData::Online);
        m_devices.at(1)->setDevStatus(DeviceData::Online);
        m_devices.at(0)->setNetworkInfo({});
        m_proxy->refresh();
        QCOMPARE(names(), (QStringList { GW, CTRL, C10 }));

        const DevicePtr extra = makeDevice(QStringLiteral("解码器"), "10.0.0.11", DeviceData::Online);
        m_table->appendDevice(extra);
        QVERIFY(m_table->removeDevice(m_devices.at(3)));
        m_proxy->setSearchText(QStringLiteral("解码器"));
        m_proxy->setSearchText(QString());
        m_proxy->sortByColumn(Table::ColName, Sort::None);
        m_table->clear();
        m_table->appendDevice(extra);
        m_proxy->refresh();
        QCOMPARE(m_proxy->count(), 1);
    }
    // Every cell holds the device object, which the role-type checks for the standard
    // roles cannot convert; those are the only complaints allowed.
    QVERIFY(!testerComplaints(cap).isEmpty()); // the tester did run its checks
    QCOMPARE(testerComplaints(cap, { "variant.canConvert<QString>()" }), QStringList());
}

void tst_DeviceSortFilterProxyModel::matchesFullSortAfterRandomChanges_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("mode");
    QTest::addRow("table order") << -1 << int(Sort::None);
    QTest::addRow("name ascending") << int(Table::ColName) << int(Sort::Ascend);
    QTest::addRow("ip descending") << int(Table::ColIP) << int(Sort::Descend);
    QTest::addRow("status descending") << int(Table::ColDevStatus) << int(Sort::Descend);
}

void tst_DeviceSortFilterProxyModel::matchesFullSortAfterRandomChanges()
{
    QFETCH(int, section);
    QFETCH(int, mode);
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    const auto less = [&](DevicePtr a, DevicePtr b) {
        mode == Sort::Descend ? a.swap(b) : void();
        return section == Table::ColName ? collator.compare(a->name(), b->name()) < 0
            : section == Table::ColIP    ? a->networkIpInt(0) < b->networkIpInt(0)
                                         : section >= 0 && a->devStatus() < b->devStatus();
    };
    std::mt19937 random(uint(section + 2));
    const auto some = [&] { return random() % 40; };
    LogCapture cap;
    QAbstractItemModelTester tester(m_proxy.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    m_proxy->sortByColumn(section, mode);
    for (int step = 0; step < 600; ++step) {
        const uint what = random() % 10;
        // Now and then many devices at once, as a scan or a rescan brings them.
        for (int i = 0, n = some() < 8 ? 30 : 1; i < n; ++i) {
            const DevicePtr device = m_devices.at(int(random() % uint(m_devices.size())));
            const auto status = DeviceData::DeviceStatus(random() % 3);
            const QString ip = QStringLiteral("10.%1.0.%2").arg(some()).arg(some());
            if (what == 0) {
                m_devices << makeDevice(QStringLiteral("解码器%1").arg(some()), ip, status);
                m_table->appendDevice(m_devices.last());
            } else if (what == 1 && m_devices.size() > 20 && m_table->removeDevice(device)) {
                m_devices.removeOne(device);
            } else if (what == 2) {
                device->setName(QStringLiteral("编码器%1").arg(some()));
            } else if (what == 3) {
                device->setNetworkInfo(makeDevice(QString(), ip, status)->networkInfo());
            } else if (what == 4) {
                device->setDevStatus(status);
            }
        }
        if (what == 5) {
            m_proxy->setStatusFilter(some() % 2 ? -1 : int(some() % 3));
        } else if (what == 6) {
            m_proxy->setSearchText(some() % 4 ? QString() : QStringLiteral("编码"));
        } else if (what >= 7) {
            m_proxy->refresh();
            QList<DevicePtr> expected;
            std::copy_if(
                m_devices.cbegin(), m_devices.cend(), std::back_inserter(expected), [&](const DevicePtr &d) {
                    return (m_proxy->statusFilter() < 0 || d->devStatus() == m_proxy->statusFilter())
                        && d->name().contains(m_proxy->searchText());
                });
            std::stable_sort(expected.begin(), expected.end(), less);
            QCOMPARE(m_proxy->count(), expected.size());
            for (int row = 0; row < expected.size(); ++row) {
                QCOMPARE(m_proxy->device(row), expected.at(row).data());
            }
        }
    }
    for (const CapturedMessage &line : cap.lines()) {
        QVERIFY2(line.category != QLatin1String("qt.modeltest") || line.text.contains("canConvert<QString>"),
            qPrintable(line.text));
    }
}

void tst_DeviceSortFilterProxyModel::destructionOrder_data()
{
    QTest::addColumn<bool>("tableFirst");
    QTest::addRow("table first") << true;
    QTest::addRow("proxy first") << false;
}

void tst_DeviceSortFilterProxyModel::destructionOrder()
{
    QFETCH(bool, tableFirst);

    m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
    if (tableFirst) {
        m_table.reset();
        QCOMPARE(m_proxy->count(), 0);
        // The devices outlive the table; their changes no longer reach the proxy.
        m_devices.at(0)->setName(QStringLiteral("阿里"));
        QVERIFY(!m_proxy->isRefreshPending());
        return;
    }
    m_devices.at(0)->setName(QStringLiteral("阿里")); // leaves a refresh queued
    m_proxy.reset();
    // Neither the queued refresh nor a later change may reach the destroyed proxy.
    QCoreApplication::processEvents();
    m_devices.at(0)->setName(QStringLiteral("中心"));
    m_table->appendDevice(makeDevice(C10, "10.0.0.10", DeviceData::Online));
    QCOMPARE(m_table->rowCount(), 5);
}

QTEST_GUILESS_MAIN(tst_DeviceSortFilterProxyModel)
#include "tst_devicesortfilterproxymodel.moc"
