// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_NODELISTMODEL_H
#define ZVR_DEVICEFINDER_NODELISTMODEL_H

#include <macscanbll/macscandeviceinfo.h>
#include <zvrviewmodel/abstractdevicelistmodel.h>

#include <QHash>
#include <QSet>
#include <QVector>

#include <functional>

class DeviceData;
class DeviceTableModel;

//! The run mode a device reported, as the back-end gave it.
using RunModeOf = std::function<DeviceRunMode(const DeviceData *)>;

//! A central controller, or the master or backup node: the nodes listed below.
bool isControlNode(const DeviceData *device, const RunModeOf &runModeOf);
//! The master or backup node: it refuses every change of its address.
bool keepsItsAddress(const DeviceData *device, const RunModeOf &runModeOf);

/*! \brief The control nodes of the device table: central controllers and the
 *  master and backup nodes, with the node that is in charge marked active.
 *
 *  Follows the table row range by row range: a change looks only at the rows or the
 *  record it concerns, never at the whole table.
 */
class NodeListModel : public ZVR::ViewModel::AbstractDeviceListModel
{
    Q_OBJECT

public:
    enum NodeRole {
        //! The record's DeviceData::DeviceStatus, as the table shows it.
        StatusRole = DeviceRoleCount,
        StatusTextRole,
    };
    Q_ENUM(NodeRole)

    NodeListModel(DeviceTableModel *table, RunModeOf runModeOf, QObject *parent = nullptr);
    ~NodeListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    //! Follows the table's rows and the listed devices' changes.
    void createConnects() override;

private:
    void addRows(int first, int last);
    void removeRows(int first, int last);
    void rebuild();
    void follow(DeviceData *device);
    void forget(DeviceData *device);
    //! Joins, leaves or refreshes the list after a change of \a device.
    void review(DeviceData *device);
    void join(DeviceData *device);
    void leave(DeviceData *device);
    //! Counts \a device among the online masters or not, after a change of it.
    void updateActive(DeviceData *device);
    bool isActive(const DeviceData *device) const;
    bool isMaster(const DeviceData *device) const;

    Q_DISABLE_COPY(NodeListModel)
    DeviceTableModel *const m_table;
    const RunModeOf m_runModeOf;
    QVector<DeviceData *> m_nodes;
    //! Every followed record, and its row in m_nodes: a change finds its row without a walk.
    QHash<DeviceData *, int> m_followed;
    static constexpr int NotListed = -1;
    QSet<const DeviceData *> m_onlineMasterSet;
};

#endif // ZVR_DEVICEFINDER_NODELISTMODEL_H
