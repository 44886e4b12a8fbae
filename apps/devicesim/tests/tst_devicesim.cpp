// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "deviceservice.h"
#include "discoveryservice.h"
#include "emulatednetwork.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QUuid>

#include <memory>

namespace {

constexpr int Devices = 48;

// The emulator on loopback addresses with ports of its own choosing.
struct Rig
{
    explicit Rig(const QString &faults = QString(), int headerTimeout = 10000, bool readsNeedUser = false,
        quint16 announcePort = 0)
    {
        QTcpServer free;
        free.listen(QHostAddress::LocalHost, 0);
        EmulatedNetwork::Options options;
        options.devices = Devices;
        options.interval = 0;
        options.answerDelay = 0;
        options.httpPort = free.serverPort();
        free.close();
        for (const QString &item : faults.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (item.startsWith(QLatin1String("garble="))) {
                options.garble = item.mid(7).toDouble();
            } else {
                NetworkFaults::fromString(item, &options.faults);
            }
        }
        network = std::make_unique<EmulatedNetwork>(options);
        network->start();
        DeviceService::Options serviceOptions;
        serviceOptions.headerTimeout = headerTimeout;
        serviceOptions.readsNeedUser = readsNeedUser;
        service = std::make_unique<DeviceService>(network.get(), serviceOptions);
        discovery = std::make_unique<DiscoveryService>(network.get(), false);
        QString error;
        QVERIFY2(service->start(options.httpPort, &error), qPrintable(error));
        if (announcePort != 0) {
            discovery->announceTo(QHostAddress(QHostAddress::LocalHost), announcePort);
        }
        QVERIFY2(discovery->start(0, {}, &error), qPrintable(error));
    }

    std::unique_ptr<EmulatedNetwork> network;
    std::unique_ptr<DeviceService> service;
    std::unique_ptr<DiscoveryService> discovery;
};

struct Answer
{
    int status = 0; // 0: the connection ended without an answer
    QByteArray body;
    bool closed = false;
};

void spin(int milliseconds, const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

enum class Token { None, Good, WrongPassword, Stale, Future };

QString security(Token token, const QByteArray &nonce)
{
    if (token == Token::None) {
        return QString();
    }
    const int skew = token == Token::Stale ? -400 : token == Token::Future ? 400 : 0;
    const QString created = QDateTime::currentDateTimeUtc().addSecs(skew).toString(Qt::ISODate);
    const QString password
        = token == Token::WrongPassword ? QStringLiteral("nimda") : QStringLiteral("admin");
    const QByteArray material = nonce + created.toUtf8() + password.toUtf8();
    const QByteArray digest = QCryptographicHash::hash(material, QCryptographicHash::Sha1).toBase64();
    return QStringLiteral(
        "<s:Header><w:Security xmlns:w=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-wssecurity-secext-1.0.xsd\"><w:UsernameToken><w:Username>admin</w:Username>"
        "<w:Password Type=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-username-token-profile-1.0#PasswordDigest\">%1</w:Password>"
        "<w:Nonce>%2</w:Nonce><u:Created xmlns:u=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-wssecurity-utility-1.0.xsd\">%3</u:Created></w:UsernameToken></w:Security></"
        "s:Header>")
        .arg(QString::fromLatin1(digest), QString::fromLatin1(nonce.toBase64()), created);
}

QByteArray request(const QString &operation, const QString &body = QString(), Token token = Token::None,
    const QByteArray &nonce = QUuid::createUuid().toRfc4122(),
    const QString &soap = QStringLiteral("http://www.w3.org/2003/05/soap-envelope"))
{
    return QStringLiteral(
        "<s:Envelope xmlns:s=\"%1\">%2<s:Body><%3 xmlns=\"http://www.onvif.org/ver10/device/wsdl\""
        " xmlns:tt=\"http://www.onvif.org/ver10/schema\">%4</%3></s:Body></s:Envelope>")
        .arg(soap, security(token, nonce), operation, body)
        .toUtf8();
}

QString setAddress(const QString &address, int prefix = 24, const QString &token = QStringLiteral("eth0"),
    const QString &dhcp = QStringLiteral("false"))
{
    return QStringLiteral("<InterfaceToken>%3</InterfaceToken><NetworkInterface><tt:Enabled>true</tt:Enabled>"
                          "<tt:IPv4><tt:Enabled>true</tt:Enabled><tt:Manual><tt:Address>%1</tt:Address>"
                          "<tt:PrefixLength>%2</tt:PrefixLength></tt:Manual><tt:DHCP>%4</tt:DHCP></tt:IPv4>"
                          "</NetworkInterface>")
        .arg(address)
        .arg(prefix)
        .arg(token, dhcp);
}

Answer post(const Rig &rig, const QString &address, const QByteArray &envelope, int wait = 3000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(address), rig.network->httpPort());
    socket.write("POST /onvif/device_service HTTP/1.1\r\nHost: " + address.toLatin1()
        + "\r\nContent-Type: application/soap+xml\r\nContent-Length: " + QByteArray::number(envelope.size())
        + "\r\n\r\n" + envelope);
    Answer answer;
    QByteArray data;
    const auto complete = [&] {
        data += socket.readAll();
        const int end = data.indexOf("\r\n\r\n");
        const int at = data.indexOf("Content-Length: ");
        const int length = at < 0 ? -1 : data.mid(at + 16, data.indexOf('\r', at) - at - 16).toInt();
        return socket.state() == QAbstractSocket::UnconnectedState
            || (end > 0 && data.size() >= end + 4 + length);
    };
    spin(wait, complete);
    answer.closed = socket.state() == QAbstractSocket::UnconnectedState;
    answer.status = data.mid(9, 3).toInt();
    answer.body = data.mid(data.indexOf("\r\n\r\n") + 4);
    return answer;
}

// What arrives at \a socket until it has been quiet for a while.
QVector<SoapMessage> collect(QUdpSocket &socket, QVector<QNetworkDatagram> *raw = nullptr)
{
    QVector<SoapMessage> answers;
    QElapsedTimer quiet;
    quiet.start();
    spin(3000, [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            SoapMessage message;
            QString error;
            if (raw) {
                *raw << datagram;
            }
            if (SoapMessage::parse(datagram.data(), &message, &error)) {
                answers << message;
            }
            quiet.restart();
        }
        return quiet.elapsed() > 300;
    });
    return answers;
}

void listen(QUdpSocket &socket)
{
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 << 20);
}

QVector<SoapMessage> probe(
    const Rig &rig, const QByteArray &datagram, QVector<QNetworkDatagram> *raw = nullptr)
{
    QUdpSocket socket;
    listen(socket);
    socket.writeDatagram(datagram, QHostAddress::LocalHost, rig.discovery->probePort());
    return collect(socket, raw);
}

QByteArray probeText(const QString &header, const QString &types, const QString &scopes = QString())
{
    return QStringLiteral(
        "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\" "
        "xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
        "xmlns:x=\"http://www.onvif.org/ver10/device/wsdl\" "
        "xmlns:n=\"http://www.onvif.org/ver10/network/wsdl\"><e:Header>%1</e:Header><e:Body>"
        "<Probe xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><Types>%2</Types>"
        "<Scopes>%3</Scopes></Probe></e:Body></e:Envelope>")
        .arg(header, types, scopes)
        .toUtf8();
}

} // namespace

class DeviceSimTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void probeAnswers_data();
    void probeAnswers();
    void probeMatchShape();
    void refusals_data();
    void refusals();
    void changeMovesDevice();
    void http_data();
    void http();
    void announcements();
    void faults_data();
    void faults();
};

void DeviceSimTest::probeAnswers_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QVector<int>>("kinds"); // node kinds that answer; empty: nobody
    const QString id = QStringLiteral("<a:MessageID>uuid:1</a:MessageID>");
    const QVector<int> all { NodeInvalid, NodeEncoder, NodeDecoder, NodeDecoderTwoInOne, NodeCentralControl };
    QTest::newRow("tds:Device") << probeText(id, QStringLiteral("x:Device")) << all;
    QTest::newRow("no types") << probeText(id, QString()) << all;
    QTest::newRow("transmitters") << probeText(id, QStringLiteral("n:NetworkVideoTransmitter"))
                                  << QVector<int> { NodeEncoder };
    QTest::newRow("displays") << probeText(id, QStringLiteral("x:Device n:NetworkVideoDisplay"))
                              << QVector<int> { NodeDecoder, NodeDecoderTwoInOne };
    QTest::newRow("scope") << probeText(id, QString(), QStringLiteral("zvr://node/central"))
                           << QVector<int> { NodeCentralControl };
    QTest::newRow("unknown type") << probeText(id, QStringLiteral("n:Printer")) << QVector<int>();
    QTest::newRow("no MessageID") << probeText(QString(), QStringLiteral("x:Device")) << QVector<int>();
    QTest::newRow("not well-formed") << probeText(id, QStringLiteral("x:Device")).left(300) << QVector<int>();
    QTest::newRow("SOAP 1.1") << probeText(id, QString())
                                     .replace("http://www.w3.org/2003/05/soap-envelope",
                                         "http://schemas.xmlsoap.org/soap/envelope/")
                              << QVector<int>();
    QTest::newRow("over 8 KB") << probeText(id + QString(9000, QLatin1Char(' ')), QString())
                               << QVector<int>();
    QTest::newRow("DTD") << QByteArray("<!DOCTYPE e [<!ENTITY a \"x\">]>" + probeText(id, QString()))
                         << QVector<int>();
}

void DeviceSimTest::probeAnswers()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QVector<int>, kinds);
    Rig rig;
    Simulation model;
    model.populate(Simulation::DefaultSeed, Devices);
    model.scanRound();
    QStringList expected;
    for (int i = 0; i < Devices; ++i) {
        if (model.deviceAnswers(i) && kinds.contains(model.deviceInfo(i).nodeType())) {
            expected << QStringLiteral("http://127.%1:%2/onvif/device_service")
                            .arg(model.deviceInfo(i).networkInfo().at(0).ip.section(QLatin1Char('.'), 1))
                            .arg(rig.network->httpPort());
        }
    }
    QStringList answered;
    for (const SoapMessage &answer : probe(rig, datagram)) {
        answered << answer.body.value(QStringLiteral("ProbeMatch/XAddrs"));
    }
    answered.sort();
    expected.sort();
    QCOMPARE(answered, expected);
}

void DeviceSimTest::probeMatchShape()
{
    Rig rig;
    QVector<QNetworkDatagram> raw;
    const QVector<SoapMessage> answers = probe(rig,
        probeText(QStringLiteral("<a:MessageID>urn:uuid:77</a:MessageID>"),
            QStringLiteral("n:NetworkVideoTransmitter")),
        &raw);
    QVERIFY(!answers.isEmpty());
    const SoapMessage &first = answers.first(); // device 0, the first encoder
    QCOMPARE(first.envelopeNamespace, WsNs::Soap12);
    QCOMPARE(first.operation, QualifiedName(WsNs::Discovery, QStringLiteral("ProbeMatches")));
    QCOMPARE(first.header.value(QStringLiteral("RelatesTo")), QStringLiteral("urn:uuid:77"));
    QCOMPARE(first.header.value(QStringLiteral("Action")),
        QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"));
    QCOMPARE(first.body.value(QStringLiteral("ProbeMatch/Types")),
        QStringLiteral("tds:Device dn:NetworkVideoTransmitter"));
    QCOMPARE(first.body.value(QStringLiteral("ProbeMatch/Scopes")),
        QStringLiteral(
            "onvif://www.onvif.org/name/%E6%8C%87%E6%8C%A5%E5%A4%A7%E5%8E%85%E7%BC%96%E7%A0%81%E5%99%A801 "
            "onvif://www.onvif.org/hardware/ZE-2100 zvr://node/encoder zvr://sub/none zvr://runmode/normal "
            "zvr://fault/0 zvr://callroll/0"));
    QCOMPARE(first.body.value(QStringLiteral("ProbeMatch/MetadataVersion")), QStringLiteral("1"));
    const QString endpoint = first.body.value(QStringLiteral("ProbeMatch/EndpointReference/Address"));
    QVERIFY(endpoint.startsWith(QLatin1String("urn:uuid:")));
    QVERIFY(!QUuid::fromString(endpoint.mid(9)).isNull());
    // For life: the same seed and device give the same endpoint in another run.
    Rig again;
    QCOMPARE(again.network->endpoint(0), endpoint);
    // Each from its device's own address, under 4 KB.
    QCOMPARE(raw.first().senderAddress(), QHostAddress(QStringLiteral("127.168.1.20")));
    for (const QNetworkDatagram &datagram : raw) {
        QVERIFY(datagram.data().size() < 4096);
        QCOMPARE(datagram.senderAddress().toIPv4Address() >> 24, 127u);
        QVERIFY(datagram.senderAddress() != QHostAddress(QHostAddress::LocalHost));
    }
}

void DeviceSimTest::refusals_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("envelope");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected"); // a text of the answer's body
    const QString encoder = QStringLiteral("127.168.1.20");
    const QString soap11 = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
    const QString set = QStringLiteral("SetNetworkInterfaces");
    QTest::newRow("read") << encoder << request(QStringLiteral("GetDeviceInformation")) << 200
                          << QStringLiteral("<tds:Model>ZE-2100</tds:Model>");
    QTest::newRow("interfaces") << encoder << request(QStringLiteral("GetNetworkInterfaces")) << 200
                                << QStringLiteral("<tt:Address>127.168.1.20</tt:Address><tt:PrefixLength>24");
    QTest::newRow("write, no token") << encoder << request(set, setAddress(QStringLiteral("127.168.5.9")))
                                     << 400 << QStringLiteral("<env:Value>ter:NotAuthorized</env:Value>");
    QTest::newRow("wrong password") << encoder
                                    << request(set, setAddress(QStringLiteral("127.168.5.9")),
                                           Token::WrongPassword)
                                    << 400 << QStringLiteral("wrong user name or password");
    QTest::newRow("stale token") << encoder
                                 << request(QStringLiteral("SetNetworkDefaultGateway"),
                                        QStringLiteral("<IPv4Address>127.168.1.1</IPv4Address>"),
                                        Token::Stale)
                                 << 400 << QStringLiteral("more than five minutes");
    QTest::newRow("SOAP 1.1") << encoder
                              << request(QStringLiteral("GetDeviceInformation"), QString(), Token::None, "n",
                                     soap11)
                              << 500 << QStringLiteral("<env:Value>env:VersionMismatch</env:Value>");
    QTest::newRow("not well-formed") << encoder << request(QStringLiteral("GetScopes")).left(120) << 400
                                     << QStringLiteral("<env:Value>ter:WellFormed</env:Value>");
    QTest::newRow("unknown operation") << encoder << request(QStringLiteral("GetProfiles")) << 500
                                       << QStringLiteral("<env:Value>ter:ActionNotSupported</env:Value>");
    QTest::newRow("over 64 KB") << encoder
                                << request(QStringLiteral("GetScopes"), QString(70000, QLatin1Char(' ')))
                                << 413 << QString();
    QTest::newRow("bad address") << encoder
                                 << request(set, setAddress(QStringLiteral("127.168.5.300")), Token::Good)
                                 << 400
                                 << QStringLiteral(
                                        "<env:Value>ter:InvalidArgVal</env:Value><env:Subcode><env:Value>"
                                        "ter:InvalidIPv4Address</env:Value>");
    QTest::newRow("address in use") << encoder
                                    << request(set, setAddress(QStringLiteral("127.168.1.21")), Token::Good)
                                    << 500 << QStringLiteral("<env:Value>zvr:PortCheckFailed</env:Value>");
    QTest::newRow("port 2's subnet") << encoder
                                     << request(
                                            set, setAddress(QStringLiteral("127.168.5.9"), 16), Token::Good)
                                     << 400 << QStringLiteral("<env:Value>zvr:SameSegment</env:Value>");
    QTest::newRow("token from the future")
        << encoder
        << request(QStringLiteral("SetNetworkDefaultGateway"),
               QStringLiteral("<IPv4Address>127.168.1.1</IPv4Address>"), Token::Future)
        << 400 << QStringLiteral("more than five minutes");
    QTest::newRow("bad gateway")
        << encoder
        << request(QStringLiteral("SetNetworkDefaultGateway"),
               QStringLiteral("<IPv4Address>gateway</IPv4Address>"), Token::Good)
        << 400
        << QStringLiteral("ter:InvalidArgVal</env:Value><env:Subcode><env:Value>ter:InvalidGatewayAddress");
    QTest::newRow("no such interface")
        << encoder
        << request(set, setAddress(QStringLiteral("127.168.5.9"), 24, QStringLiteral("eth7")), Token::Good)
        << 400 << QStringLiteral("<env:Value>ter:InvalidNetworkInterface</env:Value>");
    QTest::newRow("DHCP") << encoder
                          << request(set,
                                 setAddress(QStringLiteral("127.168.5.9"), 24, QStringLiteral("eth0"),
                                     QStringLiteral("true")),
                                 Token::Good)
                          << 400 << QStringLiteral("a manual IPv4 address only");
    QTest::newRow("prefix") << encoder
                            << request(set, setAddress(QStringLiteral("127.168.5.9"), 31), Token::Good) << 400
                            << QStringLiteral("a prefix length from 1 to 30");
    QTest::newRow("second port") << encoder
                                 << request(set,
                                        setAddress(QStringLiteral("127.168.7.9"), 24, QStringLiteral("eth1")),
                                        Token::Good)
                                 << 200 << QStringLiteral("<tds:RebootNeeded>false</tds:RebootNeeded>");
    QTest::newRow("master node") << QStringLiteral("127.168.1.2")
                                 << request(set, setAddress(QStringLiteral("127.168.1.99")), Token::Good)
                                 << 500 << QStringLiteral("<env:Value>zvr:NodeIpLocked</env:Value>");
    QTest::newRow("no device there") << QStringLiteral("127.168.9.9") << request(QStringLiteral("GetScopes"))
                                     << 0 << QString();
}

void DeviceSimTest::refusals()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, envelope);
    QFETCH(int, status);
    QFETCH(QString, expected);
    Rig rig;
    const Answer answer = post(rig, address, envelope);
    QCOMPARE(answer.status, status);
    QVERIFY2(QString::fromUtf8(answer.body).contains(expected), answer.body.constData());
    QCOMPARE(answer.closed, status == 0 || status == 413);
}

void DeviceSimTest::changeMovesDevice()
{
    Rig rig;
    const QByteArray nonce = QUuid::createUuid().toRfc4122();
    const Answer moved = post(rig, QStringLiteral("127.168.1.20"),
        request(QStringLiteral("SetNetworkInterfaces"), setAddress(QStringLiteral("127.168.5.77"), 23),
            Token::Good, nonce));
    QCOMPARE(moved.status, 200);
    QVERIFY(moved.closed); // the device left the address the connection was made to
    QVERIFY(
        moved.body.contains("<tds:SetNetworkInterfacesResponse><tds:RebootNeeded>false</tds:RebootNeeded>"));
    QCOMPARE(post(rig, QStringLiteral("127.168.1.20"), request(QStringLiteral("GetScopes"))).status, 0);
    // Port 2 on its own: port 1 stays where it went.
    QCOMPARE(post(rig, QStringLiteral("127.168.5.77"),
                 request(QStringLiteral("SetNetworkInterfaces"),
                     setAddress(QStringLiteral("127.168.7.9"), 24, QStringLiteral("eth1")), Token::Good))
                 .status,
        200);
    const QByteArray interfaces
        = post(rig, QStringLiteral("127.168.5.77"), request(QStringLiteral("GetNetworkInterfaces"))).body;
    QVERIFY(interfaces.contains("<tds:NetworkInterfaces token=\"eth0\">"));
    QVERIFY(interfaces.contains("<tt:Address>127.168.5.77</tt:Address><tt:PrefixLength>23<"));
    QVERIFY(interfaces.contains("<tds:NetworkInterfaces token=\"eth1\">"));
    QVERIFY(interfaces.contains("<tt:Address>127.168.7.9</tt:Address><tt:PrefixLength>24<"));

    // The same nonce again is a replay, even on another write.
    const QString gateway = QStringLiteral("<IPv4Address>127.168.5.1</IPv4Address>");
    QVERIFY(post(rig, QStringLiteral("127.168.5.77"),
        request(QStringLiteral("SetNetworkDefaultGateway"), gateway, Token::Good, nonce))
                .body.contains("a nonce already used"));
    QCOMPARE(post(rig, QStringLiteral("127.168.5.77"),
                 request(QStringLiteral("SetNetworkDefaultGateway"), gateway, Token::Good))
                 .status,
        200);
    QVERIFY(post(rig, QStringLiteral("127.168.5.77"), request(QStringLiteral("GetNetworkDefaultGateway")))
                .body.contains("<tt:IPv4Address>127.168.5.1</tt:IPv4Address>"));

    const auto answers = probe(rig, probeText(QStringLiteral("<a:MessageID>m</a:MessageID>"), QString()));
    const auto found = std::find_if(answers.cbegin(), answers.cend(), [](const SoapMessage &answer) {
        return answer.body.value(QStringLiteral("ProbeMatch/XAddrs")).contains(QLatin1String("127.168.5.77"));
    });
    QVERIFY(found != answers.cend());
    QCOMPARE(found->body.value(QStringLiteral("ProbeMatch/MetadataVersion")), QStringLiteral("2"));

    // The truth file: where the device started, where it is configured, what it reports.
    QTemporaryDir folder;
    QString error;
    QVERIFY(!rig.network->writeTruth(folder.filePath(QStringLiteral("missing/truth.tsv")), &error)
        && !error.isEmpty());
    QVERIFY2(
        rig.network->writeTruth(folder.filePath(QStringLiteral("truth.tsv")), &error), qPrintable(error));
    QFile file(folder.filePath(QStringLiteral("truth.tsv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), Devices + 2);
    QCOMPARE(lines.first(),
        QByteArray("mac\tanswering\tinitial\tconfigured\tip\tmask\tgateway\tip2\tname\tserial\tmodel\tfirmwar"
                   "e\tkind\tshared_writes"));
    // Changed at its own address: no write that another device could have been meant for.
    const QByteArray line
        = "\t1\t127.168.1.20\t127.168.5.77\t127.168.5.77\t255.255.254.0\t127.168.5.1\t127.168.7.9\t";
    QCOMPARE(int(std::count_if(lines.cbegin(), lines.cend(),
                 [&line](const QByteArray &each) { return each.contains(line) && each.endsWith("\t0"); })),
        1);
}

void DeviceSimTest::http_data()
{
    QTest::addColumn<QByteArray>("head"); // "%1": the length of one read's envelope
    QTest::addColumn<QByteArray>("answers"); // the status lines, in order
    QTest::addColumn<bool>("closed");
    const QByteArray post = "POST /onvif/device_service HTTP/1.1\r\nContent-Length: %1\r\n";
    QTest::newRow("keep-alive") << post + "\r\n" << QByteArray("200") << false;
    QTest::newRow("HTTP/1.0") << QByteArray(post).replace("1.1", "1.0") + "\r\n" << QByteArray("200") << true;
    QTest::newRow("Connection: close") << post + "Connection: close\r\n\r\n" << QByteArray("200") << true;
    QTest::newRow("100-continue") << post + "Expect: 100-continue\r\n\r\n" << QByteArray("100 200") << false;
    QTest::newRow("GET") << QByteArray("GET /onvif/device_service HTTP/1.1\r\n\r\n") << QByteArray("405")
                         << true;
    QTest::newRow("no length") << QByteArray("POST /onvif/device_service HTTP/1.1\r\n\r\n")
                               << QByteArray("411") << true;
    QTest::newRow("chunked") << post + "Transfer-Encoding: chunked\r\n\r\n" << QByteArray("411") << true;
    QTest::newRow("elsewhere") << QByteArray(post).replace("/onvif/device_service", "/index.html") + "\r\n"
                               << QByteArray("404") << true;
    QTest::newRow("media service") << QByteArray(post).replace("device_service", "media_service") + "\r\n"
                                   << QByteArray("500") << false;
    QTest::newRow("header over 8 KB") << post + "X: " + QByteArray(9000, 'x') + "\r\n\r\n"
                                      << QByteArray("431") << true;
    QTest::newRow("not HTTP") << QByteArray("HELLO\r\n\r\n") << QByteArray("400") << true;
}

void DeviceSimTest::http()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, answers);
    QFETCH(bool, closed);
    Rig rig;
    const QByteArray envelope = request(QStringLiteral("GetHostname"));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QStringLiteral("127.168.1.20")), rig.network->httpPort());
    const bool hasBody = head.contains("%1");
    socket.write(head.replace("%1", QByteArray::number(envelope.size())));
    QByteArray data;
    const auto closedAfterReading = [&] {
        data += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    };
    spin(500, closedAfterReading);
    if (hasBody) {
        socket.write(envelope); // after the header, as a client that waited for "100 Continue" sends it
    }
    spin(500, closedAfterReading);
    QList<QByteArray> statuses;
    for (int at = data.indexOf("HTTP/1.1 "); at >= 0; at = data.indexOf("HTTP/1.1 ", at + 1)) {
        statuses << data.mid(at + 9, 3);
    }
    QCOMPARE(statuses, answers.split(' '));
    QCOMPARE(socket.state() == QAbstractSocket::UnconnectedState, closed);
}

void DeviceSimTest::announcements()
{
    QUdpSocket listener;
    listen(listener);
    Rig rig(QString(), 10000, false, listener.localPort());
    QSignalSpy announced(rig.discovery.get(), &DiscoveryService::announced);
    QStringList hellos;
    QStringList byes;
    for (int i = 0; i < Devices; ++i) {
        if (rig.network->answers(i)) {
            hellos << QStringList { QStringLiteral("Hello"), rig.network->endpoint(i),
                rig.network->serviceUrl(i), QStringLiteral("1") }
                          .join(QLatin1Char('|'));
            byes << QStringList { QStringLiteral("Bye"), rig.network->endpoint(i), QString(),
                i == 0 ? QStringLiteral("2") : QStringLiteral("1") }
                        .join(QLatin1Char('|'));
        }
    }
    const auto summary = [](const QVector<SoapMessage> &messages) {
        QStringList texts;
        for (const SoapMessage &message : messages) {
            const QString action
                = message.operation.first == WsNs::Discovery ? message.operation.second : QString();
            texts << QStringList { action, message.body.value(QStringLiteral("EndpointReference/Address")),
                message.body.value(QStringLiteral("XAddrs")),
                message.body.value(QStringLiteral("MetadataVersion")) }
                         .join(QLatin1Char('|'));
        }
        return texts;
    };
    // Every device that joins says Hello, once; then the emulator says so, once.
    QCOMPARE(summary(collect(listener)), hellos);
    QCOMPARE(announced.count(), 1);

    // A new address: Hello from there, with the raised version.
    QCOMPARE(post(rig, QStringLiteral("127.168.1.20"),
                 request(QStringLiteral("SetNetworkInterfaces"), setAddress(QStringLiteral("127.168.5.77")),
                     Token::Good))
                 .status,
        200);
    QCOMPARE(summary(collect(listener)),
        QStringList { QStringLiteral("Hello|%1|http://127.168.5.77:%2/onvif/device_service|2")
                          .arg(rig.network->endpoint(0))
                          .arg(rig.network->httpPort()) });
    QCOMPARE(announced.count(), 1);

    // Shutting down: Bye from every device, then finished() once.
    QSignalSpy finished(rig.discovery.get(), &DiscoveryService::finished);
    rig.discovery->shutdown();
    QCOMPARE(summary(collect(listener)), byes);
    QCOMPARE(finished.count(), 1);
}

void DeviceSimTest::faults_data()
{
    QTest::addColumn<QString>("faults");
    QTest::addColumn<int>("headerTimeout");
    QTest::addColumn<bool>("readsNeedUser");
    QTest::newRow("garble") << QStringLiteral("garble=1") << 10000 << false;
    QTest::newRow("drop") << QStringLiteral("drop=1") << 10000 << false;
    QTest::newRow("silent client") << QString() << 300 << false;
    QTest::newRow("reads need a user") << QString() << 10000 << true;
}

void DeviceSimTest::faults()
{
    QFETCH(QString, faults);
    QFETCH(int, headerTimeout);
    QFETCH(bool, readsNeedUser);
    Rig rig(faults, headerTimeout, readsNeedUser);
    const QString encoder = QStringLiteral("127.168.1.20");
    if (readsNeedUser) {
        QVERIFY(post(rig, encoder, request(QStringLiteral("GetScopes"))).body.contains("ter:NotAuthorized"));
        QCOMPARE(
            post(rig, encoder, request(QStringLiteral("GetScopes"), QString(), Token::Good)).status, 200);
        QCOMPARE(post(rig, encoder, request(QStringLiteral("GetSystemDateAndTime"))).status, 200);
    } else if (rig.network->strikesGarble()) {
        QVector<QNetworkDatagram> raw;
        QVERIFY(
            probe(rig, probeText(QStringLiteral("<a:MessageID>g</a:MessageID>"), QString()), &raw).isEmpty());
        QVERIFY(raw.size() > 20); // every answer sent, none of them readable
        const Answer answer = post(rig, encoder, request(QStringLiteral("GetScopes")));
        SoapMessage message;
        QString error;
        QVERIFY(!SoapMessage::parse(answer.body, &message, &error));
    } else if (headerTimeout < 1000) {
        QTcpSocket idle;
        idle.connectToHost(QHostAddress(encoder), rig.network->httpPort());
        spin(2000, [&] { return idle.state() == QAbstractSocket::UnconnectedState; });
        QCOMPARE(idle.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(post(rig, encoder, request(QStringLiteral("GetHostname"))).status, 200);
    } else {
        // The model loses the device's answer: the client hears nothing, the change is made.
        const Answer answer = post(rig, encoder,
            request(QStringLiteral("SetNetworkInterfaces"), setAddress(QStringLiteral("127.168.5.78")),
                Token::Good),
            1000);
        QCOMPARE(answer.status, 0);
        QVERIFY(!answer.closed);
        QCOMPARE(post(rig, QStringLiteral("127.168.5.78"), request(QStringLiteral("GetScopes"))).status, 200);
    }
}

QTEST_GUILESS_MAIN(DeviceSimTest)
#include "tst_devicesim.moc"
