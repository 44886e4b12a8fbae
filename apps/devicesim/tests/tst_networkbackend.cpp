// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkbackendtest.h"
#include "networkrig.h"

#include <logcapture.h>

#include <macscanbll/macscan.h>
#include <netscan/networkchange.h>
#include <netscan/onvifmessages_p.h>

#include <QSignalSpy>

void NetworkBackendTest::listsTheEmulator_data()
{
    QTest::addColumn<int>("requestsAtOnce");
    QTest::newRow("reads side by side") << 160;
    // Fewer requests than a device's reads: each device's reads one after another.
    QTest::newRow("reads over one connection") << 4;
}

void NetworkBackendTest::listsTheEmulator()
{
    QFETCH(int, requestsAtOnce);
    Rig rig;
    rig.backend.setMaxReadsInFlight(requestsAtOnce);
    QSignalSpy progress(&rig.backend, &NetworkBackend::readProgress);
    QSignalSpy rounds(&rig.backend, &ScanBackend::roundFinished);
    rig.round();
    const QHash<QString, QPair<MacScanDeviceInfo, int>> listed = rig.lastReports();
    // The answering devices by address: where two share one, the one that answers there is listed.
    QMultiHash<quint32, int> byAddress;
    for (int i = 0; i < rig.network->deviceCount(); ++i) {
        if (rig.network->answers(i)) {
            byAddress.insert(rig.network->address(i), i);
        }
    }
    QCOMPARE(listed.size(), byAddress.uniqueKeys().size());
    for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
        const int index = rig.indexOf(it.key());
        QVERIFY(index >= 0 && rig.network->answers(index));
        QCOMPARE(it.value().second, 0);
        const int sharing = byAddress.count(rig.network->address(index));
        QCOMPARE(rig.states.value(it.key()), sharing > 1 ? 2 : 1);
        if (sharing > 1) {
            continue; // who answers at a shared address is the network's choice
        }
        MacScanDeviceInfo expected = rig.network->info(index);
        // One default gateway stands for every port's.
        QVector<t_device_network_info> ports = expected.networkInfo();
        for (t_device_network_info &port : ports) {
            port.gateway = ports.first().gateway;
        }
        expected.setNetworkInfo(ports);
        QCOMPARE(valuesText(it.value().first), valuesText(expected));
        const QDateTime shown
            = QDateTime::fromString(it.value().first.devTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QDateTime clock
            = QDateTime::fromString(expected.devTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(qAbs(shown.secsTo(clock)) <= 2, qPrintable(it.value().first.devTime()));
    }
    QCOMPARE(rig.states.size(), listed.size());
    const int total = progress.last().at(1).toInt();
    QCOMPARE(progress.last(), QVariantList({ total, total }));
    QVERIFY(total >= listed.size());

    // Later rounds: every device's two shares, from its datagram alone.
    const QHash<QString, int> states = rig.states;
    progress.clear();
    rig.round();
    QCOMPARE(rounds.size(), 2);
    QCOMPARE(rounds.last().first().toInt(), 2);
    int shares[3] = {};
    for (const auto &report : qAsConst(rig.reports)) {
        QVERIFY(listed.contains(report.first.deviceCommMac()));
        ++shares[report.second];
        if (report.second == 1) {
            QCOMPARE(valuesText(report.first), valuesText(listed.value(report.first.deviceCommMac()).first));
        }
    }
    QCOMPARE(shares[0], 0);
    QCOMPARE(shares[1], listed.size());
    QCOMPARE(shares[2], listed.size());
    // Nobody is read again, not even an endpoint that answered as another device while its
    // match stays the same; the device at its address stays in conflict.
    QCOMPARE(progress.size(), 0);
    QCOMPARE(rig.states, states);

    // Gone for one round: nothing; for two: offline with its last values; back: online.
    rig.discovery.reset();
    rig.round();
    QCOMPARE(rig.reports.size(), 0);
    rig.round();
    QCOMPARE(rig.reports.size(), listed.size());
    for (const auto &report : qAsConst(rig.reports)) {
        QCOMPARE(report.second, 1);
        MacScanDeviceInfo offline = listed.value(report.first.deviceCommMac()).first;
        offline.setOffline(true);
        QCOMPARE(valuesText(report.first), valuesText(offline));
    }
    rig.startDiscovery();
    rig.round();
    QCOMPARE(rig.reports.size(), 2 * listed.size());
    QCOMPARE(valuesText(rig.lastReports().begin().value().first),
        valuesText(listed.value(rig.lastReports().begin().key()).first));
}

void NetworkBackendTest::readsWithCredentials()
{
    Rig rig(0, true);
    QSignalSpy refused(&rig.backend, &NetworkBackend::readCredentialsRefused);
    rig.backend.setCredentials(QString(), QString());
    rig.round();
    QCOMPARE(rig.reports.size(), 0);
    QCOMPARE(refused.size(), 1);
    rig.backend.setCredentials(QStringLiteral("admin"), QStringLiteral("wrong"));
    rig.round();
    QCOMPARE(rig.reports.size(), 0);
    QCOMPARE(refused.size(), 2);
    // Each read with a token of its own: every device listed whole, and nothing refused.
    rig.backend.setCredentials(QStringLiteral("admin"), QStringLiteral("admin"));
    rig.round();
    QCOMPARE(refused.size(), 2);
    const auto listed = rig.lastReports();
    QVERIFY(listed.size() > 20);
    for (const auto &report : listed) {
        QCOMPARE(report.second, 0);
        QVERIFY(!report.first.deviceSN().isEmpty() && !report.first.firmwareVer().isEmpty());
    }
}

void NetworkBackendTest::changes_data()
{
    QTest::addColumn<QVector<int>>("devices"); // emulator indexes; -1 a device not on the network
    QTest::addColumn<QString>("port1");
    QTest::addColumn<QString>("port2");
    QTest::addColumn<QString>("password");
    // Per device "result failure".
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("refusals");
    // Whether port 1 took its new address (a refusal of port 2 comes after it).
    QTest::addColumn<bool>("moved");
    // How long the devices take to answer a change, and the change's time limit.
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("timeout");
    const QString port1 = QStringLiteral("127.168.9.10;255.255.255.0;127.168.9.1");
    QTest::newRow("two devices") << QVector<int> { 0, 1 } << port1 << QString() << "admin"
                                 << texts({ "0 ", "0 " }) << 0 << true << 0 << 3000;
    QTest::newRow("both ports") << QVector<int> { 0 } << port1 << "127.168.10.10;255.255.255.0;127.168.10.1"
                                << "admin" << texts({ "0 " }) << 0 << true << 0 << 3000;
    QTest::newRow("wrong password") << QVector<int> { 0, 1 } << port1 << QString() << "nimda"
                                    << texts({ "999 用户名或密码错误", "999 用户名或密码错误" }) << 1 << false
                                    << 0 << 3000;
    QTest::newRow("master node") << QVector<int> { 6 } << port1 << QString() << "admin" << texts({ "3 " })
                                 << 0 << false << 0 << 3000;
    // Port 2 refused after port 1 moved: neither done nor undone, left to the next scan.
    QTest::newRow("one subnet") << QVector<int> { 0 } << port1 << "127.168.9.200;255.255.255.0;127.168.9.1"
                                << "admin" << texts({ "999 " }) << 0 << true << 0 << 3000;
    QTest::newRow("not on the network") << QVector<int> { -1 } << port1 << QString() << "admin"
                                        << texts({ "999 " }) << 0 << false << 0 << 3000;
    QTest::newRow("no answer in time") << QVector<int> { 0 } << port1 << QString() << "admin"
                                       << texts({ "999 " }) << 0 << false << 3000 << 1000;
    QTest::newRow("mask") << QVector<int> { 0 } << "127.168.9.10;255.0.255.0;127.168.9.1" << QString()
                          << "admin" << texts({ "5 " }) << 0 << false << 0 << 3000;
}

void NetworkBackendTest::changes()
{
    QFETCH(QVector<int>, devices);
    QFETCH(QString, port1);
    QFETCH(QString, port2);
    QFETCH(QString, password);
    QFETCH(QStringList, expected);
    QFETCH(int, refusals);
    QFETCH(bool, moved);
    QFETCH(int, delay);
    QFETCH(int, timeout);
    Rig rig(delay);
    rig.backend.setChangeTimeout(timeout);
    rig.round();
    const QHash<QString, QPair<MacScanDeviceInfo, int>> before = rig.lastReports();
    QStringList macs;
    for (const int index : devices) {
        macs << (index < 0 ? QStringLiteral("00:00:5E:00:53:01") : rig.network->info(index).deviceCommMac());
        QVERIFY(index < 0 || before.contains(macs.last()));
    }
    LogCapture log;
    rig.backend.setCredentials(QStringLiteral("admin"), password);
    QSignalSpy refused(&rig.backend, &NetworkBackend::credentialsRefused);
    ZVR::BLL::MacScan::getInstance()->setDeviceNetworkInfo(
        macs.join(QLatin1Char(',')), port1, port2, QStringLiteral("41"));
    spin(5000, [&] { return rig.outcomes.size() >= devices.size(); });
    QStringList outcomes;
    for (const QString &mac : qAsConst(macs)) {
        for (const ChangeOutcome &outcome : qAsConst(rig.outcomes)) {
            if (outcome.commMac == mac) {
                outcomes << QStringLiteral("%1 %2").arg(outcome.result).arg(outcome.failure);
            }
        }
    }
    QCOMPARE(outcomes, expected);
    QCOMPARE(refused.size(), refusals);
    if (refusals > 0) {
        QCOMPARE(refused.first().first().toInt(), 41);
    }
    for (const CapturedMessage &line : log.lines()) {
        QVERIFY2(!line.text.contains(password), qPrintable(line.text));
    }
    rig.round();
    const QHash<QString, QPair<MacScanDeviceInfo, int>> after = rig.lastReports();
    quint32 start = 0;
    parseAddress(port1.section(QLatin1Char(';'), 0, 0), &start);
    for (int i = 0; i < devices.size(); ++i) {
        if (devices.at(i) < 0) {
            continue;
        }
        const QVector<t_device_network_info> ports = after.value(macs.at(i)).first.networkInfo();
        QCOMPARE(ports.value(0).ip,
            moved ? formatAddress(start + quint32(i))
                  : before.value(macs.at(i)).first.networkInfo().value(0).ip);
        if (moved && !port2.isEmpty() && expected.at(i) == QLatin1String("0 ")) {
            QCOMPARE(ports.value(1).ip, port2.section(QLatin1Char(';'), 0, 0));
            QCOMPARE(ports.value(0).gateway, port1.section(QLatin1Char(';'), 2, 2));
        }
    }
}

void NetworkBackendTest::changeFindsAnotherDevice()
{
    // Device 0 leaves its address and device 1 takes it, unseen by the back-end.
    Rig rig;
    rig.round();
    EmulatedNetwork &network = *rig.network;
    const QString mac = network.info(0).deviceCommMac();
    const quint32 held = network.toModel(0, network.address(0));
    const QString mask = network.info(0).networkInfo().value(0).subnetMask;
    QSignalSpy moves(&network, &EmulatedNetwork::changeAnswered);
    network.requestChange(0, 0, held + 200, mask, 0);
    spin(5000, [&] { return moves.size() == 1; });
    network.requestChange(1, 0, held, mask, 0);
    spin(5000, [&] { return moves.size() == 2; });
    QCOMPARE(moves.value(0).value(1).toInt() + moves.value(1).value(1).toInt(), int(IpSetSuccess));
    const QString taken = network.configuredAddress(1);
    QCOMPARE(network.deviceAt(network.address(1)), 1);
    LogCapture log;
    ZVR::BLL::MacScan::getInstance()->setDeviceNetworkInfo(
        mac, QStringLiteral("127.168.9.10;255.255.255.0;127.168.9.1"), QString(), QStringLiteral("42"));
    spin(5000, [&] { return !rig.outcomes.isEmpty(); });
    QCOMPARE(rig.outcomes.size(), 1);
    QCOMPARE(QStringLiteral("%1 %2 %3")
                 .arg(rig.outcomes.first().commMac)
                 .arg(rig.outcomes.first().result)
                 .arg(rig.outcomes.first().failure),
        mac + QStringLiteral(" 999 该地址上已不是所选设备，未发送修改"));
    QCOMPARE(network.configuredAddress(1), taken);
    QCOMPARE(network.configuredAddress(0), formatAddress(network.toNetwork(held + 200)));
    QStringList lines;
    for (const CapturedMessage &line : log.lines()) {
        lines << line.text;
    }
    QCOMPARE(lines.filter(QStringLiteral("answers as")),
        QStringList(QStringLiteral("change of %1: %2 answers as %3; nothing sent")
                        .arg(mac, formatAddress(network.address(1)), network.info(1).deviceCommMac())));
    // Nobody to check with: nothing sent either, and so known not done.
    rig.service.reset();
    rig.outcomes.clear();
    ZVR::BLL::MacScan::getInstance()->setDeviceNetworkInfo(network.info(2).deviceCommMac(),
        QStringLiteral("127.168.9.10;255.255.255.0;127.168.9.1"), QString(), QStringLiteral("43"));
    spin(5000, [&] { return !rig.outcomes.isEmpty(); });
    QCOMPARE(rig.outcomes.value(0).failure, QStringLiteral("未能核对该地址上的设备，未发送修改"));
}

void NetworkBackendTest::badInput_data()
{
    QTest::addColumn<QString>("datagram");
    QTest::addColumn<QString>("http");
    // The one line the back-end logs; %1 stands for the fake device's service address.
    QTest::addColumn<QString>("line");
    const QString failed = QStringLiteral("GetNetworkInterfaces of http://%1/onvif/device_service failed: ");
    QTest::newRow("not our probe") << "stray"
                                   << ""
                                   << "ProbeMatches from 127.0.0.1:%2 answer no probe of ours; dropped";
    QTest::newRow("over 8 KB") << "huge"
                               << ""
                               << "datagram from 127.0.0.1:%2 over 8192 bytes dropped";
    QTest::newRow("not XML")
        << "garbage"
        << ""
        << "datagram from 127.0.0.1:%2 dropped: not well-formed XML: Start tag expected.";
    QTest::newRow("a computer")
        << "computer"
        << ""
        << "urn:uuid:0993e9f6-9e3a-5afd-9ae7-1db64ea651b0 from 127.0.0.1:%2 is no network "
           "video device; ignored";
    QTest::newRow("another host speaks")
        << "elsewhere"
        << ""
        << "urn:uuid:0993e9f6-9e3a-5afd-9ae7-1db64ea651b0 from 127.0.0.1:%2 names a service at 127.0.0.2; "
           "dropped";
    QTest::newRow("nobody there") << "match"
                                  << "closed" << failed + QStringLiteral("Connection refused");
    QTest::newRow("never answers") << "match"
                                   << "silent" << failed + QStringLiteral("no answer within 500 ms");
    QTest::newRow("slow") << "match"
                          << "slow" << failed + QStringLiteral("no answer within 500 ms");
    QTest::newRow("huge") << "match"
                          << "huge" << failed + QStringLiteral("an answer over 65536 bytes");
    QTest::newRow("huge, no length") << "match"
                                     << "huge, no length"
                                     << failed + QStringLiteral("an answer over 65536 bytes");
    QTest::newRow("redirect") << "match"
                              << "redirect" << failed + QStringLiteral("HTTP status 302");
    QTest::newRow("HTTP error") << "match"
                                << "error" << failed + QStringLiteral("HTTP status 503");
    QTest::newRow("served elsewhere")
        << "match"
        << "served elsewhere"
        << "urn:uuid:0993e9f6-9e3a-5afd-9ae7-1db64ea651b0 serves at 127.0.0.1, which none of its interfaces "
           "holds; not listed";
    QTest::newRow("no interfaces")
        << "match"
        << "no interfaces"
        << "urn:uuid:0993e9f6-9e3a-5afd-9ae7-1db64ea651b0 names no interface with a MAC "
           "address; not listed";
}

void NetworkBackendTest::badInput()
{
    QFETCH(QString, datagram);
    QFETCH(QString, http);
    QFETCH(QString, line);
    FakeDevice device(http);
    if (http == QLatin1String("closed")) {
        device.server.close();
    }
    device.answers = [&](const QString &id) -> QVector<QByteArray> {
        if (datagram == QLatin1String("stray")) {
            return { device.match(QStringLiteral("urn:uuid:not-ours")) };
        } else if (datagram == QLatin1String("huge")) {
            return { device.match(id).replace(
                "<d:Scopes>", QByteArray(QByteArray(8200, ' ') + "<d:Scopes>")) };
        } else if (datagram == QLatin1String("garbage")) {
            return { QByteArray("\x00\x01garbage", 9) };
        } else if (datagram == QLatin1String("elsewhere")) {
            return { device.match(id).replace("http://127.0.0.1", "http://127.0.0.2") };
        } else if (datagram == QLatin1String("computer")) {
            return { device.match(id, "pub:Computer") };
        }
        return { device.match(id), device.match(id) }; // the repeat is heard once
    };
    NetworkBackend backend;
    backend.setDirectedTarget(QHostAddress::LocalHost, device.udp.localPort());
    backend.setProbeWait(200);
    backend.setReadTimeout(500);
    int reports = 0;
    connect(&backend, &ScanBackend::deviceReported, &backend, [&reports] { ++reports; });
    QSignalSpy rounds(&backend, &ScanBackend::roundFinished);
    LogCapture log;
    QElapsedTimer clock;
    clock.start();
    backend.startRound();
    spin(5000, [&] { return !rounds.isEmpty(); });
    QCOMPARE(rounds.size(), 1);
    QVERIFY(clock.elapsed() < 1500);
    QCOMPARE(reports, 0);
    QStringList lines;
    for (const CapturedMessage &message : log.lines()) {
        if (message.category == QLatin1String("zvr.netscan")) {
            lines << message.text;
        }
    }
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device.server.serverPort());
    QCOMPARE(lines,
        QStringList(QString(line)
                        .replace(QLatin1String("%1"), address)
                        .replace(QLatin1String("%2"), QString::number(device.udp.localPort()))));
}

QTEST_GUILESS_MAIN(NetworkBackendTest)
