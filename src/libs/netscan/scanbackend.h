// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_SCANBACKEND_H
#define ZVR_SCANBACKEND_H

#include <netscan/netscan_global.h>

#include <macscanbll/macscandeviceinfo.h>

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVector>

/*! \brief What became of one device of a change request. */
struct NETSCAN_EXPORT ChangeOutcome
{
    //! The device's communication MAC, as the request named it.
    QString commMac;
    //! The address the device answers at after the change, where known.
    QString ip;
    //! The device's answer as a result code.
    IpSettingResult result = IpSetTimeout;
    //! A refusal that no result code names (wrong credentials, say), in plain words; else empty.
    QString failure;

    //! True when the device took the change.
    bool succeeded() const { return result == IpSetSuccess && failure.isEmpty(); }
};
Q_DECLARE_METATYPE(ChangeOutcome)

/*! \brief All that the device finder knows of a network.
 *
 *  A back-end runs scan rounds and reports every device it reaches with the fields of
 *  its report kind (the mode of DeviceData::update: 0 both shares of a first report,
 *  1 the MAC scan's share, 2 the UDP share), the devices' IP states and the end of each
 *  round. It hears the user's change requests through ZVR::BLL::MacScan's signal (the
 *  four texts of NetworkChange) and answers them per device as the answers come.
 *
 *  The in-process simulation and the network back-end are two implementations; tests
 *  use a fake that states its own inputs.
 */
class NETSCAN_EXPORT ScanBackend : public QObject
{
    Q_OBJECT

public:
    //! Connects to ZVR::BLL::MacScan's request signal.
    explicit ScanBackend(QObject *parent = nullptr);
    ~ScanBackend() override;

    //! Forgets every device and round; the next round finds the network afresh.
    virtual void restart() = 0;
    //! Begins a scan round; reports follow, then roundFinished(). Nothing while one is under way.
    virtual void startRound() = 0;
    //! Whether a round has begun and not finished.
    virtual bool roundUnderWay() const = 0;
    //! Completes the round under way at once where the back-end can; by default it cannot.
    virtual void finishRound();
    //! Rounds finished since the last restart().
    int round() const;
    //! What is scanned, in the interface's words ("模拟网络", an interface name, an address).
    virtual QString networkName() const = 0;

Q_SIGNALS:
    //! A device's report and its kind (0 whole, 1 the MAC scan's share, 2 the UDP share).
    void deviceReported(const MacScanDeviceInfo &info, int kind);
    //! A DeviceData::IpState value for the device with that communication MAC.
    void ipStateReported(const QString &commMac, int state);
    //! Round \a round (counted from 1 since the last restart()) is over.
    void roundFinished(int round);
    //! Outcomes of change request \a requestId, for some or all of its devices.
    void changeAnswered(int requestId, const QVector<ChangeOutcome> &outcomes);

protected:
    //! A change request's four texts, as ZVR::BLL::MacScan published them.
    virtual void changeRequested(
        const QString &macs, const QString &port1, const QString &port2, const QString &request)
        = 0;
    //! Counts a finished round and tells it.
    void endRound();
    //! Back to round 0, for restart().
    void resetRounds();

private:
    Q_DISABLE_COPY(ScanBackend)
    int m_round = 0;
};

#endif // ZVR_SCANBACKEND_H
