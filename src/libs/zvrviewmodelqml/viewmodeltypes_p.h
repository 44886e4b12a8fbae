// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_VIEWMODELTYPES_P_H
#define ZVR_VIEWMODELTYPES_P_H

// The library's classes as the module ZVR.ViewModel shows them to QML. On Qt 6 the
// type registrar reads these declarations (and writes the type information that
// tooling reads); on Qt 5 registerViewModelTypes() registers the same.

#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/comboboxmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/viewmodellistmodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QtQml/qqml.h>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)

namespace ZVR {
namespace QmlTypes {

struct DeviceDataType
{
    Q_GADGET
    QML_FOREIGN(DeviceData)
    QML_NAMED_ELEMENT(DeviceData)
    QML_UNCREATABLE("Records come from the scan back-end")
};

struct SettingResultDataType
{
    Q_GADGET
    QML_FOREIGN(SettingResultData)
    QML_NAMED_ELEMENT(SettingResultData)
    QML_UNCREATABLE("Records come from the scan back-end")
};

struct DeviceTableModelType
{
    Q_GADGET
    QML_FOREIGN(DeviceTableModel)
    QML_NAMED_ELEMENT(DeviceTableModel)
};

struct SettingResultTableModelType
{
    Q_GADGET
    QML_FOREIGN(SettingResultTableModel)
    QML_NAMED_ELEMENT(SettingResultTableModel)
};

struct ComboBoxModelType
{
    Q_GADGET
    QML_FOREIGN(ComboBoxModel)
    QML_NAMED_ELEMENT(ComboBoxModel)
};

struct ViewModelListModelType
{
    Q_GADGET
    QML_FOREIGN(ZVR::ViewModelListModel)
    QML_NAMED_ELEMENT(ViewModelListModel)
    QML_UNCREATABLE("Abstract base")
};

struct AbstractDeviceListModelType
{
    Q_GADGET
    QML_FOREIGN(ZVR::ViewModel::AbstractDeviceListModel)
    QML_NAMED_ELEMENT(AbstractDeviceListModel)
    QML_UNCREATABLE("Abstract base")
};

// The proxy that C++ hands over; QML creates ZVR::QmlDeviceSortFilterProxyModel.
struct DeviceSortFilterProxyModelType
{
    Q_GADGET
    QML_FOREIGN(DeviceSortFilterProxyModel)
    QML_ANONYMOUS
};

struct ZVRCheckBoxType
{
    Q_GADGET
    QML_FOREIGN(ZVRCheckBox)
    QML_NAMED_ELEMENT(ZVRCheckBox)
    QML_UNCREATABLE("Carries an enumeration only")
};

struct ZVRMessageBoxType
{
    Q_GADGET
    QML_FOREIGN(ZVRMessageBox)
    QML_NAMED_ELEMENT(ZVRMessageBox)
    QML_UNCREATABLE("Carries an enumeration only")
};

struct ZVRSortButtonType
{
    Q_GADGET
    QML_FOREIGN(ZVRSortButton)
    QML_NAMED_ELEMENT(ZVRSortButton)
    QML_UNCREATABLE("Carries an enumeration only")
};

} // namespace QmlTypes
} // namespace ZVR

#endif

#endif // ZVR_VIEWMODELTYPES_P_H
