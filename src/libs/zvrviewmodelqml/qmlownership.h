// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_QMLOWNERSHIP_H
#define ZVR_QMLOWNERSHIP_H

//! \file
//! Part of the QML module's library: keeping records owned by C++ once QML holds them.

#include "zvrviewmodelqml_global.h"

class QAbstractItemModel;

namespace ZVR {

/*! \brief Keeps the records of \a model owned by C++ once QML holds them.
 *
 *  A record that QML receives from an invokable call (the proxy's
 *  DeviceSortFilterProxyModel::device(), or `model.data(index, role)`) would otherwise
 *  become JavaScript-owned, and the garbage collector would delete an object that a
 *  QSharedPointer still holds. This marks the record of every row that \a model holds
 *  now and of every row it inserts or resets to later (the QObject in column 0's
 *  display role: a DeviceData, a SettingResultData), with
 *  QQmlEngine::CppOwnership. A host calls it once for each table it hands to QML; the
 *  proxy that QML creates from the module `ZVR.ViewModel` does it for itself. Calling
 *  it again for the same model does nothing more; a null model is refused with a
 *  warning. Part of the QML module's library (`zvrviewmodel::qml`, Qt Qml).
 */
ZVRVIEWMODELQML_EXPORT void keepRecordsOwnedByCpp(QAbstractItemModel *model);

} // namespace ZVR

#endif // ZVR_QMLOWNERSHIP_H
