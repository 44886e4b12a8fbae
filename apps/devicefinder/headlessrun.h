// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_HEADLESSRUN_H
#define ZVR_DEVICEFINDER_HEADLESSRUN_H

#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <functional>

class DeviceFinder;
class QQuickItemGrabResult;
class QQuickWindow;

/*! \brief A run without a person at the screen: scan, save the main window, and
 *  optionally change every online device and save the results view; then quit.
 */
class HeadlessRun : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        int scans = 3;
        QString screenshot;
        QString resultsScreenshot;
    };

    HeadlessRun(
        DeviceFinder *finder, QQuickWindow *window, const Options &options, QObject *parent = nullptr);

    //! Starts the run; the application exits with 0 when it is done, 1 on failure.
    void start();

private:
    void afterScans();
    void runChange();
    void grab(const QString &path, const std::function<void()> &next);
    void fail(const QString &message);
    void finish();

    DeviceFinder *const m_finder;
    QQuickWindow *const m_window;
    const Options m_options;
    QSharedPointer<QQuickItemGrabResult> m_grab;
    bool m_done = false;
};

#endif // ZVR_DEVICEFINDER_HEADLESSRUN_H
