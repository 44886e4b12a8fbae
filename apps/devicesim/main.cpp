// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "deviceservice.h"
#include "discoveryservice.h"
#include "emulatednetwork.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QUdpSocket>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Whole ranges routed to this host (AnyIP) let devices hold their own addresses;
// a sample of far-apart addresses must all be local for that.
bool anyIpRouted()
{
    for (const char *address : { "192.168.1.10", "192.168.255.254", "172.31.255.254", "10.255.255.254" }) {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress(QLatin1String(address)), 0)) {
            return false;
        }
    }
    return true;
}

QList<QNetworkInterface> multicastInterfaces(const QString &names, QString *error)
{
    QList<QNetworkInterface> chosen;
    if (names == QLatin1String("none")) {
        return chosen;
    }
    const auto usable = [](const QNetworkInterface &interface) {
        return interface.flags().testFlag(QNetworkInterface::IsUp)
            && interface.flags().testFlag(QNetworkInterface::CanMulticast);
    };
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const bool loopback = interface.flags().testFlag(QNetworkInterface::IsLoopBack);
        if (usable(interface)
            && (names == QLatin1String("all") || (names.isEmpty() && loopback)
                || names.split(QLatin1Char(',')).contains(interface.name()))) {
            chosen << interface;
        }
    }
    for (const QString &name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (name != QLatin1String("all") && !usable(QNetworkInterface::interfaceFromName(name))) {
            *error = QStringLiteral("interface %1 is not up or carries no multicast").arg(name);
        }
    }
    return chosen;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zvr-devicesim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZVR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays many of the system's devices on the network it runs in: WS-Discovery and the ONVIF device "
        "service, from the same seeded device model as the device finder's simulation."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption devices(QStringLiteral("devices"),
        QStringLiteral("Number of devices (default 1000)."), QStringLiteral("count"), QStringLiteral("1000"));
    const QCommandLineOption seed(QStringLiteral("seed"),
        QStringLiteral("Seed of the device model (default %1).").arg(Simulation::DefaultSeed),
        QStringLiteral("number"), QString::number(Simulation::DefaultSeed));
    const QCommandLineOption interval(QStringLiteral("interval"),
        QStringLiteral("Milliseconds between two drift rounds of the network; 0 for none (default 10000)."),
        QStringLiteral("ms"), QStringLiteral("10000"));
    const QCommandLineOption rounds(QStringLiteral("rounds"),
        QStringLiteral("Rounds the network has moved on when the devices start answering (default 1)."),
        QStringLiteral("count"), QStringLiteral("1"));
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("TCP port of every device's service (default 80)."), QStringLiteral("port"),
        QStringLiteral("80"));
    const QCommandLineOption probePort(QStringLiteral("probe-port"),
        QStringLiteral("UDP port for directed probes (default 3702)."), QStringLiteral("port"),
        QStringLiteral("3702"));
    const QCommandLineOption interfaces(QStringLiteral("interfaces"),
        QStringLiteral("Interfaces that join 239.255.255.250: names joined by commas, \"all\" (every "
                       "multicast-capable one) or \"none\"; by default loopback, when it carries multicast."),
        QStringLiteral("names"));
    const QCommandLineOption user(QStringLiteral("user"),
        QStringLiteral("Administrator's name (default admin)."), QStringLiteral("name"),
        QStringLiteral("admin"));
    const QCommandLineOption passwordFile(QStringLiteral("password-file"),
        QStringLiteral("File whose first line is the administrator's password; else ZVR_DEVICESIM_PASSWORD, "
                       "else \"admin\"."),
        QStringLiteral("file"));
    const QCommandLineOption readsNeedUser(QStringLiteral("reads-need-user"),
        QStringLiteral("Reads other than the clock need credentials too."));
    const QCommandLineOption faults(QStringLiteral("faults"),
        QStringLiteral("drop, duplicate, reboot, stray and garble as shares from 0 to 1, delay in ms: "
                       "\"drop=0.1,garble=0.05\"."),
        QStringLiteral("list"));
    const QCommandLineOption addressMode(QStringLiteral("address-mode"),
        QStringLiteral("anyip (devices hold 192.168.x.y and the like; needs those ranges routed to lo) or "
                       "loopback (devices hold 127.x.y.z); by default anyip where routed."),
        QStringLiteral("mode"));
    const QCommandLineOption truthFile(QStringLiteral("truth-file"),
        QStringLiteral("On exit, write where each device really is and what it reports to <file> "
                       "(tab-separated, a title line first)."),
        QStringLiteral("file"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"), QStringLiteral("A log line for every request."));
    parser.addOptions({ devices, seed, interval, rounds, port, probePort, interfaces, user, passwordFile,
        readsNeedUser, faults, addressMode, truthFile, verbose });
    parser.process(app);

    const auto fail = [](const QString &message) {
        qCritical("zvr-devicesim: %s", qUtf8Printable(message));
        return 2;
    };
    bool ok = false;
    EmulatedNetwork::Options network;
    network.devices = parser.value(devices).toInt(&ok);
    if (!ok || network.devices < 1 || network.devices > 1000000) {
        return fail(QStringLiteral("--devices takes 1 to 1000000"));
    }
    network.seed = parser.value(seed).toUInt(&ok);
    if (!ok) {
        return fail(QStringLiteral("--seed takes an unsigned number"));
    }
    network.interval = parser.value(interval).toInt(&ok);
    if (!ok || network.interval < 0) {
        return fail(QStringLiteral("--interval takes milliseconds, 0 or more"));
    }
    network.rounds = parser.value(rounds).toInt(&ok);
    if (!ok || network.rounds < 1 || network.rounds > 10000) {
        return fail(QStringLiteral("--rounds takes 1 to 10000"));
    }
    const uint httpPort = parser.value(port).toUInt(&ok);
    const uint udpPort = parser.value(probePort).toUInt(&ok) && ok ? parser.value(probePort).toUInt() : 0;
    if (!ok || httpPort == 0 || httpPort > 65535 || udpPort == 0 || udpPort > 65535) {
        return fail(QStringLiteral("--port and --probe-port take 1 to 65535"));
    }
    network.httpPort = quint16(httpPort);

    // garble belongs to the emulator; the rest is the model's own grammar.
    QStringList modelFaults;
    for (const QString &item : parser.value(faults).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (item.trimmed().startsWith(QLatin1String("garble="))) {
            network.garble = item.section(QLatin1Char('='), 1).trimmed().toDouble(&ok);
            if (!ok || !(network.garble >= 0 && network.garble <= 1)) {
                return fail(QStringLiteral("garble takes a share from 0 to 1"));
            }
        } else {
            modelFaults << item;
        }
    }
    const QString refusal = NetworkFaults::fromString(modelFaults.join(QLatin1Char(',')), &network.faults);
    if (!refusal.isEmpty()) {
        // The model's own list, with the emulator's fault added.
        return fail(
            QString(refusal).replace(QLatin1String(" and stray"), QLatin1String(", stray and garble")));
    }

    const QString mode = parser.value(addressMode);
    if (mode == QLatin1String("anyip") || (mode.isEmpty() && anyIpRouted())) {
        network.mode = EmulatedNetwork::AddressMode::AnyIp;
    } else if (mode.isEmpty() || mode == QLatin1String("loopback")) {
        network.mode = EmulatedNetwork::AddressMode::Loopback;
    } else {
        return fail(QStringLiteral("--address-mode takes anyip or loopback"));
    }
    QString error;
    const QList<QNetworkInterface> groupInterfaces = multicastInterfaces(parser.value(interfaces), &error);
    if (!error.isEmpty()) {
        return fail(error);
    }

    DeviceService::Options service;
    service.user = parser.value(user);
    service.readsNeedUser = parser.isSet(readsNeedUser);
    service.verbose = parser.isSet(verbose);
    service.password = qEnvironmentVariable("ZVR_DEVICESIM_PASSWORD", QStringLiteral("admin"));
    if (parser.isSet(passwordFile)) {
        QFile file(parser.value(passwordFile));
        if (!file.open(QIODevice::ReadOnly)) {
            return fail(QStringLiteral("cannot read the password file: %1").arg(file.errorString()));
        }
        service.password
            = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    }

    EmulatedNetwork emulated(network);
    emulated.start();
    DeviceService deviceService(&emulated, service);
    DiscoveryService discovery(&emulated, service.verbose);
    // Said once the startup Hellos are out, so that a script can wait for a quiet network.
    QObject::connect(&discovery, &DiscoveryService::announced, &app,
        [] { qInfo("zvr-devicesim: every answering device announced"); }, Qt::QueuedConnection);
    if (!deviceService.start(network.httpPort, &error)
        || !discovery.start(quint16(udpPort), groupInterfaces, &error)) {
        return fail(error);
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return fail(QStringLiteral("no signal pipe"));
    }
    QSocketNotifier signals(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        signals.setEnabled(false);
        discovery.shutdown();
    });
    const QString truthPath = parser.value(truthFile);
    QObject::connect(&discovery, &DiscoveryService::finished, &app, [&emulated, &truthPath] {
        QString why;
        if (!truthPath.isEmpty() && !emulated.writeTruth(truthPath, &why)) {
            qCritical("zvr-devicesim: cannot write %s: %s", qUtf8Printable(truthPath), qUtf8Printable(why));
            QCoreApplication::exit(1);
            return;
        }
        QCoreApplication::exit(0);
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    QStringList names;
    for (const QNetworkInterface &interface : groupInterfaces) {
        names << interface.name();
    }
    int answering = 0;
    for (int i = 0; i < emulated.deviceCount(); ++i) {
        answering += emulated.answers(i) ? 1 : 0;
    }
    qInfo("zvr-devicesim: %d devices (seed %u, %d answering), %s addresses, service on TCP %u, probes on UDP "
          "%u, "
          "multicast on %s",
        network.devices, network.seed, answering,
        network.mode == EmulatedNetwork::AddressMode::AnyIp ? "AnyIP" : "127.0.0.0/8", httpPort, udpPort,
        names.isEmpty() ? "no interface" : qUtf8Printable(names.join(QLatin1Char(','))));
    return app.exec();
}
