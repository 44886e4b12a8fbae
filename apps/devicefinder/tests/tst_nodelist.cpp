// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "simulatedfinder.h"
#include "nodelistmodel.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

class TestNodeList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsTheTable_data();
    void followsTheTable();
    void totalsAgreeWithTheTable();
};

namespace {

// The run modes the devices reported, as the registry keeps them.
QHash<const DeviceData *, DeviceRunMode> reportedModes;

void setRunMode(DeviceData *device, DeviceRunMode mode)
{
    reportedModes.insert(device, mode);
    device->setRunModeVal(mode);
}

QSharedPointer<DeviceData> makeDevice(const char *name, NodeType type, DeviceRunMode mode)
{
    QSharedPointer<DeviceData> device(new DeviceData);
    reportedModes.insert(device.data(), mode);
    device->setName(QString::fromLatin1(name));
    device->setNodeTypeVal(type);
    device->setRunModeVal(mode);
    device->setDevStatus(DeviceData::Online);
    return device;
}

QString listed(const NodeListModel &nodes)
{
    QStringList rows;
    for (int row = 0; row < nodes.rowCount(); ++row) {
        const QModelIndex index = nodes.index(row, 0);
        rows << QStringLiteral("%1:%2:%3")
                    .arg(index.data(NodeListModel::NameRole).toString())
                    .arg(index.data(NodeListModel::IsActivedRole).toBool() ? 1 : 0)
                    .arg(index.data(NodeListModel::StatusTextRole).toString());
    }
    return rows.join(QLatin1Char('|'));
}

} // namespace

void TestNodeList::followsTheTable_data()
{
    // Devices m (master), b (backup), c (controller), e (encoder); each listed node as
    // name:active:status text.
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *operation, const char *expected) {
        QTest::newRow(name) << QString::fromLatin1(operation) << QString::fromUtf8(expected);
    };
    row("as built", "", "m:1:在线|b:0:在线|c:0:在线");
    row("backup takes charge", "m offline", "m:0:离线|b:1:在线|c:0:在线");
    row("malfunction shown", "c malfunction", "m:1:在线|b:0:在线|c:0:故障");
    row("master leaves by run mode", "m normal", "b:1:在线|c:0:在线");
    row("encoder joins by run mode", "e master", "m:1:在线|b:0:在线|c:0:在线|e:1:在线");
    row("controller leaves by type", "c encoder", "m:1:在线|b:0:在线");
    row("master removed", "m removed", "b:1:在线|c:0:在线");
    row("table cleared", "m cleared", "");
}

void TestNodeList::followsTheTable()
{
    QFETCH(QString, operation);
    QFETCH(QString, expected);
    DeviceTableModel table;
    const QVector<QSharedPointer<DeviceData>> devices { makeDevice("m", NodeEncoder, RunModeMaster),
        makeDevice("b", NodeDecoder, RunModeBackup), makeDevice("c", NodeCentralControl, RunModeNormal),
        makeDevice("e", NodeEncoder, RunModeNormal) };
    table.appendDevice(devices.at(0));
    NodeListModel nodes(&table, [](const DeviceData *device) { return reportedModes.value(device); });
    QAbstractItemModelTester tester(&nodes, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 1; i < devices.size(); ++i) {
        table.appendDevice(devices.at(i));
    }
    const QStringList words = operation.split(QLatin1Char(' '));
    if (words.size() == 2) {
        DeviceData *device = devices.at(QStringLiteral("mbce").indexOf(words.at(0))).data();
        const QString change = words.at(1);
        if (change == QLatin1String("offline")) {
            device->setDevStatus(DeviceData::Offline);
        } else if (change == QLatin1String("malfunction")) {
            device->setDevStatus(DeviceData::Malfunction);
        } else if (change == QLatin1String("normal")) {
            setRunMode(device, RunModeNormal);
        } else if (change == QLatin1String("master")) {
            setRunMode(device, RunModeMaster);
        } else if (change == QLatin1String("encoder")) {
            device->setNodeTypeVal(NodeEncoder);
        } else if (change == QLatin1String("removed")) {
            QVERIFY(table.removeDevice(devices.at(0)));
        } else {
            table.clear();
        }
    }
    QCOMPARE(listed(nodes), expected);
}

// The finder's totals follow each record's change; they must agree with a count of the
// table at every point, over random checks, status changes and removals.
void TestNodeList::totalsAgreeWithTheTable()
{
    SimulatedFinder simulated(7, 60);
    DeviceFinder &finder = simulated.finder;
    finder.restart();
    finder.scan(2);
    DeviceTableModel *table = finder.deviceModel();
    QRandomGenerator random(11);
    for (int step = 0; step < 300; ++step) {
        const int row = random.bounded(qMax(table->rowCount(), 1));
        DeviceData *device = ZVR::deviceAtRow(table, row);
        switch (random.bounded(5)) {
        case 0:
            table->checkDevice(row, random.bounded(2) == 0);
            break;
        case 1:
            if (device) {
                device->setDevStatus(DeviceData::DeviceStatus(random.bounded(3)));
            }
            break;
        case 2:
            if (random.bounded(10) == 0) {
                finder.removeOfflineDevices();
            }
            break;
        case 3:
            table->checkAllDevice();
            break;
        default:
            finder.scan(1);
            break;
        }
        QCoreApplication::processEvents();
        int checked = 0;
        int online = 0;
        for (int r = 0; r < table->rowCount(); ++r) {
            const DeviceData *record = ZVR::deviceAtRow(table, r);
            checked += record->checked() ? 1 : 0;
            online += record->online() ? 1 : 0;
        }
        QCOMPARE(finder.allCheckType(), int(table->allCheckType()));
        QCOMPARE(finder.checkedCount(), checked);
        QCOMPARE(finder.onlineCount(), online);
        QCOMPARE(finder.tableCount(), table->rowCount());
    }
}

QTEST_GUILESS_MAIN(TestNodeList)
#include "tst_nodelist.moc"
