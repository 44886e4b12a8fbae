// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>

#include "logcapture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringListModel>
#include <QtTest>

#include <memory>

using DevicePtr = QSharedPointer<DeviceData>;

// One device of the fixture: the values the proxy sorts and filters by.
struct Row
{
    QString name;
    QString ip;
    QString mask;
    QString serialNumber;
    QString mac;
    DeviceData::DeviceStatus status;
};

class tst_DeviceSortFilterProxyModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sortByColumn_data();
    void sortByColumn();
    void sortState_data();
    void sortState();
    void filter_data();
    void filter();
    void propertyChangeResorts();
    void changesAreCoalesced();
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
    void sourceDestroyedFirst();
    void proxyDestroyedFirst();

private:
    static DevicePtr makeDevice(const Row &row);
    QStringList names() const;

    std::unique_ptr<DeviceTableModel> m_table;
    std::unique_ptr<DeviceSortFilterProxyModel> m_proxy;
    QList<DevicePtr> m_devices;
};

static const QList<Row> &fixture()
{
    static const QList<Row> rows = {
        { QStringLiteral("编码器10"), QStringLiteral("10.0.0.10"), QStringLiteral("255.255.255.0"),
            QStringLiteral("SN-C3"), QStringLiteral("00:1A:00:00:00:03"), DeviceData::Online },
        { QStringLiteral("中控"), QStringLiteral("9.1.1.1"), QStringLiteral("255.0.0.0"),
            QStringLiteral("SN-A1"), QStringLiteral("00:1A:00:00:00:01"), DeviceData::Offline },
        { QStringLiteral("编码器9"), QStringLiteral("10.0.0.9"), QStringLiteral("255.255.0.0"),
            QStringLiteral("SN-B2"), QStringLiteral("00:1A:00:00:00:0b"), DeviceData::Malfunction },
        { QStringLiteral("安全网关"), QStringLiteral("192.168.0.2"), QStringLiteral("255.255.255.128"),
            QStringLiteral("XN-D4"), QStringLiteral("00:1A:00:00:00:02"), DeviceData::Online },
    };
    return rows;
}

DevicePtr tst_DeviceSortFilterProxyModel::makeDevice(const Row &row)
{
    DevicePtr device(new DeviceData);
    device->setName(row.name);
    device->setSerialNumber(row.serialNumber);
    device->setDevStatus(row.status);
    t_device_network_info port;
    port.mac = row.mac;
    port.ip = row.ip;
    port.subnetMask = row.mask;
    device->setNetworkInfo({ port });
    return device;
}

QStringList tst_DeviceSortFilterProxyModel::names() const
{
    QStringList result;
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        result << m_proxy->device(row)->name();
    }
    return result;
}

void tst_DeviceSortFilterProxyModel::init()
{
    qRegisterMetaType<DevicePtr>("QSharedPointer<DeviceData>");
    qRegisterMetaType<QList<QPersistentModelIndex>>();
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
    m_table = std::make_unique<DeviceTableModel>();
    m_devices.clear();
    for (const Row &row : fixture()) {
        m_devices << makeDevice(row);
        m_table->appendDevice(m_devices.last());
    }
    m_proxy = std::make_unique<DeviceSortFilterProxyModel>();
    m_proxy->setSourceModel(m_table.get());
}

void tst_DeviceSortFilterProxyModel::cleanup()
{
    m_proxy.reset();
    m_table.reset();
    m_devices.clear();
}

void tst_DeviceSortFilterProxyModel::sortByColumn_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("order");

    const QString c10 = QStringLiteral("编码器10");
    const QString control = QStringLiteral("中控");
    const QString c9 = QStringLiteral("编码器9");
    const QString gateway = QStringLiteral("安全网关");

    QTest::addRow("table order") << int(DeviceTableModel::ColName) << int(ZVRSortButton::None)
                                 << QStringList { c10, control, c9, gateway };
    // Pinyin order (an, bian, zhong) and numbers by value within equal prefixes.
    QTest::addRow("name ascending") << int(DeviceTableModel::ColName) << int(ZVRSortButton::Ascend)
                                    << QStringList { gateway, c9, c10, control };
    QTest::addRow("name descending") << int(DeviceTableModel::ColName) << int(ZVRSortButton::Descend)
                                     << QStringList { control, c10, c9, gateway };
    // Addresses by value, where text order would put 10.0.0.10 first and 9.1.1.1 last.
    QTest::addRow("ip ascending") << int(DeviceTableModel::ColIP) << int(ZVRSortButton::Ascend)
                                  << QStringList { control, c9, c10, gateway };
    QTest::addRow("mask ascending") << int(DeviceTableModel::ColSubnetMask) << int(ZVRSortButton::Ascend)
                                    << QStringList { control, c9, c10, gateway };
    QTest::addRow("status ascending") << int(DeviceTableModel::ColDevStatus) << int(ZVRSortButton::Ascend)
                                      << QStringList { c10, gateway, control, c9 };
    QTest::addRow("status descending") << int(DeviceTableModel::ColDevStatus) << int(ZVRSortButton::Descend)
                                       << QStringList { c9, control, c10, gateway };
    QTest::addRow("serial number") << int(DeviceTableModel::ColSN) << int(ZVRSortButton::Ascend)
                                   << QStringList { control, c9, c10, gateway };
    QTest::addRow("mac") << int(DeviceTableModel::ColMAC) << int(ZVRSortButton::Ascend)
                         << QStringList { control, gateway, c10, c9 };
    QTest::addRow("row number descending") << int(DeviceTableModel::ColIndex) << int(ZVRSortButton::Descend)
                                           << QStringList { gateway, c9, control, c10 };
    QTest::addRow("unknown mode") << int(DeviceTableModel::ColName) << 7
                                  << QStringList { c10, control, c9, gateway };
    QTest::addRow("column past the end")
        << 21 << int(ZVRSortButton::Ascend) << QStringList { c10, control, c9, gateway };
}

void tst_DeviceSortFilterProxyModel::sortByColumn()
{
    QFETCH(int, section);
    QFETCH(int, mode);
    QFETCH(QStringList, order);

    // Start from another order so that every row shows a real sort.
    m_proxy->sortByColumn(DeviceTableModel::ColSN, ZVRSortButton::Descend);
    m_proxy->sortByColumn(section, mode);
    QCOMPARE(names(), order);
}

void tst_DeviceSortFilterProxyModel::sortState_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("sortSection");
    QTest::addColumn<int>("sortMode");
    QTest::addColumn<int>("emissions");

    QTest::addRow("ascend") << 2 << int(ZVRSortButton::Ascend) << 2 << int(ZVRSortButton::Ascend) << 1;
    QTest::addRow("none clears the section")
        << 2 << int(ZVRSortButton::None) << -1 << int(ZVRSortButton::None) << 0;
    QTest::addRow("negative section")
        << -3 << int(ZVRSortButton::Descend) << -1 << int(ZVRSortButton::None) << 0;
    QTest::addRow("invalid mode") << 2 << 3 << -1 << int(ZVRSortButton::None) << 0;
}

void tst_DeviceSortFilterProxyModel::sortState()
{
    QFETCH(int, section);
    QFETCH(int, mode);
    QFETCH(int, sortSection);
    QFETCH(int, sortMode);
    QFETCH(int, emissions);

    QSignalSpy spy(m_proxy.get(), &DeviceSortFilterProxyModel::sortChanged);
    QVERIFY(spy.isValid());
    m_proxy->sortByColumn(section, mode);
    QCOMPARE(m_proxy->sortSection(), sortSection);
    QCOMPARE(m_proxy->sortMode(), sortMode);
    QCOMPARE(spy.count(), emissions);
    // The same request again changes nothing.
    m_proxy->sortByColumn(section, mode);
    QCOMPARE(spy.count(), emissions);
}

void tst_DeviceSortFilterProxyModel::filter_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("visible");

    const QString c10 = QStringLiteral("编码器10");
    const QString control = QStringLiteral("中控");
    const QString c9 = QStringLiteral("编码器9");
    const QString gateway = QStringLiteral("安全网关");

    QTest::addRow("all") << -1 << QString() << QStringList { c10, control, c9, gateway };
    QTest::addRow("online") << int(DeviceData::Online) << QString() << QStringList { c10, gateway };
    QTest::addRow("offline") << int(DeviceData::Offline) << QString() << QStringList { control };
    QTest::addRow("malfunction") << int(DeviceData::Malfunction) << QString() << QStringList { c9 };
    QTest::addRow("unknown status") << 5 << QString() << QStringList();
    QTest::addRow("name") << -1 << QStringLiteral("编码器") << QStringList { c10, c9 };
    QTest::addRow("ip part") << -1 << QStringLiteral("10.0.0.1") << QStringList { c10 };
    QTest::addRow("mac ignores case") << -1 << QStringLiteral("00:1a:00:00:00:0B") << QStringList { c9 };
    QTest::addRow("serial number") << -1 << QStringLiteral("xn-") << QStringList { gateway };
    QTest::addRow("blanks around") << -1 << QStringLiteral("  中控 ") << QStringList { control };
    QTest::addRow("no match") << -1 << QStringLiteral("解码器") << QStringList();
    QTest::addRow("status and text") << int(DeviceData::Online) << QStringLiteral("10.0.0")
                                     << QStringList { c10 };
}

void tst_DeviceSortFilterProxyModel::filter()
{
    QFETCH(int, status);
    QFETCH(QString, search);
    QFETCH(QStringList, visible);

    QSignalSpy countSpy(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged);
    QVERIFY(countSpy.isValid());
    m_proxy->setStatusFilter(status);
    m_proxy->setSearchText(search);
    QCOMPARE(names(), visible);
    QCOMPARE(m_proxy->count(), visible.size());
    QCOMPARE(countSpy.isEmpty(), visible.size() == fixture().size());

    // Lifting both filters brings every row back in the table's order.
    m_proxy->setStatusFilter(DeviceSortFilterProxyModel::AllStatus);
    m_proxy->setSearchText(QString());
    QCOMPARE(m_proxy->count(), fixture().size());
}

void tst_DeviceSortFilterProxyModel::propertyChangeResorts()
{
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    QSignalSpy layoutSpy(m_proxy.get(), &QAbstractItemModel::layoutChanged);
    QVERIFY(layoutSpy.isValid());

    m_devices.at(1)->setName(QStringLiteral("阿里")); // a, before every other name
    // Nothing moves inside the setter: the table never says that data changed.
    QCOMPARE(names().first(), QStringLiteral("安全网关"));
    QVERIFY(m_proxy->isRefreshPending());
    QCOMPARE(layoutSpy.count(), 0);

    QTRY_VERIFY(!m_proxy->isRefreshPending());
    QCOMPARE(layoutSpy.count(), 1);
    QCOMPARE(names(),
        (QStringList { QStringLiteral("阿里"), QStringLiteral("安全网关"), QStringLiteral("编码器9"),
            QStringLiteral("编码器10") }));
}

void tst_DeviceSortFilterProxyModel::changesAreCoalesced()
{
    // A scan round of many devices re-sorts once, not once per change.
    for (int i = 0; i < 500; ++i) {
        DevicePtr device(new DeviceData);
        device->setName(QStringLiteral("节点%1").arg(i));
        m_devices << device;
        m_table->appendDevice(device);
    }
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Descend);
    QSignalSpy layoutSpy(m_proxy.get(), &QAbstractItemModel::layoutChanged);
    QVERIFY(layoutSpy.isValid());

    for (int i = 0; i < m_devices.size(); ++i) {
        m_devices.at(i)->setName(QStringLiteral("设备%1").arg(i));
    }
    QCOMPARE(layoutSpy.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(layoutSpy.count(), 1);
    QCOMPARE(m_proxy->device(0)->name(), QStringLiteral("设备503"));
    QCOMPARE(m_proxy->device(m_proxy->rowCount() - 1)->name(), QStringLiteral("设备0"));
}

void tst_DeviceSortFilterProxyModel::unrelatedChangeIsIgnored()
{
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    QSignalSpy layoutSpy(m_proxy.get(), &QAbstractItemModel::layoutChanged);
    QVERIFY(layoutSpy.isValid());

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
    QCOMPARE(m_proxy->count(), 2);

    QStringList sequence;
    connect(m_proxy.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [&sequence](const QModelIndex &, int first, int last) {
            sequence << QStringLiteral("rowsAboutToBeRemoved %1-%2").arg(first).arg(last);
        });
    connect(m_proxy.get(), &QAbstractItemModel::rowsRemoved, this,
        [&sequence] { sequence << QStringLiteral("rowsRemoved"); });
    connect(m_proxy.get(), &QAbstractItemModel::rowsInserted, this,
        [&sequence] { sequence << QStringLiteral("rowsInserted"); });
    connect(m_proxy.get(), &QAbstractItemModel::layoutChanged, this,
        [&sequence] { sequence << QStringLiteral("layoutChanged"); });
    connect(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged, this,
        [&sequence] { sequence << QStringLiteral("countChanged"); });

    // The gateway (proxy row 1) goes offline and leaves the online view.
    m_devices.at(3)->setDevStatus(DeviceData::Offline);
    QVERIFY(sequence.isEmpty());
    m_proxy->refresh();
    // countChanged comes from the proxy's own rowsRemoved handler, first in line.
    QCOMPARE(sequence,
        (QStringList { QStringLiteral("rowsAboutToBeRemoved 1-1"), QStringLiteral("countChanged"),
            QStringLiteral("rowsRemoved") }));
    QCOMPARE(names(), QStringList { QStringLiteral("编码器10") });

    // The queued refresh finds nothing left to do.
    sequence.clear();
    QCoreApplication::processEvents();
    QVERIFY(sequence.isEmpty());
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
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);

    if (clear) {
        m_table->clear();
    } else {
        QVERIFY(m_table->removeDevice(device));
    }
    device->setName(QStringLiteral("阿里"));
    QVERIFY(!m_proxy->isRefreshPending());

    // Appended again, it is sorted in and watched again.
    QVERIFY(m_table->appendDevice(device));
    QCOMPARE(m_proxy->device(0), device.data());
    device->setName(QStringLiteral("中心"));
    QVERIFY(m_proxy->isRefreshPending());
    m_proxy->refresh();
    QCOMPARE(m_proxy->device(m_proxy->rowCount() - 1), device.data());
}

void tst_DeviceSortFilterProxyModel::appendedDeviceIsSortedIn()
{
    m_proxy->sortByColumn(DeviceTableModel::ColIP, ZVRSortButton::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    QSignalSpy insertSpy(m_proxy.get(), &QAbstractItemModel::rowsInserted);
    QVERIFY(insertSpy.isValid());

    const DevicePtr hidden = makeDevice({ QStringLiteral("离线解码器"), QStringLiteral("1.1.1.1"), QString(),
        QString(), QString(), DeviceData::Offline });
    const DevicePtr shown = makeDevice({ QStringLiteral("解码器"), QStringLiteral("10.0.0.11"), QString(),
        QString(), QString(), DeviceData::Online });
    m_table->appendDevice(hidden);
    m_table->appendDevice(shown);

    QCOMPARE(insertSpy.count(), 1);
    QCOMPARE(insertSpy.at(0).at(1).toInt(), 1);
    QCOMPARE(names(),
        (QStringList { QStringLiteral("编码器10"), QStringLiteral("解码器"), QStringLiteral("安全网关") }));

    // The hidden device is watched too: coming online brings it in at its place.
    hidden->setDevStatus(DeviceData::Online);
    m_proxy->refresh();
    QCOMPARE(m_proxy->device(0), hidden.data());
}

void tst_DeviceSortFilterProxyModel::mapsRowsForTheTable()
{
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    m_proxy->setStatusFilter(DeviceData::Online);
    // Proxy rows: 0 the gateway (table row 3), 1 the encoder (table row 0).
    QCOMPARE(m_proxy->sourceRow(0), 3);
    QCOMPARE(m_proxy->sourceRow(1), 0);
    QCOMPARE(m_proxy->sourceRow(2), -1);
    QCOMPARE(m_proxy->proxyRow(3), 0);
    QCOMPARE(m_proxy->proxyRow(1), -1); // filtered out
    QCOMPARE(m_proxy->proxyRow(4), -1);
    QCOMPARE(m_proxy->columnRole(DeviceTableModel::ColIP), QStringLiteral("ip"));
    QCOMPARE(m_proxy->columnRole(21), QString());

    QSignalSpy checkSpy(m_table.get(), &DeviceTableModel::deviceCheckChanged);
    QVERIFY(checkSpy.isValid());
    QSignalSpy editSpy(m_table.get(), &DeviceTableModel::editDevice);
    QVERIFY(editSpy.isValid());

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
    QTest::addColumn<QString>("warning");

    QTest::addRow("check -1") << false << -1
                              << QStringLiteral(
                                     "DeviceSortFilterProxyModel::checkDevice error! the row is  -1");
    QTest::addRow("check past the end")
        << false << 2 << QStringLiteral("DeviceSortFilterProxyModel::checkDevice error! the row is  2");
    QTest::addRow("edit -1") << true << -1
                             << QStringLiteral(
                                    "DeviceSortFilterProxyModel::editSignalDevice error! the row is  -1");
    QTest::addRow("edit past the end")
        << true << 2 << QStringLiteral("DeviceSortFilterProxyModel::editSignalDevice error! the row is  2");
}

void tst_DeviceSortFilterProxyModel::refusesRows()
{
    QFETCH(bool, edit);
    QFETCH(int, row);
    QFETCH(QString, warning);

    m_proxy->setStatusFilter(DeviceData::Online); // two rows left
    QSignalSpy checkSpy(m_table.get(), &DeviceTableModel::deviceCheckChanged);
    QVERIFY(checkSpy.isValid());
    QSignalSpy editSpy(m_table.get(), &DeviceTableModel::editDevice);
    QVERIFY(editSpy.isValid());

    LogCapture cap;
    if (edit) {
        m_proxy->editSignalDevice(row);
    } else {
        m_proxy->checkDevice(row, true);
    }
    QCOMPARE(cap.lines().size(), 1);
    QCOMPARE(cap.lines().at(0).type, QtWarningMsg);
    QCOMPARE(cap.lines().at(0).text, warning);
    QCOMPARE(cap.lines().at(0).file, QStringLiteral("src/libs/zvrviewmodel/devicesortfilterproxymodel.cpp"));
    QCOMPARE(checkSpy.count(), 0);
    QCOMPARE(editSpy.count(), 0);
    for (const DevicePtr &device : qAsConst(m_devices)) {
        QVERIFY(!device->checked());
    }
}

void tst_DeviceSortFilterProxyModel::refusesWithoutTable()
{
    QStringListModel strings(QStringList { QStringLiteral("a"), QStringLiteral("b") });
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
        m_proxy->sortByColumn(DeviceTableModel::ColIP, ZVRSortButton::Descend);
        m_proxy->setStatusFilter(DeviceData::Online);

        m_devices.at(1)->setDevStatus(DeviceData::Online);
        m_devices.at(0)->setNetworkInfo({});
        m_proxy->refresh();
        QCOMPARE(names(),
            (QStringList { QStringLiteral("安全网关"), QStringLiteral("中控"), QStringLiteral("编码器10") }));

        const DevicePtr extra = makeDevice({ QStringLiteral("解码器"), QStringLiteral("10.0.0.11"), QString(),
            QString(), QString(), DeviceData::Online });
        m_table->appendDevice(extra);
        QVERIFY(m_table->removeDevice(m_devices.at(3)));
        m_proxy->setSearchText(QStringLiteral("解码器"));
        m_proxy->setSearchText(QString());
        m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::None);
        m_table->clear();
        m_table->appendDevice(extra);
        QCOMPARE(m_proxy->count(), 1);
    }
    // Every cell holds the device object, which the role-type checks for the standard
    // roles cannot convert; those are the only complaints allowed.
    int excused = 0;
    for (const CapturedMessage &line : cap.lines()) {
        if (line.category != QLatin1String("qt.modeltest")) {
            continue;
        }
        QVERIFY2(line.text.contains(QLatin1String("variant.canConvert<QString>()")), qPrintable(line.text));
        ++excused;
    }
    QVERIFY(excused > 0); // the tester did run its checks
}

void tst_DeviceSortFilterProxyModel::sourceDestroyedFirst()
{
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    m_table.reset();
    QCOMPARE(m_proxy->count(), 0);

    // The devices outlive the table; their changes no longer reach the proxy.
    m_devices.at(0)->setName(QStringLiteral("阿里"));
    QVERIFY(!m_proxy->isRefreshPending());
}

void tst_DeviceSortFilterProxyModel::proxyDestroyedFirst()
{
    m_proxy->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    m_devices.at(0)->setName(QStringLiteral("阿里")); // leaves a refresh queued
    m_proxy.reset();
    // Neither the queued refresh nor a later change may reach the destroyed proxy.
    QCoreApplication::processEvents();
    m_devices.at(0)->setName(QStringLiteral("中心"));
    m_table->appendDevice(makeDevice(fixture().first()));
    QCOMPARE(m_table->rowCount(), 5);
}

QTEST_GUILESS_MAIN(tst_DeviceSortFilterProxyModel)
#include "tst_devicesortfilterproxymodel.moc"
