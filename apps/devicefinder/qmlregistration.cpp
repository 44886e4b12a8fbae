// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "qmlregistration.h"

#include "credentialstore.h"
#include "devicecolumns.h"
#include "devicefinder.h"
#include "networksession.h"
#include "nodelistmodel.h"
#include "tableexport.h"

#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/comboboxmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QQmlEngine>

namespace {

void registerLibraryTypes()
{
    const char *const uri = "ZVR.ViewModel";
    const QString fromScan = QStringLiteral("Records come from the scan back-end");
    const QString enumsOnly = QStringLiteral("Carries an enumeration only");

    qmlRegisterUncreatableType<DeviceData>(uri, 1, 0, "DeviceData", fromScan);
    qmlRegisterUncreatableType<SettingResultData>(uri, 1, 0, "SettingResultData", fromScan);
    qmlRegisterType<DeviceTableModel>(uri, 1, 0, "DeviceTableModel");
    qmlRegisterType<SettingResultTableModel>(uri, 1, 0, "SettingResultTableModel");
    qmlRegisterType<ComboBoxModel>(uri, 1, 0, "ComboBoxModel");
    qmlRegisterType<DeviceSortFilterProxyModel>(uri, 1, 0, "DeviceSortFilterProxyModel");
    qmlRegisterUncreatableType<ZVR::ViewModel::AbstractDeviceListModel>(
        uri, 1, 0, "AbstractDeviceListModel", QStringLiteral("Abstract base"));
    qmlRegisterUncreatableType<ZVRCheckBox>(uri, 1, 0, "ZVRCheckBox", enumsOnly);
    qmlRegisterUncreatableType<ZVRMessageBox>(uri, 1, 0, "ZVRMessageBox", enumsOnly);
    qmlRegisterUncreatableType<ZVRSortButton>(uri, 1, 0, "ZVRSortButton", enumsOnly);

    qmlRegisterUncreatableType<NodeListModel>(
        "ZVR.DeviceFinder", 1, 0, "NodeListModel", QStringLiteral("Owned by Finder"));
    qmlRegisterUncreatableType<ResultRowModel>(
        "ZVR.DeviceFinder", 1, 0, "ResultRowModel", QStringLiteral("Owned by Finder"));
    qmlRegisterUncreatableType<CredentialStore>(
        "ZVR.DeviceFinder", 1, 0, "CredentialStore", QStringLiteral("Owned by Network"));
}

// A singleton that the caller keeps.
template<typename T> void registerKept(const char *name, T *object)
{
    qmlRegisterSingletonType<T>(
        "ZVR.DeviceFinder", 1, 0, name, [object](QQmlEngine *, QJSEngine *) -> QObject * {
            QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
            return object;
        });
}

} // namespace

void registerQmlTypes(DeviceFinder *finder, DeviceColumns *columns, TableExport *exporter)
{
    registerLibraryTypes();
    registerKept("Finder", finder);
    registerKept("Columns", columns);
    registerKept("TableExport", exporter);
}

void registerNetworkSession(NetworkSession *session)
{
    registerKept("Network", session);
}

void registerQmlTypes(const std::function<DeviceFinder *()> &create)
{
    registerLibraryTypes();
    const int finderType = qmlRegisterSingletonType<DeviceFinder>("ZVR.DeviceFinder", 1, 0, "Finder",
        [create](QQmlEngine *, QJSEngine *) -> QObject * { return create(); });
    const int columnsType = qmlRegisterSingletonType<DeviceColumns>("ZVR.DeviceFinder", 1, 0, "Columns",
        [](QQmlEngine *, QJSEngine *) -> QObject * { return new DeviceColumns; });
    qmlRegisterSingletonType<TableExport>("ZVR.DeviceFinder", 1, 0, "TableExport",
        [finderType, columnsType](QQmlEngine *engine, QJSEngine *) -> QObject * {
            return new TableExport(engine->singletonInstance<DeviceFinder *>(finderType),
                engine->singletonInstance<DeviceColumns *>(columnsType));
        });
    qmlRegisterSingletonType<NetworkSession>("ZVR.DeviceFinder", 1, 0, "Network",
        [finderType](QQmlEngine *engine, QJSEngine *) -> QObject * {
            auto *store = new CredentialStore;
            auto *session
                = new NetworkSession(engine->singletonInstance<DeviceFinder *>(finderType)->backend(), store);
            store->setParent(session);
            return session;
        });
}
