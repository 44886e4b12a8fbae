// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CSVEXPORT_H
#define ZVR_DEVICEFINDER_CSVEXPORT_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

//! Tables of texts as CSV files and as tab-separated text for the clipboard.
namespace Csv {

enum class Format {
    //! RFC 4180: CRLF line ends; a field with a comma, quote, CR or LF is quoted, its quotes doubled.
    Csv,
    //! Tab between fields, LF after each line; tabs and line breaks inside a field become blanks.
    TabSeparated,
};

QString join(const QList<QStringList> &rows, Format format);
//! The CSV form as a file holds it: UTF-8 with a byte order mark.
QByteArray fileContents(const QList<QStringList> &rows);
/*! Replaces \a path with \a contents, or leaves it as it was; on failure \a error says
 *  why in words for the user.
 */
bool writeFile(const QString &path, const QByteArray &contents, QString *error);

} // namespace Csv

#endif // ZVR_DEVICEFINDER_CSVEXPORT_H
