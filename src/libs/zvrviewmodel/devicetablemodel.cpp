// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicetablemodel.h"

#include "columntable_p.h"
#include "devicepointerset_p.h"

#include <macscanbll/macscan.h>

#include <QDebug>
#include <QHash>
#include <QLoggingCategory>
#include <QMap>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

class DeviceTableModelPrivate
{
public:
    // A vector holds the handles in place; a QList would allocate one node per row. Never a
    // null handle: appendDevice refuses one.
    QVector<QSharedPointer<DeviceData>> devices;

    ZVR::Private::DevicePointerSet deviceSet;
    // roleNames() never changes after construction, so it is built once.
    QHash<int, QByteArray> roleNames;
};

namespace {

// The last column has a role but lies outside columnCount().
constexpr int VisibleColumnCount = DeviceTableModel::ColumnTypeCNT - 1;
constexpr int LastRoleColumn = DeviceTableModel::ColOperate;

} // namespace

DeviceTableModel::DeviceTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , d_ptr(std::make_unique<DeviceTableModelPrivate>())
{
    Q_D(DeviceTableModel);
    d->roleNames = QAbstractTableModel::roleNames();
    for (int column = 0; column <= LastRoleColumn; ++column) {
        d->roleNames.insert(Qt::UserRole + column, QByteArray(ZVR::Private::field(column).role));
    }
}

DeviceTableModel::~DeviceTableModel() = default;

int DeviceTableModel::rowCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return d_func()->devices.size();
}

int DeviceTableModel::columnCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return VisibleColumnCount;
}

// Every role but the row number hands out the device itself; the view reads its properties.
QVariant DeviceTableModel::data(const QModelIndex &index, int role) const
{
    Q_D(const DeviceTableModel);
    if (!index.isValid()) {
        return QVariant();
    }
    const int row = index.row();
    if (row >= d->devices.size()) {
        return QVariant();
    }
    DeviceData *const device = d->devices.at(row).data();
    if (!device) {
        return QVariant();
    }
    if (role == Qt::UserRole + ColIndex) {
        // The description is costly; build it only when the line is written.
        const QLoggingCategory *const category = QLoggingCategory::defaultCategory();
        if (!category || category->isDebugEnabled()) {
            qDebug() << "DeviceTableModel::data pDevice info" << device->toString();
        }
        return QVariant(row);
    }
    return QVariant::fromValue(device);
}

QHash<int, QByteArray> DeviceTableModel::roleNames() const
{
    return d_func()->roleNames;
}

QString DeviceTableModel::columnRole(int section) const
{
    if (section < 0 || section > LastRoleColumn) {
        return QString();
    }
    return QString::fromLatin1(ZVR::Private::field(section).role);
}

void DeviceTableModel::editSignalDevice(int row)
{
    Q_D(DeviceTableModel);
    if (row < 0 || row >= d->devices.size()) {
        qWarning() << "editDevice error! the row is " << row;
        return;
    }
    // Our own handle keeps the device alive even if a receiver removes the row.
    const QSharedPointer<DeviceData> device = d->devices.at(row);
    Q_EMIT editDevice(device);
}

void DeviceTableModel::checkDevice(int row, bool checked)
{
    Q_D(DeviceTableModel);
    if (row < 0 || row >= d->devices.size()) {
        qWarning() << "checkDevice error! the row is " << row;
        return;
    }
    const QSharedPointer<DeviceData> device = d->devices.at(row);
    if (!device) {
        qWarning() << "checkDevice error! the device is null";
        return;
    }
    device->setChecked(checked);
    Q_EMIT deviceCheckChanged(device, checked);
}

bool DeviceTableModel::appendDevice(QSharedPointer<DeviceData> device)
{
    Q_D(DeviceTableModel);
    if (!device) {
        qWarning() << "DeviceTableModel::appendDevice refused a null device";
        return false;
    }
    if (d->deviceSet.contains(device.data())) {
        qInfo() << "DeviceTableModel::appendDevice device has exist in display list, dev info "
                << device->toString();
        return false;
    }
    const int row = rowCount(QModelIndex());
    beginInsertRows(QModelIndex(), row, row);
    d->deviceSet.insert(device.data());
    // The handle came by value: hand it on rather than count one more reference.
    d->devices.append(std::move(device));
    endInsertRows();
    Q_EMIT rowCountChanged();
    return true;
}

bool DeviceTableModel::removeDevice(QSharedPointer<DeviceData> device)
{
    Q_D(DeviceTableModel);
    if (!device) {
        qWarning() << "DeviceTableModel::removeDevice refused a null device";
        return false;
    }
    const DeviceData *const target = device.data();
    const auto isTarget
        = [target](const QSharedPointer<DeviceData> &entry) { return entry.data() == target; };
    // The set answers for a device that is not here without a walk through the rows.
    const auto end = d->devices.cend();
    const auto it = d->deviceSet.contains(target) ? std::find_if(d->devices.cbegin(), end, isTarget) : end;
    if (it == end) {
        qInfo() << "DeviceTableModel::removeDevice not find match device, dev info " << device->toString();
        return false;
    }
    const int row = static_cast<int>(std::distance(d->devices.cbegin(), it));
    beginRemoveRows(QModelIndex(), row, row);
    d->deviceSet.remove(target);
    d->devices.removeAt(row);
    endRemoveRows();
    Q_EMIT rowCountChanged();
    return true;
}

void DeviceTableModel::clear()
{
    Q_D(DeviceTableModel);
    qInfo() << "DeviceTableModel::clear";
    beginResetModel();
    {
        // Released here, before the reset ends; a device's destruction may call back into us.
        const QVector<QSharedPointer<DeviceData>> released = std::exchange(d->devices, {});
        d->deviceSet.clear();
    }
    endResetModel();
    Q_EMIT rowCountChanged();
}

// Only ever checks, and only online devices; offline rows keep their state.
void DeviceTableModel::checkAllDevice()
{
    Q_D(DeviceTableModel);
    qInfo() << "DeviceTableModel::checkAllDevice";
    // A receiver of checkedChanged may change the table while we walk it.
    const QVector<QSharedPointer<DeviceData>> devices = d->devices;
    for (const QSharedPointer<DeviceData> &device : devices) {
        if (device->online()) {
            device->setChecked(true);
        }
    }
}

// All means every online device is checked; offline rows never keep the box from All.
ZVRCheckBox::CheckType DeviceTableModel::allCheckType()
{
    Q_D(DeviceTableModel);
    const QVector<QSharedPointer<DeviceData>> &devices = d->devices;
    if (devices.isEmpty()) {
        return ZVRCheckBox::None;
    }
    int checkedOnline = 0;
    int offline = 0;
    for (const QSharedPointer<DeviceData> &device : devices) {
        if (!device->online()) {
            ++offline;
        } else if (device->checked()) {
            ++checkedOnline;
        }
    }
    if (checkedOnline == 0) {
        return ZVRCheckBox::None;
    }
    if (checkedOnline + offline == devices.size()) {
        return ZVRCheckBox::All;
    }
    return ZVRCheckBox::Some;
}

void DeviceTableModel::setDeviceNetworkConfig(
    const QString &first, const QString &second, const QString &third, const QString &fourth)
{
    ZVR::BLL::MacScan::getInstance()->setDeviceNetworkInfo(first, second, third, fourth);
}

void DeviceTableModel::loadFromMemory() { }
