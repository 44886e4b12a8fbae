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

#include <array>
#include <iterator>
#include <optional>
#include <unordered_map>

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
bool isSearchedRole(const char *role)
{
    const QByteArray name(role);
    return name == "name" || name == "ip" || name == "ip2" || name == "mac" || name == "mac2"
        || name == "serialNumber";
}

int watchedIndexOf(const char *role)
{
    for (int i = 0; i < int(std::size(watchedSignals)); ++i) {
        if (qstrcmp(watchedSignals[i].role, role) == 0) {
            return i;
        }
    }
    return -1;
}

const int devStatusIndex = watchedIndexOf("devStatus");

// Per watched signal: whether its property is one the search reads.
const auto searchedSignals = [] {
    std::array<bool, std::size(watchedSignals)> searched {};
    for (size_t i = 0; i < searched.size(); ++i) {
        searched[i] = isSearchedRole(watchedSignals[i].role);
    }
    return searched;
}();

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

// A MAC address as bare lower-case hex digits, so that any separator or case matches.
QString macDigits(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            continue;
        }
        const QChar lower = c.toLower();
        const bool hex = (lower >= QLatin1Char('0') && lower <= QLatin1Char('9'))
            || (lower >= QLatin1Char('a') && lower <= QLatin1Char('f'));
        if (!hex) {
            return QString();
        }
        digits.append(lower);
    }
    return digits;
}

// How the sorted column compares, resolved once when the sort changes.
enum class SortKind { None, TableOrder, Ip, Ip2, PlainText, Address, Collated, Integer };

// What a record's sort and search read, kept until one of its watched properties changes.
struct RecordKeys
{
    std::optional<QCollatorSortKey> text;
    qint64 number = 0;
    bool numberValid = false;
    QString search; // lower-case texts the search matches, one a line
    QString macs; // both MACs as bare hex digits
    bool searchValid = false;
};

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
    void deviceChanged(DeviceData *device, int watchedIndex);
    const RecordKeys &keysOf(const DeviceData *device) const;
    bool matchesSearch(const DeviceData *device) const;
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
    SortKind sortKind = SortKind::None;
    QMetaProperty sortProperty;
    int sortWatchIndex = -1; // index in watchedSignals of the sort property's signal
    QString searchLower;
    QString searchMac; // the search text as bare MAC digits, empty unless it reads as one
    mutable std::unordered_map<const DeviceData *, RecordKeys> keys;
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
    for (int i = 0; i < int(std::size(watchedSignals)); ++i) {
        QObject::connect(
            device, watchedSignals[i].signal, q, [this, device, i] { deviceChanged(device, i); });
    }
}

void DeviceSortFilterProxyModelPrivate::unwatch(DeviceData *device)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!device || !watched.contains(device)) {
        return;
    }
    watched.remove(device);
    keys.erase(device);
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
    keys.clear();
}

void DeviceSortFilterProxyModelPrivate::deviceChanged(DeviceData *device, int watchedIndex)
{
    keys.erase(device);
    const bool sort = sortSection >= 0 && watchedIndex == sortWatchIndex;
    const bool filter
        = (statusFilter != DeviceSortFilterProxyModel::AllStatus && watchedIndex == devStatusIndex)
        || (!searchText.isEmpty() && searchedSignals[watchedIndex]);
    if (sort || filter) {
        schedule(sort, filter);
    }
}

const RecordKeys &DeviceSortFilterProxyModelPrivate::keysOf(const DeviceData *device) const
{
    RecordKeys &entry = keys[device];
    if (sortKind == SortKind::Collated && !entry.text) {
        entry.text = collator.sortKey(sortProperty.read(device).toString());
    } else if (!entry.numberValid) {
        switch (sortKind) {
        case SortKind::Ip:
            entry.number = device->networkIpInt(0);
            break;
        case SortKind::Ip2:
            entry.number = device->networkIpInt(1);
            break;
        case SortKind::Address:
            entry.number = addressOrder(sortProperty.read(device).toString());
            break;
        case SortKind::Integer:
            entry.number = sortProperty.read(device).toInt();
            break;
        default:
            break;
        }
        entry.numberValid = true;
    }
    return entry;
}

bool DeviceSortFilterProxyModelPrivate::matchesSearch(const DeviceData *device) const
{
    RecordKeys &entry = keys[device];
    if (!entry.searchValid) {
        entry.search = QStringList { device->name(), device->ip(), device->ip2(), device->mac(),
            device->mac2(), device->serialNumber() }
                           .join(QLatin1Char('\n'))
                           .toLower();
        entry.macs = macDigits(device->mac()) + QLatin1Char('\n') + macDigits(device->mac2());
        entry.searchValid = true;
    }
    return entry.search.contains(searchLower) || (!searchMac.isEmpty() && entry.macs.contains(searchMac));
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
    sortKind = SortKind::None;
    sortProperty = QMetaProperty();
    sortWatchIndex = -1;
    keys.clear();
    if (sortSection < 0 || !q->sourceModel()) {
        return;
    }
    sortRole = q->sourceModel()->roleNames().value(Qt::UserRole + sortSection);
    for (int i = 0; i < int(std::size(watchedSignals)); ++i) {
        if (sortRole == watchedSignals[i].role) {
            sortWatchIndex = i;
        }
    }
    const int index = DeviceData::staticMetaObject.indexOfProperty(sortRole.constData());
    if (index >= 0) {
        sortProperty = DeviceData::staticMetaObject.property(index);
    }
    if (sortRole == "devIndex") {
        sortKind = SortKind::TableOrder;
    } else if (sortRole == "ip") {
        sortKind = SortKind::Ip;
    } else if (sortRole == "ip2") {
        sortKind = SortKind::Ip2;
    } else if (sortRole == "mac" || sortRole == "mac2") {
        // Hexadecimal digits: plain text order, not the collator's numbers.
        sortKind = SortKind::PlainText;
    } else if (sortRole == "subnetMask" || sortRole == "gateway") {
        sortKind = SortKind::Address;
    } else if (index >= 0
        && (sortProperty.isEnumType() || sortProperty.userType() == QMetaType::Bool
            || sortProperty.userType() == QMetaType::Int)) {
        sortKind = SortKind::Integer;
    } else if (index >= 0 && sortProperty.userType() == QMetaType::QString) {
        sortKind = SortKind::Collated;
    }
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
    switch (sortKind) {
    case SortKind::None:
        return 0;
    case SortKind::TableOrder:
        return compareValues(leftRow, rightRow);
    case SortKind::PlainText: {
        const QString a = sortProperty.read(left).toString();
        return a.compare(sortProperty.read(right).toString(), Qt::CaseInsensitive);
    }
    case SortKind::Collated:
        return keysOf(left).text->compare(*keysOf(right).text);
    default:
        return compareValues(keysOf(left).number, keysOf(right).number);
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
    d->searchLower = trimmed.toLower();
    d->searchMac = macDigits(trimmed);
    // Fewer than two bytes of a MAC is no MAC form; the plain match covers it.
    if (d->searchMac.size() < 4) {
        d->searchMac.clear();
    }
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
    return d->matchesSearch(device);
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
