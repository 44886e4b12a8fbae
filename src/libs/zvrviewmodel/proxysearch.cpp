// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
// What the proxy's status filter and search let through.
#include "devicesortfilterproxymodel_p.h"

#include "columntable_p.h"
#include "devicedata.h"

#include <algorithm>
#include <utility>

using namespace ZVR::Private;

QString ZVR::Private::macDigits(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            continue;
        }
        const QChar lower = c.toLower();
        const bool hex = (lower >= QLatin1Char('0') && lower <= QLatin1Char('9'))
            || (lower >= QLatin1Char('a') && lower <= QLatin1Char('f'));
        if (!hex) {
            return QString();
        }
        digits.append(lower);
    }
    return digits;
}

bool ZVR::Private::isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool DeviceSortFilterProxyModelPrivate::matchesSearch(ProxyEntry *entry)
{
    const DeviceData &device = *entry->device;
    if (!searchLower.contains(QLatin1Char('\n'))) {
        // A match lies within one field: each is read and matched in turn, kept nowhere.
        for (const int i : searchedFields()) {
            const QString text = (device.*field(i).text)();
            if (isAscii(text)) {
                // Lower-casing ASCII is folding it; other text never matches in it.
                if (searchAscii && text.contains(searchLower, Qt::CaseInsensitive)) {
                    return true;
                }
            } else if (text.toLower().contains(searchLower)) {
                return true;
            }
        }
    } else {
        QString texts;
        bool first = true;
        for (const int i : searchedFields()) {
            if (!std::exchange(first, false)) {
                texts += QLatin1Char('\n');
            }
            texts += (device.*field(i).text)();
        }
        if (std::move(texts).toLower().contains(searchLower)) {
            return true;
        }
    }
    if (searchMac.isEmpty()) {
        return false;
    }
    RecordKeys &keys = entry->keys;
    if (!keys.searchValid) {
        QString macs;
        bool first = true;
        for (const int i : searchedFields()) {
            const DeviceField &searched = field(i);
            if (searched.search == SearchKind::Mac) {
                if (!std::exchange(first, false)) {
                    macs += QLatin1Char('\n');
                }
                macs += macDigits((device.*searched.text)());
            }
        }
        keys.macs = std::move(macs);
        keys.searchValid = true;
    }
    return keys.macs.contains(searchMac);
}

bool DeviceSortFilterProxyModelPrivate::filtering() const
{
    return statusFilter != DeviceSortFilterProxyModel::AllStatus || !searchText.isEmpty();
}

bool DeviceSortFilterProxyModelPrivate::accepts(ProxyEntry *entry)
{
    if (!filtering()) {
        return true;
    }
    const DeviceData *device = entry->device;
    if (!device) {
        return false;
    }
    if (statusFilter != DeviceSortFilterProxyModel::AllStatus && int(device->devStatus()) != statusFilter) {
        return false;
    }
    return searchText.isEmpty() || matchesSearch(entry);
}
