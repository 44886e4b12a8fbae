// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "arrangedcolumnsmodel.h"
#include "csvexport.h"
#include "devicecolumns.h"
#include "simulatedfinder.h"
#include "logcapture.h"
#include "tableexport.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QAbstractItemModelTester>

#include <QClipboard>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Table = QList<QStringList>;
Q_DECLARE_METATYPE(Csv::Format)

static QString u(const char *text)
{
    return QString::fromUtf8(text);
}

static QStringList line(std::initializer_list<const char *> fields)
{
    QStringList list;
    for (const char *field : fields) {
        list.append(u(field));
    }
    return list;
}

class tst_TableExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void format_data()
    {
        QTest::addColumn<Table>("rows");
        QTest::addColumn<Csv::Format>("format");
        QTest::addColumn<QString>("text");
        const auto csv = Csv::Format::Csv;
        const auto tab = Csv::Format::TabSeparated;
        QTest::newRow("plain") << Table { line({ "a", "", "设备" }), line({ "1" }) } << csv
                               << u("a,,设备\r\n1\r\n");
        QTest::newRow("comma") << Table { line({ "a,b", "c" }) } << csv << u("\"a,b\",c\r\n");
        QTest::newRow("quote") << Table { line({ "say \"hi\"" }) } << csv << u("\"say \"\"hi\"\"\"\r\n");
        QTest::newRow("line feed") << Table { line({ "a\nb", "x" }) } << csv << u("\"a\nb\",x\r\n");
        QTest::newRow("carriage return") << Table { line({ "a\rb" }) } << csv << u("\"a\rb\"\r\n");
        QTest::newRow("blank and tab unquoted") << Table { line({ " a\tb " }) } << csv << u(" a\tb \r\n");
        QTest::newRow("tab separated")
            << Table { line({ "a,\"b\"", "c" }), line({ "d" }) } << tab << u("a,\"b\"\tc\nd\n");
        QTest::newRow("tab breaks flattened")
            << Table { line({ "a\tb", "c\r\nd\ne" }) } << tab << u("a b\tc d e\n");
    }
    void format()
    {
        QFETCH(Table, rows);
        QFETCH(Csv::Format, format);
        QFETCH(QString, text);
        QCOMPARE(Csv::join(rows, format), text);
        if (format == Csv::Format::Csv) {
            QCOMPARE(Csv::fileContents(rows), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        }
    }

    // The view's rows follow the proxy through every change of its rows or the columns:
    // each row gives the proxy's device, and the selected devices stay selected.
    void arrangedRows_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("checkedByCtrlA");
        QTest::newRow("sorted by name") << u("sort") << 25;
        QTest::newRow("searched") << u("search") << 6;
        QTest::newRow("faulty only") << u("filter") << 0;
        QTest::newRow("columns rearranged") << u("columns") << 25;
        QTest::newRow("offline removed") << u("remove") << 25;
    }
    void arrangedRows()
    {
        QFETCH(QString, step);
        SimulatedFinder simulated;
        DeviceFinder &finder = simulated.finder;
        finder.restart();
        finder.scan(1);
        DeviceSortFilterProxyModel *proxy = finder.sortModel();
        proxy->refresh();
        ArrangedColumnsModel rows;
        QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        rows.setSourceModel(proxy);
        const QStringList roles { u("checked"), u("name"), u("subnetMask2") };
        rows.setRoles(roles);
        // Rows 1 (online), 8 (faulty) and 15 (offline) selected, the last by Ctrl.
        rows.selectRow(1, Qt::NoModifier);
        rows.selectRow(8, Qt::ShiftModifier);
        rows.selectRow(8, Qt::ControlModifier);
        rows.selectRow(15, Qt::ControlModifier);
        QCOMPARE(rows.selectedCount(), 8);
        QSet<DeviceData *> selected;
        for (const QVariant &row : rows.selectedRows()) {
            selected << proxy->device(row.toInt());
        }
        if (step == QLatin1String("sort")) {
            proxy->sortByColumn(2, ZVRSortButton::Descend);
        } else if (step == QLatin1String("search")) {
            proxy->setSearchText(u("编码器"));
        } else if (step == QLatin1String("filter")) {
            proxy->setStatusFilter(DeviceData::Malfunction);
        } else if (step == QLatin1String("columns")) {
            rows.setRoles({ u("checked"), u("gateway2"), u("devIndex"), u("name") });
        } else {
            for (DeviceData *device : qAsConst(selected)) {
                if (device->devStatus() == DeviceData::Offline) {
                    selected.remove(device);
                    break;
                }
            }
            QCOMPARE(finder.removeOfflineDevices(), 3);
        }
        proxy->refresh();
        QCOMPARE(rows.rowCount(), proxy->rowCount());
        QCOMPARE(rows.columnCount(), step == QLatin1String("columns") ? 4 : 3);
        for (int row = 0; row < rows.rowCount(); ++row) {
            const QModelIndex last = rows.index(row, rows.columnCount() - 1);
            QCOMPARE(last.data(ArrangedColumnsModel::DeviceRole).value<QObject *>(), proxy->device(row));
            QCOMPARE(last.data(ArrangedColumnsModel::TableRowRole).toInt(), proxy->sourceRow(row));
            QCOMPARE(last.data(ArrangedColumnsModel::ColumnRoleRole).toString(), rows.roles().last());
            QCOMPARE(last.data(ArrangedColumnsModel::SelectedRole).toBool(), selected.contains(proxy->device(row)));
        }
        // Ctrl+A: the online rows shown, and nothing else.
        QTEST(rows.checkShown(), "checkedByCtrlA");
        for (int row = 0; row < rows.rowCount(); ++row) {
            QCOMPARE(proxy->device(row)->checked(), proxy->device(row)->online());
        }
    }

    // The list as shown: filtered, sorted, the shown columns in their order; the file is
    // replaced whole or not at all.
    void deviceList()
    {
        SimulatedFinder simulated;
        DeviceFinder &finder = simulated.finder;
        finder.restart();
        finder.scan(1);
        DeviceColumns columns;
        TableExport exporter(&finder, &columns);
        columns.setVisible(QStringLiteral("mac"), false);
        columns.move(QStringLiteral("devIndex"), -20);
        for (const QString &role : columns.order().mid(9)) {
            columns.setVisible(
                role, role == QLatin1String("ipState") || role == QLatin1String("callRollState"));
        }
        finder.sortModel()->setSearchText(QStringLiteral("编码器"));
        finder.sortModel()->sortByColumn(2, ZVRSortButton::Descend);
        const Table table = exporter.deviceTable();
        QCOMPARE(table.size(), finder.sortModel()->count() + 1);
        QCOMPARE(table.first(),
            line({ "勾选", "序号", "状态", "设备名称", "网口1 IP", "网口1 子网掩码", "网口1 网关地址", "序列号",
                "IP状态", "点名状态" }));
        QCOMPARE(table.at(1),
            line({ "否", "17", "在线", "指挥大厅编码器25", "192.168.1.44", "255.255.255.0", "192.168.1.1",
                "ZV24840359", "正常", "点名中" }));

        exporter.copyRows({ 2, 0, 2, 99 });
        QCOMPARE(QGuiApplication::clipboard()->text(),
            Csv::join({ table.at(0), table.at(1), table.at(3) }, Csv::Format::TabSeparated));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.csv"));
        QCOMPARE(exporter.exportDevices(path), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Csv::fileContents(table));
        const QString missing = dir.filePath(QStringLiteral("gone/list.csv"));
        QCOMPARE(exporter.exportDevices(missing),
            QStringLiteral("无法在“%1”创建文件：文件夹不存在，或没有写入权限。")
                .arg(QDir::toNativeSeparators(missing)));
        QVERIFY(!QFileInfo::exists(QFileInfo(missing).absolutePath()));

        // The results as the view shows them: every device, then the failures only.
        QSignalSpy ready(&finder, &DeviceFinder::resultsReady);
        QVERIFY(finder.changeAllOnline(
            QStringLiteral("172.16.0.2"), QStringLiteral("255.240.0.0"), QStringLiteral("172.16.0.1")));
        QVERIFY(ready.wait());
        const Table results = exporter.resultTable();
        QCOMPARE(results.size(), finder.editTarget().value(QStringLiteral("count")).toInt() + 1);
        QCOMPARE(results.first(), line({ "序号", "名称", "MAC地址", "原IP地址", "新IP地址", "修改结果", "详情" }));
        QCOMPARE(results.at(1),
            line({ "1", "指挥大厅编码器01", "00:1E:C0:00:00:09", "192.168.1.20", "172.16.0.2", "修改成功", "" }));
        finder.resultRowModel()->setFailuresOnly(true);
        const Table failures = exporter.resultTable();
        QCOMPARE(failures.size(), finder.resultRowModel()->failureCount() + 1);
        QVERIFY(failures.size() < results.size());
        QCOMPARE(failures.at(1).at(4), u("未更改"));
    }

    void columnSettings_data()
    {
        QTest::addColumn<QVariant>("saved");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("log");
        const QString defaults = DeviceColumns().serialized();
        const auto unreadable = [](const char *why) {
            return u("Saved column layout is unreadable (%1); showing the default columns").arg(u(why));
        };
        QTest::newRow("missing") << QVariant() << defaults
                                 << u("No saved column layout; showing the default columns");
        QTest::newRow("garbage") << QVariant(u("name;184")) << defaults
                                 << unreadable("unreadable entry \"name;184\"");
        QTest::newRow("unknown role")
            << QVariant(u("checked:64,owner:90")) << defaults << unreadable("unreadable entry \"owner:90\"");
        QTest::newRow("too narrow") << QVariant(u("name:39")) << defaults
                                    << unreadable("unreadable entry \"name:39\"");
        QTest::newRow("twice") << QVariant(u("name:90,-name:90")) << defaults
                               << unreadable("column \"name\" twice");
        // The check-box column stays first and shown; roles missing join at the end.
        QString older = defaults;
        older.remove(QStringLiteral(",gateway2:132"))
            .replace(QStringLiteral("checked:64,devStatus:72,name:210"),
                QStringLiteral("name:90,-devStatus:72,-checked:64"));
        QString read = defaults;
        read.replace(QStringLiteral("devStatus:72,name:210"), QStringLiteral("name:90,-devStatus:72"));
        QTest::newRow("older layout") << QVariant(older) << read << QString();
    }
    void columnSettings()
    {
        QFETCH(QVariant, saved);
        QFETCH(QString, layout);
        QFETCH(QString, log);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("columns.ini")), QSettings::IniFormat);
        if (saved.isValid()) {
            settings.setValue(DeviceColumns::settingsKey(), saved);
        }
        LogCapture capture;
        DeviceColumns columns(&settings);
        QCOMPARE(columns.serialized(), layout);
        QCOMPARE(capture.lines().size(), log.isEmpty() ? 0 : 1);
        if (!log.isEmpty()) {
            QCOMPARE(capture.lines().first().text, log);
        }
        // An unreadable value stays until the user changes a column; then the change is kept.
        QCOMPARE(settings.value(DeviceColumns::settingsKey()), saved);
        columns.previewWidth(QStringLiteral("ip"), 300);
        QCOMPARE(DeviceColumns(&settings).serialized(), layout);
        columns.setWidth(QStringLiteral("mac"), 2000);
        columns.move(QStringLiteral("ip"), -30);
        columns.setVisible(QStringLiteral("checked"), false);
        QCOMPARE(columns.visibleRoles().mid(0, 2), line({ "checked", "ip" }));
        QCOMPARE(columns.width(QStringLiteral("mac")), DeviceColumns::MaximumWidth);
        QCOMPARE(DeviceColumns(&settings).serialized(), columns.serialized());
        columns.restoreDefaults();
        QCOMPARE(DeviceColumns(&settings).serialized(), DeviceColumns().serialized());
    }
};

QTEST_MAIN(tst_TableExport)

#include "tst_tableexport.moc"
