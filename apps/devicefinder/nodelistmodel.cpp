// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "nodelistmodel.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>

namespace {

// The record shows its run mode only as text, so the node roles are told apart by it.
bool isMaster(const DeviceData *device)
{
    return device->runMode() == QObject::tr("主节点");
}

bool isBackup(const DeviceData *device)
{
    return device->runMode() == QObject::tr("备节点");
}

bool isNode(const DeviceData *device)
{
    return device->getNodeType() == NodeCentralControl || isMaster(device) || isBackup(device);
}

} // namespace

NodeListModel::NodeListModel(DeviceTableModel *table, QObject *parent)
    : AbstractDeviceListModel(parent)
    , m_table(table)
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
    if (!index.isValid() || index.row() >= m_nodes.size() || !m_nodes.at(index.row())) {
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
    default:
        return QVariant();
    }
}

void NodeListModel::createConnects()
{
    connect(m_table, &QAbstractItemModel::rowsInserted, this, &NodeListModel::rebuild);
    connect(m_table, &QAbstractItemModel::rowsRemoved, this, &NodeListModel::rebuild);
    connect(m_table, &QAbstractItemModel::modelReset, this, &NodeListModel::rebuild);
}

void NodeListModel::rebuild()
{
    QVector<QPointer<DeviceData>> nodes;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        DeviceData *device = ZVR::deviceAtRow(m_table, row);
        if (device && isNode(device)) {
            nodes << device;
        }
    }
    if (nodes == m_nodes) {
        return;
    }
    for (const QPointer<DeviceData> &device : qAsConst(m_nodes)) {
        if (device) {
            disconnect(device, nullptr, this, nullptr);
        }
    }
    m_nodes = nodes;
    for (const QPointer<DeviceData> &device : qAsConst(m_nodes)) {
        watch(device);
    }
    reload();
}

void NodeListModel::watch(DeviceData *device)
{
    const auto rowChanged = [this, device] {
        const int row = m_nodes.indexOf(device);
        updateRowData(row);
    };
    connect(device, &DeviceData::nameChanged, this, rowChanged);
    connect(device, &DeviceData::ipChanged, this, rowChanged);
    connect(device, &DeviceData::completeTypeChanged, this, rowChanged);
    // Whether the master is online decides which node is active: every row may change.
    const auto allChanged = [this] { updateRowData(0, m_nodes.size() - 1); };
    connect(device, &DeviceData::devStatusChanged, this, allChanged);
    connect(device, &DeviceData::runModeChanged, this, allChanged);
}

bool NodeListModel::isActive(const DeviceData *device) const
{
    if (!device->online()) {
        return false;
    }
    if (isMaster(device)) {
        return true;
    }
    if (!isBackup(device)) {
        return false;
    }
    // The backup takes charge while no master is online.
    for (const QPointer<DeviceData> &node : m_nodes) {
        if (node && isMaster(node) && node->online()) {
            return false;
        }
    }
    return true;
}
