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

QString text16(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t unit : units) {
        text += QChar(unit);
    }
    return text;
}

// Every way of putting one odd part into each of the four places of an address.
QStringList inEveryPlace(const QStringList &parts)
{
    QStringList texts;
    const QString plain = QStringLiteral("10");
    for (const QString &part : parts) {
        for (int place = 0; place < 4; ++place) {
            QStringList address { plain, plain, plain, plain };
            address[place] = part;
            texts << address.join(QLatin1Char('.'));
        }
        texts << QStringList { part, part, part, part }.join(QLatin1Char('.'));
    }
    return texts;
}

// Every ordered choice of parts, dotted together; counts of one to five parts.
QStringList everyJoin(const QStringList &parts, int count)
{
    QStringList texts { QString() };
    for (int i = 0; i < count; ++i) {
        QStringList longer;
        for (const QString &head : qAsConst(texts)) {
            for (const QString &part : parts) {
                longer << (i == 0 ? part : head + QLatin1Char('.') + part);
            }
        }
        texts = longer;
    }
    return texts;
}

struct Outcome
{
    quint32 value;
    QList<CapturedMessage> lines;
};

Outcome fast(const QString &text)
{
    LogCapture cap;
    const quint32 value = IPV4StringToInteger(text);
    return { value, cap.lines() };
}

Outcome reference(const QString &text)
{
    LogCapture cap;
    const quint32 value = IPV4StringToIntegerReference(text);
    return { value, cap.lines() };
}

// The text with every unit outside printable ASCII written as \uXXXX.
QString visible(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            shown += c;
        } else {
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

// Compares one text and returns a description of the first difference, or nothing.
QString difference(const QString &text)
{
    const Outcome got = fast(text);
    const Outcome want = reference(text);
    const QString shown = visible(text);
    if (got.value != want.value) {
        return QStringLiteral("%1: %2 instead of %3").arg(shown).arg(got.value).arg(want.value);
    }
    if (got.lines.size() != want.lines.size()) {
        return QStringLiteral("%1: %2 log lines instead of %3")
            .arg(shown)
            .arg(got.lines.size())
            .arg(want.lines.size());
    }
    for (int i = 0; i < got.lines.size(); ++i) {
        const CapturedMessage &a = got.lines.at(i);
        const CapturedMessage &b = want.lines.at(i);
        if (a.type != b.type || a.category != b.category || a.file != b.file || a.text != b.text) {
            return QStringLiteral("%1: logged \"%2\" instead of \"%3\"").arg(shown, a.text, b.text);
        }
        if (a.function != QLatin1String("quint32 IPV4StringToInteger(const QString&)")) {
            return QStringLiteral("%1: logged from %2").arg(shown, a.function);
        }
    }
    return QString();
}

} // namespace

void tst_IpAddressEquivalence::sameAsReference_data()
{
    QTest::addColumn<QStringList>("texts");

    QTest::addRow("plain addresses") << QStringList { QStringLiteral("192.168.0.1"),
        QStringLiteral("0.0.0.0"), QStringLiteral("255.255.255.255"), QStringLiteral("10.20.30.40"),
        QStringLiteral("1.2.3.4") };
    QTest::addRow("signs") << inEveryPlace({ QStringLiteral("+1"), QStringLiteral("-1"), QStringLiteral("+"),
        QStringLiteral("-"), QStringLiteral("--1"), QStringLiteral("+-1"), QStringLiteral("-+1"),
        QStringLiteral("1-"), QStringLiteral("-0"), QStringLiteral("+0"), QStringLiteral("-255"),
        text16({ u'\u2212', u'5' }), text16({ u'\uff0b', u'5' }), text16({ u'\uff0d', u'5' }) });
    QTest::addRow("blanks") << inEveryPlace({ QStringLiteral(" 1"), QStringLiteral("1 "),
        QStringLiteral(" 1 "), QStringLiteral("\t2"), QStringLiteral("2\n"), QStringLiteral("1 2"),
        QStringLiteral(" "), QStringLiteral("- 1"), QStringLiteral(" -1 "), QStringLiteral("\r\n3\v\f"),
        text16({ u'\u00a0', u'3' }), text16({ u'3', u'\u3000' }), text16({ u'\u2028', u'4', u'\u2029' }),
        text16({ u'\u0085', u'4' }), text16({ u'\u200b', u'4' }) });
    QTest::addRow("leading zeros") << inEveryPlace({ QStringLiteral("00"), QStringLiteral("007"),
        QStringLiteral("0255"), QStringLiteral("000000000001"), QStringLiteral("-007"),
        QStringLiteral("+0010"), QStringLiteral("0000000000000000000000000000000009") });
    QTest::addRow("overflows") << inEveryPlace(
        { QStringLiteral("256"), QStringLiteral("999999999"), QStringLiteral("1000000000"),
            QStringLiteral("2147483647"), QStringLiteral("2147483648"), QStringLiteral("-2147483648"),
            QStringLiteral("-2147483649"), QStringLiteral("4294967295"), QStringLiteral("4294967296"),
            QStringLiteral("9223372036854775807"), QStringLiteral("9223372036854775808"),
            QStringLiteral("-9223372036854775809"), QStringLiteral("99999999999999999999999") });
    QTest::addRow("empty parts") << QStringList { QString(), QStringLiteral(""), QStringLiteral("..."),
        QStringLiteral("1..2.3"), QStringLiteral("10.0.0."), QStringLiteral(".1.2.3"),
        QStringLiteral("1.2..") };
    QTest::addRow("dot counts") << QStringList { QStringLiteral("1"), QStringLiteral("1.2"),
        QStringLiteral("1.2.3"), QStringLiteral("1.2.3.4.5"), QStringLiteral("1.2.3.4."),
        QStringLiteral("...."), QStringLiteral("1.2.3.4.5.6.7.8"),
        text16({ u'1', u'\uff0e', u'2', u'.', u'3', u'.', u'4' }),
        text16({ u'1', u'\u3002', u'2', u'.', u'3', u'.', u'4' }) };
    QTest::addRow("other digits") << inEveryPlace(
        { text16({ u'\u0661', u'\u0662' }), text16({ u'\u0660' }), text16({ u'\u06f1', u'\u06f2' }),
            text16({ u'\uff11', u'\uff12' }), text16({ u'1', u'\uff12' }), text16({ u'\u0966' }),
            text16({ u'\u00b2' }), text16({ u'\u2460' }), text16({ char16_t(0xd835), char16_t(0xdfce) }),
            text16({ u'\u0131', u'\u0132' }), text16({ u'\u2039' }) });
    QTest::addRow("letters and marks") << inEveryPlace({ QStringLiteral("a"), QStringLiteral("1a"),
        QStringLiteral("0x10"), QStringLiteral("1e2"), QStringLiteral("1,0"), QStringLiteral("1%"),
        QStringLiteral("1;"), QStringLiteral("E"), QStringLiteral("inf"), QStringLiteral("nan"),
        text16({ char16_t(0xd800) }), text16({ u'1', char16_t(0xdc00) }) });
    QTest::addRow("nul characters") << (inEveryPlace({ text16({ u'\0' }), text16({ u'1', u'\0' }),
                                            text16({ u'\0', u'1' }), text16({ u'1', u'\0', u'2' }) })
        << text16({ u'1', u'.', u'2', u'.', u'3', u'\0', u'.', u'4' }));
    QTest::addRow("all short joins") << (everyJoin({ QString(), QStringLiteral("0"), QStringLiteral("-1"),
                                                       QStringLiteral(" 9"), QStringLiteral("300") },
                                             4)
        + everyJoin({ QStringLiteral("1"), QStringLiteral("x") }, 5)
        + everyJoin({ QStringLiteral("1"), QStringLiteral("+") }, 3));
}

void tst_IpAddressEquivalence::sameAsReference()
{
    QFETCH(QStringList, texts);

    QVERIFY(!texts.isEmpty());
    for (const QString &text : qAsConst(texts)) {
        const QString diff = difference(text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

// Texts drawn from the characters that matter to the conversion, with a fixed seed so
// that a failure can be replayed.
void tst_IpAddressEquivalence::randomTexts()
{
    const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789....+- \tae,%")
        + text16({ u'\u00a0', u'\u2212', u'\u0661', u'\uff11', u'\u3000', u'\0', u'\u0660', u'\uff0e',
            u'\u0131', u'\u2035' });
    std::mt19937 random(20260501);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 100000; ++i) {
        QString text;
        const int n = length(random);
        for (int c = 0; c < n; ++c) {
            text += alphabet.at(pick(random));
        }
        const QString diff = difference(text);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

QTEST_GUILESS_MAIN(tst_IpAddressEquivalence)
#include "tst_ipaddressequivalence.moc"
