// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_COLUMNTABLE_P_H
#define ZVR_COLUMNTABLE_P_H

#include "devicedata.h"
#include "devicetablemodel.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace ZVR {
namespace Private {

// How a field orders its rows.
enum class SortKind {
    None, // no order of its own: rows keep the table's order
    Row, // the table's row number
    Text, // plain text, ignoring case (MAC addresses: hex digits, not numbers)
    Natural, // the Chinese collator, numbers by value
    Address, // an IPv4 address by its value
    Number, // an integer, an enumeration or a flag
};

// What the search text is matched against in a field.
enum class SearchKind {
    No,
    Text, // the text, ignoring case
    Mac, // the text, and its bare hex digits against a search typed as a MAC
};

// One field of a device record as the table, the proxy and the tool see it.
struct DeviceField
{
    const char *role; // the role name: the DeviceData property a cell shows
    void (DeviceData::*changed)(); // its change signal; null where the record has none
    SortKind sort;
    SearchKind search;
    QString (DeviceData::*text)() const; // Text, Natural and searched fields
    qint64 (*number)(const DeviceData &); // Address and Number fields
};

// One field per DeviceTableModel::ColumnType, in that order, then the fields that the
// search reads without a column of their own.
constexpr int columnFieldCount = DeviceTableModel::ColumnTypeCNT;
const DeviceField &field(int index);
// The index of the field with \a role, or -1.
int fieldOfRole(const QByteArray &role);
// The indexes of the fields the search reads, in the table's order.
const QVector<int> &searchedFields();
// The indexes of the fields with a change signal, in the table's order.
const QVector<int> &notifyingFields();

} // namespace Private
} // namespace ZVR

#endif // ZVR_COLUMNTABLE_P_H
