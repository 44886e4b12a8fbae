// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_TESTS_FAKEBACKEND_H
#define ZVR_DEVICEFINDER_TESTS_FAKEBACKEND_H

#include <macscanbll/macscandeviceinfo.h>
#include <netscan/scanbackend.h>

#include <QStringList>
#include <QVector>

//! A back-end whose network is what the test states: each round reports the devices
//! given, and change requests wait for the test to answer them.
class FakeBackend : public ScanBackend
{
    Q_OBJECT

public:
    using ScanBackend::ScanBackend;

    //! A device of the stated network: "name,ip,kind,runmode" with kind 1 encoder, 4 central.
    static MacScanDeviceInfo device(int n, const char *name, const char *ip, NodeType kind = NodeEncoder,
        DeviceRunMode mode = RunModeNormal, bool offline = false)
    {
        MacScanDeviceInfo info;
        const QString mac = QStringLiteral("00:1E:C0:00:00:%1").arg(n, 2, 16, QLatin1Char('0')).toUpper();
        info.setDeviceCommMac(mac);
        info.setName(QString::fromUtf8(name));
        info.setNodeType(kind);
        info.setRunMode(mode);
        info.setOffline(offline);
        t_device_network_info port;
        port.mac = mac;
        port.ip = QString::fromLatin1(ip);
        port.subnetMask = QStringLiteral("255.255.255.0");
        port.gateway = QStringLiteral("192.168.1.1");
        info.setNetworkInfo({ port });
        return info;
    }

    void restart() override { resetRounds(); }
    void startRound() override
    {
        for (const MacScanDeviceInfo &info : qAsConst(network)) {
            Q_EMIT deviceReported(info, 1);
            if (!info.isOffline()) {
                Q_EMIT deviceReported(info, 2);
            }
        }
        endRound();
    }
    bool roundUnderWay() const override { return false; }
    QString networkName() const override { return QStringLiteral("fake"); }

    //! Moves device \a commMac of the stated network to \a ip.
    void move(const QString &commMac, const QString &ip)
    {
        for (MacScanDeviceInfo &info : network) {
            if (info.deviceCommMac() == commMac) {
                QVector<t_device_network_info> ports = info.networkInfo();
                ports[0].ip = ip;
                info.setNetworkInfo(ports);
            }
        }
    }
    void answer(int requestId, const QVector<ChangeOutcome> &outcomes) { Q_EMIT changeAnswered(requestId, outcomes); }

    QVector<MacScanDeviceInfo> network;
    QVector<QStringList> requests;

protected:
    void changeRequested(
        const QString &macs, const QString &port1, const QString &port2, const QString &request) override
    {
        requests.append({ macs, port1, port2, request });
    }
};

#endif // ZVR_DEVICEFINDER_TESTS_FAKEBACKEND_H
