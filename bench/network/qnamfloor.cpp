// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// What Qt Network alone costs for the first round's reads: the finder's requests, with
// nothing done with the answers but counting them. No window, no parsing, no model: the
// floor under the finder's time.
//
//   zvr-qnamfloor TRUTH-FILE [port] [requests-at-once] [one-connection]
//
// Each device's five reads go side by side, each on a connection of its own that the
// device closes (requests-at-once / 5 devices at once); with "one-connection" one after
// another over one kept-alive connection (requests-at-once devices at once).
//
// TRUTH-FILE is the emulator's account of its devices (--truth-file): the answering
// devices are read at their current addresses.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextStream>

#include <functional>
#include <memory>

#include <sys/resource.h>

namespace {

constexpr int ReadsPerDevice = 5;

const QByteArray Body = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\">"
    "<s:Body><GetDeviceInformation xmlns=\"http://www.onvif.org/ver10/device/wsdl\"/></s:Body>"
    "</s:Envelope>");

QStringList readAddresses(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QStringList addresses;
    QTextStream in(&file);
    const QStringList title = in.readLine().split(QLatin1Char('\t'));
    const int answering = title.indexOf(QStringLiteral("answering"));
    const int ip = title.indexOf(QStringLiteral("ip"));
    if (answering < 0 || ip < 0) {
        return {};
    }
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() > qMax(ip, answering) && fields.at(answering) == QLatin1String("1")) {
            addresses.append(fields.at(ip));
        }
    }
    return addresses;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: zvr-qnamfloor TRUTH-FILE [port] [requests-at-once] [one-connection]\n";
        return 2;
    }
    const QStringList addresses = readAddresses(args.at(1));
    const int port = args.size() > 2 ? args.at(2).toInt() : 80;
    const bool oneConnection = args.size() > 4 && args.at(4) == QLatin1String("one-connection");
    const int atOnce = (args.size() > 3 ? args.at(3).toInt() : 160) / (oneConnection ? 1 : ReadsPerDevice);
    if (addresses.isEmpty() || port <= 0 || atOnce <= 0) {
        QTextStream(stderr) << "zvr-qnamfloor: no addresses, or a bad port or count\n";
        return 2;
    }

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    int next = 0;
    int running = 0;
    int answered = 0;
    int failed = 0;
    QElapsedTimer clock;
    const double cpuAtStart = cpuSeconds();

    std::function<void()> startDevices;
    std::function<void(const QUrl &, std::shared_ptr<int>)> post;
    post = [&](const QUrl &url, std::shared_ptr<int> left) {
        QNetworkRequest request(url);
        request.setHeader(
            QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/soap+xml; charset=utf-8"));
        if (!oneConnection || *left == 1) {
            request.setRawHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
        }
        QNetworkReply *reply = manager.post(request, Body);
        QObject::connect(reply, &QNetworkReply::finished, &manager, [&, url, reply, left] {
            reply->deleteLater();
            if (reply->error() == QNetworkReply::NoError) {
                reply->readAll();
                ++answered;
            } else {
                ++failed;
            }
            if (--*left == 0) {
                --running;
                startDevices();
            } else if (oneConnection) {
                post(url, left);
            }
        });
    };
    const auto readDevice = [&](const QString &address) {
        QUrl url;
        url.setScheme(QStringLiteral("http"));
        url.setHost(address);
        url.setPort(port);
        url.setPath(QStringLiteral("/onvif/device_service"));
        auto left = std::make_shared<int>(ReadsPerDevice);
        for (int read = 0; read < (oneConnection ? 1 : ReadsPerDevice); ++read) {
            post(url, left);
        }
    };
    startDevices = [&] {
        while (running < atOnce && next < addresses.size()) {
            ++running;
            readDevice(addresses.at(next++));
        }
        if (running == 0) {
            QTextStream(stdout) << "zvr-qnamfloor: " << addresses.size() << " devices, " << answered
                                << " answers, " << failed << " failures in " << clock.elapsed() << " ms, "
                                << QString::number(cpuSeconds() - cpuAtStart, 'f', 1) << " s of CPU\n";
            QCoreApplication::quit();
        }
    };
    clock.start();
    startDevices();
    return app.exec();
}
