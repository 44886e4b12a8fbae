// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_QMLREGISTRATION_H
#define ZVR_DEVICEFINDER_QMLREGISTRATION_H

#include <functional>

class DeviceColumns;
class QQmlEngine;
class DeviceFinder;
class NetworkSession;
class TableExport;

/*! Registers \a finder, \a columns and \a exporter as the singletons "Finder", "Columns"
 *  and "TableExport" of "ZVR.DeviceFinder 1.0", with the tool's models. The library's
 *  classes come from the QML module "ZVR.ViewModel" (addQmlImportPath()). The three
 *  stay owned by the caller.
 */
void registerQmlTypes(DeviceFinder *finder, DeviceColumns *columns, TableExport *exporter);

/*! Registers \a session as the singleton "Network" of "ZVR.DeviceFinder 1.0" (and its
 *  credential store's type); it stays owned by the caller.
 */
void registerNetworkSession(NetworkSession *session);

/*! The same, with a new DeviceFinder from \a create for every engine, and columns that
 *  are not kept between runs and a NetworkSession over the finder's back-end, all owned
 *  by that engine.
 */
void registerQmlTypes(const std::function<DeviceFinder *()> &create);

//! Lets \a engine find the QML module "ZVR.ViewModel" of this build.
void addQmlImportPath(QQmlEngine *engine);

#endif // ZVR_DEVICEFINDER_QMLREGISTRATION_H
