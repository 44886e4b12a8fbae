// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CHANGETRACKER_H
#define ZVR_DEVICEFINDER_CHANGETRACKER_H

#include <netscan/scanbackend.h>

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

/*! One change request's life: which devices were asked, which answered, and when the
 *  wait ends. Time comes in from the caller (milliseconds of any steady clock), so a
 *  test drives it without waiting. A device without an answer at the deadline counts
 *  as failed with timedOutText(); an answer after that is ignored with a log line.
 */
class ChangeTracker
{
public:
    static constexpr int DefaultTimeout = 10000;

    //! What became of one answer.
    enum Answer {
        Taken,
        Duplicate, //!< the device had answered the same already; counted once
        NotAsked, //!< a MAC outside the request
        OtherRequest, //!< an earlier (or unknown) request
        AfterTimeout, //!< the request had ended by its deadline
        Replaced, //!< the device answered again, otherwise: the later answer counts
    };

    int timeout() const;
    void setTimeout(int milliseconds);

    //! Starts tracking; refused (false) while a request is in flight.
    bool start(int requestId, const QStringList &macs, qint64 now);
    bool inFlight() const;
    int requestId() const;
    qint64 deadline() const;

    Answer answer(int requestId, const ChangeOutcome &outcome);
    //! Ends the request once every device answered or the deadline passed; true then.
    bool advance(qint64 now);
    //! Every asked device in request order, those without an answer as timed out.
    QVector<ChangeOutcome> outcomes() const;
    QStringList timedOut() const;

    static QString timedOutText(int milliseconds);

private:
    int m_timeout = DefaultTimeout;
    int m_request = -1;
    bool m_inFlight = false;
    qint64 m_deadline = 0;
    QStringList m_macs;
    QSet<QString> m_asked; // m_macs, looked up once per answer
    QHash<QString, ChangeOutcome> m_answers;
};

#endif // ZVR_DEVICEFINDER_CHANGETRACKER_H
