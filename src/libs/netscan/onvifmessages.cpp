// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "onvifmessages_p.h"

#include "networkchange.h"

#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

Q_LOGGING_CATEGORY(lcNetscan, "zvr.netscan", QtInfoMsg)

namespace Onvif {

const QString SoapNs = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
const QString DiscoveryNs = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery");
const QString DeviceNs = QStringLiteral("http://www.onvif.org/ver10/device/wsdl");
const QString ErrorNs = QStringLiteral("http://www.onvif.org/ver10/error");
const QString ZvrNs = QStringLiteral("urn:zvr:device:1");

namespace {

// Bounds on what one envelope may hold, whatever its size.
constexpr int MaxDepth = 24;
constexpr int MaxFields = 2048;
constexpr int MaxText = 4096;
constexpr int MaxMatches = 16;
constexpr int MaxScopes = 64;
constexpr int MaxDeclaration = 256;

QString resolved(const QString &qname, const QVector<QHash<QString, QString>> &scopes)
{
    const int colon = qname.indexOf(QLatin1Char(':'));
    const QString prefix = colon < 0 ? QString() : qname.left(colon);
    for (auto it = scopes.crbegin(); it != scopes.crend(); ++it) {
        const auto found = it->constFind(prefix);
        if (found != it->constEnd()) {
            return QLatin1Char('{') + found.value() + QLatin1Char('}') + qname.mid(colon + 1);
        }
    }
    return QStringLiteral("{}") + qname.mid(colon + 1);
}

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

// Builds the element paths below one element while the reader walks its children.
QString joined(const QStringList &path, int from)
{
    QString result;
    for (int i = from; i < path.size(); ++i) {
        if (!result.isEmpty()) {
            result += QLatin1Char('/');
        }
        result += path.at(i);
    }
    return result;
}

} // namespace

QString SoapDocument::headerValue(const QString &name) const
{
    for (const auto &entry : header) {
        if (entry.first == name) {
            return entry.second;
        }
    }
    return QString();
}

QString SoapDocument::value(const QString &path) const
{
    for (const auto &entry : fields) {
        if (entry.first == path) {
            return entry.second;
        }
    }
    return QString();
}

bool readSoap(const QByteArray &data, int maxSize, SoapDocument *document, QString *error)
{
    if (data.size() > maxSize) {
        return fail(error, QStringLiteral("%1 bytes, over %2").arg(data.size()).arg(maxSize));
    }
    SoapDocument result;
    // The XML declaration is read here: the reader would look any encoding it names up
    // among the system's codecs. Only UTF-8 is taken.
    QByteArray bytes = data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
    if (bytes.startsWith("<?xml")) {
        const int end = bytes.indexOf("?>");
        if (end < 0 || end > MaxDeclaration) {
            return fail(error, QStringLiteral("a malformed XML declaration"));
        }
        const QByteArray declaration = bytes.left(end);
        const int at = declaration.indexOf("encoding");
        if (at >= 0) {
            const QByteArray rest = declaration.mid(at + 8).trimmed();
            const QByteArray name = rest.startsWith('=') ? rest.mid(1).trimmed() : QByteArray();
            const QByteArray value = name.mid(1, name.indexOf(name.left(1), 1) - 1);
            if (name.size() < 2 || (name.at(0) != '"' && name.at(0) != '\'') || value.toLower() != "utf-8") {
                return fail(error, QStringLiteral("an XML declaration naming another encoding than UTF-8"));
            }
        }
        bytes = bytes.mid(end + 2);
    }
    QXmlStreamReader xml(bytes);
    QVector<QHash<QString, QString>> namespaces;
    QStringList path; // local names from the envelope down
    QString text;
    bool leaf = false;
    enum class Part { None, Header, Body } part = Part::None;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return fail(error, QStringLiteral("a document type declaration"));
        case QXmlStreamReader::StartElement: {
            QHash<QString, QString> declared;
            for (const QXmlStreamNamespaceDeclaration &declaration : xml.namespaceDeclarations()) {
                declared.insert(declaration.prefix().toString(), declaration.namespaceUri().toString());
            }
            namespaces.append(declared);
            path.append(xml.name().toString());
            if (path.size() > MaxDepth) {
                return fail(error, QStringLiteral("elements nested over %1 deep").arg(MaxDepth));
            }
            const QString ns = xml.namespaceUri().toString();
            if (path.size() == 1) {
                if (path.first() != QLatin1String("Envelope")) {
                    return fail(error, QStringLiteral("no SOAP envelope"));
                }
                result.envelopeNs = ns;
            } else if (path.size() == 2) {
                part = ns != result.envelopeNs               ? Part::None
                    : path.last() == QLatin1String("Header") ? Part::Header
                    : path.last() == QLatin1String("Body")   ? Part::Body
                                                             : Part::None;
            } else if (path.size() == 3 && part == Part::Body && result.bodyName.isEmpty()) {
                result.bodyNs = ns;
                result.bodyName = path.last();
            }
            if (part == Part::Body && path.size() > 3 && path.at(2) == result.bodyName) {
                const QString here = joined(path, 3);
                for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                    if (result.fields.size() >= MaxFields) {
                        return fail(error, QStringLiteral("over %1 fields").arg(MaxFields));
                    }
                    result.fields.append({ here + QLatin1Char('@') + attribute.name().toString(),
                        attribute.value().left(MaxText).toString() });
                }
            }
            text.clear();
            leaf = true;
            break;
        }
        case QXmlStreamReader::Characters:
            if (leaf) {
                if (text.size() + xml.text().size() > MaxText) {
                    return fail(error, QStringLiteral("a text over %1 characters").arg(MaxText));
                }
                text += xml.text();
            }
            break;
        case QXmlStreamReader::EndElement: {
            const QString name = path.last();
            QString value = leaf ? text.trimmed() : QString();
            if (leaf && (name == QLatin1String("Types") || name == QLatin1String("Value"))) {
                QStringList names;
                for (const QString &qname : value.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                    names << resolved(qname, namespaces);
                }
                value = names.join(QLatin1Char(' '));
            }
            if (part == Part::Header && path.size() >= 3 && leaf) {
                if (result.header.size() >= MaxFields) {
                    return fail(error, QStringLiteral("over %1 header fields").arg(MaxFields));
                }
                result.header.append({ joined(path, 2), value });
            } else if (part == Part::Body && path.size() > 3 && path.at(2) == result.bodyName) {
                if (result.fields.size() >= MaxFields) {
                    return fail(error, QStringLiteral("over %1 fields").arg(MaxFields));
                }
                result.fields.append({ joined(path, 3), value });
            }
            if (path.size() == 2) {
                part = Part::None;
            }
            path.removeLast();
            namespaces.removeLast();
            text.clear();
            leaf = false;
            break;
        }
        default:
            break;
        }
    }
    if (xml.hasError()) {
        return fail(error, QStringLiteral("not well-formed XML: %1").arg(xml.errorString()));
    }
    if (result.envelopeNs.isEmpty()) {
        return fail(error, QStringLiteral("no SOAP envelope"));
    }
    if (result.bodyName.isEmpty()) {
        return fail(error, QStringLiteral("an empty body"));
    }
    *document = result;
    return true;
}

bool ProbeMatch::isDevice() const
{
    return types.contains(QLatin1Char('{') + DeviceNs + QStringLiteral("}Device"));
}

QByteArray buildProbe(const QString &messageId)
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
        " xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
        " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
        " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\">"
        "<s:Header><a:Action "
        "s:mustUnderstand=\"1\">http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</a:Action>"
        "<a:MessageID>%1</a:MessageID>"
        "<a:ReplyTo><a:Address>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</a:Address></"
        "a:ReplyTo>"
        "<a:To s:mustUnderstand=\"1\">urn:schemas-xmlsoap-org:ws:2005:04:discovery</a:To></s:Header>"
        "<s:Body><d:Probe><d:Types>tds:Device</d:Types></d:Probe></s:Body></s:Envelope>")
        .arg(escaped(messageId))
        .toUtf8();
}

bool parseProbeMatches(
    const QByteArray &data, QString *relatesTo, QVector<ProbeMatch> *matches, QString *error)
{
    SoapDocument document;
    if (!readSoap(data, MaxDatagram, &document, error)) {
        return false;
    }
    if (document.bodyNs != DiscoveryNs || document.bodyName != QLatin1String("ProbeMatches")) {
        return fail(error, QStringLiteral("a %1 message, not ProbeMatches").arg(document.bodyName));
    }
    const QString relation = document.headerValue(QStringLiteral("RelatesTo"));
    if (relation.isEmpty()) {
        return fail(error, QStringLiteral("ProbeMatches without RelatesTo"));
    }
    QVector<ProbeMatch> result;
    ProbeMatch match;
    bool versionOk = false;
    for (const auto &field : qAsConst(document.fields)) {
        const QString &path = field.first;
        if (path == QLatin1String("ProbeMatch/EndpointReference/Address")) {
            match.endpoint = field.second;
        } else if (path == QLatin1String("ProbeMatch/Types")) {
            match.types = field.second.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if (path == QLatin1String("ProbeMatch/Scopes")) {
            match.scopes = field.second.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if (path == QLatin1String("ProbeMatch/XAddrs")) {
            const QStringList addresses
                = field.second.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString &address : addresses) {
                if (address.startsWith(QLatin1String("http://"))) {
                    match.xaddr = address;
                    break;
                }
            }
        } else if (path == QLatin1String("ProbeMatch/MetadataVersion")) {
            match.metadataVersion = field.second.toUInt(&versionOk);
        } else if (path == QLatin1String("ProbeMatch")) {
            if (match.endpoint.isEmpty() || match.xaddr.isEmpty() || !versionOk) {
                return fail(
                    error, QStringLiteral("a ProbeMatch without endpoint, http XAddrs or MetadataVersion"));
            }
            if (match.scopes.size() > MaxScopes || result.size() >= MaxMatches) {
                return fail(
                    error, QStringLiteral("over %1 matches or %2 scopes").arg(MaxMatches).arg(MaxScopes));
            }
            result.append(match);
            match = ProbeMatch();
            versionOk = false;
        }
    }
    if (result.isEmpty()) {
        return fail(error, QStringLiteral("ProbeMatches without a match"));
    }
    *relatesTo = relation;
    *matches = result;
    return true;
}

void applyScopes(const QStringList &scopes, MacScanDeviceInfo *info)
{
    static const QHash<QString, int> Kinds { { QStringLiteral("encoder"), NodeEncoder },
        { QStringLiteral("decoder"), NodeDecoder }, { QStringLiteral("decoder-2in1"), NodeDecoderTwoInOne },
        { QStringLiteral("central"), NodeCentralControl } };
    static const QHash<QString, int> SubKinds { { QStringLiteral("none"), SubNodeNone },
        { QStringLiteral("seat"), SubNodeSeat }, { QStringLiteral("bigscreen"), SubNodeBigScreen },
        { QStringLiteral("echo"), SubNodeEcho } };
    static const QHash<QString, int> RunModes { { QStringLiteral("normal"), RunModeNormal },
        { QStringLiteral("master"), RunModeMaster }, { QStringLiteral("backup"), RunModeBackup } };
    // Absent scopes leave the values of a device without them; unknown values read as -1,
    // shown as an empty text.
    info->setNodeType(NodeInvalid);
    info->setSubNodeType(SubNodeNone);
    info->setRunMode(RunModeInvalid);
    info->setMalfunction(0);
    info->setCallRollState(-1);
    for (const QString &scope : scopes) {
        const int slash = scope.lastIndexOf(QLatin1Char('/'));
        const QString head = scope.left(slash + 1);
        const QString value = QUrl::fromPercentEncoding(scope.mid(slash + 1).toUtf8());
        bool ok = false;
        if (head == QLatin1String("onvif://www.onvif.org/name/")) {
            info->setName(value);
        } else if (head == QLatin1String("onvif://www.onvif.org/hardware/")) {
            info->setDeviceModel(value);
        } else if (head == QLatin1String("zvr://node/")) {
            info->setNodeType(NodeType(Kinds.value(value, -1)));
        } else if (head == QLatin1String("zvr://sub/")) {
            info->setSubNodeType(SubNodeType(SubKinds.value(value, -1)));
        } else if (head == QLatin1String("zvr://runmode/")) {
            info->setRunMode(DeviceRunMode(RunModes.value(value, -1)));
        } else if (head == QLatin1String("zvr://fault/")) {
            const int word = value.toInt(&ok);
            info->setMalfunction(ok ? word : 0);
        } else if (head == QLatin1String("zvr://callroll/")) {
            const int state = value.toInt(&ok);
            info->setCallRollState(ok && state >= -1 && state <= 1 ? state : -1);
        }
    }
}

QString normalizedMac(const QString &text)
{
    QString hex;
    for (const QChar c : text) {
        if (c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            continue;
        }
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 0) || hex.size() >= 12) {
            return QString();
        }
        hex += c.toUpper();
    }
    if (hex.size() != 12) {
        return QString();
    }
    QString result;
    for (int i = 0; i < 12; i += 2) {
        if (i > 0) {
            result += QLatin1Char(':');
        }
        result += hex.mid(i, 2);
    }
    return result;
}

} // namespace Onvif
