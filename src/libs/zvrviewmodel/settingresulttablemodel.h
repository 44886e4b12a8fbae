// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_SETTINGRESULTTABLEMODEL_H
#define ZVR_SETTINGRESULTTABLEMODEL_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <zvrviewmodel/settingresultdata.h>

#include <QAbstractTableModel>
#include <QList>
#include <QSharedPointer>

#include <memory>

class SettingResultTableModelPrivate;

/*! \brief The per-device outcomes of an address change, with the change's totals.
 *
 *  Every cell hands out the row's SettingResultData; rows arrive as a whole through
 *  resetResultList().
 */
class ZVRVIEWMODEL_EXPORT SettingResultTableModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(int totalNum READ totalNum WRITE setTotalNum NOTIFY totalNumChanged)
    Q_PROPERTY(int successNum READ successNum WRITE setSuccessNum NOTIFY successNumChanged)
    Q_PROPERTY(int failureNum READ failureNum WRITE setFailureNum NOTIFY failureNumChanged)
    Q_PROPERTY(int ethernetPort READ ethernetPort WRITE setEthernetPort NOTIFY ethernetPortChanged)

public:
    //! The table's columns; columnRole() names the SettingResultData property of each.
    enum ColumnType {
        ColDetail = 0,
        ColMac,
        ColIp,
        ColumnTypeCNT,
    };
    Q_ENUM(ColumnType)

    //! An empty table with every total 0.
    explicit SettingResultTableModel(QObject *parent = nullptr);
    ~SettingResultTableModel() override;

    //!@{
    //! The QAbstractItemModel interface: one row per device, each cell the row's record.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    //!@}

    //! The role name (the record's property) of a column, empty outside the columns.
    Q_INVOKABLE QString columnRole(int section) const;

    //!@{
    //! Totals of the change, set by the tool; they survive resetResultList().
    int totalNum() const;
    void setTotalNum(int value);
    int successNum() const;
    void setSuccessNum(int value);
    int failureNum() const;
    void setFailureNum(int value);
    //!@}
    //!@{
    //! The port the change was for, as the tool numbers it.
    int ethernetPort() const;
    void setEthernetPort(int value);
    //!@}

    //! Replaces every row under one model reset.
    void resetResultList(QList<QSharedPointer<SettingResultData>> list);

Q_SIGNALS:
    //!@{
    //! Emitted after the property of the same name changed.
    void totalNumChanged();
    void successNumChanged();
    void failureNumChanged();
    void ethernetPortChanged();
    //!@}

private:
    Q_DECLARE_PRIVATE(SettingResultTableModel)
    Q_DISABLE_COPY(SettingResultTableModel)
    std::unique_ptr<SettingResultTableModelPrivate> const d_ptr;
};

#endif // ZVR_SETTINGRESULTTABLEMODEL_H
