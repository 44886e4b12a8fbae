// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEROW_H
#define ZVR_DEVICEROW_H

//! \file
//! Extension: the record shown in a row of a device table or of a proxy over one.

#include <zvrviewmodel/zvrviewmodel_global.h>

class DeviceData;
class QAbstractItemModel;

namespace ZVR {

/*! \brief The record shown in \a row of a device table, or of a proxy over one.
 *
 *  Reads the row's "operate" cell, which hands out the record without a log line.
 *  Null for a row outside the model, a null row, or a model whose cells are not
 *  device records. The model keeps ownership.
 */
ZVRVIEWMODEL_EXPORT DeviceData *deviceAtRow(const QAbstractItemModel *model, int row);

} // namespace ZVR

#endif // ZVR_DEVICEROW_H
