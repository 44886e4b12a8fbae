// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_COLUMNROLES_P_H
#define ZVR_COLUMNROLES_P_H

#include <QMap>
#include <QMetaEnum>
#include <QMetaObject>
#include <QString>

#include <initializer_list>

namespace ZVR {
namespace Private {

// The role name of every key of a table model's ColumnType, in the enumeration's order;
// the keys past the names (the count marker) get an empty one.
inline QMap<int, QString> columnRoles(const QMetaObject &meta, std::initializer_list<const char *> names)
{
    const QMetaEnum columns = meta.enumerator(meta.indexOfEnumerator("ColumnType"));
    QMap<int, QString> roles;
    for (int i = 0; i < columns.keyCount(); ++i) {
        roles.insert(i, i < int(names.size()) ? QString::fromLatin1(names.begin()[i]) : QString());
    }
    return roles;
}

} // namespace Private
} // namespace ZVR

#endif // ZVR_COLUMNROLES_P_H
