// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_NODELISTMODEL_H
#define ZVR_DEVICEFINDER_NODELISTMODEL_H

#include <zvrviewmodel/abstractdevicelistmodel.h>

#include <QPointer>
#include <QVector>

class DeviceData;
class DeviceTableModel;

/*! \brief The control nodes of the device table: central controllers and the
 *  master and backup nodes, with the node that is in charge marked active.
 */
class NodeListModel : public ZVR::ViewModel::AbstractDeviceListModel
{
    Q_OBJECT

public:
    explicit NodeListModel(DeviceTableModel *table, QObject *parent = nullptr);
    ~NodeListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    //! Follows the table's rows and the listed devices' changes.
    void createConnects() override;

private:
    void rebuild();
    void watch(DeviceData *device);
    bool isActive(const DeviceData *device) const;

    Q_DISABLE_COPY(NodeListModel)
    DeviceTableModel *const m_table;
    QVector<QPointer<DeviceData>> m_nodes;
};

#endif // ZVR_DEVICEFINDER_NODELISTMODEL_H
