// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicesortfilterproxymodel.h"

#include "devicesortfilterproxymodel_p.h"
#include "devicedata.h"
#include "devicetablemodel.h"

#include <QDebug>
#include <QMetaEnum>

using ZVR::Private::macDigits;
using ZVR::Private::ProxyEntry;

DeviceSortFilterProxyModel::DeviceSortFilterProxyModel(QObject *parent)
    : QAbstractProxyModel(parent)
    , d_ptr(std::make_unique<DeviceSortFilterProxyModelPrivate>(this))
{
    Q_D(DeviceSortFilterProxyModel);
    // For queued connections and signal spies on the layout signals.
    qRegisterMetaType<QList<QPersistentModelIndex>>();
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
    connect(this, &QAbstractItemModel::rowsInserted, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::rowsRemoved, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::modelReset, this, [d] { d->updateCount(); });
    connect(this, &QAbstractItemModel::layoutChanged, this, [d] { d->updateCount(); });
}

DeviceSortFilterProxyModel::~DeviceSortFilterProxyModel()
{
    Q_D(DeviceSortFilterProxyModel);
    d->disconnectSource();
    d->unwatchAll();
}

void DeviceSortFilterProxyModel::setSourceModel(QAbstractItemModel *model)
{
    Q_D(DeviceSortFilterProxyModel);
    if (model == sourceModel()) {
        return;
    }
    beginResetModel();
    d->disconnectSource();
    d->clearRows();

    QAbstractProxyModel::setSourceModel(model);
    d->updateSortRole();
    if (model) {
        using M = QAbstractItemModel;
        const auto reset = [this, d] {
            beginResetModel();
            d->clearRows();
        };
        const auto load = [this, d] {
            d->loadRows();
            endResetModel();
        };
        d->sourceConnections = {
            connect(model, &M::rowsInserted, this,
                [d](const QModelIndex &parent, int first, int last) {
                    if (!parent.isValid()) {
                        d->sourceRowsInserted(first, last);
                    }
                }),
            connect(model, &M::rowsAboutToBeRemoved, this,
                [d](const QModelIndex &parent, int first, int last) {
                    if (!parent.isValid()) {
                        d->sourceRowsAboutToBeRemoved(first, last);
                    }
                }),
            connect(model, &M::rowsRemoved, this,
                [d](const QModelIndex &parent, int first, int last) {
                    if (!parent.isValid()) {
                        d->sourceRowsRemoved(first, last);
                    }
                }),
            connect(model, &M::layoutAboutToBeChanged, this, [d] { d->sourceLayoutAboutToBeChanged(); }),
            connect(model, &M::layoutChanged, this, [d] { d->sourceLayoutChanged(); }),
            connect(model, &M::rowsAboutToBeMoved, this, [d] { d->sourceLayoutAboutToBeChanged(); }),
            connect(model, &M::rowsMoved, this, [d] { d->sourceLayoutChanged(); }),
            connect(model, &M::dataChanged, this,
                [d](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) {
                    d->sourceDataChanged(topLeft, bottomRight, roles);
                }),
            connect(model, &M::headerDataChanged, this, &M::headerDataChanged),
            connect(model, &M::modelAboutToBeReset, this, reset),
            connect(model, &M::modelReset, this, load),
            // A change of columns changes every index.
            connect(model, &M::columnsAboutToBeInserted, this, reset),
            connect(model, &M::columnsInserted, this, load),
            connect(model, &M::columnsAboutToBeRemoved, this, reset),
            connect(model, &M::columnsRemoved, this, load),
            // The base forgets the source first; its rows can no longer be read here.
            connect(model, &QObject::destroyed, this,
                [this, d] {
                    beginResetModel();
                    d->clearRows();
                    endResetModel();
                }),
        };
        d->loadRows();
    }
    endResetModel();
}

QModelIndex DeviceSortFilterProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (parent.isValid() || row < 0 || row >= d->order.size() || column < 0 || column >= columnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex DeviceSortFilterProxyModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int DeviceSortFilterProxyModel::rowCount(const QModelIndex &parent) const
{
    Q_D(const DeviceSortFilterProxyModel);
    return parent.isValid() ? 0 : d->order.size();
}

int DeviceSortFilterProxyModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

bool DeviceSortFilterProxyModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0 && columnCount(parent) > 0;
}

QModelIndex DeviceSortFilterProxyModel::mapToSource(const QModelIndex &proxyIndex) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (!proxyIndex.isValid() || proxyIndex.model() != this || proxyIndex.row() >= d->order.size()) {
        return QModelIndex();
    }
    return sourceModel()->index(d->order.at(proxyIndex.row())->row, proxyIndex.column());
}

QModelIndex DeviceSortFilterProxyModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (!sourceIndex.isValid() || sourceIndex.model() != sourceModel() || sourceIndex.parent().isValid()
        || sourceIndex.row() >= int(d->rows.size())) {
        return QModelIndex();
    }
    const ProxyEntry *entry = d->rows[size_t(sourceIndex.row())].get();
    return entry->shown() ? createIndex(entry->proxyRow, sourceIndex.column()) : QModelIndex();
}

void DeviceSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    sortByColumn(column,
        column < 0 ? ZVRSortButton::None
                   : (order == Qt::AscendingOrder ? ZVRSortButton::Ascend : ZVRSortButton::Descend));
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
    if (status != AllStatus && !QMetaEnum::fromType<DeviceData::DeviceStatus>().valueToKey(status)) {
        qWarning() << "DeviceSortFilterProxyModel::setStatusFilter error! the status is " << status;
        return;
    }
    d->statusFilter = status;
    d->rebuild();
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
    const QString previousLower = d->searchLower;
    const QString previousMac = d->searchMac;
    d->searchText = trimmed;
    d->searchLower = trimmed.toLower();
    d->searchAscii = ZVR::Private::isAscii(d->searchLower);
    d->searchMac = macDigits(trimmed);
    // Fewer than two bytes of a MAC is no MAC form; the plain match covers it.
    if (d->searchMac.size() < 4) {
        d->searchMac.clear();
    }
    // A text that holds the previous one (a keystroke more) matches only rows that
    // matched before.
    const bool narrower = !trimmed.isEmpty() && d->searchLower.contains(previousLower)
        && (d->searchMac.isEmpty() || (!previousMac.isEmpty() && d->searchMac.contains(previousMac)));
    d->rebuild(narrower);
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
    d->rebuild();
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
    Q_D(const DeviceSortFilterProxyModel);
    return proxyRow >= 0 && proxyRow < d->order.size() ? d->order.at(proxyRow)->row : -1;
}

int DeviceSortFilterProxyModel::proxyRow(int sourceRow) const
{
    Q_D(const DeviceSortFilterProxyModel);
    return sourceRow >= 0 && sourceRow < int(d->rows.size()) ? d->rows[size_t(sourceRow)]->proxyRow : -1;
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

int DeviceSortFilterProxyModel::batchInterval() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return d->batchInterval;
}

void DeviceSortFilterProxyModel::setBatchInterval(int milliseconds)
{
    Q_D(DeviceSortFilterProxyModel);
    d->batchInterval = qMax(0, milliseconds);
}

bool DeviceSortFilterProxyModel::isRefreshPending() const
{
    Q_D(const DeviceSortFilterProxyModel);
    return !d->dirty.empty();
}
