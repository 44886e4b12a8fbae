// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "workload.h"

#include <QStringList>

namespace {

QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString macOf(int device, int port)
{
    const int serial = device * 2 + port;
    return QStringList { QStringLiteral("00"), QStringLiteral("1A"), QStringLiteral("7C"),
        hexByte(serial >> 16), hexByte(serial >> 8), hexByte(serial) }
        .join(QLatin1Char(':'));
}

// Devices live in 10.x.y.0/22 blocks of about a thousand; the second port on 172.16/16.
QString addressOf(int device, int port, int shift)
{
    const int host = device + shift;
    if (port == 0) {
        return QStringLiteral("10.%1.%2.%3")
            .arg((host >> 16) & 0xFF)
            .arg((host >> 8) & 0xFF)
            .arg(host & 0xFF);
    }
    return QStringLiteral("172.16.%1.%2").arg((host >> 8) & 0xFF).arg(host & 0xFF);
}

t_device_network_info portOf(int device, int port, int shift)
{
    t_device_network_info info;
    info.id = port;
    info.mac = macOf(device, port);
    info.ip = addressOf(device, port, shift);
    info.subnetMask = port == 0 ? QStringLiteral("255.255.252.0") : QStringLiteral("255.255.0.0");
    info.gateway = port == 0
        ? QStringLiteral("10.%1.%2.1").arg((device >> 16) & 0xFF).arg((device >> 8) & 0xFC)
        : QStringLiteral("172.16.0.1");
    return info;
}

NodeType kindOf(int device)
{
    switch (device % 10) {
    case 0:
    case 1:
    case 2:
    case 3:
        return NodeEncoder;
    case 8:
        return NodeDecoderTwoInOne;
    case 9:
        return NodeCentralControl;
    default:
        return NodeDecoder;
    }
}

MacScanDeviceInfo reportOf(int device, bool churned)
{
    const NodeType kind = kindOf(device);
    const int variant = (device / 10) % 3;
    MacScanDeviceInfo info;
    info.setNodeType(kind);
    info.setSubNodeType(kind == NodeDecoder ? static_cast<SubNodeType>(1 + device % 3) : SubNodeNone);
    info.setRunMode(
        kind == NodeCentralControl ? (device % 20 == 9 ? RunModeMaster : RunModeBackup) : RunModeNormal);
    static const char *const models[] = { "", "ZVR-E2100", "ZVR-D3200", "ZVR-D3200S", "ZVR-C500" };
    info.setDeviceModel(QString::fromLatin1(models[kind]));
    info.setDeviceSN(QStringLiteral("ZV2024%1").arg(device, 8, 10, QLatin1Char('0')));
    info.setName(
        QStringLiteral("%1号会议室-%2").arg(device / 40 + 1).arg(device % 40 + 1, 2, 10, QLatin1Char('0')));
    info.setFirmwareVer(
        QStringLiteral("V2.%1.%2 build 20250%3").arg(device % 3).arg(device % 17).arg(device % 9 + 1));
    info.setDevTime(QStringLiteral("2026-05-01 09:%1:%2")
                        .arg(device / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(device % 60, 2, 10, QLatin1Char('0')));
    info.setDeviceCommMac(macOf(device, 0));
    info.setCallRollState(device % 7 == 0 ? 1 : 0);

    bool offline = device % 53 == 0;
    int malfunction = device % 97 == 0 ? 1 : 0;
    int shift = 0;
    if (churned && Workload::churns(device)) {
        if (variant == 0) {
            offline = !offline;
        } else if (variant == 1) {
            malfunction ^= 2;
        } else {
            shift = 1 << 20;
        }
    }
    info.setOffline(offline);
    info.setMalfunction(malfunction);
    info.setNetworkInfo({ portOf(device, 0, shift), portOf(device, 1, shift) });
    return info;
}

std::vector<MacScanDeviceInfo> build(int count, bool churned)
{
    std::vector<MacScanDeviceInfo> list;
    list.reserve(static_cast<size_t>(count));
    for (int device = 0; device < count; ++device) {
        list.push_back(reportOf(device, churned));
    }
    return list;
}

} // namespace

std::vector<MacScanDeviceInfo> Workload::reports(int count)
{
    return build(count, false);
}

std::vector<MacScanDeviceInfo> Workload::churnedReports(int count)
{
    return build(count, true);
}
