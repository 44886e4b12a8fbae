// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/settingresultdata.h>

#include "modellog.h"

#include <QtTest>

#include <climits>

class tst_SettingResultData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failDetail_data();
    void failDetail();
    void changes_data();
    void changes();
    void copyAndAssign();
};

// Each change signal logs its name and the value a slot reads at that moment.
static void logChanges(SettingResultData *r, QStringList *log)
{
    QObject::connect(r, &SettingResultData::detailChanged, r, [=] { log->append("detail:" + r->detail()); });
    QObject::connect(r, &SettingResultData::macChanged, r, [=] { log->append("mac:" + r->mac()); });
    QObject::connect(r, &SettingResultData::ipChanged, r, [=] { log->append("ip:" + r->ip()); });
}

void tst_SettingResultData::failDetail_data()
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

void tst_SettingResultData::failDetail()
{
    QFETCH(int, result);
    QFETCH(QString, text);
    // Twice: an unknown value must not grow the table.
    QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
    QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
}

void tst_SettingResultData::changes_data()
{
    QTest::addColumn<QStringList>("ops"); // field=value, or result=N for setDetailVal
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("line");

    QTest::addRow("new record") << QStringList() << QStringList() << "detail: mac: ip:";
    QTest::addRow("null to empty is no change")
        << QStringList({ "detail=" }) << QStringList() << "detail: mac: ip:";
    QTest::addRow("repeat signals once")
        << QStringList({ "detail=D", "detail=D" }) << QStringList({ "detail:D" }) << "detail:D mac: ip:";
    QTest::addRow("back to empty") << QStringList({ "mac=M", "mac=N", "mac=" })
                                   << QStringList({ "mac:M", "mac:N", "mac:" }) << "detail: mac: ip:";
    QTest::addRow("case counts") << QStringList({ "ip=a", "ip=A", "ip=A" }) << QStringList({ "ip:a", "ip:A" })
                                 << "detail: mac: ip:A";
    QTest::addRow("blanks and quotes")
        << QStringList({ "detail= a ", "mac=\"m\"", "ip=10.0.0.1" })
        << QStringList({ "detail: a ", "mac:\"m\"", "ip:10.0.0.1" }) << "detail: a  mac:\"m\" ip:10.0.0.1";
    QTest::addRow("success on new") << QStringList({ "result=0" }) << QStringList() << "detail: mac: ip:";
    QTest::addRow("failure twice") << QStringList({ "result=1", "result=1" })
                                   << QStringList({ "detail:设备未初始化完成" })
                                   << "detail:设备未初始化完成 mac: ip:";
    QTest::addRow("failure then success")
        << QStringList({ "result=1", "result=0" }) << QStringList({ "detail:设备未初始化完成", "detail:" })
        << "detail: mac: ip:";
    QTest::addRow("unknown clears") << QStringList({ "result=999", "result=7" })
                                    << QStringList({ "detail:网络超时", "detail:" }) << "detail: mac: ip:";
    QTest::addRow("unknown on new") << QStringList({ "result=-1", "result=2147483647" }) << QStringList()
                                    << "detail: mac: ip:";
}

void tst_SettingResultData::changes()
{
    QFETCH(QStringList, ops);
    QFETCH(QStringList, log);
    QFETCH(QString, line);

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
    QCOMPARE(seen, log);
    QCOMPARE(record.toString(), line);
}

void tst_SettingResultData::copyAndAssign()
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
    QCOMPARE(source.mac(), QStringLiteral("M"));

    // Assignment keeps the target's identity, copies silently, and survives self-assignment.
    copy.setDetail(QString());
    SettingResultData &result = (source = copy);
    QCOMPARE(&result, &source);
    QCOMPARE(source.toString(), QStringLiteral("detail: mac:X ip:I"));
    QCOMPARE(source.parent(), &parent);
    QCOMPARE(source.objectName(), QStringLiteral("source"));
    SettingResultData &self = source;
    source = self;
    QCOMPARE(source.toString(), QStringLiteral("detail: mac:X ip:I"));
    QVERIFY(log.isEmpty());
}

QTEST_GUILESS_MAIN(tst_SettingResultData)
#include "tst_settingresultdata.moc"
