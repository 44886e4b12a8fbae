// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_BENCH_BENCHCASES_H
#define ZVR_BENCH_BENCHCASES_H

//! Registers the device table cases with Google Benchmark.
void registerDeviceTableCases();
//! Registers the sort/filter proxy cases beside a QSortFilterProxyModel.
void registerProxyCases();
//! Registers the device finder's whole scan round, where the tool is built.
void registerToolCases();

#endif // ZVR_BENCH_BENCHCASES_H
