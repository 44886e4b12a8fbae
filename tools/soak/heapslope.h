// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TOOLS_HEAPSLOPE_H
#define ZVR_TOOLS_HEAPSLOPE_H

// The soaks' rule for a flat heap: sample the bytes in use at fixed intervals once the
// population is stable; the least-squares slope of the samples must stay under a bound.
// Also the numbers both soaks take on their command lines.

#include <QVector>

#include <cstdlib>
#include <malloc.h>

inline qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
}

// Least-squares slope of the samples, in bytes per sampling interval.
inline double heapSlope(const QVector<qint64> &samples)
{
    const int n = samples.size();
    if (n < 2) {
        return 0.0;
    }
    double meanX = 0.0;
    double meanY = 0.0;
    for (int i = 0; i < n; ++i) {
        meanX += i;
        meanY += double(samples.at(i));
    }
    meanX /= n;
    meanY /= n;
    double num = 0.0;
    double den = 0.0;
    for (int i = 0; i < n; ++i) {
        num += (i - meanX) * (double(samples.at(i)) - meanY);
        den += (i - meanX) * (i - meanX);
    }
    return num / den;
}

// The number after option argv[*i], taken (and *i moved past it) when there is one; true
// when it is positive.
inline bool positiveArgument(int argc, char **argv, int *i, qint64 *out)
{
    *out = *i + 1 < argc ? std::strtoll(argv[++*i], nullptr, 10) : 0;
    return *out > 0;
}

#endif // ZVR_TOOLS_HEAPSLOPE_H
