// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_QMLREGISTRATION_H
#define ZVR_DEVICEFINDER_QMLREGISTRATION_H

#include <functional>

class DeviceColumns;
class DeviceFinder;
class NetworkSession;
class TableExport;

/*! Registers the library's classes and enumerations with QML under "ZVR.ViewModel 1.0",
 *  and \a finder, \a columns and \a exporter as the singletons "Finder", "Columns" and
 *  "TableExport" of "ZVR.DeviceFinder 1.0". The library registers nothing itself: this
 *  is the host's part. The three stay owned by the caller.
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

#endif // ZVR_DEVICEFINDER_QMLREGISTRATION_H
