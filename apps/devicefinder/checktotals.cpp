// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "checktotals.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/zvrenums.h>

CheckTotals::CheckTotals(QObject *parent)
    : QObject(parent)
{
}

CheckTotals::~CheckTotals() = default;

void CheckTotals::add(DeviceData *device)
{
    const auto changed = [this, device] { recount(device); };
    connect(device, &DeviceData::checkedChanged, this, changed);
    connect(device, &DeviceData::devStatusChanged, this, changed);
    m_counted.insert(device, 0);
    recount(device);
    schedule();
}

void CheckTotals::remove(const DeviceData *device)
{
    const auto it = m_counted.find(device);
    if (it == m_counted.end()) {
        return;
    }
    const quint8 previous = it.value();
    m_counted.erase(it);
    m_countedOnline -= previous & 1;
    m_countedChecked -= (previous >> 1) & 1;
    m_countedCheckedOnline -= previous == 3 ? 1 : 0;
    schedule();
}

void CheckTotals::clear()
{
    m_counted.clear();
    m_countedOnline = 0;
    m_countedChecked = 0;
    m_countedCheckedOnline = 0;
    schedule();
}

int CheckTotals::allCheckType() const
{
    return m_allCheckType;
}

int CheckTotals::checkedCount() const
{
    return m_checkedCount;
}

int CheckTotals::onlineCount() const
{
    return m_onlineCount;
}

int CheckTotals::tableCount() const
{
    return m_tableCount;
}

void CheckTotals::schedule()
{
    if (m_queued) {
        return;
    }
    m_queued = true;
    QMetaObject::invokeMethod(this, &CheckTotals::update, Qt::QueuedConnection);
}

void CheckTotals::recount(const DeviceData *device)
{
    const quint8 state = (device->online() ? 1 : 0) | (device->checked() ? 2 : 0);
    const auto it = m_counted.find(device);
    if (it == m_counted.end() || it.value() == state) {
        return;
    }
    const quint8 previous = it.value();
    it.value() = state;
    m_countedOnline += (state & 1) - (previous & 1);
    m_countedChecked += ((state >> 1) & 1) - ((previous >> 1) & 1);
    m_countedCheckedOnline += (state == 3 ? 1 : 0) - (previous == 3 ? 1 : 0);
    schedule();
}

void CheckTotals::update()
{
    m_queued = false;
    int type = ZVRCheckBox::Some;
    if (m_countedCheckedOnline == 0) {
        type = ZVRCheckBox::None;
    } else if (m_countedCheckedOnline == m_countedOnline) {
        type = ZVRCheckBox::All;
    }
    if (type == m_allCheckType && m_countedChecked == m_checkedCount && m_countedOnline == m_onlineCount
        && m_counted.size() == m_tableCount) {
        return;
    }
    m_tableCount = m_counted.size();
    m_allCheckType = type;
    m_checkedCount = m_countedChecked;
    m_onlineCount = m_countedOnline;
    Q_EMIT changed();
}
