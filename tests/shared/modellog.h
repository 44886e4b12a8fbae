// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TESTS_MODELLOG_H
#define ZVR_TESTS_MODELLOG_H

#include "logcapture.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <utility>

// Logs every notification a view acts on, in order, with rows, ranges and roles.
inline void logModel(QAbstractItemModel *model, QStringList *log)
{
    using M = QAbstractItemModel;
    const auto rows = [=](const char *what) {
        return [=](const QModelIndex &, int first, int last) {
            log->append(QString::fromLatin1("%1 %2-%3").arg(QLatin1String(what)).arg(first).arg(last));
        };
    };
    QObject::connect(model, &M::rowsAboutToBeInserted, model, rows("aboutToInsert"));
    QObject::connect(model, &M::rowsInserted, model, rows("inserted"));
    QObject::connect(model, &M::rowsAboutToBeRemoved, model, rows("aboutToRemove"));
    QObject::connect(model, &M::rowsRemoved, model, rows("removed"));
    QObject::connect(model, &M::rowsMoved, model,
        [=](const QModelIndex &, int first, int last, const QModelIndex &, int to) {
            log->append(QString::fromLatin1("moved %1-%2 to %3").arg(first).arg(last).arg(to));
        });
    QObject::connect(model, &M::modelAboutToBeReset, model, [=] { log->append("aboutToReset"); });
    QObject::connect(model, &M::modelReset, model, [=] { log->append("reset"); });
    QObject::connect(model, &M::layoutChanged, model, [=] { log->append("layoutChanged"); });
    QObject::connect(model, &M::headerDataChanged, model, [=] { log->append("headerDataChanged"); });
    QObject::connect(model, &M::dataChanged, model,
        [=](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) {
            const auto cellName = [](const QModelIndex &index) {
                return index.isValid() ? QString::fromLatin1("%1,%2").arg(index.row()).arg(index.column())
                                       : QStringLiteral("invalid");
            };
            QStringList names;
            for (const int role : roles) {
                names << QString::number(role);
            }
            log->append(QString::fromLatin1("dataChanged %1 %2 [%3]")
                            .arg(cellName(topLeft), cellName(bottomRight), names.join(QLatin1Char(','))));
        });
}

// A log line with its whole context, as one comparable text.
inline QString contextLine(const CapturedMessage &msg)
{
    static const char *const types[] = { "debug", "warning", "critical", "fatal", "info" };
    return QString::fromLatin1("%1 %2 %3 %4%5| %6")
        .arg(QLatin1String(types[msg.type]), msg.category, msg.file, msg.function,
            QLatin1String(msg.line > 0 ? " " : " NOLINE "), msg.text);
}

// The item-model tester's complaints, less those that contain one of \a excused.
inline QStringList testerComplaints(const LogCapture &cap, const QStringList &excused = {})
{
    QStringList result;
    for (const CapturedMessage &msg : cap.lines()) {
        const auto inText = [&](const QString &excuse) { return msg.text.contains(excuse); };
        if (msg.category == QLatin1String("qt.modeltest")
            && std::none_of(excused.cbegin(), excused.cend(), inText)) {
            result << msg.text;
        }
    }
    return result;
}

// What the tester says of a table whose cells hold the row's object for the standard roles
// too, and whose counts ignore their parent.
static const QStringList TableExcuses = { "FAIL! variant.canConvert<",
    "FAIL! model->hasChildren(topIndex) ()", "Actual (model->parent(childIndex))" };

// The library's own lines, without the tester's.
inline QList<CapturedMessage> ownLines(const LogCapture &cap)
{
    QList<CapturedMessage> result;
    for (const CapturedMessage &msg : cap.lines()) {
        if (msg.category != QLatin1String("qt.modeltest")) {
            result << msg;
        }
    }
    return result;
}

inline QStringList take(QStringList &log)
{
    return std::exchange(log, {});
}

#endif // ZVR_TESTS_MODELLOG_H
