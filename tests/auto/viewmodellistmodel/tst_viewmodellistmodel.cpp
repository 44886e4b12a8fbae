// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/viewmodellistmodel.h>

#include <QtTest>

#include <climits>

// A plain grid of the given size; counts its reloads and two-row updates when asked to.
class GridModel : public ZVR::ViewModelListModel
{
    Q_OBJECT

public:
    GridModel(int rows, int columns, bool interceptUpdates = false)
        : m_rows(rows)
        , m_columns(columns)
        , m_interceptUpdates(interceptUpdates)
    {
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole && index.isValid() ? QVariant(index.row()) : QVariant();
    }
    void createConnects() override { ZVR::ViewModelListModel::createConnects(); }

    void reload() override
    {
        ++reloads;
        ZVR::ViewModelListModel::reload();
    }
    using ZVR::ViewModelListModel::updateRowData;
    void updateRowData(const int &first, const int &last) override
    {
        updates << qMakePair(first, last);
        if (!m_interceptUpdates) {
            ZVR::ViewModelListModel::updateRowData(first, last);
        }
    }

    int reloads = 0;
    QList<QPair<int, int>> updates;

private:
    int m_rows;
    int m_columns;
    bool m_interceptUpdates;
};

class tst_ViewModelListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void invokables();
    void reload();
    void updateRowData_data();
    void updateRowData();
    void oneRowReachesOverride();
};

static QString describe(const QModelIndex &index)
{
    return index.isValid() ? QString::fromLatin1("%1,%2").arg(index.row()).arg(index.column())
                           : QStringLiteral("invalid");
}

// Logs every notification a view could act on, in order.
static void logModel(QAbstractItemModel *model, QStringList *log)
{
    QObject::connect(
        model, &QAbstractItemModel::modelAboutToBeReset, model, [=] { log->append("aboutToReset"); });
    QObject::connect(model, &QAbstractItemModel::modelReset, model, [=] { log->append("reset"); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, model, [=] { log->append("rowsInserted"); });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, model, [=] { log->append("rowsRemoved"); });
    QObject::connect(model, &QAbstractItemModel::layoutChanged, model, [=] { log->append("layoutChanged"); });
    QObject::connect(
        model, &QAbstractItemModel::headerDataChanged, model, [=] { log->append("headerDataChanged"); });
    QObject::connect(model, &QAbstractItemModel::dataChanged, model,
        [=](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) {
            log->append(QString::fromLatin1("dataChanged %1 %2 roles %3")
                            .arg(describe(topLeft), describe(bottomRight))
                            .arg(roles.size()));
        });
}

void tst_ViewModelListModel::metaObject()
{
    const QMetaObject &mo = ZVR::ViewModelListModel::staticMetaObject;
    QCOMPARE(mo.className(), "ZVR::ViewModelListModel");
    QCOMPARE(mo.superClass(), &QAbstractListModel::staticMetaObject);
    QCOMPARE(mo.propertyCount() - mo.propertyOffset(), 0);
    QCOMPARE(mo.enumeratorCount() - mo.enumeratorOffset(), 0);

    QStringList methods;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        methods << QString::fromLatin1("%1 %2 %3 %4")
                       .arg(m.methodType())
                       .arg(m.access())
                       .arg(QString::fromLatin1(m.typeName()), QString::fromLatin1(m.methodSignature()));
    }
    QCOMPARE(methods,
        QStringList({ "0 2 void reload()", "0 2 int columnCount(QModelIndex)", "0 2 int columnCount()" }));
}

void tst_ViewModelListModel::invokables()
{
    GridModel model(5, 4);

    // The interface reaches the subclass's overrides through the meta-object.
    QVERIFY(QMetaObject::invokeMethod(&model, "reload"));
    QCOMPARE(model.reloads, 1);

    int columns = -1;
    QVERIFY(QMetaObject::invokeMethod(&model, "columnCount", Q_RETURN_ARG(int, columns)));
    QCOMPARE(columns, 4);
    columns = -1;
    QVERIFY(QMetaObject::invokeMethod(
        &model, "columnCount", Q_RETURN_ARG(int, columns), Q_ARG(QModelIndex, model.index(0, 0))));
    QCOMPARE(columns, 0);
}

void tst_ViewModelListModel::reload()
{
    GridModel model(5, 4);
    QStringList log;
    logModel(&model, &log);
    model.reload();
    QCOMPARE(log, QStringList({ "aboutToReset", "reset" }));
}

void tst_ViewModelListModel::updateRowData_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("log");

    // On a model of 5 rows and 4 columns.
    QTest::addRow("range") << 1 << 3 << QStringList({ "dataChanged 1,0 3,3 roles 0" });
    QTest::addRow("one row as a range") << 2 << 2 << QStringList({ "dataChanged 2,0 2,3 roles 0" });
    QTest::addRow("reversed") << 3 << 1 << QStringList({ "dataChanged 3,0 1,3 roles 0" });
    QTest::addRow("last past the end") << 3 << 5 << QStringList({ "dataChanged 3,0 invalid roles 0" });
    QTest::addRow("both past the end") << 9 << 9 << QStringList({ "dataChanged invalid invalid roles 0" });
    QTest::addRow("INT_MAX") << INT_MAX << INT_MAX << QStringList({ "dataChanged invalid invalid roles 0" });
    QTest::addRow("negative first") << -1 << 2 << QStringList();
    QTest::addRow("negative last") << 2 << -1 << QStringList();
    QTest::addRow("INT_MIN") << INT_MIN << INT_MIN << QStringList();
}

void tst_ViewModelListModel::updateRowData()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, log);

    GridModel model(5, 4);
    QStringList seen;
    logModel(&model, &seen);
    model.updateRowData(first, last);
    QCOMPARE(seen, log);

    // The one-row form says exactly what the range of that row says.
    if (first == last) {
        seen.clear();
        model.updateRowData(first);
        QCOMPARE(seen, log);
    }
}

void tst_ViewModelListModel::oneRowReachesOverride()
{
    GridModel model(5, 4, true);
    QStringList log;
    logModel(&model, &log);
    model.updateRowData(2);
    model.updateRowData(-4);
    QCOMPARE(model.updates, (QList<QPair<int, int>> { { 2, 2 }, { -4, -4 } }));
    QVERIFY(log.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ViewModelListModel)
#include "tst_viewmodellistmodel.moc"
