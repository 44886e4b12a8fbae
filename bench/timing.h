// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_BENCH_TIMING_H
#define ZVR_BENCH_TIMING_H

#include <ctime>

namespace Timing {

inline double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The machine is shared with compilers: the time this thread spent on the work, in user
// and kernel mode (page faults included), is steadier than the wall clock.
template<typename Work> double timed(Work &&work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

} // namespace Timing

#endif // ZVR_BENCH_TIMING_H
