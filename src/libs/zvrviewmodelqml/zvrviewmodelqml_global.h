// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_ZVRVIEWMODELQML_GLOBAL_H
#define ZVR_ZVRVIEWMODELQML_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(ZVRVIEWMODELQML_LIBRARY)
#define ZVRVIEWMODELQML_EXPORT Q_DECL_EXPORT
#else
#define ZVRVIEWMODELQML_EXPORT Q_DECL_IMPORT
#endif

#endif // ZVR_ZVRVIEWMODELQML_GLOBAL_H
