// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_MACSCANBLL_GLOBAL_H
#define ZVR_MACSCANBLL_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(MACSCANBLL_LIBRARY)
#define MACSCANBLL_EXPORT Q_DECL_EXPORT
#else
#define MACSCANBLL_EXPORT Q_DECL_IMPORT
#endif

#endif // ZVR_MACSCANBLL_GLOBAL_H
