// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEPOINTERSET_P_H
#define ZVR_DEVICEPOINTERSET_P_H

#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace ZVR {
namespace Private {

/*! \brief The devices of the rows, so that appendDevice finds a duplicate without a scan.
 *
 *  Open addressing over one array of pointers: no allocation per row, and growing it
 *  touches that array only. Null and the address 1 are no keys.
 */
class DevicePointerSet
{
public:
    bool contains(const void *device) const { return find(device) != NotFound; }
    void insert(const void *device);
    void remove(const void *device);
    void clear();
    // Slots in use, live or removed; the array stays at most half full.
    size_t used() const { return m_used; }
    size_t capacity() const { return m_slots.size(); }

private:
    static constexpr quintptr Empty = 0;
    static constexpr quintptr Removed = 1;
    static constexpr size_t NotFound = ~size_t(0);

    size_t find(const void *device) const;
    size_t slotOf(quintptr key) const;
    size_t place(quintptr key);
    void rehash(size_t atLeast);

    std::vector<quintptr> m_slots;
    size_t m_used = 0;
    size_t m_live = 0;
};

} // namespace Private
} // namespace ZVR

#endif // ZVR_DEVICEPOINTERSET_P_H
