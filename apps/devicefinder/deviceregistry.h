// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_DEVICEREGISTRY_H
#define ZVR_DEVICEFINDER_DEVICEREGISTRY_H

#include "nodelistmodel.h"

#include <macscanbll/macscandeviceinfo.h>

#include <QHash>
#include <QList>
#include <QObject>
#include <QSharedPointer>

class DeviceData;
class DeviceTableModel;

/*! \brief One DeviceData per communication MAC, fed by the back-end's reports.
 *
 *  A device's first report is taken whole and appends its row to the table; later
 *  reports update the record by their kind. A report that is not a first sight and
 *  carries only the UDP share is taken as it is: the record fills in from later reports.
 *  Every record it creates is marked as owned by C++, so that QML never collects it.
 */
class DeviceRegistry : public QObject
{
    Q_OBJECT

public:
    explicit DeviceRegistry(DeviceTableModel *table, QObject *parent = nullptr);
    ~DeviceRegistry() override;

    void report(const MacScanDeviceInfo &info, int kind);
    void reportIpState(const QString &commMac, int state);

    QSharedPointer<DeviceData> device(const QString &commMac) const;
    QList<QSharedPointer<DeviceData>> devices() const;
    //! The devices of the table's rows, in row order.
    QList<QSharedPointer<DeviceData>> tableDevices() const;
    //! Forgets the offline devices; gives them.
    QList<QSharedPointer<DeviceData>> removeOffline();
    void clear();
    //! The run mode each device last reported: rules read it, never the text a record shows.
    DeviceRunMode runMode(const DeviceData *device) const;
    RunModeOf runModes() const;

Q_SIGNALS:
    void deviceAdded(DeviceData *device);
    void deviceRemoved(DeviceData *device);
    //! A MAC-scan report of a known device: its addresses are as the network has them.
    void addressesReported(const QString &commMac);

private:
    Q_DISABLE_COPY(DeviceRegistry)
    DeviceTableModel *const m_table;
    QHash<QString, QSharedPointer<DeviceData>> m_devices;
    QHash<const DeviceData *, DeviceRunMode> m_runModes;
};

#endif // ZVR_DEVICEFINDER_DEVICEREGISTRY_H
