// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networkchange.h"

#include <zvrviewmodel/displaytexts.h>
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

// One-bits from the top, then zero-bits only.
bool isContiguousMask(quint32 mask)
{
    const quint32 inverted = ~mask;
    return (inverted & (inverted + 1)) == 0;
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
    return QString::number(requestId);
}

bool NetworkChange::fromTexts(const QString &macs, const QString &port1, const QString &port2,
    const QString &request, NetworkChange *change)
{
    NetworkChange result;
    bool ok = false;
    result.requestId = request.toInt(&ok);
    if (!ok || macs.isEmpty() || port1.isEmpty()) {
        return false;
    }
    result.macs = macs.split(MacSeparator);
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

QString checkPortSettings(const PortSettings &port, int count)
{
    quint32 ip = 0;
    if (!parseAddress(port.ip, &ip)) {
        return STR_INVALID_IP.arg(port.ip);
    }
    quint32 mask = 0;
    if (!parseAddress(port.subnetMask, &mask)) {
        return STR_INVALID_IP.arg(port.subnetMask);
    }
    if (mask == 0 || !isContiguousMask(mask)) {
        return STR_MASK_NOT_CONTIGUOUS;
    }
    // Every address handed out, the first to the last, must be a usable host address.
    const quint32 hostBits = ~mask;
    for (int i = 0; i < qMax(count, 1); ++i) {
        const quint32 address = ip + quint32(i);
        const quint32 firstByte = address >> 24;
        if (firstByte == 127) {
            return STR_FIRST_BYTE_127;
        }
        if (firstByte < 1 || firstByte > 223) {
            return STR_FIRST_BYTE_RANGE;
        }
        if (hostBits != 0 && (address & hostBits) == 0) {
            return STR_HOST_BITS_ZERO;
        }
        if (hostBits != 0 && (address & hostBits) == hostBits) {
            return STR_HOST_BITS_ONE;
        }
    }
    quint32 gateway = 0;
    if (!parseAddress(port.gateway, &gateway)) {
        return STR_INVALID_IP.arg(port.gateway);
    }
    return QString();
}
