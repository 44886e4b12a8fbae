// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICECHANGER_P_H
#define ZVR_DEVICECHANGER_P_H

// Not part of the library's API.

#include "scanbackend.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <QUrl>
#include <QVector>

class SoapClient;
class QTimer;

//! One device's part of a change: the requests of the profile, in order.
struct DeviceChangePlan
{
    QString commMac;
    QUrl url; //!< the device service where the device answers now
    QString token1;
    QString ip1;
    int prefix1 = 0;
    QString token2; //!< empty when port 2 stays as it is
    QString ip2;
    int prefix2 = 0;
    QString gateway;
};

/*! \brief Sends the changes of the network settings to the devices: for each device
 *  SetNetworkInterfaces for port 1 (and port 2), then SetNetworkDefaultGateway, each
 *  with a fresh UsernameToken; a bounded number of devices at once; outcomes per
 *  device as they come; whatever has no answer at the request's time limit is IpSetTimeout.
 */
class DeviceChanger : public QObject
{
    Q_OBJECT

public:
    explicit DeviceChanger(QObject *parent = nullptr);
    ~DeviceChanger() override;

    void setDevicesAtOnce(int count);
    void setCredentials(const QString &user, const QString &password);

    /*! Starts request \a requestId: \a plans go to their devices, \a settled are outcomes
     *  known without asking (devices not found, settings no device takes).
     */
    void start(int requestId, const QVector<DeviceChangePlan> &plans, const QVector<ChangeOutcome> &settled,
        int timeoutMs);

Q_SIGNALS:
    void answered(int requestId, const QVector<ChangeOutcome> &outcomes);
    void credentialsRefused(int requestId);

private:
    struct Request;
    struct Device;
    void startNext();
    void send(Device *device);
    void reply(Device *device, int status, const QByteArray &body, const QString &error);
    void settle(Device *device, const ChangeOutcome &outcome);
    void expire(Request *request);
    void flush();

    SoapClient *const m_client;
    QHash<int, Request *> m_requests;
    QQueue<Device *> m_waiting;
    int m_running = 0;
    int m_devicesAtOnce = 256;
    QString m_user;
    QString m_password;
    QHash<int, QVector<ChangeOutcome>> m_unsent; // outcomes gathered for the next flush
    bool m_flushQueued = false;
};

#endif // ZVR_DEVICECHANGER_P_H
