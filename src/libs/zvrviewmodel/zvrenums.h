// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_ZVRENUMS_H
#define ZVR_ZVRENUMS_H

#include <zvrviewmodel/zvrviewmodel_global.h>

#include <QObject>

//! Carries the state of a check box that stands for a whole list.
class ZVRVIEWMODEL_EXPORT ZVRCheckBox : public QObject
{
    Q_OBJECT

public:
    //! Check state of a whole table; Invalid when it cannot be told.
    enum CheckType {
        Invalid = 0,
        None = 1,
        Some = 2,
        All = 3,
    };
    Q_ENUM(CheckType)
};

//! Carries the button sets of the interface's message boxes.
class ZVRVIEWMODEL_EXPORT ZVRMessageBox : public QObject
{
    Q_OBJECT

public:
    //! Which buttons a message box shows.
    enum MessageBoxType {
        OK = 0,
        Cancel = 1,
        OKCancel = 2,
        None = 3,
    };
    Q_ENUM(MessageBoxType)
};

//! Carries the states of a column's sort button.
class ZVRVIEWMODEL_EXPORT ZVRSortButton : public QObject
{
    Q_OBJECT

public:
    //! Unsorted, ascending or descending.
    enum SortMode {
        None = 0,
        Ascend = 1,
        Descend = 2,
    };
    Q_ENUM(SortMode)
};

#endif // ZVR_ZVRENUMS_H
