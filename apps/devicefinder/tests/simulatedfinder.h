// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_TESTS_SIMULATEDFINDER_H
#define ZVR_DEVICEFINDER_TESTS_SIMULATEDFINDER_H

#include "devicefinder.h"
#include "simulatednetwork.h"

//! A device finder over a seeded simulated network that answers at once.
struct SimulatedFinder
{
    explicit SimulatedFinder(quint32 seed = Simulation::DefaultSeed, int devices = Simulation::DefaultDeviceCount)
    {
        network.setNetwork(seed, devices);
        network.simulation()->setAnswerDelay(0);
    }

    Simulation *simulation() { return network.simulation(); }

    //! Three scan rounds, then \a faults on: the network as the next change finds it.
    void scanThenBreak(const NetworkFaults &faults, int changeTimeout)
    {
        finder.setChangeTimeout(changeTimeout);
        finder.restart();
        finder.scan(3);
        simulation()->setFaults(faults);
    }
    //! Renumbers every device that can take it into 172.16.0.0/12.
    bool changeAll()
    {
        return finder.changeAllOnline(
            QStringLiteral("172.16.0.2"), QStringLiteral("255.240.0.0"), QStringLiteral("172.16.0.1"));
    }

    SimulatedNetwork network;
    DeviceFinder finder { &network };
};

#endif // ZVR_DEVICEFINDER_TESTS_SIMULATEDFINDER_H
