// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "headlessrun.h"

#include "devicefinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

namespace {

// Time for bindings, queued refreshes and the first frames to settle before a grab.
constexpr int SettleMilliseconds = 250;
// A run that takes longer than this has hung.
constexpr int WatchdogMilliseconds = 25000;

// The change that --results-screenshot applies: renumber from the master's neighbourhood
// in a wider segment, so that the answers show the back-end's refusals too.
const char ChangeAddress[] = "192.168.1.2";
const char ChangeMask[] = "255.255.0.0";
const char ChangeGateway[] = "192.168.1.1";

} // namespace

HeadlessRun::HeadlessRun(DeviceFinder *finder, QQuickWindow *window, const Options &options, QObject *parent)
    : QObject(parent)
    , m_finder(finder)
    , m_window(window)
    , m_options(options)
{
}

void HeadlessRun::start()
{
    QTimer::singleShot(WatchdogMilliseconds, this, [this] { fail(QStringLiteral("timed out")); });
    m_window->show();
    // One round per event-loop turn, as on screen, so that every round reaches the views.
    for (int i = 0; i < m_options.scans; ++i) {
        m_finder->scan(1);
        QCoreApplication::processEvents();
    }
    QTimer::singleShot(SettleMilliseconds, this, &HeadlessRun::afterScans);
}

void HeadlessRun::afterScans()
{
    const auto next = [this] {
        if (m_options.resultsScreenshot.isEmpty()) {
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
    connect(m_finder, &DeviceFinder::resultsReady, this, [this] {
        QTimer::singleShot(
            SettleMilliseconds, this, [this] { grab(m_options.resultsScreenshot, [this] { finish(); }); });
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
    QCoreApplication::exit(1);
}

void HeadlessRun::finish()
{
    if (m_done) {
        return;
    }
    m_done = true;
    QCoreApplication::exit(0);
}
