// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "qmldevicesortfilterproxymodel.h"

#include "qmlownership.h"

namespace ZVR {

QmlDeviceSortFilterProxyModel::QmlDeviceSortFilterProxyModel(QObject *parent)
    : DeviceSortFilterProxyModel(parent)
{
    keepRecordsOwnedByCpp(this);
}

QmlDeviceSortFilterProxyModel::~QmlDeviceSortFilterProxyModel() = default;

} // namespace ZVR
