// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TESTS_IPV4REFERENCE_H
#define ZVR_TESTS_IPV4REFERENCE_H

#include <QDebug>
#include <QString>
#include <QStringList>

// The plain split-and-toInt form of IPV4StringToInteger: the yardstick the one-pass form
// must equal in value and warning text. Empty parts are kept; a part that is not a
// base-10 int counts as 0; out-of-range parts spill into the bytes before them.
inline quint32 IPV4StringToIntegerReference(const QString &ip)
{
    const QStringList parts = ip.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 4) {
        qWarning() << "IPV4StringToInteger " << ip << " is invalid ip address";
        return 0xFFFFFFFF;
    }
    const quint32 p0 = static_cast<quint32>(parts.at(0).toInt(nullptr, 10));
    const quint32 p1 = static_cast<quint32>(parts.at(1).toInt(nullptr, 10));
    const quint32 p2 = static_cast<quint32>(parts.at(2).toInt(nullptr, 10));
    const quint32 p3 = static_cast<quint32>(parts.at(3).toInt(nullptr, 10));
    return (p0 << 24) | (p1 << 16) | (p2 << 8) | p3;
}

#endif // ZVR_TESTS_IPV4REFERENCE_H
