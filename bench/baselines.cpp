// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "baselines.h"

#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/ipaddresshelper.h>
#include <zvrviewmodel/reportupdate.h>

#include <QList>

namespace {

QString textAt(const QString *table, int size, int value)
{
    return value >= 0 && value < size ? table[value] : QString();
}

const t_device_network_info *portAt(const QVector<t_device_network_info> &ports, int port)
{
    return port < ports.size() ? &ports.at(port) : nullptr;
}

int statusOf(bool offline, int malfunction)
{
    if (offline) {
        return 1;
    }
    return malfunction == 0 ? 0 : 2;
}

} // namespace

QString nodeTypeText(int type)
{
    static const QString texts[] = { QStringLiteral("--"), QStringLiteral("编码器"), QStringLiteral("解码器"),
        QStringLiteral("解码器-二合一"), QStringLiteral("中控") };
    return textAt(texts, 5, type);
}

QString subNodeTypeText(int type)
{
    static const QString texts[]
        = { QString(), QStringLiteral("坐席"), QStringLiteral("大屏"), QStringLiteral("回显") };
    return textAt(texts, 4, type);
}

QString runModeText(int mode)
{
    static const QString texts[] = { QStringLiteral("普通节点"), QStringLiteral("主节点"),
        QStringLiteral("备节点"), QStringLiteral("--") };
    return textAt(texts, 4, mode);
}

QString devStatusText(int status)
{
    static const QString texts[] = { QStringLiteral("在线"), QStringLiteral("离线"), QStringLiteral("故障") };
    return textAt(texts, 3, status);
}

QString malfunctionText(int word)
{
    static const QString texts[] = { QString(), QStringLiteral("温度异常"), QStringLiteral("电压异常"),
        QStringLiteral("温度异常/电压异常") };
    return texts[word & 3];
}

QString completeTypeText(int type, int subType)
{
    const QString subKind = subNodeTypeText(subType);
    if (type == NodeDecoder && !subKind.isEmpty()) {
        return QStringLiteral("%1-%2").arg(nodeTypeText(type), subKind);
    }
    return nodeTypeText(type);
}

// ---- QStandardItemModel ----

ItemModelTable::ItemModelTable()
{
    m_model.setColumnCount(ValuesPerRow);
}

void ItemModelTable::append(const MacScanDeviceInfo &info)
{
    const int row = m_model.rowCount();
    const QVector<t_device_network_info> ports = info.networkInfo();
    const t_device_network_info *const first = portAt(ports, 0);
    const t_device_network_info *const second = portAt(ports, 1);
    const int status = statusOf(info.isOffline(), info.malfunction());

    QList<QStandardItem *> items;
    items.reserve(ValuesPerRow);
    for (int column = 0; column < ValuesPerRow; ++column) {
        items.append(new QStandardItem);
    }
    const auto set = [&items](int column, const QVariant &value, int role = Qt::DisplayRole) {
        items.at(column)->setData(value, role);
    };
    set(DeviceTableModel::ColCheckbox, false);
    set(DeviceTableModel::ColIndex, row);
    set(DeviceTableModel::ColName, info.name());
    set(DeviceTableModel::ColType, nodeTypeText(info.nodeType()));
    set(DeviceTableModel::ColType, static_cast<int>(info.nodeType()), Qt::UserRole);
    set(DeviceTableModel::ColSubType, subNodeTypeText(info.subNodeType()));
    set(DeviceTableModel::ColSubType, static_cast<int>(info.subNodeType()), Qt::UserRole);
    set(DeviceTableModel::ColCompleteType, completeTypeText(info.nodeType(), info.subNodeType()));
    set(DeviceTableModel::ColModel, info.deviceModel());
    set(DeviceTableModel::ColDevStatus, status);
    set(DeviceTableModel::ColDevStatusStr, devStatusText(status));
    set(DeviceTableModel::ColMalfunction, malfunctionText(info.malfunction()));
    set(DeviceTableModel::ColMalfunction, info.malfunction(), Qt::UserRole);
    set(DeviceTableModel::ColIpState, 1);
    set(DeviceTableModel::ColRunMode, runModeText(info.runMode()));
    set(DeviceTableModel::ColFirmwareVer, info.firmwareVer());
    set(DeviceTableModel::ColDevTime, info.devTime());
    set(DeviceTableModel::ColCallRollState, info.callRollState());
    set(DeviceTableModel::ColSN, info.deviceSN());
    set(DeviceTableModel::ColMAC, first ? first->mac : QString());
    set(DeviceTableModel::ColIP, first ? first->ip : QString());
    set(DeviceTableModel::ColIP, first ? IPV4StringToInteger(first->ip) : 0u, Qt::UserRole);
    set(DeviceTableModel::ColIP2, second ? second->ip : QString());
    set(DeviceTableModel::ColIP2, second ? IPV4StringToInteger(second->ip) : 0u, Qt::UserRole);
    set(DeviceTableModel::ColSubnetMask, first ? first->subnetMask : QString());
    set(DeviceTableModel::ColGateway, first ? first->gateway : QString());
    set(DeviceTableModel::ColOperate, info.deviceCommMac());
    m_model.appendRow(items);
}

void ItemModelTable::update(int row, const MacScanDeviceInfo &info, int mode)
{
    if (mode == ZVR::MacScanReport) {
        updateFromMac(row, info);
    } else if (mode == ZVR::UdpReport) {
        updateFromUdp(row, info);
    }
}

// setData compares with the stored value and signals only on a change, like the record.
void ItemModelTable::setCell(int row, int column, const QVariant &value, int role)
{
    m_model.item(row, column)->setData(value, role);
}

void ItemModelTable::updateFromMac(int row, const MacScanDeviceInfo &info)
{
    const auto set = [this, row](int column, const QVariant &value, int role = Qt::DisplayRole) {
        setCell(row, column, value, role);
    };
    set(DeviceTableModel::ColModel, info.deviceModel());
    set(DeviceTableModel::ColType, nodeTypeText(info.nodeType()));
    set(DeviceTableModel::ColType, static_cast<int>(info.nodeType()), Qt::UserRole);
    updateCompleteType(row);
    set(DeviceTableModel::ColSN, info.deviceSN());
    const QVector<t_device_network_info> ports = info.networkInfo();
    const t_device_network_info *const first = portAt(ports, 0);
    const t_device_network_info *const second = portAt(ports, 1);
    set(DeviceTableModel::ColMAC, first ? first->mac : QString());
    set(DeviceTableModel::ColIP, first ? first->ip : QString());
    set(DeviceTableModel::ColIP, first ? IPV4StringToInteger(first->ip) : 0u, Qt::UserRole);
    set(DeviceTableModel::ColIP2, second ? second->ip : QString());
    set(DeviceTableModel::ColIP2, second ? IPV4StringToInteger(second->ip) : 0u, Qt::UserRole);
    set(DeviceTableModel::ColSubnetMask, first ? first->subnetMask : QString());
    set(DeviceTableModel::ColGateway, first ? first->gateway : QString());
    const int malfunction = info.malfunction();
    set(DeviceTableModel::ColMalfunction, malfunction, Qt::UserRole);
    set(DeviceTableModel::ColMalfunction, malfunctionText(malfunction));
    const int status = statusOf(info.isOffline(), malfunction);
    set(DeviceTableModel::ColDevStatus, status);
    set(DeviceTableModel::ColDevStatusStr, devStatusText(status));
}

void ItemModelTable::updateFromUdp(int row, const MacScanDeviceInfo &info)
{
    const auto set = [this, row](int column, const QVariant &value, int role = Qt::DisplayRole) {
        setCell(row, column, value, role);
    };
    set(DeviceTableModel::ColName, info.name());
    set(DeviceTableModel::ColSubType, subNodeTypeText(info.subNodeType()));
    set(DeviceTableModel::ColSubType, static_cast<int>(info.subNodeType()), Qt::UserRole);
    updateCompleteType(row);
    set(DeviceTableModel::ColFirmwareVer, info.firmwareVer());
    set(DeviceTableModel::ColRunMode, runModeText(info.runMode()));
    set(DeviceTableModel::ColDevTime, info.devTime());
    set(DeviceTableModel::ColCallRollState, info.callRollState());
}

void ItemModelTable::updateCompleteType(int row)
{
    const int type = m_model.item(row, DeviceTableModel::ColType)->data(Qt::UserRole).toInt();
    const int subType = m_model.item(row, DeviceTableModel::ColSubType)->data(Qt::UserRole).toInt();
    m_model.item(row, DeviceTableModel::ColCompleteType)
        ->setData(completeTypeText(type, subType), Qt::DisplayRole);
}

QVariant ItemModelTable::cell(int row, int column) const
{
    return m_model.data(m_model.index(row, column), Qt::DisplayRole);
}

void ItemModelTable::checkAllOnline()
{
    const int rows = m_model.rowCount();
    for (int row = 0; row < rows; ++row) {
        if (m_model.item(row, DeviceTableModel::ColDevStatus)->data(Qt::DisplayRole).toInt() == 0) {
            m_model.item(row, DeviceTableModel::ColCheckbox)->setData(true, Qt::DisplayRole);
        }
    }
}

int ItemModelTable::checkType() const
{
    const int rows = m_model.rowCount();
    if (rows == 0) {
        return 1;
    }
    int checkedOnline = 0;
    int offline = 0;
    for (int row = 0; row < rows; ++row) {
        if (m_model.item(row, DeviceTableModel::ColDevStatus)->data(Qt::DisplayRole).toInt() != 0) {
            ++offline;
        } else if (m_model.item(row, DeviceTableModel::ColCheckbox)->data(Qt::DisplayRole).toBool()) {
            ++checkedOnline;
        }
    }
    if (checkedOnline == 0) {
        return 1;
    }
    return checkedOnline + offline == rows ? 3 : 2;
}

void ItemModelTable::uncheckAll()
{
    const int rows = m_model.rowCount();
    for (int row = 0; row < rows; ++row) {
        m_model.item(row, DeviceTableModel::ColCheckbox)->setData(false, Qt::DisplayRole);
    }
}

// ---- the floor ----

void FloorTable::append(const MacScanDeviceInfo &info)
{
    m_rows.emplace_back();
    FloorDevice &device = m_rows.back();
    updateFromMac(device, info);
    updateFromUdp(device, info);
    device.commMac = info.deviceCommMac();
}

void FloorTable::update(int row, const MacScanDeviceInfo &info, int mode)
{
    FloorDevice &device = m_rows[static_cast<size_t>(row)];
    if (mode == ZVR::MacScanReport) {
        updateFromMac(device, info);
    } else if (mode == ZVR::UdpReport) {
        updateFromUdp(device, info);
    }
}

namespace {

template<typename T> bool store(T &field, T &&value)
{
    if (field == value) {
        return false;
    }
    field = std::move(value);
    return true;
}

} // namespace

void FloorTable::updateFromMac(FloorDevice &device, const MacScanDeviceInfo &info)
{
    m_changes += store(device.devModel, info.deviceModel());
    m_changes += store(device.nodeType, info.nodeType());
    m_changes += store(device.serialNumber, info.deviceSN());
    // The record's own port merge, so that the floor stays below the record.
    takePorts(device.networkInfo, info.networkInfo());
    m_changes += store(device.malfunctionVal, info.malfunction());
    m_changes += store(device.devStatus, statusOf(info.isOffline(), device.malfunctionVal));
}

void FloorTable::updateFromUdp(FloorDevice &device, const MacScanDeviceInfo &info)
{
    m_changes += store(device.name, info.name());
    m_changes += store(device.subNodeType, info.subNodeType());
    m_changes += store(device.firmwareVer, info.firmwareVer());
    m_changes += store(device.runMode, info.runMode());
    m_changes += store(device.devTime, info.devTime());
    m_changes += store(device.callRollState, info.callRollState());
}

QVariant FloorTable::cell(int row, int role) const
{
    const FloorDevice &d = m_rows[static_cast<size_t>(row)];
    const auto port = [&d](int index) { return portAt(d.networkInfo, index); };
    switch (role - Qt::UserRole) {
    case DeviceTableModel::ColCheckbox:
        return d.checked;
    case DeviceTableModel::ColIndex:
        return row;
    case DeviceTableModel::ColName:
        return d.name;
    case DeviceTableModel::ColType:
        return nodeTypeText(d.nodeType);
    case DeviceTableModel::ColSubType:
        return subNodeTypeText(d.subNodeType);
    case DeviceTableModel::ColCompleteType:
        return completeTypeText(d.nodeType, d.subNodeType);
    case DeviceTableModel::ColModel:
        return d.devModel;
    case DeviceTableModel::ColDevStatus:
        return d.devStatus;
    case DeviceTableModel::ColDevStatusStr:
        return devStatusText(d.devStatus);
    case DeviceTableModel::ColMalfunction:
        return malfunctionText(d.malfunctionVal);
    case DeviceTableModel::ColIpState:
        return d.ipState;
    case DeviceTableModel::ColRunMode:
        return runModeText(d.runMode);
    case DeviceTableModel::ColFirmwareVer:
        return d.firmwareVer;
    case DeviceTableModel::ColDevTime:
        return d.devTime;
    case DeviceTableModel::ColCallRollState:
        return d.callRollState;
    case DeviceTableModel::ColSN:
        return d.serialNumber;
    case DeviceTableModel::ColMAC:
        return port(0) ? port(0)->mac : QString();
    case DeviceTableModel::ColIP:
        return port(0) ? port(0)->ip : QString();
    case DeviceTableModel::ColIP2:
        return port(1) ? port(1)->ip : QString();
    case DeviceTableModel::ColSubnetMask:
        return port(0) ? port(0)->subnetMask : QString();
    case DeviceTableModel::ColGateway:
        return port(0) ? port(0)->gateway : QString();
    case DeviceTableModel::ColOperate:
        return d.commMac;
    default:
        return QVariant();
    }
}

void FloorTable::checkAllOnline()
{
    for (FloorDevice &device : m_rows) {
        if (device.devStatus == 0) {
            device.checked = true;
        }
    }
}

int FloorTable::checkType() const
{
    if (m_rows.empty()) {
        return 1;
    }
    size_t checkedOnline = 0;
    size_t offline = 0;
    for (const FloorDevice &device : m_rows) {
        if (device.devStatus != 0) {
            ++offline;
        } else if (device.checked) {
            ++checkedOnline;
        }
    }
    if (checkedOnline == 0) {
        return 1;
    }
    return checkedOnline + offline == m_rows.size() ? 3 : 2;
}

void FloorTable::uncheckAll()
{
    for (FloorDevice &device : m_rows) {
        device.checked = false;
    }
}
