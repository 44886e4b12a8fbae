// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "proxysortkeys_p.h"

#include <QLocale>

namespace ZVR {
namespace Private {

namespace {

// -1, 0 or 1 as a is ordered before, with or after b.
template<typename T> int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

ProxySortKeys::ProxySortKeys()
    : m_collator(QLocale(QLocale::Chinese, QLocale::China))
{
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void ProxySortKeys::setSort(bool sorted, int fieldIndex, bool descending)
{
    m_sorted = sorted;
    m_descending = descending;
    m_field = sorted ? fieldIndex : -1;
    m_kind = m_field >= 0 ? field(m_field).sort : SortKind::None;
}

bool ProxySortKeys::keyed() const
{
    return m_kind != SortKind::None && m_kind != SortKind::Row;
}

bool ProxySortKeys::lessThan(ProxyEntry *left, ProxyEntry *right)
{
    if (m_sorted) {
        // Rows without a device go after every device, before them when descending.
        if (!left->device != !right->device) {
            return m_descending == !left->device;
        }
        if (left->device) {
            const int order = compare(left, right);
            if (order != 0) {
                return m_descending ? order > 0 : order < 0;
            }
        }
    }
    // Equal values keep the table's order in either direction.
    return left->row < right->row;
}

void ProxySortKeys::forget(ProxyEntry &entry)
{
    entry.keys.sortValid = false;
    entry.keys.text.reset();
    entry.sortStale = false;
}

void ProxySortKeys::refresh(ProxyEntry &entry)
{
    if (entry.sortStale) {
        forget(entry);
        // The row may have been read again without a change signal.
        entry.keys.name.reset();
    }
}

int ProxySortKeys::compare(ProxyEntry *left, ProxyEntry *right)
{
    switch (m_kind) {
    case SortKind::None:
        return 0;
    case SortKind::Row:
        return compareValues(left->row, right->row);
    case SortKind::Text:
        return keysOf(left).plain.compare(keysOf(right).plain, Qt::CaseInsensitive);
    case SortKind::Natural:
        return keysOf(left).text->compare(*keysOf(right).text);
    case SortKind::Address:
    case SortKind::Number:
        return compareValues(keysOf(left).number, keysOf(right).number);
    }
    return 0;
}

const RecordKeys &ProxySortKeys::keysOf(ProxyEntry *entry)
{
    RecordKeys &keys = entry->keys;
    if (keys.sortValid) {
        return keys;
    }
    const DeviceData &device = *entry->device;
    const DeviceField &sorted = field(m_field);
    if (m_kind == SortKind::Natural) {
        if (m_field == DeviceTableModel::ColName) {
            if (!keys.name) {
                keys.name = m_collator.sortKey(device.name());
            }
            keys.text = keys.name;
        } else {
            keys.text = m_collator.sortKey((device.*sorted.text)());
        }
    } else if (m_kind == SortKind::Text) {
        keys.plain = (device.*sorted.text)();
    } else {
        keys.number = sorted.number(device);
    }
    keys.sortValid = true;
    return keys;
}

} // namespace Private
} // namespace ZVR
