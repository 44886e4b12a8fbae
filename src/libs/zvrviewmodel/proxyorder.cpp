// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "proxyorder_p.h"

#include <algorithm>

namespace ZVR {
namespace Private {

std::vector<Run> runsOf(const std::vector<int> &positions, int step)
{
    std::vector<Run> runs;
    for (size_t i = 0; i < positions.size(); ++i) {
        if (runs.empty() || positions[i] != runs.back().first + runs.back().count * step) {
            runs.push_back({ positions[i], 1, i });
        } else {
            ++runs.back().count;
        }
    }
    return runs;
}

void ProxyOrder::assign(Entries entries)
{
    for (ProxyEntry *entry : m_entries) {
        entry->hide();
    }
    m_entries = std::move(entries);
    renumber(0, size());
}

void ProxyOrder::erase(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        m_entries[size_t(i)]->hide();
    }
    m_entries.erase(m_entries.begin() + first, m_entries.begin() + last + 1);
    renumber(first, size());
}

void ProxyOrder::insert(int at, Entries::const_iterator first, Entries::const_iterator last)
{
    m_entries.insert(m_entries.begin() + at, first, last);
    renumber(at, size());
}

void ProxyOrder::move(int from, int to)
{
    const auto begin = m_entries.begin();
    if (to > from) {
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    } else {
        std::rotate(begin + to, begin + from, begin + from + 1);
    }
    renumber(std::min(from, to), std::max(from, to) + 1);
}

Entries ProxyOrder::entriesAt(const QModelIndexList &indexes) const
{
    Entries entries;
    entries.reserve(size_t(indexes.size()));
    for (const QModelIndex &index : indexes) {
        entries.push_back(at(index.row()));
    }
    return entries;
}

void ProxyOrder::renumber(int from, int to)
{
    for (int i = from; i < to; ++i) {
        ProxyEntry *entry = m_entries[size_t(i)];
        entry->proxyRow = i;
        entry->placement = Placement::Shown;
    }
}

} // namespace Private
} // namespace ZVR
