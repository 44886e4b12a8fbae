// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_NETWORKCHANGE_H
#define ZVR_DEVICEFINDER_NETWORKCHANGE_H

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

//! The address settings of one Ethernet port.
struct PortSettings
{
    QString ip;
    QString subnetMask;
    QString gateway;

    bool isEmpty() const { return ip.isEmpty() && subnetMask.isEmpty() && gateway.isEmpty(); }
    bool operator==(const PortSettings &other) const
    {
        return ip == other.ip && subnetMask == other.subnetMask && gateway == other.gateway;
    }
    bool operator!=(const PortSettings &other) const { return !(*this == other); }
};

/*! \brief A network change as this tool hands it to the scan back-end.
 *
 *  DeviceTableModel::setDeviceNetworkConfig() passes four texts through unchanged;
 *  in this tool they mean:
 *  1. the communication MAC addresses of the devices to change, joined by ",";
 *  2. the first port's settings as "ip;mask;gateway": the first device takes that
 *     address, each further device the next one up;
 *  3. the second port's settings in the same form and numbered up the same way, or
 *     empty to leave it as it is;
 *  4. the request number in decimal, which the answer carries back; a retry adds ";"
 *     and, for each device, how many addresses up from the start it takes, joined by ",".
 */
struct NetworkChange
{
    QStringList macs;
    PortSettings port1;
    PortSettings port2;
    int requestId = 0;
    //! Each device's step up from the start addresses; empty for 0, 1, 2...
    QVector<quint32> offsets;

    quint32 offset(int index) const { return offsets.isEmpty() ? quint32(index) : offsets.value(index); }

    QString macsText() const;
    static QString portText(const PortSettings &port);
    QString requestText() const;

    //! Reads the four texts back; false when one of them is malformed.
    static bool fromTexts(const QString &macs, const QString &port1, const QString &port2,
        const QString &request, NetworkChange *change);
};

//! A dotted IPv4 text, strictly four parts of 0 to 255; false for anything else.
bool parseAddress(const QString &text, quint32 *value);
QString formatAddress(quint32 value);

class DeviceData;

//! What the editor asks for: the first port's settings, and the second's when changed.
struct ChangeRequest
{
    PortSettings port1;
    bool changePort2 = false;
    PortSettings port2;
    //! As NetworkChange::offsets: a retry keeps each device's place in the first plan.
    QVector<quint32> offsets;
};

//! One device of a plan and the addresses it is to take.
struct PlannedDevice
{
    const DeviceData *device = nullptr;
    QString ip;
    QString ip2;
    quint32 offset = 0;
};

/*! \brief Which device takes which address, and what is wrong with that.
 *
 *  Devices take addresses up from the start address in the order given, which is the
 *  order the user sees. Refusals are kept by the field they concern ("ip",
 *  "subnetMask", "gateway", and the same with "2" for the second port; "" for the
 *  change as a whole), so that the editor shows each beside its field.
 */
struct ChangePlan
{
    QVector<PlannedDevice> devices;
    QVariantMap errors;

    bool isValid() const { return errors.isEmpty(); }
    //! The first refusal, the field it concerns named, or an empty text.
    QString firstError() const;
};

/*! Plans \a request for \a targets. \a known are all devices the tool lists: no
 *  planned address may be one that a device outside the plan holds on either port.
 */
ChangePlan planChange(const QVector<const DeviceData *> &targets, const ChangeRequest &request,
    const QVector<const DeviceData *> &known);

#endif // ZVR_DEVICEFINDER_NETWORKCHANGE_H
