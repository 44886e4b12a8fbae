// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_FUZZ_FUZZCHECK_H
#define ZVR_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

// Stops the run with a message; libFuzzer keeps the input that got here.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);        \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#endif // ZVR_FUZZ_FUZZCHECK_H
