// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_REPORTUPDATE_H
#define ZVR_REPORTUPDATE_H

namespace ZVR {

// The fields a report brings, as the mode of DeviceData::update.
enum ReportUpdate : int {
    FirstReport = 0, // a new device: both scans' fields and the communication MAC
    MacScanReport = 1, // the MAC scan's fields
    UdpReport = 2, // the UDP answer's fields
};

} // namespace ZVR

#endif // ZVR_REPORTUPDATE_H
