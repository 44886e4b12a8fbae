// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_QMLDEVICESORTFILTERPROXYMODEL_H
#define ZVR_QMLDEVICESORTFILTERPROXYMODEL_H

#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include "zvrviewmodelqml_global.h"

#include <QtQml/qqml.h>

namespace ZVR {

/*! \brief The proxy as QML creates it: DeviceSortFilterProxyModel, whose records
 *  stay owned by C++ (keepRecordsOwnedByCpp()) when device() hands them to QML.
 *  Adds nothing to the proxy's properties or methods.
 */
class ZVRVIEWMODELQML_EXPORT QmlDeviceSortFilterProxyModel : public DeviceSortFilterProxyModel
{
    Q_OBJECT
    QML_NAMED_ELEMENT(DeviceSortFilterProxyModel)

public:
    explicit QmlDeviceSortFilterProxyModel(QObject *parent = nullptr);
    ~QmlDeviceSortFilterProxyModel() override;
};

} // namespace ZVR

#endif // ZVR_QMLDEVICESORTFILTERPROXYMODEL_H
