// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICETABLEMODEL_H
#define ZVR_DEVICETABLEMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/zvrenums.h>

#include <QAbstractTableModel>
#include <QSharedPointer>

#include <memory>

class DeviceTableModelPrivate;

/*! \brief The table of found devices.
 *
 *  Every cell but the row number hands out the row's DeviceData itself; the column's
 *  role name is the property the view reads, and the record's own signals keep the
 *  view current (the model never emits dataChanged).
 */
class ZVRVIEWMODEL_EXPORT DeviceTableModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(int rowCount READ rowCount NOTIFY rowCountChanged)

public:
    //! The table's columns, in order; columnRole() names the property each one shows.
    enum ColumnType {
        ColCheckbox = 0,
        ColIndex,
        ColName,
        ColType,
        ColSubType,
        ColCompleteType,
        ColModel,
        ColDevStatus,
        ColDevStatusStr,
        ColMalfunction,
        ColIpState,
        ColRunMode,
        ColFirmwareVer,
        ColDevTime,
        ColCallRollState,
        ColSN,
        ColMAC,
        ColIP,
        ColIP2,
        ColSubnetMask,
        ColGateway,
        ColOperate,
        ColumnTypeCNT,
    };
    Q_ENUM(ColumnType)

    //! An empty table.
    explicit DeviceTableModel(QObject *parent = nullptr);
    ~DeviceTableModel() override;

    //!@{
    //! The QAbstractItemModel interface: one row per device; data() gives the row
    //! number for ColIndex and the row's DeviceData for every other column.
    Q_INVOKABLE int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    //!@}

    //! The role name (the DeviceData property) of a column, empty outside the columns.
    Q_INVOKABLE QString columnRole(int section) const;
    //! Emits editDevice() with the device of \a row; a row outside the table is logged.
    Q_INVOKABLE void editSignalDevice(int row);
    //! Sets the check of the device of \a row and emits deviceCheckChanged().
    Q_INVOKABLE void checkDevice(int row, bool checked);

    //! Adds a device as the last row; false (and a log line) for null or a device
    //! already in the table.
    bool appendDevice(QSharedPointer<DeviceData> device);
    //! Removes a device's row; false (and a log line) for null or a device not in the table.
    bool removeDevice(QSharedPointer<DeviceData> device);
    //! Removes every row under a model reset.
    void clear();
    //! Checks every online device; offline ones keep their state. No model signal.
    void checkAllDevice();
    //! The header check box's state: none, some or all of the online devices checked.
    ZVRCheckBox::CheckType allCheckType();
    //! Hands the four texts of a network change to the back-end, unchanged and in order.
    void setDeviceNetworkConfig(const QString &first, const QString &second, const QString &third,
                                const QString &fourth);
    //! Has no effect; kept for hosts that call it.
    void loadFromMemory();

Q_SIGNALS:
    //! The device the user asked to edit, for the tool's editor.
    void editDevice(QSharedPointer<DeviceData>);
    //! A row's check changed through checkDevice().
    void deviceCheckChanged(QSharedPointer<DeviceData> device, bool checked);
    //! Emitted after rows were added or removed.
    void rowCountChanged();

private:
    Q_DECLARE_PRIVATE(DeviceTableModel)
    Q_DISABLE_COPY(DeviceTableModel)
    std::unique_ptr<DeviceTableModelPrivate> const d_ptr;
};

#endif // ZVR_DEVICETABLEMODEL_H
