// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CHANGESESSION_H
#define ZVR_DEVICEFINDER_CHANGESESSION_H

#include "changeplan.h"
#include "changetracker.h"
#include "resultrowmodel.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QStringList>

class DeviceData;
class DeviceRegistry;
class DeviceSortFilterProxyModel;
class DeviceTableModel;
class QTimer;
class SettingResultData;
class SettingResultTableModel;

//! How many checked devices a batch leaves out, and why.
struct LeftOut
{
    int hidden = 0; //!< the filter hides them
    int offline = 0;
    int fault = 0; //!< reachable, but reporting a malfunction
    int nodes = 0; //!< master and backup nodes, which keep their addresses
    QStringList nodeNames; //!< the names of those nodes, in the order checked
    int total() const { return hidden + offline + fault + nodes; }
};

/*! \brief One network change at a time: which devices it takes, its plan, the request
 *  to the back-end, the wait for the answers with its deadline, and the results.
 *
 *  A device whose change succeeded shows its new settings until its next MAC-scan
 *  report confirms them (awaiting scan). A device that has not answered by the deadline
 *  is unconfirmed: both its old and its planned addresses count as held until a scan
 *  report or a late answer says where it is, and then its result row is settled.
 */
class ChangeSession : public QObject
{
    Q_OBJECT

public:
    ChangeSession(DeviceRegistry *registry, DeviceTableModel *table, DeviceSortFilterProxyModel *view,
        QObject *parent = nullptr);
    ~ChangeSession() override;

    SettingResultTableModel *results() const;
    ResultRowModel *resultRows() const;
    int timeout() const;
    void setTimeout(int milliseconds);
    bool busy() const;

    const QList<QSharedPointer<DeviceData>> &targets() const;
    const LeftOut &leftOut() const;
    void setTargets(const QList<QSharedPointer<DeviceData>> &devices, const LeftOut &leftOut = {});
    //! The checked online devices the view shows, in its order, and with \a includeHidden the rest.
    bool targetChecked(bool includeHidden);
    //! The devices of \a devices that can take a change; the others counted in \a leftOut.
    QList<QSharedPointer<DeviceData>> changeable(
        const QList<QSharedPointer<DeviceData>> &devices, LeftOut *leftOut) const;
    //! Drops \a device from the targets, once it leaves the table.
    void forget(const QSharedPointer<DeviceData> &device);

    ChangePlan plan(const ChangeRequest &request) const;
    //! Plans and sends \a request for the targets; false (with a message) when refused.
    bool send(const ChangeRequest &request);
    //! Sends the last change's failed devices that are online again; false (with a message) when refused.
    bool retryFailed();
    //! Refuses, with \a text as message, what must wait for the change in flight.
    bool refuseWhileBusy(const QString &text);

    void answer(int requestId, const QVector<ChangeOutcome> &outcomes);
    //! A MAC-scan report of \a commMac: its shown change is confirmed or replaced.
    void confirm(const QString &commMac);
    bool isAwaitingScan(const QString &commMac) const;
    //! Which ports of \a commMac show new values not yet confirmed: 1 for port 1, 2 for
    //! port 2, or both; 0 for none.
    int awaitingPorts(const QString &commMac) const;
    int unconfirmedCount() const;
    //! Devices of every change so far whose whereabouts no answer or scan has told yet.
    int unsettledCount() const;
    //! What the last settlement of unconfirmed devices found, for the status line.
    QString settledText() const;
    int awaitingScanCount() const;

    //! Forgets the change in flight, the targets and the results.
    void reset();

    static QString changeInFlightText();
    static QString unconfirmedText(int milliseconds);
    //! Why a batch has no device to change, from what it leaves out.
    static QString leftOutText(const LeftOut &leftOut);

Q_SIGNALS:
    void busyChanged();
    void resultsChanged();
    void resultsReady();
    void targetsChanged();
    void awaitingScanChanged();
    void timeoutChanged();
    void messageRequested(const QString &text);
    void settled();

private:
    void end();
    //! A device that had not answered by the deadline, as far as the tool knows it.
    struct Unconfirmed
    {
        int requestId = 0;
        QString oldIp;
        QString oldIp2;
        QString ip;
        QString ip2;
        //! A scan saw it at its old address; a late answer or a later scan may still move it.
        bool seenUnchanged = false;
        ChangeRequest request;
    };
    //! Settles \a commMac's row as \a row says, with the others of this event-loop turn.
    void settle(int requestId, const QString &commMac, ResultRow::State state, const QString &newIp, const QString &detail);
    void applySettled();
    //! Takes a late answer to the request that \a commMac did not answer in time.
    bool answerLate(int requestId, const ChangeOutcome &outcome);
    void showChanged(const QString &commMac, const QString &ip, const QString &ip2, const ChangeRequest &request);
    void setBusy(bool busy);

    Q_DISABLE_COPY(ChangeSession)
    DeviceRegistry *const m_registry;
    DeviceTableModel *const m_table;
    DeviceSortFilterProxyModel *const m_view;
    SettingResultTableModel *const m_results;
    ResultRowModel *const m_resultRows;
    QList<QSharedPointer<DeviceData>> m_targets;
    LeftOut m_leftOut;
    //! The addresses each device of the change in flight is to take.
    QHash<QString, PlannedDevice> m_planned;
    //! The change in flight's result rows in request order, outcomes still to come.
    QVector<ResultRow> m_pending;
    //! The last change sent; a retry of its failures takes its settings.
    ChangeRequest m_request;
    QHash<QString, int> m_awaitingScan;
    QHash<QString, Unconfirmed> m_unconfirmed;
    //! The results shown: their request, and each device's result record.
    int m_shownRequest = 0;
    QHash<QString, QSharedPointer<SettingResultData>> m_shownResults;
    QHash<QString, ResultRow> m_settling;
    QString m_settledText;
    int m_lastRequest = 0;
    bool m_busy = false;
    ChangeTracker m_tracker;
    QElapsedTimer m_clock;
    QTimer *const m_timer;
};

#endif // ZVR_DEVICEFINDER_CHANGESESSION_H
