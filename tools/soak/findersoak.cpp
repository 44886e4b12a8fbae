// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Runs the device finder's own objects, without a window, over a faulty simulated
// network: scan rounds, and every so many rounds a change of every online device (and a
// retry of its failures every second time) while answers are lost, doubled, late, stray
// or missing because a device restarts. Every change must end by its timeout in a
// consistent state, and once the population is stable the heap must not grow.

#include "changesession.h"
#include "changetracker.h"
#include "devicefinder.h"
#include "simulatednetwork.h"

#include "heapslope.h"

#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresulttablemodel.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Options
{
    int devices = 10000;
    int rounds = 200;
    int changeEvery = 20;
    int timeout = 300;
    // Growth allowed once the population is stable, in bytes per change interval.
    qint64 tolerance = 2048;
    QString faults = QStringLiteral("drop=0.05,duplicate=0.05,reboot=0.02,stray=0.02");
};

// Beyond its timeout a change may take this long to be served on a busy machine, and a
// little per device to turn the answers into result rows.
constexpr qint64 SlackMilliseconds = 100;
constexpr double SlackMillisecondsPerDevice = 0.01;

int ignoredAnswers = 0;

void countIgnored(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (text.contains(QLatin1String("ignored"))) {
        ++ignoredAnswers;
    }
}

bool parse(int argc, char **argv, Options *options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        const auto number = [&](qint64 *out) { return positiveArgument(argc, argv, &i, out); };
        qint64 v = 0;
        if (std::strcmp(argv[i], "--devices") == 0 && number(&v)) {
            options->devices = int(v);
        } else if (std::strcmp(argv[i], "--rounds") == 0 && number(&v)) {
            options->rounds = int(v);
        } else if (std::strcmp(argv[i], "--change-every") == 0 && number(&v)) {
            options->changeEvery = int(v);
        } else if (std::strcmp(argv[i], "--change-timeout") == 0 && number(&v)) {
            options->timeout = int(v);
        } else if (std::strcmp(argv[i], "--tolerance") == 0 && number(&v)) {
            options->tolerance = v;
        } else if (std::strcmp(argv[i], "--faults") == 0 && hasValue) {
            options->faults = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr,
                "usage: %s [--devices N] [--rounds N] [--change-every N] [--change-timeout MS] "
                "[--tolerance BYTES] [--faults LIST]\n",
                argv[0]);
            return false;
        }
    }
    if (options->changeEvery * 4 > options->rounds) {
        std::fprintf(
            stderr, "--rounds must be at least four times --change-every: the heap needs three samples\n");
        return false;
    }
    return true;
}

// Waits for the change in flight to end; gives how long the tool was busy.
qint64 waitForChange(DeviceFinder *finder, int timeout)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject::connect(finder, &DeviceFinder::busyChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout * 2 + 10 * SlackMilliseconds, &loop, &QEventLoop::quit);
    if (finder->busy()) {
        loop.exec();
    }
    return clock.elapsed();
}

// The totals, the rows and the busy state agree after a change of \a sent devices: each
// is a success, a known failure, or unconfirmed with the no-answer text.
QString inconsistency(const DeviceFinder &finder, int sent, int timeout)
{
    const SettingResultTableModel *results = finder.resultModel();
    const QVector<QStringList> rows = finder.resultRows();
    int failed = 0;
    int unconfirmed = 0;
    int silent = 0;
    for (int i = 1; i < rows.size(); ++i) {
        failed += rows.at(i).at(4) == QStringLiteral("未更改") ? 1 : 0;
        unconfirmed += rows.at(i).at(5) == QStringLiteral("未确认") ? 1 : 0;
        silent += rows.at(i).at(6) == ChangeSession::unconfirmedText(timeout) ? 1 : 0;
    }
    if (finder.busy()) {
        return QStringLiteral("still busy");
    }
    if (results->totalNum() != sent || results->rowCount() != sent || rows.size() != sent + 1) {
        return QStringLiteral("%1 devices sent, %2 in the totals, %3 result rows")
            .arg(sent)
            .arg(results->totalNum())
            .arg(rows.size() - 1);
    }
    if (results->failureNum() != failed || results->successNum() + failed + unconfirmed != sent
        || silent != unconfirmed) {
        return QStringLiteral("%1 failures counted, %2 rows unchanged, %3 unconfirmed")
            .arg(results->failureNum())
            .arg(failed)
            .arg(unconfirmed);
    }
    return QString();
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, &options)) {
        return 2;
    }
    NetworkFaults faults;
    const QString faultError = NetworkFaults::fromString(options.faults, &faults);
    if (!faultError.isEmpty()) {
        std::fprintf(stderr, "--faults: %s\n", qPrintable(faultError));
        return 2;
    }
    qInstallMessageHandler(countIgnored);
    QCoreApplication app(argc, argv);

    SimulatedNetwork network;
    network.setNetwork(Simulation::DefaultSeed, options.devices);
    network.simulation()->setAnswerDelay(options.timeout / 4);
    DeviceFinder finder(&network);
    finder.setChangeTimeout(options.timeout);
    finder.restart();
    std::printf("%d devices, %d rounds, a change every %d rounds, timeout %d ms, faults %s\n",
        options.devices, options.rounds, options.changeEvery, options.timeout, qPrintable(options.faults));

    QVector<qint64> samples;
    const qint64 slack = SlackMilliseconds + qint64(SlackMillisecondsPerDevice * options.devices);
    qint64 longestBusy = 0;
    int changes = 0;
    int retries = 0;
    for (int round = 1; round <= options.rounds; ++round) {
        finder.scan(1);
        QCoreApplication::processEvents();
        if (round % options.changeEvery != 0) {
            continue;
        }
        // Sampled before the change, once every device has been found and changed once.
        if (round >= 2 * options.changeEvery) {
            samples.append(heapInUse());
            std::printf("round %4d  rows %6d  heap in use %12lld bytes\n", round,
                finder.deviceModel()->rowCount(), static_cast<long long>(samples.last()));
            std::fflush(stdout);
        }
        // Every second change the answers come after its timeout; each into fresh addresses.
        NetworkFaults now = faults;
        now.delay = changes % 2 == 1 ? options.timeout * 3 / 2 : faults.delay;
        network.simulation()->setFaults(now);
        const QString start = QStringLiteral("172.%1.0.2").arg(16 + changes % 16);
        ++changes;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const bool retry = attempt == 1;
            if (retry && (changes % 2 == 1 || finder.resultRowModel()->failureCount() == 0)) {
                break;
            }
            const bool sent = retry
                ? finder.retryFailed()
                : finder.changeAllOnline(start, QStringLiteral("255.240.0.0"), QStringLiteral("172.16.0.1"));
            if (!sent) {
                if (retry) {
                    break; // every failed device is offline
                }
                std::fprintf(stderr, "FAIL: round %d: the change was refused\n", round);
                return 1;
            }
            retries += retry ? 1 : 0;
            const int count = finder.editTarget().value(QStringLiteral("count")).toInt();
            const qint64 busy = waitForChange(&finder, options.timeout);
            longestBusy = qMax(longestBusy, busy);
            if (busy > options.timeout + slack) {
                std::fprintf(stderr,
                    "FAIL: round %d: busy for %lld ms, timeout %d ms (and %lld ms to end it)\n", round,
                    static_cast<long long>(busy), options.timeout, static_cast<long long>(slack));
                return 1;
            }
            const QString wrong = inconsistency(finder, count, options.timeout);
            if (!wrong.isEmpty()) {
                std::fprintf(stderr, "FAIL: round %d: %s\n", round, qPrintable(wrong));
                return 1;
            }
        }
    }

    if (samples.isEmpty() || samples.first() == 0) {
        std::fprintf(stderr, "no heap figures: the allocator does not report them\n");
        return 1;
    }
    const double perInterval = heapSlope(samples);
    std::printf("%d changes, %d retries, %d answers ignored, longest busy %lld ms\n", changes, retries,
        ignoredAnswers, static_cast<long long>(longestBusy));
    std::printf("heap slope %.1f bytes per %d rounds, first %lld, last %lld\n", perInterval,
        options.changeEvery, static_cast<long long>(samples.first()), static_cast<long long>(samples.last()));
    if (perInterval > double(options.tolerance)) {
        std::fprintf(stderr, "FAIL: the heap grows by %.1f bytes per %d rounds (tolerance %lld)\n",
            perInterval, options.changeEvery, static_cast<long long>(options.tolerance));
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
