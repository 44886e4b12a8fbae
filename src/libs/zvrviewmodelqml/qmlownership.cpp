// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "qmlownership.h"

#include <QAbstractItemModel>
#include <QDebug>
#include <QQmlEngine>
#include <QVariant>

namespace ZVR {

namespace {

// Set on a model whose records are already kept, so that a second call adds nothing.
const char KeptMarker[] = "_zvr_recordsOwnedByCpp";

void markRows(const QAbstractItemModel *model, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        QObject *const record = model->data(model->index(row, 0)).value<QObject *>();
        if (record) {
            QQmlEngine::setObjectOwnership(record, QQmlEngine::CppOwnership);
        }
    }
}

} // namespace

void keepRecordsOwnedByCpp(QAbstractItemModel *model)
{
    if (!model) {
        qWarning() << "keepRecordsOwnedByCpp: no model";
        return;
    }
    if (model->property(KeptMarker).toBool()) {
        return;
    }
    model->setProperty(KeptMarker, true);
    markRows(model, 0, model->rowCount() - 1);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, model,
        [model](const QModelIndex &parent, int first, int last) {
            if (!parent.isValid()) {
                markRows(model, first, last);
            }
        });
    QObject::connect(model, &QAbstractItemModel::modelReset, model,
        [model] { markRows(model, 0, model->rowCount() - 1); });
}

} // namespace ZVR
