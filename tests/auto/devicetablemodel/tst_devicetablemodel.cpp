// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/devicelookup.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicetablemodel.h>

#include <macscanbll/macscan.h>

#include "devicepointerset_p.h"
#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QMetaEnum>
#include <QStringListModel>
#include <QtTest>

#include <memory>

using DevicePtr = QSharedPointer<DeviceData>;

static const char SourceFile[] = "src/libs/zvrviewmodel/devicetablemodel.cpp";

static DevicePtr makeDevice(DeviceData::DeviceStatus status = DeviceData::Online, bool checked = false,
    const QString &name = QString())
{
    DevicePtr device = DevicePtr::create();
    device->setDevStatus(status);
    device->setChecked(checked);
    device->setName(name);
    return device;
}

// Appends a device that only the table holds.
static QWeakPointer<DeviceData> appendHeld(DeviceTableModel &model, const QString &name = QString())
{
    const DevicePtr device = makeDevice(DeviceData::Online, false, name);
    model.appendDevice(device);
    return device;
}

#define TESTED_MODEL                                                                                         \
    LogCapture cap;                                                                                          \
    QStringList log;                                                                                         \
    DeviceTableModel model;                                                                                  \
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning)

// The table's notifications in order, with its own signals.
static void logTable(DeviceTableModel *model, QStringList *log)
{
    logModel(model, log);
    QObject::connect(
        model, &DeviceTableModel::rowCountChanged, model, [=] { log->append("rowCountChanged"); });
    QObject::connect(model, &DeviceTableModel::editDevice, model,
        [=](const DevicePtr &device) { log->append("editDevice " + device->name()); });
    QObject::connect(
        model, &DeviceTableModel::deviceCheckChanged, model, [=](const DevicePtr &device, bool checked) {
            log->append(QStringLiteral("deviceCheckChanged %1 %2").arg(device->name()).arg(checked));
        });
}

static void logChecked(DeviceData *device, QStringList *log)
{
    QObject::connect(device, &DeviceData::checkedChanged, device, [=] { log->append("checkedChanged"); });
}

static QString logLine(const char *literal, const DevicePtr &device)
{
    return QLatin1String(literal) + QStringLiteral(" \"") + device->toString() + QLatin1Char('"');
}

// A line of this table's source, with its whole context, as contextLine() writes it.
static QString tableLine(const char *type, const char *function, const QString &text)
{
    return QStringLiteral("%1 default %2 %3 | %4")
        .arg(QLatin1String(type), QLatin1String(SourceFile), QLatin1String(function), text);
}

class tst_DeviceTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void columnRole_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("name");

        const QStringList names
            = { "checked", "devIndex", "name", "nodeType", "subNodeType", "completeType", "devModel",
                  "devStatus", "devStatusStr", "malfunction", "ipState", "runMode", "firmwareVer", "devTime",
                  "callRollState", "serialNumber", "mac", "ip", "ip2", "subnetMask", "gateway", "operate" };
        const QMetaEnum columns = QMetaEnum::fromType<DeviceTableModel::ColumnType>();
        for (int i = 0; i < names.size(); ++i) {
            QTest::newRow(columns.valueToKey(i)) << i << names.at(i);
        }
        QTest::newRow("ColumnTypeCNT") << 22 << QString();
        QTest::newRow("-1") << -1 << QString();
        QTest::newRow("INT_MIN") << INT_MIN << QString();
    }

    // Section n's role is Qt::UserRole + n, added to the base roles; all but the row number and
    // "operate" are properties the view reads from the device. 21 columns, the last role outside.
    void columnRole()
    {
        QFETCH(int, section);
        QFETCH(QString, name);

        const DeviceTableModel model;
        LogCapture cap;
        QCOMPARE(model.columnRole(section), name);
        QCOMPARE(model.columnRole(section).isNull(), name.isNull());
        const QHash<int, QByteArray> names = model.roleNames();
        const QHash<int, QByteArray> base = QStringListModel().roleNames();
        QCOMPARE(names.size(), base.size() + 22);
        for (auto it = base.cbegin(); it != base.cend(); ++it) {
            QCOMPARE(names.value(it.key()), it.value());
        }
        QCOMPARE(names.value(Qt::UserRole + section), name.toLatin1());
        const bool property = DeviceData::staticMetaObject.indexOfProperty(qPrintable(name)) >= 0;
        QCOMPARE(property, !name.isEmpty() && name != "devIndex" && name != "operate");
        QCOMPARE(model.columnCount(), 21);
        QVERIFY(cap.lines().isEmpty());
    }

    void data_data()
    {
        QTest::addColumn<int>("row"); // -1: no index; 5: an index kept past the removal of row 4
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");

        QTest::newRow("display") << 2 << 0 << int(Qt::DisplayRole);
        QTest::newRow("checked") << 0 << 0 << int(Qt::UserRole);
        QTest::newRow("name in another column") << 1 << 20 << int(Qt::UserRole + 2);
        QTest::newRow("operate") << 4 << 20 << int(Qt::UserRole + 21);
        QTest::newRow("unnamed") << 3 << 5 << 1000;
        QTest::newRow("row number") << 0 << 0 << int(Qt::UserRole + 1);
        QTest::newRow("row number, other column") << 4 << 9 << int(Qt::UserRole + 1);
        QTest::newRow("no index") << -1 << 0 << int(Qt::UserRole);
        QTest::newRow("no index, row number") << -1 << 0 << int(Qt::UserRole + 1);
        QTest::newRow("stale index") << 5 << 0 << int(Qt::DisplayRole);
        QTest::newRow("stale index, row number") << 5 << 3 << int(Qt::UserRole + 1);
    }

    // Every role but the row number gives the row's own object, whatever the column; the row
    // number logs the device at debug level.
    void data()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, role);

        TESTED_MODEL;
        QList<DevicePtr> devices;
        for (int i = 0; i < 5; ++i) {
            devices << makeDevice(DeviceData::Online, false, QStringLiteral("Hall %1").arg(i));
            model.appendDevice(devices.last());
        }
        QCOMPARE(model.rowCount(model.index(1, 3)), 5);
        QCOMPARE(model.property("rowCount").toInt(), 5);
        const QModelIndex index = row < 0 ? QModelIndex() : model.index(std::min(row, 4), column);
        if (row == 5) {
            model.removeDevice(devices.at(4));
        }
        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
        cap.clear();
        const QVariant value = model.data(index, role);
        if (row < 0 || row > 4) {
            QVERIFY(!value.isValid());
            QVERIFY(cap.lines().isEmpty());
        } else if (role == Qt::UserRole + 1) {
            QCOMPARE(value.userType(), int(QMetaType::Int));
            QCOMPARE(value.toInt(), row);
            QCOMPARE(cap.lines().size(), 1);
            QCOMPARE(contextLine(cap.lines().at(0)),
                tableLine("debug", "virtual QVariant DeviceTableModel::data(const QModelIndex&, int) const",
                    logLine("DeviceTableModel::data pDevice info", devices.at(row))));
        } else {
            QCOMPARE(value.userType(), qMetaTypeId<DeviceData *>());
            QCOMPARE(value.value<DeviceData *>(), devices.at(row).data());
            QVERIFY(cap.lines().isEmpty());
        }
    }

    void appendRemoveClear()
    {
        TESTED_MODEL;
        logTable(&model, &log);
        const DevicePtr a = makeDevice(DeviceData::Online, false, "a");
        const DevicePtr b = makeDevice(DeviceData::Online, false, "b");
        const DevicePtr c = makeDevice(DeviceData::Online, false, "c");
        // Same values, another object: a row of its own.
        const DevicePtr twin = makeDevice(DeviceData::Online, false, "a");

        for (const DevicePtr &device : { a, b, c, twin }) {
            QVERIFY(model.appendDevice(device));
            const int row = model.rowCount() - 1;
            QCOMPARE(take(log),
                QString::fromLatin1("aboutToInsert %1-%1|inserted %1-%1|rowCountChanged")
                    .arg(row)
                    .split('|'));
        }

        QVERIFY(model.removeDevice(b));
        QCOMPARE(take(log), (QStringList { "aboutToRemove 1-1", "removed 1-1", "rowCountChanged" }));
        QCOMPARE(model.data(model.index(1, 0), Qt::UserRole).value<DeviceData *>(), c.data());
        QCOMPARE(model.data(model.index(2, 0), Qt::UserRole).value<DeviceData *>(), twin.data());
        // A removed device can come back, at the end.
        QVERIFY(model.appendDevice(b));
        QCOMPARE(take(log), (QStringList { "aboutToInsert 3-3", "inserted 3-3", "rowCountChanged" }));

        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
        cap.clear();
        model.clear();
        model.clear();
        QCOMPARE(take(log),
            (QStringList {
                "aboutToReset", "reset", "rowCountChanged", "aboutToReset", "reset", "rowCountChanged" }));
        QCOMPARE(model.rowCount(), 0);
        const QString cleared
            = tableLine("info", "void DeviceTableModel::clear()", "DeviceTableModel::clear");
        QCOMPARE(ownLines(cap).size(), 2);
        for (const CapturedMessage &line : ownLines(cap)) {
            QCOMPARE(contextLine(line), cleared);
        }
        // After a clear, the same objects are new to the table.
        QVERIFY(model.appendDevice(a));
        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("append");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("null");

        QTest::newRow("append a held device") << true << true << false;
        QTest::newRow("remove a stranger") << false << false << false;
        QTest::newRow("append null") << true << false << true;
        QTest::newRow("remove null") << false << false << true;
    }

    // Refused without a notification, with one exact line at info (device) or warning (null) level.
    void refusals()
    {
        QFETCH(bool, append);
        QFETCH(bool, held);
        QFETCH(bool, null);

        TESTED_MODEL;
        const DevicePtr kept = makeDevice(DeviceData::Online, false, "kept");
        model.appendDevice(kept);
        logTable(&model, &log);
        cap.clear();

        const DevicePtr device = null ? DevicePtr()
            : held                    ? DevicePtr(kept)
                                      : makeDevice(DeviceData::Offline, false, "x");
        QVERIFY(!(append ? model.appendDevice(device) : model.removeDevice(device)));
        QCOMPARE(take(log), QStringList());
        QCOMPARE(model.rowCount(), 1);
        const QList<CapturedMessage> lines = ownLines(cap);
        QCOMPARE(lines.size(), 1);
        const char *const function = append
            ? "bool DeviceTableModel::appendDevice(QSharedPointer<DeviceData>)"
            : "bool DeviceTableModel::removeDevice(QSharedPointer<DeviceData>)";
        const QString text = null ? QStringLiteral("DeviceTableModel::%1 refused a null device")
                                        .arg(append ? "appendDevice" : "removeDevice")
            : append
            ? logLine("DeviceTableModel::appendDevice device has exist in display list, dev info ", device)
            : logLine("DeviceTableModel::removeDevice not find match device, dev info ", device);
        QCOMPARE(contextLine(lines.at(0)), tableLine(null ? "warning" : "info", function, text));
        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
    }

    // The table shares its rows: it keeps them alive, and lets them go on removal, before a clear's
    // reset ends, and on destruction.
    void ownership()
    {
        auto model = std::make_unique<DeviceTableModel>();
        const QWeakPointer<DeviceData> removed = appendHeld(*model);
        QVERIFY(!removed.isNull());
        model->removeDevice(removed.toStrongRef());
        QVERIFY(removed.isNull());

        const QWeakPointer<DeviceData> cleared = appendHeld(*model);
        bool releasedBeforeReset = false;
        connect(model.get(), &QAbstractItemModel::modelReset, this,
            [&] { releasedBeforeReset = cleared.isNull(); });
        model->clear();
        QVERIFY(releasedBeforeReset);

        const QWeakPointer<DeviceData> destroyed = appendHeld(*model);
        QVERIFY(!destroyed.isNull());
        model.reset();
        QVERIFY(destroyed.isNull());
    }

    void checkDevice_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("wasChecked");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QStringList>("expected");

        // The device's own signal comes first, then the model's with the row's handle.
        QTest::newRow("check") << false << 1 << false << true
                               << QStringList { "checkedChanged", "deviceCheckChanged b 1" };
        QTest::newRow("uncheck") << false << 1 << true << false
                                 << QStringList { "checkedChanged", "deviceCheckChanged b 0" };
        QTest::newRow("already checked")
            << false << 1 << true << true << QStringList { "deviceCheckChanged b 1" };
        QTest::newRow("edit") << true << 1 << false << false << QStringList { "editDevice b" };
        for (const int row : { -1, 2, INT_MIN, INT_MAX }) {
            QTest::addRow("checkDevice %d", row) << false << row << false << true << QStringList();
            QTest::addRow("editSignalDevice %d", row) << true << row << false << true << QStringList();
        }
    }

    // A row outside the table is refused with one exact warning; nothing is signalled or changed.
    void checkDevice()
    {
        QFETCH(bool, edit);
        QFETCH(int, row);
        QFETCH(bool, wasChecked);
        QFETCH(bool, checked);

        DeviceTableModel model;
        const DevicePtr device = makeDevice(DeviceData::Offline, wasChecked, "b");
        model.appendDevice(makeDevice(DeviceData::Online, false, "a"));
        model.appendDevice(device);
        QStringList log;
        logTable(&model, &log);
        logChecked(device.data(), &log);

        LogCapture cap;
        edit ? model.editSignalDevice(row) : model.checkDevice(row, checked);
        QTEST(take(log), "expected");
        const bool inside = row == 1;
        QCOMPARE(device->checked(), inside && !edit ? checked : wasChecked);
        QCOMPARE(cap.lines().size(), inside ? 0 : 1);
        if (!inside) {
            QCOMPARE(contextLine(cap.lines().at(0)),
                tableLine("warning",
                    edit ? "void DeviceTableModel::editSignalDevice(int)"
                         : "void DeviceTableModel::checkDevice(int, bool)",
                    QStringLiteral("%1 error! the row is  %2")
                        .arg(edit ? "editDevice" : "checkDevice")
                        .arg(row)));
        }
    }

    void checkAll_data()
    {
        // Rows are "on", "off" or "bad" for the status, "+" checked, "-" not.
        QTest::addColumn<QString>("rows");
        QTest::addColumn<ZVRCheckBox::CheckType>("type");
        QTest::addColumn<QString>("checked"); // after checkAllDevice

        QTest::newRow("none") << "" << ZVRCheckBox::None << "";
        QTest::newRow("only offline") << "off+ off-" << ZVRCheckBox::None << "+-";
        QTest::newRow("two online, none checked") << "on- on-" << ZVRCheckBox::None << "++";
        QTest::newRow("two online, one checked") << "on+ on-" << ZVRCheckBox::Some << "++";
        QTest::newRow("two online, both checked") << "on+ on+" << ZVRCheckBox::All << "++";
        QTest::newRow("both checked, one offline") << "on+ off- on+" << ZVRCheckBox::All << "+-+";
        QTest::newRow("online unchecked, offline checked") << "on- off+" << ZVRCheckBox::None << "++";
        QTest::newRow("one of two, offline checked") << "on+ on- off+" << ZVRCheckBox::Some << "+++";
        QTest::newRow("faulty counts as offline") << "on+ bad-" << ZVRCheckBox::All << "+-";
        QTest::newRow("mixed") << "on- off- off+ bad- on+" << ZVRCheckBox::Some << "+-+-+";
    }

    // All means every online device is checked. checkAllDevice checks exactly the online rows,
    // never unchecks, and signals nothing of the model.
    void checkAll()
    {
        QFETCH(QString, rows);
        QFETCH(QString, checked);

        DeviceTableModel model;
        QStringList log;
        QList<DevicePtr> devices;
        QStringList changes;
        for (const QString &row : rows.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const DeviceData::DeviceStatus status = row.startsWith(QLatin1String("on")) ? DeviceData::Online
                : row.startsWith(QLatin1String("off"))                                  ? DeviceData::Offline
                                                       : DeviceData::Malfunction;
            devices << makeDevice(status, row.endsWith(QLatin1Char('+')));
            model.appendDevice(devices.last());
            logChecked(devices.last().data(), &log);
            changes << (status == DeviceData::Online && row.endsWith(QLatin1Char('-')) ? "checkedChanged"
                                                                                       : "");
        }
        changes.removeAll(QString());
        QTEST(model.allCheckType(), "type");
        logTable(&model, &log);

        LogCapture cap;
        model.checkAllDevice();
        model.checkAllDevice();
        QCOMPARE(take(log), changes);
        QString shown;
        for (const DevicePtr &device : qAsConst(devices)) {
            shown += QLatin1Char(device->checked() ? '+' : '-');
        }
        QCOMPARE(shown, checked);
        QCOMPARE(model.allCheckType(), rows.contains("on") ? ZVRCheckBox::All : ZVRCheckBox::None);
        QCOMPARE(cap.lines().size(), 2);
        for (const CapturedMessage &line : cap.lines()) {
            QCOMPARE(contextLine(line),
                tableLine(
                    "info", "void DeviceTableModel::checkAllDevice()", "DeviceTableModel::checkAllDevice"));
        }
    }

    // Passes the four texts on untouched, whatever the table holds, and signals nothing.
    void setDeviceNetworkConfig()
    {
        DeviceTableModel model;
        model.appendDevice(makeDevice(DeviceData::Online, true));
        QStringList log;
        logTable(&model, &log);
        QSignalSpy spy(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested);

        LogCapture cap;
        model.setDeviceNetworkConfig("first", QString(), " third ", "四");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), (QVariantList { "first", QString(), " third ", QStringLiteral("四") }));
        QCOMPARE(take(log), QStringList());
        QVERIFY(cap.lines().isEmpty());
    }

    // Receivers may change the table from inside the model's and the devices' signals.
    void reentrantReceivers()
    {
        TESTED_MODEL;
        const QWeakPointer<DeviceData> weak = appendHeld(model, "held");

        // editDevice: the receiver removes the row, yet the device stays alive while it runs.
        QString seenName;
        auto edit = connect(&model, &DeviceTableModel::editDevice, this, [&](DevicePtr edited) {
            model.removeDevice(edited);
            seenName = edited->name();
        });
        model.editSignalDevice(0);
        disconnect(edit);
        QCOMPARE(seenName, QStringLiteral("held"));
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(weak.isNull());

        // deviceCheckChanged: the receiver empties the table.
        const QWeakPointer<DeviceData> checkedWeak = appendHeld(model);
        bool stillChecked = false;
        auto check
            = connect(&model, &DeviceTableModel::deviceCheckChanged, this, [&](DevicePtr target, bool) {
                  model.clear();
                  stillChecked = target->checked();
              });
        model.checkDevice(0, true);
        disconnect(check);
        QVERIFY(stillChecked);
        QVERIFY(checkedWeak.isNull());

        // checkedChanged during checkAllDevice: the first device's receiver clears the table.
        const QList<DevicePtr> devices = { makeDevice(), makeDevice(), makeDevice() };
        for (const DevicePtr &entry : devices) {
            model.appendDevice(entry);
        }
        connect(devices.at(0).data(), &DeviceData::checkedChanged, &model, [&] { model.clear(); });
        model.checkAllDevice();
        QCOMPARE(model.rowCount(), 0);
        for (const DevicePtr &entry : devices) {
            QVERIFY(entry->checked());
        }
        QCOMPARE(model.allCheckType(), ZVRCheckBox::None);
        QCOMPARE(testerComplaints(cap, TableExcuses), QStringList());
    }

    // Two records may share a communication MAC: both are rows, the first one is found.
    void deviceByCommMac_data()
    {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<int>("found");
        QTest::addRow("shared by rows 0 and 2") << QStringLiteral("00:1e:c0:00:01:10") << 0;
        QTest::addRow("other case") << QStringLiteral("00:1E:C0:00:01:11") << 1;
        QTest::addRow("removed row") << QStringLiteral("00:1e:c0:00:01:12") << -1;
        QTest::addRow("empty") << QString() << -1;
    }

    void deviceByCommMac()
    {
        QFETCH(QString, mac);
        QFETCH(int, found);
        DeviceTableModel model;
        QList<DevicePtr> devices;
        for (const char *commMac : { "00:1e:c0:00:01:10", "00:1e:c0:00:01:11", "00:1e:c0:00:01:10", "" }) {
            devices.append(makeDevice());
            devices.last()->setCommMac(QString::fromLatin1(commMac));
            QVERIFY(model.appendDevice(devices.last()));
        }
        const DevicePtr removed = makeDevice();
        removed->setCommMac(QStringLiteral("00:1e:c0:00:01:12"));
        model.appendDevice(removed);
        model.removeDevice(removed);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(ZVR::deviceByCommMac(model, mac), found < 0 ? nullptr : devices.at(found).data());
        // By row: only a row of a device table, or of a proxy over one, has a record.
        const QStringListModel strings({ "a" });
        QCOMPARE(QList<DeviceData *>({ ZVR::deviceAtRow(&model, 0), ZVR::deviceAtRow(&model, 3),
                     ZVR::deviceAtRow(&model, 4), ZVR::deviceAtRow(&model, -1), ZVR::deviceAtRow(nullptr, 0),
                     ZVR::deviceAtRow(&strings, 0) }),
            QList<DeviceData *>(
                { devices.at(0).data(), devices.at(3).data(), nullptr, nullptr, nullptr, nullptr }));
    }

    void initTestCase() { qRegisterMetaType<DevicePtr>("QSharedPointer<DeviceData>"); }

    void pointerSet_data()
    {
        QTest::addColumn<quintptr>("stride");
        QTest::newRow("neighbours") << quintptr(16);
        QTest::newRow("one slot for 16 keys") << quintptr(1);
        QTest::newRow("regions apart") << (quintptr(1) << 24);
    }

    // The table's set of its records on its own: growth, removal, removed slots taken
    // again, an emptied array shrinking back, clearing.
    void pointerSet()
    {
        QFETCH(quintptr, stride);
        ZVR::Private::DevicePointerSet set;
        const auto key
            = [&](int i) { return reinterpret_cast<const void *>(0x100000 + quintptr(i) * stride); };
        const auto members = [&](int modulo, int rest) {
            int wrong = 0;
            for (int i = 0; i < 1000; ++i) {
                wrong += set.contains(key(i)) != (i % modulo == rest);
            }
            return wrong;
        };
        QVERIFY(!set.contains(key(0)));
        for (int i = 0; i < 1000; i += 2) {
            set.insert(key(i));
        }
        // 16 slots, then 4 live + 4 each time half are used: 64, 256, 1024.
        QCOMPARE(set.capacity(), size_t(1024));
        QCOMPARE(set.used(), size_t(500));
        QCOMPARE(members(2, 0), 0);
        for (int i = 0; i < 1000; i += 4) {
            set.remove(key(i));
            set.remove(key(i + 1)); // never there
        }
        QCOMPARE(members(4, 2), 0);
        for (int i = 0; i < 1000; i += 4) {
            set.insert(key(i));
        }
        QCOMPARE(members(2, 0), 0);
        QVERIFY(set.used() * 2 <= set.capacity());
        set.clear();
        QCOMPARE(set.capacity(), size_t(0));
        QCOMPARE(members(1, 1), 0);
        // Eight in and five out leave three live keys: the ninth rebuilds the array for
        // those, at its least.
        for (int i = 0; i < 8; ++i) {
            set.insert(key(i));
        }
        for (int i = 0; i < 5; ++i) {
            set.remove(key(i));
        }
        QCOMPARE(set.used(), size_t(8));
        set.insert(key(9));
        QCOMPARE(set.capacity(), size_t(16));
        QCOMPARE(set.used(), size_t(4));
        QString held;
        for (int i = 0; i < 10; ++i) {
            held += QLatin1Char(set.contains(key(i)) ? '1' : '0');
        }
        QCOMPARE(held, QStringLiteral("0000011101"));
    }
};

QTEST_GUILESS_MAIN(tst_DeviceTableModel)
#include "tst_devicetablemodel.moc"
