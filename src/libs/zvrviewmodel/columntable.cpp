// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "columntable_p.h"

#include "ipaddresshelper.h"

#include <algorithm>
#include <iterator>

namespace ZVR {
namespace Private {

namespace {

using D = DeviceData;
using K = SortKind;
using S = SearchKind;

// Dotted address text as a number for ordering; -1 for anything that is not one.
qint64 addressOrder(const QString &text)
{
    quint32 value = 0;
    return parseIPv4(text, &value) ? qint64(value) : -1;
}

// The columns in the order of DeviceTableModel::ColumnType, then the fields that only
// the search reads. A new column is one row here and a title in the tool.
constexpr DeviceField fields[] = {
    { "checked", &D::checkedChanged, K::Number, S::No, nullptr,
        [](const D &d) -> qint64 { return d.checked(); } },
    { "devIndex", nullptr, K::Row, S::No, nullptr, nullptr },
    { "name", &D::nameChanged, K::Natural, S::Text, &D::name, nullptr },
    { "nodeType", &D::nodeTypeChanged, K::Natural, S::No, &D::nodeType, nullptr },
    { "subNodeType", &D::subNodeTypeChanged, K::Natural, S::No, &D::subNodeType, nullptr },
    { "completeType", &D::completeTypeChanged, K::Natural, S::No, &D::completeType, nullptr },
    { "devModel", &D::devModelChanged, K::Natural, S::No, &D::devModel, nullptr },
    { "devStatus", &D::devStatusChanged, K::Number, S::No, nullptr,
        [](const D &d) -> qint64 { return d.devStatus(); } },
    { "devStatusStr", &D::devStatusStrChanged, K::Natural, S::No, &D::devStatusStr, nullptr },
    { "malfunction", &D::malfunctionChanged, K::Natural, S::No, &D::malfunction, nullptr },
    { "ipState", &D::ipStateChanged, K::Number, S::No, nullptr,
        [](const D &d) -> qint64 { return d.ipState(); } },
    { "runMode", &D::runModeChanged, K::Natural, S::No, &D::runMode, nullptr },
    { "firmwareVer", &D::firmwareVerChanged, K::Natural, S::No, &D::firmwareVer, nullptr },
    { "devTime", &D::devTimeChanged, K::Natural, S::No, &D::devTime, nullptr },
    { "callRollState", &D::callRollStateChanged, K::Number, S::No, nullptr,
        [](const D &d) -> qint64 { return d.callRollState(); } },
    { "serialNumber", &D::serialNumberChanged, K::Natural, S::Text, &D::serialNumber, nullptr },
    { "mac", &D::macChanged, K::Text, S::Mac, &D::mac, nullptr },
    // The port's stored integer: a port without a valid address keeps its own place.
    { "ip", &D::ipChanged, K::Address, S::Text, &D::ip,
        [](const D &d) -> qint64 { return d.networkIpInt(0); } },
    { "ip2", &D::ip2Changed, K::Address, S::Text, &D::ip2,
        [](const D &d) -> qint64 { return d.networkIpInt(1); } },
    { "subnetMask", &D::subnetMaskChanged, K::Address, S::No, &D::subnetMask,
        [](const D &d) { return addressOrder(d.subnetMask()); } },
    { "gateway", &D::gatewayChanged, K::Address, S::No, &D::gateway,
        [](const D &d) { return addressOrder(d.gateway()); } },
    { "operate", nullptr, K::None, S::No, nullptr, nullptr },
    // Searched, shown by no column.
    { "mac2", &D::mac2Changed, K::Text, S::Mac, &D::mac2, nullptr },
};

// A field sorted by number has its reader. (The text readers are member pointers, which
// the undefined-behaviour sanitizer keeps out of constant expressions.)
constexpr bool numbersAreRead()
{
    for (const DeviceField &f : fields) {
        if ((f.sort == K::Address || f.sort == K::Number) && f.number == nullptr) {
            return false;
        }
    }
    return true;
}

static_assert(std::size(fields) == columnFieldCount + 1, "one field per column, then mac2");
static_assert(numbersAreRead(), "every field sorted by number has its reader");

} // namespace

const DeviceField &field(int index)
{
    return fields[index];
}

int fieldOfRole(const QByteArray &role)
{
    const auto found = std::find_if(
        std::begin(fields), std::end(fields), [&](const DeviceField &f) { return role == f.role; });
    return found == std::end(fields) ? -1 : int(found - std::begin(fields));
}

// The indexes of the fields that \a wanted picks.
template<typename Wanted> QVector<int> indexesOf(Wanted wanted)
{
    QVector<int> indexes;
    int index = 0;
    for (const DeviceField &f : fields) {
        if (wanted(f)) {
            indexes.append(index);
        }
        ++index;
    }
    return indexes;
}

const QVector<int> &searchedFields()
{
    static const QVector<int> searched = indexesOf([](const DeviceField &f) { return f.search != S::No; });
    return searched;
}

const QVector<int> &notifyingFields()
{
    static const QVector<int> notifying
        = indexesOf([](const DeviceField &f) { return f.changed != nullptr; });
    return notifying;
}

} // namespace Private
} // namespace ZVR
