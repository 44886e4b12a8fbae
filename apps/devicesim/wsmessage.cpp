// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "wsmessage.h"

#include <QXmlStreamReader>

namespace WsNs {
const QString Soap12 = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
const QString Soap11 = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QString Addressing = QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing");
const QString Discovery = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery");
const QString Device = QStringLiteral("http://www.onvif.org/ver10/device/wsdl");
const QString Schema = QStringLiteral("http://www.onvif.org/ver10/schema");
const QString Network = QStringLiteral("http://www.onvif.org/ver10/network/wsdl");
const QString Error = QStringLiteral("http://www.onvif.org/ver10/error");
const QString Zvr = QStringLiteral("urn:zvr:device:1");
} // namespace WsNs

namespace {

constexpr int MaxDepth = 24;
constexpr int MaxFields = 256;

// Resolves "prefix:name" against the declarations in scope, innermost first.
QualifiedName resolve(const QString &qname, const QVector<QXmlStreamNamespaceDeclarations> &scopes)
{
    const int colon = qname.indexOf(QLatin1Char(':'));
    const QString prefix = colon < 0 ? QString() : qname.left(colon);
    const QString local = qname.mid(colon + 1);
    for (auto scope = scopes.crbegin(); scope != scopes.crend(); ++scope) {
        for (const QXmlStreamNamespaceDeclaration &declaration : *scope) {
            if (declaration.prefix() == prefix) {
                return { declaration.namespaceUri().toString(), local };
            }
        }
    }
    return { QString(), local };
}

} // namespace

bool SoapMessage::parse(const QByteArray &data, SoapMessage *message, QString *error)
{
    SoapMessage result;
    QXmlStreamReader reader(data);
    QVector<QXmlStreamNamespaceDeclarations> scopes;
    QStringList path; // local names from the envelope down
    QString text;
    enum Part { Outside, Header, Body } part = Outside;
    int fields = 0;
    int operationDepth = 0; // depth of the body's first element, 0 before it

    auto fieldPath = [&path](int from) { return QStringList(path.mid(from)).join(QLatin1Char('/')); };
    auto store = [&](QHash<QString, QString> &into, const QString &key, const QString &value) {
        if (!into.contains(key) && ++fields <= MaxFields) {
            into.insert(key, value);
        }
    };

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            *error = QStringLiteral("a document type declaration");
            return false;
        case QXmlStreamReader::EntityReference:
            *error = QStringLiteral("an entity reference");
            return false;
        case QXmlStreamReader::StartElement: {
            if (path.size() >= MaxDepth) {
                *error = QStringLiteral("elements nested deeper than %1").arg(MaxDepth);
                return false;
            }
            scopes << reader.namespaceDeclarations();
            path << reader.name().toString();
            text.clear();
            const int depth = path.size();
            if (depth == 1) {
                result.envelopeNamespace = reader.namespaceUri().toString();
                if (path.first() != QLatin1String("Envelope")) {
                    *error = QStringLiteral("no SOAP envelope");
                    return false;
                }
            } else if (depth == 2) {
                part = path.last() == QLatin1String("Header") ? Header
                    : path.last() == QLatin1String("Body")    ? Body
                                                              : Outside;
            } else if (depth == 3 && part == Body && operationDepth == 0) {
                result.operation = { reader.namespaceUri().toString(), path.last() };
                operationDepth = depth;
            }
            const bool inOperation = part == Body && operationDepth > 0 && depth > operationDepth;
            if (part == Header || inOperation) {
                const QString key = fieldPath(part == Header ? 2 : operationDepth);
                for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                    store(part == Header ? result.header : result.body,
                        key + QLatin1Char('@') + attribute.name().toString(), attribute.value().toString());
                }
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (text.size() + reader.text().size() <= 4096) {
                text += reader.text().toString();
            }
            break;
        case QXmlStreamReader::EndElement: {
            const int depth = path.size();
            if (part == Header && depth > 2) {
                store(result.header, fieldPath(2), text.trimmed());
            } else if (part == Body && operationDepth > 0 && depth > operationDepth) {
                const QString key = fieldPath(operationDepth);
                store(result.body, key, text.trimmed());
                if (key == QLatin1String("Types") && result.operation.second == QLatin1String("Probe")) {
                    for (const QString &name :
                        text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                        result.probeTypes << resolve(name, scopes);
                    }
                }
            }
            if (depth == 2) {
                part = Outside;
            }
            text.clear();
            path.removeLast();
            scopes.removeLast();
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("not well-formed XML (%1)").arg(reader.errorString());
        return false;
    }
    if (result.operation.second.isEmpty()) {
        *error = QStringLiteral("an envelope without a body element");
        return false;
    }
    *message = result;
    return true;
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}
