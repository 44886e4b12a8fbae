// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_BENCH_BASELINES_H
#define ZVR_BENCH_BASELINES_H

#include <macscanbll/macscandeviceinfo.h>

#include <QStandardItemModel>
#include <QVariant>

#include <vector>

// What the device table is measured against: the same work done the way a Qt developer
// would otherwise do it, and the same work without any object model at all.

//! Number of columns, roles and values per row, as in DeviceTableModel::ColumnType.
constexpr int ValuesPerRow = 22;

/*! \brief A QStandardItemModel with one item per value, 22 to a row.
 *
 *  Items keep the texts under Qt::DisplayRole; the ip items keep the address integer,
 *  and the kind, sub-kind and malfunction items their raw values, under Qt::UserRole.
 *  The operate item keeps the communication MAC.
 */
class ItemModelTable
{
public:
    ItemModelTable();

    void append(const MacScanDeviceInfo &info);
    //! Takes a share of a report into a row: 1 the MAC-scan share, 2 the UDP share.
    void update(int row, const MacScanDeviceInfo &info, int mode);
    QVariant cell(int row, int column) const;
    void checkAllOnline();
    int checkType() const;
    void uncheckAll();

    int rowCount() const { return m_model.rowCount(); }
    QStandardItemModel &model() { return m_model; }

private:
    void updateFromMac(int row, const MacScanDeviceInfo &info);
    void updateFromUdp(int row, const MacScanDeviceInfo &info);
    void updateCompleteType(int row);
    void setCell(int row, int column, const QVariant &value, int role);

    QStandardItemModel m_model;
};

//! One device as plain data: the fields of the record, nothing observable.
struct FloorDevice
{
    bool checked = false;
    QString devModel;
    int ipState = 1;
    QString serialNumber;
    NodeType nodeType = NodeInvalid;
    int devStatus = 0;
    int malfunctionVal = 0;
    QString name;
    SubNodeType subNodeType = SubNodeNone;
    QString firmwareVer;
    QString devTime;
    int callRollState = 0;
    DeviceRunMode runMode = RunModeInvalid;
    QVector<t_device_network_info> networkInfo;
    QString commMac;
};

/*! \brief The floor: a std::vector of plain records, the same comparisons and the same
 *  address conversion, and nothing else.
 */
class FloorTable
{
public:
    void append(const MacScanDeviceInfo &info);
    void update(int row, const MacScanDeviceInfo &info, int mode);
    QVariant cell(int row, int role) const;
    void checkAllOnline();
    int checkType() const;
    void uncheckAll();

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const FloorDevice &row(int row) const { return m_rows[static_cast<size_t>(row)]; }
    //! Stored values changed by updates so far.
    long long changes() const { return m_changes; }

private:
    void updateFromMac(FloorDevice &device, const MacScanDeviceInfo &info);
    void updateFromUdp(FloorDevice &device, const MacScanDeviceInfo &info);

    std::vector<FloorDevice> m_rows;
    long long m_changes = 0;
};

// The record's display texts, for the two baselines.
QString nodeTypeText(int type);
QString subNodeTypeText(int type);
QString runModeText(int mode);
QString devStatusText(int status);
QString malfunctionText(int word);
QString completeTypeText(int type, int subType);

#endif // ZVR_BENCH_BASELINES_H
