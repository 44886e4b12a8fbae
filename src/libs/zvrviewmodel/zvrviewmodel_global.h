// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_ZVRVIEWMODEL_GLOBAL_H
#define ZVR_ZVRVIEWMODEL_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(ZVRVIEWMODEL_LIBRARY)
#define ZVRVIEWMODEL_EXPORT Q_DECL_EXPORT
#else
#define ZVRVIEWMODEL_EXPORT Q_DECL_IMPORT
#endif

#endif // ZVR_ZVRVIEWMODEL_GLOBAL_H
