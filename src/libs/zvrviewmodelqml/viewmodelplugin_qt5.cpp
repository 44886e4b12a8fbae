// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
// The module ZVR.ViewModel on Qt 5: a QML plugin that registers the library's classes.
#include "qmldevicesortfilterproxymodel.h"
#include "viewmodeltypes_p.h"

#include <QQmlEngine>
#include <QQmlExtensionPlugin>

class ZvrViewModelPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QQmlExtensionInterface_iid)

public:
    void registerTypes(const char *uri) override
    {
        Q_ASSERT(qstrcmp(uri, "ZVR.ViewModel") == 0);
        const QString fromScan = QStringLiteral("Records come from the scan back-end");
        const QString enumsOnly = QStringLiteral("Carries an enumeration only");
        const QString abstractBase = QStringLiteral("Abstract base");

        qmlRegisterUncreatableType<DeviceData>(uri, 1, 0, "DeviceData", fromScan);
        qmlRegisterUncreatableType<SettingResultData>(uri, 1, 0, "SettingResultData", fromScan);
        qmlRegisterType<DeviceTableModel>(uri, 1, 0, "DeviceTableModel");
        qmlRegisterType<SettingResultTableModel>(uri, 1, 0, "SettingResultTableModel");
        qmlRegisterType<ComboBoxModel>(uri, 1, 0, "ComboBoxModel");
        qmlRegisterUncreatableType<ZVR::ViewModelListModel>(uri, 1, 0, "ViewModelListModel", abstractBase);
        qmlRegisterUncreatableType<ZVR::ViewModel::AbstractDeviceListModel>(
            uri, 1, 0, "AbstractDeviceListModel", abstractBase);
        qmlRegisterAnonymousType<DeviceSortFilterProxyModel>(uri, 1);
        qmlRegisterType<ZVR::QmlDeviceSortFilterProxyModel>(uri, 1, 0, "DeviceSortFilterProxyModel");
        qmlRegisterUncreatableType<ZVRCheckBox>(uri, 1, 0, "ZVRCheckBox", enumsOnly);
        qmlRegisterUncreatableType<ZVRMessageBox>(uri, 1, 0, "ZVRMessageBox", enumsOnly);
        qmlRegisterUncreatableType<ZVRSortButton>(uri, 1, 0, "ZVRSortButton", enumsOnly);
    }
};

#include "viewmodelplugin_qt5.moc"
