// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>

#include <macscanbll/macscandeviceinfo.h>

#include <QCoreApplication>
#include <QSharedPointer>

#include <cstdio>

using ZVR::ViewModel::AbstractDeviceListModel;

// A device list with one row: the installed base's virtuals and meta-object at work.
class OneDeviceList : public AbstractDeviceListModel
{
    Q_OBJECT

public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 1;
    }
    void createConnects() override { }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    MacScanDeviceInfo info;
    info.setNodeType(NodeEncoder);
    auto device = QSharedPointer<DeviceData>::create();
    device->update(info, ZVR::FirstReport);
    DeviceTableModel table;
    OneDeviceList devices;
    int changes = 0;
    QObject::connect(&devices, &QAbstractItemModel::dataChanged, &devices, [&] { ++changes; });
    devices.updateRowData(0);

    const bool ok = device->nodeType() == QStringLiteral("编码器") && table.appendDevice(device)
        && table.rowCount() == 1
        && table.roleNames().value(Qt::UserRole + DeviceTableModel::ColName) == "name"
        && SettingResultData::failDetail(IpSetTimeout) == QStringLiteral("网络超时") && changes == 1
        && devices.roleNames().value(AbstractDeviceListModel::NameRole) == "name"
        && devices.columnCount() == AbstractDeviceListModel::DeviceRoleCount
        && qstrcmp(devices.metaObject()->superClass()->className(), "ZVR::ViewModel::AbstractDeviceListModel")
            == 0;
    std::printf("consumer: %s\n", ok ? "all checks passed" : "FAIL");
    return ok ? 0 : 1;
}

#include "main.moc"
