// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_IPADDRESSHELPER_H
#define ZVR_IPADDRESSHELPER_H

#include <macscanbll/macscandeviceinfo.h>

#include <QString>
#include <QStringView>

// Dotted IPv4 text <-> integer with the first part in the most significant byte.
// 0xFFFFFFFF is the error value. Internal to the library: not exported.

quint32 IPV4StringToInteger(const QString &ip);
quint32 getIPV4StringByteInteger(const QString &ip, int pos);
QString IPV4IntegerToString(quint32 ip);

// Strict dotted IPv4 text for addresses that people type or that sort keys read:
// exactly four parts of one to three ASCII digits, each at most 255. No log line.
bool parseIPv4(QStringView text, quint32 *value);

// Takes a report's ports with their address integers. As many ports as before overwrite
// the stored entries in place, keeping equal texts, rather than copy the caller's array.
void takePorts(QVector<t_device_network_info> &stored, QVector<t_device_network_info> ports);

#endif // ZVR_IPADDRESSHELPER_H
