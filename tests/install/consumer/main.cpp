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
    info.setNodeType(NodeEncoder);
    auto device = QSharedPointer<DeviceData>::create();
    device->update(info, 0);
    check(device->nodeType() == QStringLiteral("编码器"), "DeviceData takes a report and shows its texts");

    DeviceTableModel table;
    check(table.appendDevice(device) && table.rowCount() == 1, "DeviceTableModel takes a device");
    check(table.roleNames().value(Qt::UserRole + DeviceTableModel::ColName) == "name",
        "DeviceTableModel roles");
    check(
        SettingResultData::failDetail(IpSetTimeout) == QStringLiteral("网络超时"), "SettingResultData texts");

    OneDeviceList devices;
    int changes = 0;
    QObject::connect(&devices, &QAbstractItemModel::dataChanged, &devices, [&] { ++changes; });
    devices.updateRowData(0);
    check(changes == 1, "ViewModelListModel::updateRowData signals the row");
    check(devices.roleNames().value(AbstractDeviceListModel::NameRole) == "name"
            && devices.columnCount() == AbstractDeviceListModel::DeviceRoleCount,
        "AbstractDeviceListModel roles and columns");
    check(qstrcmp(devices.metaObject()->superClass()->className(), "ZVR::ViewModel::AbstractDeviceListModel")
            == 0,
        "the installed meta-objects are the library's");

    if (failures == 0) {
        std::printf("consumer: all checks passed\n");
    }
    return failures == 0 ? 0 : 1;
}

#include "main.moc"
