// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/qmlownership.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>

#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

using DevicePtr = QSharedPointer<DeviceData>;

// Records that QML receives from invokables stay with C++ through the garbage collector.
class tst_QmlOwnership : public QObject
{
    Q_OBJECT

private:
    // Collects garbage and runs the deletions it queued.
    static void collect(QQmlEngine &engine)
    {
        engine.collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private Q_SLOTS:
    // The proxy that QML creates from the module hands out records that C++ keeps,
    // whether they were in the table before, appended later or came with a reset.
    void moduleProxy_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addRow("rows before") << QStringLiteral("before");
        QTest::addRow("row appended later") << QStringLiteral("later");
        QTest::addRow("after a reset") << QStringLiteral("reset");
    }

    void moduleProxy()
    {
        QFETCH(QString, when);
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral(ZVR_QML_IMPORT_DIR));
        DeviceTableModel table;
        const DevicePtr device = DevicePtr::create();
        device->setName(QStringLiteral("kept"));
        if (when == QLatin1String("before")) {
            table.appendDevice(device);
        }
        engine.rootContext()->setContextProperty(QStringLiteral("deviceTable"), &table);
        QQmlComponent component(&engine);
        component.setData("import ZVR.ViewModel 1.0\n"
                          "DeviceSortFilterProxyModel {\n"
                          "    sourceModel: deviceTable\n"
                          "    function take() { var d = device(0); return d ? d.name : '' }\n"
                          "}\n",
            QUrl());
        std::unique_ptr<QObject> proxy(component.create());
        QVERIFY2(proxy, qPrintable(component.errorString()));
        if (when == QLatin1String("later")) {
            table.appendDevice(device);
        } else if (when == QLatin1String("reset")) {
            table.appendDevice(DevicePtr::create());
            table.clear();
            table.appendDevice(device);
        }
        QTRY_COMPARE(proxy->property("count").toInt(), 1);

        QVariant name;
        QVERIFY(QMetaObject::invokeMethod(proxy.get(), "take", Q_RETURN_ARG(QVariant, name)));
        QCOMPARE(name.toString(), QStringLiteral("kept"));
        QCOMPARE(QQmlEngine::objectOwnership(device.data()), QQmlEngine::CppOwnership);
        const QPointer<DeviceData> watched = device.data();
        collect(engine);
        QVERIFY(watched);
    }

    // A table that the host hands over: its records, now and later, and a result table's.
    void hostTable()
    {
        DeviceTableModel table;
        const DevicePtr before = DevicePtr::create();
        table.appendDevice(before);
        ZVR::keepRecordsOwnedByCpp(&table);
        ZVR::keepRecordsOwnedByCpp(&table);
        const DevicePtr later = DevicePtr::create();
        table.appendDevice(later);
        QCOMPARE(QQmlEngine::objectOwnership(before.data()), QQmlEngine::CppOwnership);
        QCOMPARE(QQmlEngine::objectOwnership(later.data()), QQmlEngine::CppOwnership);

        SettingResultTableModel results;
        ZVR::keepRecordsOwnedByCpp(&results);
        const auto result = QSharedPointer<SettingResultData>::create();
        results.resetResultList({ result });
        QCOMPARE(QQmlEngine::objectOwnership(result.data()), QQmlEngine::CppOwnership);

        QTest::ignoreMessage(QtWarningMsg, "keepRecordsOwnedByCpp: no model");
        ZVR::keepRecordsOwnedByCpp(nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_QmlOwnership)
#include "tst_qmlownership.moc"
