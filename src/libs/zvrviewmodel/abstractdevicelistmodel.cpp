// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "abstractdevicelistmodel.h"

#include <QList>
#include <QPair>
#include <QVariant>

namespace ZVR {
namespace ViewModel {

AbstractDeviceListModel::AbstractDeviceListModel(QObject *parent)
    : ViewModelListModel(parent)
{
    const QList<QPair<int, QByteArray>> roles = {
        { TypeRole, QByteArrayLiteral("type") },
        { TypeNameRole, QByteArrayLiteral("typeName") },
        { NameRole, QByteArrayLiteral("name") },
        { IPRole, QByteArrayLiteral("ip") },
        { IsOnlineRole, QByteArrayLiteral("isOnline") },
        { IsActivedRole, QByteArrayLiteral("isActived") },
        { IsVisibleRole, QByteArrayLiteral("isVisible") },
    };
    QHash<int, QByteArray> names;
    names.reserve(roles.size());
    for (const auto &role : roles) {
        names.insert(role.first, role.second);
    }
    m_roleNames.swap(names);
}

AbstractDeviceListModel::~AbstractDeviceListModel() = default;

int AbstractDeviceListModel::rowCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return 0;
}

// One column per role number up to the end marker, so a row update covers every role.
int AbstractDeviceListModel::columnCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return DeviceRoleCount;
}

QVariant AbstractDeviceListModel::data(const QModelIndex &index, int role) const
{
    Q_UNUSED(index)
    Q_UNUSED(role)
    return QVariant();
}

// Only the device roles: the standard names are left out on purpose.
QHash<int, QByteArray> AbstractDeviceListModel::roleNames() const
{
    return m_roleNames;
}

} // namespace ViewModel
} // namespace ZVR
