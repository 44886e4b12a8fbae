// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/viewmodellistmodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QStringListModel>
#include <QtTest>

#include <climits>
#include <memory>

using ZVR::ViewModel::AbstractDeviceListModel;

// A plain grid of 5 rows and 4 columns; records its reloads and two-row updates.
class GridModel : public ZVR::ViewModelListModel
{
    Q_OBJECT

public:
    explicit GridModel(bool interceptUpdates = false)
        : m_intercept(interceptUpdates)
    {
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 5;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex &, int) const override { return QVariant(); }
    void createConnects() override { }
    void reload() override
    {
        calls << "reload";
        ZVR::ViewModelListModel::reload();
    }
    using ZVR::ViewModelListModel::updateRowData;
    void updateRowData(const int &first, const int &last) override
    {
        calls << QString::fromLatin1("update %1 %2").arg(first).arg(last);
        if (!m_intercept) {
            ZVR::ViewModelListModel::updateRowData(first, last);
        }
    }
    QStringList calls;

private:
    bool m_intercept;
};

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

class tst_ViewModelListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void updateRowData_data();
    void updateRowData();
    void oneRowReachesOverride();
};

void tst_ViewModelListModel::metaObject()
{
    // The interface reaches the subclass's overrides through the meta-object.
    GridModel model;
    QStringList log;
    logModel(&model, &log);
    QVERIFY(QMetaObject::invokeMethod(&model, "reload"));
    QCOMPARE(model.calls, QStringList("reload"));
    QCOMPARE(log, QStringList({ "aboutToReset", "reset" }));
    int columns = -1;
    QVERIFY(QMetaObject::invokeMethod(&model, "columnCount", Q_RETURN_ARG(int, columns)));
    QCOMPARE(columns, 4);
    QVERIFY(QMetaObject::invokeMethod(
        &model, "columnCount", Q_RETURN_ARG(int, columns), Q_ARG(QModelIndex, model.index(0, 0))));
    QCOMPARE(columns, 0);

    NameDeviceList devices;
    const QHash<int, QByteArray> names = { { 256, "type" }, { 257, "typeName" }, { 258, "name" },
        { 259, "ip" }, { 260, "isOnline" }, { 261, "isActived" }, { 262, "isVisible" } };
    QCOMPARE(devices.roleNames(), names);
    QVERIFY(QMetaObject::invokeMethod(&devices, "columnCount", Q_RETURN_ARG(int, columns)));
    QCOMPARE(columns, 263);
    // Whatever the index and role, the device list's base has nothing to show.
    devices.setNames({ "x" }, false);
    QStringListModel other({ "x" });
    for (const QModelIndex &index : { QModelIndex(), other.index(0, 0), devices.index(0, 0) }) {
        for (const int role : { int(Qt::DisplayRole), int(AbstractDeviceListModel::NameRole), 263, -1 }) {
            QVERIFY(!devices.data(index, role).isValid());
        }
    }
}

void tst_ViewModelListModel::updateRowData_data()
{
    QTest::addColumn<int>("devices"); // -1: the grid; else a device list with that many rows
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("log");

    const auto row = [](const char *name, int devices, int first, int last, const char *log) {
        QTest::newRow(name) << devices << first << last << QString::fromLatin1(log);
    };
    row("range", -1, 1, 3, "dataChanged 1,0 3,3 []");
    row("one row", -1, 2, 2, "dataChanged 2,0 2,3 []");
    row("reversed", -1, 3, 1, "dataChanged 3,0 1,3 []");
    row("last past the end", -1, 3, 5, "dataChanged 3,0 invalid []");
    row("both past the end", -1, 9, 9, "dataChanged invalid invalid []");
    row("INT_MAX", -1, INT_MAX, INT_MAX, "dataChanged invalid invalid []");
    row("negative first", -1, -1, 2, "");
    row("negative last", -1, 2, -1, "");
    row("INT_MIN", -1, INT_MIN, INT_MIN, "");
    row("device row of ten", 10, 4, 4, "dataChanged 4,0 4,262 []");
    row("last device row", 10, 9, 9, "dataChanged 9,0 9,262 []");
    row("device row past the end", 10, 10, 10, "dataChanged invalid invalid []");
    row("no devices", 0, 0, 0, "dataChanged invalid invalid []");
}

void tst_ViewModelListModel::updateRowData()
{
    QFETCH(int, devices);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, log);

    std::unique_ptr<ZVR::ViewModelListModel> model = std::make_unique<GridModel>();
    if (devices >= 0) {
        auto list = std::make_unique<NameDeviceList>();
        QAbstractItemModelTester tester(list.get());
        QStringList names;
        for (int i = 0; i < devices; ++i) {
            names << QString::number(i);
        }
        list->setNames(names.mid(0, 3), false);
        list->setNames(names, true);
        model = std::move(list);
    }
    QStringList seen;
    logModel(model.get(), &seen);
    model->updateRowData(first, last);
    QCOMPARE(seen, log.isEmpty() ? QStringList() : QStringList(log));
    if (first == last) { // the one-row form says exactly the same
        seen.clear();
        model->updateRowData(first);
        QCOMPARE(seen, log.isEmpty() ? QStringList() : QStringList(log));
    }
}

void tst_ViewModelListModel::oneRowReachesOverride()
{
    GridModel model(true);
    QStringList log;
    logModel(&model, &log);
    model.updateRowData(2);
    model.updateRowData(-4);
    QCOMPARE(model.calls, QStringList({ "update 2 2", "update -4 -4" }));
    QVERIFY(log.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ViewModelListModel)
#include "tst_viewmodellistmodel.moc"
