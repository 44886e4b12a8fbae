// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "macscan.h"

namespace ZVR {
namespace BLL {

MacScan::MacScan(QObject *parent)
    : QObject(parent)
{
}

MacScan::~MacScan() = default;

MacScan *MacScan::getInstance()
{
    static MacScan instance;
    return &instance;
}

void MacScan::setDeviceNetworkInfo(const QString &first, const QString &second, const QString &third,
                                   const QString &fourth)
{
    Q_EMIT deviceNetworkInfoRequested(first, second, third, fourth);
}

} // namespace BLL
} // namespace ZVR
