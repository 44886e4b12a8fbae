// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_TABLEEXPORT_H
#define ZVR_DEVICEFINDER_TABLEEXPORT_H

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>

class DeviceColumns;
class DeviceFinder;

/*! \brief The device list and the change results as texts: copied to the clipboard as
 *  tab-separated lines, or exported as CSV files.
 *
 *  The device list is taken as shown: the rows that pass the filter in their sorted
 *  order, the shown columns in their order, titles first.
 */
class TableExport : public QObject
{
    Q_OBJECT

public:
    TableExport(DeviceFinder *finder, DeviceColumns *columns, QObject *parent = nullptr);
    ~TableExport() override;

    //! The text of \a role for the device in \a proxyRow, as a cell shows it.
    Q_INVOKABLE QString cellText(int proxyRow, const QString &role) const;
    //! Titles, then one line per proxy row of \a proxyRows, or every shown row when null.
    QList<QStringList> deviceTable(const QList<int> *proxyRows = nullptr) const;
    //! The rows of the last change's results as the results view shows them, titles first.
    QList<QStringList> resultTable() const;

    //! Copies \a proxyRows in the order shown; returns how many were copied.
    Q_INVOKABLE int copyRows(const QVariantList &proxyRows);
    Q_INVOKABLE void copyText(const QString &text);
    //! A new file name in the documents folder, or the home folder where there is none.
    Q_INVOKABLE QString suggestedPath(const QString &stem) const;
    //! Writes the device list to \a path; an empty text, or what went wrong in plain words.
    Q_INVOKABLE QString exportDevices(const QString &path);
    Q_INVOKABLE QString exportResults(const QString &path);

private:
    Q_DISABLE_COPY(TableExport)
    DeviceFinder *const m_finder;
    DeviceColumns *const m_columns;
};

#endif // ZVR_DEVICEFINDER_TABLEEXPORT_H
