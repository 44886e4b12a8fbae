// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicecolumns.h"

#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/displaytexts.h>

#include <QSettings>
#include <QtDebug>

#include <vector>

namespace {

struct ColumnDefault
{
    const char *role;
    const char *title;
    int width;
};

// The tool's order, titles and widths: what identifies a device comes first; the
// check-box column stays in front.
const ColumnDefault toolColumns[] = {
    { "checked", "勾选", 64 },
    { "devStatus", "状态", 72 },
    { "name", "设备名称", 210 },
    { "ip", nullptr, 132 },
    { "subnetMask", nullptr, 132 },
    { "gateway", nullptr, 132 },
    { "mac", "MAC地址", 190 },
    { "serialNumber", "序列号", 128 },
    { "nodeType", "设备类型", 124 },
    { "devModel", "设备型号", 104 },
    { "devIndex", "序号", 72 },
    { "devStatusStr", "设备状态", 104 },
    { "completeType", "完整类型", 132 },
    { "subNodeType", "子类型", 88 },
    { "ipState", "IP状态", 96 },
    { "malfunction", "故障信息", 150 },
    { "runMode", "运行模式", 104 },
    { "firmwareVer", "固件版本", 104 },
    { "devTime", "设备时间", 200 },
    { "callRollState", "点名状态", 104 },
    { "ip2", nullptr, 132 },
    { "subnetMask2", nullptr, 132 },
    { "gateway2", nullptr, 132 },
};

QString titleOf(const ColumnDefault &column)
{
    if (column.title) {
        return QString::fromUtf8(column.title);
    }
    // Each port's address, mask and gateway, the port named in every title.
    const QString role = QLatin1String(column.role);
    const QString port = STR_NETWORK_PORT + (role.endsWith(QLatin1Char('2')) ? QStringLiteral("2 ") : QStringLiteral("1 "));
    if (role.startsWith(QLatin1String("subnetMask"))) {
        return port + STR_SUBNET_MASK;
    }
    if (role.startsWith(QLatin1String("gateway"))) {
        return port + STR_GATEWAY_ADDRESS;
    }
    return port + QStringLiteral("IP");
}

struct Column
{
    QString role;
    QString title;
    int width;
};

// The tool's columns in its order; a column of the device table that the list above
// lacks goes last, titled by its role.
const std::vector<Column> &columnDefaults()
{
    static const std::vector<Column> columns = [] {
        const DeviceTableModel table;
        QStringList roles;
        for (int section = 0; section < table.columnCount(); ++section) {
            roles.append(table.columnRole(section));
        }
        std::vector<Column> result;
        // Port 2's mask and gateway are the tool's own columns (ArrangedColumnsModel).
        for (const ColumnDefault &column : toolColumns) {
            roles.removeOne(QLatin1String(column.role));
            result.push_back({ QLatin1String(column.role), titleOf(column), column.width });
        }
        for (const QString &role : qAsConst(roles)) {
            result.push_back({ role, role, 120 });
        }
        return result;
    }();
    return columns;
}

const QString checkRole = QStringLiteral("checked");

const Column *defaultOf(const QString &role)
{
    for (const Column &column : columnDefaults()) {
        if (role == column.role) {
            return &column;
        }
    }
    return nullptr;
}

} // namespace

DeviceColumns::DeviceColumns(QSettings *settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
    load();
}

DeviceColumns::~DeviceColumns() = default;

QString DeviceColumns::settingsKey()
{
    return QStringLiteral("deviceTable/columns");
}

QStringList DeviceColumns::order() const
{
    return m_order;
}

QStringList DeviceColumns::visibleRoles() const
{
    QStringList roles;
    for (const QString &role : m_order) {
        if (!m_hidden.contains(role)) {
            roles.append(role);
        }
    }
    return roles;
}

QVariantMap DeviceColumns::widths() const
{
    QVariantMap map;
    for (auto it = m_widths.cbegin(); it != m_widths.cend(); ++it) {
        map.insert(it.key(), it.value());
    }
    return map;
}

QVariantMap DeviceColumns::titles() const
{
    QVariantMap map;
    for (const Column &column : columnDefaults()) {
        map.insert(column.role, column.title);
    }
    return map;
}

QString DeviceColumns::title(const QString &role) const
{
    const Column *column = defaultOf(role);
    return column ? column->title : QString();
}

int DeviceColumns::width(const QString &role) const
{
    return m_widths.value(role, 0);
}

bool DeviceColumns::isVisible(const QString &role) const
{
    return m_widths.contains(role) && !m_hidden.contains(role);
}

bool DeviceColumns::isMovable(const QString &role) const
{
    return role != checkRole && m_widths.contains(role);
}

void DeviceColumns::setVisible(const QString &role, bool visible)
{
    if (!isMovable(role) || isVisible(role) == visible) {
        return;
    }
    if (visible) {
        m_hidden.remove(role);
    } else {
        m_hidden.insert(role);
    }
    save();
    Q_EMIT orderChanged();
}

void DeviceColumns::setWidth(const QString &role, int width)
{
    if (m_widths.contains(role)) {
        previewWidth(role, width);
        save();
    }
}

void DeviceColumns::previewWidth(const QString &role, int width)
{
    const int clamped = qBound(MinimumWidth, width, MaximumWidth);
    if (!m_widths.contains(role) || m_widths.value(role) == clamped) {
        return;
    }
    m_widths.insert(role, clamped);
    Q_EMIT widthsChanged();
}

void DeviceColumns::move(const QString &role, int steps)
{
    const int from = m_order.indexOf(role);
    // Place 0 belongs to the check-box column.
    const int to = qBound(1, from + steps, int(m_order.size()) - 1);
    if (!isMovable(role) || to == from) {
        return;
    }
    m_order.move(from, to);
    save();
    Q_EMIT orderChanged();
}

void DeviceColumns::restoreDefaults()
{
    setDefaults();
    save();
    Q_EMIT orderChanged();
    Q_EMIT widthsChanged();
}

QString DeviceColumns::serialized() const
{
    QStringList entries;
    for (const QString &role : m_order) {
        entries.append((m_hidden.contains(role) ? QStringLiteral("-") : QString()) + role + QLatin1Char(':')
            + QString::number(m_widths.value(role)));
    }
    return entries.join(QLatin1Char(','));
}

// Reads "role:width" entries, "-" in front of a hidden one; roles it lacks join at the
// end with their defaults, so that a layout saved before a column existed still reads.
bool DeviceColumns::parse(const QString &text, QString *error)
{
    QStringList order;
    QSet<QString> hidden;
    QHash<QString, int> widths;
    const QStringList entries = text.split(QLatin1Char(','));
    for (const QString &entry : entries) {
        const bool hide = entry.startsWith(QLatin1Char('-'));
        const QStringList parts = entry.mid(hide ? 1 : 0).split(QLatin1Char(':'));
        bool ok = false;
        const int width = parts.value(1).toInt(&ok);
        const QString role = parts.value(0);
        if (parts.size() != 2 || !ok || width < MinimumWidth || width > MaximumWidth || !defaultOf(role)) {
            *error = QStringLiteral("unreadable entry \"%1\"").arg(entry);
            return false;
        }
        if (widths.contains(role)) {
            *error = QStringLiteral("column \"%1\" twice").arg(role);
            return false;
        }
        order.append(role);
        widths.insert(role, width);
        if (hide && role != checkRole) {
            hidden.insert(role);
        }
    }
    for (const Column &column : columnDefaults()) {
        if (!widths.contains(column.role)) {
            order.append(column.role);
            widths.insert(column.role, column.width);
        }
    }
    order.move(order.indexOf(checkRole), 0);
    m_order = order;
    m_hidden = hidden;
    m_widths = widths;
    return true;
}

void DeviceColumns::load()
{
    QSettings *const settings = m_settings;
    const QVariant value = settings ? settings->value(settingsKey()) : QVariant();
    QString error;
    if (!value.isValid()) {
        if (settings) {
            qInfo("No saved column layout; showing the default columns");
        }
    } else if (parse(value.toString(), &error)) {
        return;
    } else {
        qWarning().noquote() << QStringLiteral(
            "Saved column layout is unreadable (%1); showing the default columns")
                                    .arg(error);
    }
    // Defaults without writing them: an unreadable value stays until the user changes a column.
    setDefaults();
}

void DeviceColumns::setDefaults()
{
    m_order.clear();
    m_hidden.clear();
    m_widths.clear();
    for (const Column &column : columnDefaults()) {
        m_order.append(column.role);
        m_widths.insert(column.role, column.width);
    }
}

void DeviceColumns::save()
{
    if (m_settings) {
        m_settings->setValue(settingsKey(), serialized());
    }
}
