// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/viewmodellistmodel.h>

#include "modellog.h"

#include <QtTest>

#include <climits>

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
    void createConnects() override { ZVR::ViewModelListModel::createConnects(); }
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
}

void tst_ViewModelListModel::updateRowData_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("log");

    QTest::addRow("range") << 1 << 3 << QStringList("dataChanged 1,0 3,3 []");
    QTest::addRow("one row") << 2 << 2 << QStringList("dataChanged 2,0 2,3 []");
    QTest::addRow("reversed") << 3 << 1 << QStringList("dataChanged 3,0 1,3 []");
    QTest::addRow("last past the end") << 3 << 5 << QStringList("dataChanged 3,0 invalid []");
    QTest::addRow("both past the end") << 9 << 9 << QStringList("dataChanged invalid invalid []");
    QTest::addRow("INT_MAX") << INT_MAX << INT_MAX << QStringList("dataChanged invalid invalid []");
    QTest::addRow("negative first") << -1 << 2 << QStringList();
    QTest::addRow("negative last") << 2 << -1 << QStringList();
    QTest::addRow("INT_MIN") << INT_MIN << INT_MIN << QStringList();
}

void tst_ViewModelListModel::updateRowData()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, log);

    GridModel model;
    QStringList seen;
    logModel(&model, &seen);
    model.updateRowData(first, last);
    QCOMPARE(seen, log);
    if (first == last) { // the one-row form says exactly the same
        seen.clear();
        model.updateRowData(first);
        QCOMPARE(seen, log);
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
