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
#include <QTimer>
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
const int nameIndex = watchedIndexOf("name");

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
    // The name's key outlives sorts by other columns: the name is always watched.
    std::optional<QCollatorSortKey> name;
    QString plain;
    qint64 number = 0;
    bool sortValid = false;
    QString search; // lower-case texts the search matches, one a line
    QString macs; // both MACs as bare hex digits
    bool searchValid = false;
};

// Where a table row stands in the proxy besides its proxy row.
constexpr int Hidden = -1; // the filter rejects it
constexpr int Waiting = -2; // inserted, placed on the next refresh

// One row of the table. The proxy's order holds these, so table rows that shift never
// touch it.
struct Entry
{
    DeviceData *device = nullptr;
    int row = 0;
    int proxy = Waiting;
    bool dirty = false; // queued for the next refresh
    bool sortStale = false; // the sort property changed since the keys were read
    bool inBatch = false; // scratch: part of the refresh under way
    int next = Hidden; // scratch: the proxy row in an order being built
    RecordKeys keys;
};

// Beyond this many separate row signals, one layout change tells views more cheaply.
constexpr int maxRowSignals = 16;

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
    std::unique_ptr<Entry> makeEntry(int row);
    void watch(Entry *entry);
    void unwatchAll();
    static bool alwaysWatched(int watchedIndex);
    void rewatchIfNeeded(int previousWatchIndex);
    void deviceChanged(Entry *entry, int watchedIndex);
    void markDirty(Entry *entry);
    const RecordKeys &keysOf(Entry *entry);
    void refreshKeys(Entry *entry);
    bool matchesSearch(Entry *entry);
    bool accepts(Entry *entry);
    int compare(Entry *left, Entry *right);
    bool lessThan(Entry *left, Entry *right);
    void schedule();
    void applyPending();
    void rebuild();
    void loadRows();
    void clearRows();
    void renumber(int from);
    void removeRuns(std::vector<int> positions);
    void moveRow(Entry *entry);
    void insertEntries(std::vector<Entry *> entering);
    void replaceOrder(std::vector<Entry *> newOrder, bool sameRows);
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsInserted(int first, int last);
    void sourceLayoutAboutToBeChanged();
    void sourceLayoutChanged();
    void sourceDataChanged(
        const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void updateSortRole();
    void updateCount();

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
    int count = 0;
    bool queued = false;
    int batchInterval = 0;
    QCollator collator { QLocale(QLocale::Chinese, QLocale::China) };
    QVector<QMetaObject::Connection> sourceConnections;

    std::vector<std::unique_ptr<Entry>> rows; // in the table's order
    std::vector<Entry *> order; // the proxy's rows
    std::vector<Entry *> dirty;
    // Receives the devices' signals; replacing it drops every connection at once.
    std::unique_ptr<QObject> watcher = std::make_unique<QObject>();
    // Across a layout change of the table: the entries under the persistent indexes.
    QModelIndexList layoutIndexes;
    std::vector<Entry *> layoutEntries;
};

DeviceData *DeviceSortFilterProxyModelPrivate::deviceAtSourceRow(int row) const
{
    Q_Q(const DeviceSortFilterProxyModel);
    return ZVR::deviceAtRow(q->sourceModel(), row);
}

std::unique_ptr<Entry> DeviceSortFilterProxyModelPrivate::makeEntry(int row)
{
    auto entry = std::make_unique<Entry>();
    entry->device = deviceAtSourceRow(row);
    entry->row = row;
    watch(entry.get());
    return entry;
}

void DeviceSortFilterProxyModelPrivate::watch(Entry *entry)
{
    DeviceData *device = entry->device;
    if (!device) {
        return;
    }
    // A connection costs memory per record: only what the search, the status filter and
    // the sorted column read is watched.
    for (int i = 0; i < int(std::size(watchedSignals)); ++i) {
        if (alwaysWatched(i) || i == sortWatchIndex) {
            QObject::connect(device, watchedSignals[i].signal, watcher.get(),
                [this, entry, i] { deviceChanged(entry, i); });
        }
    }
}

void DeviceSortFilterProxyModelPrivate::unwatchAll()
{
    watcher = std::make_unique<QObject>();
}

bool DeviceSortFilterProxyModelPrivate::alwaysWatched(int watchedIndex)
{
    return searchedSignals[size_t(watchedIndex)] || watchedIndex == devStatusIndex;
}

void DeviceSortFilterProxyModelPrivate::rewatchIfNeeded(int previousWatchIndex)
{
    const auto extra = [](int index) { return index >= 0 && !alwaysWatched(index) ? index : -1; };
    if (extra(previousWatchIndex) == extra(sortWatchIndex)) {
        return;
    }
    unwatchAll();
    for (const std::unique_ptr<Entry> &entry : rows) {
        watch(entry.get());
    }
}

void DeviceSortFilterProxyModelPrivate::deviceChanged(Entry *entry, int watchedIndex)
{
    const bool sort = sortSection >= 0 && watchedIndex == sortWatchIndex;
    const bool searched = searchedSignals[watchedIndex];
    if (searched) {
        entry->keys.searchValid = false;
    }
    if (watchedIndex == nameIndex) {
        entry->keys.name.reset();
    }
    const bool filter
        = (statusFilter != DeviceSortFilterProxyModel::AllStatus && watchedIndex == devStatusIndex)
        || (!searchText.isEmpty() && searched);
    if (sort) {
        // The old keys stay until the row is placed anew: the order was built on them.
        entry->sortStale = true;
    }
    if (sort || filter) {
        markDirty(entry);
    }
}

void DeviceSortFilterProxyModelPrivate::markDirty(Entry *entry)
{
    if (!entry->dirty) {
        entry->dirty = true;
        dirty.push_back(entry);
    }
    schedule();
}

const RecordKeys &DeviceSortFilterProxyModelPrivate::keysOf(Entry *entry)
{
    RecordKeys &keys = entry->keys;
    if (keys.sortValid) {
        return keys;
    }
    const DeviceData *device = entry->device;
    switch (sortKind) {
    case SortKind::Collated:
        if (sortWatchIndex == nameIndex) {
            if (!keys.name) {
                keys.name = collator.sortKey(device->name());
            }
            keys.text = keys.name;
        } else {
            keys.text = collator.sortKey(sortProperty.read(device).toString());
        }
        break;
    case SortKind::PlainText:
        keys.plain = sortProperty.read(device).toString();
        break;
    case SortKind::Ip:
        keys.number = device->networkIpInt(0);
        break;
    case SortKind::Ip2:
        keys.number = device->networkIpInt(1);
        break;
    case SortKind::Address:
        keys.number = addressOrder(sortProperty.read(device).toString());
        break;
    case SortKind::Integer:
        keys.number = sortProperty.read(device).toInt();
        break;
    default:
        break;
    }
    keys.sortValid = true;
    return keys;
}

void DeviceSortFilterProxyModelPrivate::refreshKeys(Entry *entry)
{
    if (entry->sortStale) {
        entry->sortStale = false;
        entry->keys.sortValid = false;
        entry->keys.text.reset();
        // The row may have been read again without a change signal.
        entry->keys.name.reset();
    }
}

bool DeviceSortFilterProxyModelPrivate::matchesSearch(Entry *entry)
{
    RecordKeys &keys = entry->keys;
    if (!keys.searchValid) {
        const DeviceData *device = entry->device;
        keys.search = QStringList { device->name(), device->ip(), device->ip2(), device->mac(),
            device->mac2(), device->serialNumber() }
                          .join(QLatin1Char('\n'))
                          .toLower();
        keys.macs = macDigits(device->mac()) + QLatin1Char('\n') + macDigits(device->mac2());
        keys.searchValid = true;
    }
    return keys.search.contains(searchLower) || (!searchMac.isEmpty() && keys.macs.contains(searchMac));
}

bool DeviceSortFilterProxyModelPrivate::accepts(Entry *entry)
{
    const bool filtering = statusFilter != DeviceSortFilterProxyModel::AllStatus || !searchText.isEmpty();
    if (!filtering) {
        return true;
    }
    const DeviceData *device = entry->device;
    if (!device) {
        return false;
    }
    if (statusFilter != DeviceSortFilterProxyModel::AllStatus && int(device->devStatus()) != statusFilter) {
        return false;
    }
    return searchText.isEmpty() || matchesSearch(entry);
}

int DeviceSortFilterProxyModelPrivate::compare(Entry *left, Entry *right)
{
    switch (sortKind) {
    case SortKind::None:
        return 0;
    case SortKind::TableOrder:
        return compareValues(left->row, right->row);
    case SortKind::PlainText:
        return keysOf(left).plain.compare(keysOf(right).plain, Qt::CaseInsensitive);
    case SortKind::Collated:
        return keysOf(left).text->compare(*keysOf(right).text);
    default:
        return compareValues(keysOf(left).number, keysOf(right).number);
    }
}

bool DeviceSortFilterProxyModelPrivate::lessThan(Entry *left, Entry *right)
{
    if (sortSection < 0) {
        return left->row < right->row;
    }
    const bool descending = sortMode == ZVRSortButton::Descend;
    // Rows without a device go after every device, before them when descending.
    if (!left->device || !right->device) {
        if (left->device != right->device) {
            return descending ? !left->device : !right->device;
        }
        return left->row < right->row;
    }
    const int order = compare(left, right);
    if (order != 0) {
        return descending ? order > 0 : order < 0;
    }
    // Equal values keep the table's order in either direction.
    return left->row < right->row;
}

void DeviceSortFilterProxyModelPrivate::schedule()
{
    Q_Q(DeviceSortFilterProxyModel);
    if (queued) {
        return;
    }
    queued = true;
    if (batchInterval > 0) {
        QTimer::singleShot(batchInterval, q, [this] { applyPending(); });
    } else {
        QMetaObject::invokeMethod(
            q, [this] { applyPending(); }, Qt::QueuedConnection);
    }
}

void DeviceSortFilterProxyModelPrivate::renumber(int from)
{
    for (int i = from; i < int(order.size()); ++i) {
        order[size_t(i)]->proxy = i;
    }
}

// Removes the rows at proxy \a positions, one signal per contiguous run.
void DeviceSortFilterProxyModelPrivate::removeRuns(std::vector<int> positions)
{
    Q_Q(DeviceSortFilterProxyModel);
    std::sort(positions.begin(), positions.end());
    while (!positions.empty()) {
        const int last = positions.back();
        int first = last;
        positions.pop_back();
        while (!positions.empty() && positions.back() == first - 1) {
            first = positions.back();
            positions.pop_back();
        }
        q->beginRemoveRows(QModelIndex(), first, last);
        for (int i = first; i <= last; ++i) {
            order[size_t(i)]->proxy = Hidden;
        }
        order.erase(order.begin() + first, order.begin() + last + 1);
        renumber(first);
        q->endRemoveRows();
    }
}

// Moves a visible row whose sort key changed to its new place.
void DeviceSortFilterProxyModelPrivate::moveRow(Entry *entry)
{
    Q_Q(DeviceSortFilterProxyModel);
    refreshKeys(entry);
    const auto less = [this](Entry *a, Entry *b) { return lessThan(a, b); };
    const int from = entry->proxy;
    int to = int(std::lower_bound(order.begin(), order.begin() + from, entry, less) - order.begin());
    if (to == from) {
        to = int(std::lower_bound(order.begin() + from + 1, order.end(), entry, less) - order.begin()) - 1;
    }
    if (to == from) {
        return;
    }
    q->beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    if (to > from) {
        std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + to + 1);
    } else {
        std::rotate(order.begin() + to, order.begin() + from, order.begin() + from + 1);
    }
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
        order[size_t(i)]->proxy = i;
    }
    q->endMoveRows();
}

// Places rows that join the proxy: one insertion per contiguous run, or one layout
// change when they scatter.
void DeviceSortFilterProxyModelPrivate::insertEntries(std::vector<Entry *> entering)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (entering.empty()) {
        return;
    }
    const auto less = [this](Entry *a, Entry *b) { return lessThan(a, b); };
    std::sort(entering.begin(), entering.end(), less);
    std::vector<int> positions;
    positions.reserve(entering.size());
    auto from = order.begin();
    int runs = 0;
    for (Entry *entry : entering) {
        from = std::lower_bound(from, order.end(), entry, less);
        const int position = int(from - order.begin());
        runs += positions.empty() || positions.back() != position ? 1 : 0;
        positions.push_back(position);
    }
    if (runs > maxRowSignals) {
        std::vector<Entry *> merged;
        merged.reserve(order.size() + entering.size());
        std::merge(
            order.begin(), order.end(), entering.begin(), entering.end(), std::back_inserter(merged), less);
        replaceOrder(std::move(merged), false);
        return;
    }
    int offset = 0;
    for (size_t begin = 0; begin < entering.size();) {
        size_t end = begin + 1;
        while (end < entering.size() && positions[end] == positions[begin]) {
            ++end;
        }
        const int first = positions[begin] + offset;
        const int size = int(end - begin);
        q->beginInsertRows(QModelIndex(), first, first + size - 1);
        order.insert(order.begin() + first, entering.begin() + long(begin), entering.begin() + long(end));
        renumber(first);
        q->endInsertRows();
        offset += size;
        begin = end;
    }
}

// Replaces the whole order: a layout change that carries the persistent indexes when
// only the order changes, else a reset (item views keep cached cells across a layout
// change that also adds or drops rows).
void DeviceSortFilterProxyModelPrivate::replaceOrder(std::vector<Entry *> newOrder, bool sameRows)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!sameRows) {
        q->beginResetModel();
        for (Entry *entry : order) {
            entry->proxy = Hidden;
        }
        order = std::move(newOrder);
        renumber(0);
        q->endResetModel();
        return;
    }
    const auto hint = QAbstractItemModel::VerticalSortHint;
    Q_EMIT q->layoutAboutToBeChanged({}, hint);
    const QModelIndexList from = q->persistentIndexList();
    std::vector<Entry *> entries;
    entries.reserve(size_t(from.size()));
    for (const QModelIndex &index : from) {
        entries.push_back(order[size_t(index.row())]);
    }
    for (Entry *entry : order) {
        entry->proxy = Hidden;
    }
    order = std::move(newOrder);
    renumber(0);
    QModelIndexList to;
    to.reserve(from.size());
    for (int i = 0; i < from.size(); ++i) {
        const int row = entries[size_t(i)]->proxy;
        to.append(row >= 0 ? q->index(row, from.at(i).column()) : QModelIndex());
    }
    q->changePersistentIndexList(from, to);
    Q_EMIT q->layoutChanged({}, hint);
}

void DeviceSortFilterProxyModelPrivate::applyPending()
{
    queued = false;
    if (dirty.empty()) {
        return;
    }
    std::vector<Entry *> batch;
    batch.swap(dirty);
    const bool keyed = sortSection >= 0 && sortKind != SortKind::None && sortKind != SortKind::TableOrder;
    std::vector<int> leaving;
    std::vector<Entry *> moving;
    std::vector<Entry *> entering;
    for (Entry *entry : batch) {
        entry->dirty = false;
        const bool accepted = accepts(entry);
        if (entry->proxy >= 0 && !accepted) {
            leaving.push_back(entry->proxy);
        } else if (entry->proxy >= 0) {
            if (keyed && entry->sortStale) {
                moving.push_back(entry);
            }
        } else if (accepted) {
            entering.push_back(entry);
        } else {
            entry->proxy = Hidden;
        }
    }

    if (leaving.size() + moving.size() > size_t(maxRowSignals)) {
        // Many rows at once (a rescan): take the batch out, then merge its rows back in.
        for (Entry *entry : batch) {
            entry->next = accepts(entry) ? 1 : 0;
            entry->inBatch = true;
            refreshKeys(entry);
        }
        std::vector<Entry *> kept;
        kept.reserve(order.size());
        for (Entry *entry : order) {
            if (!entry->inBatch) {
                kept.push_back(entry);
            }
        }
        std::vector<Entry *> placed;
        for (Entry *entry : batch) {
            entry->inBatch = false;
            if (entry->next == 1) {
                placed.push_back(entry);
            }
        }
        const auto less = [this](Entry *a, Entry *b) { return lessThan(a, b); };
        std::sort(placed.begin(), placed.end(), less);
        std::vector<Entry *> merged;
        merged.reserve(kept.size() + placed.size());
        std::merge(kept.begin(), kept.end(), placed.begin(), placed.end(), std::back_inserter(merged), less);
        replaceOrder(std::move(merged), leaving.empty() && entering.empty());
        return;
    }

    removeRuns(std::move(leaving));
    for (Entry *entry : moving) {
        moveRow(entry);
    }
    // Moved rows read their new keys one by one above; the rest may read theirs now.
    for (Entry *entry : batch) {
        refreshKeys(entry);
    }
    insertEntries(std::move(entering));
}

// Filters and sorts every row afresh.
void DeviceSortFilterProxyModelPrivate::rebuild()
{
    for (Entry *entry : dirty) {
        entry->dirty = false;
    }
    dirty.clear();
    std::vector<Entry *> newOrder;
    newOrder.reserve(rows.size());
    for (const std::unique_ptr<Entry> &entry : rows) {
        refreshKeys(entry.get());
        entry->next = Hidden;
        if (accepts(entry.get())) {
            newOrder.push_back(entry.get());
        }
    }
    std::sort(newOrder.begin(), newOrder.end(), [this](Entry *a, Entry *b) { return lessThan(a, b); });
    for (size_t i = 0; i < newOrder.size(); ++i) {
        newOrder[i]->next = int(i);
    }

    // A new filter changes many rows at once: views take a reset better than runs of
    // removals and insertions.
    bool sameRows = order.size() == newOrder.size();
    bool unchanged = sameRows;
    for (size_t i = 0; sameRows && i < order.size(); ++i) {
        sameRows = order[i]->next != Hidden;
        unchanged = unchanged && order[i]->next == int(i);
    }
    if (!unchanged) {
        replaceOrder(std::move(newOrder), sameRows);
    }
    for (const std::unique_ptr<Entry> &entry : rows) {
        if (entry->proxy == Waiting) {
            entry->proxy = Hidden;
        }
    }
}

void DeviceSortFilterProxyModelPrivate::loadRows()
{
    Q_Q(DeviceSortFilterProxyModel);
    const int rowCount = q->sourceModel() ? q->sourceModel()->rowCount() : 0;
    rows.reserve(size_t(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        rows.push_back(makeEntry(row));
        Entry *entry = rows.back().get();
        entry->proxy = Hidden;
        if (accepts(entry)) {
            order.push_back(entry);
        }
    }
    std::sort(order.begin(), order.end(), [this](Entry *a, Entry *b) { return lessThan(a, b); });
    renumber(0);
}

void DeviceSortFilterProxyModelPrivate::clearRows()
{
    unwatchAll();
    order.clear();
    dirty.clear();
    layoutIndexes.clear();
    layoutEntries.clear();
    rows.clear();
}

void DeviceSortFilterProxyModelPrivate::sourceRowsAboutToBeRemoved(int first, int last)
{
    if (first < 0 || first > last || last >= int(rows.size())) {
        return;
    }
    // Views never see a row whose device is on its way out.
    std::vector<int> positions;
    for (int row = first; row <= last; ++row) {
        Entry *entry = rows[size_t(row)].get();
        if (entry->proxy >= 0) {
            positions.push_back(entry->proxy);
        }
        if (entry->device) {
            QObject::disconnect(entry->device, nullptr, watcher.get(), nullptr);
        }
    }
    std::sort(positions.begin(), positions.end());
    int runs = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        runs += i == 0 || positions[i - 1] != positions[i] - 1 ? 1 : 0;
    }
    if (runs <= maxRowSignals) {
        removeRuns(std::move(positions));
    } else {
        std::vector<Entry *> kept;
        kept.reserve(order.size() - positions.size());
        for (Entry *entry : order) {
            if (entry->row < first || entry->row > last) {
                kept.push_back(entry);
            }
        }
        replaceOrder(std::move(kept), false);
    }
    dirty.erase(std::remove_if(dirty.begin(), dirty.end(),
                    [first, last](Entry *entry) { return entry->row >= first && entry->row <= last; }),
        dirty.end());
}

void DeviceSortFilterProxyModelPrivate::sourceRowsRemoved(int first, int last)
{
    if (first < 0 || first > last || last >= int(rows.size())) {
        return;
    }
    rows.erase(rows.begin() + first, rows.begin() + last + 1);
    for (size_t row = size_t(first); row < rows.size(); ++row) {
        rows[row]->row = int(row);
    }
}

void DeviceSortFilterProxyModelPrivate::sourceRowsInserted(int first, int last)
{
    if (first < 0 || first > last || first > int(rows.size())) {
        return;
    }
    std::vector<std::unique_ptr<Entry>> added;
    added.reserve(size_t(last - first + 1));
    for (int row = first; row <= last; ++row) {
        added.push_back(makeEntry(row));
    }
    rows.insert(
        rows.begin() + first, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    for (size_t row = size_t(last) + 1; row < rows.size(); ++row) {
        rows[row]->row = int(row);
    }
    // New rows wait outside the proxy and join it in one batch.
    for (int row = first; row <= last; ++row) {
        markDirty(rows[size_t(row)].get());
    }
}

void DeviceSortFilterProxyModelPrivate::sourceLayoutAboutToBeChanged()
{
    Q_Q(DeviceSortFilterProxyModel);
    Q_EMIT q->layoutAboutToBeChanged();
    layoutIndexes = q->persistentIndexList();
    layoutEntries.clear();
    for (const QModelIndex &index : qAsConst(layoutIndexes)) {
        layoutEntries.push_back(order[size_t(index.row())]);
    }
}

// The table reordered its rows: find each record's entry again by its device.
void DeviceSortFilterProxyModelPrivate::sourceLayoutChanged()
{
    Q_Q(DeviceSortFilterProxyModel);
    std::vector<std::unique_ptr<Entry>> old;
    old.swap(rows);
    std::unordered_map<const DeviceData *, size_t> byDevice;
    for (size_t i = 0; i < old.size(); ++i) {
        if (old[i]->device) {
            byDevice.emplace(old[i]->device, i);
        }
    }
    const int rowCount = q->sourceModel() ? q->sourceModel()->rowCount() : 0;
    for (int row = 0; row < rowCount; ++row) {
        const auto it = byDevice.find(deviceAtSourceRow(row));
        if (it != byDevice.end() && old[it->second]) {
            rows.push_back(std::move(old[it->second]));
            rows.back()->row = row;
        } else {
            rows.push_back(makeEntry(row));
        }
    }
    for (const std::unique_ptr<Entry> &entry : old) {
        if (entry && entry->device) {
            QObject::disconnect(entry->device, nullptr, watcher.get(), nullptr);
        }
    }
    for (Entry *entry : order) {
        entry->proxy = Hidden;
    }
    order.clear();
    for (Entry *entry : dirty) {
        entry->dirty = false;
    }
    dirty.clear();
    for (const std::unique_ptr<Entry> &entry : rows) {
        refreshKeys(entry.get());
        entry->proxy = Hidden;
        if (accepts(entry.get())) {
            order.push_back(entry.get());
        }
    }
    std::sort(order.begin(), order.end(), [this](Entry *a, Entry *b) { return lessThan(a, b); });
    renumber(0);
    QModelIndexList to;
    for (int i = 0; i < layoutIndexes.size(); ++i) {
        const int row = layoutEntries[size_t(i)]->proxy;
        to.append(row >= 0 ? q->index(row, layoutIndexes.at(i).column()) : QModelIndex());
    }
    q->changePersistentIndexList(layoutIndexes, to);
    layoutIndexes.clear();
    layoutEntries.clear();
    Q_EMIT q->layoutChanged();
}

void DeviceSortFilterProxyModelPrivate::sourceDataChanged(
    const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!topLeft.isValid() || topLeft.parent().isValid() || bottomRight.row() >= int(rows.size())) {
        return;
    }
    int first = INT_MAX;
    int last = -1;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        Entry *entry = rows[size_t(row)].get();
        if (entry->proxy >= 0) {
            first = std::min(first, entry->proxy);
            last = std::max(last, entry->proxy);
        }
        // The cells may show new values: read them again on the next refresh.
        entry->keys.searchValid = false;
        entry->sortStale = sortSection >= 0;
        markDirty(entry);
    }
    if (last >= 0) {
        Q_EMIT q->dataChanged(q->index(first, topLeft.column()), q->index(last, bottomRight.column()), roles);
    }
}

void DeviceSortFilterProxyModelPrivate::updateSortRole()
{
    Q_Q(DeviceSortFilterProxyModel);
    sortRole.clear();
    sortKind = SortKind::None;
    sortProperty = QMetaProperty();
    const int previousWatchIndex = sortWatchIndex;
    sortWatchIndex = -1;
    for (const std::unique_ptr<Entry> &entry : rows) {
        entry->keys.sortValid = false;
        entry->keys.text.reset();
        entry->sortStale = false;
    }
    if (sortSection < 0 || !q->sourceModel()) {
        rewatchIfNeeded(previousWatchIndex);
        return;
    }
    sortRole = q->sourceModel()->roleNames().value(Qt::UserRole + sortSection);
    for (int i = 0; i < int(std::size(watchedSignals)); ++i) {
        if (sortRole == watchedSignals[i].role) {
            sortWatchIndex = i;
        }
    }
    rewatchIfNeeded(previousWatchIndex);
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
    beginResetModel();
    for (const QMetaObject::Connection &connection : qAsConst(d->sourceConnections)) {
        disconnect(connection);
    }
    d->sourceConnections.clear();
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
    d->updateCount();
}

QModelIndex DeviceSortFilterProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (parent.isValid() || row < 0 || row >= int(d->order.size()) || column < 0 || column >= columnCount()) {
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
    return parent.isValid() ? 0 : int(d->order.size());
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
    if (!proxyIndex.isValid() || proxyIndex.model() != this || proxyIndex.row() >= int(d->order.size())) {
        return QModelIndex();
    }
    return sourceModel()->index(d->order[size_t(proxyIndex.row())]->row, proxyIndex.column());
}

QModelIndex DeviceSortFilterProxyModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    Q_D(const DeviceSortFilterProxyModel);
    if (!sourceIndex.isValid() || sourceIndex.model() != sourceModel() || sourceIndex.parent().isValid()
        || sourceIndex.row() >= int(d->rows.size())) {
        return QModelIndex();
    }
    const int row = d->rows[size_t(sourceIndex.row())]->proxy;
    return row >= 0 ? createIndex(row, sourceIndex.column()) : QModelIndex();
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
    d->searchText = trimmed;
    d->searchLower = trimmed.toLower();
    d->searchMac = macDigits(trimmed);
    // Fewer than two bytes of a MAC is no MAC form; the plain match covers it.
    if (d->searchMac.size() < 4) {
        d->searchMac.clear();
    }
    d->rebuild();
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
    return proxyRow >= 0 && proxyRow < int(d->order.size()) ? d->order[size_t(proxyRow)]->row : -1;
}

int DeviceSortFilterProxyModel::proxyRow(int sourceRow) const
{
    Q_D(const DeviceSortFilterProxyModel);
    return sourceRow >= 0 && sourceRow < int(d->rows.size()) ? std::max(d->rows[size_t(sourceRow)]->proxy, -1)
                                                             : -1;
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
