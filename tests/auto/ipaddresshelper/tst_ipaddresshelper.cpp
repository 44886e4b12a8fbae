// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/ipaddresshelper.h>

#include "logcapture.h"

#include <QtTest>

// Stands for IPV4StringToInteger in the pos column; any other pos calls getIPV4StringByteInteger.
static constexpr int WholeAddress = INT_MIN;

class tst_IpAddressHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toInteger_data();
    void toInteger();
    void integerToString_data();
    void integerToString();
};

void tst_IpAddressHelper::toInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("warning");

    const int W = WholeAddress;
    const QString none;
    const QString bad = QStringLiteral("IPV4StringToInteger  \"%1\"  is invalid ip address");
    const QString badPos = QStringLiteral("getIPV4StringByteInteger ip  \"%1\" , pos is invalid");
    const QString badByte = QStringLiteral("getIPV4StringByteInteger  \"%1\"  is invalid ip address");
    QTest::addRow("192.168.0.1") << "192.168.0.1" << W << 0xC0A80001u << none;
    QTest::addRow("empty part") << "1..2.3" << W << 0x01000203u << none;
    QTest::addRow("trailing dot") << "10.0.0." << W << 0x0A000000u << none;
    QTest::addRow("letters") << "a.b.c.d" << W << 0u << none;
    QTest::addRow("part above 255") << "1.2.3.300" << W << 0x0102032Cu << none;
    QTest::addRow("first part above 255") << "256.0.0.1" << W << 0x00000001u << none;
    QTest::addRow("negative part") << "1.2.3.-1" << W << 0xFFFFFFFFu << none;
    QTest::addRow("negative middle part") << "1.-1.0.0" << W << 0xFFFF0000u << none;
    QTest::addRow("beyond int") << "1.2.3.99999999999" << W << 0x01020300u << none;
    QTest::addRow("three parts") << "1.2.3" << W << 0xFFFFFFFFu << bad.arg("1.2.3");
    QTest::addRow("five parts") << "1.2.3.4.5" << W << 0xFFFFFFFFu << bad.arg("1.2.3.4.5");
    QTest::addRow("empty") << QString() << W << 0xFFFFFFFFu << bad.arg("");
    QTest::addRow("byte 0") << "10.20.30.40" << 0 << 10u << none;
    QTest::addRow("byte 3") << "10.20.30.40" << 3 << 40u << none;
    QTest::addRow("negative byte") << "1.-1.0.0" << 1 << 0xFFFFFFFFu << none;
    QTest::addRow("byte above 255") << "1.2.3.300" << 3 << 300u << none;
    QTest::addRow("pos 4") << "10.20.30.40" << 4 << 0xFFFFFFFFu << badPos.arg("10.20.30.40");
    QTest::addRow("pos -1") << "10.20.30.40" << -1 << 0xFFFFFFFFu << badPos.arg("10.20.30.40");
    QTest::addRow("pos checked first") << "1.2" << 7 << 0xFFFFFFFFu << badPos.arg("1.2");
    QTest::addRow("byte of three parts") << "1.2" << 0 << 0xFFFFFFFFu << badByte.arg("1.2");
}

// Value and the one warning line, with its level, category, file and function.
void tst_IpAddressHelper::toInteger()
{
    QFETCH(QString, text);
    QFETCH(int, pos);
    QFETCH(quint32, value);
    QFETCH(QString, warning);

    LogCapture cap;
    QCOMPARE(pos == WholeAddress ? IPV4StringToInteger(text) : getIPV4StringByteInteger(text, pos), value);
    if (warning.isEmpty()) {
        QCOMPARE(cap.lines().size(), 0);
        return;
    }
    QCOMPARE(cap.lines().size(), 1);
    const CapturedMessage &line = cap.lines().at(0);
    QCOMPARE(line.type, QtWarningMsg);
    QCOMPARE(line.text, warning);
    QCOMPARE(line.category, QStringLiteral("default"));
    QCOMPARE(line.file, QStringLiteral("src/libs/zvrviewmodel/ipaddresshelper.cpp"));
    QCOMPARE(line.function,
        pos == WholeAddress ? QStringLiteral("quint32 IPV4StringToInteger(const QString&)")
                            : QStringLiteral("quint32 getIPV4StringByteInteger(const QString&, int)"));
    QVERIFY(line.line > 0);
}

void tst_IpAddressHelper::integerToString_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");

    QTest::addRow("zero") << 0u << "0.0.0.0";
    QTest::addRow("10.0.0.1") << 0x0A000001u << "10.0.0.1";
    QTest::addRow("192.168.0.1") << 3232235521u << "192.168.0.1";
    QTest::addRow("mixed widths") << 0x096400FFu << "9.100.0.255";
    QTest::addRow("all bits") << 0xFFFFFFFFu << "255.255.255.255";
}

// Both ways, silently.
void tst_IpAddressHelper::integerToString()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);

    LogCapture cap;
    QCOMPARE(IPV4IntegerToString(value), text);
    QCOMPARE(IPV4StringToInteger(text), value);
    QCOMPARE(cap.lines().size(), 0);
}

QTEST_GUILESS_MAIN(tst_IpAddressHelper)
#include "tst_ipaddresshelper.moc"
