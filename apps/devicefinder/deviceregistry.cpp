// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "deviceregistry.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/reportupdate.h>

#include <QDebug>
#include <QQmlEngine>

DeviceRegistry::DeviceRegistry(DeviceTableModel *table, QObject *parent)
    : QObject(parent)
    , m_table(table)
{
}

DeviceRegistry::~DeviceRegistry() = default;

void DeviceRegistry::report(const MacScanDeviceInfo &info, int kind)
{
    const QString commMac = info.deviceCommMac();
    const auto known = m_devices.constFind(commMac);
    if (known != m_devices.constEnd()) {
        // Known before the record tells of its new run mode, so that its followers read it.
        if (kind == ZVR::UdpReport) {
            m_runModes.insert(known.value().data(), info.runMode());
        }
        known.value()->update(info, kind);
        if (kind == ZVR::MacScanReport) {
            Q_EMIT addressesReported(commMac);
        }
        return;
    }
    // A device shows from its first MAC scan on: the UDP share alone has no addresses.
    if (kind == ZVR::UdpReport) {
        qInfo() << "UDP report of" << commMac << "before its MAC scan; ignored";
        return;
    }
    // First sight: take the whole report, then show the device. QML receives records
    // from invokable calls too, and would otherwise own and collect them.
    const QSharedPointer<DeviceData> device(new DeviceData);
    QQmlEngine::setObjectOwnership(device.data(), QQmlEngine::CppOwnership);
    m_runModes.insert(device.data(), info.runMode());
    device->update(info, ZVR::FirstReport);
    m_devices.insert(commMac, device);
    m_table->appendDevice(device);
    Q_EMIT deviceAdded(device.data());
}

void DeviceRegistry::reportIpState(const QString &commMac, int state)
{
    if (const QSharedPointer<DeviceData> device = m_devices.value(commMac)) {
        device->setIpState(DeviceData::IpState(state));
    }
}

QSharedPointer<DeviceData> DeviceRegistry::device(const QString &commMac) const
{
    return m_devices.value(commMac);
}

QList<QSharedPointer<DeviceData>> DeviceRegistry::devices() const
{
    return m_devices.values();
}

QList<QSharedPointer<DeviceData>> DeviceRegistry::tableDevices() const
{
    QList<QSharedPointer<DeviceData>> devices;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const DeviceData *device = ZVR::deviceAtRow(m_table, row);
        devices << (device ? m_devices.value(device->commMac()) : QSharedPointer<DeviceData>());
    }
    return devices;
}

QList<QSharedPointer<DeviceData>> DeviceRegistry::removeOffline()
{
    QList<QSharedPointer<DeviceData>> removed;
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if (it.value()->devStatus() == DeviceData::Offline) {
            removed << it.value();
            Q_EMIT deviceRemoved(it.value().data());
            m_table->removeDevice(it.value());
            m_runModes.remove(it.value().data());
            it = m_devices.erase(it);
        } else {
            ++it;
        }
    }
    return removed;
}

void DeviceRegistry::clear()
{
    m_table->clear();
    m_devices.clear();
    m_runModes.clear();
}

DeviceRunMode DeviceRegistry::runMode(const DeviceData *device) const
{
    return m_runModes.value(device, RunModeInvalid);
}

RunModeOf DeviceRegistry::runModes() const
{
    return [this](const DeviceData *device) { return runMode(device); };
}
