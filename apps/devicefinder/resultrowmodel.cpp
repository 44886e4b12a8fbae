// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "resultrowmodel.h"

#include <zvrviewmodel/displaytexts.h>

void ResultRowModel::reset(const QVector<ResultRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    count();
    select();
    endResetModel();
    Q_EMIT rowsReset();
}

void ResultRowModel::settle(const QHash<QString, ResultRow> &settled)
{
    beginResetModel();
    for (ResultRow &row : m_rows) {
        const auto it = settled.constFind(row.mac);
        if (it != settled.constEnd()) {
            row = it.value();
        }
    }
    count();
    select();
    endResetModel();
    Q_EMIT rowsReset();
}

void ResultRowModel::count()
{
    m_failures = 0;
    m_unconfirmed = 0;
    m_retryable = 0;
    for (const ResultRow &row : qAsConst(m_rows)) {
        m_retryable += row.state == ResultRow::Failed && !row.locked ? 1 : 0;
        m_failures += row.state == ResultRow::Failed ? 1 : 0;
        m_unconfirmed += row.state == ResultRow::Unconfirmed ? 1 : 0;
    }
}

const QVector<ResultRow> &ResultRowModel::rows() const
{
    return m_rows;
}

bool ResultRowModel::failuresOnly() const
{
    return m_failuresOnly;
}

void ResultRowModel::setFailuresOnly(bool failuresOnly)
{
    if (m_failuresOnly == failuresOnly) {
        return;
    }
    beginResetModel();
    m_failuresOnly = failuresOnly;
    select();
    endResetModel();
    Q_EMIT failuresOnlyChanged();
}

int ResultRowModel::failureCount() const
{
    return m_failures;
}

int ResultRowModel::unconfirmedCount() const
{
    return m_unconfirmed;
}

int ResultRowModel::retryableCount() const
{
    return m_retryable;
}

int ResultRowModel::totalCount() const
{
    return m_rows.size();
}

QStringList ResultRowModel::headers() const
{
    return { tr("序号"), tr("名称"), tr("MAC地址"), tr("原IP地址"), tr("新IP地址"), tr("修改结果"),
        tr("详情") };
}

QVector<QStringList> ResultRowModel::table() const
{
    QVector<QStringList> table;
    table.reserve(m_shown.size());
    for (const int i : m_shown) {
        table << cells(i);
    }
    return table;
}

int ResultRowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown.size();
}

QVariant ResultRowModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    const int row = m_shown.at(index.row());
    switch (role) {
    case CellsRole:
        return cells(row);
    case SucceededRole:
        return m_rows.at(row).succeeded();
    case StateRole:
        return m_rows.at(row).state;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ResultRowModel::roleNames() const
{
    return { { CellsRole, "cells" }, { SucceededRole, "succeeded" }, { StateRole, "outcome" } };
}

QStringList ResultRowModel::cells(int row) const
{
    const ResultRow &r = m_rows.at(row);
    switch (r.state) {
    case ResultRow::Succeeded:
        return { QString::number(row + 1), r.name, r.mac, r.oldIp, r.newIp, STR_MODIFY_SUCCESS, r.detail };
    case ResultRow::Unconfirmed:
        return { QString::number(row + 1), r.name, r.mac, r.oldIp, tr("未确认"), tr("未确认"), r.detail };
    case ResultRow::Failed:
        break;
    }
    return { QString::number(row + 1), r.name, r.mac, r.oldIp, tr("未更改"), STR_MODIFY_FAILURE, r.detail };
}

void ResultRowModel::select()
{
    m_shown.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!m_failuresOnly || !m_rows.at(i).succeeded()) {
            m_shown << i;
        }
    }
}
