// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/settingresultdata.h>

#include <macscanbll/macscandeviceinfo.h>

#include <QCoreApplication>
#include <QSharedPointer>
#include <QStringList>

#include <cstdio>

// A device list with one device, served under the base's role names.
class OneDeviceList : public ZVR::ViewModel::AbstractDeviceListModel
{
    Q_OBJECT

public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 1;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || role != NameRole) {
            return QVariant();
        }
        return QStringLiteral("encoder-1");
    }
    void createConnects() override { }
};

static int failures = 0;

static void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what);
        ++failures;
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    MacScanDeviceInfo info;
    info.setName(QStringLiteral("encoder-1"));
    info.setDeviceCommMac(QStringLiteral("00:11:22:33:44:55"));
    info.setNodeType(NodeEncoder);
    auto device = QSharedPointer<DeviceData>::create();
    device->update(info, 0);
    check(device->name() == QStringLiteral("encoder-1"), "DeviceData::update takes the name");
    check(device->nodeType() == QStringLiteral("编码器"), "DeviceData shows the node type text");

    DeviceTableModel table;
    check(table.appendDevice(device), "DeviceTableModel::appendDevice accepts a new device");
    check(table.rowCount() == 1, "DeviceTableModel has one row");
    check(table.roleNames().value(Qt::UserRole + DeviceTableModel::ColName) == "name",
        "DeviceTableModel names the name role");

    check(SettingResultData::failDetail(IpSetTimeout) == QStringLiteral("网络超时"),
        "SettingResultData has its detail table");

    OneDeviceList devices;
    int changes = 0;
    QObject::connect(&devices, &QAbstractItemModel::dataChanged, &devices, [&] { ++changes; });
    devices.updateRowData(0);
    check(changes == 1, "ViewModelListModel::updateRowData signals the row");
    check(devices.columnCount() == ZVR::ViewModel::AbstractDeviceListModel::DeviceRoleCount,
        "AbstractDeviceListModel::columnCount");
    check(devices.roleNames().value(ZVR::ViewModel::AbstractDeviceListModel::NameRole) == "name",
        "AbstractDeviceListModel names its roles");
    check(devices.data(devices.index(0), ZVR::ViewModel::AbstractDeviceListModel::NameRole).toString()
            == QStringLiteral("encoder-1"),
        "AbstractDeviceListModel subclass serves its data");
    check(qstrcmp(devices.metaObject()->superClass()->className(), "ZVR::ViewModel::AbstractDeviceListModel")
            == 0,
        "the installed meta-objects are the library's");

    if (failures == 0) {
        std::printf("consumer: all checks passed\n");
    }
    return failures == 0 ? 0 : 1;
}

#include "main.moc"
