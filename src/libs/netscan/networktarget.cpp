// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networktarget.h"

#include "networkchange.h"

#include <QNetworkInterface>

namespace {

void setError(QString *error, const QString &text)
{
    if (error) {
        *error = text;
    }
}

} // namespace

bool parseNetworkTarget(const QString &text, NetworkTarget *target, QString *error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        setError(error, QStringLiteral("No network given: name an interface or HOST:PORT"));
        return false;
    }
    const int colon = trimmed.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const QString host = trimmed.left(colon);
        const QString portText = trimmed.mid(colon + 1);
        quint32 value = 0;
        if (!parseAddress(host, &value)) {
            setError(error, QStringLiteral("\"%1\" is not an IPv4 address").arg(host));
            return false;
        }
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port < 1 || port > 65535 || portText.startsWith(QLatin1Char('+'))) {
            setError(error, QStringLiteral("\"%1\" is not a port between 1 and 65535").arg(portText));
            return false;
        }
        NetworkTarget result;
        result.address = QHostAddress(value);
        result.port = quint16(port);
        *target = result;
        return true;
    }
    if (!QNetworkInterface::interfaceFromName(trimmed).isValid()) {
        setError(error, QStringLiteral("No network interface is named \"%1\"").arg(trimmed));
        return false;
    }
    NetworkTarget result;
    result.interfaceName = trimmed;
    *target = result;
    return true;
}
