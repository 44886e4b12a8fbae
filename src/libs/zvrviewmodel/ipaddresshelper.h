// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_IPADDRESSHELPER_H
#define ZVR_IPADDRESSHELPER_H

#include <QString>

// Dotted IPv4 text <-> integer with the first part in the most significant byte.
// 0xFFFFFFFF is the error value. Internal to the library: not exported.

quint32 IPV4StringToInteger(const QString &ip);
// The plain split-and-toInt form of IPV4StringToInteger: same results, same warning
// text; kept as the yardstick for the fast one.
quint32 IPV4StringToIntegerReference(const QString &ip);
quint32 getIPV4StringByteInteger(const QString &ip, int pos);
QString IPV4IntegerToString(quint32 ip);

#endif // ZVR_IPADDRESSHELPER_H
