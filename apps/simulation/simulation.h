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

/*! \brief How badly the simulated network behaves during a change.
 *
 *  Rates are chances per device and change, from 0 to 1: its answer is lost (drop),
 *  comes twice (duplicate), it restarts during the change and answers nothing, coming
 *  back a round later with its old or its new address (reboot), or its answer carries a
 *  second outcome for a device that was not asked (stray). A delay of 0 or more
 *  replaces the usual answer delay, in milliseconds.
 */
struct NetworkFaults
{
    double drop = 0.0;
    double duplicate = 0.0;
    double reboot = 0.0;
    double stray = 0.0;
    int delay = -1;

    bool isEmpty() const { return drop <= 0 && duplicate <= 0 && reboot <= 0 && stray <= 0 && delay < 0; }
    //! Reads "drop=0.1,duplicate=0.05,delay=3000,..."; gives the refusal, or an empty text.
    static QString fromString(const QString &text, NetworkFaults *faults);
};

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

    //! Faults apply from the next change on; the draws follow the population's seed.
    NetworkFaults faults() const;
    void setFaults(const NetworkFaults &faults);

    //! The network moves on one step; then every device in reach is reported.
    void scanRound();
    /*! The same round in slices, for callers that must keep their event loop turning:
     *  startRound() begins it, each continueRound() takes its next \a count devices
     *  (moving the network on, then counting who answers each address, then reporting)
     *  and gives true once the round is complete (round() and scanFinished() follow only
     *  then). scanRound() finishes a round under way.
     */
    void startRound();
    bool continueRound(int count);
    bool roundUnderWay() const;

    //! The device at \a index as a scan would report it now; an empty report out of range.
    MacScanDeviceInfo deviceInfo(int index) const;
    //! Whether the device at \a index answers on the network now: reached and online.
    bool deviceAnswers(int index) const;

    /*! Plays the devices' side of a change request (the four texts of
     *  NetworkChange); the answer comes after answerDelay(), or as the faults say.
     */
    void handleRequest(
        const QString &macs, const QString &port1, const QString &port2, const QString &request);

    //! Where device \a commMac is configured to be now, changes included: the truth a
    //! tool's results are audited against. Empty for a MAC the network does not have.
    QString configuredAddress(const QString &commMac) const;

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
