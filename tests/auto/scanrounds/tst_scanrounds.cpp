// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// The record and the table reuse what they hold between scan rounds; whatever a round
// leaves behind, the next must give exactly the values, signals and log lines of a fresh start.

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>

#include "ipv4reference.h"
#include "logcapture.h"

#include <QtTest>

#include <algorithm>
#include <vector>

using Ports = QVector<t_device_network_info>;
using DevicePtr = QSharedPointer<DeviceData>;
Q_DECLARE_METATYPE(Ports)

class tst_ScanRounds : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void recordSignal()
    {
        m_emitted << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name());
    }

private Q_SLOTS:
    void portsAcrossRounds_data();
    void portsAcrossRounds();
    void rowsAcrossRounds_data();
    void rowsAcrossRounds();

private:
    QStringList m_emitted;
};

namespace {

t_device_network_info port(int id, const char *mac, const char *ip, const char *mask = "255.255.255.0",
    const char *gateway = "10.0.0.1")
{
    return { id, mac, ip, mask, gateway, 7 };
}

// Every field of every port as one text; also a deep copy, immune to writes into a shared array.
QString describe(const Ports &ports)
{
    QString text;
    for (const t_device_network_info &p : ports) {
        text += QStringLiteral("%1 %2 %3 %4 %5 %6;")
                    .arg(p.id)
                    .arg(p.mac, p.ip, p.subnetMask, p.gateway)
                    .arg(p.ipInt);
    }
    return text;
}

} // namespace

void tst_ScanRounds::portsAcrossRounds_data()
{
    QTest::addColumn<QVector<Ports>>("rounds");

    const Ports two { port(0, "00:1A:7C:00:00:01", "10.0.0.5"), port(1, "00:1A:7C:00:00:02", "172.16.0.5") };
    const Ports twoMoved { port(2, "00:1A:7C:00:00:11", "10.0.4.5", "255.255.252.0", "10.0.4.1"),
        port(3, "00:1A:7C:00:00:12", "172.16.4.5", "255.255.0.0", "172.16.0.1") };
    const Ports twoBad { port(0, "00:1A:7C:00:00:01", "10.0.0"), port(1, "00:1A:7C:00:00:02", "1.2.3.4.5") };
    const Ports one { port(0, "00:1A:7C:00:00:01", "10.0.0.5") };
    const Ports three { port(0, "a", "1.1.1.1"), port(1, "b", "2.2.2.2"), port(2, "c", "-1.0.0.300") };

    QTest::addRow("same ports again") << QVector<Ports> { two, two, two };
    QTest::addRow("same count, every field new") << QVector<Ports> { two, twoMoved, two };
    QTest::addRow("same count, bad addresses") << QVector<Ports> { two, twoBad, twoBad, two };
    QTest::addRow("fewer, then more") << QVector<Ports> { two, one, two, three, one };
    QTest::addRow("none between") << QVector<Ports> { two, Ports(), two, Ports(), Ports() };
}

// Each round leaves the given ports with their own address integers, warns once per bad
// address in port order, signals all eight port properties, and changes neither the
// caller's vector nor a copy taken earlier.
void tst_ScanRounds::portsAcrossRounds()
{
    QFETCH(QVector<Ports>, rounds);

    DeviceData device;
    const QStringList portSignals { "macChanged", "ipChanged", "subnetMaskChanged", "gatewayChanged",
        "mac2Changed", "ip2Changed", "subnetMask2Changed", "gateway2Changed" };
    const QMetaMethod record = metaObject()->method(metaObject()->indexOfSlot("recordSignal()"));
    for (const QString &name : portSignals) {
        const int index = DeviceData::staticMetaObject.indexOfSignal(qPrintable(name + QStringLiteral("()")));
        connect(&device, DeviceData::staticMetaObject.method(index), this, record);
    }

    for (const Ports &given : std::as_const(rounds)) {
        const QString givenBefore = describe(given);
        const Ports earlier = device.networkInfo();
        const QString earlierBefore = describe(earlier);
        Ports expected = given;
        QStringList warnings;
        {
            LogCapture reference;
            for (t_device_network_info &p : expected) {
                p.ipInt = IPV4StringToIntegerReference(p.ip);
            }
            for (const CapturedMessage &line : reference.lines()) {
                warnings << QStringLiteral("%1 %2").arg(line.type).arg(line.text);
            }
        }

        m_emitted.clear();
        LogCapture cap;
        device.setNetworkInfo(given);
        QStringList logged;
        for (const CapturedMessage &line : cap.lines()) {
            logged << QStringLiteral("%1 %2").arg(line.type).arg(line.text);
        }
        QCOMPARE(describe(device.networkInfo()), describe(expected));
        QCOMPARE(logged, warnings);
        QCOMPARE(m_emitted, portSignals);
        QCOMPARE(describe(given), givenBefore);
        QCOMPARE(describe(earlier), earlierBefore);
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

// Appending, removing and appending again: the table refuses exactly the devices it holds,
// whatever rows came and went before, and keeps the order of appending.
void tst_ScanRounds::rowsAcrossRounds()
{
    QFETCH(int, count);
    QFETCH(int, removeEvery);

    DeviceTableModel model;
    std::vector<DevicePtr> devices;
    std::generate_n(std::back_inserter(devices), count, [] { return DevicePtr::create(); });
    for (int round = 0; round < 3; ++round) {
        LogCapture cap;
        for (const DevicePtr &device : devices) {
            QVERIFY(model.appendDevice(device));
        }
        int refused = 0;
        for (size_t i = 0; i < devices.size(); i += 97, ++refused) {
            QVERIFY(!model.appendDevice(devices[i]));
        }
        QVERIFY(!model.appendDevice(DevicePtr(devices.back())));
        QCOMPARE(cap.lines().size(), refused + 1);
        for (const CapturedMessage &line : cap.lines()) {
            QVERIFY(line.type == QtInfoMsg
                && line.text.startsWith("DeviceTableModel::appendDevice device has exist"));
        }

        std::vector<DevicePtr> kept;
        for (int i = 0; i < count; ++i) {
            const DevicePtr &device = devices[size_t(i)];
            if (i % removeEvery == 0) {
                QVERIFY(model.removeDevice(device));
                QVERIFY(!model.removeDevice(device));
            } else {
                kept.push_back(device);
            }
        }
        QCOMPARE(model.rowCount(), int(kept.size()));
        for (int row = 0; row < model.rowCount(); row += 13) {
            QCOMPARE(model.data(model.index(row, 0), Qt::UserRole).value<DeviceData *>(),
                kept[size_t(row)].data());
        }
        for (const DevicePtr &device : kept) {
            QVERIFY(!model.appendDevice(device));
        }
        for (int i = 0; i < count; i += removeEvery) {
            QVERIFY(model.appendDevice(devices[size_t(i)]));
            QVERIFY(!model.appendDevice(devices[size_t(i)]));
        }
        QCOMPARE(model.rowCount(), count);
        model.clear();
    }
}

QTEST_GUILESS_MAIN(tst_ScanRounds)
#include "tst_scanrounds.moc"
