// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changetracker.h"
#include "devicefinder.h"

#include "logcapture.h"

#include <QtTest>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>

// Request 7 asks devices A, B and C at time 0 with a 1,000 ms timeout. Each step is
// "R MAC RESULT" (an answer to request R) or "t MS" (the clock moves to MS); the record
// holds each answer's fate, "end" when the request ends, and the result per device.
static QStringList list(const char *items)
{
    return QString::fromLatin1(items).split(QLatin1Char(','));
}

class TestChangeTracker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Devices that never answer end the change at its timeout, as failures with the tool's
    // own text; a second change meanwhile is refused, and a late answer changes nothing.
    void finderEndsTheChangeAtItsTimeout()
    {
        DeviceFinder finder;
        finder.setNetwork(Simulation::DefaultSeed, 6);
        finder.restart();
        finder.scan(3);
        finder.simulation()->setAnswerDelay(400);
        finder.setChangeTimeout(50);
        QSignalSpy ready(&finder, &DeviceFinder::resultsReady);
        QSignalSpy refused(&finder, &DeviceFinder::messageRequested);
        QVERIFY(finder.changeAllOnline(QStringLiteral("192.168.7.2"), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.7.1")));
        QVERIFY(finder.busy());
        QVERIFY(!finder.changeAllOnline(QStringLiteral("192.168.8.2"), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.8.1")));
        QCOMPARE(refused.count(), 1);
        QVERIFY(ready.wait(300));
        QVERIFY(!finder.busy());
        const int total = finder.resultModel()->totalNum();
        QVERIFY(total > 0);
        QCOMPARE(finder.resultModel()->failureNum(), total);
        const SettingResultTableModel *results = finder.resultModel();
        const auto *first = results->data(results->index(0, 0), Qt::UserRole).value<SettingResultData *>();
        QVERIFY(first);
        QCOMPARE(first->detail(), ChangeTracker::timedOutText(50));
        QTest::qWait(500); // the answer arrives after the deadline
        QCOMPARE(ready.count(), 1);
        QCOMPARE(finder.resultModel()->failureNum(), total);
    }
    void answers_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QList<int>>("results");
        QTest::addColumn<int>("logLines");
        const QList<int> allOk { IpSetSuccess, IpSetSuccess, IpSetSuccess };
        QTest::newRow("all answer") << list("7 A 0,7 B 0,t 1,7 C 0,t 2") << list("0,0,0,end") << allOk << 0;
        QTest::newRow("one lost, deadline") << list("7 A 0,7 C 3,t 999,t 1000") << list("0,0,end")
                                            << QList<int> { IpSetSuccess, IpSetTimeout, 3 } << 0;
        QTest::newRow("duplicate counts once")
            << list("7 A 0,7 A 3,7 B 0,7 C 0,t 5") << list("0,1,0,0,end") << allOk << 0;
        QTest::newRow("late after timeout") << list("t 1000,7 A 0") << list("end,4")
                                            << QList<int> { IpSetTimeout, IpSetTimeout, IpSetTimeout } << 1;
        QTest::newRow("not asked, earlier request")
            << list("7 X 0,6 A 0,7 A 0,7 B 0,7 C 0,t 1") << list("2,3,0,0,0,end") << allOk << 2;
    }

    void answers()
    {
        QFETCH(QStringList, steps);
        LogCapture log;
        ChangeTracker tracker;
        tracker.setTimeout(1000);
        QVERIFY(tracker.start(7, list("A,B,C"), 0));
        QVERIFY(!tracker.start(8, list("A"), 0));
        QCOMPARE(tracker.deadline(), 1000);
        QStringList record;
        for (const QString &step : steps) {
            const QStringList f = step.split(QLatin1Char(' '));
            if (f.at(0) == QLatin1String("t")) {
                if (tracker.advance(f.at(1).toInt())) {
                    record << QStringLiteral("end");
                }
                continue;
            }
            const Simulation::Outcome outcome { f.at(1), QStringLiteral("10.0.0.1"),
                IpSettingResult(f.at(2).toInt()) };
            record << QString::number(tracker.answer(f.at(0).toInt(), outcome));
        }
        QTEST(record, "record");
        QVERIFY(!tracker.inFlight());
        QList<int> results;
        QStringList macs;
        for (const Simulation::Outcome &o : tracker.outcomes()) {
            results << int(o.result);
            macs << o.commMac;
        }
        QCOMPARE(macs, list("A,B,C"));
        QTEST(results, "results");
        QCOMPARE(tracker.timedOut().size(), int(results.count(IpSetTimeout)));
        QTEST(int(log.lines().size()), "logLines");
        QVERIFY(tracker.start(8, list("A"), 2000));
        QCOMPARE(tracker.outcomes().at(0).result, IpSetTimeout);
    }
};

QTEST_GUILESS_MAIN(TestChangeTracker)
#include "tst_changetracker.moc"
