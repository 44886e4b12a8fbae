// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_PROXYORDER_P_H
#define ZVR_PROXYORDER_P_H

#include <QCollatorSortKey>
#include <QModelIndexList>
#include <QString>

#include <optional>
#include <vector>

class DeviceData;

namespace ZVR {
namespace Private {

// What a record's sort and search read, kept until one of its watched properties changes.
struct RecordKeys
{
    std::optional<QCollatorSortKey> text;
    // The name's key outlives sorts by other columns: the name is always watched.
    std::optional<QCollatorSortKey> name;
    // The name's place among the names of the last sort by name, while it holds.
    int nameRank = 0;
    quint32 nameRankGeneration = 0;
    QString plain; // as the record has it: compared case-folded
    qint64 number = 0;
    quint32 sortGeneration = 0; // the sort they were read for; 0 for none
    QString macs; // the MACs as bare hex digits, one a line
    bool searchValid = false; // macs is read
};

// Where a table row stands in the proxy.
enum class Placement {
    Hidden, // the filter rejects it, or it waits for the next refresh to be placed
    Shown, // at proxyRow
};

// One row of the table. The proxy's order holds these, so table rows that shift never
// touch it.
struct ProxyEntry
{
    DeviceData *device = nullptr;
    int row = 0; // the table's row
    int proxyRow = -1; // the proxy's row while shown, else -1
    Placement placement = Placement::Hidden;
    bool dirty = false; // queued for the next refresh
    bool sortStale = false; // the sort property changed since the keys were read
    bool mark = false; // scratch: member of the set being worked on
    RecordKeys keys;

    bool shown() const { return placement == Placement::Shown; }
    void hide()
    {
        placement = Placement::Hidden;
        proxyRow = -1;
    }
};

using Entries = std::vector<ProxyEntry *>;

// A stretch of proxy rows that one model signal covers.
struct Run
{
    int first; // the first position
    int count; // how many positions it covers
    size_t begin; // its first index in the positions it was made from
};

/*! Groups ascending \a positions into runs: with \a step 1 consecutive positions form
 *  one run (rows that leave), with \a step 0 equal ones (rows that arrive at one place).
 */
std::vector<Run> runsOf(const std::vector<int> &positions, int step);

/*! \brief The proxy's rows in order, each entry knowing its own row.
 *
 *  Every change renumbers the entries it shifts; entries that leave are hidden.
 */
class ProxyOrder
{
public:
    int size() const { return int(m_entries.size()); }
    ProxyEntry *at(int row) const { return m_entries[size_t(row)]; }
    const Entries &entries() const { return m_entries; }

    // The proxy's rows become \a entries; rows left out are hidden.
    void assign(Entries entries);
    void clear() { assign({}); }
    void erase(int first, int last);
    void insert(int at, Entries::const_iterator first, Entries::const_iterator last);
    // Moves the row at \a from so that it ends at \a to.
    void move(int from, int to);
    // The entries under proxy indexes, for a persistent-index remap.
    Entries entriesAt(const QModelIndexList &indexes) const;

private:
    void renumber(int from, int to);

    Entries m_entries;
};

} // namespace Private
} // namespace ZVR

#endif // ZVR_PROXYORDER_P_H
