// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkbackendtest.h"
#include "networkrig.h"

#include <logcapture.h>

#include <netscan/networktarget.h>
#include <netscan/onvifmessages_p.h>

#include <QRegularExpression>

void NetworkBackendTest::probeMatches_data()
{
    QTest::addColumn<QByteArray>("datagram");
    // "relatesTo|endpoint|device|kind scopes" per match, or "error: ..." for a drop.
    QTest::addColumn<QString>("expected");
    const QByteArray encoder = seed(QStringLiteral("fuzz_discovery/probematches-encoder.xml"));
    const QByteArray other = seed(QStringLiteral("fuzz_discovery/probematches-other-maker.xml"));
    const QString ok
        = QStringLiteral("urn:uuid:0f751aac-045c-4c53-8f4c-cb7b3e5677ce|urn:uuid:0993e9f6-9e3a-"
                         "5afd-9ae7-1db64ea651b0|1|http://127.168.1.20:18080/onvif/device_service|1");
    QTest::newRow("encoder") << encoder << ok;
    QTest::newRow("UTF-8 named") << QByteArray(encoder).replace("\"UTF-8\"", "'utf-8'") << ok;
    QTest::newRow("another encoding named") << QByteArray(encoder).replace("UTF-8", "IBM00924") << "error";
    QTest::newRow("declaration unended") << QByteArray(encoder).replace("?>", ">") << "error";
    QTest::newRow("another maker") << other << "";
    QTest::newRow("not a device") << QByteArray(encoder).replace(
        "<d:Types>tds:Device dn:NetworkVideoTransmitter</d:Types>",
        "<d:Types>dn:NetworkVideoTransmitter pc:Computer</d:Types>")
                                  << "";
    QTest::newRow("not XML") << QByteArray("\x01\x02hello") << "error";
    QTest::newRow("not well-formed") << encoder.left(encoder.size() - 20) << "error";
    QTest::newRow("over 8 KB") << QByteArray(encoder).replace(
        "<d:Types>", QByteArray(QByteArray(8192, ' ') + "<d:Types>"))
                               << "error";
    QTest::newRow("DTD") << "<!DOCTYPE e [<!ENTITY a \"x\">]>" + encoder << "error";
    QTest::newRow("no RelatesTo") << QByteArray(encoder).replace("RelatesTo>", "Related>") << "error";
    QTest::newRow("no MetadataVersion")
        << QByteArray(encoder).replace("MetadataVersion>1<", "MetadataVersion>x<") << "error";
    QTest::newRow("no http XAddrs") << QByteArray(encoder).replace("http://", "https://") << "error";
    QTest::newRow("a Hello") << QByteArray(encoder).replace("ProbeMatches>", "Hello>") << "error";
}

void NetworkBackendTest::probeMatches()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, expected);
    QString relatesTo;
    QVector<Onvif::ProbeMatch> matches;
    QString error;
    LogCapture log;
    const bool ok = Onvif::parseProbeMatches(datagram, &relatesTo, &matches, &error);
    QCOMPARE(log.lines().size(), 0);
    QCOMPARE(ok, expected != QLatin1String("error"));
    QCOMPARE(error.isEmpty(), ok);
    if (!ok || expected.isEmpty()) {
        return;
    }
    QCOMPARE(matches.size(), 1);
    const Onvif::ProbeMatch &match = matches.first();
    QCOMPARE(QStringList({ relatesTo, match.endpoint, QString::number(match.isDevice()), match.xaddr,
                             QString::number(match.metadataVersion) })
                 .join(QLatin1Char('|')),
        expected);
}

void NetworkBackendTest::deviceAnswers_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("answer");
    // What the answer reads as, or "error" for one that is dropped.
    QTest::addColumn<QString>("expected");
    const int info = int(Onvif::Operation::GetDeviceInformation);
    const int interfaces = int(Onvif::Operation::GetNetworkInterfaces);
    const int gateway = int(Onvif::Operation::GetNetworkDefaultGateway);
    const int clock = int(Onvif::Operation::GetSystemDateAndTime);
    const int setInterfaces = int(Onvif::Operation::SetNetworkInterfaces);
    const int setGateway = int(Onvif::Operation::SetNetworkDefaultGateway);
    const int scopes = int(Onvif::Operation::GetScopes);
    const QByteArray infoSeed = seed(QStringLiteral("fuzz_deviceservice/0-GetDeviceInformation.xml"));
    const QByteArray ports = seed(QStringLiteral("fuzz_deviceservice/1-GetNetworkInterfaces.xml"));
    const QByteArray time = seed(QStringLiteral("fuzz_deviceservice/3-GetSystemDateAndTime.xml"));
    const QByteArray ok
        = "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
          "xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\"><env:Body>%1</env:Body></env:Envelope>";
    QTest::newRow("information") << info << infoSeed << "ZE-2100|V2.4.16|ZV24021155";
    QTest::newRow("interfaces")
        << interfaces << ports
        << "eth0 00:1E:C0:00:00:09 127.168.1.20/24; eth1 00:1E:C1:00:00:09 127.168.2.50/24";
    QTest::newRow("interfaces by DHCP")
        << interfaces
        << QByteArray(ports).replace("<tt:DHCP>false</tt:DHCP>",
               "<tt:FromDHCP><tt:Address>10.0.0.5</tt:Address><tt:PrefixLength>16</tt:PrefixLength></"
               "tt:FromDHCP>"
               "<tt:DHCP>true</tt:DHCP>")
        << "eth0 00:1E:C0:00:00:09 10.0.0.5/16; eth1 00:1E:C1:00:00:09 10.0.0.5/16";
    QTest::newRow("no interfaces") << interfaces
                                   << QByteArray(ok).replace("%1", "<tds:GetNetworkInterfacesResponse/>")
                                   << "";
    QTest::newRow("interface address")
        << interfaces << QByteArray(ports).replace("127.168.1.20", "127.168.1.300") << "error";
    QTest::newRow("interface without token")
        << interfaces << QByteArray(ports).replace("token=", "name=") << "error";
    QTest::newRow("gateway") << gateway
                             << seed(QStringLiteral("fuzz_deviceservice/2-GetNetworkDefaultGateway.xml"))
                             << "127.168.1.1";
    const QByteArray scopeSeed = seed(QStringLiteral("fuzz_deviceservice/6-GetScopes.xml"));
    QTest::newRow("scopes") << scopes << scopeSeed
                            << "onvif://www.onvif.org/hardware/ZE-2100 zvr://node/encoder zvr://fault/0";
    QTest::newRow("over 64 scopes")
        << scopes
        << QByteArray(scopeSeed).replace("<tds:Scopes>",
               QByteArray(QByteArray("<tds:Scopes><tt:ScopeItem>x</tt:ScopeItem></tds:Scopes>").repeated(65)
                   + "<tds:Scopes>"))
        << "error";
    QTest::newRow("local time") << clock << time << "2026-03-02 08:59:32";
    QTest::newRow("UTC only") << clock << QByteArray(time).replace("LocalDateTime", "Elsewhere")
                              << "2026-12-09 21:05:29";
    QTest::newRow("month 13") << clock << QByteArray(time).replace("<tt:Month>3<", "<tt:Month>13<")
                              << "2026-12-09 21:05:29";
    QTest::newRow("no valid time")
        << clock << QByteArray(time).replace("<tt:Month>", "<tt:Mon>").replace("</tt:Month>", "</tt:Mon>")
        << "error";
    QTest::newRow("reboot needed")
        << setInterfaces
        << QByteArray(ok).replace("%1",
               "<tds:SetNetworkInterfacesResponse><tds:RebootNeeded>true</tds:RebootNeeded>"
               "</tds:SetNetworkInterfacesResponse>")
        << "reboot 1";
    QTest::newRow("invalid address") << setInterfaces
                                     << seed(QStringLiteral(
                                            "fuzz_deviceservice/4-fault-InvalidIPv4Address.xml"))
                                     << "fault ter:InvalidArgVal ter:InvalidIPv4Address";
    QTest::newRow("not authorized") << setGateway
                                    << seed(QStringLiteral("fuzz_deviceservice/5-fault-NotAuthorized.xml"))
                                    << "fault ter:NotAuthorized";
    QTest::newRow("node locked") << setGateway
                                 << seed(QStringLiteral("fuzz_deviceservice/5-central-gateway.xml"))
                                 << "fault zvr:NodeIpLocked";
    QTest::newRow("another answer") << interfaces << infoSeed << "error";
    QTest::newRow("over 64 KB") << info
                                << QByteArray(infoSeed).replace(
                                       "<tds:Model>", QByteArray(QByteArray(65536, ' ') + "<tds:Model>"))
                                << "error";
    QTest::newRow("deep") << info
                          << QByteArray(infoSeed).replace("<tds:Model>ZE-2100</tds:Model>",
                                 QByteArray(QByteArray("<a>").repeated(30) + QByteArray("</a>").repeated(30)))
                          << "error";
    QTest::newRow("text over 4096") << info << QByteArray(infoSeed).replace("ZE-2100", QByteArray(5000, 'x'))
                                    << "error";
    QTest::newRow("empty body") << info << QByteArray(ok).replace("%1", "") << "error";
    QTest::newRow("not XML") << info << QByteArray("HTTP/1.1 200 OK") << "error";
}

void NetworkBackendTest::deviceAnswers()
{
    QFETCH(int, operation);
    QFETCH(QByteArray, answer);
    QFETCH(QString, expected);
    Onvif::DeviceAnswer read;
    QString error;
    const bool ok = Onvif::parseDeviceAnswer(answer, Onvif::Operation(operation), &read, &error);
    QCOMPARE(ok, expected != QLatin1String("error"));
    QCOMPARE(error.isEmpty(), ok);
    if (!ok) {
        return;
    }
    QString text;
    if (read.fault) {
        text = QStringLiteral("fault ") + read.subcodes.join(QLatin1Char(' '));
        text.replace(QLatin1Char('{') + Onvif::ErrorNs + QLatin1Char('}'), QStringLiteral("ter:"));
        text.replace(QLatin1Char('{') + Onvif::ZvrNs + QLatin1Char('}'), QStringLiteral("zvr:"));
    } else {
        switch (Onvif::Operation(operation)) {
        case Onvif::Operation::GetDeviceInformation:
            text = QStringList { read.model, read.firmware, read.serialNumber }.join(QLatin1Char('|'));
            break;
        case Onvif::Operation::GetNetworkInterfaces: {
            QStringList parts;
            for (const Onvif::InterfaceInfo &port : read.interfaces) {
                parts << QStringLiteral("%1 %2 %3/%4")
                             .arg(port.token, port.mac, port.ip)
                             .arg(port.prefixLength);
            }
            text = parts.join(QStringLiteral("; "));
            break;
        }
        case Onvif::Operation::GetNetworkDefaultGateway:
            text = read.gateway;
            break;
        case Onvif::Operation::GetSystemDateAndTime:
            text = read.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            break;
        case Onvif::Operation::GetScopes:
            text = read.scopes.filter(QRegularExpression(QStringLiteral("hardware|node|fault")))
                       .join(QLatin1Char(' '));
            break;
        default:
            text = QStringLiteral("reboot %1").arg(read.rebootNeeded);
            break;
        }
    }
    QCOMPARE(text, expected);
}

void NetworkBackendTest::faultOutcomes_data()
{
    QTest::addColumn<QStringList>("subcodes");
    QTest::addColumn<int>("result"); // -1: credentials refused, -2: not in the table
    const auto ter = [](const char *local) -> QString {
        return QLatin1Char('{') + Onvif::ErrorNs + QLatin1Char('}') + QLatin1String(local);
    };
    const auto zvr = [](const char *local) -> QString {
        return QLatin1Char('{') + Onvif::ZvrNs + QLatin1Char('}') + QLatin1String(local);
    };
    QTest::newRow("InvalidIPv4Address")
        << QStringList { ter("InvalidArgVal"), ter("InvalidIPv4Address") } << 5;
    QTest::newRow("InvalidArgVal") << QStringList { ter("InvalidArgVal") } << 5;
    QTest::newRow("InvalidGatewayAddress")
        << QStringList { ter("InvalidArgVal"), ter("InvalidGatewayAddress") } << 5;
    QTest::newRow("DeviceNotReady") << QStringList { zvr("DeviceNotReady") } << 1;
    QTest::newRow("SameAsNodeIp") << QStringList { zvr("SameAsNodeIp") } << 2;
    QTest::newRow("NodeIpLocked") << QStringList { zvr("NodeIpLocked") } << 3;
    QTest::newRow("PortCheckFailed") << QStringList { zvr("PortCheckFailed") } << 4;
    QTest::newRow("SameSegment") << QStringList { ter("InvalidArgVal"), zvr("SameSegment") } << 6;
    QTest::newRow("NotAuthorized") << QStringList { ter("NotAuthorized") } << -1;
    QTest::newRow("another namespace") << QStringList { QStringLiteral("{urn:other}NodeIpLocked") } << -2;
    QTest::newRow("unknown") << QStringList { ter("ActionNotSupported") } << -2;
    QTest::newRow("none") << QStringList() << -2;
}

void NetworkBackendTest::faultOutcomes()
{
    QFETCH(QStringList, subcodes);
    QFETCH(int, result);
    const Onvif::FaultOutcome outcome = Onvif::faultOutcome(subcodes);
    QCOMPARE(outcome.notAuthorized, result == -1);
    QCOMPARE(outcome.known, result != -2);
    QCOMPARE(int(outcome.result), result >= 0 ? result : int(IpSetTimeout));
}

void NetworkBackendTest::requestsAsTheDeviceReadsThem()
{
    // The probe: SOAP 1.2, our MessageID, Types tds:Device.
    SoapMessage probe;
    QString error;
    QVERIFY(SoapMessage::parse(Onvif::buildProbe(QStringLiteral("urn:uuid:1")), &probe, &error));
    QCOMPARE(probe.envelopeNamespace, WsNs::Soap12);
    QCOMPARE(probe.operation, QualifiedName(WsNs::Discovery, QStringLiteral("Probe")));
    QCOMPARE(probe.header.value(QStringLiteral("MessageID")), QStringLiteral("urn:uuid:1"));
    QCOMPARE(probe.probeTypes, QVector<QualifiedName>({ { WsNs::Device, QStringLiteral("Device") } }));

    // A change with a token that the device checks; each token is good once.
    Credentials device(QStringLiteral("admin"), QStringLiteral("pa<ss"));
    const Onvif::UsernameToken token
        = Onvif::UsernameToken::make(QStringLiteral("admin"), QStringLiteral("pa<ss"));
    const QByteArray change
        = Onvif::buildSetNetworkInterfaces(QStringLiteral("eth1"), QStringLiteral("10.1.2.3"), 23, &token);
    QVERIFY(!change.contains("pa<ss") && !change.contains("pa&lt;ss"));
    SoapMessage message;
    QVERIFY(SoapMessage::parse(change, &message, &error));
    QCOMPARE(message.operation, QualifiedName(WsNs::Device, QStringLiteral("SetNetworkInterfaces")));
    const QHash<QString, QString> expected { { QStringLiteral("InterfaceToken"), QStringLiteral("eth1") },
        { QStringLiteral("NetworkInterface/Enabled"), QStringLiteral("true") },
        { QStringLiteral("NetworkInterface/IPv4/Enabled"), QStringLiteral("true") },
        { QStringLiteral("NetworkInterface/IPv4/Manual/Address"), QStringLiteral("10.1.2.3") },
        { QStringLiteral("NetworkInterface/IPv4/Manual/PrefixLength"), QStringLiteral("23") },
        { QStringLiteral("NetworkInterface/IPv4/DHCP"), QStringLiteral("false") } };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(message.body.value(it.key()), it.value());
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QCOMPARE(device.check(message, true, now), QString());
    QCOMPARE(device.check(message, true, now), QStringLiteral("a nonce already used (a replay)"));
    const Onvif::UsernameToken next
        = Onvif::UsernameToken::make(QStringLiteral("admin"), QStringLiteral("pa<ss"));
    QVERIFY(next.nonce != token.nonce);
    QVERIFY(SoapMessage::parse(
        Onvif::buildSetNetworkDefaultGateway(QStringLiteral("10.1.2.1"), &next), &message, &error));
    QCOMPARE(message.body.value(QStringLiteral("IPv4Address")), QStringLiteral("10.1.2.1"));
    QCOMPARE(device.check(message, true, now), QString());
    const Onvif::UsernameToken wrong
        = Onvif::UsernameToken::make(QStringLiteral("admin"), QStringLiteral("pass"));
    QVERIFY(SoapMessage::parse(
        Onvif::buildSetNetworkDefaultGateway(QStringLiteral("10.1.2.1"), &wrong), &message, &error));
    QCOMPARE(device.check(message, true, now), QStringLiteral("wrong user name or password"));
}

void NetworkBackendTest::targets_data()
{
    QTest::addColumn<QString>("text");
    // "address:port", "interface name", or the refusal.
    QTest::addColumn<QString>("expected");
    QTest::newRow("address") << "127.0.0.1:3702"
                             << "127.0.0.1:3702";
    QTest::newRow("blanks") << " 127.0.0.2:1 "
                            << "127.0.0.2:1";
    QTest::newRow("highest port") << "10.1.2.3:65535"
                                  << "10.1.2.3:65535";
    QTest::newRow("interface") << "lo"
                               << "interface lo";
    QTest::newRow("no interface") << "nosuch0"
                                  << "No network interface is named \"nosuch0\"";
    QTest::newRow("no address") << "127.0.0:3702"
                                << "\"127.0.0\" is not an IPv4 address";
    QTest::newRow("a name") << "localhost:3702"
                            << "\"localhost\" is not an IPv4 address";
    QTest::newRow("IPv6") << "::1:3702"
                          << "\"::1\" is not an IPv4 address";
    QTest::newRow("port 0") << "127.0.0.1:0"
                            << "\"0\" is not a port between 1 and 65535";
    QTest::newRow("port too high") << "127.0.0.1:65536"
                                   << "\"65536\" is not a port between 1 and 65535";
    QTest::newRow("signed port") << "127.0.0.1:+80"
                                 << "\"+80\" is not a port between 1 and 65535";
    QTest::newRow("no port") << "127.0.0.1:"
                             << "\"\" is not a port between 1 and 65535";
    QTest::newRow("empty") << ""
                           << "No network given: name an interface or HOST:PORT";
}

void NetworkBackendTest::targets()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    NetworkTarget target;
    QString error;
    const bool ok = parseNetworkTarget(text, &target, &error);
    const QString result = !ok ? error
        : target.directed()
        ? QString(target.address.toString() + QLatin1Char(':') + QString::number(target.port))
        : QString(QStringLiteral("interface ") + target.interfaceName);
    QCOMPARE(result, expected);
    QCOMPARE(error.isEmpty(), ok);
    // The back-end names what it scans, and refuses what cannot be scanned in the same words.
    NetworkBackend backend;
    QString refusal;
    if (!ok) {
        return;
    }
    const bool usable = backend.setTarget(target, &refusal);
    if (target.directed()) {
        QVERIFY(usable);
        QCOMPARE(backend.networkName(), expected);
    } else if (usable) {
        QCOMPARE(backend.networkName(), target.interfaceName);
    } else {
        QCOMPARE(refusal, QStringLiteral("The network interface \"lo\" cannot multicast"));
    }
}
