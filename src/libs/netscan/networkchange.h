// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKCHANGE_H
#define ZVR_NETWORKCHANGE_H

//! \file
//! The four texts of a network change, written and read in one place.

#include <netscan/netscan_global.h>

#include <QString>
#include <QStringList>
#include <QVector>

//! The address settings of one Ethernet port.
struct NETSCAN_EXPORT PortSettings
{
    QString ip; //!< dotted IPv4 address
    QString subnetMask; //!< dotted IPv4 mask
    QString gateway; //!< dotted IPv4 gateway

    //! Whether all three texts are empty: the port is left as it is.
    bool isEmpty() const { return ip.isEmpty() && subnetMask.isEmpty() && gateway.isEmpty(); }
    //!@{
    //! Equal when all three texts are.
    bool operator==(const PortSettings &other) const
    {
        return ip == other.ip && subnetMask == other.subnetMask && gateway == other.gateway;
    }
    bool operator!=(const PortSettings &other) const { return !(*this == other); }
    //!@}
};

/*! \brief A network change as the device finder hands it to the scan back-end.
 *
 *  DeviceTableModel::setDeviceNetworkConfig() passes four texts through unchanged to
 *  ZVR::BLL::MacScan; the device finder and every ScanBackend read them as:
 *  1. the communication MAC addresses of the devices to change, joined by ",";
 *  2. the first port's settings as "ip;mask;gateway": the first device takes that
 *     address, each further device the next one up;
 *  3. the second port's settings in the same form and numbered up the same way, or
 *     empty to leave it as it is;
 *  4. the request number in decimal, which the answer carries back; a retry adds ";"
 *     and, for each device, how many addresses up from the start it takes, joined by ",".
 */
struct NETSCAN_EXPORT NetworkChange
{
    QStringList macs; //!< the devices' communication MACs, in the order they are numbered
    PortSettings port1; //!< the first port's start settings
    PortSettings port2; //!< the second port's start settings; empty to leave the port
    int requestId = 0; //!< the number the answers carry back
    //! Each device's step up from the start addresses; empty for 0, 1, 2...
    QVector<quint32> offsets;

    //! The step up from the start addresses of the device at \a index.
    quint32 offset(int index) const { return offsets.isEmpty() ? quint32(index) : offsets.value(index); }

    //! The first text: the MACs joined by ",".
    QString macsText() const;
    //! The second or third text: "ip;mask;gateway", or empty for an empty port.
    static QString portText(const PortSettings &port);
    //! The fourth text: the request number, and for a retry ";" and the offsets.
    QString requestText() const;

    //! Reads the four texts back; false when one of them is malformed.
    static bool fromTexts(const QString &macs, const QString &port1, const QString &port2,
        const QString &request, NetworkChange *change);
};

//! A dotted IPv4 text, strictly four parts of 0 to 255; false for anything else.
NETSCAN_EXPORT bool parseAddress(const QString &text, quint32 *value);
//! The dotted text of an IPv4 address held as a number, first part in the high byte.
NETSCAN_EXPORT QString formatAddress(quint32 value);

#endif // ZVR_NETWORKCHANGE_H
