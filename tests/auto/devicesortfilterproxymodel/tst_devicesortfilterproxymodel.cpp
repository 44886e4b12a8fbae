// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ipv4reference.h"
#include "proxyfixture.h"

#include <QSignalSpy>
#include <QStringListModel>

#include <random>

class tst_DeviceSortFilterProxyModel;
using Action = std::function<void(tst_DeviceSortFilterProxyModel *)>;
Q_DECLARE_METATYPE(Action)

// Logs "turn" for each queued call the proxy receives.
struct TurnLog : QObject
{
    QStringList *log = nullptr;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall) {
            log->append("turn");
        }
        return false;
    }
};

class tst_DeviceSortFilterProxyModel : public QObject, public ProxyFixture
{
    Q_OBJECT

    // The order a sort by \a section should give: names and serial numbers by the
    // collator, MACs as text ignoring case, the rest by number; equal rows as in the table.
    std::function<bool(const DevicePtr &, const DevicePtr &)> expectedOrder(int section, int mode)
    {
        auto collator = std::make_shared<QCollator>(QLocale(QLocale::Chinese, QLocale::China));
        collator->setNumericMode(true);
        collator->setCaseSensitivity(Qt::CaseInsensitive);
        const QByteArray role = m_table->columnRole(section).toLatin1();
        const auto number = [this, role](const DevicePtr &d) -> qint64 {
            return role == "devIndex"  ? m_devices.indexOf(d)
                : role == "ip"         ? d->networkIpInt(0)
                : role == "ip2"        ? d->networkIpInt(1)
                : role == "subnetMask" ? IPV4StringToIntegerReference(d->subnetMask())
                : role == "devStatus"  ? qint64(d->devStatus())
                                       : d->checked();
        };
        const auto compare = [collator, role, number](const DevicePtr &a, const DevicePtr &b) {
            const QString x = a->property(role).toString(), y = b->property(role).toString();
            return role == "name" || role == "serialNumber" ? collator->compare(x, y)
                : role == "mac"                             ? x.compare(y, Qt::CaseInsensitive)
                                : (number(a) > number(b)) - (number(a) < number(b));
        };
        return [section, mode, compare](const DevicePtr &a, const DevicePtr &b) {
            return section >= 0 && (mode == Sort::Descend ? compare(b, a) : compare(a, b)) < 0;
        };
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { QCOMPARE(tearDown(), QStringList()); }

    void sortByColumn_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("order");

        const auto row = [](const char *name, int section, int mode, const char *order) {
            QTest::newRow(name) << section << mode << QString::fromLatin1(order);
        };
        row("table order", Table::ColName, Sort::None, "abcd");
        // Pinyin order (an, bian, zhong) and numbers by value within equal prefixes.
        row("name ascending", Table::ColName, Sort::Ascend, "dcab");
        row("name descending", Table::ColName, Sort::Descend, "bacd");
        // Addresses by value, where text order would put 10.0.0.10 first and 9.1.1.1 last.
        row("ip ascending", Table::ColIP, Sort::Ascend, "bcad");
        row("mask ascending", Table::ColSubnetMask, Sort::Ascend, "bcad");
        row("status ascending", Table::ColDevStatus, Sort::Ascend, "adbc");
        row("checked ascending", Table::ColCheckbox, Sort::Ascend, "acdb");
        row("row number descending", Table::ColIndex, Sort::Descend, "dcba");
        row("unknown mode", Table::ColName, 7, "abcd");
        row("negative section", -3, Sort::Descend, "abcd");
        row("column past the end", 21, Sort::Ascend, "abcd");
    }

    void sortByColumn()
    {
        QFETCH(int, section);
        QFETCH(int, mode);
        QFETCH(QString, order);

        m_devices.at(1)->setChecked(true);
        // Start from another order so that every row shows a real sort and a state change.
        m_proxy->sortByColumn(Table::ColSN, Sort::Descend);
        QSignalSpy spy(m_proxy.get(), &DeviceSortFilterProxyModel::sortChanged);
        QSignalSpy layouts(m_proxy.get(), &QAbstractItemModel::layoutChanged);
        m_proxy->sortByColumn(section, mode);
        m_proxy->sortByColumn(section, mode); // the same request again changes nothing
        QCOMPARE(rows(), order);
        QCOMPARE(spy.count(), 1);
        // A new order is a vertical sort, which a view may take without laying out columns.
        QCOMPARE(layouts.count(), 1);
        QCOMPARE(layouts.at(0).at(1).value<QAbstractItemModel::LayoutChangeHint>(),
            QAbstractItemModel::VerticalSortHint);
        // No sort, an unknown mode or a section outside the table clear the state.
        const bool sorted = section >= 0 && section < m_table->columnCount()
            && (mode == Sort::Ascend || mode == Sort::Descend);
        QCOMPARE(m_proxy->sortSection(), sorted ? section : -1);
        QCOMPARE(m_proxy->sortMode(), sorted ? mode : int(Sort::None));
    }

    void filter_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("visible");

        const auto row = [](const char *name, int status, const QString &search, const char *visible) {
            QTest::newRow(name) << status << search << QString::fromLatin1(visible);
        };
        const int any = DeviceSortFilterProxyModel::AllStatus;
        row("all", any, QString(), "abcd");
        row("online", DeviceData::Online, QString(), "ad");
        row("offline", DeviceData::Offline, QString(), "b");
        row("malfunction", DeviceData::Malfunction, QString(), "c");
        row("unknown status refused", 5, QString(), "abcd");
        row("below all refused", -2, QString(), "abcd");
        row("past malfunction refused", 3, QString(), "abcd");
        row("name", any, QStringLiteral("编码器"), "ac");
        row("ip part", any, "10.0.0.1", "a");
        row("mac ignores case", any, "00:1a:00:00:00:0B", "c");
        row("mac bare digits", any, "001A0000000b", "c");
        row("mac with dashes", any, "00-1a-00-00-00-0B", "c");
        row("mac part", any, "0000-0002", "d");
        row("serial number", any, "xn-", "d");
        row("blanks around", any, QStringLiteral("  中控 "), "b");
        row("no match", any, QStringLiteral("解码器"), "");
        row("status and text", DeviceData::Online, "10.0.0", "a");
        // "|" separates texts typed one after the other: the second makes a MAC form.
        row("a keystroke more makes a MAC", any, "a0|a0-00", "abcd");
    }

    void filter()
    {
        QFETCH(int, status);
        QFETCH(QString, search);
        QFETCH(QString, visible);

        QSignalSpy countSpy(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged);
        QSignalSpy statusSpy(m_proxy.get(), &DeviceSortFilterProxyModel::statusFilterChanged);
        QSignalSpy searchSpy(m_proxy.get(), &DeviceSortFilterProxyModel::searchTextChanged);
        const bool known
            = status >= DeviceSortFilterProxyModel::AllStatus && status <= DeviceData::Malfunction;
        m_log->clear();
        m_proxy->setStatusFilter(status);
        QCOMPARE(ownLines(*m_log).size(), known ? 0 : 1);
        if (!known) {
            QCOMPARE(contextLine(ownLines(*m_log).at(0)),
                QStringLiteral("warning default src/libs/zvrviewmodel/devicesortfilterproxymodel.cpp "
                               "void DeviceSortFilterProxyModel::setStatusFilter(int) | "
                               "DeviceSortFilterProxyModel::setStatusFilter error! the status is  %1")
                    .arg(status));
        }
        for (const QString &typed : search.split(QLatin1Char('|'))) {
            m_proxy->setSearchText(typed);
        }
        QCOMPARE(rows(), visible);
        QCOMPARE(
            countSpy.isEmpty(), visible.size() == m_devices.size() && !search.contains(QLatin1Char('|')));
        QCOMPARE(m_proxy->statusFilter(), known ? status : int(DeviceSortFilterProxyModel::AllStatus));
        QCOMPARE(statusSpy.count(), status == DeviceSortFilterProxyModel::AllStatus || !known ? 0 : 1);
        QCOMPARE(searchSpy.count(), search.trimmed().isEmpty() ? 0 : search.count(QLatin1Char('|')) + 1);

        m_proxy->setStatusFilter(DeviceSortFilterProxyModel::AllStatus);
        m_proxy->setSearchText(QString());
        QCOMPARE(rows(), QStringLiteral("abcd"));
    }

    void changes_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("spaced"); // online devices at 11.0.0.0, 2, 4, ... first
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("log");

        using T = tst_DeviceSortFilterProxyModel;
        const int any = DeviceSortFilterProxyModel::AllStatus, online = DeviceData::Online;
        const QString none;
        const auto row = [](const char *name, int section, int status, const QString &search, int spaced,
                             Action action, const QStringList &log) {
            QTest::newRow(name) << section << status << search << spaced << action << log;
        };
        QStringList oneByOne = { "pending", "turn" };
        for (int row = 2; row < 34; row += 2) {
            oneByOne << QString::fromLatin1("aboutToInsert %1-%1").arg(row) << "countChanged"
                     << QString::fromLatin1("inserted %1-%1").arg(row);
        }
        // Device changes wait for the next turn; countChanged comes from the proxy's own handler,
        // first in line.
        row("leaves the view", -1, online, none, 0,
            [](T *t) { t->m_devices.at(3)->setDevStatus(DeviceData::Offline); },
            { "pending", "turn", "aboutToRemove 1-1", "countChanged", "removed 1-1" });
        row("joins the view", Table::ColIP, online, none, 0,
            [](T *t) { t->m_devices.at(1)->setDevStatus(DeviceData::Online); },
            { "pending", "turn", "aboutToInsert 0-0", "countChanged", "inserted 0-0" });
        row("moves down", Table::ColName, any, none, 0,
            [](T *t) { t->m_devices.at(2)->setName(QStringLiteral("中心")); },
            { "pending", "turn", "moved 1-1 to 4" });
        row("neither sorted nor filtered", Table::ColName, online, "10.0", 0,
            [](T *t) {
                t->m_devices.at(0)->setDevTime(QStringLiteral("2026-01-01 08:00:00"));
                t->m_devices.at(0)->setChecked(true);
                t->m_devices.at(3)->setDevModel(QStringLiteral("ZV-E1"));
            },
            {});
        row("a removed device is no longer watched", Table::ColName, any, none, 0,
            [](T *t) {
                t->m_table->removeDevice(t->m_devices.at(2));
                t->m_devices.takeAt(2)->setName(QStringLiteral("阿里"));
            },
            { "aboutToRemove 1-1", "countChanged", "removed 1-1" });
        row("a source's cell change reads the row again", Table::ColName, any, none, 0,
            [](T *t) {
                t->m_devices.at(2)->blockSignals(true);
                t->m_devices.at(2)->setName(QStringLiteral("中心"));
                t->m_devices.at(2)->blockSignals(false);
                Q_EMIT t->m_table->dataChanged(QModelIndex(), QModelIndex()); // ignored
                Q_EMIT t->m_table->dataChanged(t->m_table->index(2, 0), t->m_table->index(2, 20));
            },
            { "dataChanged 1,0 1,20 []", "pending", "turn", "moved 1-1 to 4" });
        row("a change to the first shown row", Table::ColName, online, none, 0,
            [](T *t) { Q_EMIT t->m_table->dataChanged(t->m_table->index(1, 2), t->m_table->index(3, 2)); },
            { "dataChanged 0,2 0,2 []", "pending", "turn" });
        row("a reset drops what waits", Table::ColName, any, none, 0,
            [](T *t) {
                t->m_devices.at(2)->setName(QStringLiteral("中心"));
                t->m_table->clear();
            },
            { "aboutToReset", "countChanged", "reset", "turn" });
        // Setters act at once: a new filter resets.
        row("a filter with as many other rows", -1, any, "SN-C", 0,
            [](T *t) { t->m_proxy->setSearchText(QStringLiteral("SN-A")); }, { "aboutToReset", "reset" });
        // Up to 16 separate row signals per batch, else one reset or layout change.
        const auto goOffline = [](T *t) {
            for (int i = 4; i < t->m_devices.size(); ++i) {
                t->m_devices.at(i)->setDevStatus(DeviceData::Offline);
            }
        };
        row("16 leave", Table::ColIP, online, none, 16, goOffline,
            { "pending", "turn", "aboutToRemove 1-16", "countChanged", "removed 1-16" });
        row("17 leave", Table::ColIP, online, none, 17, goOffline,
            { "pending", "turn", "aboutToReset", "countChanged", "reset" });
        row(
            "16 scattered arrivals", Table::ColIP, online, none, 16, [](T *t) { t->appendSpaced(16, 1); },
            oneByOne);
        row("17 scattered arrivals", Table::ColIP, online, none, 17, [](T *t) { t->appendSpaced(17, 1); },
            { "pending", "turn", "aboutToReset", "countChanged", "reset" });
        row("17 move", Table::ColName, any, none, 17,
            [](T *t) {
                for (int i = 4; i < t->m_devices.size(); ++i) {
                    t->m_devices.at(i)->setName(QStringLiteral("设备%1").arg(100 - i));
                }
            },
            { "pending", "turn", "layoutChanged" });
    }

    // The exact notifications, and when they come.
    void changes()
    {
        QFETCH(int, section);
        QFETCH(int, status);
        QFETCH(QString, search);
        QFETCH(int, spaced);
        QFETCH(Action, action);

        appendSpaced(spaced, 0);
        m_proxy->sortByColumn(section, Sort::Ascend);
        m_proxy->setStatusFilter(status);
        m_proxy->setSearchText(search);
        m_proxy->refresh();
        QCoreApplication::processEvents();
        QStringList seen;
        logModel(m_proxy.get(), &seen);
        connect(
            m_proxy.get(), &DeviceSortFilterProxyModel::countChanged, this, [&] { seen << "countChanged"; });
        TurnLog turns;
        turns.log = &seen;
        m_proxy->installEventFilter(&turns);
        action(this);
        if (m_proxy->isRefreshPending()) {
            seen << "pending";
        }
        QCoreApplication::processEvents();
        QTEST(seen, "log");
        QVERIFY(!m_proxy->isRefreshPending());
    }

    void mapsRowsForTheTable()
    {
        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        m_proxy->setStatusFilter(DeviceData::Online);
        // Proxy rows: 0 the gateway (table row 3), 1 the encoder (table row 0); table row 1 is filtered out.
        QCOMPARE(QList<int>({ m_proxy->sourceRow(0), m_proxy->sourceRow(1), m_proxy->sourceRow(2) }),
            QList<int>({ 3, 0, -1 }));
        QCOMPARE(QList<int>({ m_proxy->proxyRow(3), m_proxy->proxyRow(0), m_proxy->proxyRow(1),
                     m_proxy->proxyRow(4), m_proxy->proxyRow(-1) }),
            QList<int>({ 0, 1, -1, -1, -1 }));
        QCOMPARE(m_proxy->columnRole(Table::ColIP), QStringLiteral("ip"));
        QCOMPARE(m_proxy->columnRole(0), QStringLiteral("checked"));
        QCOMPARE(m_proxy->columnRole(-1), QString());
        QCOMPARE(m_proxy->columnRole(21), QString());
        QCOMPARE(m_proxy->columnCount(), m_table->columnCount());
        QCOMPARE(m_proxy->columnCount(m_proxy->index(0, 0)), 0);
        QVERIFY(m_proxy->hasChildren());
        QVERIFY(!m_proxy->hasChildren(m_proxy->index(0, 0)));

        QSignalSpy checkSpy(m_table.get(), &Table::deviceCheckChanged);
        QSignalSpy editSpy(m_table.get(), &Table::editDevice);
        m_proxy->checkDevice(1, true);
        QVERIFY(m_devices.at(0)->checked());
        QVERIFY(!m_devices.at(3)->checked());
        QCOMPARE(checkSpy.count(), 1);
        QCOMPARE(checkSpy.at(0).at(0).value<DevicePtr>(), m_devices.at(0));
        m_proxy->editSignalDevice(0);
        m_proxy->editSignalDevice(1);
        QCOMPARE(editSpy.count(), 2);
        QCOMPARE(editSpy.at(0).at(0).value<DevicePtr>(), m_devices.at(3));
        QCOMPARE(editSpy.at(1).at(0).value<DevicePtr>(), m_devices.at(0));
    }

    void refusesRows_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("table");
        for (const bool edit : { false, true }) {
            for (const int row : { -1, 2, INT_MIN, INT_MAX }) {
                QTest::addRow("%s %d", edit ? "edit" : "check", row) << edit << row << true;
            }
            QTest::addRow("%s without a table", edit ? "edit" : "check") << edit << 0 << false;
        }
    }

    // One exact warning, nothing signalled or checked.
    void refusesRows()
    {
        QFETCH(bool, edit);
        QFETCH(int, row);
        QFETCH(bool, table);

        QStringListModel strings(QStringList { "a", "b" });
        if (!table) {
            m_proxy->setSourceModel(&strings);
            QCOMPARE(m_proxy->device(0), nullptr);
        }
        m_proxy->setStatusFilter(DeviceData::Online); // two rows left; rows without a device pass no filter
        QCOMPARE(m_proxy->count(), table ? 2 : 0);
        QCOMPARE(m_proxy->hasChildren(), table);
        QSignalSpy checkSpy(m_table.get(), &Table::deviceCheckChanged);
        QSignalSpy editSpy(m_table.get(), &Table::editDevice);
        LogCapture cap;
        edit ? m_proxy->editSignalDevice(row) : m_proxy->checkDevice(row, true);
        const QString name = edit ? "editSignalDevice" : "checkDevice";
        QCOMPARE(cap.lines().size(), 1);
        QCOMPARE(contextLine(cap.lines().at(0)),
            QString::fromLatin1(
                "warning default src/libs/zvrviewmodel/devicesortfilterproxymodel.cpp "
                "void DeviceSortFilterProxyModel::%1(int%2) | DeviceSortFilterProxyModel::%1 %3")
                .arg(name, edit ? "" : ", bool",
                    table ? QStringLiteral("error! the row is  %1").arg(row)
                          : QStringLiteral("error! no device table")));
        QCOMPARE(checkSpy.count() + editSpy.count(), 0);
        for (const DevicePtr &device : qAsConst(m_devices)) {
            QVERIFY(!device->checked());
        }
    }

    void matchesFullSortAfterRandomChanges_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("mode");
        QTest::addRow("table order") << -1 << int(Sort::None);
        for (const int section : { Table::ColCheckbox, Table::ColIndex, Table::ColName, Table::ColDevStatus,
                 Table::ColSN, Table::ColMAC, Table::ColIP, Table::ColIP2, Table::ColSubnetMask }) {
            for (const int mode : { Sort::Ascend, Sort::Descend }) {
                QTest::addRow(
                    "%s %s", qPrintable(Table().columnRole(section)), mode == Sort::Ascend ? "up" : "down")
                    << section << mode;
            }
        }
    }

    // Seeded random scans, edits of every sorted and searched property, removals, filters and
    // searches: the proxy always equals a plain stable sort and filter of the table, with the
    // model tester watching every notification.
    void matchesFullSortAfterRandomChanges()
    {
        QFETCH(int, section);
        QFETCH(int, mode);
        const auto less = expectedOrder(section, mode);
        const auto found = [&](const DevicePtr &d) {
            return QStringList { d->name(), d->ip(), d->ip2(), d->mac(), d->mac2(), d->serialNumber() }
                .join(QLatin1Char('\n'))
                .contains(m_proxy->searchText(), Qt::CaseInsensitive);
        };
        // A match may span two searched fields; "zb-zz" is no MAC form, so only its plain text counts.
        const QStringList searches
            = { QString(), "编码", "10.1", "sn-1", "0:3", "器1", "b:2", "9\n10.3", "zb-zz" };
        std::mt19937 random(uint(section * 3 + mode));
        const auto some = [&] { return random() % 40; };
        const auto ports = [&] {
            const auto port = [&](int n) {
                // MACs in either case, some longer than a sort keeps beside each row; letters
                // past F, beyond ASCII and beyond 16 bits, as a report may carry them, fold too.
                const char16_t *const tails[] = { u"0B", u"0b", u"0B:Aa:0B", u"0b:aA:0c", u"Zb:zZ", u"za:Zz",
                    u"\u00c9b", u"\u00e9a", u"\U00010400b", u"\U00010428a" };
                return t_device_network_info { 0,
                    QStringLiteral("00:1%1:00:00:%2:%3")
                        .arg(n)
                        .arg(some())
                        .arg(QString::fromUtf16(tails[some() % 10])),
                    QStringLiteral("10.%1.%2.%3").arg(n).arg(some()).arg(some()),
                    QStringLiteral("255.%1.0.0").arg(some()), QString(), 0 };
            };
            return QVector<t_device_network_info> { port(some() % 2), port(2 + some() % 2) };
        };
        m_proxy->sortByColumn(section, mode);
        for (int step = 0; step < 400; ++step) {
            const uint what = random() % 12;
            // Now and then many devices at once, as a scan or a rescan brings them.
            for (int i = 0, n = some() < 8 ? 30 : 1; i < n; ++i) {
                const DevicePtr device = m_devices.at(int(random() % uint(m_devices.size())));
                const auto status = DeviceData::DeviceStatus(random() % 3);
                if (what == 0) {
                    m_devices << makeDevice(QStringLiteral("解码器%1").arg(some()), QString(), status);
                    m_devices.last()->setNetworkInfo(ports());
                    m_table->appendDevice(m_devices.last());
                } else if (what == 1 && m_devices.size() > 20 && m_table->removeDevice(device)) {
                    m_devices.removeOne(device);
                } else if (what == 2) {
                    device->setName(QStringLiteral("编码器%1").arg(some()));
                } else if (what == 3) {
                    device->setNetworkInfo(ports());
                } else if (what == 4) {
                    device->setDevStatus(status);
                } else if (what == 5) {
                    device->setSerialNumber(QStringLiteral("SN-%1").arg(some()));
                } else if (what == 6) {
                    device->setChecked(some() % 2);
                }
            }
            if (what == 7) {
                m_proxy->setStatusFilter(some() % 2 ? -1 : int(some() % 3));
            } else if (what == 8) {
                m_proxy->setSearchText(searches.at(int(some()) % searches.size()));
            } else if (what >= 9) {
                what == 9 ? QCoreApplication::processEvents() : m_proxy->refresh();
                QList<DevicePtr> expected;
                std::copy_if(m_devices.cbegin(), m_devices.cend(), std::back_inserter(expected),
                    [&](const DevicePtr &d) {
                        return (m_proxy->statusFilter() < 0 || d->devStatus() == m_proxy->statusFilter())
                            && found(d);
                    });
                std::stable_sort(expected.begin(), expected.end(), less);
                QCOMPARE(m_proxy->count(), expected.size());
                for (int row = 0; row < expected.size(); ++row) {
                    QCOMPARE(m_proxy->device(row), expected.at(row).data());
                }
            }
        }
    }

    void sortsLargeTable_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("mode");
        QTest::addRow("name up") << int(Table::ColName) << int(Sort::Ascend);
        QTest::addRow("MAC down") << int(Table::ColMAC) << int(Sort::Descend);
        QTest::addRow("IP up") << int(Table::ColIP) << int(Sort::Ascend);
    }

    // A table large enough to be sorted on two threads: the order of a plain stable sort.
    void sortsLargeTable()
    {
        QFETCH(int, section);
        QFETCH(int, mode);
        for (int i = 0; i < 24000; ++i) {
            const QString mac
                = i % 2 ? QStringLiteral("00:1A:00:%1:%2:0b") : QStringLiteral("00:1a:00:%1:%2:0B");
            m_devices << makeDevice(QStringLiteral("编码器%1").arg(i % 997),
                QStringLiteral("10.0.%1.%2").arg(i % 7).arg(i % 251), DeviceData::Online, QString(),
                QString(), mac.arg(i % 13).arg(i % 89));
            m_table->appendDevice(m_devices.last());
        }
        // The names' keys are read ahead while the loop is free.
        for (int turn = 0; turn < 30; ++turn) {
            QCoreApplication::processEvents();
        }
        // Then the other way, after a rename in the half that the other thread does not
        // read; and each way searched, which reads the records on two threads too.
        const auto shows = [this](const QList<DevicePtr> &expected) {
            QCOMPARE(m_proxy->count(), expected.size());
            for (int row = 0; row < expected.size(); ++row) {
                QCOMPARE(m_proxy->device(row), expected.at(row).data());
            }
        };
        for (const int way : { mode, int(mode == Sort::Ascend ? Sort::Descend : Sort::Ascend) }) {
            m_proxy->sortByColumn(section, way);
            m_proxy->refresh();
            QList<DevicePtr> expected = m_devices;
            std::stable_sort(expected.begin(), expected.end(), expectedOrder(section, way));
            shows(expected);
            m_proxy->setSearchText(QStringLiteral("器12"));
            m_proxy->refresh();
            QList<DevicePtr> found;
            std::copy_if(expected.begin(), expected.end(), std::back_inserter(found),
                [](const DevicePtr &device) { return device->name().contains(QStringLiteral("器12")); });
            shows(found);
            m_proxy->setSearchText(QString());
            m_proxy->refresh();
            m_devices.last()->setName(QStringLiteral("编码器0"));
        }
    }

    void destructionOrder_data()
    {
        QTest::addColumn<bool>("tableFirst");
        QTest::addRow("table first") << true;
        QTest::addRow("proxy first") << false;
    }

    void destructionOrder()
    {
        QFETCH(bool, tableFirst);

        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        if (tableFirst) {
            QStringList seen;
            logModel(m_proxy.get(), &seen);
            connect(m_proxy.get(), &DeviceSortFilterProxyModel::countChanged, this,
                [&] { seen << "countChanged"; });
            m_table.reset();
            QCOMPARE(seen, QStringList({ "aboutToReset", "countChanged", "reset" }));
            QCOMPARE(m_proxy->count(), 0);
            QCOMPARE(m_proxy->columnCount(), 0);
            // The devices outlive the table; their changes no longer reach the proxy.
            m_devices.at(0)->setName(QStringLiteral("阿里"));
            QVERIFY(!m_proxy->isRefreshPending());
            return;
        }
        m_devices.at(0)->setName(QStringLiteral("阿里")); // leaves a refresh queued
        m_tester.reset();
        m_proxy.reset();
        // Neither the queued refresh nor a later change may reach the destroyed proxy.
        QCoreApplication::processEvents();
        m_devices.at(0)->setName(QStringLiteral("中心"));
        m_table->appendDevice(makeDevice(C10, "10.0.0.10", DeviceData::Online));
        QCOMPARE(m_table->rowCount(), 5);
    }

    // With a batch interval, appended rows wait for it rather than for the next turn.
    void batchInterval()
    {
        m_proxy->setBatchInterval(-5);
        QCOMPARE(m_proxy->batchInterval(), 0);
        m_proxy->setBatchInterval(300);
        QCOMPARE(m_proxy->batchInterval(), 300);
        appendSpaced(1, 0);
        QCoreApplication::processEvents();
        QCOMPARE(m_proxy->rowCount(), 4);
        QTRY_COMPARE(m_proxy->rowCount(), 5);
    }

    // The name's sort key, kept across sorts by other columns, still follows the name.
    void nameKeyAcrossSorts()
    {
        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        m_proxy->sortByColumn(Table::ColIP, Sort::Ascend);
        m_devices.at(1)->setName(QStringLiteral("阿"));
        QCoreApplication::processEvents();
        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        QCOMPARE(rows(), QStringLiteral("bdca"));
        // A name read again on the source's word alone, without the record's signal.
        m_devices.at(2)->blockSignals(true);
        m_devices.at(2)->setName(QStringLiteral("中心"));
        m_devices.at(2)->blockSignals(false);
        Q_EMIT m_table->dataChanged(m_table->index(2, 0), m_table->index(2, 20));
        QCoreApplication::processEvents();
        m_proxy->sortByColumn(Table::ColIP, Sort::Ascend);
        m_proxy->sortByColumn(Table::ColName, Sort::Ascend);
        QCOMPARE(rows(), QStringLiteral("bdac"));
    }

    // A change of the sorted property moves its row where a fresh sort puts it.
    void followsSortedProperty_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<Edit>("edit");
        const auto row
            = [](const char *name, int section, Edit edit) { QTest::newRow(name) << section << edit; };
        row("checked", Table::ColCheckbox, [](DeviceData &d) { d.setChecked(true); });
        row("name", Table::ColName, [](DeviceData &d) { d.setName(QStringLiteral("阿")); });
        row("kind", Table::ColType, [](DeviceData &d) { d.setNodeTypeVal(NodeEncoder); });
        row("sub-kind", Table::ColSubType, [](DeviceData &d) { d.setSubNodeTypeVal(SubNodeSeat); });
        row("complete kind", Table::ColCompleteType, [](DeviceData &d) { d.setNodeTypeVal(NodeDecoder); });
        row("model", Table::ColModel, [](DeviceData &d) { d.setDevModel("M"); });
        row("status", Table::ColDevStatus, [](DeviceData &d) { d.setDevStatus(DeviceData::Online); });
        row("status text", Table::ColDevStatusStr, [](DeviceData &d) { d.setDevStatus(DeviceData::Online); });
        row("malfunction", Table::ColMalfunction, [](DeviceData &d) { d.setMalfunctionVal(1); });
        row("ip state", Table::ColIpState, [](DeviceData &d) { d.setIpState(DeviceData::StateConflict); });
        row("run mode", Table::ColRunMode, [](DeviceData &d) { d.setRunModeVal(RunModeNormal); });
        row("firmware", Table::ColFirmwareVer, [](DeviceData &d) { d.setFirmwareVer("V1"); });
        row("time", Table::ColDevTime, [](DeviceData &d) { d.setDevTime("2026"); });
        row("roll call", Table::ColCallRollState, [](DeviceData &d) { d.setCallRollState(1); });
        row("serial number", Table::ColSN, [](DeviceData &d) { d.setSerialNumber("ZZ"); });
        row("mac", Table::ColMAC, ports({ "FF:00:00:00:00:01", "9.1.1.1", "255.0.0.0" }));
        row("ip", Table::ColIP, ports({ "", "200.0.0.1", "255.0.0.0" }));
        row("ip2", Table::ColIP2, ports({ "", "9.1.1.1", "255.0.0.0" }, { "", "1.1.1.1" }));
        row("mask", Table::ColSubnetMask, ports({ "", "9.1.1.1", "255.255.255.255" }));
        row("gateway", Table::ColGateway, ports({ "", "9.1.1.1", "255.0.0.0", "1.1.1.1" }));
    }

    void followsSortedProperty()
    {
        QFETCH(int, section);
        QFETCH(Edit, edit);

        m_proxy->sortByColumn(section, Sort::Ascend);
        const QString before = rows();
        edit(*m_devices.at(1));
        QVERIFY(m_proxy->isRefreshPending());
        QCoreApplication::processEvents();
        DeviceSortFilterProxyModel fresh;
        fresh.setSourceModel(m_table.get());
        fresh.sortByColumn(section, Sort::Ascend);
        QCOMPARE(rows(), rows(&fresh));
        QVERIFY(rows() != before);
    }

    // The search reads name, serial number, both ports' addresses and both MACs (also
    // as bare digits), nothing else; a change to what it reads counts on the next turn.
    void followsSearchedFields_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("shown");
        const QString text = QStringLiteral("Zq7");
        const auto row = [](const char *name, const QString &search, Edit edit, bool shown) {
            QTest::newRow(name) << search << edit << shown;
        };
        row(
            "name", text, [](DeviceData &d) { d.setName("zQ7"); }, true);
        row(
            "serial number", text, [](DeviceData &d) { d.setSerialNumber("x zq7"); }, true);
        row("mac", text, ports({ "zq7" }), true);
        row("ip", text, ports({ "", "zq7" }), true);
        row("mac2", text, ports({ "" }, { "zq7" }), true);
        row("ip2", text, ports({ "" }, { "", "zq7" }), true);
        row("mac2 as digits", "09-0b-0c-0d", ports({ "" }, { "09:0B:0C:0D:00:01" }), true);
        row("mac as digits", "0a-0b-0c-0d", ports({ "0A:0B:0C:0D:00:01" }), true);
        row("not across two MACs", "03-44", ports({ "00:00:00:00:00:03" }, { "44:55:66:77:88:99" }), false);
        row("mask", text, ports({ "", "", "zq7" }), false);
        row("gateway", text, ports({ "", "", "", "zq7" }), false);
        row(
            "model", text, [](DeviceData &d) { d.setDevModel("zq7"); }, false);
        row(
            "firmware", text, [](DeviceData &d) { d.setFirmwareVer("zq7"); }, false);
    }

    void followsSearchedFields()
    {
        QFETCH(QString, search);
        QFETCH(Edit, edit);
        QFETCH(bool, shown);

        m_proxy->setSearchText(search);
        QCOMPARE(rows(), QString());
        edit(*m_devices.at(1));
        QCoreApplication::processEvents();
        QCOMPARE(rows(), shown ? QStringLiteral("b") : QString());
    }

private:
    // Appends online devices at 11.0.0.first, first + 2, ...
    void appendSpaced(int count, int first)
    {
        for (int i = 0; i < count; ++i) {
            m_devices << makeDevice(QStringLiteral("节点%1").arg(first + 2 * i, 2, 10, QLatin1Char('0')),
                QStringLiteral("11.0.0.%1").arg(first + 2 * i), DeviceData::Online);
            m_table->appendDevice(m_devices.last());
        }
    }
};

QTEST_GUILESS_MAIN(tst_DeviceSortFilterProxyModel)
#include "tst_devicesortfilterproxymodel.moc"
