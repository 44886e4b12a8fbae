// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICESORTFILTERPROXYMODEL_P_H
#define ZVR_DEVICESORTFILTERPROXYMODEL_P_H

#include "devicesortfilterproxymodel.h"
#include "proxyorder_p.h"
#include "proxysortkeys_p.h"

#include <QModelIndexList>
#include <QTimer>
#include <QVector>

#include <memory>
#include <vector>

namespace ZVR {
namespace Private {
// A MAC address as bare lower-case hex digits, so that any separator or case matches;
// empty for a text that is no MAC.
QString macDigits(const QString &text);
// Whether every unit of the text is ASCII, whose lower case is its case folding.
bool isAscii(const QString &text);
} // namespace Private
} // namespace ZVR

// The proxy's state and its handlers of the table's and the records' signals.
class DeviceSortFilterProxyModelPrivate
{
public:
    using ProxyEntry = ZVR::Private::ProxyEntry;
    using Entries = ZVR::Private::Entries;

    explicit DeviceSortFilterProxyModelPrivate(DeviceSortFilterProxyModel *q)
        : q_ptr(q)
    {
    }

    DeviceData *deviceAtSourceRow(int row) const;
    std::unique_ptr<ProxyEntry> makeEntry(int row);
    void watch(ProxyEntry *entry);
    void unwatchAll();
    void rewatchIfNeeded(int previousWatched);
    void deviceChanged(ProxyEntry *entry, int fieldIndex);
    void markDirty(ProxyEntry *entry);
    void clearDirty();
    bool matchesSearch(ProxyEntry *entry);
    bool filtering() const;
    // Safe on any thread while the records stay as they are: it writes only the entry's keys.
    bool accepts(ProxyEntry *entry);
    Entries acceptedRows(bool refreshKeys);
    void schedule();
    void applyPending();
    void rebuild(bool narrower = false);
    void disconnectSource();
    void loadRows();
    void clearRows();
    void renumberRows(int from);
    void removeRows(const std::vector<int> &positions);
    void moveRow(ProxyEntry *entry);
    void insertEntries(Entries entering);
    void replaceOrder(Entries newOrder, bool sameRows);
    void beginLayoutChange();
    void endLayoutChange();
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsInserted(int first, int last);
    void sourceLayoutAboutToBeChanged();
    void sourceLayoutChanged();
    void sourceDataChanged(
        const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void updateSortRole();
    void updateCount();
    void queueNamesAhead(size_t from);
    void readNamesAhead();

    DeviceSortFilterProxyModel *const q_ptr;
    Q_DECLARE_PUBLIC(DeviceSortFilterProxyModel)

    int statusFilter = DeviceSortFilterProxyModel::AllStatus;
    QString searchText;
    int sortSection = -1;
    int sortMode = ZVRSortButton::None;
    int sortWatched = -1; // the sorted field when it has a change signal, else -1
    QString searchLower;
    bool searchAscii = true; // searchLower is plain ASCII
    QString searchMac; // the search text as bare MAC digits, empty unless it reads as one
    int count = 0;
    bool queued = false;
    int batchInterval = 0;
    size_t namesAhead = 0; // the next row whose name's key is read ahead
    std::unique_ptr<QTimer> namesTimer; // not the proxy's own events: views see none
    ZVR::Private::ProxySortKeys keys;
    QVector<QMetaObject::Connection> sourceConnections;

    std::vector<std::unique_ptr<ProxyEntry>> rows; // in the table's order
    ZVR::Private::ProxyOrder order; // the proxy's rows
    Entries dirty;
    // Receives the devices' signals; replacing it drops every connection at once.
    std::unique_ptr<QObject> watcher = std::make_unique<QObject>();
    // Across a layout change: the persistent indexes and the entries under them.
    QModelIndexList layoutIndexes;
    Entries layoutEntries;
};

#endif // ZVR_DEVICESORTFILTERPROXYMODEL_P_H
