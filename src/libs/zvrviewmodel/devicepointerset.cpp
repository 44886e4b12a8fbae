// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicepointerset_p.h"

#include <algorithm>

namespace ZVR {
namespace Private {

void DevicePointerSet::insert(const void *device)
{
    // At most half the slots in use (live or removed), so probes stay short.
    if ((m_used + 1) * 2 > m_slots.size()) {
        rehash(std::max<size_t>(16, m_live * 4 + 4));
    }
    m_used += place(reinterpret_cast<quintptr>(device));
    ++m_live;
}

void DevicePointerSet::remove(const void *device)
{
    const size_t slot = find(device);
    if (slot != NotFound) {
        m_slots[slot] = Removed;
        --m_live;
    }
}

void DevicePointerSet::clear()
{
    std::vector<quintptr>().swap(m_slots);
    m_used = 0;
    m_live = 0;
}

size_t DevicePointerSet::find(const void *device) const
{
    const quintptr key = reinterpret_cast<quintptr>(device);
    for (size_t i = m_slots.empty() ? 0 : slotOf(key); i < m_slots.size() && m_slots[i] != Empty;
         i = (i + 1) & (m_slots.size() - 1)) {
        if (m_slots[i] == key) {
            return i;
        }
    }
    return NotFound;
}

// Objects allocated one after another land in nearby slots, so a long run of appends
// walks the array instead of jumping about it; each megabyte of addresses starts at a
// scrambled place, so separate regions do not pile onto the same slots.
size_t DevicePointerSet::slotOf(quintptr key) const
{
    const quint64 region = static_cast<quint64>(key >> 20) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>((key >> 4) + (region >> 32)) & (m_slots.size() - 1);
}

// Puts a key into the first free slot of its probe run; returns 1 if that slot was empty.
size_t DevicePointerSet::place(quintptr key)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = slotOf(key);
    while (m_slots[i] != Empty && m_slots[i] != Removed) {
        i = (i + 1) & mask;
    }
    const size_t wasEmpty = m_slots[i] == Empty ? 1 : 0;
    m_slots[i] = key;
    return wasEmpty;
}

void DevicePointerSet::rehash(size_t atLeast)
{
    size_t size = 16;
    while (size < atLeast) {
        size *= 2;
    }
    std::vector<quintptr> old(size, Empty);
    old.swap(m_slots);
    m_used = 0;
    for (const quintptr key : old) {
        if (key != Empty && key != Removed) {
            m_used += place(key);
        }
    }
}

} // namespace Private
} // namespace ZVR
