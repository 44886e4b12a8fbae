// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "csvexport.h"

#include <QDir>
#include <QSaveFile>

namespace Csv {

namespace {

QString csvField(const QString &field)
{
    const bool quoted = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
        || field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!quoted) {
        return field;
    }
    QString escaped = field;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString tabField(QString field)
{
    field.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : field) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            c = QLatin1Char(' ');
        }
    }
    return field;
}

} // namespace

QString join(const QList<QStringList> &rows, Format format)
{
    const bool csv = format == Format::Csv;
    const QLatin1String separator(csv ? "," : "\t");
    const QLatin1String lineEnd(csv ? "\r\n" : "\n");
    QString text;
    for (const QStringList &row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (i > 0) {
                text += separator;
            }
            text += csv ? csvField(row.at(i)) : tabField(row.at(i));
        }
        text += lineEnd;
    }
    return text;
}

QByteArray fileContents(const QList<QStringList> &rows)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + join(rows, Format::Csv).toUtf8();
}

bool writeFile(const QString &path, const QByteArray &contents, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty()) {
        *error = QStringLiteral("没有填写文件名。");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法在“%1”创建文件：文件夹不存在，或没有写入权限。").arg(shown);
        return false;
    }
    if (file.write(contents) != contents.size() || !file.commit()) {
        *error = QStringLiteral("写入“%1”失败（磁盘已满或没有权限），原有文件未改动。").arg(shown);
        return false;
    }
    return true;
}

} // namespace Csv
