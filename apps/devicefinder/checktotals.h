// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CHECKTOTALS_H
#define ZVR_DEVICEFINDER_CHECKTOTALS_H

#include <QHash>
#include <QObject>

class DeviceData;

/*! \brief The header check box's state and the totals beside it, kept by following
 *  each counted record's online and checked state.
 *
 *  Many records change in one scan round: the totals are worked out once after it,
 *  and changed() is emitted only when one of them moved.
 */
class CheckTotals : public QObject
{
    Q_OBJECT

public:
    explicit CheckTotals(QObject *parent = nullptr);
    ~CheckTotals() override;

    void add(DeviceData *device);
    //! Takes \a device's share out of the totals; it no longer counts, whatever it does.
    void remove(const DeviceData *device);
    void clear();

    //! A ZVRCheckBox::CheckType value: every online device checked is All, offline rows aside.
    int allCheckType() const;
    int checkedCount() const;
    int onlineCount() const;
    int tableCount() const;

    //! Works the totals out after the current event-loop turn.
    void schedule();

Q_SIGNALS:
    void changed();

private:
    void recount(const DeviceData *device);
    void update();

    Q_DISABLE_COPY(CheckTotals)
    //! Each record's last counted state: bit 0 online, bit 1 checked.
    QHash<const DeviceData *, quint8> m_counted;
    int m_countedOnline = 0;
    int m_countedChecked = 0;
    int m_countedCheckedOnline = 0;
    // What was last told.
    int m_allCheckType = 1; // ZVRCheckBox::None
    int m_checkedCount = 0;
    int m_onlineCount = 0;
    int m_tableCount = 0;
    bool m_queued = false;
};

#endif // ZVR_DEVICEFINDER_CHECKTOTALS_H
