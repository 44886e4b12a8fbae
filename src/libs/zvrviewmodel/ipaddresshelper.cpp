// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ipaddresshelper.h"

#include <QDebug>
#include <QStringList>

namespace {

constexpr quint32 InvalidAddress = 0xFFFFFFFF;

// Empty parts are kept, so "1..2.3" still has four parts.
QStringList splitAddress(const QString &ip)
{
    return ip.split(QLatin1Char('.'), Qt::KeepEmptyParts);
}

// Anything that is not a base-10 int counts as 0; there is no range check.
int partValue(const QString &part)
{
    return part.toInt(nullptr, 10);
}

} // namespace

quint32 IPV4StringToInteger(const QString &ip)
{
    const QStringList parts = splitAddress(ip);
    if (parts.size() != 4) {
        qWarning() << "IPV4StringToInteger " << ip << " is invalid ip address";
        return InvalidAddress;
    }
    // Out-of-range parts spill into the bytes before them, as plain 32-bit arithmetic does.
    const quint32 p0 = static_cast<quint32>(partValue(parts.at(0)));
    const quint32 p1 = static_cast<quint32>(partValue(parts.at(1)));
    const quint32 p2 = static_cast<quint32>(partValue(parts.at(2)));
    const quint32 p3 = static_cast<quint32>(partValue(parts.at(3)));
    return (p0 << 24) | (p1 << 16) | (p2 << 8) | p3;
}

quint32 getIPV4StringByteInteger(const QString &ip, int pos)
{
    if (pos < 0 || pos > 3) {
        qWarning() << "getIPV4StringByteInteger ip " << ip << ", pos is invalid";
        return InvalidAddress;
    }
    const QStringList parts = splitAddress(ip);
    if (parts.size() != 4) {
        qWarning() << "getIPV4StringByteInteger " << ip << " is invalid ip address";
        return InvalidAddress;
    }
    return static_cast<quint32>(partValue(parts.at(pos)));
}

QString IPV4IntegerToString(quint32 ip)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((ip >> 24) & 0xFF)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF);
}
