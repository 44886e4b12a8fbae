// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "nodelistmodel.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>

#include <utility>

bool isControlNode(const DeviceData *device, const RunModeOf &runModeOf)
{
    const DeviceRunMode mode = runModeOf(device);
    return device->getNodeType() == NodeCentralControl || mode == RunModeMaster || mode == RunModeBackup;
}

bool keepsItsAddress(const DeviceData *device, const RunModeOf &runModeOf)
{
    const DeviceRunMode mode = runModeOf(device);
    return mode == RunModeMaster || mode == RunModeBackup;
}

NodeListModel::NodeListModel(DeviceTableModel *table, RunModeOf runModeOf, QObject *parent)
    : AbstractDeviceListModel(parent)
    , m_table(table)
    , m_runModeOf(std::move(runModeOf))
{
    createConnects();
    rebuild();
}

NodeListModel::~NodeListModel() = default;

int NodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_nodes.size();
}

QVariant NodeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_nodes.size()) {
        return QVariant();
    }
    const DeviceData *device = m_nodes.at(index.row());
    switch (role) {
    case TypeRole:
        return int(device->getNodeType());
    case TypeNameRole:
        return device->completeType();
    case NameRole:
        return device->name();
    case IPRole:
        return device->ip();
    case IsOnlineRole:
        return device->online();
    case IsActivedRole:
        return isActive(device);
    case IsVisibleRole:
        return true;
    case StatusRole:
        return int(device->devStatus());
    case StatusTextRole:
        return device->devStatusStr();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> NodeListModel::roleNames() const
{
    QHash<int, QByteArray> names = AbstractDeviceListModel::roleNames();
    names.insert(StatusRole, QByteArrayLiteral("status"));
    names.insert(StatusTextRole, QByteArrayLiteral("statusText"));
    return names;
}

void NodeListModel::createConnects()
{
    connect(m_table, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex &, int first, int last) { addRows(first, last); });
    connect(m_table, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex &, int first, int last) { removeRows(first, last); });
    connect(m_table, &QAbstractItemModel::modelReset, this, &NodeListModel::rebuild);
}

void NodeListModel::addRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (DeviceData *device = ZVR::deviceAtRow(m_table, row)) {
            follow(device);
        }
    }
}

void NodeListModel::removeRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (DeviceData *device = ZVR::deviceAtRow(m_table, row)) {
            forget(device);
        }
    }
}

void NodeListModel::rebuild()
{
    for (auto it = m_followed.cbegin(); it != m_followed.cend(); ++it) {
        disconnect(it.key(), nullptr, this, nullptr);
    }
    beginResetModel();
    m_followed.clear();
    m_nodes.clear();
    m_onlineMasterSet.clear();
    endResetModel();
    addRows(0, m_table->rowCount() - 1);
}

void NodeListModel::follow(DeviceData *device)
{
    if (m_followed.contains(device)) {
        return;
    }
    m_followed.insert(device, NotListed);
    const auto changed = [this, device] { review(device); };
    connect(device, &DeviceData::nodeTypeChanged, this, changed);
    connect(device, &DeviceData::runModeChanged, this, changed);
    // A record of the table that is destroyed has left the table already; this is a guard.
    connect(device, &QObject::destroyed, this, [this, device] { forget(device); });
    review(device);
}

void NodeListModel::forget(DeviceData *device)
{
    const auto it = m_followed.find(device);
    if (it == m_followed.end()) {
        return;
    }
    if (it.value() != NotListed) {
        leave(device);
    }
    m_followed.erase(m_followed.find(device));
    disconnect(device, nullptr, this, nullptr);
}

void NodeListModel::review(DeviceData *device)
{
    const auto it = m_followed.find(device);
    if (it == m_followed.end()) {
        return;
    }
    const bool listed = it.value() != NotListed;
    if (isControlNode(device, m_runModeOf) != listed) {
        if (listed) {
            leave(device);
        } else {
            join(device);
        }
    } else if (listed) {
        updateRowData(it.value());
    }
    updateActive(device);
}

void NodeListModel::join(DeviceData *device)
{
    m_followed[device] = m_nodes.size();
    const auto changed = [this, device] {
        updateRowData(m_followed.value(device));
        updateActive(device);
    };
    connect(device, &DeviceData::nameChanged, this, changed);
    connect(device, &DeviceData::ipChanged, this, changed);
    connect(device, &DeviceData::completeTypeChanged, this, changed);
    connect(device, &DeviceData::devStatusChanged, this, changed);
    beginInsertRows(QModelIndex(), m_nodes.size(), m_nodes.size());
    m_nodes.append(device);
    endInsertRows();
}

void NodeListModel::leave(DeviceData *device)
{
    const int row = std::exchange(m_followed[device], NotListed);
    disconnect(device, &DeviceData::nameChanged, this, nullptr);
    disconnect(device, &DeviceData::ipChanged, this, nullptr);
    disconnect(device, &DeviceData::completeTypeChanged, this, nullptr);
    disconnect(device, &DeviceData::devStatusChanged, this, nullptr);
    beginRemoveRows(QModelIndex(), row, row);
    m_nodes.remove(row);
    for (int later = row; later < m_nodes.size(); ++later) {
        m_followed[m_nodes.at(later)] = later;
    }
    endRemoveRows();
    updateActive(device);
}

void NodeListModel::updateActive(DeviceData *device)
{
    // Whether a master is online decides whether the backups are in charge.
    const bool onlineMaster
        = m_followed.value(device, NotListed) != NotListed && isMaster(device) && device->online();
    const bool counted = m_onlineMasterSet.contains(device);
    if (onlineMaster == counted) {
        return;
    }
    const bool before = m_onlineMasterSet.isEmpty();
    if (onlineMaster) {
        m_onlineMasterSet.insert(device);
    } else {
        m_onlineMasterSet.remove(device);
    }
    if (before != m_onlineMasterSet.isEmpty() && !m_nodes.isEmpty()) {
        updateRowData(0, m_nodes.size() - 1);
    }
}

bool NodeListModel::isActive(const DeviceData *device) const
{
    if (!device->online()) {
        return false;
    }
    if (isMaster(device)) {
        return true;
    }
    // The backup takes charge while no master is online.
    return m_runModeOf(device) == RunModeBackup && m_onlineMasterSet.isEmpty();
}

bool NodeListModel::isMaster(const DeviceData *device) const
{
    return m_runModeOf(device) == RunModeMaster;
}
