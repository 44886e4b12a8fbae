// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "proxyfixture.h"

#include <QStringListModel>

// The proxy over sources other than the device table: rows without a record, rows the
// source reorders, cuts or only announces, and indexes that are not its own.
class tst_ProxyOverSources : public QObject, public ProxyFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { QCOMPARE(tearDown(), QStringList()); }

    // Qt's sort() in both directions: equal keys (names equal but for case) keep the
    // table's order either way; rows without a record go last, first when descending.
    void sortTies_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("rows");
        const int up = Qt::AscendingOrder, down = Qt::DescendingOrder;
        QTest::newRow("name up") << int(Table::ColName) << up << int(Sort::Ascend) << "bcadee";
        QTest::newRow("name down") << int(Table::ColName) << down << int(Sort::Descend) << "eeadbc";
        QTest::newRow("row number down") << int(Table::ColIndex) << down << int(Sort::Descend) << "eedcba";
        QTest::newRow("no column") << -1 << down << int(Sort::None) << "aebced";
        QTest::newRow("past the columns") << 21 << up << int(Sort::None) << "aebced";
    }

    void sortTies()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(int, mode);

        const QStringList names = { "b", "A", "a", "B" };
        for (int i = 0; i < names.size(); ++i) {
            m_devices.at(i)->setName(names.at(i));
        }
        ListSource source;
        source.devices = { m_devices.at(0).data(), nullptr, m_devices.at(1).data(), m_devices.at(2).data(),
            nullptr, m_devices.at(3).data() };
        QSignalSpy countSpy(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged);
        m_proxy->setSourceModel(&source);
        QCOMPARE(countSpy.count(), 1);
        QCOMPARE(m_proxy->count(), 6);
        m_proxy->sort(column, Qt::SortOrder(order));
        QTEST(rows(), "rows");
        QCOMPARE(m_proxy->sortMode(), mode);
        QCOMPARE(m_proxy->sortSection(), mode == Sort::None ? -1 : column);
    }

    // The source reorders its rows itself: the proxy keeps its own order, maps the rows
    // anew, carries its persistent indexes and still follows the records.
    void sourceReorders_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("layout, table order") << false << int(Sort::None) << "aebcd"
                                             << "dcbea";
        QTest::newRow("layout, by name") << false << int(Sort::Ascend) << "dcabe"
                                         << "dcabe";
        QTest::newRow("move, table order") << true << int(Sort::None) << "aebcd"
                                           << "ebcda";
        QTest::newRow("move, by name") << true << int(Sort::Descend) << "ebacd"
                                       << "ebacd";
    }

    void sourceReorders()
    {
        QFETCH(bool, move);
        QFETCH(int, mode);

        QStringList seen; // outlives the source, whose end the proxy still reports
        ListSource source;
        source.devices = { m_devices.at(0).data(), nullptr, m_devices.at(1).data(), m_devices.at(2).data(),
            m_devices.at(3).data() };
        m_proxy->setSourceModel(&source);
        m_proxy->sortByColumn(Table::ColName, mode);
        QTEST(rows(), "before");
        const QPersistentModelIndex held = m_proxy->index(2, 5);
        DeviceData *const heldDevice = m_proxy->device(2);
        logModel(m_proxy.get(), &seen);
        source.reorder(move);
        QCOMPARE(seen, QStringList { "layoutChanged" });
        QTEST(rows(), "after");
        QCOMPARE(m_proxy->device(held.row()), heldDevice);
        QCOMPARE(held.column(), 5);
        for (int row = 0; row < m_proxy->rowCount(); ++row) {
            QCOMPARE(m_proxy->mapToSource(m_proxy->index(row, 2)), source.index(m_proxy->sourceRow(row), 2));
            QCOMPARE(m_proxy->proxyRow(m_proxy->sourceRow(row)), row);
        }
        // The records are still watched: a new name moves its row as a fresh sort would.
        m_devices.at(1)->setName(QStringLiteral("阿"));
        QCoreApplication::processEvents();
        DeviceSortFilterProxyModel fresh;
        fresh.setSourceModel(&source);
        fresh.sortByColumn(Table::ColName, mode);
        QCOMPARE(rows(), rows(&fresh));
        // A name changed just before the source reorders is read by the new order.
        m_devices.at(2)->setName(QStringLiteral("中"));
        source.reorder(move);
        QVERIFY(!m_proxy->isRefreshPending());
        DeviceSortFilterProxyModel afterwards;
        afterwards.setSourceModel(&source);
        afterwards.sortByColumn(Table::ColName, mode);
        QCOMPARE(rows(), rows(&afterwards));
    }

    // Rows that leave the source together leave the proxy one run of proxy rows at a
    // time, the last run first, or under one reset past 16 runs.
    void sourceCutsRange_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QStringList>("log");
        QStringList runs;
        for (int row = 30; row >= 0; row -= 2) {
            runs << QString::fromLatin1("aboutToRemove %1-%1").arg(row)
                 << QString::fromLatin1("removed %1-%1").arg(row);
        }
        QTest::newRow("16 runs") << 16 << runs;
        QTest::newRow("17 runs") << 17 << QStringList { "aboutToReset", "reset" };
    }

    void sourceCutsRange()
    {
        QFETCH(int, cut);

        // Sorted by name, the rows cut from the front of the source alternate with the rest.
        QStringList seen;
        QList<DevicePtr> devices;
        ListSource source;
        for (int i = 0; i < 2 * cut; ++i) {
            const int key = i < cut ? 2 * i : 2 * (i - cut) + 1;
            devices << makeDevice(QStringLiteral("n%1").arg(key), QString(), DeviceData::Online);
            source.devices << devices.last().data();
        }
        m_proxy->setSourceModel(&source);
        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        logModel(m_proxy.get(), &seen);
        source.cut(0, cut - 1);
        QTEST(seen, "log");
        QCOMPARE(m_proxy->rowCount(), cut);
        for (int row = 0; row < cut; ++row) {
            QCOMPARE(m_proxy->device(row), devices.at(cut + row).data());
        }
    }

    // A row the source puts before others: each later row maps to its new place.
    void sourceInsertsBeforeRows()
    {
        ListSource source;
        for (const DevicePtr &device : qAsConst(m_devices)) {
            source.devices << device.data();
        }
        m_proxy->setSourceModel(&source);
        const DevicePtr added = makeDevice(QStringLiteral("新"), QString(), DeviceData::Online);
        source.put(1, added.data());
        QCoreApplication::processEvents();
        QCOMPARE(m_proxy->rowCount(), 5);
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(m_proxy->device(row), source.devices.at(row));
            QCOMPARE(m_proxy->sourceRow(row), row);
        }
    }

    // Rows a source announces outside its own rows change nothing.
    void ignoresRowsOutsideTheSource_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("kind"); // as ListSource::announce() takes it
        QTest::newRow("insert past the end") << 5 << 5 << 1;
        QTest::newRow("insert backwards") << 2 << 1 << 1;
        QTest::newRow("insert before the start") << -1 << 0 << 1;
        QTest::newRow("remove past the end") << 3 << 4 << 0;
        QTest::newRow("remove backwards") << 2 << 1 << 0;
        QTest::newRow("remove before the start") << -1 << 0 << 0;
        QTest::newRow("change past the end") << 2 << 9 << 2;
    }

    void ignoresRowsOutsideTheSource()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, kind);

        QStringList seen;
        ListSource source;
        for (const DevicePtr &device : qAsConst(m_devices)) {
            source.devices << device.data();
        }
        m_proxy->setSourceModel(&source);
        logModel(m_proxy.get(), &seen);
        source.announce(first, last, kind);
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList());
        QCOMPARE(rows(), QStringLiteral("abcd"));
        QCOMPARE(m_proxy->proxyRow(3), 3);
    }

    // Indexes of another model, of no model, or stale ones map to nothing.
    void mapsOnlyItsOwnIndexes()
    {
        QStringListModel other(QStringList { "x", "y", "z", "w" });
        m_proxy->setStatusFilter(DeviceData::Online); // proxy rows: a, d
        const QModelIndex second = m_proxy->index(1, 3);
        QCOMPARE(m_proxy->mapToSource(second), m_table->index(3, 3));
        QCOMPARE(m_proxy->mapToSource(other.index(1, 0)), QModelIndex());
        QCOMPARE(m_proxy->mapToSource(QModelIndex()), QModelIndex());
        QCOMPARE(m_proxy->mapFromSource(m_table->index(3, 4)), m_proxy->index(1, 4));
        QCOMPARE(m_proxy->mapFromSource(m_table->index(1, 4)), QModelIndex()); // filtered out
        QCOMPARE(m_proxy->mapFromSource(other.index(0, 0)), QModelIndex());
        QCOMPARE(m_proxy->mapFromSource(QModelIndex()), QModelIndex());
        m_devices.at(3)->setDevStatus(DeviceData::Offline);
        m_proxy->refresh();
        QCOMPARE(m_proxy->mapToSource(second), QModelIndex()); // its row is gone
        // A row the table has not announced yet.
        m_table->blockSignals(true);
        m_table->appendDevice(makeDevice(C9, "10.0.0.9", DeviceData::Online));
        m_table->blockSignals(false);
        QCOMPARE(m_proxy->mapFromSource(m_table->index(4, 0)), QModelIndex());
        DeviceSortFilterProxyModel empty;
        QCOMPARE(empty.mapFromSource(QModelIndex()), QModelIndex());
    }
};

QTEST_GUILESS_MAIN(tst_ProxyOverSources)
#include "tst_proxyoversources.moc"
