// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <climits>

using RecordPtr = QSharedPointer<SettingResultData>;

// One record of a network setting's outcome, and the table of them.
// Each change signal logs its name and the value a slot reads at that moment.
static void logChanges(SettingResultData *r, QStringList *log)
{
    QObject::connect(r, &SettingResultData::detailChanged, r, [=] { log->append("detail:" + r->detail()); });
    QObject::connect(r, &SettingResultData::macChanged, r, [=] { log->append("mac:" + r->mac()); });
    QObject::connect(r, &SettingResultData::ipChanged, r, [=] { log->append("ip:" + r->ip()); });
}
static QList<RecordPtr> makeRecords(int count)
{
    QList<RecordPtr> records;
    for (int i = 0; i < count; ++i) {
        records.append(RecordPtr::create());
    }
    return records;
}

class tst_SettingResult : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failDetail_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        const QStringList texts = { QString(), "设备未初始化完成", "设备ip不能和主或备节点ip相同",
            "不能修改主或备节点ip", "网口参数校验失败", "网络配置格式错误", "网口ip网段不能相同" };
        for (int i = 0; i < texts.size(); ++i) {
            QTest::addRow("%d", i) << i << texts.at(i);
        }
        QTest::addRow("timeout") << 999 << QStringLiteral("网络超时");
        for (const int unknown : { 7, -1, 1000, INT_MIN, INT_MAX }) {
            QTest::addRow("unknown %d", unknown) << unknown << QString();
        }
    }

    void failDetail()
    {
        QFETCH(int, result);
        QFETCH(QString, text);
        // Twice: an unknown value must not grow the table.
        QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
        QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
    }

    void changes_data()
    {
        QTest::addColumn<QStringList>("ops"); // field=value, or result=N for setDetailVal
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("line");

        // Ops are written "op;op", logs "line|line".
        const auto row = [](const char *name, const QString &ops, const QString &log, const QString &line) {
            const auto split = [](const QString &text, char separator) {
                return text.isEmpty() ? QStringList() : text.split(QLatin1Char(separator));
            };
            QTest::newRow(name) << split(ops, ';') << split(log, '|') << line;
        };
        const QString fresh = "detail: mac: ip:";
        row("new record", "", "", fresh);
        row("null to empty is no change", "detail=", "", fresh);
        row("repeat signals once", "detail=D;detail=D", "detail:D", "detail:D mac: ip:");
        row("back to empty", "mac=M;mac=N;mac=", "mac:M|mac:N|mac:", fresh);
        row("case counts", "ip=a;ip=A;ip=A", "ip:a|ip:A", "detail: mac: ip:A");
        row("blanks and quotes", "detail= a ;mac=\"m\";ip=10.0.0.1", "detail: a |mac:\"m\"|ip:10.0.0.1",
            "detail: a  mac:\"m\" ip:10.0.0.1");
        row("success on new", "result=0", "", fresh);
        row("failure twice", "result=1;result=1", "detail:设备未初始化完成",
            "detail:设备未初始化完成 mac: ip:");
        row("failure then success", "result=1;result=0", "detail:设备未初始化完成|detail:", fresh);
        row("unknown clears", "result=999;result=7", "detail:网络超时|detail:", fresh);
        row("unknown on new", "result=-1;result=2147483647", "", fresh);
    }

    void changes()
    {
        QFETCH(QStringList, ops);

        SettingResultData record;
        QStringList seen;
        logChanges(&record, &seen);
        for (const QString &op : ops) {
            const QString field = op.section('=', 0, 0);
            const QString value = op.section('=', 1);
            if (field == "result") {
                record.setDetailVal(static_cast<IpSettingResult>(value.toInt()));
            } else {
                (record
                    .*(field == "detail"     ? &SettingResultData::setDetail
                            : field == "mac" ? &SettingResultData::setMac
                                             : &SettingResultData::setIp))(value);
            }
        }
        QTEST(seen, "log");
        QTEST(record.toString(), "line");
    }

    void copyAndAssign()
    {
        QObject parent;
        SettingResultData source(&parent);
        source.setObjectName("source");
        source.setProperty("extra", 1);
        source.setDetail("D");
        source.setMac("M");
        source.setIp("I");
        QStringList log;
        logChanges(&source, &log);

        // A copy takes the texts only: no parent, name, dynamic property or connection.
        SettingResultData copy(source);
        QCOMPARE(copy.parent(), nullptr);
        QVERIFY(copy.objectName().isEmpty());
        QVERIFY(!copy.property("extra").isValid());
        QCOMPARE(copy.toString(), QStringLiteral("detail:D mac:M ip:I"));
        copy.setMac("X");
        copy.setIp("Y");
        QCOMPARE(source.mac(), QStringLiteral("M"));

        // Assignment keeps the target's identity, copies silently, and survives self-assignment.
        copy.setDetail(QString());
        SettingResultData &result = (source = copy);
        QCOMPARE(&result, &source);
        QCOMPARE(source.toString(), QStringLiteral("detail: mac:X ip:Y"));
        QCOMPARE(source.parent(), &parent);
        QCOMPARE(source.objectName(), QStringLiteral("source"));
        SettingResultData &self = source;
        source = self;
        QCOMPARE(source.toString(), QStringLiteral("detail: mac:X ip:Y"));
        QVERIFY(log.isEmpty());
    }

    void columnRole_data()
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

    void columnRole()
    {
        QFETCH(int, section);
        QFETCH(QString, name);

        SettingResultTableModel model;
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 2);
        const QHash<int, QByteArray> roles = { { Qt::DisplayRole, "display" },
            { Qt::DecorationRole, "decoration" }, { Qt::EditRole, "edit" }, { Qt::ToolTipRole, "toolTip" },
            { Qt::StatusTipRole, "statusTip" }, { Qt::WhatsThisRole, "whatsThis" }, { 256, "detail" },
            { 257, "mac" }, { 258, "ip" } };
        QCOMPARE(model.roleNames(), roles);
        LogCapture cap;
        QString result = QStringLiteral("unset");
        QVERIFY(QMetaObject::invokeMethod(
            &model, "columnRole", Q_RETURN_ARG(QString, result), Q_ARG(int, section)));
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

    void counters_data()
    {
        QTest::addColumn<QByteArray>("property");
        for (const char *name : { "totalNum", "successNum", "failureNum", "ethernetPort" }) {
            QTest::addRow("%s", name) << QByteArray(name);
        }
    }

    void counters()
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

    void data_data()
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

    void data()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(int, record);

        QList<RecordPtr> records = makeRecords(2);
        records.append(RecordPtr());
        LogCapture cap;
        SettingResultTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.resetResultList(makeRecords(2));
        model.resetResultList(records);
        QCOMPARE(model.rowCount(), 3);
        const QModelIndex index = model.index(row, column);
        if (record == -2) {
            QVERIFY(index.isValid());
            model.resetResultList(makeRecords(1));
        }

        const QVariant value = model.data(index, role);
        QCOMPARE(value.value<SettingResultData *>(), record < 0 ? nullptr : records.at(record).data());
        QCOMPARE(value.isValid(), record >= 0);
        // Registered as a QObject subclass pointer, so the interface reads its properties.
        QCOMPARE(value.value<QObject *>(),
            record < 0 ? nullptr : static_cast<QObject *>(records.at(record).data()));
        model.resetResultList({});
        // Excused: the role-type check (every role answers with the record) and the two
        // tree checks that trip over counts which ignore their parent. Nothing else.
        QVERIFY(!testerComplaints(cap).isEmpty());
        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
        QCOMPARE(ownLines(cap).size(), 0);
    }

    void resetReleasesOnlyOwnRecords()
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
};

QTEST_GUILESS_MAIN(tst_SettingResult)
#include "tst_settingresult.moc"
