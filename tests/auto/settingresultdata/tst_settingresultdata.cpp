// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/settingresultdata.h>

#include <QtTest>

#include <climits>
#include <functional>

class tst_SettingResultData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void failDetail_data();
    void failDetail();
    void setters_data();
    void setters();
    void setDetailVal_data();
    void setDetailVal();
    void copy();
    void assign();
    void toString_data();
    void toString();
};

using Setter = void (SettingResultData::*)(const QString &);
Q_DECLARE_METATYPE(Setter)

// Each change signal logs its name and the value a slot reads at that moment.
static void logChanges(SettingResultData *record, QStringList *log)
{
    QObject::connect(record, &SettingResultData::detailChanged, record,
        [=] { log->append(QLatin1String("detailChanged:") + record->detail()); });
    QObject::connect(record, &SettingResultData::macChanged, record,
        [=] { log->append(QLatin1String("macChanged:") + record->mac()); });
    QObject::connect(record, &SettingResultData::ipChanged, record,
        [=] { log->append(QLatin1String("ipChanged:") + record->ip()); });
}

void tst_SettingResultData::metaObject()
{
    const QMetaObject &mo = SettingResultData::staticMetaObject;
    QCOMPARE(mo.className(), "SettingResultData");
    QCOMPARE(mo.superClass(), &QObject::staticMetaObject);
    QCOMPARE(mo.enumeratorCount() - mo.enumeratorOffset(), 0);

    QStringList properties;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        properties << QString::fromLatin1("%1 %2 %3 %4 %5")
                          .arg(p.typeName(), p.name())
                          .arg(p.isReadable())
                          .arg(p.isWritable())
                          .arg(p.notifySignal().methodSignature().constData());
    }
    QCOMPARE(properties,
        QStringList({ "QString detail 1 1 detailChanged()", "QString mac 1 1 macChanged()",
            "QString ip 1 1 ipChanged()" }));

    QStringList methods;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        methods << QString::number(m.methodType()) + QLatin1Char(' ')
                + QString::fromLatin1(m.methodSignature());
    }
    QCOMPARE(methods, QStringList({ "1 detailChanged()", "1 macChanged()", "1 ipChanged()" }));
}

void tst_SettingResultData::failDetail_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");

    QTest::addRow("success") << 0 << QString();
    QTest::addRow("not ready") << 1 << QStringLiteral("设备未初始化完成");
    QTest::addRow("same as node") << 2 << QStringLiteral("设备ip不能和主或备节点ip相同");
    QTest::addRow("node locked") << 3 << QStringLiteral("不能修改主或备节点ip");
    QTest::addRow("port check") << 4 << QStringLiteral("网口参数校验失败");
    QTest::addRow("format") << 5 << QStringLiteral("网络配置格式错误");
    QTest::addRow("same segment") << 6 << QStringLiteral("网口ip网段不能相同");
    QTest::addRow("timeout") << 999 << QStringLiteral("网络超时");
    QTest::addRow("7") << 7 << QString();
    QTest::addRow("-1") << -1 << QString();
    QTest::addRow("1000") << 1000 << QString();
    QTest::addRow("INT_MIN") << INT_MIN << QString();
    QTest::addRow("INT_MAX") << INT_MAX << QString();
}

void tst_SettingResultData::failDetail()
{
    QFETCH(int, result);
    QFETCH(QString, text);

    QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
    // An unknown value must not grow the table: the next lookup is as empty.
    QCOMPARE(SettingResultData::failDetail(static_cast<IpSettingResult>(result)), text);
}

void tst_SettingResultData::setters_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("log");

    QTest::addRow("detail: null to empty is no change")
        << &SettingResultData::setDetail << QStringList({ "" }) << QStringList();
    QTest::addRow("detail: repeated text signals once")
        << &SettingResultData::setDetail << QStringList({ "D", "D" }) << QStringList({ "detailChanged:D" });
    QTest::addRow("mac: change and back to empty")
        << &SettingResultData::setMac << QStringList({ "M", "N", "" })
        << QStringList({ "macChanged:M", "macChanged:N", "macChanged:" });
    QTest::addRow("ip: case counts") << &SettingResultData::setIp << QStringList({ "a", "A", "A" })
                                     << QStringList({ "ipChanged:a", "ipChanged:A" });
}

void tst_SettingResultData::setters()
{
    QFETCH(Setter, setter);
    QFETCH(QStringList, values);
    QFETCH(QStringList, log);

    SettingResultData record;
    QStringList seen;
    logChanges(&record, &seen);
    for (const QString &value : values) {
        (record.*setter)(value);
    }
    QCOMPARE(seen, log);
}

void tst_SettingResultData::setDetailVal_data()
{
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QStringList>("log");

    QTest::addRow("success on a new record") << QList<int>({ 0 }) << QStringList();
    QTest::addRow("failure twice") << QList<int>({ 1, 1 })
                                   << QStringList({ "detailChanged:设备未初始化完成" });
    QTest::addRow("failure then success")
        << QList<int>({ 1, 0 }) << QStringList({ "detailChanged:设备未初始化完成", "detailChanged:" });
    QTest::addRow("unknown clears") << QList<int>({ 999, 7 })
                                    << QStringList({ "detailChanged:网络超时", "detailChanged:" });
    QTest::addRow("unknown on a new record") << QList<int>({ -1, INT_MAX }) << QStringList();
}

void tst_SettingResultData::setDetailVal()
{
    QFETCH(QList<int>, results);
    QFETCH(QStringList, log);

    SettingResultData record;
    QStringList seen;
    logChanges(&record, &seen);
    for (const int result : results) {
        record.setDetailVal(static_cast<IpSettingResult>(result));
    }
    QCOMPARE(seen, log);
}

void tst_SettingResultData::copy()
{
    QObject parent;
    SettingResultData source(&parent);
    source.setObjectName(QStringLiteral("source"));
    source.setProperty("extra", 1);
    source.setDetail(QStringLiteral("D"));
    source.setMac(QStringLiteral("M"));
    source.setIp(QStringLiteral("I"));
    QStringList sourceLog;
    logChanges(&source, &sourceLog);

    SettingResultData copy(source);
    QCOMPARE(copy.parent(), nullptr);
    QVERIFY(copy.objectName().isEmpty());
    QVERIFY(!copy.property("extra").isValid());
    QCOMPARE(copy.toString(), QStringLiteral("detail:D mac:M ip:I"));

    // The copy holds its own texts, and the source's connections stay with the source.
    copy.setMac(QStringLiteral("X"));
    QCOMPARE(source.mac(), QStringLiteral("M"));
    QVERIFY(sourceLog.isEmpty());
}

void tst_SettingResultData::assign()
{
    QObject parent;
    SettingResultData target(&parent);
    target.setObjectName(QStringLiteral("target"));
    target.setDetail(QStringLiteral("old"));
    SettingResultData source;
    source.setMac(QStringLiteral("M"));
    source.setIp(QStringLiteral("I"));
    QStringList log;
    logChanges(&target, &log);

    SettingResultData &result = (target = source);
    QCOMPARE(&result, &target);
    QCOMPARE(target.toString(), QStringLiteral("detail: mac:M ip:I"));
    QCOMPARE(target.parent(), &parent);
    QCOMPARE(target.objectName(), QStringLiteral("target"));
    QVERIFY(log.isEmpty());

    SettingResultData &self = target;
    target = self;
    QCOMPARE(target.toString(), QStringLiteral("detail: mac:M ip:I"));
    QVERIFY(log.isEmpty());
}

void tst_SettingResultData::toString_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("line");

    QTest::addRow("new record") << QStringList({ "", "", "" }) << QStringLiteral("detail: mac: ip:");
    QTest::addRow("all set") << QStringList({ "网络超时", "00:11:22:33:44:55", "192.168.1.2" })
                             << QStringLiteral("detail:网络超时 mac:00:11:22:33:44:55 ip:192.168.1.2");
    QTest::addRow("only ip") << QStringList({ "", "", "10.0.0.1" })
                             << QStringLiteral("detail: mac: ip:10.0.0.1");
    QTest::addRow("values with blanks and quotes")
        << QStringList({ " a ", "\"m\"", "i" }) << QStringLiteral("detail: a  mac:\"m\" ip:i");
}

void tst_SettingResultData::toString()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, line);

    SettingResultData record;
    record.setDetail(texts.at(0));
    record.setMac(texts.at(1));
    record.setIp(texts.at(2));
    QCOMPARE(record.toString(), line);
}

QTEST_GUILESS_MAIN(tst_SettingResultData)
#include "tst_settingresultdata.moc"
