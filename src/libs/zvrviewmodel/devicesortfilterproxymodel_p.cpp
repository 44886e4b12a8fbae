// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicesortfilterproxymodel_p.h"

#include "columntable_p.h"
#include "devicedata.h"
#include "devicerow.h"
#include "devicetablemodel.h"
#include "twothreads_p.h"

#include <QTimer>

#include <algorithm>
#include <iterator>
#include <utility>
#include <unordered_map>

using namespace ZVR::Private;

namespace {

// The status filter reads the status; the search reads its fields.
bool alwaysWatched(int fieldIndex)
{
    return field(fieldIndex).search != SearchKind::No || fieldIndex == DeviceTableModel::ColDevStatus;
}

// Beyond this many separate row signals, one layout change tells views more cheaply.
constexpr int maxRowSignals = 16;

/*! Whether \a d's filter passes each of \a count rows, entryAt(i) the i-th, once the sort
 *  keys of rows whose sort property changed are forgotten when \a refreshKeys: on two
 *  threads when there are enough, each touching only the keys of its own rows.
 */
template<typename EntryAt>
std::vector<unsigned char> passing(
    DeviceSortFilterProxyModelPrivate *d, size_t count, bool refreshKeys, EntryAt entryAt)
{
    std::vector<unsigned char> passes(count, true);
    const bool filtering = d->filtering();
    if (!filtering && !refreshKeys) {
        return passes;
    }
    inTwoThreads(count, [&](size_t begin, size_t end, int) {
        for (size_t i = begin; i < end; ++i) {
            ProxyEntry *const entry = entryAt(i);
            if (refreshKeys) {
                ProxySortKeys::refresh(*entry);
            }
            if (filtering) {
                passes[i] = d->accepts(entry);
            }
        }
    });
    return passes;
}

} // namespace

DeviceData *DeviceSortFilterProxyModelPrivate::deviceAtSourceRow(int row) const
{
    Q_Q(const DeviceSortFilterProxyModel);
    return ZVR::deviceAtRow(q->sourceModel(), row);
}

std::unique_ptr<ProxyEntry> DeviceSortFilterProxyModelPrivate::makeEntry(int row)
{
    auto entry = std::make_unique<ProxyEntry>();
    entry->device = deviceAtSourceRow(row);
    entry->row = row;
    watch(entry.get());
    return entry;
}

void DeviceSortFilterProxyModelPrivate::watch(ProxyEntry *entry)
{
    DeviceData *device = entry->device;
    if (!device) {
        return;
    }
    // A connection costs memory per record: only what the search, the status filter and
    // the sorted column read is watched.
    for (const int i : notifyingFields()) {
        if (alwaysWatched(i) || i == sortWatched) {
            QObject::connect(
                device, field(i).changed, watcher.get(), [this, entry, i] { deviceChanged(entry, i); });
        }
    }
}

void DeviceSortFilterProxyModelPrivate::unwatchAll()
{
    watcher = std::make_unique<QObject>();
}

void DeviceSortFilterProxyModelPrivate::rewatchIfNeeded(int previousWatched)
{
    const auto extra = [](int index) { return index >= 0 && !alwaysWatched(index) ? index : -1; };
    if (extra(previousWatched) == extra(sortWatched)) {
        return;
    }
    unwatchAll();
    for (const std::unique_ptr<ProxyEntry> &entry : rows) {
        watch(entry.get());
    }
}

void DeviceSortFilterProxyModelPrivate::deviceChanged(ProxyEntry *entry, int fieldIndex)
{
    const bool sort = fieldIndex == sortWatched;
    const bool searched = field(fieldIndex).search != SearchKind::No;
    if (searched) {
        entry->keys.searchValid = false;
    }
    if (fieldIndex == DeviceTableModel::ColName) {
        entry->keys.name.reset();
        entry->keys.nameRankGeneration = 0;
    }
    const bool filter = (statusFilter != DeviceSortFilterProxyModel::AllStatus
                            && fieldIndex == DeviceTableModel::ColDevStatus)
        || (!searchText.isEmpty() && searched);
    if (sort) {
        // The old keys stay until the row is placed anew: the order was built on them.
        entry->sortStale = true;
    }
    if (sort || filter) {
        markDirty(entry);
    }
}

void DeviceSortFilterProxyModelPrivate::markDirty(ProxyEntry *entry)
{
    if (!entry->dirty) {
        entry->dirty = true;
        dirty.push_back(entry);
    }
    schedule();
}

void DeviceSortFilterProxyModelPrivate::clearDirty()
{
    for (ProxyEntry *entry : dirty) {
        entry->dirty = false;
    }
    dirty.clear();
}

// Every row the filter passes, sorted. The rest are hidden when the order takes these.
Entries DeviceSortFilterProxyModelPrivate::acceptedRows(bool refreshKeys)
{
    Entries accepted;
    accepted.reserve(rows.size());
    const std::vector<unsigned char> passes
        = passing(this, rows.size(), refreshKeys, [this](size_t i) { return rows[i].get(); });
    for (size_t i = 0; i < rows.size(); ++i) {
        if (passes[i]) {
            accepted.push_back(rows[i].get());
        }
    }
    keys.sort(accepted);
    return accepted;
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

// Removes the rows at proxy \a positions, one signal per contiguous run, the last run first.
void DeviceSortFilterProxyModelPrivate::removeRows(const std::vector<int> &positions)
{
    Q_Q(DeviceSortFilterProxyModel);
    const std::vector<Run> runs = runsOf(positions, 1);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const int last = run->first + run->count - 1;
        q->beginRemoveRows(QModelIndex(), run->first, last);
        order.erase(run->first, last);
        q->endRemoveRows();
    }
}

// Moves a visible row whose sort key changed to its new place.
void DeviceSortFilterProxyModelPrivate::moveRow(ProxyEntry *entry)
{
    Q_Q(DeviceSortFilterProxyModel);
    ProxySortKeys::refresh(*entry);
    const Entries &rows = order.entries();
    const int from = entry->proxyRow;
    int to = int(std::lower_bound(rows.begin(), rows.begin() + from, entry, keys.less()) - rows.begin());
    if (to == from) {
        to = int(std::lower_bound(rows.begin() + from + 1, rows.end(), entry, keys.less()) - rows.begin())
            - 1;
    }
    if (to == from) {
        return;
    }
    q->beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    order.move(from, to);
    q->endMoveRows();
}

// Places rows that join the proxy: one insertion per place they join at, or one reset
// when they scatter.
void DeviceSortFilterProxyModelPrivate::insertEntries(Entries entering)
{
    Q_Q(DeviceSortFilterProxyModel);
    keys.sort(entering);
    const Entries &rows = order.entries();
    std::vector<int> positions;
    positions.reserve(entering.size());
    auto from = rows.begin();
    for (ProxyEntry *entry : entering) {
        from = std::lower_bound(from, rows.end(), entry, keys.less());
        positions.push_back(int(from - rows.begin()));
    }
    const std::vector<Run> runs = runsOf(positions, 0);
    if (runs.size() > size_t(maxRowSignals)) {
        Entries merged;
        merged.reserve(rows.size() + entering.size());
        std::merge(rows.begin(), rows.end(), entering.begin(), entering.end(), std::back_inserter(merged),
            keys.less());
        replaceOrder(std::move(merged), false);
        return;
    }
    int offset = 0;
    for (const Run &run : runs) {
        const int first = run.first + offset;
        q->beginInsertRows(QModelIndex(), first, first + run.count - 1);
        const auto begin = entering.cbegin() + long(run.begin);
        order.insert(first, begin, begin + run.count);
        q->endInsertRows();
        offset += run.count;
    }
}

// Replaces the whole order: a layout change that carries the persistent indexes when
// only the order changes, else a reset (item views keep cached cells across a layout
// change that also adds or drops rows).
void DeviceSortFilterProxyModelPrivate::replaceOrder(Entries newOrder, bool sameRows)
{
    Q_Q(DeviceSortFilterProxyModel);
    if (!sameRows) {
        q->beginResetModel();
        order.assign(std::move(newOrder));
        q->endResetModel();
        return;
    }
    const auto hint = QAbstractItemModel::VerticalSortHint;
    Q_EMIT q->layoutAboutToBeChanged({}, hint);
    beginLayoutChange();
    order.assign(std::move(newOrder));
    endLayoutChange();
    Q_EMIT q->layoutChanged({}, hint);
}

// Notes the entries under the persistent indexes, to find them again after the change.
void DeviceSortFilterProxyModelPrivate::beginLayoutChange()
{
    Q_Q(DeviceSortFilterProxyModel);
    layoutIndexes = q->persistentIndexList();
    layoutEntries = order.entriesAt(layoutIndexes);
}

void DeviceSortFilterProxyModelPrivate::endLayoutChange()
{
    Q_Q(DeviceSortFilterProxyModel);
    const QModelIndexList from = std::exchange(layoutIndexes, {});
    const Entries entries = std::exchange(layoutEntries, {});
    QModelIndexList to;
    to.reserve(from.size());
    for (int i = 0; i < from.size(); ++i) {
        to.append(q->index(entries[size_t(i)]->proxyRow, from.at(i).column()));
    }
    q->changePersistentIndexList(from, to);
}

void DeviceSortFilterProxyModelPrivate::applyPending()
{
    queued = false;
    if (dirty.empty()) {
        return;
    }
    Entries batch;
    batch.swap(dirty);
    std::vector<int> leaving;
    Entries moving;
    Entries entering;
    Entries placed; // every accepted row of the batch
    for (ProxyEntry *entry : batch) {
        entry->dirty = false;
        const bool accepted = accepts(entry);
        if (accepted) {
            placed.push_back(entry);
        }
        if (entry->shown() && !accepted) {
            leaving.push_back(entry->proxyRow);
        } else if (entry->shown()) {
            if (keys.keyed() && entry->sortStale) {
                moving.push_back(entry);
            }
        } else if (accepted) {
            entering.push_back(entry);
        } else {
            entry->hide();
        }
    }

    if (leaving.size() + moving.size() > size_t(maxRowSignals)) {
        // Many rows at once (a rescan): take the batch out, then merge its rows back in.
        for (ProxyEntry *entry : batch) {
            ProxySortKeys::refresh(*entry);
            entry->mark = true;
        }
        Entries kept;
        kept.reserve(size_t(order.size()));
        std::copy_if(order.entries().begin(), order.entries().end(), std::back_inserter(kept),
            [](ProxyEntry *entry) { return !entry->mark; });
        for (ProxyEntry *entry : batch) {
            entry->mark = false;
        }
        keys.sort(placed);
        Entries merged;
        merged.reserve(kept.size() + placed.size());
        std::merge(
            kept.begin(), kept.end(), placed.begin(), placed.end(), std::back_inserter(merged), keys.less());
        replaceOrder(std::move(merged), leaving.empty() && entering.empty());
        return;
    }

    std::sort(leaving.begin(), leaving.end());
    removeRows(leaving);
    for (ProxyEntry *entry : moving) {
        moveRow(entry);
    }
    // Moved rows read their new keys one by one above; the rest may read theirs now.
    for (ProxyEntry *entry : batch) {
        ProxySortKeys::refresh(*entry);
    }
    if (!entering.empty()) {
        insertEntries(std::move(entering));
    }
}

// Filters and sorts every row afresh; a filter that can only narrow the shown rows
// filters those alone, in their order, while no change waits.
void DeviceSortFilterProxyModelPrivate::rebuild(bool narrower)
{
    Entries newOrder;
    if (narrower && dirty.empty()) {
        const Entries &shown = order.entries();
        const std::vector<unsigned char> passes
            = passing(this, shown.size(), false, [&shown](size_t i) { return shown[i]; });
        newOrder.reserve(shown.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            if (passes[i]) {
                newOrder.push_back(shown[i]);
            }
        }
    } else {
        clearDirty();
        newOrder = acceptedRows(true);
    }
    // A new filter changes many rows at once: views take a reset better than runs of
    // removals and insertions.
    for (ProxyEntry *entry : newOrder) {
        entry->mark = true;
    }
    const Entries &current = order.entries();
    const bool sameRows = current.size() == newOrder.size()
        && std::all_of(current.begin(), current.end(), [](ProxyEntry *entry) { return entry->mark; });
    for (ProxyEntry *entry : newOrder) {
        entry->mark = false;
    }
    if (!sameRows || current != newOrder) {
        replaceOrder(std::move(newOrder), sameRows);
    }
}

void DeviceSortFilterProxyModelPrivate::disconnectSource()
{
    for (const QMetaObject::Connection &connection : std::exchange(sourceConnections, {})) {
        QObject::disconnect(connection);
    }
}

void DeviceSortFilterProxyModelPrivate::loadRows()
{
    Q_Q(DeviceSortFilterProxyModel);
    // Only a proxy with a source loads rows.
    const int rowCount = q->sourceModel()->rowCount();
    rows.reserve(size_t(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        rows.push_back(makeEntry(row));
    }
    order.assign(acceptedRows(false));
    queueNamesAhead(0);
}

// The names' collation keys are read ahead, a few at a time while the event loop is free,
// so that the first sort by name does not read every one at once.
void DeviceSortFilterProxyModelPrivate::queueNamesAhead(size_t from)
{
    namesAhead = std::min(namesAhead, from);
    if (!namesTimer) {
        namesTimer = std::make_unique<QTimer>();
        namesTimer->setSingleShot(true);
        namesTimer->setInterval(0);
        QObject::connect(namesTimer.get(), &QTimer::timeout, [this] { readNamesAhead(); });
    }
    if (!namesTimer->isActive()) {
        namesTimer->start(); // not again on each insert of a scan
    }
}

void DeviceSortFilterProxyModelPrivate::readNamesAhead()
{
    // About a millisecond's work a turn.
    constexpr size_t ReadsATurn = 1000;
    constexpr size_t RowsATurn = 8 * ReadsATurn;
    const size_t end = std::min(rows.size(), namesAhead + RowsATurn);
    size_t read = 0;
    for (; namesAhead < end && read < ReadsATurn; ++namesAhead) {
        read += keys.readName(*rows[namesAhead]) ? 1 : 0;
    }
    if (namesAhead < rows.size()) {
        namesTimer->start();
    }
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
        const ProxyEntry *entry = rows[size_t(row)].get();
        if (entry->shown()) {
            positions.push_back(entry->proxyRow);
        }
        if (entry->device) {
            QObject::disconnect(entry->device, nullptr, watcher.get(), nullptr);
        }
    }
    std::sort(positions.begin(), positions.end());
    if (runsOf(positions, 1).size() <= size_t(maxRowSignals)) {
        removeRows(positions);
    } else {
        Entries kept;
        std::copy_if(order.entries().begin(), order.entries().end(), std::back_inserter(kept),
            [first, last](ProxyEntry *entry) { return entry->row < first || entry->row > last; });
        replaceOrder(std::move(kept), false);
    }
    dirty.erase(std::remove_if(dirty.begin(), dirty.end(),
                    [first, last](ProxyEntry *entry) { return entry->row >= first && entry->row <= last; }),
        dirty.end());
}

void DeviceSortFilterProxyModelPrivate::sourceRowsRemoved(int first, int last)
{
    if (first < 0 || first > last || last >= int(rows.size())) {
        return;
    }
    rows.erase(rows.begin() + first, rows.begin() + last + 1);
    renumberRows(first);
}

void DeviceSortFilterProxyModelPrivate::sourceRowsInserted(int first, int last)
{
    if (first < 0 || first > last || first > int(rows.size())) {
        return;
    }
    std::vector<std::unique_ptr<ProxyEntry>> added;
    added.reserve(size_t(last - first + 1));
    for (int row = first; row <= last; ++row) {
        added.push_back(makeEntry(row));
    }
    rows.insert(
        rows.begin() + first, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    renumberRows(last + 1);
    // New rows wait outside the proxy and join it in one batch.
    for (int row = first; row <= last; ++row) {
        markDirty(rows[size_t(row)].get());
    }
    queueNamesAhead(size_t(first));
}

void DeviceSortFilterProxyModelPrivate::renumberRows(int from)
{
    for (size_t row = size_t(from); row < rows.size(); ++row) {
        rows[row]->row = int(row);
    }
}

void DeviceSortFilterProxyModelPrivate::sourceLayoutAboutToBeChanged()
{
    Q_Q(DeviceSortFilterProxyModel);
    Q_EMIT q->layoutAboutToBeChanged();
    beginLayoutChange();
}

// The table reordered its rows: find each record's entry again by its device.
void DeviceSortFilterProxyModelPrivate::sourceLayoutChanged()
{
    Q_Q(DeviceSortFilterProxyModel);
    std::vector<std::unique_ptr<ProxyEntry>> old;
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
    for (const std::unique_ptr<ProxyEntry> &entry : old) {
        if (entry && entry->device) {
            QObject::disconnect(entry->device, nullptr, watcher.get(), nullptr);
        }
    }
    order.clear();
    clearDirty();
    order.assign(acceptedRows(true));
    endLayoutChange();
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
        ProxyEntry *entry = rows[size_t(row)].get();
        if (entry->shown()) {
            first = std::min(first, entry->proxyRow);
            last = std::max(last, entry->proxyRow);
        }
        // The cells may show new values: read them again on the next refresh.
        entry->keys.searchValid = false;
        entry->sortStale = keys.sorted();
        markDirty(entry);
    }
    if (last >= 0) {
        Q_EMIT q->dataChanged(q->index(first, topLeft.column()), q->index(last, bottomRight.column()), roles);
    }
}

void DeviceSortFilterProxyModelPrivate::updateSortRole()
{
    Q_Q(DeviceSortFilterProxyModel);
    const int previousWatched = sortWatched;
    sortWatched = -1;
    int sorted = -1;
    if (sortSection >= 0 && q->sourceModel()) {
        sorted = fieldOfRole(q->sourceModel()->roleNames().value(Qt::UserRole + sortSection));
        if (sorted >= 0 && field(sorted).changed) {
            sortWatched = sorted;
        }
    }
    keys.setSort(sortSection >= 0, sorted, sortMode == ZVRSortButton::Descend);
    rewatchIfNeeded(previousWatched);
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
