// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkchange.h"

#include <QtTest>

static QString str(const char *text)
{
    return QString::fromUtf8(text);
}

class tst_NetworkChange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromTexts_data();
    void fromTexts();
    void parseAddress_data();
    void parseAddress();
    void checkPortSettings_data();
    void checkPortSettings();
};

void tst_NetworkChange::fromTexts_data()
{
    QTest::addColumn<QString>("macs");
    QTest::addColumn<QString>("port1");
    QTest::addColumn<QString>("port2");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("ok");

    const QString mac = str("00:1E:C0:00:00:01");
    const QString port = str("10.0.0.2;255.0.0.0;10.0.0.1");
    QTest::addRow("two devices, first port")
        << str("00:1E:C0:00:00:01,00:1E:C0:00:01:02") << str("192.168.1.10;255.255.255.0;192.168.1.1")
        << QString() << str("7") << true;
    QTest::addRow("both ports") << mac << port << str("10.1.0.2;255.255.0.0;10.1.0.1") << str("2") << true;
    QTest::addRow("no devices") << QString() << port << QString() << str("1") << false;
    QTest::addRow("no first port") << mac << QString() << QString() << str("1") << false;
    QTest::addRow("two fields") << mac << str("10.0.0.2;255.0.0.0") << QString() << str("1") << false;
    QTest::addRow("bad address") << mac << str("10.0.0.256;255.0.0.0;10.0.0.1") << QString() << str("1")
                                 << false;
    QTest::addRow("bad second port") << mac << port << str("x;y;z") << str("1") << false;
    QTest::addRow("request not a number") << mac << port << QString() << str("one") << false;
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
    if (!ok) { // a refused text leaves the target untouched
        QCOMPARE(change.requestId, -5);
        QVERIFY(change.macs.isEmpty() && change.port1.isEmpty() && change.port2.isEmpty());
        return;
    }
    // The texts it makes are the texts it read.
    QCOMPARE(change.requestId, request.toInt());
    QCOMPARE(change.macsText(), macs);
    QCOMPARE(NetworkChange::portText(change.port1), port1);
    QCOMPARE(NetworkChange::portText(change.port2), port2);
    QCOMPARE(change.port2.isEmpty(), port2.isEmpty());
    QCOMPARE(change.requestText(), request);
}

void tst_NetworkChange::parseAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");

    QTest::addRow("plain") << str("192.168.0.1") << true << 0xC0A80001u;
    QTest::addRow("zero") << str("0.0.0.0") << true << 0u;
    QTest::addRow("all ones") << str("255.255.255.255") << true << 0xFFFFFFFFu;
    QTest::addRow("leading zero") << str("010.0.0.1") << true << 0x0A000001u;
    for (const char *bad : { "1.2.3", "1..2.3", "1.2.3.256", "1.2.3.+4", "1.2.3.-1", "" }) {
        QTest::addRow("%s", bad) << str(bad) << false << 0u;
    }
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
        QVERIFY(::parseAddress(formatAddress(value), &result));
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

    const QString mask24 = str("255.255.255.0");
    const QString gateway = str("192.168.1.1");
    const QString host = str("IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设为%1."
                             "请输入一个有效的IP地址和子网掩码组合");

    QTest::addRow("fine") << str("192.168.1.10") << mask24 << gateway << 1 << QString();
    QTest::addRow("fine range") << str("192.168.1.10") << mask24 << gateway << 244 << QString();
    QTest::addRow("bad address") << str("192.168.1.") << mask24 << gateway << 1
                                 << str("192.168.1.是无效的ip地址");
    QTest::addRow("bad gateway") << str("192.168.1.10") << mask24 << QString() << 1 << str("是无效的ip地址");
    QTest::addRow("mask with a gap") << str("192.168.1.10") << str("255.255.0.255") << gateway << 1
                                     << str("子网掩码必须是相邻的");
    QTest::addRow("empty mask") << str("192.168.1.10") << str("0.0.0.0") << gateway << 1
                                << str("子网掩码必须是相邻的");
    QTest::addRow("first byte 127") << str("127.0.0.2") << str("255.0.0.0") << gateway << 1
                                    << str("首字节不能用127");
    QTest::addRow("host bits 0") << str("192.168.1.0") << mask24 << gateway << 1 << host.arg(0);
    QTest::addRow("host bits 0 in /16")
        << str("10.1.0.0") << str("255.255.0.0") << gateway << 1 << host.arg(0);
    // The last of several devices would take the broadcast address.
    QTest::addRow("range reaches broadcast") << str("192.168.1.250") << mask24 << gateway << 6 << host.arg(1);
    QTest::addRow("range ends before it") << str("192.168.1.250") << mask24 << gateway << 5 << QString();
    QTest::addRow("range leaves the classes") << str("223.255.255.254") << str("255.255.255.255") << gateway
                                              << 3 << str("首字节只能用1~223之间的值");
    QTest::addRow("single host mask")
        << str("192.168.1.10") << str("255.255.255.255") << gateway << 1 << QString();
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
