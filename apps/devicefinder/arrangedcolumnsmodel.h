// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_ARRANGEDCOLUMNSMODEL_H
#define ZVR_DEVICEFINDER_ARRANGEDCOLUMNSMODEL_H

#include <QAbstractProxyModel>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QSet>
#include <QStringList>
#include <QVariantList>

#include <vector>

class DeviceFinder;
class DeviceSortFilterProxyModel;

/*! \brief The rows of the sorted and filtered device list with the columns the user
 *  arranged: column c shows the device property roles()[c], any property of the record,
 *  whether or not the device table has a column for it.
 *
 *  Each cell gives the row's device ("device"), the property its column shows
 *  ("columnRole"), the device's row in the device table ("tableRow"), whether the row
 *  is selected ("selected") and which of its device's ports show a change that its next
 *  scan report is to confirm ("awaitingPorts", DeviceFinder::awaitingPorts(), with
 *  finder() set). The row selection lives in selection(), over this model,
 *  and follows the rows through sorting and filtering; it is apart from the devices'
 *  check boxes.
 */
class ArrangedColumnsModel : public QAbstractProxyModel
{
    Q_OBJECT
    Q_PROPERTY(QStringList roles READ roles WRITE setRoles NOTIFY rolesChanged)
    //! Its own by default; another one over a model of the same rows may be shared.
    Q_PROPERTY(QItemSelectionModel *selection READ selection WRITE setSelection NOTIFY selectionModelChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectedCountChanged)
    //! Tells which devices show a change that their next scan report is to confirm.
    Q_PROPERTY(DeviceFinder *finder READ finder WRITE setFinder NOTIFY finderChanged)

public:
    enum Role
    {
        DeviceRole = Qt::UserRole + 1,
        ColumnRoleRole,
        TableRowRole,
        SelectedRole,
        AwaitingPortsRole
    };
    Q_ENUM(Role)

    explicit ArrangedColumnsModel(QObject *parent = nullptr);
    ~ArrangedColumnsModel() override;

    QStringList roles() const;
    void setRoles(const QStringList &roles);
    QItemSelectionModel *selection() const;
    void setSelection(QItemSelectionModel *selection);
    int selectedCount() const;
    DeviceFinder *finder() const;
    void setFinder(DeviceFinder *finder);

    //! Takes a DeviceSortFilterProxyModel; any other model gives rows without devices.
    void setSourceModel(QAbstractItemModel *sourceModel) override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    //! Every column of a row stands for the row: it maps to the source's first column.
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    /*! A click or a move of the current row: \a row alone, toggled with Ctrl, or with
     *  Shift the rows from the last one clicked.
     */
    Q_INVOKABLE void selectRow(int row, int modifiers);
    Q_INVOKABLE bool isRowSelected(int row) const;
    //! The selected rows in the order shown.
    Q_INVOKABLE QVariantList selectedRows() const;
    /*! Checks every shown row that a change can take (online devices; offline and
     *  faulty ones stay unchecked); returns how many it checked.
     */
    Q_INVOKABLE int checkShown();

Q_SIGNALS:
    void rolesChanged();
    void selectedCountChanged();
    void selectionModelChanged();
    void finderChanged();

private:
    void sourceAboutToReset();
    void sourceReset();
    void keepSelectedDevices();
    void selectKeptDevices();
    void selectRows(std::vector<int> rows);
    //! Follows the source's row count with row signals of its own.
    void followRowCount();
    void sourceLayoutAboutToChange(const QList<QPersistentModelIndex> &parents,
        QAbstractItemModel::LayoutChangeHint hint);
    void sourceLayoutChanged(
        const QList<QPersistentModelIndex> &parents, QAbstractItemModel::LayoutChangeHint hint);
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected);

    Q_DISABLE_COPY(ArrangedColumnsModel)
    DeviceSortFilterProxyModel *m_devices = nullptr;
    DeviceFinder *m_finder = nullptr;
    QMetaObject::Connection m_finderConnection;
    QStringList m_roles;
    // The rows the views know of: across a reset of the source they follow it by row
    // signals and a layout change, so that the views keep their cells for reuse.
    int m_rowCount = 0;
    QItemSelectionModel *m_selection;
    QMetaObject::Connection m_selectionConnection;
    QPersistentModelIndex m_anchor;
    QVector<QMetaObject::Connection> m_connections;
    // The persistent indexes over a new order of the source, and their rows' source indexes.
    QModelIndexList m_layoutIndexes;
    QList<QPersistentModelIndex> m_layoutSources;
    // The selected devices across a reset of the source, and the selected rows' source
    // indexes across a new order.
    QSet<const QObject *> m_keptSelected;
    QList<QPersistentModelIndex> m_layoutSelected;
};

#endif // ZVR_DEVICEFINDER_ARRANGEDCOLUMNSMODEL_H
