// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "scanbackend.h"

#include <macscanbll/macscan.h>

ScanBackend::ScanBackend(QObject *parent)
    : QObject(parent)
{
    connect(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested, this,
        &ScanBackend::changeRequested);
}

ScanBackend::~ScanBackend() = default;

void ScanBackend::finishRound() { }

int ScanBackend::round() const
{
    return m_round;
}

void ScanBackend::endRound()
{
    Q_EMIT roundFinished(++m_round);
}

void ScanBackend::resetRounds()
{
    m_round = 0;
}
