// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Feeds a device table with scan rounds the way the tool does for days on end: a
// population that grows and then stays, a MAC-scan report for every device each round,
// UDP reports, status flips, rows that leave while a device is away and come back, checks
// and reads. The heap in use is sampled every so many rounds; once the population is
// stable it must not grow.

#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/reportupdate.h>

#include "heapslope.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSharedPointer>
#include <QVector>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using DevicePtr = QSharedPointer<DeviceData>;

struct Options
{
    int devices = 10000;
    int rounds = 1000;
    int sampleEvery = 100;
    int growRounds = 20;
    // Growth allowed once the population is stable, in bytes per sampling interval.
    qint64 tolerance = 2048;
};

// What the back-end knows of one device; the record itself is kept once per device.
struct SimulatedDevice
{
    DevicePtr record;
    int ports = 1;
    bool offline = false;
    int malfunction = 0;
    int awayRounds = 0;
    bool inTable = false;
};

bool parse(int argc, char **argv, Options *options)
{
    for (int i = 1; i < argc; ++i) {
        const auto value = [&](qint64 *out) { return positiveArgument(argc, argv, &i, out); };
        qint64 v = 0;
        if (std::strcmp(argv[i], "--devices") == 0 && value(&v)) {
            options->devices = int(v);
        } else if (std::strcmp(argv[i], "--rounds") == 0 && value(&v)) {
            options->rounds = int(v);
        } else if (std::strcmp(argv[i], "--sample-every") == 0 && value(&v)) {
            options->sampleEvery = int(v);
        } else if (std::strcmp(argv[i], "--grow-rounds") == 0 && value(&v)) {
            options->growRounds = int(v);
        } else if (std::strcmp(argv[i], "--tolerance") == 0 && value(&v)) {
            options->tolerance = v;
        } else {
            std::fprintf(stderr,
                "usage: %s [--devices N] [--rounds N] [--sample-every N] [--grow-rounds N] "
                "[--tolerance BYTES]\n",
                argv[0]);
            return false;
        }
    }
    return options->sampleEvery <= options->rounds && options->growRounds < options->sampleEvery;
}

// Texts are built afresh for every report, as a back-end decoding packets would.
MacScanDeviceInfo macReport(int id, const SimulatedDevice &sim)
{
    MacScanDeviceInfo info;
    info.setDeviceModel(QStringLiteral("ZV-%1").arg(id % 7 + 100));
    info.setNodeType(static_cast<NodeType>(id % 5));
    info.setDeviceSN(QStringLiteral("SN%1").arg(id, 8, 10, QLatin1Char('0')));
    QVector<t_device_network_info> ports;
    for (int p = 0; p < sim.ports; ++p) {
        t_device_network_info port;
        port.id = p;
        port.mac = QStringLiteral("02:00:%1:%2:%3:0%4")
                       .arg((id >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
                       .arg((id >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
                       .arg(id & 0xFF, 2, 16, QLatin1Char('0'))
                       .arg(p);
        port.ip = QStringLiteral("10.%1.%2.%3").arg(p).arg((id >> 8) & 0xFF).arg(id & 0xFF);
        port.subnetMask = QStringLiteral("255.255.0.0");
        port.gateway = QStringLiteral("10.%1.0.1").arg(p);
        ports.append(port);
    }
    info.setNetworkInfo(ports);
    info.setMalfunction(sim.malfunction);
    info.setOffline(sim.offline);
    return info;
}

MacScanDeviceInfo udpReport(int id, int round)
{
    MacScanDeviceInfo info;
    info.setName(QStringLiteral("device-%1").arg(id));
    info.setSubNodeType(static_cast<SubNodeType>(id % 4));
    info.setFirmwareVer(QStringLiteral("V1.%1.%2").arg(round % 3).arg(id % 10));
    info.setRunMode(static_cast<DeviceRunMode>(id % 3));
    info.setDevTime(QStringLiteral("2026-01-01 %1:%2:%3")
                        .arg(round / 3600 % 24, 2, 10, QLatin1Char('0'))
                        .arg(round / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(round % 60, 2, 10, QLatin1Char('0')));
    info.setCallRollState(round % 2);
    return info;
}

void silent(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, &options)) {
        return 2;
    }
    // The table's info lines (clear, checkAllDevice) would only fill the terminal.
    qInstallMessageHandler(silent);
    QCoreApplication app(argc, argv);

    QRandomGenerator random(20260101);
    DeviceTableModel table;
    QVector<SimulatedDevice> sims(options.devices);
    const int newPerRound = (options.devices + options.growRounds - 1) / options.growRounds;
    int known = 0;

    QVector<qint64> samples;
    std::printf("%d devices, %d rounds, heap sampled every %d rounds\n", options.devices, options.rounds,
        options.sampleEvery);

    for (int round = 1; round <= options.rounds; ++round) {
        // New devices are found during the first rounds; after that the population stays.
        for (int n = 0; n < newPerRound && known < options.devices; ++n, ++known) {
            SimulatedDevice &sim = sims[known];
            sim.record = DevicePtr::create();
            sim.ports = 1 + known % 2;
            sim.record->update(macReport(known, sim), ZVR::FirstReport);
            sim.record->update(udpReport(known, round), ZVR::UdpReport);
            sim.inTable = table.appendDevice(sim.record);
        }

        for (int id = 0; id < known; ++id) {
            SimulatedDevice &sim = sims[id];
            // A few devices drop off or report a fault each round; most come back soon.
            const quint32 roll = random.bounded(1000u);
            if (sim.offline) {
                sim.offline = roll >= 200;
            } else if (roll < 3) {
                sim.offline = true;
            } else if (roll < 8) {
                sim.malfunction = sim.malfunction ? 0 : int(1 + random.bounded(3u));
            }
            sim.record->update(macReport(id, sim), ZVR::MacScanReport);
            if ((id + round) % 5 == 0) {
                sim.record->update(udpReport(id, round), ZVR::UdpReport);
            }
            // A device away for a while leaves the table and comes back when it reappears.
            sim.awayRounds = sim.offline ? sim.awayRounds + 1 : 0;
            if (sim.inTable && sim.awayRounds > 3) {
                sim.inTable = !table.removeDevice(sim.record);
            } else if (!sim.inTable && !sim.offline) {
                sim.inTable = table.appendDevice(sim.record);
            }
        }

        // The operator checks a few rows, reads some cells and, now and then, checks all.
        const int rows = table.rowCount();
        for (int i = 0; i < 10 && rows > 0; ++i) {
            const int row = int(random.bounded(quint32(rows)));
            table.checkDevice(row, random.bounded(2u) == 1);
            const QModelIndex index = table.index(row, int(random.bounded(quint32(table.columnCount()))));
            DeviceData *const device
                = table.data(index, Qt::UserRole + DeviceTableModel::ColName).value<DeviceData *>();
            if (!device || device->name().isEmpty()) {
                std::fprintf(stderr, "round %d: row %d has no device\n", round, row);
                return 1;
            }
        }
        if (round % 50 == 0) {
            table.checkAllDevice();
        }
        table.allCheckType();

        if (round % options.sampleEvery == 0) {
            const qint64 heap = heapInUse();
            samples.append(heap);
            std::printf("round %5d  rows %6d  heap in use %12lld bytes\n", round, table.rowCount(),
                static_cast<long long>(heap));
            std::fflush(stdout);
        }
    }

    if (samples.isEmpty() || samples.first() == 0) {
        std::fprintf(stderr, "no heap figures: the allocator does not report them\n");
        return 1;
    }
    const double perInterval = heapSlope(samples);
    std::printf("heap slope %.1f bytes per %d rounds (%.4f bytes per round), first %lld, last %lld\n",
        perInterval, options.sampleEvery, perInterval / options.sampleEvery,
        static_cast<long long>(samples.first()), static_cast<long long>(samples.last()));
    if (perInterval > double(options.tolerance)) {
        std::fprintf(stderr, "FAIL: the heap grows by %.1f bytes per %d rounds (tolerance %lld)\n",
            perInterval, options.sampleEvery, static_cast<long long>(options.tolerance));
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
