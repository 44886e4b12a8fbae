// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_PROXYSORTKEYS_P_H
#define ZVR_PROXYSORTKEYS_P_H

#include "columntable_p.h"
#include "proxyorder_p.h"

#include <QCollator>

namespace ZVR {
namespace Private {

/*! \brief How the proxy orders its rows: the sorted field, its direction and the keys
 *  cached per record.
 */
class ProxySortKeys
{
public:
    ProxySortKeys();

    /*! Sorts by \a fieldIndex (a field of the column table, or -1 for a column it lacks,
     *  which keeps the table's order); \a sorted false shows the table's own order.
     */
    void setSort(bool sorted, int fieldIndex, bool descending);
    bool sorted() const { return m_sorted; }
    // Whether a changed key moves rows: a sort by a field with keys of its own.
    bool keyed() const;

    // The one comparison: true when \a left goes before \a right.
    bool lessThan(ProxyEntry *left, ProxyEntry *right);
    auto less()
    {
        return [this](ProxyEntry *left, ProxyEntry *right) { return lessThan(left, right); };
    }

    /*! Sorts \a entries as less() does, with each row's key read once into a compact
     *  array: a whole-table sort then never chases a row's entry per comparison.
     */
    void sort(Entries &entries);

    // Reads the keys of a row whose sort property changed when it is next compared.
    static void refresh(ProxyEntry &entry);
    // Reads the collation key of the row's name unless it has one; true when it read it.
    bool readName(ProxyEntry &entry);

private:
    int compare(ProxyEntry *left, ProxyEntry *right);
    const RecordKeys &keysOf(ProxyEntry *entry);
    const RecordKeys &keysOf(ProxyEntry *entry, QCollator &collator);
    static bool readName(ProxyEntry &entry, QCollator &collator);

    QCollator m_collator;
    bool m_sorted = false;
    bool m_descending = false;
    int m_field = -1;
    SortKind m_kind = SortKind::None;
    // Which sort the records' keys were read for.
    quint32 m_generation = 1;
    // Which sort by name ranked the names that carry it; 0 before any.
    quint32 m_rankGeneration = 0;
};

} // namespace Private
} // namespace ZVR

#endif // ZVR_PROXYSORTKEYS_P_H
