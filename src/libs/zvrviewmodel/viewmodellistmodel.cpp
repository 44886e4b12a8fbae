// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "viewmodellistmodel.h"

namespace ZVR {

ViewModelListModel::ViewModelListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

ViewModelListModel::~ViewModelListModel() = default;

// Nothing changes between the two signals: the views simply read everything again.
void ViewModelListModel::reload()
{
    beginResetModel();
    endResetModel();
}

// Pure virtual, yet defined: a subclass may call up to it.
void ViewModelListModel::createConnects() { }

// Rows are not checked against rowCount(): a row past the end yields an invalid index,
// which goes into the signal as it is.
void ViewModelListModel::updateRowData(const int &first, const int &last)
{
    if (first < 0 || last < 0) {
        return;
    }
    const QModelIndex topLeft = index(first, 0, QModelIndex());
    const int columns = columnCount(QModelIndex());
    const QModelIndex bottomRight = index(last, columns - 1, QModelIndex());
    Q_EMIT dataChanged(topLeft, bottomRight, {});
}

void ViewModelListModel::updateRowData(const int &row)
{
    updateRowData(row, row);
}

} // namespace ZVR
