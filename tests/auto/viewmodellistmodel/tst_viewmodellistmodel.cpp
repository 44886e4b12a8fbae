// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/viewmodellistmodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QStringListModel>
#include <QtTest>

#include <climits>

using ZVR::ViewModel::AbstractDeviceListModel;

// A device list of names that keeps the base's columnCount, roleNames and data, and records
// its reloads and two-row updates.
class NameDeviceList : public AbstractDeviceListModel
{
    Q_OBJECT

public:
    explicit NameDeviceList(bool interceptUpdates = false)
        : m_intercept(interceptUpdates)
    {
    }
    void createConnects() override { ZVR::ViewModelListModel::createConnects(); }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : names.size();
    }
    void reload() override
    {
        calls << "reload";
        AbstractDeviceListModel::reload();
    }
    using AbstractDeviceListModel::updateRowData;
    void updateRowData(const int &first, const int &last) override
    {
        calls << QString::fromLatin1("update %1 %2").arg(first).arg(last);
        if (!m_intercept) {
            AbstractDeviceListModel::updateRowData(first, last);
        }
    }
    void setNames(const QStringList &list, bool reset)
    {
        if (reset) {
            names = list;
            reload();
            return;
        }
        beginInsertRows(QModelIndex(), names.size(), names.size() + list.size() - 1);
        names += list;
        endInsertRows();
    }
    QStringList names;
    QStringList calls;

private:
    bool m_intercept;
};

class tst_ViewModelListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject()
    {
        // The interface reaches the subclass's overrides through the meta-object.
        NameDeviceList model;
        QStringList log;
        logModel(&model, &log);
        QVERIFY(QMetaObject::invokeMethod(&model, "reload"));
        QCOMPARE(model.calls, QStringList("reload"));
        QCOMPARE(log, QStringList({ "aboutToReset", "reset" }));
        int columns = -1;
        QVERIFY(QMetaObject::invokeMethod(&model, "columnCount", Q_RETURN_ARG(int, columns)));
        QCOMPARE(columns, 263);
        const QHash<int, QByteArray> names = { { 256, "type" }, { 257, "typeName" }, { 258, "name" },
            { 259, "ip" }, { 260, "isOnline" }, { 261, "isActived" }, { 262, "isVisible" } };
        QCOMPARE(model.roleNames(), names);

        // Whatever the index and role, the base has nothing to show.
        model.setNames({ "x" }, false);
        QStringListModel other({ "x" });
        for (const QModelIndex &index : { QModelIndex(), other.index(0, 0), model.index(0, 0) }) {
            for (const int role : { int(Qt::DisplayRole), int(AbstractDeviceListModel::NameRole), 263, -1 }) {
                QVERIFY(!model.data(index, role).isValid());
            }
        }
    }

    void updateRowData_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("log");

        const auto row = [](const char *name, int rows, int first, int last, const char *log) {
            QTest::newRow(name) << rows << first << last << QString::fromLatin1(log);
        };
        // Rows past the end are not checked: they make an invalid index.
        row("range", 5, 1, 3, "dataChanged 1,0 3,262 []");
        row("one row", 10, 4, 4, "dataChanged 4,0 4,262 []");
        row("last row", 10, 9, 9, "dataChanged 9,0 9,262 []");
        row("reversed", 5, 3, 1, "dataChanged 3,0 1,262 []");
        row("last past the end", 5, 3, 5, "dataChanged 3,0 invalid []");
        row("both past the end", 5, 9, 9, "dataChanged invalid invalid []");
        row("no rows", 0, 0, 0, "dataChanged invalid invalid []");
        row("INT_MAX", 5, INT_MAX, INT_MAX, "dataChanged invalid invalid []");
        row("negative first", 5, -1, 2, "");
        row("negative last", 5, 2, -1, "");
        row("INT_MIN", 5, INT_MIN, INT_MIN, "");
    }

    void updateRowData()
    {
        QFETCH(int, rows);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, log);

        NameDeviceList model;
        {
            QAbstractItemModelTester tester(&model);
            QStringList names;
            for (int i = 0; i < rows; ++i) {
                names << QString::number(i);
            }
            model.setNames(names.mid(0, 3), false);
            model.setNames(names, true);
        }
        QStringList seen;
        logModel(&model, &seen);
        model.updateRowData(first, last);
        QCOMPARE(seen.join(QLatin1Char('|')), log);
        if (first == last) { // the one-row form says exactly the same, through the virtual two-row form
            seen.clear();
            model.updateRowData(first);
            QCOMPARE(seen.join(QLatin1Char('|')), log);
            NameDeviceList intercepting(true);
            logModel(&intercepting, &seen);
            intercepting.updateRowData(first);
            QCOMPARE(intercepting.calls, QStringList(QString::fromLatin1("update %1 %1").arg(first)));
            QCOMPARE(seen.join(QLatin1Char('|')), log);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ViewModelListModel)
#include "tst_viewmodellistmodel.moc"
