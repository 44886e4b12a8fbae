// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "tableexport.h"

#include "csvexport.h"
#include "devicecolumns.h"
#include "devicefinder.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace {

// A path typed by the user or handed over by a file dialog as a URL.
QString localPath(const QString &path)
{
    return path.startsWith(QLatin1String("file:")) ? QUrl(path).toLocalFile() : path;
}

} // namespace

TableExport::TableExport(DeviceFinder *finder, DeviceColumns *columns, QObject *parent)
    : QObject(parent)
    , m_finder(finder)
    , m_columns(columns)
{
}

TableExport::~TableExport() = default;

QString TableExport::cellText(int proxyRow, const QString &role) const
{
    DeviceSortFilterProxyModel *const proxy = m_finder->sortModel();
    const DeviceData *device = proxy->device(proxyRow);
    if (!device) {
        return QString();
    }
    if (role == QLatin1String("devIndex")) {
        return QString::number(proxy->sourceRow(proxyRow) + 1);
    }
    if (role == QLatin1String("checked")) {
        return device->checked() ? QStringLiteral("是") : QStringLiteral("否");
    }
    // The status column draws a coloured dot; in text it is the status word.
    if (role == QLatin1String("devStatus")) {
        return device->devStatusStr();
    }
    if (role == QLatin1String("ipState")) {
        return m_finder->ipStateText(int(device->ipState()));
    }
    if (role == QLatin1String("callRollState")) {
        return m_finder->callRollText(device->callRollState());
    }
    return device->property(role.toLatin1().constData()).toString();
}

QList<QStringList> TableExport::deviceTable(const QList<int> *proxyRows) const
{
    DeviceSortFilterProxyModel *const proxy = m_finder->sortModel();
    proxy->refresh();
    const QStringList roles = m_columns->visibleRoles();
    QList<QStringList> table;
    QStringList titles;
    for (const QString &role : roles) {
        titles.append(m_columns->title(role));
    }
    table.append(titles);
    const int count = proxyRows ? int(proxyRows->size()) : proxy->rowCount();
    for (int i = 0; i < count; ++i) {
        const int row = proxyRows ? proxyRows->at(i) : i;
        QStringList line;
        for (const QString &role : roles) {
            line.append(cellText(row, role));
        }
        table.append(line);
    }
    return table;
}

QList<QStringList> TableExport::resultTable() const
{
    const QVector<QStringList> rows = m_finder->resultRows();
    return QList<QStringList>(rows.begin(), rows.end());
}

int TableExport::copyRows(const QVariantList &proxyRows)
{
    QList<int> rows;
    for (const QVariant &row : proxyRows) {
        rows.append(row.toInt());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int count = m_finder->sortModel()->rowCount();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
        rows.end());
    if (rows.isEmpty()) {
        return 0;
    }
    copyText(Csv::join(deviceTable(&rows), Csv::Format::TabSeparated));
    return int(rows.size());
}

void TableExport::copyText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString TableExport::suggestedPath(const QString &stem) const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(stem + QLatin1Char('-') + stamp + QStringLiteral(".csv"));
}

QString TableExport::exportDevices(const QString &path)
{
    QString error;
    return Csv::writeFile(localPath(path), Csv::fileContents(deviceTable()), &error) ? QString() : error;
}

QString TableExport::exportResults(const QString &path)
{
    QString error;
    return Csv::writeFile(localPath(path), Csv::fileContents(resultTable()), &error) ? QString() : error;
}
