// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKBACKEND_H
#define ZVR_NETWORKBACKEND_H

#include <netscan/networktarget.h>
#include <netscan/scanbackend.h>

#include <QHostAddress>

#include <memory>

class NetworkBackendPrivate;

/*! \brief The device finder's back-end on a real network: WS-Discovery probes, the
 *  ONVIF device service's reads and network changes.
 *
 *  A round sends one probe (multicast on the chosen interface, or directed to one
 *  address and port), waits probeWait for the answers, reads the devices it sees for
 *  the first time or whose metadata changed, and reports them; unchanged devices cost
 *  one datagram a round. A device missing two rounds in a row is reported offline.
 *
 *  Changes arrive through ScanBackend::changeRequested() and go to the devices with
 *  the credentials set here, which stay in memory only and never reach a log. A device
 *  that refuses them is answered with the failure "用户名或密码错误" (its result code
 *  left at IpSetTimeout) and credentialsRefused() once per request; nothing is retried.
 *
 *  Whatever arrives malformed, oversized or unasked for is dropped with one line in the
 *  logging category "zvr.netscan". At most 200,000 devices are remembered; endpoints
 *  beyond them are not listed, so that made-up answers cannot grow memory without bound.
 */
class NETSCAN_EXPORT NetworkBackend : public ScanBackend
{
    Q_OBJECT

public:
    //! A back-end with no target yet: setInterface() or setDirectedTarget() names it.
    explicit NetworkBackend(QObject *parent = nullptr);
    ~NetworkBackend() override;

    //! Probes by multicast on interface \a name; false and a plain message when it
    //! does not exist or cannot multicast.
    bool setInterface(const QString &name, QString *error = nullptr);
    //! Probes one address and port directly (an emulator on loopback, a network without multicast).
    void setDirectedTarget(const QHostAddress &address, quint16 port);
    //! Applies a parsed target; false and a plain message as setInterface().
    bool setTarget(const NetworkTarget &target, QString *error = nullptr);

    //! The administrator's user name and password for changes (and reads that need them).
    void setCredentials(const QString &user, const QString &password);
    //! Whether a user name was set.
    bool hasCredentials() const;
    //! The user name set; the password is never given back.
    QString user() const;

    //! A change's time limit; a device with no answer by then is IpSetTimeout.
    void setChangeTimeout(int ms);
    //! A change's time limit in milliseconds (10000 unless set).
    int changeTimeout() const;
    //! Each HTTP read's time limit.
    void setReadTimeout(int ms);
    //! Each HTTP read's time limit in milliseconds (3000 unless set).
    int readTimeout() const;
    //! How long a round waits for ProbeMatches.
    void setProbeWait(int ms);
    //! How long a round waits for answers, in milliseconds (1000 unless set).
    int probeWait() const;
    /*! HTTP requests in flight at once, at least 1. A device's five reads go side by side
     *  while every device waiting fits; while more wait, one after another over one
     *  connection.
     */
    void setMaxReadsInFlight(int count);
    //! HTTP requests in flight at once (160 unless set).
    int maxReadsInFlight() const;

    //!@{
    //! As ScanBackend says; finishRound() stops waiting for answers, and the round ends
    //! once the reads under way are done (each within its time limit).
    void restart() override;
    void startRound() override;
    bool roundUnderWay() const override;
    void finishRound() override;
    QString networkName() const override;
    //!@}

Q_SIGNALS:
    //! Reads of the devices new in this round: \a done of \a total finished.
    void readProgress(int done, int total);
    //! A change was answered ter:NotAuthorized; once per request.
    void credentialsRefused(int requestId);
    //! A device refused a read for want of credentials (none set, or wrong ones); once a round.
    void readCredentialsRefused();

protected:
    //! Sends the change to the devices it names; outcomes come through changeAnswered().
    void changeRequested(
        const QString &macs, const QString &port1, const QString &port2, const QString &request) override;

private:
    Q_DISABLE_COPY(NetworkBackend)
    friend class NetworkBackendPrivate;
    std::unique_ptr<NetworkBackendPrivate> const d;
};

#endif // ZVR_NETWORKBACKEND_H
