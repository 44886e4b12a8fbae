// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "settingresulttablemodel.h"

#include "columnroles_p.h"
#include "notifyingstore_p.h"

#include <QDebug>
#include <QMap>
#include <QVariant>

#include <utility>

using ZVR::Private::storeAndNotify;

class SettingResultTableModelPrivate
{
public:
    QMap<int, QString> columnRoles;
    QList<QSharedPointer<SettingResultData>> results;
    int totalNum = 0;
    int successNum = 0;
    int failureNum = 0;
    int ethernetPort = 0;
};

namespace {

// Columns that carry a role; the count marker has none.
constexpr int RoleColumnCount = SettingResultTableModel::ColumnTypeCNT;

} // namespace

SettingResultTableModel::SettingResultTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , d_ptr(std::make_unique<SettingResultTableModelPrivate>())
{
    Q_D(SettingResultTableModel);
    d->columnRoles = ZVR::Private::columnRoles(staticMetaObject, { "detail", "mac", "ip" });
}

SettingResultTableModel::~SettingResultTableModel() = default;

int SettingResultTableModel::rowCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return d_func()->results.size();
}

// The interface shows detail and mac; the ip column is reached through its role only.
int SettingResultTableModel::columnCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return 2;
}

// Every cell of a row hands out the row's record; the view picks the property by role.
QVariant SettingResultTableModel::data(const QModelIndex &index, int role) const
{
    Q_UNUSED(role)
    Q_D(const SettingResultTableModel);
    if (!index.isValid() || index.row() >= d->results.size()) {
        return QVariant();
    }
    SettingResultData *const record = d->results.at(index.row()).data();
    if (!record) {
        return QVariant();
    }
    return QVariant::fromValue(record);
}

QHash<int, QByteArray> SettingResultTableModel::roleNames() const
{
    Q_D(const SettingResultTableModel);
    QHash<int, QByteArray> names = QAbstractTableModel::roleNames();
    for (int column = 0; column < RoleColumnCount; ++column) {
        names.insert(Qt::UserRole + column, d->columnRoles.value(column).toLocal8Bit());
    }
    return names;
}

QString SettingResultTableModel::columnRole(int section) const
{
    Q_D(const SettingResultTableModel);
    QString name;
    if (section >= 0 && section < RoleColumnCount) {
        name = d->columnRoles.value(section);
    }
    qDebug() << "SettingResultTableModel::columnRole " << section << name;
    return name;
}

int SettingResultTableModel::totalNum() const
{
    return d_func()->totalNum;
}

void SettingResultTableModel::setTotalNum(int value)
{
    storeAndNotify(this, d_func()->totalNum, value, &SettingResultTableModel::totalNumChanged);
}

int SettingResultTableModel::successNum() const
{
    return d_func()->successNum;
}

void SettingResultTableModel::setSuccessNum(int value)
{
    storeAndNotify(this, d_func()->successNum, value, &SettingResultTableModel::successNumChanged);
}

int SettingResultTableModel::failureNum() const
{
    return d_func()->failureNum;
}

void SettingResultTableModel::setFailureNum(int value)
{
    storeAndNotify(this, d_func()->failureNum, value, &SettingResultTableModel::failureNumChanged);
}

int SettingResultTableModel::ethernetPort() const
{
    return d_func()->ethernetPort;
}

void SettingResultTableModel::setEthernetPort(int value)
{
    storeAndNotify(this, d_func()->ethernetPort, value, &SettingResultTableModel::ethernetPortChanged);
}

// The old rows go inside the reset, so a view never reads a record that is gone.
void SettingResultTableModel::resetResultList(QList<QSharedPointer<SettingResultData>> list)
{
    Q_D(SettingResultTableModel);
    beginResetModel();
    d->results.clear();
    d->results = std::move(list);
    endResetModel();
}
