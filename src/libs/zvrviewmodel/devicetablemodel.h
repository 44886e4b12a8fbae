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

    explicit DeviceTableModel(QObject *parent = nullptr);
    ~DeviceTableModel() override;

    Q_INVOKABLE int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE QString columnRole(int section) const;
    Q_INVOKABLE void editSignalDevice(int row);
    Q_INVOKABLE void checkDevice(int row, bool checked);

    bool appendDevice(QSharedPointer<DeviceData> device);
    bool removeDevice(QSharedPointer<DeviceData> device);
    void clear();
    void checkAllDevice();
    ZVRCheckBox::CheckType allCheckType();
    void setDeviceNetworkConfig(const QString &first, const QString &second, const QString &third,
                                const QString &fourth);
    void loadFromMemory();

Q_SIGNALS:
    void editDevice(QSharedPointer<DeviceData>);
    void deviceCheckChanged(QSharedPointer<DeviceData> device, bool checked);
    void rowCountChanged();

private:
    Q_DECLARE_PRIVATE(DeviceTableModel)
    Q_DISABLE_COPY(DeviceTableModel)
    std::unique_ptr<DeviceTableModelPrivate> const d_ptr;
};

#endif // ZVR_DEVICETABLEMODEL_H
