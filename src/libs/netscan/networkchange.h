// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKCHANGE_H
#define ZVR_NETWORKCHANGE_H

#include <netscan/netscan_global.h>

#include <QString>
#include <QStringList>
#include <QVector>

//! The address settings of one Ethernet port.
struct NETSCAN_EXPORT PortSettings
{
    //!@{
    //! Dotted IPv4 texts.
    QString ip;
    QString subnetMask;
    QString gateway;
    //!@}

    //! True when the port is left as it is.
    bool isEmpty() const { return ip.isEmpty() && subnetMask.isEmpty() && gateway.isEmpty(); }
    //!@{
    //! Field by field.
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
    //! The devices' communication MAC addresses.
    QStringList macs;
    //! The first device's settings; further devices count up from them.
    PortSettings port1;
    //! Port 2's, or empty to leave it.
    PortSettings port2;
    //! The number the answers carry back.
    int requestId = 0;
    //! Each device's step up from the start addresses; empty for 0, 1, 2...
    QVector<quint32> offsets;

    //! How many addresses up from the start device \a index takes.
    quint32 offset(int index) const { return offsets.isEmpty() ? quint32(index) : offsets.value(index); }

    //!@{
    //! The four texts written back, as fromTexts() reads them.
    QString macsText() const;
    static QString portText(const PortSettings &port);
    QString requestText() const;
    //!@}

    //! Reads the four texts back; false when one of them is malformed.
    static bool fromTexts(const QString &macs, const QString &port1, const QString &port2,
        const QString &request, NetworkChange *change);
};

//! A dotted IPv4 text, strictly four parts of 0 to 255; false for anything else.
NETSCAN_EXPORT bool parseAddress(const QString &text, quint32 *value);
NETSCAN_EXPORT QString formatAddress(quint32 value);

#endif // ZVR_NETWORKCHANGE_H
