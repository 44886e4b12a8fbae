// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_VIEWMODELLISTMODEL_H
#define ZVR_VIEWMODELLISTMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>

#include <QAbstractListModel>

namespace ZVR {

/*! \brief Abstract base of the interface's list models: a reload and a column count
 *  callable from the interface, and row-change notifications for subclasses.
 */
class ZVRVIEWMODEL_EXPORT ViewModelListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    //! A model for a subclass to fill.
    explicit ViewModelListModel(QObject *parent = nullptr);
    ~ViewModelListModel() override;

    //! Makes every view read the model afresh.
    Q_INVOKABLE virtual void reload();
    //! The number of columns, callable from the interface.
    Q_INVOKABLE int columnCount(const QModelIndex &parent = QModelIndex()) const override = 0;

    //! Where a subclass wires itself to its data source; nothing here calls it.
    virtual void createConnects() = 0;

    //! Tells the views that rows \a first to \a last changed in every column and role.
    virtual void updateRowData(const int &first, const int &last);
    //! updateRowData() for one row.
    virtual void updateRowData(const int &row);

private:
    Q_DISABLE_COPY(ViewModelListModel)
};

} // namespace ZVR

#endif // ZVR_VIEWMODELLISTMODEL_H
