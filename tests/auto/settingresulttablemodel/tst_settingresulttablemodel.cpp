// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/settingresulttablemodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <algorithm>
#include <climits>

using RecordPtr = QSharedPointer<SettingResultData>;

class tst_SettingResultTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void columnRole_data();
    void columnRole();
    void counters_data();
    void counters();
    void data_data();
    void data();
    void resetReleasesOnlyOwnRecords();
    void modelTester();
};

static QList<RecordPtr> makeRecords(int count)
{
    QList<RecordPtr> records;
    for (int i = 0; i < count; ++i) {
        records.append(RecordPtr::create());
    }
    return records;
}

void tst_SettingResultTableModel::metaObject()
{
    SettingResultTableModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 2);
    const QHash<int, QByteArray> roles
        = { { Qt::DisplayRole, "display" }, { Qt::DecorationRole, "decoration" }, { Qt::EditRole, "edit" },
              { Qt::ToolTipRole, "toolTip" }, { Qt::StatusTipRole, "statusTip" },
              { Qt::WhatsThisRole, "whatsThis" }, { 256, "detail" }, { 257, "mac" }, { 258, "ip" } };
    QCOMPARE(model.roleNames(), roles);
}

void tst_SettingResultTableModel::columnRole_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("name");
    QTest::addRow("detail") << 0 << QStringLiteral("detail");
    QTest::addRow("mac") << 1 << QStringLiteral("mac");
    QTest::addRow("ip") << 2 << QStringLiteral("ip");
    for (const int bad : { 3, -1, INT_MIN, INT_MAX }) {
        QTest::addRow("%d", bad) << bad << QString();
    }
}

void tst_SettingResultTableModel::columnRole()
{
    QFETCH(int, section);
    QFETCH(QString, name);

    SettingResultTableModel model;
    LogCapture cap;
    QString result = QStringLiteral("unset");
    QVERIFY(
        QMetaObject::invokeMethod(&model, "columnRole", Q_RETURN_ARG(QString, result), Q_ARG(int, section)));
    QCOMPARE(result, name);
    QCOMPARE(result.isNull(), name.isNull());
    QCOMPARE(cap.lines().size(), 1);
    QCOMPARE(contextLine(cap.lines().at(0)),
        QString::fromLatin1("debug default src/libs/zvrviewmodel/settingresulttablemodel.cpp "
                            "QString SettingResultTableModel::columnRole(int) const | "
                            "SettingResultTableModel::columnRole  %1 \"%2\"")
            .arg(section)
            .arg(name));
}

void tst_SettingResultTableModel::counters_data()
{
    QTest::addColumn<QByteArray>("property");
    for (const char *name : { "totalNum", "successNum", "failureNum", "ethernetPort" }) {
        QTest::addRow("%s", name) << QByteArray(name);
    }
}

void tst_SettingResultTableModel::counters()
{
    QFETCH(QByteArray, property);

    SettingResultTableModel model;
    QStringList seen;
    // Every counter's signal is watched, so a setter that signals another counter fails.
    const auto watch = [&](void (SettingResultTableModel::*signal)(), const char *name) {
        connect(&model, signal, this,
            [&, name] { seen << QString(name) + ' ' + model.property(name).toString(); });
    };
    watch(&SettingResultTableModel::totalNumChanged, "totalNum");
    watch(&SettingResultTableModel::successNumChanged, "successNum");
    watch(&SettingResultTableModel::failureNumChanged, "failureNum");
    watch(&SettingResultTableModel::ethernetPortChanged, "ethernetPort");

    for (const int value : { 0, 5, 5, -3, INT_MIN }) {
        QVERIFY(model.setProperty(property.constData(), value));
    }
    const QString p = QString::fromLatin1(property);
    const QStringList log = { p + " 5", p + " -3", p + " -2147483648" };
    QCOMPARE(seen, log);

    // The counters stand alone and survive a reset of the rows.
    model.resetResultList(makeRecords(1));
    for (const char *other : { "totalNum", "successNum", "failureNum", "ethernetPort" }) {
        QCOMPARE(model.property(other).toInt(), property == other ? INT_MIN : 0);
    }
    QCOMPARE(seen, log);
}

void tst_SettingResultTableModel::data_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("record"); // -1: no value

    QTest::addRow("display") << 0 << 0 << int(Qt::DisplayRole) << 0;
    QTest::addRow("mac role") << 1 << 1 << 257 << 1;
    QTest::addRow("detail role in column 1") << 1 << 1 << 256 << 1;
    QTest::addRow("unknown role") << 1 << 0 << 1000 << 1;
    QTest::addRow("negative role") << 1 << 0 << -1 << 1;
    QTest::addRow("null entry") << 2 << 0 << 256 << -1;
    QTest::addRow("row past the end") << 3 << 0 << 256 << -1;
    QTest::addRow("negative row") << -1 << 0 << 256 << -1;
    QTest::addRow("INT_MAX row") << INT_MAX << 0 << 256 << -1;
    QTest::addRow("INT_MIN row") << INT_MIN << 0 << 256 << -1;
    QTest::addRow("column past columnCount") << 0 << 2 << 258 << -1;
    QTest::addRow("stale index past the end") << 1 << 1 << 257 << -2;
}

void tst_SettingResultTableModel::data()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(int, record);

    QList<RecordPtr> records = makeRecords(2);
    records.append(RecordPtr());
    SettingResultTableModel model;
    model.resetResultList(records);
    QCOMPARE(model.rowCount(), 3);
    const QModelIndex index = model.index(row, column);
    if (record == -2) {
        QVERIFY(index.isValid());
        model.resetResultList(makeRecords(1));
    }

    const QVariant value = model.data(index, role);
    if (record < 0) {
        QVERIFY(!value.isValid());
        return;
    }
    QCOMPARE(value.value<SettingResultData *>(), records.at(record).data());
    // Registered as a QObject subclass pointer, so the interface reads its properties.
    QCOMPARE(value.value<QObject *>(), static_cast<QObject *>(records.at(record).data()));
}

void tst_SettingResultTableModel::resetReleasesOnlyOwnRecords()
{
    auto *model = new SettingResultTableModel;
    QStringList log;
    logModel(model, &log);

    RecordPtr shared = RecordPtr::create();
    QWeakPointer<SettingResultData> sharedWatch = shared;
    QWeakPointer<SettingResultData> ownWatch;
    {
        RecordPtr own = RecordPtr::create();
        ownWatch = own;
        connect(own.data(), &QObject::destroyed, model, [&] { log << "own destroyed"; });
        model->resetResultList({ shared, own });
    }
    QCOMPARE(log, QStringList({ "aboutToReset", "reset" }));
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(ownWatch);

    // The record only the model held goes inside the reset; the shared one stays.
    log.clear();
    model->resetResultList({});
    QCOMPARE(log, QStringList({ "aboutToReset", "own destroyed", "reset" }));
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(!ownWatch);
    QVERIFY(sharedWatch);

    // Destroying the model releases its rows, and nothing more.
    model->resetResultList({ shared });
    shared.reset();
    QVERIFY(sharedWatch);
    delete model;
    QVERIFY(!sharedWatch);
}

void tst_SettingResultTableModel::modelTester()
{
    SettingResultTableModel model;
    LogCapture cap;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    model.resetResultList(makeRecords(2));
    QList<RecordPtr> withNull = makeRecords(2);
    withNull.insert(1, RecordPtr());
    model.resetResultList(withNull);
    model.resetResultList({});
    model.resetResultList(makeRecords(1));
    // Excused: the role-type check (every role answers with the record) and the two
    // tree checks that trip over counts which ignore their parent. Nothing else.
    QVERIFY(!testerComplaints(cap).isEmpty());
    QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
    QCOMPARE(ownLines(cap).size(), 0);
}

QTEST_GUILESS_MAIN(tst_SettingResultTableModel)
#include "tst_settingresulttablemodel.moc"
