// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICELOOKUP_H
#define ZVR_DEVICELOOKUP_H

//! \file
//! Extension: looking up a table's record by its communication MAC.

#include <zvrviewmodel/zvrviewmodel_global.h>

#include <QString>

class DeviceData;
class DeviceTableModel;

namespace ZVR {

/*! \brief Extension: the record of \a table whose DeviceData::commMac() is \a commMac.
 *
 *  For a host that keeps no map of its own from a back-end's report to the record it
 *  updates. The MACs are compared ignoring case. The table does not key on the
 *  communication MAC (DeviceTableModel::appendDevice() refuses the same record twice,
 *  not two records with one MAC): where several rows share one, the first row's record
 *  is returned. Null for an empty \a commMac or no match. The lookup walks the rows,
 *  so a host that looks up every report of a large table keeps its own map instead.
 *  The table keeps ownership.
 */
ZVRVIEWMODEL_EXPORT DeviceData *deviceByCommMac(const DeviceTableModel &table, const QString &commMac);

} // namespace ZVR

#endif // ZVR_DEVICELOOKUP_H
