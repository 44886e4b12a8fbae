// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_DEVICECOLUMNS_H
#define ZVR_DEVICEFINDER_DEVICECOLUMNS_H

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

class QSettings;

/*! \brief The device table's columns as the user arranged them: order, visibility and
 *  width of every role of the device table, kept in QSettings between runs.
 *
 *  The check-box column stays first and shown. Every change is saved at once; a
 *  missing or unreadable saved layout gives the default one, with a log line.
 */
class DeviceColumns : public QObject
{
    Q_OBJECT
    //! Every role, in the order shown, hidden ones included.
    Q_PROPERTY(QStringList order READ order NOTIFY orderChanged)
    //! The shown roles, in the order shown.
    Q_PROPERTY(QStringList visibleRoles READ visibleRoles NOTIFY orderChanged)
    //! Width in pixels by role.
    Q_PROPERTY(QVariantMap widths READ widths NOTIFY widthsChanged)
    //! Title by role; the check-box column's is for lists and exports only.
    Q_PROPERTY(QVariantMap titles READ titles CONSTANT)

public:
    static constexpr int MinimumWidth = 40;
    static constexpr int MaximumWidth = 800;

    //! Reads the saved layout from \a settings, which may be null (nothing is kept).
    explicit DeviceColumns(QSettings *settings = nullptr, QObject *parent = nullptr);
    ~DeviceColumns() override;

    QStringList order() const;
    QStringList visibleRoles() const;
    QVariantMap widths() const;
    QVariantMap titles() const;

    Q_INVOKABLE QString title(const QString &role) const;
    Q_INVOKABLE int width(const QString &role) const;
    Q_INVOKABLE bool isVisible(const QString &role) const;
    //! Whether the user may hide or move \a role.
    Q_INVOKABLE bool isMovable(const QString &role) const;

    Q_INVOKABLE void setVisible(const QString &role, bool visible);
    //! Clamped to MinimumWidth..MaximumWidth.
    Q_INVOKABLE void setWidth(const QString &role, int width);
    //! setWidth() without saving, while the user still drags; setWidth() at the end keeps it.
    Q_INVOKABLE void previewWidth(const QString &role, int width);
    //! Moves \a role by \a steps places among the movable roles (negative: left).
    Q_INVOKABLE void move(const QString &role, int steps);
    Q_INVOKABLE void restoreDefaults();

    //! The saved form of the current layout, as kept under settingsKey().
    QString serialized() const;
    static QString settingsKey();

Q_SIGNALS:
    void orderChanged();
    void widthsChanged();

private:
    bool parse(const QString &text, QString *error);
    void load();
    void setDefaults();
    void save();

    Q_DISABLE_COPY(DeviceColumns)
    QSettings *const m_settings;
    QStringList m_order;
    QSet<QString> m_hidden;
    QHash<QString, int> m_widths;
};

#endif // ZVR_DEVICEFINDER_DEVICECOLUMNS_H
