// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_REPORTUPDATE_H
#define ZVR_REPORTUPDATE_H

//! \file
//! The report kinds that DeviceData::update() takes.

//! The library's free helpers and enumerations beside its classes.
namespace ZVR {

/*! \brief The share of a report that DeviceData::update() takes, as its mode.
 *
 *  The back-end reports a device in two shares, from its MAC scan and from the
 *  device's UDP answer; DeviceData::update() lists the fields of each.
 */
enum ReportUpdate : int {
    FirstReport = 0, //!< a new device: both shares and the communication MAC
    MacScanReport = 1, //!< the MAC scan's share: model, kind, serial number, ports, faults, status
    UdpReport = 2, //!< the UDP answer's share: name, sub-kind, firmware, run mode, clock, roll call
};

} // namespace ZVR

#endif // ZVR_REPORTUPDATE_H
