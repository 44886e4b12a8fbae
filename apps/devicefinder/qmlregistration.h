// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_QMLREGISTRATION_H
#define ZVR_DEVICEFINDER_QMLREGISTRATION_H

#include <functional>

class DeviceFinder;

/*! Registers the library's classes and enumerations with QML under "ZVR.ViewModel 1.0"
 *  and \a finder as the singleton "Finder" of "ZVR.DeviceFinder 1.0". The library
 *  registers nothing itself: this is the host's part. \a finder stays owned by the caller.
 */
void registerQmlTypes(DeviceFinder *finder);

//! The same, with a new DeviceFinder from \a create for every engine, owned by that engine.
void registerQmlTypes(const std::function<DeviceFinder *()> &create);

#endif // ZVR_DEVICEFINDER_QMLREGISTRATION_H
