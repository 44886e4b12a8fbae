// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
// Twenty devices in a QML table, sorted through the proxy; one is renamed after a
// second. `devicetable --screenshot FILE` saves the window after that and quits.
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/qmlownership.h>
#include <zvrviewmodel/reportupdate.h>

#include <macscanbll/macscandeviceinfo.h>

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QStringList>
#include <QTimer>

// What a scan back-end would report for device number n.
static MacScanDeviceInfo report(int n)
{
    t_device_network_info port;
    port.ip = QStringLiteral("192.168.1.%1").arg(100 + (n * 7) % 20);
    port.subnetMask = QStringLiteral("255.255.255.0");
    port.gateway = QStringLiteral("192.168.1.1");
    port.mac = QStringLiteral("00:1E:C0:00:01:%1").arg(n, 2, 16, QLatin1Char('0')).toUpper();
    MacScanDeviceInfo info;
    info.setDeviceCommMac(port.mac);
    info.setNetworkInfo({ port });
    info.setName(QStringLiteral("Device %1").arg(n, 2, 10, QLatin1Char('0')));
    info.setNodeType(n % 2 ? NodeEncoder : NodeDecoder);
    info.setOffline(n % 5 == 0);
    return info;
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--screenshot"));
    const QString screenshot = at > 0 && at + 1 < args.size() ? args.at(at + 1) : QString();

    //! [setup]
    // The host owns the table and fills it from the back-end's reports.
    DeviceTableModel table;
    QList<QSharedPointer<DeviceData>> devices;
    for (int n = 1; n <= 20; ++n) {
        auto device = QSharedPointer<DeviceData>::create();
        device->update(report(n), ZVR::FirstReport);
        table.appendDevice(device);
        devices.append(device);
    }
    // Records that QML gets from an invokable stay owned by C++.
    ZVR::keepRecordsOwnedByCpp(&table);

    // The table reaches QML as the root object's required property.
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral(ZVR_QML_IMPORT_DIR)); // where `import ZVR.ViewModel` is
    engine.setInitialProperties({ { QStringLiteral("deviceTable"), QVariant::fromValue(&table) } });
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));

    // A second later device 7 reports a new name: names come with the UDP answer.
    QTimer::singleShot(1000, &table, [&devices] {
        MacScanDeviceInfo renamed = report(7);
        renamed.setName(QStringLiteral("Renamed 07"));
        devices.at(6)->update(renamed, ZVR::UdpReport);
    });
    //! [setup]

    if (engine.rootObjects().isEmpty()) {
        return 1;
    }
    QSharedPointer<QQuickItemGrabResult> grab;
    if (!screenshot.isEmpty()) {
        // Grabbing the root item works offscreen with the software renderer too.
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
        QTimer::singleShot(1500, window, [window, screenshot, &grab] {
            grab = window->contentItem()->grabToImage();
            if (!grab) {
                QCoreApplication::exit(2);
                return;
            }
            QObject::connect(grab.data(), &QQuickItemGrabResult::ready, window, [&grab, screenshot] {
                QCoreApplication::exit(grab->image().save(screenshot) ? 0 : 2);
            });
        });
    }
    return QGuiApplication::exec();
}
