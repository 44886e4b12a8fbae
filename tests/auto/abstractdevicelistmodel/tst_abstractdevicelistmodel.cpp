// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QStringListModel>
#include <QtTest>

#include <memory>

using ZVR::ViewModel::AbstractDeviceListModel;

// A device list of names that keeps the base's columnCount, roleNames and data.
class NameDeviceList : public AbstractDeviceListModel
{
    Q_OBJECT

public:
    void createConnects() override { }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : names.size();
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
};

class tst_AbstractDeviceListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void updateRowData_data();
    void updateRowData();
};

void tst_AbstractDeviceListModel::metaObject()
{
    NameDeviceList model;
    const QHash<int, QByteArray> names = { { 256, "type" }, { 257, "typeName" }, { 258, "name" },
        { 259, "ip" }, { 260, "isOnline" }, { 261, "isActived" }, { 262, "isVisible" } };
    QCOMPARE(model.roleNames(), names);
    int columns = -1;
    QVERIFY(QMetaObject::invokeMethod(&model, "columnCount", Q_RETURN_ARG(int, columns)));
    QCOMPARE(columns, 263);

    // Whatever the index and role, the base has nothing to show.
    model.setNames({ "x" }, false);
    QStringListModel other({ "x" });
    for (const QModelIndex &index : { QModelIndex(), other.index(0, 0), model.index(0, 0) }) {
        for (const int role : { int(Qt::DisplayRole), int(AbstractDeviceListModel::NameRole), 263, -1 }) {
            QVERIFY(!model.data(index, role).isValid());
        }
    }
}

void tst_AbstractDeviceListModel::updateRowData_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("log");
    QTest::addRow("row of ten") << 10 << 4 << "dataChanged 4,0 4,262 []";
    QTest::addRow("last row") << 10 << 9 << "dataChanged 9,0 9,262 []";
    QTest::addRow("past the end") << 10 << 10 << "dataChanged invalid invalid []";
    QTest::addRow("no rows") << 0 << 0 << "dataChanged invalid invalid []";
}

void tst_AbstractDeviceListModel::updateRowData()
{
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(QString, log);

    NameDeviceList model;
    auto tester = std::make_unique<QAbstractItemModelTester>(&model);
    QStringList names;
    for (int i = 0; i < rows; ++i) {
        names << QString::number(i);
    }
    model.setNames(names.mid(0, 3), false);
    model.setNames(names, true);
    QStringList seen;
    logModel(&model, &seen);
    if (row >= rows) {
        tester.reset(); // it rightly refuses the invalid range that is checked below
    }
    model.updateRowData(row);
    QCOMPARE(seen, QStringList(log));
    model.setNames({}, true);
}

QTEST_GUILESS_MAIN(tst_AbstractDeviceListModel)
#include "tst_abstractdevicelistmodel.moc"
