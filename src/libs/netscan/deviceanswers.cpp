// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "onvifmessages_p.h"

#include "networkchange.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

// The device service's side of the messages: requests with their UsernameToken, and
// the answers read from the flattened envelope.

namespace Onvif {

namespace {

constexpr int MaxInterfaces = 16;
constexpr int MaxScopes = 64;

bool fail(QString *error, const QString &reason)
{
    if (error) {
        *error = reason;
    }
    return false;
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString envelope(const QString &header, const QString &body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
                          " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\""
                          " xmlns:tt=\"http://www.onvif.org/ver10/schema\">")
        + header + QStringLiteral("<s:Body>") + body + QStringLiteral("</s:Body></s:Envelope>");
}

QString securityHeader(const UsernameToken *token)
{
    if (!token) {
        return QString();
    }
    return QStringLiteral(
        "<s:Header><wsse:Security s:mustUnderstand=\"1\""
        " xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd\""
        " xmlns:wsu=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd\">"
        "<wsse:UsernameToken><wsse:Username>%1</wsse:Username>"
        "<wsse:Password Type=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-username-token-profile-1.0#PasswordDigest\">%2</wsse:Password>"
        "<wsse:Nonce EncodingType=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-soap-message-security-1.0#Base64Binary\">%3</wsse:Nonce>"
        "<wsu:Created>%4</wsu:Created></wsse:UsernameToken></wsse:Security></s:Header>")
        .arg(escaped(token->user), QString::fromLatin1(token->digest),
            QString::fromLatin1(token->nonce.toBase64()), token->created);
}

QDateTime dateTimeAt(const SoapDocument &document, const QString &prefix)
{
    bool ok[6] = {};
    const int year = document.value(prefix + QStringLiteral("/Date/Year")).toInt(&ok[0]);
    const int month = document.value(prefix + QStringLiteral("/Date/Month")).toInt(&ok[1]);
    const int day = document.value(prefix + QStringLiteral("/Date/Day")).toInt(&ok[2]);
    const int hour = document.value(prefix + QStringLiteral("/Time/Hour")).toInt(&ok[3]);
    const int minute = document.value(prefix + QStringLiteral("/Time/Minute")).toInt(&ok[4]);
    const int second = document.value(prefix + QStringLiteral("/Time/Second")).toInt(&ok[5]);
    for (const bool each : ok) {
        if (!each) {
            return QDateTime();
        }
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid()) {
        return QDateTime();
    }
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString operationName(Operation operation)
{
    switch (operation) {
    case Operation::GetDeviceInformation:
        return QStringLiteral("GetDeviceInformation");
    case Operation::GetNetworkInterfaces:
        return QStringLiteral("GetNetworkInterfaces");
    case Operation::GetNetworkDefaultGateway:
        return QStringLiteral("GetNetworkDefaultGateway");
    case Operation::GetSystemDateAndTime:
        return QStringLiteral("GetSystemDateAndTime");
    case Operation::SetNetworkInterfaces:
        return QStringLiteral("SetNetworkInterfaces");
    case Operation::SetNetworkDefaultGateway:
        return QStringLiteral("SetNetworkDefaultGateway");
    case Operation::GetScopes:
        return QStringLiteral("GetScopes");
    }
    return QString();
}

UsernameToken UsernameToken::make(const QString &user, const QString &password)
{
    UsernameToken token;
    token.user = user;
    token.nonce.resize(16);
    QRandomGenerator::system()->generate(token.nonce.begin(), token.nonce.end());
    token.created = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    token.digest = passwordDigest(token.nonce, token.created, password);
    return token;
}

QByteArray UsernameToken::passwordDigest(
    const QByteArray &nonce, const QString &created, const QString &password)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(nonce);
    hash.addData(created.toUtf8());
    hash.addData(password.toUtf8());
    return hash.result().toBase64();
}

QByteArray buildRequest(Operation operation, const QString &bodyContent, const UsernameToken *token)
{
    const QString name = operationName(operation);
    return envelope(securityHeader(token),
        QStringLiteral("<tds:") + name + QLatin1Char('>') + bodyContent + QStringLiteral("</tds:") + name
            + QLatin1Char('>'))
        .toUtf8();
}

QByteArray buildSetNetworkInterfaces(
    const QString &interfaceToken, const QString &address, int prefixLength, const UsernameToken *token)
{
    return buildRequest(Operation::SetNetworkInterfaces,
        QStringLiteral(
            "<tds:InterfaceToken>%1</tds:InterfaceToken><tds:NetworkInterface>"
            "<tt:Enabled>true</tt:Enabled><tt:IPv4><tt:Enabled>true</tt:Enabled>"
            "<tt:Manual><tt:Address>%2</tt:Address><tt:PrefixLength>%3</tt:PrefixLength></tt:Manual>"
            "<tt:DHCP>false</tt:DHCP></tt:IPv4></tds:NetworkInterface>")
            .arg(escaped(interfaceToken), escaped(address))
            .arg(prefixLength),
        token);
}

QByteArray buildSetNetworkDefaultGateway(const QString &gateway, const UsernameToken *token)
{
    return buildRequest(Operation::SetNetworkDefaultGateway,
        QStringLiteral("<tds:IPv4Address>%1</tds:IPv4Address>").arg(escaped(gateway)), token);
}

bool parseDeviceAnswer(const QByteArray &data, Operation operation, DeviceAnswer *answer, QString *error)
{
    SoapDocument document;
    if (!readSoap(data, MaxAnswer, &document, error)) {
        return false;
    }
    DeviceAnswer result;
    if (document.bodyName == QLatin1String("Fault") && document.bodyNs == document.envelopeNs) {
        result.fault = true;
        for (const auto &field : qAsConst(document.fields)) {
            if (field.first.startsWith(QLatin1String("Code/Subcode"))
                && field.first.endsWith(QLatin1String("/Value"))) {
                result.subcodes << field.second;
            }
        }
        result.reason = document.value(QStringLiteral("Reason/Text"));
        *answer = result;
        return true;
    }
    const QString expected = operationName(operation) + QStringLiteral("Response");
    if (document.bodyNs != DeviceNs || document.bodyName != expected) {
        return fail(error, QStringLiteral("%1 where %2 was due").arg(document.bodyName, expected));
    }
    switch (operation) {
    case Operation::GetDeviceInformation:
        result.model = document.value(QStringLiteral("Model"));
        result.firmware = document.value(QStringLiteral("FirmwareVersion"));
        result.serialNumber = document.value(QStringLiteral("SerialNumber"));
        break;
    case Operation::GetNetworkInterfaces: {
        InterfaceInfo port;
        bool dhcp = false;
        QString manualAddress;
        QString manualPrefix;
        QString dhcpAddress;
        QString dhcpPrefix;
        for (const auto &field : qAsConst(document.fields)) {
            const QString &path = field.first;
            if (path == QLatin1String("NetworkInterfaces@token")) {
                port.token = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/Info/HwAddress")) {
                port.mac = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/IPv4/Config/Manual/Address")) {
                manualAddress = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/IPv4/Config/Manual/PrefixLength")) {
                manualPrefix = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/IPv4/Config/FromDHCP/Address")) {
                dhcpAddress = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/IPv4/Config/FromDHCP/PrefixLength")) {
                dhcpPrefix = field.second;
            } else if (path == QLatin1String("NetworkInterfaces/IPv4/Config/DHCP")) {
                dhcp = field.second == QLatin1String("true") || field.second == QLatin1String("1");
            } else if (path == QLatin1String("NetworkInterfaces")) {
                port.ip = dhcp ? dhcpAddress : manualAddress;
                bool ok = false;
                port.prefixLength = (dhcp ? dhcpPrefix : manualPrefix).toInt(&ok);
                quint32 value = 0;
                if (!port.ip.isEmpty()
                    && (!parseAddress(port.ip, &value) || !ok || port.prefixLength < 0
                        || port.prefixLength > 32)) {
                    return fail(
                        error, QStringLiteral("an interface with address %1/%2").arg(port.ip, manualPrefix));
                }
                if (port.token.isEmpty() || result.interfaces.size() >= MaxInterfaces) {
                    return fail(
                        error, QStringLiteral("an interface without a token, or over %1").arg(MaxInterfaces));
                }
                result.interfaces.append(port);
                port = InterfaceInfo();
                dhcp = false;
                manualAddress.clear();
                manualPrefix.clear();
                dhcpAddress.clear();
                dhcpPrefix.clear();
            }
        }
        break;
    }
    case Operation::GetNetworkDefaultGateway: {
        result.gateway = document.value(QStringLiteral("NetworkGateway/IPv4Address"));
        quint32 value = 0;
        if (!result.gateway.isEmpty() && !parseAddress(result.gateway, &value)) {
            return fail(error, QStringLiteral("a gateway that is no IPv4 address"));
        }
        break;
    }
    case Operation::GetSystemDateAndTime:
        result.time = dateTimeAt(document, QStringLiteral("SystemDateAndTime/LocalDateTime"));
        if (!result.time.isValid()) {
            result.time = dateTimeAt(document, QStringLiteral("SystemDateAndTime/UTCDateTime"));
        }
        if (!result.time.isValid()) {
            return fail(error, QStringLiteral("no valid date and time"));
        }
        break;
    case Operation::GetScopes:
        for (const auto &field : qAsConst(document.fields)) {
            if (field.first == QLatin1String("Scopes/ScopeItem")) {
                if (result.scopes.size() >= MaxScopes) {
                    return fail(error, QStringLiteral("over %1 scopes").arg(MaxScopes));
                }
                result.scopes << field.second.trimmed();
            }
        }
        break;
    case Operation::SetNetworkInterfaces:
        result.rebootNeeded = document.value(QStringLiteral("RebootNeeded")) == QLatin1String("true");
        break;
    case Operation::SetNetworkDefaultGateway:
        break;
    }
    *answer = result;
    return true;
}

FaultOutcome faultOutcome(const QStringList &subcodes)
{
    struct Entry
    {
        const QString *ns;
        const char *local;
        IpSettingResult result;
    };
    static const Entry Table[] = {
        { &ZvrNs, "DeviceNotReady", IpSetDeviceNotReady },
        { &ZvrNs, "SameAsNodeIp", IpSetSameAsNodeIp },
        { &ZvrNs, "NodeIpLocked", IpSetNodeIpLocked },
        { &ZvrNs, "PortCheckFailed", IpSetPortCheckFailed },
        { &ZvrNs, "SameSegment", IpSetSameSegment },
        { &ErrorNs, "InvalidIPv4Address", IpSetFormatError },
        { &ErrorNs, "InvalidGatewayAddress", IpSetFormatError },
        { &ErrorNs, "InvalidArgVal", IpSetFormatError },
    };
    FaultOutcome outcome;
    const QString notAuthorized = QLatin1Char('{') + ErrorNs + QStringLiteral("}NotAuthorized");
    if (subcodes.contains(notAuthorized)) {
        outcome.notAuthorized = true;
        outcome.known = true;
        return outcome;
    }
    // The most specific subcode of the table decides: the table's order, innermost first.
    for (auto it = subcodes.crbegin(); it != subcodes.crend() && !outcome.known; ++it) {
        for (const Entry &entry : Table) {
            if (*it == QLatin1Char('{') + *entry.ns + QLatin1Char('}') + QLatin1String(entry.local)) {
                outcome.result = entry.result;
                outcome.known = true;
                break;
            }
        }
    }
    return outcome;
}

int prefixLength(quint32 mask)
{
    int bits = 0;
    while (bits < 32 && (mask & (0x80000000u >> bits))) {
        ++bits;
    }
    return maskOf(bits) == mask ? bits : -1;
}

quint32 maskOf(int prefixLength)
{
    return prefixLength <= 0 ? 0u : prefixLength >= 32 ? ~0u : ~0u << (32 - prefixLength);
}

} // namespace Onvif
