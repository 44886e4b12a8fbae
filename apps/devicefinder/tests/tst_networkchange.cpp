// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkchange.h"

#include <QtTest>

class tst_NetworkChange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts();
    void fromTexts_data();
    void fromTexts();
    void parseAddress_data();
    void parseAddress();
    void checkPortSettings_data();
    void checkPortSettings();
};

void tst_NetworkChange::texts()
{
    NetworkChange change;
    change.macs = QStringList { QStringLiteral("00:1E:C0:00:00:01"), QStringLiteral("00:1E:C0:00:01:02") };
    change.port1
        = { QStringLiteral("192.168.1.10"), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.1.1") };
    change.requestId = 7;

    QCOMPARE(change.macsText(), QStringLiteral("00:1E:C0:00:00:01,00:1E:C0:00:01:02"));
    QCOMPARE(NetworkChange::portText(change.port1), QStringLiteral("192.168.1.10;255.255.255.0;192.168.1.1"));
    QCOMPARE(NetworkChange::portText(change.port2), QString());
    QCOMPARE(change.requestText(), QStringLiteral("7"));

    NetworkChange back;
    QVERIFY(NetworkChange::fromTexts(change.macsText(), NetworkChange::portText(change.port1),
        NetworkChange::portText(change.port2), change.requestText(), &back));
    QCOMPARE(back.macs, change.macs);
    QVERIFY(back.port1 == change.port1);
    QVERIFY(back.port2.isEmpty());
    QCOMPARE(back.requestId, 7);
}

void tst_NetworkChange::fromTexts_data()
{
    QTest::addColumn<QString>("macs");
    QTest::addColumn<QString>("port1");
    QTest::addColumn<QString>("port2");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("ok");

    const QString mac = QStringLiteral("00:1E:C0:00:00:01");
    const QString port = QStringLiteral("10.0.0.2;255.0.0.0;10.0.0.1");
    QTest::addRow("first port only") << mac << port << QString() << QStringLiteral("1") << true;
    QTest::addRow("both ports") << mac << port << QStringLiteral("10.1.0.2;255.255.0.0;10.1.0.1")
                                << QStringLiteral("2") << true;
    QTest::addRow("no devices") << QString() << port << QString() << QStringLiteral("1") << false;
    QTest::addRow("no first port") << mac << QString() << QString() << QStringLiteral("1") << false;
    QTest::addRow("two fields") << mac << QStringLiteral("10.0.0.2;255.0.0.0") << QString()
                                << QStringLiteral("1") << false;
    QTest::addRow("bad address") << mac << QStringLiteral("10.0.0.256;255.0.0.0;10.0.0.1") << QString()
                                 << QStringLiteral("1") << false;
    QTest::addRow("bad second port") << mac << port << QStringLiteral("x;y;z") << QStringLiteral("1")
                                     << false;
    QTest::addRow("request not a number") << mac << port << QString() << QStringLiteral("one") << false;
}

void tst_NetworkChange::fromTexts()
{
    QFETCH(QString, macs);
    QFETCH(QString, port1);
    QFETCH(QString, port2);
    QFETCH(QString, request);
    QFETCH(bool, ok);

    NetworkChange change;
    change.requestId = -5;
    QCOMPARE(NetworkChange::fromTexts(macs, port1, port2, request, &change), ok);
    // A refused text leaves the target untouched.
    QCOMPARE(change.requestId, ok ? request.toInt() : -5);
}

void tst_NetworkChange::parseAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");

    QTest::addRow("plain") << QStringLiteral("192.168.0.1") << true << 0xC0A80001u;
    QTest::addRow("zero") << QStringLiteral("0.0.0.0") << true << 0u;
    QTest::addRow("all ones") << QStringLiteral("255.255.255.255") << true << 0xFFFFFFFFu;
    QTest::addRow("leading zero") << QStringLiteral("010.0.0.1") << true << 0x0A000001u;
    QTest::addRow("three parts") << QStringLiteral("1.2.3") << false << 0u;
    QTest::addRow("empty part") << QStringLiteral("1..2.3") << false << 0u;
    QTest::addRow("part above 255") << QStringLiteral("1.2.3.256") << false << 0u;
    QTest::addRow("sign") << QStringLiteral("1.2.3.+4") << false << 0u;
    QTest::addRow("negative") << QStringLiteral("1.2.3.-1") << false << 0u;
    QTest::addRow("empty") << QString() << false << 0u;
}

void tst_NetworkChange::parseAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(quint32, value);

    quint32 result = 12345;
    QCOMPARE(::parseAddress(text, &result), ok);
    QCOMPARE(result, ok ? value : 12345u);
    if (ok) {
        QCOMPARE(::parseAddress(formatAddress(value), &result), true);
        QCOMPARE(result, value);
    }
}

void tst_NetworkChange::checkPortSettings_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    const QString mask24 = QStringLiteral("255.255.255.0");
    const QString gateway = QStringLiteral("192.168.1.1");
    const QString hostZero = QStringLiteral("IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设"
                                            "为0.请输入一个有效的IP地址和子网掩码组合");
    const QString hostOne = QStringLiteral("IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设"
                                           "为1.请输入一个有效的IP地址和子网掩码组合");

    QTest::addRow("fine") << QStringLiteral("192.168.1.10") << mask24 << gateway << 1 << QString();
    QTest::addRow("fine range") << QStringLiteral("192.168.1.10") << mask24 << gateway << 244 << QString();
    QTest::addRow("bad address") << QStringLiteral("192.168.1.") << mask24 << gateway << 1
                                 << QStringLiteral("192.168.1.是无效的ip地址");
    QTest::addRow("bad gateway") << QStringLiteral("192.168.1.10") << mask24 << QString() << 1
                                 << QStringLiteral("是无效的ip地址");
    QTest::addRow("mask with a gap") << QStringLiteral("192.168.1.10") << QStringLiteral("255.255.0.255")
                                     << gateway << 1 << QStringLiteral("子网掩码必须是相邻的");
    QTest::addRow("empty mask") << QStringLiteral("192.168.1.10") << QStringLiteral("0.0.0.0") << gateway << 1
                                << QStringLiteral("子网掩码必须是相邻的");
    QTest::addRow("first byte 127") << QStringLiteral("127.0.0.2") << QStringLiteral("255.0.0.0") << gateway
                                    << 1 << QStringLiteral("首字节不能用127");
    QTest::addRow("host bits 0") << QStringLiteral("192.168.1.0") << mask24 << gateway << 1 << hostZero;
    QTest::addRow("host bits 0 in /16")
        << QStringLiteral("10.1.0.0") << QStringLiteral("255.255.0.0") << gateway << 1 << hostZero;
    // The last of several devices would take the broadcast address.
    QTest::addRow("range reaches broadcast")
        << QStringLiteral("192.168.1.250") << mask24 << gateway << 6 << hostOne;
    QTest::addRow("range ends before it")
        << QStringLiteral("192.168.1.250") << mask24 << gateway << 5 << QString();
    QTest::addRow("range leaves the classes")
        << QStringLiteral("223.255.255.254") << QStringLiteral("255.255.255.255") << gateway << 3
        << QStringLiteral("首字节只能用1~223之间的值");
    QTest::addRow("single host mask")
        << QStringLiteral("192.168.1.10") << QStringLiteral("255.255.255.255") << gateway << 1 << QString();
}

void tst_NetworkChange::checkPortSettings()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(int, count);
    QFETCH(QString, text);

    QCOMPARE(::checkPortSettings({ ip, mask, gateway }, count), text);
}

QTEST_GUILESS_MAIN(tst_NetworkChange)
#include "tst_networkchange.moc"
