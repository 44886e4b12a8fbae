// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_SIMULATEDNETWORK_H
#define ZVR_SIMULATEDNETWORK_H

#include "simulation.h"

#include <netscan/scanbackend.h>

/*! \brief The in-process simulation as the device finder's back-end.
 *
 *  A round runs in slices of a few milliseconds, so that an interface over it keeps
 *  answering while thousands of devices report; finishRound() completes it at once.
 */
class SimulatedNetwork : public ScanBackend
{
    Q_OBJECT

public:
    explicit SimulatedNetwork(QObject *parent = nullptr);
    ~SimulatedNetwork() override;

    //! The population that restart() builds.
    void setNetwork(quint32 seed, int deviceCount);
    Simulation *simulation() const;

    void restart() override;
    void startRound() override;
    bool roundUnderWay() const override;
    void finishRound() override;
    QString networkName() const override;

protected:
    void changeRequested(
        const QString &macs, const QString &port1, const QString &port2, const QString &request) override;

private:
    void continueRound();

    Simulation *const m_simulation;
    quint32 m_seed = Simulation::DefaultSeed;
    int m_deviceCount = Simulation::DefaultDeviceCount;
};

#endif // ZVR_SIMULATEDNETWORK_H
