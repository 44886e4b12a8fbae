// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_HEADLESSRUN_H
#define ZVR_DEVICEFINDER_HEADLESSRUN_H

#include <QObject>
#include <QElapsedTimer>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DeviceFinder;
class TableExport;
class QQuickItemGrabResult;
class QQuickWindow;
class QQuickItem;

/*! \brief A run without a person at the screen: scan, save the main window and the
 *  device list, and optionally change every online device and save the results view
 *  and the results; then quit.
 */
class HeadlessRun : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        int scans = 3;
        int devices = 0;
        int changeTimeout = 0;
        //! Further milliseconds the run may take, for rounds that wait on a network.
        int allowance = 0;
        QString screenshot;
        QString resultsScreenshot;
        QString exportCsv;
        QString exportResults;
        //! A folder for the editor, the batch editor and the results view in a small window.
        QString smallScreenshots;
        //! After the scans, time how soon each sort, filter and search shows, then quit.
        bool responseProbe = false;
    };

    HeadlessRun(DeviceFinder *finder, TableExport *exporter, QQuickWindow *window, const Options &options,
        QObject *parent = nullptr);
    ~HeadlessRun() override;

    //! Starts the run; the application exits with 0 when it is done, 1 on failure.
    void start();

private:
    void startWatchdog(int milliseconds);
    void stopWatchdog();
    void probe();
    void restartTurns();
    QString longestTurnText() const;
    void scanNext();
    void afterScans();
    void runChange();
    void afterChange();
    //! Sorts, filters and searches one step at a time, each timed until its frame shows.
    void respondNext();
    void frameShown();
    //! The editor, the batch editor and the results view at SmallWindow, one after the other.
    void smallShots();
    void smallShot(const QString &name, const std::function<void()> &prepare, const std::function<void()> &next);
    //! Writes one export when \a path is set; false after a failure.
    bool writeExport(const QString &path, bool results);
    void grab(const QString &path, const std::function<void()> &next);
    void fail(const QString &message);
    void finish();

    DeviceFinder *const m_finder;
    TableExport *const m_exporter;
    QQuickWindow *const m_window;
    QQuickItem *m_page = nullptr;
    const Options m_options;
    QSharedPointer<QQuickItemGrabResult> m_grab;
    bool m_done = false;
    int m_scansLeft = 0;
    QMetaObject::Connection m_scansConnection;
    // Measures the gaps between its ticks: the longest event-loop turn of the scans.
    QTimer m_probe;
    QElapsedTimer m_sinceTick;
    // Since the start: when each round ended, and how long the change took.
    QElapsedTimer m_clock;
    qint64 m_roundStarted = 0;
    qint64 m_lastListed = 0;
    qint64 m_longestTurn = 0;
    // The main thread's CPU time at the last tick and within the longest turn.
    qint64 m_cpuAtTick = 0;
    qint64 m_longestTurnCpu = 0;
    // The response probe: the step under way, when it began, and whether the frame about
    // to be drawn shows it.
    int m_step = -1;
    qint64 m_stepStarted = 0;
    bool m_stepSynced = false;
    QTimer m_stepTimeout;
    // The watchdog runs on a thread of its own, so that it ends a run whose event
    // loop no longer turns.
    std::thread m_watchdog;
    std::mutex m_watchdogMutex;
    std::condition_variable m_watchdogWake;
    bool m_watchdogStopped = false;
};

#endif // ZVR_DEVICEFINDER_HEADLESSRUN_H
