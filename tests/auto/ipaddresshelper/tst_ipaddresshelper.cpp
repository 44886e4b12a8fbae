// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/ipaddresshelper.h>

#include "logcapture.h"

#include <QtTest>

class tst_IpAddressHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stringToInteger_data();
    void stringToInteger();
    void byteInteger_data();
    void byteInteger();
    void integerToString_data();
    void integerToString();
    void roundTrip();
    void warningContext_data();
    void warningContext();
};

static const char FileName[] = "src/libs/zvrviewmodel/ipaddresshelper.cpp";

void tst_IpAddressHelper::stringToInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("warning");

    const QString none;
    QTest::addRow("192.168.0.1") << QStringLiteral("192.168.0.1") << 0xC0A80001u << none;
    QTest::addRow("zero") << QStringLiteral("0.0.0.0") << 0u << none;
    QTest::addRow("broadcast") << QStringLiteral("255.255.255.255") << 0xFFFFFFFFu << none;
    QTest::addRow("empty part") << QStringLiteral("1..2.3") << 0x01000203u << none;
    QTest::addRow("trailing dot") << QStringLiteral("10.0.0.") << 0x0A000000u << none;
    QTest::addRow("letters") << QStringLiteral("a.b.c.d") << 0u << none;
    QTest::addRow("part above 255") << QStringLiteral("1.2.3.300") << 0x0102032Cu << none;
    QTest::addRow("first part above 255") << QStringLiteral("256.0.0.1") << 0x00000001u << none;
    QTest::addRow("negative part") << QStringLiteral("1.2.3.-1") << 0xFFFFFFFFu << none;
    QTest::addRow("negative middle part") << QStringLiteral("1.-1.0.0") << 0xFFFF0000u << none;
    QTest::addRow("beyond int") << QStringLiteral("1.2.3.99999999999") << 0x01020300u << none;
    const QString badText = QStringLiteral("IPV4StringToInteger  \"%1\"  is invalid ip address");
    QTest::addRow("three parts") << QStringLiteral("1.2.3") << 0xFFFFFFFFu << badText.arg("1.2.3");
    QTest::addRow("five parts") << QStringLiteral("1.2.3.4.5") << 0xFFFFFFFFu << badText.arg("1.2.3.4.5");
    QTest::addRow("empty") << QString() << 0xFFFFFFFFu << badText.arg("");
}

void tst_IpAddressHelper::stringToInteger()
{
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QFETCH(QString, warning);

    LogCapture cap;
    QCOMPARE(IPV4StringToInteger(text), value);
    if (warning.isEmpty()) {
        QVERIFY(cap.lines().isEmpty());
    } else {
        QCOMPARE(cap.lines().size(), 1);
        QCOMPARE(cap.lines().at(0).type, QtWarningMsg);
        QCOMPARE(cap.lines().at(0).text, warning);
    }
}

void tst_IpAddressHelper::byteInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("warning");

    const QString none;
    const QString badPos = QStringLiteral("getIPV4StringByteInteger ip  \"%1\" , pos is invalid");
    const QString badText = QStringLiteral("getIPV4StringByteInteger  \"%1\"  is invalid ip address");
    const QString address = QStringLiteral("10.20.30.40");
    QTest::addRow("first") << address << 0 << 10u << none;
    QTest::addRow("last") << address << 3 << 40u << none;
    QTest::addRow("negative part") << QStringLiteral("1.-1.0.0") << 1 << 0xFFFFFFFFu << none;
    QTest::addRow("part above 255") << QStringLiteral("1.2.3.300") << 3 << 300u << none;
    QTest::addRow("pos 4") << address << 4 << 0xFFFFFFFFu << badPos.arg(address);
    QTest::addRow("pos -1") << address << -1 << 0xFFFFFFFFu << badPos.arg(address);
    QTest::addRow("pos checked first") << QStringLiteral("1.2") << 7 << 0xFFFFFFFFu << badPos.arg("1.2");
    QTest::addRow("three parts") << QStringLiteral("10.20.30") << 1 << 0xFFFFFFFFu << badText.arg("10.20.30");
}

void tst_IpAddressHelper::byteInteger()
{
    QFETCH(QString, text);
    QFETCH(int, pos);
    QFETCH(quint32, value);
    QFETCH(QString, warning);

    LogCapture cap;
    QCOMPARE(getIPV4StringByteInteger(text, pos), value);
    if (warning.isEmpty()) {
        QVERIFY(cap.lines().isEmpty());
    } else {
        QCOMPARE(cap.lines().size(), 1);
        QCOMPARE(cap.lines().at(0).type, QtWarningMsg);
        QCOMPARE(cap.lines().at(0).text, warning);
    }
}

void tst_IpAddressHelper::integerToString_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");

    QTest::addRow("192.168.0.1") << 3232235521u << QStringLiteral("192.168.0.1");
    QTest::addRow("zero") << 0u << QStringLiteral("0.0.0.0");
    QTest::addRow("10.0.0.1") << 0x0A000001u << QStringLiteral("10.0.0.1");
    QTest::addRow("all bits") << 0xFFFFFFFFu << QStringLiteral("255.255.255.255");
}

void tst_IpAddressHelper::integerToString()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);

    LogCapture cap;
    QCOMPARE(IPV4IntegerToString(value), text);
    QVERIFY(cap.lines().isEmpty());
}

void tst_IpAddressHelper::roundTrip()
{
    const quint8 samples[] = { 0, 1, 9, 10, 99, 100, 127, 199, 200, 254, 255 };
    for (const quint8 a : samples) {
        for (const quint8 b : samples) {
            const QString text = QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(b).arg(a);
            QCOMPARE(IPV4IntegerToString(IPV4StringToInteger(text)), text);
        }
    }
}

void tst_IpAddressHelper::warningContext_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<QString>("function");

    QTest::addRow("to integer") << -2 << QStringLiteral("quint32 IPV4StringToInteger(const QString&)");
    QTest::addRow("bad pos") << 9 << QStringLiteral("quint32 getIPV4StringByteInteger(const QString&, int)");
    QTest::addRow("bad text") << 0 << QStringLiteral("quint32 getIPV4StringByteInteger(const QString&, int)");
}

// pos -2 stands for IPV4StringToInteger; the text is never a valid address.
void tst_IpAddressHelper::warningContext()
{
    QFETCH(int, pos);
    QFETCH(QString, function);

    LogCapture cap;
    const QString text = QStringLiteral("1.2");
    if (pos == -2) {
        IPV4StringToInteger(text);
    } else {
        getIPV4StringByteInteger(text, pos);
    }
    QCOMPARE(cap.lines().size(), 1);
    const CapturedMessage &line = cap.lines().at(0);
    QCOMPARE(line.category, QStringLiteral("default"));
    QCOMPARE(line.file, QLatin1String(FileName));
    QCOMPARE(line.function, function);
    QVERIFY(line.line > 0);
}

QTEST_GUILESS_MAIN(tst_IpAddressHelper)
#include "tst_ipaddresshelper.moc"
