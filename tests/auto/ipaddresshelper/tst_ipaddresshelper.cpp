// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/ipaddresshelper.h>

#include "ipv4reference.h"
#include "modellog.h"

#include <QRegularExpression>
#include <QtTest>

#include <random>

// The pos column: IPV4StringToInteger, IPV4IntegerToString and back; any other pos calls
// getIPV4StringByteInteger.
static constexpr int WholeAddress = INT_MIN;
static constexpr int ToText = INT_MIN + 1;

namespace {

// Any UTF-16 literal, NUL characters and lone surrogates included.
template<size_t N> QString u16(const char16_t (&units)[N])
{
    return QString(reinterpret_cast<const QChar *>(units), int(N - 1));
}

// The value and the log lines, with their level and category.
QString outcome(quint32 (*convert)(const QString &), const QString &text)
{
    LogCapture cap;
    QString result = QString::number(convert(text));
    for (const CapturedMessage &line : cap.lines()) {
        result += QStringLiteral(" | %1 %2 %3").arg(line.type).arg(line.category, line.text);
    }
    return result;
}

// The strict form the address sort reads: four parts of one to three ASCII digits, each
// up to 255, nothing else.
bool strictReference(const QString &text, quint32 *value)
{
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})")));
    const QRegularExpressionMatch match = form.match(text);
    *value = 0;
    for (int part = 1; match.hasMatch() && part <= 4; ++part) {
        if (match.captured(part).toUInt() > 255) {
            return false;
        }
        *value = (*value << 8) | match.captured(part).toUInt();
    }
    return match.hasMatch();
}

} // namespace

class tst_IpAddressHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convert_data()
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
        // Odd parts of whole addresses are compared with the plain form below.
        QTest::addRow("192.168.0.1") << "192.168.0.1" << W << 0xC0A80001u << none;
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
        QTest::addRow("text zero") << "0.0.0.0" << ToText << 0u << none;
        QTest::addRow("text 10.0.0.1") << "10.0.0.1" << ToText << 0x0A000001u << none;
        QTest::addRow("text mixed widths") << "9.100.0.255" << ToText << 0x096400FFu << none;
        QTest::addRow("text all bits") << "255.255.255.255" << ToText << 0xFFFFFFFFu << none;
    }

    // Value and the one warning line, with its level, category, file and function.
    void convert()
    {
        QFETCH(QString, text);
        QFETCH(int, pos);
        QFETCH(quint32, value);
        QFETCH(QString, warning);

        LogCapture cap;
        if (pos == ToText) {
            QCOMPARE(IPV4IntegerToString(value), text);
        }
        QCOMPARE(pos <= ToText ? IPV4StringToInteger(text) : getIPV4StringByteInteger(text, pos), value);
        QCOMPARE(cap.lines().size(), warning.isEmpty() ? 0 : 1);
        if (warning.isEmpty()) {
            return;
        }
        QCOMPARE(contextLine(cap.lines().at(0)),
            QStringLiteral("warning default src/libs/zvrviewmodel/ipaddresshelper.cpp %1 | %2")
                .arg(pos == WholeAddress ? "quint32 IPV4StringToInteger(const QString&)"
                                         : "quint32 getIPV4StringByteInteger(const QString&, int)",
                    warning));
    }

    // The one-pass IPV4StringToInteger gives the value and the warning of the plain form for
    // every text, however odd; the strict parser takes exactly the strict form.
    void sameAsReference_data()
    {
        QTest::addColumn<QStringList>("texts");

        QTest::addRow("plain") << QStringList { "192.168.0.1", "0.0.0.0", "255.255.255.255", "1.2.3.4" };
        // Signs, blanks, zeros, overflows, other digits, letters, marks, NULs.
        const QStringList parts = { "10", "+1", "-1", "+", "-", "--1", "+-1", "-+1", "1-", "-0", "+0", "-255",
            u16(u"\u22125"), u16(u"\uff0b5"), u16(u"\uff0d5"), " 1", "1 ", " 1 ", "\t2", "2\n", "1 2", " ",
            "- 1", " -1 ", "\r\n3\v\f", u16(u"\u00a03"), u16(u"3\u3000"), u16(u"\u20284\u2029"),
            u16(u"\u00854"), u16(u"\u200b4"), "00", "007", "0255", "000000000001", "-007", "+0010",
            "0000000000000000000000000000000009", "256", "999999999", "1000000000", "2147483647",
            "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296", "9223372036854775808",
            "99999999999999999999999", u16(u"\u0661\u0662"), u16(u"\u0660"), u16(u"\u06f1\u06f2"),
            u16(u"\uff11\uff12"), u16(u"1\uff12"), u16(u"\u0966"), u16(u"\u00b2"), u16(u"\u2460"),
            u16(u"\xd835\xdfce"), u16(u"\u0131\u0132"), u16(u"\u2039"), "a", "1a", "0x10", "1e2", "1,0", "1%",
            "inf", u16(u"\xd800"), u16(u"1\xdc00"), u16(u"\0"), u16(u"1\0"), u16(u"\0001"), u16(u"1\0002") };
        QTest::addRow("empty parts and dot counts") << QStringList { QString(), "", "...", "1..2.3", ".1.2.3",
            "1.2..", "1", "1.2", "1.2.3.4.5", "1.2.3.4.", "....", "1.2.3.4.5.6.7.8", u16(u"1\uff0e2.3.4"),
            u16(u"1\u30022.3.4"), u16(u"1.2.3\0.4"), "1.2.3.4:", "1:.2.3.4", "1.2./.4" };
        // Short texts from the characters that matter, and addresses of odd parts among plain ones,
        // with a fixed seed so that a failure replays.
        const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789....+- \tae,%:/")
            + u16(u"\u00a0\u2212\u0661\uff11\u3000\0\u0660\uff0e\u0131\u2035");
        std::mt19937 random(20260501);
        QStringList texts;
        for (int i = 0; i < 100000; ++i) {
            QStringList address;
            for (int place = 0; place < 4; ++place) {
                address << parts.at(random() % 2 ? 0 : int(random() % uint(parts.size())));
            }
            texts << address.join(QLatin1Char('.')) << QString();
            for (int n = int(random() % 25); n > 0; --n) {
                texts.last() += alphabet.at(int(random() % uint(alphabet.size())));
            }
        }
        QTest::addRow("random") << texts;
    }

    void sameAsReference()
    {
        QFETCH(QStringList, texts);

        for (const QString &text : std::as_const(texts)) {
            const QString got = outcome(&IPV4StringToInteger, text);
            const QString want = outcome(&IPV4StringToIntegerReference, text);
            const QString shown = QString::fromLatin1(text.toUtf8().toPercentEncoding());
            QVERIFY2(got == want, qPrintable(QStringLiteral("%1: %2 instead of %3").arg(shown, got, want)));
            quint32 strict = 0;
            quint32 parsed = 0;
            const bool isStrict = strictReference(text, &strict);
            QVERIFY2(
                parseIPv4(text, &parsed) == isStrict && (!isStrict || parsed == strict), qPrintable(shown));
        }
    }
};

QTEST_GUILESS_MAIN(tst_IpAddressHelper)
#include "tst_ipaddresshelper.moc"
