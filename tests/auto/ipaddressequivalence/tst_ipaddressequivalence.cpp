// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/ipaddresshelper.h>

#include "logcapture.h"

#include <QtTest>

#include <random>

// The one-pass IPV4StringToInteger must give the value and the warning of the plain
// split-and-toInt form for every text, however odd.
class tst_IpAddressEquivalence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsReference_data();
    void sameAsReference();
    void randomTexts();
};

namespace {

// Any UTF-16 literal, NUL characters and lone surrogates included.
template<size_t N> QString u16(const char16_t (&units)[N])
{
    return QString(reinterpret_cast<const QChar *>(units), int(N - 1));
}

// Each part alone in each of the four places, then in all four at once.
QStringList inEveryPlace(const QStringList &parts)
{
    QStringList texts;
    for (const QString &part : parts) {
        for (int place = 0; place < 4; ++place) {
            QStringList address { "10", "10", "10", "10" };
            address[place] = part;
            texts << address.join(QLatin1Char('.'));
        }
        texts << QStringList { part, part, part, part }.join(QLatin1Char('.'));
    }
    return texts;
}

QString outcome(quint32 (*convert)(const QString &), const QString &text)
{
    LogCapture cap;
    QString result = QString::number(convert(text));
    for (const CapturedMessage &line : cap.lines()) {
        result += QStringLiteral(" | %1 %2 %3 %4").arg(line.type).arg(line.category, line.file, line.text);
        if (convert == &IPV4StringToInteger
            && line.function != QLatin1String("quint32 IPV4StringToInteger(const QString&)")) {
            result += QStringLiteral(" from ") + line.function;
        }
    }
    return result;
}

// Empty when both forms agree, else the text (non-ASCII as \uXXXX) and both outcomes.
QString difference(const QString &text)
{
    const QString got = outcome(&IPV4StringToInteger, text);
    const QString want = outcome(&IPV4StringToIntegerReference, text);
    if (got == want) {
        return QString();
    }
    QString shown;
    for (const QChar c : text) {
        shown += c.unicode() >= 0x20 && c.unicode() < 0x7f
            ? QString(c)
            : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QStringLiteral("\"%1\": %2 instead of %3").arg(shown, got, want);
}

} // namespace

void tst_IpAddressEquivalence::sameAsReference_data()
{
    QTest::addColumn<QStringList>("texts");

    QTest::addRow("plain") << QStringList { "192.168.0.1", "0.0.0.0", "255.255.255.255", "1.2.3.4" };
    QTest::addRow("signs") << inEveryPlace({ "+1", "-1", "+", "-", "--1", "+-1", "-+1", "1-", "-0", "+0",
        "-255", u16(u"\u22125"), u16(u"\uff0b5"), u16(u"\uff0d5") });
    QTest::addRow("blanks") << inEveryPlace(
        { " 1", "1 ", " 1 ", "\t2", "2\n", "1 2", " ", "- 1", " -1 ", "\r\n3\v\f", u16(u"\u00a03"),
            u16(u"3\u3000"), u16(u"\u20284\u2029"), u16(u"\u00854"), u16(u"\u200b4") });
    QTest::addRow("leading zeros") << inEveryPlace(
        { "00", "007", "0255", "000000000001", "-007", "+0010", "0000000000000000000000000000000009" });
    QTest::addRow("overflows") << inEveryPlace(
        { "256", "999999999", "1000000000", "2147483647", "2147483648", "-2147483648", "-2147483649",
            "4294967295", "4294967296", "9223372036854775808", "99999999999999999999999" });
    QTest::addRow("empty parts and dot counts")
        << QStringList { QString(), "", "...", "1..2.3", ".1.2.3", "1.2..", "1", "1.2", "1.2.3.4.5",
               "1.2.3.4.", "....", "1.2.3.4.5.6.7.8", u16(u"1\uff0e2.3.4"), u16(u"1\u30022.3.4") };
    QTest::addRow("other digits") << inEveryPlace({ u16(u"\u0661\u0662"), u16(u"\u0660"),
        u16(u"\u06f1\u06f2"), u16(u"\uff11\uff12"), u16(u"1\uff12"), u16(u"\u0966"), u16(u"\u00b2"),
        u16(u"\u2460"), u16(u"\xd835\xdfce"), u16(u"\u0131\u0132"), u16(u"\u2039") });
    QTest::addRow("letters, marks, NULs")
        << (inEveryPlace({ "a", "1a", "0x10", "1e2", "1,0", "1%", "inf", u16(u"\xd800"), u16(u"1\xdc00"),
                u16(u"\0"), u16(u"1\0"), u16(u"\0001"), u16(u"1\0002") })
               << u16(u"1.2.3\0.4"));
}

void tst_IpAddressEquivalence::sameAsReference()
{
    QFETCH(QStringList, texts);

    for (const QString &text : std::as_const(texts)) {
        const QString diff = difference(text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

// Short texts from the characters that matter, with a fixed seed so that a failure replays.
void tst_IpAddressEquivalence::randomTexts()
{
    const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789....+- \tae,%")
        + u16(u"\u00a0\u2212\u0661\uff11\u3000\0\u0660\uff0e\u0131\u2035");
    std::mt19937 random(20260501);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 100000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet.at(pick(random));
        }
        const QString diff = difference(text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

QTEST_GUILESS_MAIN(tst_IpAddressEquivalence)
#include "tst_ipaddressequivalence.moc"
