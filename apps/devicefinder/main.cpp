// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changetracker.h"
#include "credentialstore.h"
#include "devicecolumns.h"
#include "devicefinder.h"
#include "headlessrun.h"
#include "networksession.h"
#include "qmlregistration.h"
#include "simulatednetwork.h"
#include "tableexport.h"

#include <netscan/networkbackend.h>
#include <netscan/networktarget.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>

#include <memory>

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QSize>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int ViewBatchMilliseconds = 200;
// A headless round on the network waits for answers and reads: its allowance in the watchdog.
constexpr int NetworkRoundAllowance = 30000;
const char PasswordVariable[] = "ZVR_DEVICEFINDER_PASSWORD";

struct Settings
{
    quint32 seed = Simulation::DefaultSeed;
    int devices = Simulation::DefaultDeviceCount;
    int interval = 3000;
    QSize size { 1600, 900 };
    bool verbose = false;
    int changeTimeout = ChangeTracker::DefaultTimeout;
    NetworkFaults faults;
    HeadlessRun::Options headless;
    //! Set: the real network, probed there; else the simulation.
    bool onNetwork = false;
    NetworkTarget target;
    int probeWait = 0;
    QString user;
    // Kept in memory only, until it goes to the credential store.
    QString password;
};

// Without a display the program can only render offscreen, in software.
bool chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    return false;
}

int usageError(const QCommandLineParser &parser, const QString &message)
{
    QTextStream(stderr) << "devicefinder: " << message << "\n\n" << parser.helpText();
    return 2;
}

bool readInt(const QCommandLineParser &parser, const QString &name, int minimum, int maximum, int *value)
{
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < minimum || number > maximum) {
        return false;
    }
    *value = number;
    return true;
}

// The real network's options; the refusal, or an empty text.
QString parseNetworkOptions(const QCommandLineParser &parser, Settings *settings)
{
    const QString network = parser.value(QStringLiteral("network"));
    settings->onNetwork = parser.isSet(QStringLiteral("network"));
    if (!settings->onNetwork) {
        for (const char *name : { "user", "password-file", "probe-wait" }) {
            if (parser.isSet(QLatin1String(name))) {
                return QStringLiteral("--%1 needs --network").arg(QLatin1String(name));
            }
        }
        return QString();
    }
    for (const char *name : { "devices", "seed", "faults" }) {
        if (parser.isSet(QLatin1String(name))) {
            return QStringLiteral("--%1 is for the simulated network, not with --network").arg(QLatin1String(name));
        }
    }
    QString error;
    if (!parseNetworkTarget(network, &settings->target, &error)) {
        return QStringLiteral("--network: %1").arg(error);
    }
    if (!readInt(parser, QStringLiteral("probe-wait"), 100, 60000, &settings->probeWait)) {
        return QStringLiteral("--probe-wait takes milliseconds from 100 to 60000");
    }
    settings->user = parser.value(QStringLiteral("user"));
    if (parser.isSet(QStringLiteral("password-file"))) {
        settings->password
            = CredentialStore::readPasswordFile(parser.value(QStringLiteral("password-file")), &error);
        if (settings->password.isEmpty()) {
            return error;
        }
    } else {
        settings->password = qEnvironmentVariable(PasswordVariable);
    }
    if (!settings->password.isEmpty() && settings->user.isEmpty()) {
        return QStringLiteral("a password needs --user");
    }
    if (parser.isSet(QStringLiteral("user")) && settings->user.isEmpty()) {
        return QStringLiteral("--user takes a name");
    }
    return QString();
}

// Parses the command line into \a settings; returns an exit code when the program should stop.
int parseCommandLine(const QStringList &arguments, Settings *settings, bool *stop)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds the devices of a simulated network and changes their network settings."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption devices(QStringLiteral("devices"),
        QStringLiteral("Number of simulated devices (default 48)."), QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"),
        QStringLiteral("Seed of the simulated network (default %1).").arg(settings->seed),
        QStringLiteral("n"));
    const QCommandLineOption scans(QStringLiteral("scans"),
        QStringLiteral("Scan rounds to run before the screenshots (default 3)."), QStringLiteral("n"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Save the main window to <file> after the scans, then exit."), QStringLiteral("file"));
    const QCommandLineOption results(QStringLiteral("results-screenshot"),
        QStringLiteral("After the scans, change every online device (renumbered from "
                       "172.16.0.2, mask 255.240.0.0) and save the results view to "
                       "<file>, then exit."),
        QStringLiteral("file"));
    const QCommandLineOption exportCsv(QStringLiteral("export-csv"),
        QStringLiteral("After the scans, write the device list as shown to <file> (CSV), then exit."),
        QStringLiteral("file"));
    const QCommandLineOption exportResults(QStringLiteral("export-results"),
        QStringLiteral("Change every online device as --results-screenshot does and write the "
                       "results to <file> (CSV), then exit."),
        QStringLiteral("file"));
    const QCommandLineOption interval(QStringLiteral("interval"),
        QStringLiteral("Milliseconds between scan rounds on screen (default 3000)."), QStringLiteral("ms"));
    const QCommandLineOption size(
        QStringLiteral("size"), QStringLiteral("Window size (default 1600x900)."), QStringLiteral("WxH"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"), QStringLiteral("Show the library's debug and info lines."));
    const QCommandLineOption faults(QStringLiteral("faults"),
        QStringLiteral("Faults of the simulated network during a change, e.g. "
                       "drop=0.1,duplicate=0.05,delay=3000,reboot=0.02,stray=0.02."),
        QStringLiteral("list"));
    const QCommandLineOption changeTimeout(QStringLiteral("change-timeout"),
        QStringLiteral("Milliseconds a change waits for the devices' answers (default %1).")
            .arg(ChangeTracker::DefaultTimeout),
        QStringLiteral("ms"));
    const QCommandLineOption smallScreenshots(QStringLiteral("small-screenshots"),
        QStringLiteral("After the change, save the results view, an editor and the batch editor in an "
                       "800x500 window to <folder>, then exit."),
        QStringLiteral("folder"));
    const QCommandLineOption network(QStringLiteral("network"),
        QStringLiteral("Scan a real network instead of the simulation: an interface name (WS-Discovery "
                       "multicast on it) or HOST:PORT (probes sent directly there)."),
        QStringLiteral("iface|host:port"));
    const QCommandLineOption user(QStringLiteral("user"),
        QStringLiteral("The devices' administrator, for changes on the network."), QStringLiteral("name"));
    const QCommandLineOption passwordFile(QStringLiteral("password-file"),
        QStringLiteral("File whose first line is the administrator's password (else %1).")
            .arg(QLatin1String(PasswordVariable)),
        QStringLiteral("file"));
    const QCommandLineOption probeWait(QStringLiteral("probe-wait"),
        QStringLiteral("Milliseconds a round on the network waits for the devices' probe answers."),
        QStringLiteral("ms"));
    const QCommandLineOption responseProbe(QStringLiteral("response-probe"),
        QStringLiteral("After the scans, sort, filter and search step by step, print how long each "
                       "took to show, then exit."));
    parser.addOptions({ devices, seed, scans, screenshot, results, exportCsv, exportResults, interval, size,
        verbose, faults, changeTimeout, smallScreenshots, network, user, passwordFile, probeWait,
        responseProbe });

    *stop = true;
    if (!parser.parse(arguments)) {
        return usageError(parser, parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            parser, QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    }
    if (!readInt(parser, devices.names().first(), 1, 100000, &settings->devices)) {
        return usageError(parser, QStringLiteral("--devices takes a number from 1 to 100000"));
    }
    if (!readInt(parser, scans.names().first(), 0, 1000, &settings->headless.scans)) {
        return usageError(parser, QStringLiteral("--scans takes a number from 0 to 1000"));
    }
    if (!readInt(parser, interval.names().first(), 100, 3600000, &settings->interval)) {
        return usageError(parser, QStringLiteral("--interval takes milliseconds from 100 on"));
    }
    if (!readInt(parser, changeTimeout.names().first(), 1, 600000, &settings->changeTimeout)) {
        return usageError(parser, QStringLiteral("--change-timeout takes milliseconds from 1 to 600000"));
    }
    const QString faultError = NetworkFaults::fromString(parser.value(faults), &settings->faults);
    if (!faultError.isEmpty()) {
        return usageError(parser, QStringLiteral("--faults: %1").arg(faultError));
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        settings->seed = parser.value(seed).toUInt(&ok);
        if (!ok) {
            return usageError(parser, QStringLiteral("--seed takes a number from 0 to 4294967295"));
        }
    }
    if (parser.isSet(size)) {
        const QStringList parts = parser.value(size).split(QLatin1Char('x'));
        bool okWidth = false;
        bool okHeight = false;
        const QSize value(parts.value(0).toInt(&okWidth), parts.value(1).toInt(&okHeight));
        if (parts.size() != 2 || !okWidth || !okHeight || value.width() < 640 || value.height() < 400) {
            return usageError(parser, QStringLiteral("--size takes WIDTHxHEIGHT, at least 640x400"));
        }
        settings->size = value;
    }
    const QString networkError = parseNetworkOptions(parser, settings);
    if (!networkError.isEmpty()) {
        return usageError(parser, networkError);
    }
    settings->headless.screenshot = parser.value(screenshot);
    settings->headless.resultsScreenshot = parser.value(results);
    settings->headless.exportCsv = parser.value(exportCsv);
    settings->headless.exportResults = parser.value(exportResults);
    settings->headless.smallScreenshots = parser.value(smallScreenshots);
    settings->headless.responseProbe = parser.isSet(responseProbe);
    settings->verbose = parser.isSet(verbose);
    *stop = false;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool noDisplay = chooseOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("zvrviewmodel"));
    QGuiApplication::setApplicationName(QStringLiteral("devicefinder"));
    QGuiApplication::setApplicationVersion(QStringLiteral(ZVR_VERSION));

    Settings settings;
    bool stop = false;
    const int code = parseCommandLine(QCoreApplication::arguments(), &settings, &stop);
    if (stop) {
        return code;
    }
    const HeadlessRun::Options &run = settings.headless;
    const bool headless = !run.screenshot.isEmpty() || !run.resultsScreenshot.isEmpty()
        || !run.exportCsv.isEmpty() || !run.exportResults.isEmpty() || !run.smallScreenshots.isEmpty()
        || run.responseProbe;
    if (noDisplay && !headless) {
        QTextStream(stderr) << "devicefinder: no display; run headless with --screenshot, "
                               "--results-screenshot, --export-csv, --export-results or --response-probe\n";
        return 2;
    }

    if (!settings.verbose) {
        // The device table logs every read of a row number at debug level, and whole-table
        // operations at info level; warnings always show.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));
    }
    if (QGuiApplication::platformName() == QLatin1String("offscreen")
        && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
    }
    QQuickStyle::setStyle(QStringLiteral("Fusion"));

    // Only here is the back-end chosen: the real network, or the simulation.
    std::unique_ptr<ScanBackend> backend;
    NetworkBackend *network = nullptr;
    if (settings.onNetwork) {
        network = new NetworkBackend;
        backend.reset(network);
        QString error;
        if (!network->setTarget(settings.target, &error)) {
            QTextStream(stderr) << "devicefinder: --network: " << error << '\n';
            return 2;
        }
        if (settings.probeWait > 0) {
            network->setProbeWait(settings.probeWait);
        }
    } else {
        auto *simulated = new SimulatedNetwork;
        backend.reset(simulated);
        simulated->setNetwork(settings.seed, settings.devices);
        simulated->simulation()->setFaults(settings.faults);
    }
    DeviceFinder finder(backend.get());
    if (network) {
        // The back-end's own limit follows the one the results wait for.
        QObject::connect(&finder, &DeviceFinder::changeTimeoutChanged, network,
            [network, &finder] { network->setChangeTimeout(finder.changeTimeout()); });
        network->setChangeTimeout(settings.changeTimeout);
    }
    finder.setChangeTimeout(settings.changeTimeout);
    finder.restart();
    CredentialStore credentials;
    NetworkSession session(backend.get(), &credentials);
    session.setInteractive(!headless);
    if (!settings.password.isEmpty()) {
        credentials.set(settings.user, settings.password, false);
        settings.password.fill(QLatin1Char('\0'));
        settings.password.clear();
    } else if (network && !headless) {
        credentials.load();
    }
    // During a scan that reports thousands of devices, new rows reach the views a few
    // times a second, each batch placed in one pass.
    finder.sortModel()->setBatchInterval(ViewBatchMilliseconds);
    // The user's column layout; a headless run reads it as well, so that it exports
    // the list as the user sees it.
    QSettings columnSettings;
    DeviceColumns columns(&columnSettings);
    TableExport exporter(&finder, &columns);
    registerQmlTypes(&finder, &columns, &exporter);
    registerNetworkSession(&session);

    QQmlApplicationEngine engine;
    addQmlImportPath(&engine);
    engine.load(QUrl(QStringLiteral("qrc:/devicefinder/qml/main.qml")));
    auto *window = engine.rootObjects().isEmpty()
        ? nullptr
        : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window) {
        QTextStream(stderr) << "devicefinder: the interface did not load\n";
        return 1;
    }
    window->resize(settings.size);

    if (headless) {
        if (network) {
            // Said once for the change, whatever the number of devices that refused.
            QObject::connect(network, &NetworkBackend::credentialsRefused, &app, [](int requestId) {
                QTextStream(stderr) << "devicefinder: change request " << requestId
                                    << ": the devices refused the user name or password\n";
            });
        }
        settings.headless.devices = settings.onNetwork ? 0 : settings.devices;
        settings.headless.allowance = settings.onNetwork ? NetworkRoundAllowance * qMax(1, run.scans) : 0;
        settings.headless.changeTimeout = settings.changeTimeout;
        HeadlessRun run(&finder, &exporter, window, settings.headless);
        run.start();
        return QGuiApplication::exec();
    }

    // On screen the network is scanned at once and then at every interval.
    finder.scanInSlices();
    QTimer scanTimer;
    QObject::connect(&scanTimer, &QTimer::timeout, &finder, &DeviceFinder::scanInSlices);
    scanTimer.start(settings.interval);
    const int exitCode = QGuiApplication::exec();
    if (finder.unsettledCount() > 0) {
        QTextStream(stdout) << "devicefinder: " << finder.unsettledCount()
                            << " devices did not answer their change and were not seen since; "
                               "whether they took it is not known\n";
    }
    return exitCode;
}
