// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changeplan.h"

#include "nodelistmodel.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/displaytexts.h>

#include <QMultiHash>
#include <QObject>
#include <QSet>

#include <algorithm>

namespace {

// One-bits from the top, then zero-bits only.
bool isContiguousMask(quint32 mask)
{
    const quint32 inverted = ~mask;
    return (inverted & (inverted + 1)) == 0;
}

} // namespace

namespace {

const char *const FieldOrder[] = { "", "ip", "subnetMask", "gateway", "ip2", "subnetMask2", "gateway2" };

QString fieldLabel(const QString &field)
{
    const bool second = field.endsWith(QLatin1Char('2'));
    const QString base = second ? field.chopped(1) : field;
    const QString label = base == QLatin1String("ip") ? STR_IP_ADDRESS
        : base == QLatin1String("subnetMask")         ? STR_SUBNET_MASK
                                                      : STR_GATEWAY_ADDRESS;
    return second ? STR_NETWORK_PORT + QStringLiteral("2 ") + label : label;
}

QString deviceLabel(const DeviceData *device)
{
    return device->name().isEmpty() ? device->commMac() : device->name();
}

// A few names of \a devices, and how many more there are.
QString deviceList(QVector<const DeviceData *> devices)
{
    // A device may hold an address twice: the one it shows and one it may have taken.
    QSet<const DeviceData *> seen;
    devices.erase(std::remove_if(devices.begin(), devices.end(),
                      [&seen](const DeviceData *device) {
                          const bool again = seen.contains(device);
                          seen.insert(device);
                          return again;
                      }),
        devices.end());
    constexpr int shown = 3;
    QStringList names;
    for (int i = 0; i < devices.size() && i < shown; ++i) {
        names << deviceLabel(devices.at(i));
    }
    QString text = names.join(QStringLiteral("、"));
    if (devices.size() > shown) {
        text += QObject::tr("等%1台设备").arg(devices.size());
    }
    return text;
}

QString subnetText(quint32 address, quint32 mask)
{
    int bits = 0;
    for (quint32 m = mask; m & 0x80000000u; m <<= 1) {
        ++bits;
    }
    return formatAddress(address & mask) + QLatin1Char('/') + QString::number(bits);
}

// Reads one address field; a refusal goes to \a errors under \a field.
bool readField(const QString &text, const QString &field, quint32 *value, QVariantMap *errors)
{
    if (text.isEmpty()) {
        errors->insert(field, QObject::tr("%1不能为空").arg(fieldLabel(field)));
        return false;
    }
    if (!parseAddress(text, value)) {
        errors->insert(field, STR_INVALID_IP.arg(text));
        return false;
    }
    return true;
}

// The checks of one port's settings for \a count devices numbered up from its address.
// Sets \a start and returns true when the addresses themselves can be handed out.
bool checkPort(const PortSettings &port, int count, const QString &suffix, quint32 *start,
    quint32 *gatewayOut, QVariantMap *errors)
{
    const QString ipField = QStringLiteral("ip") + suffix;
    const QString maskField = QStringLiteral("subnetMask") + suffix;
    const QString gatewayField = QStringLiteral("gateway") + suffix;
    quint32 ip = 0;
    quint32 mask = 0;
    quint32 gateway = 0;
    const bool ipRead = readField(port.ip, ipField, &ip, errors);
    bool maskRead = readField(port.subnetMask, maskField, &mask, errors);
    const bool gatewayRead = readField(port.gateway, gatewayField, &gateway, errors);
    if (maskRead && mask == 0) {
        errors->insert(maskField, QObject::tr("子网掩码不能是0.0.0.0"));
        maskRead = false;
    } else if (maskRead && !isContiguousMask(mask)) {
        errors->insert(maskField, STR_MASK_NOT_CONTIGUOUS);
        maskRead = false;
    }
    if (!ipRead) {
        return false;
    }
    const quint32 last = ip + quint32(qMax(count, 1) - 1);
    for (const quint32 address : { ip, last }) {
        const quint32 firstByte = address >> 24;
        if (firstByte == 127) {
            errors->insert(ipField, STR_FIRST_BYTE_127);
            return false;
        }
        if (firstByte < 1 || firstByte > 223 || last < ip) {
            errors->insert(ipField, STR_FIRST_BYTE_RANGE);
            return false;
        }
    }
    if (!maskRead) {
        return false;
    }
    const quint32 hostBits = ~mask;
    if (hostBits != 0 && (ip & hostBits) == 0) {
        errors->insert(ipField, QObject::tr("%1是子网%2的网络地址，不能分配给设备").arg(port.ip, subnetText(ip, mask)));
        return false;
    }
    // The last usable address is one below the broadcast address.
    const quint32 lastUsable = hostBits == 0 ? ip : (ip | hostBits) - 1;
    if (hostBits != 0 && (ip & hostBits) == hostBits) {
        errors->insert(ipField, QObject::tr("%1是子网%2的广播地址，不能分配给设备").arg(port.ip, subnetText(ip, mask)));
        return false;
    }
    if (last > lastUsable) {
        errors->insert(ipField,
            QObject::tr("从%1起的%2台设备超出了子网%3，最后一个可用地址是%4")
                .arg(port.ip)
                .arg(count)
                .arg(subnetText(ip, mask), formatAddress(lastUsable)));
        return false;
    }
    if (gatewayRead && (gateway & mask) != (ip & mask)) {
        errors->insert(
            gatewayField, QObject::tr("网关%1不在子网%2内").arg(port.gateway, subnetText(ip, mask)));
    }
    *start = ip;
    *gatewayOut = gatewayRead ? gateway : 0;
    return true;
}

} // namespace

QString normalizedMask(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QString digits = trimmed.startsWith(QLatin1Char('/')) ? trimmed.mid(1) : trimmed;
    bool ok = false;
    const int bits = digits.toInt(&ok);
    if (!ok || digits.size() > 2 || bits < 1 || bits > 32 || !digits.at(0).isDigit()) {
        return text;
    }
    return formatAddress(bits == 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> bits));
}

QString ChangePlan::firstError() const
{
    for (const char *field : FieldOrder) {
        const QString key = QString::fromLatin1(field);
        const QString text = errors.value(key).toString();
        if (!text.isEmpty()) {
            return key.isEmpty() ? text : fieldLabel(key) + QStringLiteral("：") + text;
        }
    }
    return QString();
}

ChangePlan planChange(const QVector<const DeviceData *> &targets, const ChangeRequest &request,
    const QVector<const DeviceData *> &known, const RunModeOf &runModeOf, const QVector<HeldAddress> &alsoHeld)
{
    ChangePlan plan;
    if (targets.isEmpty()) {
        plan.errors.insert(QString(), STR_SELECT_DEVICE_FIRST);
        return plan;
    }
    // Only devices that can take the change are planned, each refusal in its own words.
    QVector<const DeviceData *> offline;
    QVector<const DeviceData *> fault;
    QVector<const DeviceData *> locked;
    for (const DeviceData *device : targets) {
        if (device->devStatus() == DeviceData::Offline) {
            offline << device;
        } else if (device->devStatus() == DeviceData::Malfunction) {
            fault << device;
        } else if (keepsItsAddress(device, runModeOf)) {
            locked << device;
        }
    }
    const auto refuse = [&plan, &targets](const QVector<const DeviceData *> &devices, const QString &text) {
        if (devices.isEmpty()) {
            return false;
        }
        plan.errors.insert(
            QString(), targets.size() == 1 ? text : text + QStringLiteral("：") + deviceList(devices));
        return true;
    };
    // A device in fault is named by its fault, as the table shows it.
    const QString faultText = fault.size() == 1 && targets.size() == 1 && !fault.first()->malfunction().isEmpty()
        ? QObject::tr("设备故障（%1），排除故障后才能修改").arg(fault.first()->malfunction())
        : QObject::tr("设备故障，排除故障后才能修改");
    if (refuse(offline, STR_DEVICE_OFFLINE) || refuse(fault, faultText)
        || refuse(locked, QObject::tr("主备节点的IP地址不能修改"))) {
        return plan;
    }
    const int count = targets.size();
    // A retry keeps each device's place in the first plan: the addresses span up to the last one.
    const auto step
        = [&request](int i) { return request.offsets.isEmpty() ? quint32(i) : request.offsets.value(i); };
    int span = count;
    for (int i = 0; i < count; ++i) {
        span = qMax(span, int(step(i)) + 1);
    }
    quint32 start1 = 0;
    quint32 gateway1 = 0;
    quint32 start2 = 0;
    quint32 gateway2 = 0;
    const bool port1Usable = checkPort(request.port1, span, QString(), &start1, &gateway1, &plan.errors);
    const bool port2Usable = !request.changePort2
        || checkPort(request.port2, span, QStringLiteral("2"), &start2, &gateway2, &plan.errors);
    if (!port1Usable || !port2Usable) {
        return plan;
    }
    if (request.changePort2 && request.port1.ip == request.port2.ip) {
        plan.errors.insert(QString(), STR_PORT_IP_SAME);
        return plan;
    }

    // Control nodes keep their addresses whatever they are asked; the others move away.
    QSet<const DeviceData *> moving;
    for (const DeviceData *device : targets) {
        if (!isControlNode(device, runModeOf)) {
            moving.insert(device);
        }
    }
    // Who holds an address now, and on which port, besides the devices that move away.
    struct Holder
    {
        const DeviceData *device;
        int port;
    };
    QMultiHash<quint32, Holder> holders;
    for (const DeviceData *device : known) {
        quint32 value = 0;
        const bool moves = moving.contains(device);
        if (!moves && parseAddress(device->ip(), &value)) {
            holders.insert(value, { device, 1 });
        }
        if (device->ethernetPortNumber() > 1 && !(moves && request.changePort2)
            && parseAddress(device->ip2(), &value)) {
            holders.insert(value, { device, 2 });
        }
    }
    for (const HeldAddress &held : alsoHeld) {
        quint32 value = 0;
        if (parseAddress(held.ip, &value)) {
            holders.insert(value, { held.device, held.port });
        }
    }

    QVector<const DeviceData *> taken;
    QVector<const DeviceData *> taken2;
    QVector<const DeviceData *> atGateway;
    bool samePorts = false;
    bool changed = false;
    const auto collect = [&](quint32 address, const DeviceData *device, int port,
                             QVector<const DeviceData *> *out) {
        for (auto it = holders.constFind(address); it != holders.constEnd() && it.key() == address; ++it) {
            if (it.value().device != device) {
                *out << it.value().device;
            } else if (it.value().port != port) {
                samePorts = true;
            }
        }
    };
    plan.devices.reserve(count);
    for (int i = 0; i < count; ++i) {
        const DeviceData *device = targets.at(i);
        const quint32 ip = start1 + step(i);
        PlannedDevice planned { device, formatAddress(ip), QString(), step(i) };
        collect(ip, device, 1, &taken);
        if (ip == gateway1) {
            atGateway << device;
        }
        if (request.changePort2 && device->ethernetPortNumber() > 1) {
            planned.ip2 = formatAddress(start2 + step(i));
            collect(start2 + step(i), device, 2, &taken2);
        }
        changed = changed || planned.ip != device->ip() || request.port1.subnetMask != device->subnetMask()
            || request.port1.gateway != device->gateway()
            || (!planned.ip2.isEmpty()
                && (planned.ip2 != device->ip2() || request.port2.subnetMask != device->subnetMask2()
                    || request.port2.gateway != device->gateway2()));
        plan.devices << planned;
    }
    const QString takenText = QObject::tr("新地址已被%1占用");
    if (samePorts) {
        plan.errors.insert(QString(), STR_PORT_IP_SAME);
    } else if (!taken.isEmpty() || !taken2.isEmpty()) {
        if (!taken.isEmpty()) {
            plan.errors.insert(QStringLiteral("ip"), takenText.arg(deviceList(taken)));
        }
        if (!taken2.isEmpty()) {
            plan.errors.insert(QStringLiteral("ip2"), takenText.arg(deviceList(taken2)));
        }
    } else if (!atGateway.isEmpty()) {
        plan.errors.insert(QStringLiteral("gateway"),
            QObject::tr("网关%1与%2的新地址相同").arg(request.port1.gateway, deviceList(atGateway)));
    } else if (!changed) {
        plan.errors.insert(QString(), STR_NETWORK_UNCHANGED);
    }
    return plan;
}
