// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TESTS_PROXYFIXTURE_H
#define ZVR_TESTS_PROXYFIXTURE_H

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QAbstractTableModel>
#include <QtTest>

#include <functional>
#include <memory>

using DevicePtr = QSharedPointer<DeviceData>;
using Table = DeviceTableModel;
using Sort = ZVRSortButton;

// Table order: C10, CTRL, C9, GW.
static const QString C10 = QStringLiteral("编码器10"), CTRL = QStringLiteral("中控"),
                     C9 = QStringLiteral("编码器9"), GW = QStringLiteral("安全网关");

inline DevicePtr makeDevice(const QString &name, const QString &ip, DeviceData::DeviceStatus status,
    const QString &mask = QString(), const QString &sn = QString(), const QString &mac = QString())
{
    const DevicePtr device = DevicePtr::create();
    device->setName(name);
    device->setSerialNumber(sn);
    device->setDevStatus(status);
    device->setNetworkInfo({ { 0, mac, ip, mask, QString(), 0 } });
    return device;
}

// A source of another kind: the device table's roles over a list of records (null for a
// row without one) that it reorders and cuts itself.
class ListSource : public QAbstractTableModel
{
public:
    QList<DeviceData *> devices;
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : devices.size();
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 21; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        DeviceData *device = devices.value(index.row());
        return role == Qt::UserRole + Table::ColOperate && device ? QVariant::fromValue<QObject *>(device)
                                                                  : QVariant();
    }
    QHash<int, QByteArray> roleNames() const override { return m_roles; }
    // A move of the first row to the end, or a layout change that reverses the rows.
    void reorder(bool move)
    {
        QList<int> order;
        for (int i = 0; i < devices.size(); ++i) {
            order << (move ? (i + 1) % devices.size() : devices.size() - 1 - i);
        }
        move ? void(beginMoveRows({}, 0, 0, {}, rowCount())) : Q_EMIT layoutAboutToBeChanged();
        const QList<DeviceData *> old = devices;
        for (int i = 0; i < order.size(); ++i) {
            devices[i] = old.at(order.at(i));
        }
        if (!move) {
            const QModelIndexList from = persistentIndexList();
            QModelIndexList to;
            for (const QModelIndex &index : from) {
                to << this->index(order.indexOf(index.row()), index.column());
            }
            changePersistentIndexList(from, to);
        }
        move ? endMoveRows() : Q_EMIT layoutChanged();
    }
    // Announces rows without changing any, as a faulty source might.
    // Rows inserted (1), removed (0) or changed (2) without a change of the list.
    void announce(int first, int last, int kind)
    {
        if (kind == 2) {
            Q_EMIT dataChanged(createIndex(first, 0), createIndex(last, 20));
            return;
        }
        kind ? beginInsertRows({}, first, last) : beginRemoveRows({}, first, last);
        kind ? endInsertRows() : endRemoveRows();
    }
    void put(int at, DeviceData *device)
    {
        beginInsertRows({}, at, at);
        devices.insert(at, device);
        endInsertRows();
    }
    void cut(int first, int last)
    {
        beginRemoveRows({}, first, last);
        devices.erase(devices.begin() + first, devices.begin() + last + 1);
        endRemoveRows();
    }

private:
    const QHash<int, QByteArray> m_roles = Table().roleNames();
};

using Edit = std::function<void(DeviceData &)>;
Q_DECLARE_METATYPE(Edit)

// Gives a record one port, or two, with these texts.
inline Edit ports(const QStringList &first, const QStringList &second = {})
{
    return [=](DeviceData &d) {
        QVector<t_device_network_info> ports;
        for (const QStringList &p : { first, second }) {
            if (!p.isEmpty()) {
                ports.append({ 0, p.value(0), p.value(1), p.value(2), p.value(3), 0 });
            }
        }
        d.setNetworkInfo(ports);
    };
}

// Four devices in a table (a C10, b CTRL, c C9, d GW) under a proxy that the item-model
// tester watches.
struct ProxyFixture
{
    void setUp()
    {
        qRegisterMetaType<DevicePtr>("QSharedPointer<DeviceData>");
        m_proxy.reset();
        m_table = std::make_unique<Table>();
        m_devices = {
            makeDevice(C10, "10.0.0.10", DeviceData::Online, "255.255.255.0", "SN-C3", "00:1A:00:00:00:03"),
            makeDevice(CTRL, "9.1.1.1", DeviceData::Offline, "255.0.0.0", "SN-A1", "00:1A:00:00:00:01"),
            makeDevice(C9, "10.0.0.9", DeviceData::Malfunction, "255.255.0.0", "SN-B2", "00:1A:00:00:00:0b"),
            makeDevice(GW, "192.168.0.2", DeviceData::Online, "255.255.255.128", "XN-D4", "00:1A:00:00:00:02")
        };
        for (const DevicePtr &device : qAsConst(m_devices)) {
            m_table->appendDevice(device);
        }
        m_proxy = std::make_unique<DeviceSortFilterProxyModel>();
        m_proxy->setSourceModel(m_table.get());
        m_log = std::make_unique<LogCapture>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_proxy.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    }

    // Every cell holds the device object, which the tester's role-type checks for the
    // standard roles cannot convert; any other complaint is returned.
    QStringList tearDown()
    {
        m_tester.reset();
        const QStringList complaints = testerComplaints(*m_log, { "variant.canConvert<" });
        m_log.reset();
        return complaints;
    }

    // The proxy's rows as the letters of their devices' places in m_devices (past the
    // last for a row without one).
    QString rows(const DeviceSortFilterProxyModel *proxy = nullptr) const
    {
        proxy = proxy ? proxy : m_proxy.get();
        QString result;
        for (int row = 0; row < proxy->rowCount(); ++row) {
            const auto shown = [&](const DevicePtr &device) { return device.data() == proxy->device(row); };
            result += QLatin1Char(
                char('a' + (std::find_if(m_devices.cbegin(), m_devices.cend(), shown) - m_devices.cbegin())));
        }
        return result;
    }
    std::unique_ptr<Table> m_table;
    std::unique_ptr<DeviceSortFilterProxyModel> m_proxy;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    QList<DevicePtr> m_devices;
};

#endif // ZVR_TESTS_PROXYFIXTURE_H
