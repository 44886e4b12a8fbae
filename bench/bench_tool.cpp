// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "benchcases.h"
#include "timing.h"

#include "devicefinder.h"
#include "simulatednetwork.h"
#include "nodelistmodel.h"

#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QCoreApplication>

#include <benchmark/benchmark.h>

// A whole scan round through the device finder's own objects, without a window: the
// simulated network reports every device, the table and its records take the reports,
// the sorted proxy, the node list and the check state follow.
namespace {

void toolRound(benchmark::State &state, bool withProxy)
{
    const int count = int(state.range(0));
    SimulatedNetwork network;
    network.setNetwork(Simulation::DefaultSeed, count);
    DeviceFinder finder(&network);
    finder.restart();
    finder.sortModel()->sortByColumn(DeviceTableModel::ColName, ZVRSortButton::Ascend);
    if (!withProxy) {
        finder.sortModel()->setSourceModel(nullptr);
    }
    const auto round = [&finder] {
        finder.scan(1);
        finder.sortModel()->refresh();
        QCoreApplication::processEvents();
    };
    // Devices show up over the first three rounds; the timed rounds are the steady state.
    for (int i = 0; i < 3; ++i) {
        round();
    }
    for (auto _ : state) {
        state.SetIterationTime(Timing::timed(round));
    }
    const int rows = finder.deviceModel()->rowCount();
    if (rows < count / 2 || finder.sortModel()->rowCount() != (withProxy ? rows : 0)
        || finder.nodeModel()->rowCount() == 0 || finder.tableCount() != rows) {
        state.SkipWithError("the round lost devices");
    }
    state.counters["per_device"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

void registerToolCases()
{
    benchmark::RegisterBenchmark("tool_round/library", &toolRound, true)
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    // The same round with the sorted proxy taken off: what the proxy's own share is.
    benchmark::RegisterBenchmark("tool_round/without_proxy", &toolRound, false)
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
