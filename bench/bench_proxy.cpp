// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "benchcases.h"
#include "timing.h"
#include "workload.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/reportupdate.h>

#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <memory>

// The sort/filter proxy over the device table beside what a Qt developer would otherwise
// write: a QSortFilterProxyModel with dynamic sorting over a QStandardItemModel that
// holds the same name, address and status (its setData emits dataChanged).
namespace {

constexpr int Sizes[] = { 1000, 10000, 100000 };
enum Column { Name, Address, Status };

using Timing::timed;

struct Library
{
    static constexpr const char *name = "library";

    explicit Library(int count)
    {
        for (const MacScanDeviceInfo &info : Workload::reports(count)) {
            auto device = QSharedPointer<DeviceData>::create();
            device->update(info, ZVR::FirstReport);
            devices.append(device);
            table.appendDevice(device);
        }
        proxy.setSourceModel(&table);
        proxy.refresh();
    }
    void sort(Column column)
    {
        static const int sections[]
            = { DeviceTableModel::ColName, DeviceTableModel::ColIP, DeviceTableModel::ColDevStatus };
        proxy.sortByColumn(sections[column], ZVRSortButton::Ascend);
    }
    void filterOnline() { proxy.setStatusFilter(DeviceData::Online); }
    void search(const QString &text) { proxy.setSearchText(text); }
    void rename(int device, const QString &text)
    {
        devices.at(device)->setName(text);
        proxy.refresh();
    }
    void rescan(const std::vector<MacScanDeviceInfo> &reports)
    {
        for (size_t i = 0; i < reports.size(); ++i) {
            devices.at(int(i))->update(reports[i], ZVR::MacScanReport);
        }
        proxy.refresh();
    }
    int rows() const { return proxy.rowCount(); }

    DeviceTableModel table;
    DeviceSortFilterProxyModel proxy;
    QList<QSharedPointer<DeviceData>> devices;
};

struct ItemModel
{
    static constexpr const char *name = "qsortfilterproxymodel";

    explicit ItemModel(int count)
    {
        model.setColumnCount(3);
        for (const MacScanDeviceInfo &info : Workload::reports(count)) {
            const auto ports = info.networkInfo();
            model.appendRow({ new QStandardItem(info.name()),
                new QStandardItem(ports.isEmpty() ? QString() : ports.first().ip),
                new QStandardItem(QString::number(info.isOffline() ? 0 : 1)) });
        }
        proxy.setDynamicSortFilter(true);
        proxy.setSortLocaleAware(true);
        proxy.setFilterKeyColumn(-1);
        proxy.setSourceModel(&model);
    }
    void sort(Column column) { proxy.sort(column); }
    void filterOnline()
    {
        proxy.setFilterKeyColumn(Status);
        proxy.setFilterFixedString(QStringLiteral("1"));
    }
    void search(const QString &text)
    {
        proxy.setFilterKeyColumn(-1);
        proxy.setFilterFixedString(text);
    }
    void rename(int device, const QString &text) { model.item(device, Name)->setText(text); }
    void rescan(const std::vector<MacScanDeviceInfo> &reports)
    {
        for (size_t i = 0; i < reports.size(); ++i) {
            const auto ports = reports[i].networkInfo();
            model.item(int(i), Address)->setText(ports.isEmpty() ? QString() : ports.first().ip);
            model.item(int(i), Status)->setText(QString::number(reports[i].isOffline() ? 0 : 1));
        }
    }
    int rows() const { return proxy.rowCount(); }

    QStandardItemModel model;
    QSortFilterProxyModel proxy;
};

template<typename Impl> void proxySort(benchmark::State &state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        Impl impl(count);
        state.SetIterationTime(timed([&] {
            impl.sort(Name);
            impl.sort(Address);
        }));
        if (impl.rows() != count) {
            state.SkipWithError("the sort lost rows");
        }
    }
}

template<typename Impl> void proxySearch(benchmark::State &state)
{
    const int count = int(state.range(0));
    Impl impl(count);
    for (auto _ : state) {
        int found = 0;
        state.SetIterationTime(timed([&] {
            impl.search(QStringLiteral("3号会议室"));
            found = impl.rows();
            impl.search(QString());
        }));
        if (found == 0 || found == count || impl.rows() != count) {
            state.SkipWithError("the search did not filter");
        }
    }
}

template<typename Impl> void proxyRescan(benchmark::State &state)
{
    const int count = int(state.range(0));
    const std::vector<MacScanDeviceInfo> churned = Workload::churnedReports(count);
    const std::vector<MacScanDeviceInfo> plain = Workload::reports(count);
    Impl impl(count);
    impl.sort(Status);
    impl.filterOnline();
    for (auto _ : state) {
        state.SetIterationTime(timed([&] { impl.rescan(churned); }));
        impl.rescan(plain);
        if (impl.rows() == 0 || impl.rows() > count) {
            state.SkipWithError("the rescan lost the filter");
        }
    }
}

template<typename Impl> void proxyOneChange(benchmark::State &state)
{
    const int count = int(state.range(0));
    Impl impl(count);
    impl.sort(Name);
    int round = 0;
    for (auto _ : state) {
        const QString text = QStringLiteral("一号会议室%1").arg(++round);
        state.SetIterationTime(timed([&] { impl.rename(count / 2, text); }));
    }
    if (impl.rows() != count) {
        state.SkipWithError("the change lost rows");
    }
}

template<typename Impl> void registerSized(const char *name, void (*fn)(benchmark::State &))
{
    benchmark::internal::Benchmark *const b
        = benchmark::RegisterBenchmark((std::string(name) + '/' + Impl::name).c_str(), fn);
    for (const int size : Sizes) {
        b->Arg(size);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

template<typename Impl> void registerFor()
{
    registerSized<Impl>("proxy_sort", &proxySort<Impl>);
    registerSized<Impl>("proxy_search", &proxySearch<Impl>);
    registerSized<Impl>("proxy_rescan", &proxyRescan<Impl>);
    registerSized<Impl>("proxy_one_change", &proxyOneChange<Impl>);
}

} // namespace

void registerProxyCases()
{
    registerFor<Library>();
    registerFor<ItemModel>();
}
