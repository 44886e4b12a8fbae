// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicesortfilterproxymodel.h"

#include "devicedata.h"
#include "devicerow.h"
#include "devicetablemodel.h"
#include "ipaddresshelper.h"

#include <QCollator>
#include <QDebug>
#include <QHash>
#include <QLocale>
#include <QMetaProperty>
#include <QPointer>
#include <QStringList>
#include <QVector>

namespace {

// The change signals the proxy watches, with the role that names the property.
struct WatchedSignal
{
    void (DeviceData::*signal)();
    const char *role;
};

const WatchedSignal watchedSignals[] = {
    { &DeviceData::checkedChanged, "checked" },
    { &DeviceData::devModelChanged, "devModel" },
    { &DeviceData::nodeTypeChanged, "nodeType" },
    { &DeviceData::ipStateChanged, "ipState" },
    { &DeviceData::serialNumberChanged, "serialNumber" },
    { &DeviceData::macChanged, "mac" },
    { &DeviceData::ipChanged, "ip" },
    { &DeviceData::subnetMaskChanged, "subnetMask" },
    { &DeviceData::gatewayChanged, "gateway" },
    { &DeviceData::mac2Changed, "mac2" },
    { &DeviceData::ip2Changed, "ip2" },
    { &DeviceData::nameChanged, "name" },
    { &DeviceData::firmwareVerChanged, "firmwareVer" },
    { &DeviceData::devTimeChanged, "devTime" },
    { &DeviceData::callRollStateChanged, "callRollState" },
    { &DeviceData::subNodeTypeChanged, "subNodeType" },
    { &DeviceData::runModeChanged, "runMode" },
    { &DeviceData::completeTypeChanged, "completeType" },
    { &DeviceData::devStatusChanged, "devStatus" },
    { &DeviceData::devStatusStrChanged, "devStatusStr" },
    { &DeviceData::malfunctionChanged, "malfunction" },
};

// The properties the search text is matched against.
bool isSearchedRole(const QByteArray &role)
{
    return role == "name" || role == "ip" || role == "ip2" || role == "mac" || role == "mac2"
        || role == "serialNumber";
}

// Dotted address text as a number for ordering; -1 for anything that is not one.
qint64 addressOrder(const QString &text)
{
    quint32 value = 0;
    return parseIPv4(text, &value) ? qint64(value) : -1;
}

// -1, 0 or 1 as a is ordered before, with or after b.
template<typename T> int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

class DeviceSortFilterProxyModelPrivate
{
public:
    explicit DeviceSortFilterProxyModelPrivate(DeviceSortFilterProxyModel *q)
        : q_ptr(q)
    {
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

    DeviceData *deviceAtSourceRow(int row) const;
    void watch(DeviceData *device);
    void unwatch(DeviceData *device);
    void watchRows(int first, int last);
    void unwatchRows(int first, int last);
    void unwatchAll();
    void deviceChanged(const char *role);
    void schedule(bool sort, bool filter);
    void applyPending();
    void updateSortRole();
    void updateCount();
    int compare(DeviceData *left, DeviceData *right, int leftRow, int rightRow) const;

    DeviceSortFilterProxyModel *const q_ptr;
    Q_DECLARE_PUBLIC(DeviceSortFilterProxyModel)

    int statusFilter = DeviceSortFilterProxyModel::AllStatus;
    QString searchText;
    int sortSection = -1;
    int sortMode = ZVRSortButton::None;
    QByteArray sortRole;
    int sortPropertyIndex = -1;
    int count = 0;
    bool sortPending = false;
    bool filterPending = false;
    bool queued = false;
    QCollator collator { QLocale(QLocale::Chinese, QLocale::China) };
    QVector<QMetaObject::Connection> sourceConnections;
    QHash<DeviceData *, QPointer<DeviceData>> watched;
};

DeviceData *DeviceSortFilterProxyModelPrivate::deviceAtSourceRow(int row) const
{
    Q_Q(const DeviceSortFilterProxyModel);
    return ZVR::deviceAtRow(q->sourceModel(), row);
}

void DeviceSortFilterProxyModelPrivate::watch(DeviceData *device)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!device || watched.contains(device)) {
        return;
    }
    watched.insert(device, device);
    for (const WatchedSignal &watchedSignal : watchedSignals) {
        const char *role = watchedSignal.role;
        QObject::connect(device, watchedSignal.signal, q, [this, role] { deviceChanged(role); });
    }
}

void DeviceSortFilterProxyModelPrivate::unwatch(DeviceData *device)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!device || !watched.contains(device)) {
        return;
    }
    watched.remove(device);
    QObject::disconnect(device, nullptr, q, nullptr);
}

void DeviceSortFilterProxyModelPrivate::watchRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        watch(deviceAtSourceRow(row));
    }
}

void DeviceSortFilterProxyModelPrivate::unwatchRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        unwatch(deviceAtSourceRow(row));
    }
}

void DeviceSortFilterProxyModelPrivate::unwatchAll()
{
    Q_Q(DeviceSortFilterProxyModel);
    for (const QPointer<DeviceData> &device : qAsConst(watched)) {
        if (device) {
            QObject::disconnect(device.data(), nullptr, q, nullptr);
        }
    }
    watched.clear();
}

void DeviceSortFilterProxyModelPrivate::deviceChanged(const char *role)
{
    const QByteArray name = QByteArray::fromRawData(role, int(qstrlen(role)));
    const bool sort = sortSection >= 0 && name == sortRole;
    const bool filter = (statusFilter != DeviceSortFilterProxyModel::AllStatus && name == "devStatus")
        || (!searchText.isEmpty() && isSearchedRole(name));
    if (sort || filter) {
        schedule(sort, filter);
    }
}

void DeviceSortFilterProxyModelPrivate::schedule(bool sort, bool filter)
{
    Q_Q(DeviceSortFilterProxyModel);
    sortPending = sortPending || sort;
    filterPending = filterPending || filter;
    if (queued) {
        return;
    }
    queued = true;
    QMetaObject::invokeMethod(
        q, [this] { applyPending(); }, Qt::QueuedConnection);
}

void DeviceSortFilterProxyModelPrivate::applyPending()
{
    Q_Q(DeviceSortFilterProxyModel);
    queued = false;
    const bool sort = sortPending;
    const bool filter = filterPending;
    sortPending = false;
    filterPending = false;
    if (sort) {
        // A full invalidation sorts and filters afresh.
        q->invalidate();
    } else if (filter) {
        q->invalidateFilter();
    }
}

void DeviceSortFilterProxyModelPrivate::updateSortRole()
{
    Q_Q(DeviceSortFilterProxyModel);
    sortRole.clear();
    sortPropertyIndex = -1;
    if (sortSection < 0 || !q->sourceModel()) {
        return;
    }
    sortRole = q->sourceModel()->roleNames().value(Qt::UserRole + sortSection);
    sortPropertyIndex = DeviceData::staticMetaObject.indexOfProperty(sortRole.constData());
}

void DeviceSortFilterProxyModelPrivate::updateCount()
{
    Q_Q(DeviceSortFilterProxyModel);
    const int rows = q->rowCount();
    if (rows == count) {
        return;
    }
    count = rows;
    Q_EMIT q->countChanged();
}

int DeviceSortFilterProxyModelPrivate::compare(
    DeviceData *left, DeviceData *right, int leftRow, int rightRow) const
{
    if (sortRole == "devIndex") {
        return compareValues(leftRow, rightRow);
    }
    if (sortRole == "ip") {
        return compareValues(left->networkIpInt(0), right->networkIpInt(0));
    }
    if (sortRole == "ip2") {
        return compareValues(left->networkIpInt(1), right->networkIpInt(1));
    }
    if (sortRole == "mac" || sortRole == "mac2") {
        // Hexadecimal digits: plain text order, not the collator's numbers.
        const QString a = sortRole == "mac" ? left->mac() : left->mac2();
        const QString b = sortRole == "mac" ? right->mac() : right->mac2();
        return a.compare(b, Qt::CaseInsensitive);
    }
    if (sortRole == "subnetMask") {
        return compareValues(addressOrder(left->subnetMask()), addressOrder(right->subnetMask()));
    }
    if (sortRole == "gateway") {
        return compareValues(addressOrder(left->gateway()), addressOrder(right->gateway()));
    }
    if (sortPropertyIndex < 0) {
        return 0;
    }
    const QMetaProperty property = DeviceData::staticMetaObject.property(sortPropertyIndex);
    const QVariant a = property.read(left);
    const QVariant b = property.read(right);
    if (property.isEnumType()) {
        return compareValues(a.toInt(), b.toInt());
    }
    switch (property.userType()) {
    case QMetaType::Bool:
        return compareValues(a.toBool(), b.toBool());
    case QMetaType::Int:
        return compareValues(a.toInt(), b.toInt());
    case QMetaType::QString:
        return collator.compare(a.toString(), b.toString());
    default:
        return 0;
    }
}

DeviceSortFilterProxyModel::DeviceSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , d_ptr(std::make_unique<DeviceSortFilterProxyModelPrivate>(this))
{
    Q_D(DeviceSortFilterProxyModel);
    setDynamicSortFilter(true);
    connect(this, &QAbstractItemModel::rowsInserted, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::rowsRemoved, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::modelReset, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::layoutChanged, this, [d] { d->updateCount(); });
}

DeviceSortFilterProxyModel::~DeviceSortFilterProxyModel()
{
    Q_D(DeviceSortFilterProxyModel);
    for (const QMetaObject::Connection &connection : qAsConst(d->sourceConnections)) {
        disconnect(connection);
    }
    d->unwatchAll();
}

void DeviceSortFilterProxyModel::setSourceModel(QAbstractItemModel *model)
{
    Q_D(DeviceSortFilterProxyModel);
    if (model == sourceModel()) {
        return;
    }
    for (const QMetaObject::Connection &connection : qAsConst(d->sourceConnections)) {
        disconnect(connection);
    }
    d->sourceConnections.clear();
    d->unwatchAll();

    QSortFilterProxyModel::setSourceModel(model);
    d->updateSortRole();
    if (model) {
        d->sourceConnections = {
            connect(model, &QAbstractItemModel::rowsInserted, this,
                [d](const QModelIndex &parent, int first, int last) {
                    if (!parent.isValid()) {
                        d->watchRows(first, last);
                    }
                }),
            connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [d](const QModelIndex &parent, int first, int last) {
                    if (!parent.isValid()) {
                        d->unwatchRows(first, last);
                    }
                }),
            connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [d] { d->unwatchAll(); }),
            connect(model, &QAbstractItemModel::modelReset, this,
                [d, model] { d->watchRows(0, model->rowCount() - 1); }),
            // The base forgets the source first; its rows can no longer be read here.
            connect(model, &QObject::destroyed, this,
                [d] {
                    d->unwatchAll();
                    d->updateCount();
                }),
        };
        d->watchRows(0, model->rowCount() - 1);
    }
    d->updateCount();
}

int DeviceSortFilterProxyModel::statusFilter() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->statusFilter;
}

void DeviceSortFilterProxyModel::setStatusFilter(int status)
{
    Q_D(DeviceSortFilterProxyModel);
    if (d->statusFilter == status) {
        return;
    }
    d->statusFilter = status;
    invalidateFilter();
    Q_EMIT statusFilterChanged();
}

QString DeviceSortFilterProxyModel::searchText() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->searchText;
}

void DeviceSortFilterProxyModel::setSearchText(const QString &text)
{
    Q_D(DeviceSortFilterProxyModel);
    const QString trimmed = text.trimmed();
    if (d->searchText == trimmed) {
        return;
    }
    d->searchText = trimmed;
    invalidateFilter();
    Q_EMIT searchTextChanged();
}

int DeviceSortFilterProxyModel::sortSection() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->sortSection;
}

int DeviceSortFilterProxyModel::sortMode() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->sortMode;
}

void DeviceSortFilterProxyModel::sortByColumn(int section, int mode)
{
    Q_D(DeviceSortFilterProxyModel);
    const bool sorted = (mode == ZVRSortButton::Ascend || mode == ZVRSortButton::Descend) && section >= 0
        && section < columnCount();
    const int newSection = sorted ? section : -1;
    const int newMode = sorted ? mode : int(ZVRSortButton::None);
    if (newSection == d->sortSection && newMode == d->sortMode) {
        return;
    }
    d->sortSection = newSection;
    d->sortMode = newMode;
    d->updateSortRole();
    sort(newSection, newMode == ZVRSortButton::Descend ? Qt::DescendingOrder : Qt::AscendingOrder);
    Q_EMIT sortChanged();
}

int DeviceSortFilterProxyModel::count() const
{
    return rowCount();
}

DeviceData *DeviceSortFilterProxyModel::device(int proxyRow) const
{
    Q_D(const DeviceSortFilterProxyModel);
    const int row = sourceRow(proxyRow);
    return row < 0 ? nullptr : d->deviceAtSourceRow(row);
}

int DeviceSortFilterProxyModel::sourceRow(int proxyRow) const
{
    const QModelIndex proxyIndex = index(proxyRow, 0);
    return proxyIndex.isValid() ? mapToSource(proxyIndex).row() : -1;
}

int DeviceSortFilterProxyModel::proxyRow(int sourceRow) const
{
    const QAbstractItemModel *source = sourceModel();
    if (!source) {
        return -1;
    }
    const QModelIndex sourceIndex = source->index(sourceRow, 0);
    return sourceIndex.isValid() ? mapFromSource(sourceIndex).row() : -1;
}

QString DeviceSortFilterProxyModel::columnRole(int section) const
{
    if (!sourceModel() || section < 0 || section >= columnCount()) {
        return QString();
    }
    return QString::fromLatin1(sourceModel()->roleNames().value(Qt::UserRole + section));
}

void DeviceSortFilterProxyModel::checkDevice(int proxyRow, bool checked)
{
    auto *table = qobject_cast<DeviceTableModel *>(sourceModel());
    if (!table) {
        qWarning() << "DeviceSortFilterProxyModel::checkDevice error! no device table";
        return;
    }
    const int row = sourceRow(proxyRow);
    if (row < 0) {
        qWarning() << "DeviceSortFilterProxyModel::checkDevice error! the row is " << proxyRow;
        return;
    }
    table->checkDevice(row, checked);
}

void DeviceSortFilterProxyModel::editSignalDevice(int proxyRow)
{
    auto *table = qobject_cast<DeviceTableModel *>(sourceModel());
    if (!table) {
        qWarning() << "DeviceSortFilterProxyModel::editSignalDevice error! no device table";
        return;
    }
    const int row = sourceRow(proxyRow);
    if (row < 0) {
        qWarning() << "DeviceSortFilterProxyModel::editSignalDevice error! the row is " << proxyRow;
        return;
    }
    table->editSignalDevice(row);
}

void DeviceSortFilterProxyModel::refresh()
{
    Q_D(DeviceSortFilterProxyModel);
    d->applyPending();
}

bool DeviceSortFilterProxyModel::isRefreshPending() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->sortPending || d->filterPending;
}

bool DeviceSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (sourceParent.isValid()) {
        return false;
    }
    const bool filtering = d->statusFilter != AllStatus || !d->searchText.isEmpty();
    if (!filtering) {
        return true;
    }
    const DeviceData *device = d->deviceAtSourceRow(sourceRow);
    if (!device) {
        return false;
    }
    if (d->statusFilter != AllStatus && int(device->devStatus()) != d->statusFilter) {
        return false;
    }
    if (d->searchText.isEmpty()) {
        return true;
    }
    const QString texts[] = { device->name(), device->ip(), device->ip2(), device->mac(), device->mac2(),
        device->serialNumber() };
    for (const QString &text : texts) {
        if (text.contains(d->searchText, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

bool DeviceSortFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    Q_D(const DeviceSortFilterProxyModel);
    DeviceData *leftDevice = d->deviceAtSourceRow(left.row());
    DeviceData *rightDevice = d->deviceAtSourceRow(right.row());
    // Rows without a device go after every device, in the table's order.
    if (!leftDevice || !rightDevice) {
        return leftDevice && !rightDevice;
    }
    const int order = d->compare(leftDevice, rightDevice, left.row(), right.row());
    if (order != 0) {
        return order < 0;
    }
    // Equal values keep the table's order in either direction, whatever was shown before.
    return sortOrder() == Qt::AscendingOrder ? left.row() < right.row() : left.row() > right.row();
}
