// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Scan rounds repeat the same work on the same records and rows, and the record and the
// table reuse what they hold between rounds. These tests check that whatever a round
// leaves behind, the next one still gives exactly the values, signals and log lines that
// a fresh start would.

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/ipaddresshelper.h>

#include "logcapture.h"

#include <QtTest>

#include <vector>

using Ports = QVector<t_device_network_info>;
using DevicePtr = QSharedPointer<DeviceData>;

Q_DECLARE_METATYPE(Ports)

class tst_ScanRounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portsAcrossRounds_data();
    void portsAcrossRounds();
    void rowsAcrossRounds_data();
    void rowsAcrossRounds();
};

namespace {

t_device_network_info port(int id, const char *mac, const char *ip, const char *mask = "255.255.255.0",
    const char *gateway = "10.0.0.1")
{
    t_device_network_info info;
    info.id = id;
    info.mac = QString::fromLatin1(mac);
    info.ip = QString::fromLatin1(ip);
    info.subnetMask = QString::fromLatin1(mask);
    info.gateway = QString::fromLatin1(gateway);
    info.ipInt = 7;
    return info;
}

// A copy with an array of its own, so that a write into the original's array shows.
Ports ownCopy(const Ports &ports)
{
    Ports copy;
    for (const t_device_network_info &p : ports) {
        copy.append(p);
    }
    return copy;
}

bool samePorts(const Ports &a, const Ports &b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].mac != b[i].mac || a[i].ip != b[i].ip
            || a[i].subnetMask != b[i].subnetMask || a[i].gateway != b[i].gateway
            || a[i].ipInt != b[i].ipInt) {
            return false;
        }
    }
    return true;
}

const QStringList PortSignals { QStringLiteral("mac"), QStringLiteral("ip"), QStringLiteral("subnetMask"),
    QStringLiteral("gateway"), QStringLiteral("mac2"), QStringLiteral("ip2"), QStringLiteral("subnetMask2"),
    QStringLiteral("gateway2") };

} // namespace

void tst_ScanRounds::portsAcrossRounds_data()
{
    QTest::addColumn<QVector<Ports>>("rounds");

    const Ports two { port(0, "00:1A:7C:00:00:01", "10.0.0.5"), port(1, "00:1A:7C:00:00:02", "172.16.0.5") };
    // Every field differs from two's.
    const Ports twoMoved { port(2, "00:1A:7C:00:00:11", "10.0.4.5", "255.255.252.0", "10.0.4.1"),
        port(3, "00:1A:7C:00:00:12", "172.16.4.5", "255.255.0.0", "172.16.0.1") };
    const Ports twoBad { port(0, "00:1A:7C:00:00:01", "10.0.0"), port(1, "00:1A:7C:00:00:02", "1.2.3.4.5") };
    const Ports one { port(0, "00:1A:7C:00:00:01", "10.0.0.5") };
    const Ports three { port(0, "a", "1.1.1.1"), port(1, "b", "2.2.2.2"), port(2, "c", "-1.0.0.300") };

    QTest::addRow("same ports again") << QVector<Ports> { two, two, two };
    QTest::addRow("same count, new texts") << QVector<Ports> { two, twoMoved, two };
    QTest::addRow("same count, bad addresses") << QVector<Ports> { two, twoBad, twoBad, two };
    QTest::addRow("fewer, then more") << QVector<Ports> { two, one, two, three, one };
    QTest::addRow("none between") << QVector<Ports> { two, Ports(), two, Ports(), Ports() };
}

// Each round must leave the given ports with their own address integers and warn once per
// bad address, in port order; neither the caller's vector nor a copy taken earlier changes.
void tst_ScanRounds::portsAcrossRounds()
{
    QFETCH(QVector<Ports>, rounds);

    DeviceData device;
    QStringList emitted;
    const QList<QPair<void (DeviceData::*)(), QString>> signalNames { { &DeviceData::macChanged,
                                                                          PortSignals.at(0) },
        { &DeviceData::ipChanged, PortSignals.at(1) }, { &DeviceData::subnetMaskChanged, PortSignals.at(2) },
        { &DeviceData::gatewayChanged, PortSignals.at(3) }, { &DeviceData::mac2Changed, PortSignals.at(4) },
        { &DeviceData::ip2Changed, PortSignals.at(5) },
        { &DeviceData::subnetMask2Changed, PortSignals.at(6) },
        { &DeviceData::gateway2Changed, PortSignals.at(7) } };
    for (const auto &entry : signalNames) {
        const QString name = entry.second;
        connect(&device, entry.first, this, [&emitted, name] { emitted << name; });
    }

    for (int r = 0; r < rounds.size(); ++r) {
        const Ports given = rounds.at(r);
        const Ports givenBefore = ownCopy(given);
        const Ports earlier = device.networkInfo();
        const Ports earlierBefore = ownCopy(earlier);

        Ports expected = given;
        QStringList warnings;
        {
            LogCapture reference;
            for (t_device_network_info &p : expected) {
                p.ipInt = IPV4StringToIntegerReference(p.ip);
            }
            for (const CapturedMessage &line : reference.lines()) {
                warnings << line.text;
            }
        }

        emitted.clear();
        LogCapture cap;
        device.setNetworkInfo(given);
        QStringList logged;
        for (const CapturedMessage &line : cap.lines()) {
            QCOMPARE(line.type, QtWarningMsg);
            logged << line.text;
        }

        QVERIFY2(samePorts(device.networkInfo(), expected), qPrintable(QStringLiteral("round %1").arg(r)));
        QCOMPARE(logged, warnings);
        QCOMPARE(emitted, PortSignals);
        QVERIFY(samePorts(given, givenBefore));
        QVERIFY(samePorts(earlier, earlierBefore));
        QCOMPARE(device.ethernetPortNumber(), expected.size());
        QCOMPARE(device.ip(), expected.isEmpty() ? QString() : expected.at(0).ip);
        QCOMPARE(device.mac2(), expected.size() < 2 ? QString() : expected.at(1).mac);
        for (int i = -1; i <= expected.size(); ++i) {
            QCOMPARE(device.networkIpInt(i), i >= 0 && i < expected.size() ? expected.at(i).ipInt : 0u);
        }
    }
}

void tst_ScanRounds::rowsAcrossRounds_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("removeEvery");

    QTest::addRow("small table, remove all") << 10 << 1;
    QTest::addRow("thousands, remove every other") << 3000 << 2;
    QTest::addRow("thousands, remove every seventh") << 5000 << 7;
}

// Appending, removing and appending again many times: the table must refuse exactly the
// devices it holds, whatever rows came and went before, and keep the order of appending.
void tst_ScanRounds::rowsAcrossRounds()
{
    QFETCH(int, count);
    QFETCH(int, removeEvery);

    DeviceTableModel model;
    std::vector<DevicePtr> devices;
    for (int i = 0; i < count; ++i) {
        devices.push_back(DevicePtr::create());
    }

    for (int round = 0; round < 3; ++round) {
        LogCapture cap;
        for (const DevicePtr &device : devices) {
            model.appendDevice(device);
        }
        QCOMPARE(model.rowCount(), count);
        // Everything is in the table now: every second append is refused with one line each.
        int refused = 0;
        for (int i = 0; i < count; i += 97) {
            QVERIFY(!model.appendDevice(devices[static_cast<size_t>(i)]));
            ++refused;
        }
        QVERIFY(!model.appendDevice(DevicePtr(devices.back())));
        ++refused;
        int infoLines = 0;
        for (const CapturedMessage &line : cap.lines()) {
            infoLines += line.type == QtInfoMsg
                && line.text.startsWith(QLatin1String(
                    "DeviceTableModel::appendDevice device has exist in display list, dev info "));
        }
        QCOMPARE(infoLines, refused);

        // Remove some rows, then check that exactly those can come back.
        std::vector<DevicePtr> kept;
        for (int i = 0; i < count; ++i) {
            const DevicePtr &device = devices[static_cast<size_t>(i)];
            if (i % removeEvery == 0) {
                QVERIFY(model.removeDevice(device));
                QVERIFY(!model.removeDevice(device));
            } else {
                kept.push_back(device);
            }
        }
        QCOMPARE(model.rowCount(), static_cast<int>(kept.size()));
        for (int row = 0; row < model.rowCount(); row += 13) {
            QCOMPARE(model.data(model.index(row, 0), Qt::UserRole).value<DeviceData *>(),
                kept[static_cast<size_t>(row)].data());
        }
        for (const DevicePtr &device : kept) {
            QVERIFY(!model.appendDevice(device));
        }
        for (int i = 0; i < count; i += removeEvery) {
            QVERIFY(model.appendDevice(devices[static_cast<size_t>(i)]));
            QVERIFY(!model.appendDevice(devices[static_cast<size_t>(i)]));
        }
        QCOMPARE(model.rowCount(), count);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
}

QTEST_GUILESS_MAIN(tst_ScanRounds)
#include "tst_scanrounds.moc"
