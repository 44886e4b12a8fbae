// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEREADER_P_H
#define ZVR_DEVICEREADER_P_H

// Not part of the library's API.

#include "onvifmessages_p.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <QUrl>

class SoapClient;

//! What the reads of one device brought.
struct DeviceReading
{
    bool ok = false; //!< the interfaces were read: the device can be listed
    QString error; //!< the first read that failed, in plain words
    Onvif::DeviceAnswer information;
    Onvif::DeviceAnswer interfaces;
    Onvif::DeviceAnswer gateway;
    Onvif::DeviceAnswer clock;
    Onvif::DeviceAnswer scopes;
    bool hasInformation = false;
    bool hasGateway = false;
    bool hasClock = false;
    bool hasScopes = false;
    bool notAuthorized = false; //!< a read was refused for want of credentials
};

/*! \brief The device-service reads of the devices the discovery found new or changed:
 *  GetNetworkInterfaces, GetDeviceInformation, GetNetworkDefaultGateway,
 *  GetSystemDateAndTime and GetScopes, a bounded number of requests in flight, each read
 *  with its time limit.
 *
 *  A device's reads go side by side, each on a connection of its own, while every device
 *  waiting fits in the requests left; while more wait, each device's reads go one after
 *  another over one connection, which costs the client and the device less per read.
 */
class DeviceReader : public QObject
{
    Q_OBJECT

public:
    explicit DeviceReader(QObject *parent = nullptr);
    ~DeviceReader() override;

    void setLimits(int requestsAtOnce, int timeoutMs);
    void setCredentials(const QString &user, const QString &password);

    //! Queues the reads of \a key's device at \a url; nothing when they are queued already.
    void read(const QString &key, const QUrl &url);
    //! Forgets the queue and aborts the reads under way; nothing more is reported.
    void cancel();
    bool idle() const;

Q_SIGNALS:
    void deviceRead(const QString &key, const DeviceReading &reading);

private:
    struct Job;
    void startNext();
    void startRead(Job *job, int read);
    void post(Job *job, int read, int timeoutMs);
    void answered(Job *job, int read, int status, const QByteArray &body, const QString &error);
    void finish(Job *job);

    SoapClient *const m_client;
    QQueue<QPair<QString, QUrl>> m_queue;
    QHash<QString, Job *> m_jobs; // queued or under way, by key
    int m_requests = 0; // in flight, or held for a device's next read
    int m_requestsAtOnce = 160;
    int m_timeout = 3000;
    QString m_user;
    QString m_password;
};

#endif // ZVR_DEVICEREADER_P_H
