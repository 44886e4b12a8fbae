// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKRIG_H
#define ZVR_NETWORKRIG_H

// The network back-end's test rigs: the emulator in this process, a device of the
// test's own making, and the captured messages that seed the parsers.

#include "deviceservice.h"
#include "discoveryservice.h"
#include "emulatednetwork.h"

#include <netscan/networkbackend.h>

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <initializer_list>
#include <memory>

namespace {

constexpr int Devices = 48;

inline QByteArray seed(const QString &name)
{
    QFile file(QStringLiteral(ZVR_CORPUS_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("seed %s missing", qPrintable(name));
    }
    const QByteArray data = file.readAll();
    // A device-service seed starts with the byte that names its operation.
    return name.startsWith(QLatin1String("fuzz_deviceservice/")) ? data.mid(1) : data;
}

inline void spin(int milliseconds, const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// The emulator on loopback addresses, in this process.
struct Rig
{
    explicit Rig(int answerDelay = 0, bool readsNeedUser = false)
    {
        QTcpServer free;
        free.listen(QHostAddress::LocalHost, 0);
        EmulatedNetwork::Options options;
        options.devices = Devices;
        options.interval = 0;
        options.answerDelay = answerDelay;
        options.httpPort = free.serverPort();
        free.close();
        network = std::make_unique<EmulatedNetwork>(options);
        network->start();
        DeviceService::Options serviceOptions;
        serviceOptions.readsNeedUser = readsNeedUser;
        service = std::make_unique<DeviceService>(network.get(), serviceOptions);
        QString error;
        QVERIFY2(service->start(options.httpPort, &error), qPrintable(error));
        startDiscovery();
        backend.setProbeWait(400);
        backend.setReadTimeout(2000);
        backend.setChangeTimeout(3000);
        backend.setCredentials(QStringLiteral("admin"), QStringLiteral("admin"));
        QObject::connect(&backend, &ScanBackend::deviceReported, &backend,
            [this](const MacScanDeviceInfo &info, int kind) {
                reports.append({ info, kind });
            });
        QObject::connect(&backend, &ScanBackend::ipStateReported, &backend,
            [this](const QString &mac, int state) { states.insert(mac, state); });
        QObject::connect(&backend, &ScanBackend::changeAnswered, &backend,
            [this](int, const QVector<ChangeOutcome> &answers) { outcomes += answers; });
    }

    void startDiscovery()
    {
        discovery = std::make_unique<DiscoveryService>(network.get(), false);
        QString error;
        QVERIFY2(discovery->start(0, {}, &error), qPrintable(error));
        backend.setDirectedTarget(QHostAddress::LocalHost, discovery->probePort());
    }

    void round()
    {
        reports.clear();
        states.clear();
        backend.startRound();
        spin(15000, [this] { return !backend.roundUnderWay(); });
        QVERIFY(!backend.roundUnderWay());
    }

    // The last report of each device this round, by communication MAC.
    QHash<QString, QPair<MacScanDeviceInfo, int>> lastReports() const
    {
        QHash<QString, QPair<MacScanDeviceInfo, int>> last;
        for (const auto &report : reports) {
            if (report.second != 2) {
                last.insert(report.first.deviceCommMac(), report);
            }
        }
        return last;
    }

    int indexOf(const QString &commMac) const
    {
        for (int i = 0; i < network->deviceCount(); ++i) {
            if (network->info(i).deviceCommMac() == commMac) {
                return i;
            }
        }
        return -1;
    }

    std::unique_ptr<EmulatedNetwork> network;
    std::unique_ptr<DeviceService> service;
    std::unique_ptr<DiscoveryService> discovery;
    NetworkBackend backend;
    QVector<QPair<MacScanDeviceInfo, int>> reports;
    QHash<QString, int> states;
    QVector<ChangeOutcome> outcomes;
};

inline QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items) {
        list << QString::fromUtf8(item);
    }
    return list;
}

inline QString portsText(const QVector<t_device_network_info> &ports)
{
    QStringList parts;
    for (const t_device_network_info &port : ports) {
        parts << QStringLiteral("%1 %2 %3/%4 gw %5")
                     .arg(port.id)
                     .arg(port.mac, port.ip, port.subnetMask, port.gateway);
    }
    return parts.join(QStringLiteral("; "));
}

inline QString valuesText(const MacScanDeviceInfo &info)
{
    return QStringList { info.deviceCommMac(), info.deviceModel(), info.deviceSN(), info.name(),
        info.firmwareVer(), QString::number(info.nodeType()), QString::number(info.subNodeType()),
        QString::number(info.runMode()), QString::number(info.malfunction()),
        QString::number(info.callRollState()), QString::number(info.isOffline()),
        portsText(info.networkInfo()) }
        .join(QLatin1Char('|'));
}

/* A device of the test's own making: answers each probe with a datagram built from its
 * MessageID, and serves its device service on a port of its own as the row says.
 */
struct FakeDevice
{
    explicit FakeDevice(const QString &http)
    {
        udp.bind(QHostAddress(QHostAddress::LocalHost), 0);
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, http] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                    [this, socket, http] { serve(socket, http, socket->readAll()); });
            }
        });
        QObject::connect(&udp, &QUdpSocket::readyRead, &udp, [this] {
            while (udp.hasPendingDatagrams()) {
                const QNetworkDatagram probe = udp.receiveDatagram();
                SoapMessage message;
                QString error;
                SoapMessage::parse(probe.data(), &message, &error);
                for (const QByteArray &answer : answers(message.header.value(QStringLiteral("MessageID")))) {
                    udp.writeDatagram(answer, probe.senderAddress(), quint16(probe.senderPort()));
                }
            }
        });
    }

    void serve(QTcpSocket *socket, const QString &http, const QByteArray &request)
    {
        const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Type: application/soap+xml\r\nContent-Length: ";
        if (http == QLatin1String("huge")) {
            const QByteArray body(100000, ' ');
            socket->write(ok + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        } else if (http == QLatin1String("huge, no length")) {
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(100000, ' '));
        } else if (http == QLatin1String("redirect")) {
            socket->write("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: 0\r\n\r\n");
        } else if (http == QLatin1String("error")) {
            socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
        } else if (http == QLatin1String("slow")) {
            socket->write(ok + "2000\r\n\r\n<");
            auto *drip = new QTimer(socket);
            QObject::connect(drip, &QTimer::timeout, socket, [socket] { socket->write(" "); });
            drip->start(100);
        } else if (http == QLatin1String("served elsewhere")) {
            // A whole device, whose interfaces hold other addresses than the one it serves at.
            const QByteArray whole = socket->property("request").toByteArray() + request;
            socket->setProperty("request", whole.contains("Envelope>") ? QByteArray() : whole);
            if (!whole.contains("Envelope>")) {
                return;
            }
            int read = 0;
            while (read < 4
                && !whole.contains(QByteArrayList {
                    "GetDeviceInformation", "GetNetworkInterfaces", "GetNetworkDefaultGateway", "GetScopes" }
                                       .at(read))) {
                ++read;
            }
            const char *const seeds[] = { "0-GetDeviceInformation.xml", "1-GetNetworkInterfaces.xml",
                "2-GetNetworkDefaultGateway.xml", "6-GetScopes.xml", "3-GetSystemDateAndTime.xml" };
            const QByteArray body = seed(QStringLiteral("fuzz_deviceservice/") + QLatin1String(seeds[read]));
            socket->write(ok + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        } else if (http == QLatin1String("no interfaces")) {
            const QByteArray body
                = "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body>"
                  "<GetNetworkInterfacesResponse xmlns=\"http://www.onvif.org/ver10/device/wsdl\"/>"
                  "</e:Body></e:Envelope>";
            socket->write(ok + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
    }

    QByteArray match(const QString &relatesTo, const QByteArray &types = "tds:Device") const
    {
        return QByteArray(seed(QStringLiteral("fuzz_discovery/probematches-encoder.xml")))
            .replace("urn:uuid:0f751aac-045c-4c53-8f4c-cb7b3e5677ce", relatesTo.toUtf8())
            .replace("tds:Device dn:NetworkVideoTransmitter", types)
            .replace(
                "127.168.1.20:18080", QByteArray("127.0.0.1:" + QByteArray::number(server.serverPort())));
    }

    std::function<QVector<QByteArray>(const QString &)> answers;
    QUdpSocket udp;
    QTcpServer server;
};

} // namespace

#endif // ZVR_NETWORKRIG_H
