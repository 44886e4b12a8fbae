// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changetracker.h"
#include "simulatedfinder.h"

#include "logcapture.h"

#include <QLoggingCategory>
#include <QtTest>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>
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
    // Every fault of the network ends the change by its timeout in a consistent state; while
    // it waits, a rescan and a retry are refused in plain words. A device without an answer
    // is unconfirmed until a late answer or a scan says where it is, and then its row says
    // what became of it, truly.
    void faults_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("succeeded");
        QTest::addColumn<int>("unconfirmed"); // no answer yet: whether they changed is not known
        QTest::addColumn<int>("ignored"); // log lines of answers ignored
        QTest::newRow("none") << QString() << QString() << 8 << 0 << 0;
        QTest::newRow("duplicate") << "duplicate=1" << QString() << 8 << 0 << 0;
        QTest::newRow("stray") << "stray=1,duplicate=0" << QString() << 8 << 0 << 11;
        QTest::newRow("drop") << "drop=1" << QString() << 0 << 11 << 0;
        QTest::newRow("delay past timeout") << "delay=120" << QString() << 8 << 0 << 0;
        QTest::newRow("reboot") << "reboot=1" << QString() << 0 << 11 << 0;
        QTest::newRow("unknown")
            << "drop=0.1,lost=1"
            << "unknown fault \"lost\"; the faults are drop, duplicate, delay, reboot and stray" << 0 << 0
            << 0;
        QTest::newRow("bad rate") << "drop=2"
                                  << "drop takes a share from 0 to 1, not \"2\"" << 0 << 0 << 0;
    }

    void faults()
    {
        QFETCH(QString, faults);
        QFETCH(int, succeeded);
        QFETCH(int, unconfirmed);
        NetworkFaults parsed;
        QTEST(NetworkFaults::fromString(faults, &parsed), "error");
        if (parsed.isEmpty() && !faults.isEmpty()) {
            return;
        }
        LogCapture log;
        SimulatedFinder simulated(Simulation::DefaultSeed, 12);
        DeviceFinder &finder = simulated.finder;
        simulated.scanThenBreak(parsed, 50);
        QSignalSpy ready(&finder, &DeviceFinder::resultsReady);
        QSignalSpy messages(&finder, &DeviceFinder::messageRequested);
        QVERIFY(simulated.changeAll());
        const int sent = finder.editTarget().value(QStringLiteral("count")).toInt();
        QVERIFY(!finder.rescan());
        QVERIFY(!finder.retryFailed());
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("正在修改网络参数，修改结束后才能重新扫描"));
        QCOMPARE(messages.at(1).at(0).toString(), QStringLiteral("上一次修改尚未结束，请等待其结果"));
        QVERIFY(ready.wait(1000));
        QTest::qWait(120); // late answers come in
        QCOMPARE(ready.count(), 1);
        QVERIFY(!finder.busy());
        const QVector<QStringList> rows = finder.resultRows();
        QCOMPARE(rows.size(), sent + 1);
        QCOMPARE(rows.first().at(4), QStringLiteral("新IP地址"));
        int silent = 0;
        for (const QStringList &row : rows.mid(1)) {
            const QString outcome = row.at(5);
            QCOMPARE(row.at(4) == QStringLiteral("未更改"), outcome == QStringLiteral("修改失败"));
            if (outcome == QStringLiteral("未确认")) {
                ++silent;
                QCOMPARE(row.at(4), outcome);
                QCOMPARE(row.at(6), QStringLiteral("设备0.05秒内无应答，修改是否生效未知"));
            }
        }
        QCOMPARE(silent, unconfirmed);
        QCOMPARE(finder.resultModel()->totalNum(), sent);
        QCOMPARE(finder.resultModel()->successNum(), succeeded);
        QCOMPARE(finder.resultModel()->failureNum(), sent - succeeded - unconfirmed);
        int ignored = 0;
        for (const CapturedMessage &line : log.lines()) {
            ignored += line.text.contains(QLatin1String("ignored")) ? 1 : 0;
        }
        QTEST(ignored, "ignored");
        if (parsed.reboot > 0) {
            // Away for the next scan, back in the one after with its old address or the planned one.
            finder.scan(1);
            QHash<QString, DeviceData *> devices;
            for (int row = 0; row < finder.deviceModel()->rowCount(); ++row) {
                DeviceData *device = ZVR::deviceAtRow(finder.deviceModel(), row);
                devices.insert(device->commMac(), device);
            }
            const QVector<ResultRow> results = finder.resultRowModel()->rows();
            for (const ResultRow &row : results) {
                QCOMPARE(devices.value(row.mac)->devStatus(), DeviceData::Offline);
            }
            finder.scan(1);
            QCoreApplication::processEvents();
            int moved = 0;
            const QVector<ResultRow> settled = finder.resultRowModel()->rows();
            for (int i = 0; i < settled.size(); ++i) {
                const ResultRow &row = results.at(i);
                const DeviceData *device = devices.value(row.mac);
                QVERIFY(device->devStatus() != DeviceData::Offline);
                QVERIFY(device->ip() == row.oldIp || device->ip() == row.plannedIp);
                const bool atPlanned = device->ip() == row.plannedIp;
                moved += atPlanned ? 1 : 0;
                // What the results say now is where the device is.
                QCOMPARE(int(settled.at(i).state), int(atPlanned ? ResultRow::Succeeded : ResultRow::Failed));
                QCOMPARE(settled.at(i).detail,
                    atPlanned ? QStringLiteral("已生效（未应答）") : QStringLiteral("设备未应答，扫描确认未更改"));
            }
            QVERIFY(moved > 0 && moved < sent);
            QCOMPARE(finder.statusText(),
                QStringLiteral("未应答的设备中，%1台已确认生效，%2台确认未更改；仍有0台未确认")
                    .arg(moved)
                    .arg(sent - moved));
        }
    }

    // The truth audit: about 200 devices changed under each fault; once every answer has
    // come and the scans have looked, nothing the results state as done or not done is
    // false of where the network really put each device.
    void truthAudit_data()
    {
        QTest::addColumn<QString>("faults");
        for (const char *faults : { "drop=0.3", "duplicate=0.3", "delay=20", "delay=150", "reboot=0.3",
                 "stray=0.3", "drop=0.2,duplicate=0.2,reboot=0.2,stray=0.2,delay=150" }) {
            QTest::addRow("%s", faults) << QString::fromLatin1(faults);
        }
    }

    void truthAudit()
    {
        QFETCH(QString, faults);
        NetworkFaults parsed;
        QVERIFY(NetworkFaults::fromString(faults, &parsed).isEmpty());
        QLoggingCategory::setFilterRules(QStringLiteral("default.info=false"));
        SimulatedFinder simulated(Simulation::DefaultSeed, 320);
        DeviceFinder &finder = simulated.finder;
        simulated.scanThenBreak(parsed, 50);
        // Where each device is configured before the change; what it shows may be borrowed.
        QHash<QString, QString> before;
        for (int row = 0; row < finder.deviceModel()->rowCount(); ++row) {
            const QString mac = ZVR::deviceAtRow(finder.deviceModel(), row)->commMac();
            before.insert(mac, simulated.simulation()->configuredAddress(mac));
        }
        QSignalSpy ready(&finder, &DeviceFinder::resultsReady);
        QVERIFY(simulated.changeAll());
        QVERIFY(ready.wait(1000));
        QTest::qWait(200); // every late answer
        for (int round = 0; round < 3; ++round) {
            finder.scan(1);
            QCoreApplication::processEvents();
        }
        int stated = 0;
        int unconfirmed = 0;
        for (const ResultRow &row : finder.resultRowModel()->rows()) {
            const QString truth = simulated.simulation()->configuredAddress(row.mac);
            switch (row.state) {
            case ResultRow::Succeeded:
                // "Elsewhere" claims only that the scan found it at neither address.
                if (row.detail != QStringLiteral("已生效（地址与计划不同）")) {
                    QCOMPARE(truth, row.plannedIp);
                }
                ++stated;
                break;
            case ResultRow::Failed:
                QCOMPARE(truth, before.value(row.mac));
                ++stated;
                break;
            case ResultRow::Unconfirmed:
                ++unconfirmed;
                break;
            }
        }
        QVERIFY(finder.resultRowModel()->totalCount() >= 200);
        QLoggingCategory::setFilterRules(QString());
        qInfo("%d of %d devices stated, %d unconfirmed", stated, finder.resultRowModel()->totalCount(), unconfirmed);
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
            << list("7 A 0,7 A 0,7 B 0,7 C 0,t 5") << list("0,1,0,0,end") << allOk << 0;
        QTest::newRow("the later answer wins")
            << list("7 A 3,7 A 0,7 B 5,7 B 0,7 B 6,7 C 0,t 1") << list("0,5,0,5,5,0,end")
            << QList<int> { IpSetSuccess, IpSetSameSegment, IpSetSuccess } << 3;
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
            const ChangeOutcome outcome { f.at(1), QStringLiteral("10.0.0.1"),
                IpSettingResult(f.at(2).toInt()), QString() };
            record << QString::number(tracker.answer(f.at(0).toInt(), outcome));
        }
        QTEST(record, "record");
        QVERIFY(!tracker.inFlight());
        QList<int> results;
        QStringList macs;
        for (const ChangeOutcome &o : tracker.outcomes()) {
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
