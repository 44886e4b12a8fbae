// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_ABSTRACTDEVICELISTMODEL_H
#define ZVR_ABSTRACTDEVICELISTMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <zvrviewmodel/viewmodellistmodel.h>

#include <QByteArray>
#include <QHash>

namespace ZVR {
namespace ViewModel {

//! \brief Abstract base of device lists, with their fixed roles and role names.
class ZVRVIEWMODEL_EXPORT AbstractDeviceListModel : public ViewModelListModel
{
    Q_OBJECT

public:
    //! The roles every device list serves, with their fixed role names.
    enum DeviceRole {
        TypeRole = Qt::UserRole,
        TypeNameRole,
        NameRole,
        IPRole,
        IsOnlineRole,
        IsActivedRole,
        IsVisibleRole,
        DeviceRoleCount,
    };
    Q_ENUM(DeviceRole)

    //! A list with the role names set and no rows.
    explicit AbstractDeviceListModel(QObject *parent = nullptr);
    ~AbstractDeviceListModel() override;

    //!@{
    //! The QAbstractItemModel interface: no rows and no data here (a subclass gives
    //! both), one column per role, the fixed role names.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    //!@}

private:
    Q_DISABLE_COPY(AbstractDeviceListModel)
    QHash<int, QByteArray> m_roleNames;
};

} // namespace ViewModel
} // namespace ZVR

#endif // ZVR_ABSTRACTDEVICELISTMODEL_H
