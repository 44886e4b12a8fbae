// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "simulatednetwork.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// A slice reports this many devices between looks at the clock, and hands the event
// loop back once it has taken this long.
constexpr int SliceReports = 32;
constexpr qint64 SliceMilliseconds = 6;

} // namespace

SimulatedNetwork::SimulatedNetwork(QObject *parent)
    : ScanBackend(parent)
    , m_simulation(new Simulation(this))
{
    connect(m_simulation, &Simulation::deviceReported, this, &ScanBackend::deviceReported);
    connect(m_simulation, &Simulation::ipStateReported, this, &ScanBackend::ipStateReported);
    connect(m_simulation, &Simulation::scanFinished, this, &SimulatedNetwork::endRound);
    connect(m_simulation, &Simulation::requestAnswered, this,
        [this](int requestId, const QVector<Simulation::Outcome> &answers) {
            QVector<ChangeOutcome> outcomes;
            outcomes.reserve(answers.size());
            for (const Simulation::Outcome &answer : answers) {
                outcomes.append({ answer.commMac, answer.ip, answer.result, QString() });
            }
            Q_EMIT changeAnswered(requestId, outcomes);
        });
}

SimulatedNetwork::~SimulatedNetwork() = default;

void SimulatedNetwork::setNetwork(quint32 seed, int deviceCount)
{
    m_seed = seed;
    m_deviceCount = deviceCount;
}

Simulation *SimulatedNetwork::simulation() const
{
    return m_simulation;
}

void SimulatedNetwork::restart()
{
    m_simulation->populate(m_seed, m_deviceCount);
    resetRounds();
}

void SimulatedNetwork::startRound()
{
    if (m_simulation->roundUnderWay()) {
        return;
    }
    m_simulation->startRound();
    continueRound();
}

void SimulatedNetwork::continueRound()
{
    QElapsedTimer clock;
    clock.start();
    while (m_simulation->roundUnderWay() && !m_simulation->continueRound(SliceReports)) {
        if (clock.elapsed() >= SliceMilliseconds) {
            QTimer::singleShot(0, this, &SimulatedNetwork::continueRound);
            return;
        }
    }
}

bool SimulatedNetwork::roundUnderWay() const
{
    return m_simulation->roundUnderWay();
}

void SimulatedNetwork::finishRound()
{
    if (m_simulation->roundUnderWay()) {
        m_simulation->scanRound();
    }
}

QString SimulatedNetwork::networkName() const
{
    return tr("模拟网络（%1台设备）").arg(m_deviceCount);
}

void SimulatedNetwork::changeRequested(
    const QString &macs, const QString &port1, const QString &port2, const QString &request)
{
    m_simulation->handleRequest(macs, port1, port2, request);
}
