// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ipaddresshelper.h"

#include <QDebug>
#include <QStringList>

#include <utility>

namespace {

constexpr quint32 InvalidAddress = 0xFFFFFFFF;

// An equal text is kept rather than replaced: comparing is cheaper than swapping references.
void keepOrTake(QString &field, const QString &value)
{
    if (field != value) {
        field = value;
    }
}

// toInt's base-10 value of the text [begin, end). A bare run of at most nine ASCII
// digits after an optional sign cannot overflow and is read in place; anything else
// (blanks, other digit or sign characters, longer numbers) goes to toInt itself.
int fastPartValue(const QChar *begin, const QChar *end)
{
    if (begin == end) {
        return 0;
    }
    const QChar *p = begin;
    const bool negative = p->unicode() == u'-';
    if (negative || p->unicode() == u'+') {
        ++p;
    }
    const qptrdiff digits = end - p;
    if (digits > 0 && digits <= 9) {
        int value = 0;
        for (; p != end; ++p) {
            const unsigned digit = static_cast<unsigned>(p->unicode()) - u'0';
            if (digit > 9) {
                break;
            }
            value = value * 10 + static_cast<int>(digit);
        }
        if (p == end) {
            return negative ? -value : value;
        }
    }
    return QString::fromRawData(begin, static_cast<int>(end - begin)).toInt(nullptr, 10);
}

} // namespace

// One pass over the text, no list and no part copies: this runs for every port of every
// MAC-scan report.
quint32 IPV4StringToInteger(const QString &ip)
{
    const QChar *const data = ip.constData();
    const QChar *const end = data + ip.size();
    const QChar *starts[4] = { data, nullptr, nullptr, nullptr };
    const QChar *ends[4] = { nullptr, nullptr, nullptr, end };
    int dots = 0;
    for (const QChar *p = data; p != end; ++p) {
        if (p->unicode() == u'.') {
            if (dots == 3) {
                dots = 4;
                break;
            }
            ends[dots] = p;
            starts[++dots] = p + 1;
        }
    }
    if (dots != 3) {
        qWarning() << "IPV4StringToInteger " << ip << " is invalid ip address";
        return InvalidAddress;
    }
    // Out-of-range parts spill into the bytes before them, as plain 32-bit arithmetic does.
    quint32 value = 0;
    for (int part = 0; part < 4; ++part) {
        value = (value << 8) | static_cast<quint32>(fastPartValue(starts[part], ends[part]));
    }
    return value;
}

quint32 getIPV4StringByteInteger(const QString &ip, int pos)
{
    if (pos < 0 || pos > 3) {
        qWarning() << "getIPV4StringByteInteger ip " << ip << ", pos is invalid";
        return InvalidAddress;
    }
    // Empty parts are kept, so "1..2.3" still has four parts.
    const QStringList parts = ip.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 4) {
        qWarning() << "getIPV4StringByteInteger " << ip << " is invalid ip address";
        return InvalidAddress;
    }
    // Anything that is not a base-10 int counts as 0; there is no range check.
    return static_cast<quint32>(parts.at(pos).toInt(nullptr, 10));
}

QString IPV4IntegerToString(quint32 ip)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((ip >> 24) & 0xFF)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF);
}

bool parseIPv4(QStringView text, quint32 *value)
{
    quint32 result = 0;
    int parts = 0;
    int digits = 0;
    quint32 part = 0;
    for (const QChar c : text) {
        const unsigned digit = static_cast<unsigned>(c.unicode()) - u'0';
        if (digit <= 9) {
            if (++digits > 3) {
                return false;
            }
            part = part * 10 + digit;
        } else if (c.unicode() == u'.' && digits > 0 && parts < 3 && part <= 255) {
            result = (result << 8) | part;
            ++parts;
            digits = 0;
            part = 0;
        } else {
            return false;
        }
    }
    if (parts != 3 || digits == 0 || part > 255) {
        return false;
    }
    *value = (result << 8) | part;
    return true;
}

void takePorts(QVector<t_device_network_info> &stored, QVector<t_device_network_info> ports)
{
    if (!ports.isEmpty() && ports.size() == stored.size()) {
        t_device_network_info *port = stored.data();
        for (const t_device_network_info &given : std::as_const(ports)) {
            port->id = given.id;
            keepOrTake(port->mac, given.mac);
            keepOrTake(port->ip, given.ip);
            keepOrTake(port->subnetMask, given.subnetMask);
            keepOrTake(port->gateway, given.gateway);
            port->ipInt = IPV4StringToInteger(port->ip);
            ++port;
        }
        return;
    }
    stored = std::move(ports);
    for (t_device_network_info &port : stored) {
        port.ipInt = IPV4StringToInteger(port.ip);
    }
}
