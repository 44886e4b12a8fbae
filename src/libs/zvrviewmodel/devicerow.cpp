// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicerow.h"

#include "devicedata.h"
#include "devicetablemodel.h"

namespace ZVR {

DeviceData *deviceAtRow(const QAbstractItemModel *model, int row)
{
    if (!model || row < 0 || row >= model->rowCount()) {
        return nullptr;
    }
    const QVariant cell = model->data(model->index(row, 0), Qt::UserRole + DeviceTableModel::ColOperate);
    return qobject_cast<DeviceData *>(cell.value<QObject *>());
}

} // namespace ZVR
