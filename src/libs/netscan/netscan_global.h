// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETSCAN_GLOBAL_H
#define ZVR_NETSCAN_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(NETSCAN_LIBRARY)
#define NETSCAN_EXPORT Q_DECL_EXPORT
#else
#define NETSCAN_EXPORT Q_DECL_IMPORT
#endif

#endif // ZVR_NETSCAN_GLOBAL_H
