// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "simulation.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QVector<Simulation::Outcome>)

static QString str(const char *text)
{
    return QString::fromUtf8(text);
}

// Everything scan rounds report, one line per report, to compare runs.
struct Recorder
{
    explicit Recorder(Simulation *simulation)
    {
        QObject::connect(simulation, &Simulation::deviceReported, simulation,
            [this](const MacScanDeviceInfo &info, int source) {
                QStringList ports;
                for (const t_device_network_info &port : info.networkInfo()) {
                    ports << QStringList { port.mac, port.ip, port.subnetMask, port.gateway }.join(
                        QLatin1Char('/'));
                }
                lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                             .arg(source)
                             .arg(info.deviceCommMac(), info.name(), info.deviceSN(), info.devTime())
                             .arg(info.nodeType())
                             .arg(info.malfunction())
                             .arg(info.isOffline())
                             .arg(ports.join(QLatin1Char(' ')));
                reports << info;
                sources << source;
            });
        QObject::connect(simulation, &Simulation::ipStateReported, simulation,
            [this](const QString &mac, int state) { ipStates.insert(mac, state); });
    }

    QStringList lines;
    QList<MacScanDeviceInfo> reports;
    QList<int> sources;
    QHash<QString, int> ipStates;
};

// The communication MAC of device \a index in the default network (all found by round 3).
static QString commMac(int index)
{
    Simulation simulation;
    Recorder recorder(&simulation);
    for (int round = 0; round < 3; ++round) {
        simulation.scanRound();
    }
    const QString prefix = QStringLiteral("00:1E:C0:%1:%2:")
                               .arg(index >> 8, 2, 16, QLatin1Char('0'))
                               .arg(index & 0xFF, 2, 16, QLatin1Char('0'))
                               .toUpper();
    for (const MacScanDeviceInfo &info : qAsConst(recorder.reports)) {
        if (info.deviceCommMac().startsWith(prefix)) {
            return info.deviceCommMac();
        }
    }
    return str("00:00:00:00:00:00"); // known to no device
}

class tst_Simulation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<QVector<Simulation::Outcome>>(); }
    void sameSeedSameNetwork();
    void reportsOfTheFirstRound();
    void answers_data();
    void answers();
};

void tst_Simulation::sameSeedSameNetwork()
{
    Simulation first, second, other;
    other.populate(7, Simulation::DefaultDeviceCount);
    Recorder a(&first), b(&second), c(&other);
    for (int round = 0; round < 6; ++round) {
        first.scanRound();
        second.scanRound();
        other.scanRound();
    }
    QVERIFY(a.lines.size() > 200);
    QCOMPARE(a.lines, b.lines);
    QCOMPARE(a.ipStates, b.ipStates);
    QVERIFY(a.lines != c.lines);

    // Populating again starts the same network over.
    first.populate(Simulation::DefaultSeed, Simulation::DefaultDeviceCount);
    a.lines.clear();
    first.scanRound();
    Simulation fresh;
    Recorder d(&fresh);
    fresh.scanRound();
    QCOMPARE(a.lines, d.lines);

    // Over three rounds every kind, sub-kind, run mode, port count and fault shows up.
    QSet<int> kinds, subKinds, runModes, portCounts, faults;
    for (const MacScanDeviceInfo &info : qAsConst(b.reports)) {
        kinds.insert(info.nodeType());
        subKinds.insert(info.subNodeType());
        runModes.insert(info.runMode());
        portCounts.insert(info.networkInfo().size());
        faults.insert(info.malfunction());
    }
    QCOMPARE(kinds,
        (QSet<int> { NodeInvalid, NodeEncoder, NodeDecoder, NodeDecoderTwoInOne, NodeCentralControl }));
    QCOMPARE(subKinds, (QSet<int> { SubNodeNone, SubNodeSeat, SubNodeBigScreen, SubNodeEcho }));
    QCOMPARE(runModes, (QSet<int> { RunModeNormal, RunModeMaster, RunModeBackup, RunModeInvalid }));
    QCOMPARE(portCounts, (QSet<int> { 1, 2 }));
    QVERIFY(faults.contains(MalfunctionTemperature) && faults.contains(MalfunctionVoltage)
        && faults.contains(0x4));
}

void tst_Simulation::reportsOfTheFirstRound()
{
    Simulation simulation;
    Recorder recorder(&simulation);
    QSignalSpy finished(&simulation, &Simulation::scanFinished);
    simulation.scanRound();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 1);

    // A MAC-scan report for every device in reach, then a UDP report if it answers.
    int macReports = 0;
    for (int i = 0; i < recorder.reports.size(); ++i) {
        const MacScanDeviceInfo &info = recorder.reports.at(i);
        if (recorder.sources.at(i) == Simulation::MacScanReport) {
            ++macReports;
            const bool answers = i + 1 < recorder.reports.size()
                && recorder.sources.at(i + 1) == Simulation::UdpReport
                && recorder.reports.at(i + 1).deviceCommMac() == info.deviceCommMac();
            QCOMPARE(answers, !info.isOffline());
        }
    }
    QCOMPARE(macReports, 32);
    QCOMPARE(recorder.reports.size(), 32 + 29);
    // Devices 8 and 9 share an address; device 15 has a faulty link.
    QCOMPARE(QList<int>({ recorder.ipStates.value(commMac(0)), recorder.ipStates.value(commMac(8)),
                 recorder.ipStates.value(commMac(9)), recorder.ipStates.value(commMac(15)) }),
        QList<int>({ 1, 2, 2, 3 }));
}

void tst_Simulation::answers_data()
{
    QTest::addColumn<QList<int>>("devices"); // -1: a MAC that no device has
    QTest::addColumn<QString>("port1");
    QTest::addColumn<QString>("port2");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QStringList>("ips");

    // A new second port out of the first one's segment lifts the segment clash.
    QTest::addRow("second port moved") << QList<int> { 0 } << str("192.168.1.90;255.255.0.0;192.168.1.1")
                                       << str("10.20.0.90;255.255.0.0;10.20.0.1")
                                       << QList<int> { IpSetSuccess } << QStringList { str("192.168.1.90") };
    QTest::addRow("voltage fault") << QList<int> { 12, 33 } << str("192.168.1.90;255.255.255.0;192.168.1.1")
                                   << QString() << QList<int> { IpSetSuccess, IpSetPortCheckFailed }
                                   << QStringList { str("192.168.1.90"), str("192.168.1.53") };
    QTest::addRow("malformed") << QList<int> { 0, 1 } << str("192.168.1.90;255.255.255.0") << QString()
                               << QList<int> { IpSetFormatError, IpSetFormatError }
                               << QStringList { str("192.168.1.20"), str("192.168.1.21") };
    QTest::addRow("unknown device never answers")
        << QList<int> { -1 } << str("10.0.0.2;255.0.0.0;10.0.0.1") << QString() << QList<int> { IpSetTimeout }
        << QStringList { QString() };
}

void tst_Simulation::answers()
{
    QFETCH(QList<int>, devices);
    QFETCH(QString, port1);
    QFETCH(QString, port2);
    QFETCH(QList<int>, results);
    QFETCH(QStringList, ips);

    Simulation simulation;
    simulation.setAnswerDelay(0);
    simulation.scanRound();
    QStringList macs;
    for (int index : qAsConst(devices)) {
        macs << commMac(index);
    }
    QSignalSpy answered(&simulation, &Simulation::requestAnswered);
    simulation.handleRequest(macs.join(QLatin1Char(',')), port1, port2, str("41"));
    QCOMPARE(answered.count(), 0); // the answer comes later
    QVERIFY(answered.wait(1000));
    QCOMPARE(answered.at(0).at(0).toInt(), 41);
    const auto outcomes = answered.at(0).at(1).value<QVector<Simulation::Outcome>>();
    QCOMPARE(outcomes.size(), macs.size());
    for (int i = 0; i < outcomes.size(); ++i) {
        QCOMPARE(outcomes.at(i).commMac, macs.at(i));
        QCOMPARE(int(outcomes.at(i).result), results.at(i));
        QCOMPARE(outcomes.at(i).ip, ips.at(i));
    }

    // The next scan reports the first port as it is now: changed on success, kept otherwise.
    Recorder recorder(&simulation);
    simulation.scanRound();
    QStringList seen;
    for (const MacScanDeviceInfo &info : qAsConst(recorder.reports)) {
        const int i = macs.indexOf(info.deviceCommMac());
        if (i >= 0 && results.at(i) == IpSetSuccess) {
            const t_device_network_info port = info.networkInfo().at(0);
            QCOMPARE(QStringList({ port.ip, port.subnetMask, port.gateway }).join(QLatin1Char(';')), port1);
            seen << info.deviceCommMac();
        } else if (i >= 0) {
            QCOMPARE(info.networkInfo().at(0).ip, ips.at(i));
        }
    }
    QCOMPARE(seen.isEmpty(), !results.contains(IpSetSuccess));
}

QTEST_GUILESS_MAIN(tst_Simulation)
#include "tst_simulation.moc"
