// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TWOTHREADS_P_H
#define ZVR_TWOTHREADS_P_H

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>

namespace ZVR {
namespace Private {

// A pass over this many rows or more (a whole-table sort, a new search) reads the records
// on two threads: the first read of 100,000 scattered records waits on memory, which a
// second core halves.
constexpr size_t TwoThreads = 20000;

/*! work(begin, end, thread) over [0, count): on this thread (1) alone, or with a thread
 *  of its own (0) when there are enough rows. The rows go in turns of a few thousand that
 *  each thread takes as it gets to them, so that neither waits for the other; work must
 *  touch nothing but the rows of its turn.
 */
template<typename Work> void inTwoThreads(size_t count, Work work)
{
    if (count < TwoThreads) {
        work(size_t(0), count, 1);
        return;
    }
    constexpr size_t Turn = 2048;
    std::atomic<size_t> next { 0 };
    const auto take = [&next, &work, count](int thread) {
        for (size_t begin = next.fetch_add(Turn); begin < count; begin = next.fetch_add(Turn)) {
            work(begin, std::min(begin + Turn, count), thread);
        }
    };
    std::thread other(take, 0);
    take(1);
    other.join();
}

} // namespace Private
} // namespace ZVR

#endif // ZVR_TWOTHREADS_P_H
