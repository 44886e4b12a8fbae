// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkchange.h"

#include <zvrviewmodel/ipaddresshelper.h>

namespace {

const QChar MacSeparator = QLatin1Char(',');
const QChar FieldSeparator = QLatin1Char(';');

bool parsePort(const QString &text, PortSettings *port)
{
    if (text.isEmpty()) {
        *port = PortSettings();
        return true;
    }
    const QStringList fields = text.split(FieldSeparator);
    quint32 value = 0;
    if (fields.size() != 3 || !parseAddress(fields.at(0), &value) || !parseAddress(fields.at(1), &value)
        || !parseAddress(fields.at(2), &value)) {
        return false;
    }
    *port = { fields.at(0), fields.at(1), fields.at(2) };
    return true;
}

} // namespace

QString NetworkChange::macsText() const
{
    return macs.join(MacSeparator);
}

QString NetworkChange::portText(const PortSettings &port)
{
    if (port.isEmpty()) {
        return QString();
    }
    return QStringList { port.ip, port.subnetMask, port.gateway }.join(FieldSeparator);
}

QString NetworkChange::requestText() const
{
    QString text = QString::number(requestId);
    if (!offsets.isEmpty()) {
        QStringList steps;
        for (const quint32 step : offsets) {
            steps << QString::number(step);
        }
        text += FieldSeparator + steps.join(MacSeparator);
    }
    return text;
}

bool NetworkChange::fromTexts(const QString &macs, const QString &port1, const QString &port2,
    const QString &request, NetworkChange *change)
{
    NetworkChange result;
    bool ok = false;
    const QStringList requestFields = request.split(FieldSeparator);
    result.requestId = requestFields.at(0).toInt(&ok);
    if (!ok || macs.isEmpty() || port1.isEmpty() || requestFields.size() > 2) {
        return false;
    }
    result.macs = macs.split(MacSeparator);
    if (requestFields.size() == 2) {
        const QStringList steps = requestFields.at(1).split(MacSeparator);
        for (const QString &step : steps) {
            result.offsets << step.toUInt(&ok);
            if (!ok) {
                return false;
            }
        }
        if (result.offsets.size() != result.macs.size()) {
            return false;
        }
    }
    if (!parsePort(port1, &result.port1) || !parsePort(port2, &result.port2)) {
        return false;
    }
    *change = result;
    return true;
}

bool parseAddress(const QString &text, quint32 *value)
{
    return parseIPv4(text, value);
}

QString formatAddress(quint32 value)
{
    return IPV4IntegerToString(value);
}

