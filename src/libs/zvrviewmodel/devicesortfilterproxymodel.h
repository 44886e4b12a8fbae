// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICESORTFILTERPROXYMODEL_H
#define ZVR_DEVICESORTFILTERPROXYMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <zvrviewmodel/zvrenums.h>

#include <QAbstractProxyModel>
#include <QString>

#include <memory>

class DeviceData;
class DeviceSortFilterProxyModelPrivate;

/*! \brief Extension: sorts and filters a DeviceTableModel for the interface.
 *
 *  Not one of the table's own classes: an addition for hosts that want a sortable,
 *  filterable device table. A column sorts by the DeviceData property that its role
 *  names (addresses by their integer value, texts with a Chinese collator); rows are
 *  filtered by DeviceData::DeviceStatus and by a search text matched against name,
 *  addresses, MAC addresses and serial number.
 *
 *  The device table never emits dataChanged, so the proxy watches the change signals
 *  of every device in its source instead. Changes that affect the current order or
 *  filter are collected and applied once, on the next turn of the event loop; call
 *  refresh() to apply them at once.
 *
 *  Rows that the table inserts are not in the proxy yet when appendDevice() returns:
 *  rowCount() and count() leave them out until the next turn of the event loop (or
 *  until batchInterval() has passed), when they join in batches. Call refresh() to
 *  place them at once. Rows the table removes leave the proxy at once.
 *
 *  Rows of the proxy are not rows of the table: checkDevice() and editSignalDevice()
 *  map a proxy row to the table's row before they call the table.
 */
class ZVRVIEWMODEL_EXPORT DeviceSortFilterProxyModel : public QAbstractProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int statusFilter READ statusFilter WRITE setStatusFilter NOTIFY statusFilterChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int sortSection READ sortSection NOTIFY sortChanged)
    Q_PROPERTY(int sortMode READ sortMode NOTIFY sortChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    //! The statusFilter value that lets every status through.
    static constexpr int AllStatus = -1;

    //! A proxy without a source; every row passes, in the source's order.
    explicit DeviceSortFilterProxyModel(QObject *parent = nullptr);
    ~DeviceSortFilterProxyModel() override;

    //! Takes a DeviceTableModel (or any table whose cells hand out DeviceData).
    void setSourceModel(QAbstractItemModel *sourceModel) override;

    //!@{
    //! The QAbstractItemModel interface.
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    //!@}
    //! sortByColumn() for item views: a negative column restores the table's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    //!@{
    //! A DeviceData::DeviceStatus value, or AllStatus (-1); any other value is refused
    //! with a warning and changes nothing.
    int statusFilter() const;
    void setStatusFilter(int status);
    //!@}

    //!@{
    //! Rows whose name, addresses, MAC addresses or serial number contain this text
    //! (ignoring case) pass; an empty text lets every row through.
    QString searchText() const;
    void setSearchText(const QString &text);
    //!@}

    //! The sorted column, -1 while the table's own order is shown.
    int sortSection() const;
    //! A ZVRSortButton::SortMode value.
    int sortMode() const;
    /*! Sorts by \a section in the ZVRSortButton::SortMode \a mode; ZVRSortButton::None
     *  (or a section outside the columns) restores the table's own order.
     */
    Q_INVOKABLE void sortByColumn(int section, int mode);

    //! The number of rows that pass the filter.
    int count() const;

    //! The device of a proxy row, or null for a row outside the proxy.
    Q_INVOKABLE DeviceData *device(int proxyRow) const;

    //! The table's row of a proxy row, or -1.
    Q_INVOKABLE int sourceRow(int proxyRow) const;
    //! The proxy row of a table's row, or -1 while the filter hides it.
    Q_INVOKABLE int proxyRow(int sourceRow) const;
    //! The role name of \a section in the source, as the table's columnRole() gives it.
    Q_INVOKABLE QString columnRole(int section) const;

    //! DeviceTableModel::checkDevice() for the device of a proxy row.
    Q_INVOKABLE void checkDevice(int proxyRow, bool checked);
    //! DeviceTableModel::editSignalDevice() for the device of a proxy row.
    Q_INVOKABLE void editSignalDevice(int proxyRow);

    //! Applies collected device changes and places inserted rows now instead of on the
    //! next event-loop turn.
    Q_INVOKABLE void refresh();
    //! Whether collected changes wait for the next turn (or batchInterval()).
    bool isRefreshPending() const;

    //!@{
    /*! How long collected changes and inserted rows wait before they reach the views,
     *  in milliseconds; 0 (the default) applies them on the next event-loop turn. A
     *  longer wait lets a view that rebuilds its cells on every insert do so less often
     *  while a scan reports thousands of devices.
     */
    int batchInterval() const;
    void setBatchInterval(int milliseconds);
    //!@}

Q_SIGNALS:
    //!@{
    //! Emitted after the property of the same name changed; sortChanged() covers
    //! sortSection and sortMode.
    void statusFilterChanged();
    void searchTextChanged();
    void sortChanged();
    void countChanged();
    //!@}

private:
    Q_DECLARE_PRIVATE(DeviceSortFilterProxyModel)
    Q_DISABLE_COPY(DeviceSortFilterProxyModel)
    std::unique_ptr<DeviceSortFilterProxyModelPrivate> const d_ptr;
};

#endif // ZVR_DEVICESORTFILTERPROXYMODEL_H
