// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_SIMULATION_H
#define ZVR_DEVICEFINDER_SIMULATION_H

#include <macscanbll/macscandeviceinfo.h>

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class SimulationPrivate;

/*! \brief A simulated network of devices behind the scan back-end.
 *
 *  Nothing leaves the process: a seeded population answers scan rounds with
 *  MAC-scan and UDP reports, drifts between rounds (devices drop out and return,
 *  fault bits flip, addresses collide, roll-call states change, clocks tick) and
 *  plays the devices' side of a network change. The same seed and device count
 *  give the same network, round by round.
 */
class Simulation : public QObject
{
    Q_OBJECT

public:
    //! Where a report comes from; also the DeviceData::update() mode for a known device.
    enum ReportSource {
        MacScanReport = 1,
        UdpReport = 2,
    };

    //! One device's answer to a network change.
    struct Outcome
    {
        QString commMac;
        QString ip;
        IpSettingResult result = IpSetTimeout;
    };

    static constexpr quint32 DefaultSeed = 20260302;
    static constexpr int DefaultDeviceCount = 48;

    explicit Simulation(QObject *parent = nullptr);
    ~Simulation() override;

    //! Builds a new population; nothing is reported before the next scan round.
    void populate(quint32 seed, int deviceCount);
    int deviceCount() const;
    int round() const;

    //! How long devices take to answer a change, in milliseconds.
    int answerDelay() const;
    void setAnswerDelay(int milliseconds);

    //! The network moves on one step; then every device in reach is reported.
    void scanRound();
    /*! The same round reported in slices, for callers that must keep their event loop
     *  turning: startRound() moves the network on, each continueRound() reports the next
     *  \a count devices and gives true once the round is complete (round() and
     *  scanFinished() follow only then). scanRound() finishes a round under way.
     */
    void startRound();
    bool continueRound(int count);
    bool roundUnderWay() const;

    /*! Plays the devices' side of a change request (the four texts of
     *  NetworkChange); the answer comes after answerDelay().
     */
    void handleRequest(
        const QString &macs, const QString &port1, const QString &port2, const QString &request);

Q_SIGNALS:
    void deviceReported(const MacScanDeviceInfo &info, int source);
    //! A DeviceData::IpState value for the device with that communication MAC.
    void ipStateReported(const QString &commMac, int state);
    void scanFinished(int round);
    void requestAnswered(int requestId, const QVector<Simulation::Outcome> &outcomes);

private:
    Q_DISABLE_COPY(Simulation)
    std::unique_ptr<SimulationPrivate> const d;
};

#endif // ZVR_DEVICEFINDER_SIMULATION_H
