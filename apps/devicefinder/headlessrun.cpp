// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "headlessrun.h"

#include "devicefinder.h"
#include "tableexport.h"

#include <zvrviewmodel/comboboxmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Time for bindings, queued refreshes and the first frames to settle before a grab.
constexpr int SettleMilliseconds = 250;
// A run that takes longer than this has hung: a fixed part for start-up, grabs and the
// change, and a part per reported device and round.
constexpr int WatchdogBaseMilliseconds = 10000;
constexpr double WatchdogMillisecondsPerReport = 0.03;
constexpr int ProbeMilliseconds = 5;

// The change that --results-screenshot applies: renumber into a segment that no device
// uses, wide enough for every device; the devices' own refusals still show.
const char ChangeAddress[] = "172.16.0.2";
const char ChangeMask[] = "255.240.0.0";
const char ChangeGateway[] = "172.16.0.1";

// The response probe: the pause before each step, so that each starts on a quiet window,
// and how long a step may take to show.
constexpr int StepPauseMilliseconds = 300;
constexpr int StepTimeoutMilliseconds = 10000;

// The probe's steps as the user takes them: header clicks, the status box, and a search
// typed one character at a time.
enum class StepKind { Sort, Status, Search };
struct ProbeStep
{
    const char *label;
    StepKind kind;
    const char *role; // the sorted column's role
    int value; // a ZVRSortButton::SortMode, or the status box's index
    const char *text; // the search text
};
const ProbeStep ProbeSteps[] = {
    { "sort name ascending", StepKind::Sort, "name", ZVRSortButton::Ascend, nullptr },
    { "sort name descending", StepKind::Sort, "name", ZVRSortButton::Descend, nullptr },
    { "sort ip ascending", StepKind::Sort, "ip", ZVRSortButton::Ascend, nullptr },
    { "sort mac ascending", StepKind::Sort, "mac", ZVRSortButton::Ascend, nullptr },
    { "sort status ascending", StepKind::Sort, "devStatus", ZVRSortButton::Ascend, nullptr },
    { "filter online", StepKind::Status, nullptr, 1, nullptr },
    { "filter fault", StepKind::Status, nullptr, 3, nullptr },
    { "filter all", StepKind::Status, nullptr, 0, nullptr },
    { "search 1 character", StepKind::Search, nullptr, 0, "指" },
    { "search 2 characters", StepKind::Search, nullptr, 0, "指挥" },
    { "search 3 characters", StepKind::Search, nullptr, 0, "指挥大" },
    { "search 4 characters", StepKind::Search, nullptr, 0, "指挥大厅" },
    { "search 5 characters", StepKind::Search, nullptr, 0, "指挥大厅1" },
    { "search cleared", StepKind::Search, nullptr, 0, "" },
};

// The smallest window the tool is laid out for.
constexpr int SmallWidth = 800;
constexpr int SmallHeight = 500;

// CPU time of the calling thread, or -1 where the system does not tell.
qint64 threadCpuMilliseconds()
{
#if defined(Q_OS_UNIX) && defined(CLOCK_THREAD_CPUTIME_ID)
    timespec now {};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0) {
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
#endif
    return -1;
}

} // namespace

HeadlessRun::HeadlessRun(DeviceFinder *finder, TableExport *exporter, QQuickWindow *window,
    const Options &options, QObject *parent)
    : QObject(parent)
    , m_finder(finder)
    , m_exporter(exporter)
    , m_window(window)
    , m_options(options)
{
}

HeadlessRun::~HeadlessRun()
{
    stopWatchdog();
}

void HeadlessRun::start()
{
    const int probeSteps = m_options.responseProbe ? int(std::size(ProbeSteps)) : 0;
    startWatchdog(WatchdogBaseMilliseconds + m_options.changeTimeout + m_options.allowance
        + int(WatchdogMillisecondsPerReport * double(m_options.devices) * double(m_options.scans))
        + probeSteps * (StepPauseMilliseconds + StepTimeoutMilliseconds));
    m_window->show();
    m_scansLeft = m_options.scans;
    m_probe.setInterval(ProbeMilliseconds);
    connect(&m_probe, &QTimer::timeout, this, &HeadlessRun::probe);
    restartTurns();
    m_clock.start();
    connect(m_finder->deviceModel(), &DeviceTableModel::rowCountChanged, this,
        [this] { m_lastListed = m_clock.elapsed(); });
    m_probe.start();
    // Each round in slices, as on screen, so that every round reaches the views.
    m_scansConnection = connect(m_finder, &DeviceFinder::scanRoundChanged, this,
        [this] { QTimer::singleShot(0, this, &HeadlessRun::scanNext); });
    scanNext();
}

void HeadlessRun::startWatchdog(int milliseconds)
{
    m_watchdog = std::thread([this, milliseconds] {
        std::unique_lock<std::mutex> lock(m_watchdogMutex);
        if (m_watchdogWake.wait_for(
                lock, std::chrono::milliseconds(milliseconds), [this] { return m_watchdogStopped; })) {
            return;
        }
        std::fprintf(stderr, "devicefinder: timed out after %d ms\n", milliseconds);
        std::fflush(stderr);
        std::fflush(stdout);
        std::_Exit(1);
    });
}

void HeadlessRun::stopWatchdog()
{
    if (!m_watchdog.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_watchdogMutex);
        m_watchdogStopped = true;
    }
    m_watchdogWake.notify_all();
    m_watchdog.join();
}

void HeadlessRun::probe()
{
    const qint64 turn = m_sinceTick.restart();
    const qint64 cpu = threadCpuMilliseconds();
    if (turn > m_longestTurn) {
        m_longestTurn = turn;
        m_longestTurnCpu = cpu - m_cpuAtTick;
    }
    m_cpuAtTick = cpu;
}

void HeadlessRun::restartTurns()
{
    m_longestTurn = 0;
    m_longestTurnCpu = 0;
    m_sinceTick.start();
    m_cpuAtTick = threadCpuMilliseconds();
}

// A turn may last longer than the main thread ran in it when other processes hold the
// cores; the line says both.
QString HeadlessRun::longestTurnText() const
{
    QString text = QString::number(m_longestTurn) + QLatin1String(" ms");
    if (m_cpuAtTick >= 0) {
        text += QStringLiteral(" (the main thread ran %1 ms of it)").arg(m_longestTurnCpu);
    }
    return text;
}

void HeadlessRun::scanNext()
{
    if (m_scansLeft < m_options.scans) {
        const qint64 now = m_clock.elapsed();
        QTextStream(stdout) << "devicefinder: scan round " << m_finder->scanRound() << " done at " << now
                            << " ms (" << now - m_roundStarted << " ms), " << m_finder->deviceModel()->rowCount()
                            << " devices listed, the last at " << m_lastListed << " ms\n";
        m_roundStarted = now;
    }
    if (m_scansLeft == 0) {
        disconnect(m_scansConnection);
        m_probe.stop();
        probe();
        QTextStream(stdout) << "devicefinder: longest event-loop turn during the scans: " << longestTurnText()
                            << '\n';
        QTimer::singleShot(SettleMilliseconds, this, &HeadlessRun::afterScans);
        return;
    }
    --m_scansLeft;
    m_finder->scanInSlices();
}

void HeadlessRun::afterScans()
{
    const auto next = [this] {
        if (!writeExport(m_options.exportCsv, false)) {
            return;
        }
        if (m_options.responseProbe) {
            m_page = m_window->findChild<QQuickItem *>(QStringLiteral("finderPage"));
            respondNext();
        } else if (m_options.resultsScreenshot.isEmpty() && m_options.exportResults.isEmpty()
            && m_options.smallScreenshots.isEmpty()) {
            finish();
        } else {
            runChange();
        }
    };
    if (m_options.screenshot.isEmpty()) {
        next();
    } else {
        grab(m_options.screenshot, next);
    }
}

void HeadlessRun::runChange()
{
    const qint64 sentAt = m_clock.elapsed();
    // The change's own turns: answers arrive while reports and strays still come in.
    restartTurns();
    m_probe.start();
    connect(m_finder, &DeviceFinder::resultsReady, this, [this, sentAt] {
        m_probe.stop();
        probe();
        QTextStream(stdout) << "devicefinder: change of " << m_finder->resultRowModel()->totalCount()
                            << " devices ended after " << m_clock.elapsed() - sentAt << " ms, "
                            << m_finder->unsettledCount() << " without an answer\n"
                            << "devicefinder: longest event-loop turn during the change: "
                            << longestTurnText() << '\n';
        QTimer::singleShot(SettleMilliseconds, this, &HeadlessRun::afterChange);
    });
    QString refusal;
    const auto connection = connect(
        m_finder, &DeviceFinder::messageRequested, this, [&refusal](const QString &text) { refusal = text; });
    const bool sent = m_finder->changeAllOnline(
        QLatin1String(ChangeAddress), QLatin1String(ChangeMask), QLatin1String(ChangeGateway));
    disconnect(connection);
    if (!sent) {
        fail(QStringLiteral("the change of all online devices was refused: %1").arg(refusal));
    }
}

void HeadlessRun::afterChange()
{
    const auto next = [this] {
        if (!writeExport(m_options.exportResults, true)) {
            return;
        }
        if (m_options.smallScreenshots.isEmpty()) {
            finish();
        } else {
            smallShots();
        }
    };
    if (m_options.resultsScreenshot.isEmpty()) {
        next();
    } else {
        grab(m_options.resultsScreenshot, next);
    }
}

void HeadlessRun::respondNext()
{
    ++m_step;
    if (m_step >= int(std::size(ProbeSteps))) {
        finish();
        return;
    }
    if (m_step == 0) {
        // The frame that shows a step is the first one synchronised once the proxy has
        // nothing left to apply; frames between then and the step do not count.
        connect(m_window, &QQuickWindow::beforeSynchronizing, this,
            [this] { m_stepSynced = m_stepStarted > 0 && !m_finder->sortModel()->isRefreshPending(); },
            Qt::DirectConnection);
        connect(m_window, &QQuickWindow::frameSwapped, this, &HeadlessRun::frameShown, Qt::DirectConnection);
        m_stepTimeout.setSingleShot(true);
        m_stepTimeout.setInterval(StepTimeoutMilliseconds);
        connect(&m_stepTimeout, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("no frame showed \"%1\"").arg(QLatin1String(ProbeSteps[m_step].label))); });
    }
    QTimer::singleShot(StepPauseMilliseconds, this, [this] {
        const ProbeStep &step = ProbeSteps[m_step];
        DeviceSortFilterProxyModel *const rows = m_finder->sortModel();
        int section = -1;
        if (step.kind == StepKind::Sort) {
            for (int column = 0; column < rows->columnCount(); ++column) {
                if (rows->columnRole(column) == QLatin1String(step.role)) {
                    section = column;
                }
            }
        }
        m_stepSynced = false;
        m_stepTimeout.start();
        m_stepStarted = qMax<qint64>(1, m_clock.elapsed());
        switch (step.kind) {
        case StepKind::Sort:
            rows->sortByColumn(section, step.value);
            break;
        case StepKind::Status:
            m_finder->statusModel()->setCurrentIndex(step.value);
            break;
        case StepKind::Search:
            // Typed into the search field, as the user does; the field sets the proxy's text.
            if (QObject *const field = m_page ? m_page->property("searchField").value<QObject *>() : nullptr) {
                field->setProperty("text", QString::fromUtf8(step.text));
            } else {
                rows->setSearchText(QString::fromUtf8(step.text));
            }
            break;
        }
        // A step that changes nothing drawn still ends with a frame.
        m_window->update();
    });
}

void HeadlessRun::frameShown()
{
    if (!m_stepSynced || m_stepStarted == 0) {
        return;
    }
    const qint64 took = m_clock.elapsed() - m_stepStarted;
    m_stepStarted = 0;
    m_stepSynced = false;
    m_stepTimeout.stop();
    QTextStream(stdout) << "devicefinder: response " << ProbeSteps[m_step].label << ": " << took << " ms ("
                        << m_finder->sortModel()->rowCount() << " rows)\n";
    // The next step from a turn of its own, after the frame is out.
    QTimer::singleShot(0, this, &HeadlessRun::respondNext);
}

void HeadlessRun::smallShots()
{
    m_page = m_window->findChild<QQuickItem *>(QStringLiteral("finderPage"));
    if (!m_page) {
        fail(QStringLiteral("the page was not found"));
        return;
    }
    m_window->resize(SmallWidth, SmallHeight);
    QObject *const editor = m_page->property("editor").value<QObject *>();
    DeviceSortFilterProxyModel *const rows = m_finder->sortModel();
    const auto closeEditor = [editor] { QMetaObject::invokeMethod(editor, "close"); };
    // The change has just put the results on show.
    const auto results = [] {};
    // One online device's own editor.
    const auto single = [this, rows] {
        QMetaObject::invokeMethod(m_page, "showDevices");
        for (int row = 0; row < rows->rowCount(); ++row) {
            if (rows->device(row)->online()) {
                rows->editSignalDevice(row);
                return;
            }
        }
    };
    // Every online device and one offline and one faulty one checked: the editor says
    // which it leaves out and why.
    const auto batch = [this, rows, closeEditor] {
        closeEditor();
        bool offline = false;
        bool fault = false;
        for (int row = 0; row < rows->rowCount(); ++row) {
            const DeviceData::DeviceStatus status = rows->device(row)->devStatus();
            bool &taken = status == DeviceData::Offline ? offline : fault;
            if (status != DeviceData::Online && !taken) {
                taken = true;
                rows->checkDevice(row, true);
            }
        }
        m_finder->editChecked();
    };
    const QString folder = m_options.smallScreenshots;
    smallShot(folder + QStringLiteral("/devicefinder-results-800x500.png"), results, [=] {
        smallShot(folder + QStringLiteral("/devicefinder-editor-800x500.png"), single, [=] {
            smallShot(folder + QStringLiteral("/devicefinder-batch-800x500.png"), batch, [=] {
                closeEditor();
                finish();
            });
        });
    });
}

void HeadlessRun::smallShot(
    const QString &path, const std::function<void()> &prepare, const std::function<void()> &next)
{
    prepare();
    QTimer::singleShot(SettleMilliseconds, this, [this, path, next] { grab(path, next); });
}

bool HeadlessRun::writeExport(const QString &path, bool results)
{
    if (path.isEmpty()) {
        return true;
    }
    const QString error = results ? m_exporter->exportResults(path) : m_exporter->exportDevices(path);
    if (!error.isEmpty()) {
        fail(error);
        return false;
    }
    QTextStream(stdout) << "devicefinder: wrote " << path << '\n';
    return true;
}

void HeadlessRun::grab(const QString &path, const std::function<void()> &next)
{
    // QQuickWindow::grabWindow() gives an empty image under the offscreen platform with
    // the software renderer; grabbing the root item works there and on screen alike.
    m_grab = m_window->contentItem()->grabToImage();
    if (!m_grab) {
        fail(QStringLiteral("cannot grab the window"));
        return;
    }
    connect(m_grab.data(), &QQuickItemGrabResult::ready, this, [this, path, next] {
        const QImage image = m_grab->image();
        m_grab.reset();
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (image.isNull() || !image.save(path)) {
            fail(QStringLiteral("cannot write %1").arg(path));
            return;
        }
        QTextStream(stdout) << "devicefinder: wrote " << path << " (" << image.width() << "x"
                            << image.height() << ")\n";
        next();
    });
}

void HeadlessRun::fail(const QString &message)
{
    if (m_done) {
        return;
    }
    m_done = true;
    QTextStream(stderr) << "devicefinder: " << message << '\n';
    stopWatchdog();
    QCoreApplication::exit(1);
}

void HeadlessRun::finish()
{
    if (m_done) {
        return;
    }
    m_done = true;
    stopWatchdog();
    QCoreApplication::exit(0);
}
