// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_RESULTROWMODEL_H
#define ZVR_DEVICEFINDER_RESULTROWMODEL_H

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>
#include <QVector>

//! One device of the last change: what it was to become and what came of it.
struct ResultRow
{
    enum State {
        Failed, //!< known to keep its settings
        Succeeded, //!< known to have taken them
        Unconfirmed, //!< no answer in time: whether it took them is not known yet
    };

    QString name;
    QString mac;
    QString oldIp;
    QString plannedIp;
    //! The address the device reported back; empty when the change failed.
    QString newIp;
    quint32 offset = 0; //!< its step up from the change's start address
    State state = Failed;
    QString detail;
    //! A master or backup node refused: a retry would be refused again.
    bool locked = false;

    bool succeeded() const { return state == Succeeded; }
};

/*! \brief The results view's rows: name, MAC, old and new address, outcome and detail
 *  of each device, all of them or the failures only.
 */
class ResultRowModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(bool failuresOnly READ failuresOnly WRITE setFailuresOnly NOTIFY failuresOnlyChanged)
    Q_PROPERTY(int failureCount READ failureCount NOTIFY rowsReset)
    Q_PROPERTY(int unconfirmedCount READ unconfirmedCount NOTIFY rowsReset)
    Q_PROPERTY(int retryableCount READ retryableCount NOTIFY rowsReset)
    Q_PROPERTY(int totalCount READ totalCount NOTIFY rowsReset)
    Q_PROPERTY(QStringList headers READ headers CONSTANT)

public:
    enum Role {
        CellsRole = Qt::UserRole + 1, //!< the row's texts, one per column of headers()
        SucceededRole,
        StateRole, //!< "outcome": a ResultRow::State
    };

    using QAbstractListModel::QAbstractListModel;

    void reset(const QVector<ResultRow> &rows);
    //! Settles the rows of the devices \a settled names, the rest as they are.
    void settle(const QHash<QString, ResultRow> &settled);
    const QVector<ResultRow> &rows() const;
    bool failuresOnly() const;
    void setFailuresOnly(bool failuresOnly);
    //! The devices known to have kept their settings.
    int failureCount() const;
    int unconfirmedCount() const;
    //! The failures that a retry sends again.
    int retryableCount() const;
    int totalCount() const;

    QStringList headers() const;
    //! The texts of the rows shown (all, or the failures only), in the columns of headers().
    QVector<QStringList> table() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void failuresOnlyChanged();
    void rowsReset();

private:
    QStringList cells(int row) const;
    void count();
    void select();

    QVector<ResultRow> m_rows;
    QVector<int> m_shown; // indexes into m_rows, in order
    bool m_failuresOnly = false;
    int m_failures = 0;
    int m_unconfirmed = 0;
    int m_retryable = 0;
};

#endif // ZVR_DEVICEFINDER_RESULTROWMODEL_H
