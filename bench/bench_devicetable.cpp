// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "baselines.h"
#include "benchcases.h"
#include "timing.h"
#include "ipv4reference.h"
#include "workload.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/ipaddresshelper.h>
#include <zvrviewmodel/reportupdate.h>

#include <QLoggingCategory>
#include <QSharedPointer>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <time.h>

#include <map>
#include <memory>
#include <string>

// Every case times only the operation (manual time) and checks the tables before and
// after it; a wrong result stops the case with an error instead of a number.

namespace {

const int Sizes[] = { 1000, 10000, 100000 };

enum class Reports { First, Again, Churned };

// Each set is built once per size and kept for the whole run.
const std::vector<MacScanDeviceInfo> &reportSet(Reports which, int count)
{
    static std::map<std::pair<int, int>, std::vector<MacScanDeviceInfo>> cache;
    const auto key = std::make_pair(static_cast<int>(which), count);
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache
                 .emplace(key,
                     which == Reports::Churned ? Workload::churnedReports(count) : Workload::reports(count))
                 .first;
    }
    return it->second;
}

using Timing::timed;

// Seconds per device, averaged over iterations; the summary reads this counter.
void perDevice(benchmark::State &state, int count)
{
    state.counters["per_device"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

bool fail(benchmark::State &state, const char *what)
{
    state.SkipWithError(what);
    return false;
}

// Turns debug output of the "default" category on or off for one case.
class DebugOutput
{
public:
    explicit DebugOutput(bool on)
    {
        QLoggingCategory::setFilterRules(
            on ? QStringLiteral("default.debug=true") : QStringLiteral("default.debug=false"));
    }
    ~DebugOutput() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    DebugOutput(const DebugOutput &) = delete;
    DebugOutput &operator=(const DebugOutput &) = delete;
};

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// ---- the three tables behind one face ----

/*! The library: one DeviceData per device, appended to a DeviceTableModel. The tool's
 *  own handles are kept beside the model, as the tool keeps them to apply later reports. */
struct LibraryImpl
{
    static constexpr const char *name = "library";

    DeviceTableModel model;
    std::vector<QSharedPointer<DeviceData>> devices;
    bool refused = false;

    void append(const MacScanDeviceInfo &info)
    {
        const QSharedPointer<DeviceData> device = QSharedPointer<DeviceData>::create();
        device->update(info, ZVR::FirstReport);
        refused |= !model.appendDevice(device);
        devices.push_back(device);
    }
    void update(int row, const MacScanDeviceInfo &info, int mode)
    {
        devices[static_cast<size_t>(row)]->update(info, mode);
    }
    int rowCount() const { return model.rowCount(); }
    bool matches(int row, const MacScanDeviceInfo &info) const
    {
        const DeviceData &d = *devices[static_cast<size_t>(row)];
        const QVector<t_device_network_info> ports = info.networkInfo();
        const int status = info.isOffline() ? 1 : (info.malfunction() == 0 ? 0 : 2);
        return !refused && d.serialNumber() == info.deviceSN() && d.name() == info.name()
            && d.ip() == ports.at(0).ip && d.networkIpInt(0) == IPV4StringToIntegerReference(ports.at(0).ip)
            && d.networkIpInt(1) == IPV4StringToIntegerReference(ports.at(1).ip) && d.devStatus() == status
            && d.malfunctionVal() == info.malfunction() && d.commMac() == info.deviceCommMac();
    }
    int readAll() const
    {
        int valid = 0;
        const int rows = model.rowCount();
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < ValuesPerRow; ++column) {
                // The operate column has a role but lies outside columnCount.
                const QModelIndex index
                    = model.index(row, column < DeviceTableModel::ColOperate ? column : 0);
                valid += model.data(index, Qt::UserRole + column).isValid();
            }
        }
        return valid;
    }
    void checkAll() { model.checkAllDevice(); }
    int checkType() { return model.allCheckType(); }
    void uncheckAll()
    {
        for (const QSharedPointer<DeviceData> &device : devices) {
            device->setChecked(false);
        }
    }
};

struct ItemModelImpl
{
    static constexpr const char *name = "itemmodel";

    ItemModelTable table;

    void append(const MacScanDeviceInfo &info) { table.append(info); }
    void update(int row, const MacScanDeviceInfo &info, int mode) { table.update(row, info, mode); }
    int rowCount() const { return table.rowCount(); }
    bool matches(int row, const MacScanDeviceInfo &info) const
    {
        const QVector<t_device_network_info> ports = info.networkInfo();
        const int status = info.isOffline() ? 1 : (info.malfunction() == 0 ? 0 : 2);
        return table.cell(row, 15).toString() == info.deviceSN()
            && table.cell(row, 2).toString() == info.name()
            && table.cell(row, 17).toString() == ports.at(0).ip && table.cell(row, 7).toInt() == status;
    }
    int readAll() const
    {
        int valid = 0;
        const int rows = table.rowCount();
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < ValuesPerRow; ++column) {
                valid += table.cell(row, column).isValid();
            }
        }
        return valid;
    }
    void checkAll() { table.checkAllOnline(); }
    int checkType() { return table.checkType(); }
    void uncheckAll() { table.uncheckAll(); }
};

struct FloorImpl
{
    static constexpr const char *name = "floor";

    FloorTable table;

    void append(const MacScanDeviceInfo &info) { table.append(info); }
    void update(int row, const MacScanDeviceInfo &info, int mode) { table.update(row, info, mode); }
    int rowCount() const { return table.rowCount(); }
    bool matches(int row, const MacScanDeviceInfo &info) const
    {
        const FloorDevice &d = table.row(row);
        const QVector<t_device_network_info> ports = info.networkInfo();
        const int status = info.isOffline() ? 1 : (info.malfunction() == 0 ? 0 : 2);
        return d.serialNumber == info.deviceSN() && d.name == info.name()
            && d.networkInfo.at(0).ip == ports.at(0).ip
            && d.networkInfo.at(0).ipInt == IPV4StringToIntegerReference(ports.at(0).ip)
            && d.devStatus == status;
    }
    int readAll() const
    {
        int valid = 0;
        const int rows = table.rowCount();
        for (int row = 0; row < rows; ++row) {
            for (int role = 0; role < ValuesPerRow; ++role) {
                valid += table.cell(row, Qt::UserRole + role).isValid();
            }
        }
        return valid;
    }
    void checkAll() { table.checkAllOnline(); }
    int checkType() { return table.checkType(); }
    void uncheckAll() { table.uncheckAll(); }
};

// Checks a spread of rows, first and last included, against the reports last applied.
template<typename Impl> bool matchesReports(const Impl &impl, const std::vector<MacScanDeviceInfo> &reports)
{
    const int count = static_cast<int>(reports.size());
    if (impl.rowCount() != count) {
        return false;
    }
    for (int row = 0; row < count; row += std::max(1, count / 97)) {
        if (!impl.matches(row, reports[static_cast<size_t>(row)])) {
            return false;
        }
    }
    return impl.matches(count - 1, reports.back());
}

template<typename Impl> std::unique_ptr<Impl> ingested(const std::vector<MacScanDeviceInfo> &reports)
{
    auto impl = std::make_unique<Impl>();
    for (const MacScanDeviceInfo &info : reports) {
        impl->append(info);
    }
    return impl;
}

// ---- the cases ----

// Reads every text of a report, as the back-end has just done when it hands one over.
int touch(const MacScanDeviceInfo &info)
{
    const auto last
        = [](const QString &text) { return text.isEmpty() ? 0 : text.at(text.size() - 1).unicode(); };
    int sum = last(info.deviceModel()) + last(info.deviceSN()) + last(info.name()) + last(info.firmwareVer())
        + last(info.devTime()) + last(info.deviceCommMac());
    const QVector<t_device_network_info> ports = info.networkInfo();
    for (const t_device_network_info &port : ports) {
        sum += last(port.mac) + last(port.ip) + last(port.subnetMask) + last(port.gateway);
    }
    return sum;
}

/*! Feeds reports to the work in batches and times only the work. Before each batch its
 *  reports are read once, untimed: in the tool a report is handed over right after the
 *  back-end built it, so it is in the cache at every table size, whereas a prebuilt list
 *  of 100000 reports would not be. */
template<typename Work> double timedInBatches(const std::vector<MacScanDeviceInfo> &reports, Work &&work)
{
    constexpr int Batch = 256;
    const int count = static_cast<int>(reports.size());
    double seconds = 0;
    int checksum = 0;
    for (int first = 0; first < count; first += Batch) {
        const int last = std::min(count, first + Batch);
        for (int row = first; row < last; ++row) {
            checksum += touch(reports[static_cast<size_t>(row)]);
        }
        seconds += timed([&] {
            for (int row = first; row < last; ++row) {
                work(row, reports[static_cast<size_t>(row)]);
            }
        });
    }
    benchmark::DoNotOptimize(checksum);
    return seconds;
}

template<typename Impl> void ingest(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<MacScanDeviceInfo> &reports = reportSet(Reports::First, count);
    for (auto _ : state) {
        auto impl = std::make_unique<Impl>();
        if (impl->rowCount() != 0) {
            fail(state, "table not empty before ingest");
            break;
        }
        state.SetIterationTime(
            timedInBatches(reports, [&impl](int, const MacScanDeviceInfo &info) { impl->append(info); }));
        if (!matchesReports(*impl, reports)) {
            fail(state, "ingested table differs from the reports");
            break;
        }
    }
    perDevice(state, count);
}

// One scan round: the MAC-scan share, then the UDP share, of every device's report.
template<typename Impl> double applyRound(Impl &impl, const std::vector<MacScanDeviceInfo> &reports)
{
    return timedInBatches(reports, [&impl](int row, const MacScanDeviceInfo &info) {
        impl.update(row, info, ZVR::MacScanReport);
        impl.update(row, info, ZVR::UdpReport);
    });
}

template<typename Impl> void rescan(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const auto impl = ingested<Impl>(reportSet(Reports::First, count));
    const std::vector<MacScanDeviceInfo> &again = reportSet(Reports::Again, count);
    for (auto _ : state) {
        if (!matchesReports(*impl, again)) {
            fail(state, "table differs from the reports before the rescan");
            break;
        }
        state.SetIterationTime(applyRound(*impl, again));
    }
    if (!matchesReports(*impl, again)) {
        fail(state, "table differs from the reports after the rescan");
    }
    perDevice(state, count);
}

// Rounds alternate between the churned reports and the plain ones, so every round
// changes a tenth of the devices.
template<typename Impl> void churn(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const auto impl = ingested<Impl>(reportSet(Reports::First, count));
    const std::vector<MacScanDeviceInfo> *rounds[]
        = { &reportSet(Reports::Churned, count), &reportSet(Reports::Again, count) };
    int round = 0;
    for (auto _ : state) {
        const std::vector<MacScanDeviceInfo> &reports = *rounds[round];
        if (!matchesReports(*impl, *rounds[1 - round])) {
            fail(state, "table differs from the previous round");
            break;
        }
        state.SetIterationTime(applyRound(*impl, reports));
        round = 1 - round;
    }
    if (!matchesReports(*impl, *rounds[1 - round])) {
        fail(state, "table differs from the last round");
    }
    perDevice(state, count);
}

template<typename Impl> void checks(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const auto impl = ingested<Impl>(reportSet(Reports::First, count));
    for (auto _ : state) {
        impl->uncheckAll();
        if (impl->checkType() != 1) {
            fail(state, "rows still checked before checking all");
            break;
        }
        int type = 0;
        state.SetIterationTime(timed([&] {
            impl->checkAll();
            type = impl->checkType();
        }));
        // Every online device checked and the rest offline: All.
        if (type != 3) {
            fail(state, "checking all did not give All");
            break;
        }
    }
    perDevice(state, count);
}

template<typename Impl> void reads(benchmark::State &state, bool debug)
{
    const int count = static_cast<int>(state.range(0));
    const auto impl = ingested<Impl>(reportSet(Reports::First, count));
    const DebugOutput output(debug);
    for (auto _ : state) {
        int valid = 0;
        state.SetIterationTime(timed([&] { valid = impl->readAll(); }));
        if (valid != count * ValuesPerRow) {
            fail(state, "a cell gave no value");
            break;
        }
    }
    perDevice(state, count);
}

// One role of every row of the device table, debug output off.
void roleCost(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const int column = static_cast<int>(state.range(1));
    const auto impl = ingested<LibraryImpl>(reportSet(Reports::First, count));
    const DebugOutput output(false);
    const DeviceTableModel &model = impl->model;
    const int role = Qt::UserRole + column;
    const int indexColumn = column < DeviceTableModel::ColOperate ? column : 0;
    for (auto _ : state) {
        int valid = 0;
        state.SetIterationTime(timed([&] {
            for (int row = 0; row < count; ++row) {
                valid += model.data(model.index(row, indexColumn), role).isValid();
            }
        }));
        if (valid != count) {
            fail(state, "a cell gave no value");
            break;
        }
    }
    state.SetLabel(model.roleNames().value(role).toStdString());
    perDevice(state, count);
}

// Heap bytes that one row keeps once its report is gone.
template<typename Impl> void memory(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    double bytesPerRow = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        std::unique_ptr<Impl> impl;
        state.SetIterationTime(timed([&] {
            const std::vector<MacScanDeviceInfo> reports = Workload::reports(count);
            impl = ingested<Impl>(reports);
        }));
        const size_t after = heapInUse();
        if (impl->rowCount() != count) {
            fail(state, "not every device was ingested");
            break;
        }
        bytesPerRow = (static_cast<double>(after) - static_cast<double>(before)) / count;
    }
    state.counters["bytes_per_row"] = bytesPerRow;
}

// The address conversion alone, over every port address of the reports: the one-pass
// conversion the library uses beside the split-and-toInt form it replaced.
void convert(benchmark::State &state, quint32 (*conversion)(const QString &))
{
    const int count = static_cast<int>(state.range(0));
    std::vector<QString> addresses;
    quint32 expected = 0;
    for (const MacScanDeviceInfo &info : reportSet(Reports::First, count)) {
        for (const t_device_network_info &port : info.networkInfo()) {
            addresses.push_back(port.ip);
            expected ^= IPV4StringToIntegerReference(port.ip);
        }
    }
    for (auto _ : state) {
        quint32 sum = 0;
        state.SetIterationTime(timed([&] {
            for (const QString &address : addresses) {
                sum ^= conversion(address);
            }
        }));
        if (sum != expected) {
            fail(state, "the conversion gave other values");
            break;
        }
    }
    state.counters["per_call"] = benchmark::Counter(static_cast<double>(addresses.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// roleNames() is cheap; calls are timed in runs of a thousand.
template<typename Model> void roleNamesOf(benchmark::State &state, const Model &model)
{
    constexpr int Calls = 1000;
    const QHash<int, QByteArray> expected = model.roleNames();
    int size = 0;
    for (auto _ : state) {
        state.SetIterationTime(timed([&] {
            for (int call = 0; call < Calls; ++call) {
                size += model.roleNames().size();
            }
        }));
    }
    if (expected.isEmpty() || model.roleNames() != expected) {
        fail(state, "roleNames changed between calls");
    }
    benchmark::DoNotOptimize(size);
    state.counters["per_call"] = benchmark::Counter(
        Calls, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void roleNames(benchmark::State &state)
{
    const DeviceTableModel model;
    roleNamesOf(state, model);
}

void roleNamesItemModel(benchmark::State &state)
{
    ItemModelTable table;
    roleNamesOf(state, table.model());
}

template<typename Impl> void registerSized(const std::string &name, void (*fn)(benchmark::State &))
{
    benchmark::internal::Benchmark *const b
        = benchmark::RegisterBenchmark((name + '/' + Impl::name).c_str(), fn);
    for (const int size : Sizes) {
        b->Arg(size);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

template<typename Impl> void registerMemory()
{
    benchmark::internal::Benchmark *const b
        = benchmark::RegisterBenchmark((std::string("memory/") + Impl::name).c_str(), &memory<Impl>);
    for (const int size : Sizes) {
        b->Arg(size);
    }
    b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

// Case by case, so that the three tables of one case run close together in time.
template<typename... Impl> void registerAll()
{
    (registerSized<Impl>("ingest", &ingest<Impl>), ...);
    (registerSized<Impl>("rescan", &rescan<Impl>), ...);
    (registerSized<Impl>("churn", &churn<Impl>), ...);
    (registerSized<Impl>("checks", &checks<Impl>), ...);
    (registerSized<Impl>("reads_debug_off", [](benchmark::State &state) { reads<Impl>(state, false); }), ...);
    (registerSized<Impl>("reads_debug_on", [](benchmark::State &state) { reads<Impl>(state, true); }), ...);
    (registerMemory<Impl>(), ...);
}

} // namespace

void registerDeviceTableCases()
{
    registerAll<LibraryImpl, ItemModelImpl, FloorImpl>();
    benchmark::internal::Benchmark *const b = benchmark::RegisterBenchmark("rolecost/library", &roleCost);
    for (int column = 0; column < ValuesPerRow; ++column) {
        b->Args({ 10000, column });
    }
    b->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(
        "convert/library", [](benchmark::State &state) { convert(state, &IPV4StringToInteger); })
        ->Arg(10000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(
        "convert/reference", [](benchmark::State &state) { convert(state, &IPV4StringToIntegerReference); })
        ->Arg(10000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("rolenames/library", &roleNames)->UseManualTime();
    benchmark::RegisterBenchmark("rolenames/itemmodel", &roleNamesItemModel)->UseManualTime();
}
