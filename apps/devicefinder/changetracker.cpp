// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changetracker.h"

#include <QDebug>

int ChangeTracker::timeout() const
{
    return m_timeout;
}

void ChangeTracker::setTimeout(int milliseconds)
{
    m_timeout = qMax(1, milliseconds);
}

bool ChangeTracker::start(int requestId, const QStringList &macs, qint64 now)
{
    if (m_inFlight) {
        return false;
    }
    m_request = requestId;
    m_macs = macs;
    m_asked = QSet<QString>(macs.cbegin(), macs.cend());
    m_answers.clear();
    m_deadline = now + m_timeout;
    m_inFlight = true;
    return true;
}

bool ChangeTracker::inFlight() const
{
    return m_inFlight;
}

int ChangeTracker::requestId() const
{
    return m_request;
}

qint64 ChangeTracker::deadline() const
{
    return m_deadline;
}

ChangeTracker::Answer ChangeTracker::answer(int requestId, const ChangeOutcome &outcome)
{
    if (requestId != m_request) {
        qInfo() << "change request" << requestId << "is not the current one; answer of" << outcome.commMac
                << "ignored";
        return OtherRequest;
    }
    if (!m_inFlight) {
        qInfo() << "change request" << requestId << "ended by its timeout; late answer of" << outcome.commMac
                << "ignored";
        return AfterTimeout;
    }
    if (!m_asked.contains(outcome.commMac)) {
        qInfo() << "change request" << requestId << "did not ask" << outcome.commMac << "; answer ignored";
        return NotAsked;
    }
    const auto earlier = m_answers.find(outcome.commMac);
    if (earlier != m_answers.end()) {
        if (earlier->result == outcome.result && earlier->failure == outcome.failure && earlier->ip == outcome.ip) {
            return Duplicate;
        }
        qInfo() << "change request" << requestId << ":" << outcome.commMac << "answered" << outcome.result
                << "after" << earlier->result << "; the later answer counts";
        *earlier = outcome;
        return Replaced;
    }
    m_answers.insert(outcome.commMac, outcome);
    return Taken;
}

bool ChangeTracker::advance(qint64 now)
{
    if (!m_inFlight || (m_answers.size() < m_macs.size() && now < m_deadline)) {
        return false;
    }
    m_inFlight = false;
    return true;
}

QVector<ChangeOutcome> ChangeTracker::outcomes() const
{
    QVector<ChangeOutcome> result;
    result.reserve(m_macs.size());
    for (const QString &mac : m_macs) {
        result.append(m_answers.value(mac, ChangeOutcome { mac, QString(), IpSetTimeout, QString() }));
    }
    return result;
}

QStringList ChangeTracker::timedOut() const
{
    QStringList result;
    for (const QString &mac : m_macs) {
        if (!m_answers.contains(mac)) {
            result.append(mac);
        }
    }
    return result;
}

QString ChangeTracker::timedOutText(int milliseconds)
{
    return QStringLiteral("设备%1秒内无应答").arg(milliseconds / 1000.0);
}
