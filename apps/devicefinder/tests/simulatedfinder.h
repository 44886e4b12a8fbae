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

    SimulatedNetwork network;
    DeviceFinder finder { &network };
};

#endif // ZVR_DEVICEFINDER_TESTS_SIMULATEDFINDER_H
