// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicetablemodel.h>

#include <cstdio>

int main()
{
    DeviceTableModel table;
    const bool ok = table.rowCount() == 0 && table.columnRole(DeviceTableModel::ColIP) == QStringLiteral("ip");
    std::printf("tableonly: %s\n", ok ? "started" : "FAIL");
    return ok ? 0 : 1;
}
