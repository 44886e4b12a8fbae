// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// A computer that announces itself by WS-Discovery beside the devices: it answers every
// probe, whatever its Types, as a "pub:Computer" with an HTTP address of its own, and
// writes a line to the file named on its command line for every connection it gets.
// A finder that lists only network video devices never connects.
#include <QCoreApplication>
#include <QFile>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        qCritical("usage: foreign_responder CONNECTIONS-FILE");
        return 2;
    }
    const QString connectionsFile = QString::fromLocal8Bit(argv[1]);
    QTcpServer http;
    QUdpSocket udp;
    if (!http.listen(QHostAddress::LocalHost)
        || !udp.bind(QHostAddress::AnyIPv4, 3702, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
        || !udp.joinMulticastGroup(
            QHostAddress(QStringLiteral("239.255.255.250")), QNetworkInterface::interfaceFromName(QStringLiteral("lo")))) {
        qCritical("foreign_responder: cannot listen");
        return 1;
    }
    QObject::connect(&http, &QTcpServer::newConnection, &app, [&] {
        while (QTcpSocket *socket = http.nextPendingConnection()) {
            QFile file(connectionsFile);
            if (file.open(QIODevice::Append)) {
                file.write("connection\n");
            }
            socket->close();
            socket->deleteLater();
        }
    });
    const QRegularExpression messageId(QStringLiteral("MessageID[^>]*>([^<]+)<"));
    QObject::connect(&udp, &QUdpSocket::readyRead, &app, [&] {
        while (udp.hasPendingDatagrams()) {
            const QNetworkDatagram probe = udp.receiveDatagram();
            const QString text = QString::fromUtf8(probe.data());
            const QRegularExpressionMatch id = messageId.match(text);
            if (!text.contains(QLatin1String("Probe")) || text.contains(QLatin1String("ProbeMatches"))
                || !id.hasMatch()) {
                continue;
            }
            const QString answer = QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
                " xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
                " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
                " xmlns:pub=\"http://schemas.microsoft.com/windows/pub/2005/07\">"
                "<env:Header><wsa:MessageID>urn:uuid:0b5f61a2-9d3c-4c1e-8a57-3f0e7c2d9b14</wsa:MessageID>"
                "<wsa:RelatesTo>%1</wsa:RelatesTo>"
                "<wsa:To>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</wsa:To>"
                "<wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches</wsa:Action>"
                "</env:Header><env:Body><d:ProbeMatches><d:ProbeMatch><wsa:EndpointReference>"
                "<wsa:Address>urn:uuid:6d0b8c4e-1f2a-4e7b-9c3d-5a8e2f1b7c60</wsa:Address></wsa:EndpointReference>"
                "<d:Types>pub:Computer</d:Types><d:Scopes>onvif://www.onvif.org/name/desktop</d:Scopes>"
                "<d:XAddrs>http://127.0.0.1:%2/onvif/device_service</d:XAddrs>"
                "<d:MetadataVersion>1</d:MetadataVersion></d:ProbeMatch></d:ProbeMatches></env:Body></env:Envelope>")
                                       .arg(id.captured(1).toHtmlEscaped())
                                       .arg(http.serverPort());
            udp.writeDatagram(answer.toUtf8(), probe.senderAddress(), quint16(probe.senderPort()));
        }
    });
    return app.exec();
}
