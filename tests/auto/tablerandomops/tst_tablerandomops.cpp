// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// A seeded random sequence of operations on DeviceTableModel, with
// QAbstractItemModelTester attached and a plain list of rows compared after every step:
// rows and their order, allCheckType, refusals with their log lines, the model's
// notifications, and which devices are still alive.

#include <zvrviewmodel/devicetablemodel.h>

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

#include <climits>
#include <memory>
#include <utility>

using DevicePtr = QSharedPointer<DeviceData>;

namespace {

constexpr int MaxRows = 40;
constexpr int PoolSize = 16;
constexpr int IndexRole = Qt::UserRole + DeviceTableModel::ColIndex;
const char SourceFile[] = "src/libs/zvrviewmodel/devicetablemodel.cpp";

struct Line
{
    QtMsgType type;
    QString text;
};

// The table's own lines at info level and above, and the tester's complaints.
struct Captured
{
    QVector<Line> table;
    QStringList complaints;
};

Captured &captured()
{
    static Captured c;
    return c;
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (qstrcmp(context.category, "qt.modeltest") == 0) {
        captured().complaints << text;
    } else if (type != QtDebugMsg && qstrcmp(context.file, SourceFile) == 0) {
        captured().table.append({type, text});
    }
}

// Every cell holds a DeviceData*, also for the standard roles, which the tester's type
// checks reject; and rowCount() ignores its parent, so the tester sees rows below a cell.
bool excused(const QString &text)
{
    return text.startsWith(QLatin1String("FAIL! variant.canConvert<"))
        || text.startsWith(QLatin1String("FAIL! model->hasChildren(topIndex) ()"))
        || text.contains(QLatin1String("Actual (model->parent(childIndex))"));
}

QString describe(const DevicePtr &device)
{
    return QStringLiteral(" \"") + device->toString() + QLatin1Char('"');
}

enum class Reentry { None, RemoveRow, ClearTable };

class Runner
{
public:
    Runner(quint32 seed, bool reentrant)
        : random(seed)
        , reentrant(reentrant)
    {
        tester = std::make_unique<QAbstractItemModelTester>(&model,
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
        const auto range = [this](const char *name) {
            return [this, name](const QModelIndex &parent, int first, int last) {
                QVERIFY(!parent.isValid());
                notes << QStringLiteral("%1 %2 %3").arg(QLatin1String(name)).arg(first).arg(last);
            };
        };
        const auto plain = [this](const char *name) { return [this, name] { notes << QLatin1String(name); }; };
        QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, &model, range("aboutToInsert"));
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, range("inserted"));
        QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, &model, range("aboutToRemove"));
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model, range("removed"));
        QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, &model, plain("aboutToReset"));
        QObject::connect(&model, &QAbstractItemModel::modelReset, &model, plain("reset"));
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &model, plain("dataChanged"));
        QObject::connect(&model, &QAbstractItemModel::layoutChanged, &model, plain("layoutChanged"));
        QObject::connect(&model, &DeviceTableModel::rowCountChanged, &model, plain("rowCountChanged"));
        QObject::connect(&model, &DeviceTableModel::editDevice, &model, [this](const DevicePtr &device) {
            notes << QStringLiteral("editDevice %1").arg(nameOf(device));
            reenter(onEdit, device);
        });
        QObject::connect(&model, &DeviceTableModel::deviceCheckChanged, &model,
                         [this](const DevicePtr &device, bool checked) {
                             QCOMPARE(device->checked(), checked);
                             notes << QStringLiteral("deviceCheckChanged %1 %2").arg(nameOf(device)).arg(checked);
                             reenter(onCheck, device);
                         });
    }

    QString nameOf(const DevicePtr &device) const { return device ? device->name() : QStringLiteral("null"); }

    int bounded(int limit) { return int(random.bounded(quint32(limit))); }

    void run(int steps)
    {
        for (step = 0; step < steps; ++step) {
            notes.clear();
            expectedNotes.clear();
            captured().table.clear();
            expectedLines.clear();
            operate();
            if (QTest::currentTestFailed()) {
                break;
            }
            compare();
            if (QTest::currentTestFailed()) {
                break;
            }
        }
    }

    void operate()
    {
        const int pick = bounded(100);
        if (pick < 22) {
            appendNew();
        } else if (pick < 30) {
            append(pool.at(bounded(PoolSize)));
        } else if (pick < 32) {
            append(DevicePtr());
        } else if (pick < 42) {
            remove(pool.at(bounded(PoolSize)));
        } else if (pick < 44) {
            remove(DevicePtr());
        } else if (pick < 45) {
            clear();
        } else if (pick < 57) {
            check(pickRow(), bounded(2) == 1);
        } else if (pick < 61) {
            checkAll();
        } else if (pick < 68) {
            edit(pickRow());
        } else if (pick < 78) {
            readRow(pickRow());
        } else if (pick < 90) {
            updateDevice();
        } else if (pick < 95) {
            // The tool lets go of its handle; a row keeps the device alive.
            pool[bounded(PoolSize)].reset();
        } else if (reentrant) {
            onEdit = static_cast<Reentry>(bounded(3));
            onCheck = static_cast<Reentry>(bounded(3));
        }
    }

    int pickRow()
    {
        switch (bounded(8)) {
        case 0:
            return -1;
        case 1:
            return rows.size();
        case 2:
            return INT_MIN;
        case 3:
            return INT_MAX;
        default:
            return rows.isEmpty() ? 0 : bounded(rows.size());
        }
    }

    void appendNew()
    {
        if (rows.size() >= MaxRows) {
            return;
        }
        const DevicePtr device = DevicePtr::create();
        device->setName(QStringLiteral("d%1").arg(created++));
        device->setDevStatus(static_cast<DeviceData::DeviceStatus>(bounded(3)));
        everyDevice.append(device);
        pool[bounded(PoolSize)] = device;
        append(device);
    }

    void append(const DevicePtr &device)
    {
        const bool fresh = device && !rows.contains(device.data());
        if (fresh && rows.size() >= MaxRows) {
            return;
        }
        if (fresh) {
            const int row = rows.size();
            expectedNotes << QStringLiteral("aboutToInsert %1 %1").arg(row) << QStringLiteral("inserted %1 %1").arg(row)
                          << QStringLiteral("rowCountChanged");
        } else if (device) {
            expectedLines.append({QtInfoMsg, QStringLiteral("DeviceTableModel::appendDevice device has exist in "
                                                            "display list, dev info ")
                                                 + describe(device)});
        } else {
            expectedLines.append({QtWarningMsg, QStringLiteral("DeviceTableModel::appendDevice refused a null device")});
        }
        QCOMPARE(model.appendDevice(device), fresh);
        if (fresh) {
            rows.append(device.data());
        }
    }

    void remove(const DevicePtr &device)
    {
        const int row = device ? rows.indexOf(device.data()) : -1;
        if (row >= 0) {
            expectedNotes << QStringLiteral("aboutToRemove %1 %1").arg(row) << QStringLiteral("removed %1 %1").arg(row)
                          << QStringLiteral("rowCountChanged");
        } else if (device) {
            expectedLines.append(
                {QtInfoMsg, QStringLiteral("DeviceTableModel::removeDevice not find match device, dev info ")
                                + describe(device)});
        } else {
            expectedLines.append({QtWarningMsg, QStringLiteral("DeviceTableModel::removeDevice refused a null device")});
        }
        QCOMPARE(model.removeDevice(device), row >= 0);
        if (row >= 0) {
            rows.removeAt(row);
        }
    }

    void clear()
    {
        expectedNotes << QStringLiteral("aboutToReset") << QStringLiteral("reset") << QStringLiteral("rowCountChanged");
        expectedLines.append({QtInfoMsg, QStringLiteral("DeviceTableModel::clear")});
        model.clear();
        rows.clear();
    }

    // A receiver that changes the table from inside its slot; the operation it calls
    // records its own expectations, right after the signal that called it.
    void reenter(Reentry what, const DevicePtr &device)
    {
        if (what == Reentry::RemoveRow) {
            remove(device);
        } else if (what == Reentry::ClearTable) {
            clear();
        }
    }

    void check(int row, bool checked)
    {
        if (row < 0 || row >= rows.size()) {
            expectedLines.append({QtWarningMsg, QStringLiteral("checkDevice error! the row is  %1").arg(row)});
            model.checkDevice(row, checked);
            return;
        }
        const DevicePtr device = alive(rows.at(row));
        expectedNotes << QStringLiteral("deviceCheckChanged %1 %2").arg(device->name()).arg(checked);
        model.checkDevice(row, checked);
        QCOMPARE(device->checked(), checked);
    }

    void edit(int row)
    {
        if (row < 0 || row >= rows.size()) {
            expectedLines.append({QtWarningMsg, QStringLiteral("editDevice error! the row is  %1").arg(row)});
            model.editSignalDevice(row);
            return;
        }
        const DevicePtr device = alive(rows.at(row));
        expectedNotes << QStringLiteral("editDevice %1").arg(device->name());
        model.editSignalDevice(row);
    }

    void checkAll()
    {
        QVector<QPair<DevicePtr, bool>> before;
        for (DeviceData *device : std::as_const(rows)) {
            before.append({alive(device), device->checked()});
        }
        expectedLines.append({QtInfoMsg, QStringLiteral("DeviceTableModel::checkAllDevice")});
        model.checkAllDevice();
        for (const auto &entry : std::as_const(before)) {
            const bool online = entry.first->devStatus() == DeviceData::Online;
            QCOMPARE(entry.first->checked(), online || entry.second);
        }
    }

    void readRow(int row)
    {
        const bool inside = row >= 0 && row < rows.size();
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            QCOMPARE(index.isValid(), inside);
            for (const int role : {int(Qt::DisplayRole), int(Qt::UserRole), IndexRole,
                                   int(Qt::UserRole + DeviceTableModel::ColOperate), 1000, INT_MIN, INT_MAX}) {
                const QVariant value = model.data(index, role);
                if (!inside) {
                    QVERIFY(!value.isValid());
                } else if (role == IndexRole) {
                    QCOMPARE(value, QVariant(row));
                } else {
                    QCOMPARE(value.value<DeviceData *>(), rows.at(row));
                }
            }
        }
    }

    void updateDevice()
    {
        const DevicePtr device = rows.isEmpty() ? pool.at(bounded(PoolSize)) : alive(rows.at(bounded(rows.size())));
        if (!device) {
            return;
        }
        MacScanDeviceInfo info;
        info.setOffline(bounded(4) == 0);
        info.setMalfunction(bounded(4) == 0 ? bounded(4) : 0);
        info.setName(device->name());
        device->update(info, 1 + bounded(2));
    }

    DevicePtr alive(const DeviceData *raw) const
    {
        for (const QWeakPointer<DeviceData> &weak : everyDevice) {
            const DevicePtr device = weak.toStrongRef();
            if (device.data() == raw) {
                return device;
            }
        }
        return DevicePtr();
    }

    ZVRCheckBox::CheckType expectedCheckType() const
    {
        int checkedOnline = 0;
        int notOnline = 0;
        for (const DeviceData *device : rows) {
            if (device->devStatus() != DeviceData::Online) {
                ++notOnline;
            } else if (device->checked()) {
                ++checkedOnline;
            }
        }
        if (rows.isEmpty() || checkedOnline == 0) {
            return ZVRCheckBox::None;
        }
        return checkedOnline + notOnline == rows.size() ? ZVRCheckBox::All : ZVRCheckBox::Some;
    }

    void compare()
    {
        const QString where = QStringLiteral("step %1").arg(step);
        QVERIFY2(notes == expectedNotes,
                 qPrintable(where + QStringLiteral(": ") + notes.join(QLatin1Char(','))
                            + QStringLiteral(" expected ") + expectedNotes.join(QLatin1Char(','))));
        QCOMPARE(captured().table.size(), expectedLines.size());
        for (int i = 0; i < expectedLines.size(); ++i) {
            QCOMPARE(captured().table.at(i).type, expectedLines.at(i).type);
            QCOMPARE(captured().table.at(i).text, expectedLines.at(i).text);
        }
        QCOMPARE(model.rowCount(), rows.size());
        QCOMPARE(model.property("rowCount").toInt(), rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            QVERIFY2(model.data(model.index(row, 0), Qt::UserRole).value<DeviceData *>() == rows.at(row),
                     qPrintable(where));
        }
        QCOMPARE(model.allCheckType(), expectedCheckType());
        // Rows keep their devices alive; a device that nobody holds is gone.
        for (int i = everyDevice.size() - 1; i >= 0; --i) {
            const DevicePtr device = everyDevice.at(i).toStrongRef();
            if (!device) {
                everyDevice.removeAt(i);
                continue;
            }
            QVERIFY2(rows.contains(device.data()) || pool.contains(device), qPrintable(where));
        }
        for (const DeviceData *device : std::as_const(rows)) {
            QVERIFY2(alive(device), qPrintable(where));
        }
        QStringList unexcused;
        for (const QString &text : std::as_const(captured().complaints)) {
            if (!excused(text)) {
                unexcused << text;
            }
        }
        captured().complaints.clear();
        QVERIFY2(unexcused.isEmpty(), qPrintable(where + QStringLiteral(": ") + unexcused.join(QLatin1Char('\n'))));
    }

    QRandomGenerator random;
    const bool reentrant;
    DeviceTableModel model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QList<DeviceData *> rows;
    QVector<DevicePtr> pool = QVector<DevicePtr>(PoolSize);
    QVector<QWeakPointer<DeviceData>> everyDevice;
    Reentry onEdit = Reentry::None;
    Reentry onCheck = Reentry::None;
    QStringList notes;
    QStringList expectedNotes;
    QVector<Line> expectedLines;
    int created = 0;
    int step = 0;
};

} // namespace

class tst_TableRandomOps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void randomOperations_data();
    void randomOperations();

private:
    QtMessageHandler m_previous = nullptr;
};

void tst_TableRandomOps::initTestCase()
{
    qRegisterMetaType<DevicePtr>("QSharedPointer<DeviceData>");
    m_previous = qInstallMessageHandler(handler);
}

void tst_TableRandomOps::cleanupTestCase()
{
    qInstallMessageHandler(m_previous);
}

void tst_TableRandomOps::randomOperations_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("reentrant");
    QTest::addColumn<int>("steps");
    QTest::addRow("seed 1") << 1u << false << 3000;
    QTest::addRow("seed 20260101") << 20260101u << false << 3000;
    QTest::addRow("seed 7, receivers change the table") << 7u << true << 3000;
    QTest::addRow("seed 99, receivers change the table") << 99u << true << 3000;
}

void tst_TableRandomOps::randomOperations()
{
    QFETCH(quint32, seed);
    QFETCH(bool, reentrant);
    QFETCH(int, steps);

    auto runner = std::make_unique<Runner>(seed, reentrant);
    runner->run(steps);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(runner->step, steps);

    // Destroying the model releases every row it alone held.
    QVector<QWeakPointer<DeviceData>> rowsOnly;
    for (DeviceData *device : std::as_const(runner->rows)) {
        const DevicePtr strong = runner->alive(device);
        if (!runner->pool.contains(strong)) {
            rowsOnly.append(strong);
        }
    }
    runner->tester.reset();
    captured().table.clear();
    runner.reset();
    for (const QWeakPointer<DeviceData> &weak : std::as_const(rowsOnly)) {
        QVERIFY(weak.isNull());
    }
}

QTEST_GUILESS_MAIN(tst_TableRandomOps)
#include "tst_tablerandomops.moc"
