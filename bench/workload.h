// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_BENCH_WORKLOAD_H
#define ZVR_BENCH_WORKLOAD_H

#include <macscanbll/macscandeviceinfo.h>

#include <vector>

// Back-end reports of a large installation. Each call builds its texts anew, as a new
// scan round does: equal texts, separate buffers.
namespace Workload {

//! Reports of devices 0 to count - 1: two ports, a mix of kinds, a few offline or faulty.
std::vector<MacScanDeviceInfo> reports(int count);

//! The same round with every tenth device changed: status, faults or first address.
std::vector<MacScanDeviceInfo> churnedReports(int count);

//! True for the devices that churnedReports() changes.
inline bool churns(int device)
{
    return device % 10 == 0;
}

} // namespace Workload

#endif // ZVR_BENCH_WORKLOAD_H
