// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicelookup.h"

#include "devicedata.h"
#include "devicerow.h"
#include "devicetablemodel.h"

namespace ZVR {

DeviceData *deviceByCommMac(const DeviceTableModel &table, const QString &commMac)
{
    if (commMac.isEmpty()) {
        return nullptr;
    }
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        DeviceData *const device = deviceAtRow(&table, row);
        if (device && device->commMac().compare(commMac, Qt::CaseInsensitive) == 0) {
            return device;
        }
    }
    return nullptr;
}

} // namespace ZVR
