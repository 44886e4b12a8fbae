// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "qmlregistration.h"

#include "arrangedcolumnsmodel.h"
#include "credentialstore.h"
#include "devicecolumns.h"
#include "devicefinder.h"
#include "networksession.h"
#include "nodelistmodel.h"
#include "tableexport.h"

#include <QQmlEngine>

namespace {

// The tool's own types; the library's come from the module ZVR.ViewModel.
void registerToolTypes()
{
    qmlRegisterUncreatableType<NodeListModel>(
        "ZVR.DeviceFinder", 1, 0, "NodeListModel", QStringLiteral("Owned by Finder"));
    qmlRegisterUncreatableType<ResultRowModel>(
        "ZVR.DeviceFinder", 1, 0, "ResultRowModel", QStringLiteral("Owned by Finder"));
    qmlRegisterType<ArrangedColumnsModel>("ZVR.DeviceFinder", 1, 0, "ArrangedColumnsModel");
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
    registerToolTypes();
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
    registerToolTypes();
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

void addQmlImportPath(QQmlEngine *engine)
{
    engine->addImportPath(QStringLiteral(ZVR_QML_IMPORT_DIR));
}
