// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "benchcases.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Log lines are built as usual but go nowhere: a terminal would cost more than the work.
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) { }

/*! Prints Google Benchmark's own table, then a short one: nanoseconds per device of the
 *  library beside the two baselines, their ratios and the targets. With repetitions the
 *  medians are used. */
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    SummaryReporter(std::string summaryPath, bool smoke)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular)
        , m_summaryPath(std::move(summaryPath))
        , m_smoke(smoke)
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred) {
                m_errors.push_back(run.benchmark_name() + ": " + run.error_message);
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) {
                continue;
            }
            const std::string key = run.run_name.function_name + '|' + run.run_name.args;
            if (!median && m_medians.count(key)) {
                continue;
            }
            if (median) {
                m_medians[key] = true;
            }
            Figure &figure = m_figures[key];
            // In the case's own time unit, for cases that count nothing per device.
            figure.value = run.GetAdjustedRealTime();
            const auto perDevice = run.counters.find("per_device");
            if (perDevice != run.counters.end()) {
                figure.value = perDevice->second.value * 1e9;
            }
            const auto perCall = run.counters.find("per_call");
            if (perCall != run.counters.end()) {
                figure.value = perCall->second.value * 1e9;
            }
            const auto bytes = run.counters.find("bytes_per_row");
            if (bytes != run.counters.end()) {
                figure.value = bytes->second.value;
            }
            figure.label = run.report_label;
        }
    }

    bool failed() const { return !m_errors.empty(); }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const std::string text = summary();
        std::cout << '\n' << text << std::flush;
        if (!m_summaryPath.empty()) {
            std::ofstream(m_summaryPath) << text;
        }
    }

private:
    struct Figure
    {
        double value = -1;
        std::string label;
    };

    double value(const std::string &function, const std::string &args) const
    {
        const auto it = m_figures.find(function + '|' + args);
        return it == m_figures.end() ? -1 : it->second.value;
    }

    static std::string number(double value, int decimals = 1)
    {
        if (value < 0) {
            return "-";
        }
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }

    static std::string ratio(double a, double b) { return a < 0 || b <= 0 ? "-" : number(a / b, 2); }

    static std::string verdict(double a, double b, double limit)
    {
        if (a < 0 || b <= 0) {
            return "not measured";
        }
        return a / b <= limit ? "met" : "MISSED";
    }

    std::string summary() const
    {
        std::ostringstream out;
        const char *const sizes[] = { "1000", "10000", "100000" };
        const char *const cases[]
            = { "ingest", "rescan", "churn", "checks", "reads_debug_off", "reads_debug_on", "memory" };
        out << "| case | N | library | QStandardItemModel | floor | library / QStandardItemModel | library / "
               "floor |\n"
            << "|---|---:|---:|---:|---:|---:|---:|\n";
        for (const char *const name : cases) {
            const std::string unit = std::strcmp(name, "memory") == 0 ? " B/row" : " ns/dev";
            for (const char *const size : sizes) {
                const double lib = value(std::string(name) + "/library", size);
                const double qsim = value(std::string(name) + "/itemmodel", size);
                const double floor = value(std::string(name) + "/floor", size);
                if (lib < 0 && qsim < 0 && floor < 0) {
                    continue;
                }
                out << "| " << name << " | " << size << " | " << number(lib) << unit << " | " << number(qsim)
                    << unit << " | " << number(floor) << unit << " | " << ratio(lib, qsim) << " | "
                    << ratio(lib, floor) << " |\n";
            }
        }

        out << "\n| target | measured | limit | verdict |\n|---|---:|---:|---|\n";
        const double ingestSmall = value("ingest/library", "1000");
        const double ingestLarge = value("ingest/library", "100000");
        out << "| ingest per device, 100000 / 1000 | " << ratio(ingestLarge, ingestSmall) << " | 1.2 | "
            << verdict(ingestLarge, ingestSmall, 1.2) << " |\n";
        for (const char *const size : sizes) {
            const double lib = value("ingest/library", size);
            const double qsim = value("ingest/itemmodel", size);
            const double floor = value("ingest/floor", size);
            out << "| ingest / QStandardItemModel, N=" << size << " | " << ratio(lib, qsim) << " | 0.2 | "
                << verdict(lib, qsim, 0.2) << " |\n";
            out << "| ingest / floor, N=" << size << " | " << ratio(lib, floor) << " | 3 | "
                << verdict(lib, floor, 3) << " |\n";
            const double memLib = value("memory/library", size);
            const double memQsim = value("memory/itemmodel", size);
            out << "| memory per row / QStandardItemModel, N=" << size << " | " << ratio(memLib, memQsim)
                << " | 0.5 | " << verdict(memLib, memQsim, 0.5) << " |\n";
        }
        const double roundSmall = value("tool_round/library", "1000");
        const double roundLarge = value("tool_round/library", "100000");
        out << "| tool_round per device, ns, N=1000 / 100000 | " << number(roundSmall) << " / "
            << number(roundLarge) << " | - | - |\n";
        out << "| tool_round per device, 100000 / 1000 | " << ratio(roundLarge, roundSmall) << " | 1.5 | "
            << verdict(roundLarge, roundSmall, 1.5) << " |\n";
        // The proxy from 1,000 to 100,000 rows: a sort's cost per device over log2 n, the
        // others' per device; and its own share of a scan round through the tool.
        for (const char *const name : { "proxy_sort", "proxy_search", "proxy_rescan" }) {
            const bool sorting = std::strcmp(name, "proxy_sort") == 0;
            const double small = value(std::string(name) + "/library", "1000");
            const double large = value(std::string(name) + "/library", "100000");
            const double scale = 100 * (sorting ? std::log2(100000.0) / std::log2(1000.0) : 1.0);
            out << "| " << name << " per device" << (sorting ? " / log2 n" : "") << ", 100000 / 1000 | "
                << ratio(large / scale, small) << " | 1.5 | " << verdict(large / scale, small, 1.5) << " |\n";
        }
        const double withProxy = value("tool_round/library", "100000");
        const double withoutProxy = value("tool_round/without_proxy", "100000");
        out << "| the proxy's own share of a scan round, N=100000 | "
            << ratio(withProxy - withoutProxy, withProxy) << " | 0.10 | "
            << verdict(withProxy - withoutProxy, withProxy, 0.10) << " |\n";
        const double rescanLib = value("rescan/library", "10000");
        const double rescanFloor = value("rescan/floor", "10000");
        out << "| rescan, N=10000, ns per device | " << number(rescanLib) << " | 500 | "
            << verdict(rescanLib, 500, 1) << " |\n";
        out << "| rescan / floor, N=10000 | " << ratio(rescanLib, rescanFloor) << " | 3 | "
            << verdict(rescanLib, rescanFloor, 3) << " |\n";

        // Role 1 is the row number; every other role hands out the record.
        double devIndex = -1;
        double cheapest = -1;
        std::string cheapestName;
        for (const auto &entry : m_figures) {
            const std::string prefix = "rolecost/library|10000/";
            if (entry.first.compare(0, prefix.size(), prefix) != 0) {
                continue;
            }
            const int column = std::stoi(entry.first.substr(prefix.size()));
            if (column == 1) {
                devIndex = entry.second.value;
            } else if (cheapest < 0 || entry.second.value < cheapest) {
                cheapest = entry.second.value;
                cheapestName = entry.second.label;
            }
        }
        out << "| devIndex read / cheapest other role (" << cheapestName << "), debug off | "
            << ratio(devIndex, cheapest) << " | 2 | " << verdict(devIndex, cheapest, 2) << " |\n";
        out << "| IPv4 conversion per address, ns: one pass / split-and-toInt | "
            << number(value("convert/library", "10000")) << " / "
            << number(value("convert/reference", "10000")) << " | - | - |\n";
        out << "| roleNames() per call, ns: library / QStandardItemModel | "
            << number(value("rolenames/library", "")) << " / " << number(value("rolenames/itemmodel", ""))
            << " | - | - |\n";

        if (m_smoke) {
            out << "\nA smoke run: every case ran one cold iteration at the smallest size. These figures "
                   "show that the cases run, not what they cost.\n";
        }
        for (const std::string &error : m_errors) {
            out << "\nERROR " << error << '\n';
        }
        return out.str();
    }

    std::string m_summaryPath;
    std::map<std::string, Figure> m_figures;
    std::map<std::string, bool> m_medians;
    std::vector<std::string> m_errors;
    bool m_smoke = false;
};

} // namespace

int main(int argc, char **argv)
{
    // --summary_out=FILE and --smoke are ours; the rest belongs to Google Benchmark.
    // --smoke runs each case once at the smallest size, to check that every case runs.
    std::string summaryPath;
    bool smoke = false;
    std::vector<char *> args;
    static char smokeFilter[] = "--benchmark_filter=/1000/|rolecost/library/10000/[12]/|rolenames|convert";
    static char smokeTime[] = "--benchmark_min_time=0.000001";
    for (int i = 0; i < argc; ++i) {
        const char *const option = "--summary_out=";
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0) {
            summaryPath = argv[i] + std::strlen(option);
        } else if (std::strcmp(argv[i], "--smoke") == 0) {
            smoke = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (smoke) {
        args.insert(args.begin() + 1, { smokeFilter, smokeTime });
    }
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    int count = static_cast<int>(args.size());
    qInstallMessageHandler(&discardMessage);

    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    registerDeviceTableCases();
    registerProxyCases();
#ifdef ZVR_BENCH_TOOL
    registerToolCases();
#endif
    SummaryReporter reporter(summaryPath, smoke);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // A case whose checks failed gave no figure: that fails the run, also a smoke run.
    return reporter.failed() ? 1 : 0;
}
