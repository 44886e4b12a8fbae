// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicedata.h>

#include "logcapture.h"

#include <QtTest>

// The largest reports a back-end can hand over, once each: the fuzzer keeps its inputs small.
class TestLargeReports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void update_data()
    {
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("ports");
        QTest::newRow("megabyte texts") << (1 << 20) << 2;
        QTest::newRow("10,000 ports") << 12 << 10000;
    }

    void update()
    {
        QFETCH(int, textLength);
        QFETCH(int, ports);
        // With short texts every port has an address of its own; a megabyte text is none.
        const QString text = QString(QStringLiteral("1.2.3.4")).repeated(textLength / 7 + 1).left(textLength);
        QVector<t_device_network_info> sent;
        for (int i = 0; i < ports; ++i) {
            const QString ip = textLength < 16
                ? QStringLiteral("10.%1.%2.%3").arg(i >> 16).arg((i >> 8) & 0xFF).arg(i & 0xFF)
                : text;
            sent.append({ i, text, ip, text, text, 7 });
        }
        MacScanDeviceInfo info;
        info.setDeviceModel(text);
        info.setDeviceSN(text);
        info.setName(text);
        info.setDeviceCommMac(text);
        info.setNetworkInfo(sent);

        LogCapture log;
        DeviceData device;
        device.update(info, 0);
        QCOMPARE(device.devModel(), text);
        QCOMPARE(device.serialNumber(), text);
        QCOMPARE(device.name(), text);
        QCOMPARE(device.commMac(), text);
        QCOMPARE(device.ethernetPortNumber(), ports);
        QCOMPARE(device.ip2(), sent.at(1).ip);
        for (int i = 0; i < ports; ++i) {
            QCOMPARE(device.networkIpInt(i), textLength < 16 ? quint32(0x0A000000 | i) : 0xFFFFFFFFu);
        }
        QCOMPARE(device.networkIpInt(ports), 0u);
        QCOMPARE(log.lines().size(), textLength < 16 ? 0 : ports);
        QCOMPARE(info.networkInfo().constLast().ipInt, 7u);
    }
};

QTEST_GUILESS_MAIN(TestLargeReports)
#include "tst_largereports.moc"
