// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "arrangedcolumnsmodel.h"

#include "devicefinder.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>

#include <algorithm>

ArrangedColumnsModel::ArrangedColumnsModel(QObject *parent)
    : QAbstractProxyModel(parent)
    , m_selection(new QItemSelectionModel(this, this))
{
    m_selectionConnection = connect(
        m_selection, &QItemSelectionModel::selectionChanged, this, &ArrangedColumnsModel::selectionChanged);
}

ArrangedColumnsModel::~ArrangedColumnsModel() = default;

QStringList ArrangedColumnsModel::roles() const
{
    return m_roles;
}

void ArrangedColumnsModel::setRoles(const QStringList &roles)
{
    if (roles == m_roles) {
        return;
    }
    // The view builds its columns anew; the selected rows stay selected.
    QList<QPersistentModelIndex> selected;
    const bool ownSelection = m_selection->model() == this;
    if (sourceModel() && ownSelection) {
        for (const QVariant &row : selectedRows()) {
            selected << QPersistentModelIndex(sourceModel()->index(row.toInt(), 0));
        }
    }
    beginResetModel();
    m_roles = roles;
    m_rowCount = sourceModel() ? sourceModel()->rowCount() : 0;
    endResetModel();
    QItemSelection selection;
    for (const QPersistentModelIndex &source : qAsConst(selected)) {
        if (source.isValid()) {
            selection.select(index(source.row(), 0), index(source.row(), 0));
        }
    }
    if (!selection.isEmpty()) {
        m_selection->select(selection, QItemSelectionModel::Select);
    }
    Q_EMIT rolesChanged();
}

QItemSelectionModel *ArrangedColumnsModel::selection() const
{
    return m_selection;
}

void ArrangedColumnsModel::setSelection(QItemSelectionModel *selection)
{
    if (!selection || selection == m_selection) {
        return;
    }
    disconnect(m_selectionConnection);
    m_selection = selection;
    m_selectionConnection = connect(
        m_selection, &QItemSelectionModel::selectionChanged, this, &ArrangedColumnsModel::selectionChanged);
    if (rowCount() > 0 && columnCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { SelectedRole });
    }
    Q_EMIT selectionModelChanged();
    Q_EMIT selectedCountChanged();
}

DeviceFinder *ArrangedColumnsModel::finder() const
{
    return m_finder;
}

void ArrangedColumnsModel::setFinder(DeviceFinder *finder)
{
    if (finder == m_finder) {
        return;
    }
    disconnect(m_finderConnection);
    m_finder = finder;
    // Any row may have been confirmed or changed: the view asks again for the rows it shows.
    const auto changed = [this] {
        if (rowCount() > 0 && columnCount() > 0) {
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { AwaitingPortsRole });
        }
    };
    if (m_finder) {
        m_finderConnection = connect(m_finder, &DeviceFinder::awaitingScanChanged, this, changed);
    }
    changed();
    Q_EMIT finderChanged();
}

int ArrangedColumnsModel::selectedCount() const
{
    int count = 0;
    for (const QItemSelectionRange &range : m_selection->selection()) {
        count += range.height();
    }
    return count;
}

void ArrangedColumnsModel::setSourceModel(QAbstractItemModel *sourceModel)
{
    if (sourceModel == this->sourceModel()) {
        return;
    }
    beginResetModel();
    for (const QMetaObject::Connection &connection : qAsConst(m_connections)) {
        disconnect(connection);
    }
    m_connections.clear();
    QAbstractProxyModel::setSourceModel(sourceModel);
    m_devices = qobject_cast<DeviceSortFilterProxyModel *>(sourceModel);
    if (sourceModel) {
        using Model = QAbstractItemModel;
        const auto rows = [this](void (ArrangedColumnsModel::*begin)(const QModelIndex &, int, int)) {
            return [this, begin](const QModelIndex &parent, int first, int last) {
                if (!parent.isValid()) {
                    (this->*begin)(QModelIndex(), first, last);
                }
            };
        };
        const auto end = [this](void (ArrangedColumnsModel::*finish)()) {
            return [this, finish](const QModelIndex &parent) {
                if (!parent.isValid()) {
                    m_rowCount = this->sourceModel()->rowCount();
                    (this->*finish)();
                }
            };
        };
        m_connections
            << connect(sourceModel, &Model::rowsAboutToBeInserted, this, rows(&ArrangedColumnsModel::beginInsertRows))
            << connect(sourceModel, &Model::rowsInserted, this, end(&ArrangedColumnsModel::endInsertRows))
            << connect(sourceModel, &Model::rowsAboutToBeRemoved, this, rows(&ArrangedColumnsModel::beginRemoveRows))
            << connect(sourceModel, &Model::rowsRemoved, this, end(&ArrangedColumnsModel::endRemoveRows))
            << connect(sourceModel, &Model::rowsAboutToBeMoved, this,
                   [this](const QModelIndex &, int first, int last, const QModelIndex &, int to) {
                       beginMoveRows(QModelIndex(), first, last, QModelIndex(), to);
                   })
            << connect(sourceModel, &Model::rowsMoved, this, [this] { endMoveRows(); })
            << connect(sourceModel, &Model::modelAboutToBeReset, this, &ArrangedColumnsModel::sourceAboutToReset)
            << connect(sourceModel, &Model::modelReset, this, &ArrangedColumnsModel::sourceReset)
            << connect(sourceModel, &QObject::destroyed, this,
                   [this] {
                       beginResetModel();
                       m_devices = nullptr;
                       m_rowCount = 0;
                       endResetModel();
                   })
            << connect(sourceModel, &Model::layoutAboutToBeChanged, this,
                   &ArrangedColumnsModel::sourceLayoutAboutToChange)
            << connect(sourceModel, &Model::layoutChanged, this, &ArrangedColumnsModel::sourceLayoutChanged)
            << connect(sourceModel, &Model::layoutChanged, this, &ArrangedColumnsModel::followRowCount)
            << connect(sourceModel, &Model::dataChanged, this,
                   [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                       if (!m_roles.isEmpty() && topLeft.isValid() && bottomRight.isValid()) {
                           Q_EMIT dataChanged(index(topLeft.row(), 0), index(bottomRight.row(), columnCount() - 1));
                       }
                   });
    }
    m_rowCount = sourceModel ? sourceModel->rowCount() : 0;
    endResetModel();
}

QModelIndex ArrangedColumnsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex ArrangedColumnsModel::parent(const QModelIndex &child) const
{
    Q_UNUSED(child)
    return QModelIndex();
}

int ArrangedColumnsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int ArrangedColumnsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_roles.size());
}

QModelIndex ArrangedColumnsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!sourceModel() || !proxyIndex.isValid() || proxyIndex.model() != this) {
        return QModelIndex();
    }
    return sourceModel()->index(proxyIndex.row(), 0);
}

QModelIndex ArrangedColumnsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceModel() || !sourceIndex.isValid() || sourceIndex.model() != sourceModel()) {
        return QModelIndex();
    }
    return index(sourceIndex.row(), 0);
}

QVariant ArrangedColumnsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || !m_devices) {
        return QVariant();
    }
    switch (role) {
    case DeviceRole:
        return QVariant::fromValue<QObject *>(m_devices->device(index.row()));
    case ColumnRoleRole:
        return m_roles.value(index.column());
    case TableRowRole:
        return m_devices->sourceRow(index.row());
    case SelectedRole:
        return isRowSelected(index.row());
    case AwaitingPortsRole:
        return m_finder ? m_finder->awaitingPorts(m_devices->device(index.row())) : 0;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ArrangedColumnsModel::roleNames() const
{
    return { { DeviceRole, "device" }, { ColumnRoleRole, "columnRole" }, { TableRowRole, "tableRow" },
        { SelectedRole, "selected" }, { AwaitingPortsRole, "awaitingPorts" } };
}

void ArrangedColumnsModel::selectRow(int row, int modifiers)
{
    // A shared selection holds the indexes of its own model, which has the same rows.
    const QAbstractItemModel *rows = m_selection->model();
    const QModelIndex clicked = rows && row < rowCount() ? rows->index(row, 0) : QModelIndex();
    if (!clicked.isValid()) {
        return;
    }
    if ((modifiers & Qt::ShiftModifier) && m_anchor.isValid()) {
        const int from = qMin(m_anchor.row(), row);
        const int to = qMax(m_anchor.row(), row);
        m_selection->select(
            QItemSelection(rows->index(from, 0), rows->index(to, 0)), QItemSelectionModel::ClearAndSelect);
    } else {
        m_selection->select(clicked,
            (modifiers & Qt::ControlModifier) ? QItemSelectionModel::Toggle : QItemSelectionModel::ClearAndSelect);
        m_anchor = clicked;
    }
    m_selection->setCurrentIndex(clicked, QItemSelectionModel::NoUpdate);
}

bool ArrangedColumnsModel::isRowSelected(int row) const
{
    const QAbstractItemModel *rows = m_selection->model();
    return rows && m_selection->isSelected(rows->index(row, 0));
}

QVariantList ArrangedColumnsModel::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : m_selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows << row;
        }
    }
    std::sort(rows.begin(), rows.end());
    QVariantList list;
    for (int row : qAsConst(rows)) {
        list << row;
    }
    return list;
}

int ArrangedColumnsModel::checkShown()
{
    if (!m_devices) {
        return 0;
    }
    int checked = 0;
    const int count = m_devices->rowCount();
    for (int row = 0; row < count; ++row) {
        const DeviceData *device = m_devices->device(row);
        if (device && device->online() && !device->checked()) {
            m_devices->checkDevice(row, true);
            ++checked;
        }
    }
    return checked;
}

void ArrangedColumnsModel::sourceAboutToReset()
{
    // A new filter resets the rows: the selected devices that it still shows stay selected.
    keepSelectedDevices();
}

void ArrangedColumnsModel::keepSelectedDevices()
{
    m_keptSelected.clear();
    if (m_devices && m_selection->model() == this) {
        for (const QVariant &row : selectedRows()) {
            m_keptSelected.insert(m_devices->device(row.toInt()));
        }
    }
}

void ArrangedColumnsModel::selectKeptDevices()
{
    if (m_keptSelected.isEmpty()) {
        return;
    }
    std::vector<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        if (m_keptSelected.contains(m_devices->device(row))) {
            rows.push_back(row);
        }
    }
    m_keptSelected.clear();
    selectRows(std::move(rows));
}

// One range for each run of adjacent rows, not one for each row.
void ArrangedColumnsModel::selectRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    for (size_t first = 0, last = 0; first < rows.size(); first = ++last) {
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1) {
            ++last;
        }
        selection.select(index(rows[first], 0), index(rows[last], 0));
    }
    m_selection->select(selection, QItemSelectionModel::Select);
}

// A reset makes a view build every row anew; rows that leave or join at the end and a
// layout change of the rows' order let it rebind the rows it has to the new ones.
void ArrangedColumnsModel::sourceReset()
{
    if (m_selection->model() == this) {
        m_selection->reset();
        m_anchor = QPersistentModelIndex();
    }
    followRowCount();
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // No index stands for the same device as before.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList gone;
    gone.reserve(persistent.size());
    for (int i = 0; i < persistent.size(); ++i) {
        gone.append(QModelIndex());
    }
    changePersistentIndexList(persistent, gone);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT selectedCountChanged();
    selectKeptDevices();
}

void ArrangedColumnsModel::followRowCount()
{
    const int rows = sourceModel() ? sourceModel()->rowCount() : 0;
    if (rows < m_rowCount) {
        beginRemoveRows(QModelIndex(), rows, m_rowCount - 1);
        m_rowCount = rows;
        endRemoveRows();
    } else if (rows > m_rowCount) {
        beginInsertRows(QModelIndex(), m_rowCount, rows - 1);
        m_rowCount = rows;
        endInsertRows();
    }
}

// A new order reaches the views as new data in every row, not as a layout change, so that
// they keep their cells and only rebind them (a layout change makes a table view lay out
// and refill every cell). Persistent indexes still follow their rows' devices; the
// selection, whose ranges would not, is taken off and put back by the source rows, which
// the source moves for us.
void ArrangedColumnsModel::sourceLayoutAboutToChange(
    const QList<QPersistentModelIndex> &parents, QAbstractItemModel::LayoutChangeHint hint)
{
    Q_UNUSED(parents)
    Q_UNUSED(hint)
    m_layoutSelected.clear();
    if (m_selection->model() == this && m_selection->hasSelection()) {
        for (const QVariant &row : selectedRows()) {
            m_layoutSelected << QPersistentModelIndex(mapToSource(index(row.toInt(), 0)));
        }
        m_selection->select(QItemSelection(), QItemSelectionModel::Clear);
    }
    // Each persistent index follows its row's source index; its column stays.
    m_layoutIndexes = persistentIndexList();
    m_layoutSources.clear();
    for (const QModelIndex &proxyIndex : qAsConst(m_layoutIndexes)) {
        m_layoutSources << QPersistentModelIndex(mapToSource(proxyIndex));
    }
}

void ArrangedColumnsModel::sourceLayoutChanged(
    const QList<QPersistentModelIndex> &parents, QAbstractItemModel::LayoutChangeHint hint)
{
    Q_UNUSED(parents)
    Q_UNUSED(hint)
    QModelIndexList moved;
    for (int i = 0; i < m_layoutIndexes.size(); ++i) {
        const QPersistentModelIndex &source = m_layoutSources.at(i);
        moved << (source.isValid() ? index(source.row(), m_layoutIndexes.at(i).column()) : QModelIndex());
    }
    changePersistentIndexList(m_layoutIndexes, moved);
    m_layoutIndexes.clear();
    m_layoutSources.clear();
    if (rowCount() > 0 && columnCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
            { DeviceRole, TableRowRole, SelectedRole, AwaitingPortsRole });
    }
    if (!m_layoutSelected.isEmpty()) {
        std::vector<int> rows;
        for (const QPersistentModelIndex &source : qAsConst(m_layoutSelected)) {
            if (source.isValid()) {
                rows.push_back(source.row());
            }
        }
        m_layoutSelected.clear();
        selectRows(std::move(rows));
    }
}

void ArrangedColumnsModel::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    // The cells of every row whose selection changed show it.
    const int last = columnCount() - 1;
    for (const QItemSelection &ranges : { selected, deselected }) {
        for (const QItemSelectionRange &range : ranges) {
            if (range.isValid() && last >= 0) {
                Q_EMIT dataChanged(index(range.top(), 0), index(range.bottom(), last), { SelectedRole });
            }
        }
    }
    Q_EMIT selectedCountChanged();
}

// Qt 6 moc needs the complete type of the finder property; it is known here.
#include "moc_arrangedcolumnsmodel.cpp"
