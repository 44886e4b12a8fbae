// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Drives a DeviceTableModel with arbitrary sequences of operations under
// QAbstractItemModelTester and compares it after every step with a plain list of rows.
// Receivers of editDevice, deviceCheckChanged and checkedChanged may remove the row or
// clear the table from inside their slot.

#include "fuzzinput.h"

#include <zvrviewmodel/devicetablemodel.h>

#include <QAbstractItemModelTester>
#include <QList>
#include <QSharedPointer>
#include <QVector>
#include <QWeakPointer>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using DevicePtr = QSharedPointer<DeviceData>;

constexpr int MaxRows = 64;
constexpr int PoolSize = 24;
constexpr int VisibleColumns = 21;
constexpr int RoleBase = Qt::UserRole;
constexpr int IndexRole = Qt::UserRole + DeviceTableModel::ColIndex;

const char *const RoleNames[] = {"checked",     "devIndex",  "name",         "nodeType",    "subNodeType",
                                 "completeType", "devModel",  "devStatus",    "devStatusStr", "malfunction",
                                 "ipState",     "runMode",   "firmwareVer",  "devTime",     "callRollState",
                                 "serialNumber", "mac",       "ip",           "ip2",         "subnetMask",
                                 "gateway",     "operate"};

// Lines the table writes at info level or above: its refusals and whole-table operations.
struct LogCounts
{
    int refusals = 0;
};

LogCounts &logCounts()
{
    static LogCounts counts;
    return counts;
}

// Every cell is a DeviceData*, also for the standard roles, and rowCount() does not look
// at its parent: the tester's complaints about those two are the table's nature.
bool excused(const QString &text)
{
    return text.startsWith(QLatin1String("FAIL! variant.canConvert<"))
        || text.startsWith(QLatin1String("FAIL! model->hasChildren(topIndex) ()"))
        || text.contains(QLatin1String("Actual (model->parent(childIndex))"));
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (context.category && std::strcmp(context.category, "qt.modeltest") == 0) {
        if (!excused(text)) {
            std::fprintf(stderr, "model tester: %s\n", qUtf8Printable(text));
            std::abort();
        }
        return;
    }
    const bool fromTable = context.file && std::strstr(context.file, "devicetablemodel.cpp");
    if (fromTable && (type == QtInfoMsg || type == QtWarningMsg)) {
        ++logCounts().refusals;
    }
}

enum class Reentry { None, RemoveRow, ClearTable };

class Harness
{
public:
    Harness()
        : tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning)
    {
        QObject::connect(&model, &DeviceTableModel::rowCountChanged, &model, [this] { ++rowCountSignals; });
        QObject::connect(&model, &DeviceTableModel::editDevice, &model, [this](const DevicePtr &device) {
            ++editSignals;
            lastSignalled = device.data();
            FUZZ_CHECK(device);
            reenter(onEdit, device);
        });
        QObject::connect(&model, &DeviceTableModel::deviceCheckChanged, &model,
                         [this](const DevicePtr &device, bool checked) {
                             ++checkSignals;
                             lastSignalled = device.data();
                             lastChecked = checked;
                             FUZZ_CHECK(device);
                             FUZZ_CHECK(device->checked() == checked);
                             reenter(onCheck, device);
                         });
    }

    DevicePtr newDevice()
    {
        const DevicePtr device = DevicePtr::create();
        everyDevice.append(device);
        // A receiver of the record's own signal may change the table too.
        QObject::connect(device.data(), &DeviceData::checkedChanged, &model, [this, raw = device.data()] {
            if (onCheckedChanged == Reentry::None) {
                return;
            }
            const DevicePtr self = findAlive(raw);
            FUZZ_CHECK(self);
            reenter(onCheckedChanged, self);
        });
        return device;
    }

    DevicePtr findAlive(const DeviceData *raw) const
    {
        for (const QWeakPointer<DeviceData> &weak : everyDevice) {
            const DevicePtr strong = weak.toStrongRef();
            if (strong.data() == raw) {
                return strong;
            }
        }
        return DevicePtr();
    }

    void reenter(Reentry what, const DevicePtr &device)
    {
        if (what == Reentry::RemoveRow) {
            const int row = rows.indexOf(device.data());
            const bool removed = model.removeDevice(device);
            FUZZ_CHECK(removed == (row >= 0));
            if (row >= 0) {
                rows.removeAt(row);
                ++expectedRowCountSignals;
            } else {
                ++expectedRefusals;
            }
        } else if (what == Reentry::ClearTable) {
            model.clear();
            rows.clear();
            ++expectedRowCountSignals;
            ++expectedRefusals;
        }
    }

    ZVRCheckBox::CheckType expectedCheckType() const
    {
        if (rows.isEmpty()) {
            return ZVRCheckBox::None;
        }
        int checkedOnline = 0;
        int notOnline = 0;
        for (const DeviceData *device : rows) {
            if (device->devStatus() != DeviceData::Online) {
                ++notOnline;
            } else if (device->checked()) {
                ++checkedOnline;
            }
        }
        if (checkedOnline == 0) {
            return ZVRCheckBox::None;
        }
        return checkedOnline + notOnline == rows.size() ? ZVRCheckBox::All : ZVRCheckBox::Some;
    }

    DeviceData *cellDevice(int row, int column, int role) const
    {
        const QVariant value = model.data(model.index(row, column), role);
        FUZZ_CHECK(value.isValid());
        return value.value<DeviceData *>();
    }

    // Everything the reference knows, after every step.
    void compare()
    {
        FUZZ_CHECK(model.rowCount() == rows.size());
        FUZZ_CHECK(model.property("rowCount").toInt() == rows.size());
        FUZZ_CHECK(model.columnCount() == VisibleColumns);
        for (int row = 0; row < rows.size(); ++row) {
            FUZZ_CHECK(cellDevice(row, 0, RoleBase) == rows.at(row));
        }
        FUZZ_CHECK(model.allCheckType() == expectedCheckType());
        FUZZ_CHECK(rowCountSignals == expectedRowCountSignals);
        FUZZ_CHECK(logCounts().refusals == expectedRefusals);
        // The table holds its rows alive; a device nobody holds any more is gone.
        for (int i = everyDevice.size() - 1; i >= 0; --i) {
            const DevicePtr device = everyDevice.at(i).toStrongRef();
            if (!device) {
                everyDevice.removeAt(i);
                continue;
            }
            const bool held = rows.contains(device.data()) || pool.contains(device);
            FUZZ_CHECK(held);
        }
        for (const DeviceData *device : rows) {
            FUZZ_CHECK(findAlive(device));
        }
    }

    int pickRow(FuzzedDataProvider &in) const
    {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            return -1;
        case 1:
            return rows.size();
        case 2:
            return INT_MIN;
        case 3:
            return INT_MAX;
        case 4:
            return in.ConsumeIntegral<int>();
        default:
            return rows.isEmpty() ? 0 : in.ConsumeIntegralInRange<int>(0, rows.size() - 1);
        }
    }

    DevicePtr pickPooled(FuzzedDataProvider &in)
    {
        return pool.at(in.ConsumeIntegralInRange<int>(0, PoolSize - 1));
    }

    void append(const DevicePtr &device)
    {
        const bool expected = device && !rows.contains(device.data());
        if (expected && rows.size() >= MaxRows) {
            return;
        }
        FUZZ_CHECK(model.appendDevice(device) == expected);
        if (expected) {
            rows.append(device.data());
            ++expectedRowCountSignals;
        } else {
            ++expectedRefusals;
        }
    }

    void remove(const DevicePtr &device)
    {
        const int row = device ? rows.indexOf(device.data()) : -1;
        FUZZ_CHECK(model.removeDevice(device) == (row >= 0));
        if (row >= 0) {
            rows.removeAt(row);
            ++expectedRowCountSignals;
        } else {
            ++expectedRefusals;
        }
    }

    void check(int row, bool checked)
    {
        const bool valid = row >= 0 && row < rows.size();
        const DeviceData *target = valid ? rows.at(row) : nullptr;
        const int before = checkSignals;
        if (!valid) {
            ++expectedRefusals;
        }
        model.checkDevice(row, checked);
        FUZZ_CHECK(checkSignals == before + (valid ? 1 : 0));
        if (valid) {
            FUZZ_CHECK(lastSignalled == target);
            FUZZ_CHECK(lastChecked == checked);
        }
    }

    void checkAll()
    {
        QVector<QPair<DeviceData *, bool>> before;
        for (DeviceData *device : qAsConst(rows)) {
            before.append({device, device->checked()});
        }
        ++expectedRefusals;
        const int checkBefore = checkSignals;
        model.checkAllDevice();
        FUZZ_CHECK(checkSignals == checkBefore);
        if (onCheckedChanged != Reentry::None) {
            return;
        }
        for (const auto &entry : qAsConst(before)) {
            const bool online = entry.first->devStatus() == DeviceData::Online;
            FUZZ_CHECK(entry.first->checked() == (online ? true : entry.second));
        }
    }

    void edit(int row)
    {
        const bool valid = row >= 0 && row < rows.size();
        const DeviceData *target = valid ? rows.at(row) : nullptr;
        const int before = editSignals;
        if (!valid) {
            ++expectedRefusals;
        }
        model.editSignalDevice(row);
        FUZZ_CHECK(editSignals == before + (valid ? 1 : 0));
        if (valid) {
            FUZZ_CHECK(lastSignalled == target);
        }
    }

    void readRoles(FuzzedDataProvider &in)
    {
        const int row = pickRow(in);
        const int column = in.ConsumeIntegralInRange<int>(-1, VisibleColumns + 1);
        const QModelIndex index = model.index(row, column);
        const bool inside = row >= 0 && row < rows.size() && column >= 0 && column < VisibleColumns;
        FUZZ_CHECK(index.isValid() == inside);
        const int extraRole = in.ConsumeIntegral<int>();
        for (const int role : {int(Qt::DisplayRole), int(Qt::EditRole), int(Qt::CheckStateRole), RoleBase,
                               IndexRole, RoleBase + DeviceTableModel::ColOperate,
                               RoleBase + DeviceTableModel::ColumnTypeCNT, 1000, -1, INT_MIN, INT_MAX, extraRole}) {
            const QVariant value = model.data(index, role);
            if (!inside) {
                FUZZ_CHECK(!value.isValid());
            } else if (role == IndexRole) {
                FUZZ_CHECK(value.toInt() == row);
            } else {
                FUZZ_CHECK(value.value<DeviceData *>() == rows.at(row));
            }
        }
        // An index of another table with the same row reads this table's row.
        if (foreign.rowCount() > 0) {
            const int foreignRow = in.ConsumeIntegralInRange<int>(0, foreign.rowCount() - 1);
            const QVariant value = model.data(foreign.index(foreignRow, 0), RoleBase);
            if (foreignRow < rows.size()) {
                FUZZ_CHECK(value.value<DeviceData *>() == rows.at(foreignRow));
            } else {
                FUZZ_CHECK(!value.isValid());
            }
        }
        const int section = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(-2, 24) : in.ConsumeIntegral<int>();
        const QString name = model.columnRole(section);
        if (section >= 0 && section <= DeviceTableModel::ColOperate) {
            FUZZ_CHECK(name == QLatin1String(RoleNames[section]));
        } else {
            FUZZ_CHECK(name.isNull());
        }
        model.headerData(section, in.ConsumeBool() ? Qt::Horizontal : Qt::Vertical, extraRole);
        const QHash<int, QByteArray> names = model.roleNames();
        for (int c = 0; c <= DeviceTableModel::ColOperate; ++c) {
            FUZZ_CHECK(names.value(RoleBase + c) == RoleNames[c]);
        }
        FUZZ_CHECK(!names.contains(RoleBase + DeviceTableModel::ColumnTypeCNT));
        if (!rows.isEmpty()) {
            FUZZ_CHECK(model.rowCount(model.index(0, 0)) == rows.size());
        }
    }

    void updateDevice(FuzzedDataProvider &in)
    {
        DevicePtr device;
        if (!rows.isEmpty() && in.ConsumeBool()) {
            device = findAlive(rows.at(in.ConsumeIntegralInRange<int>(0, rows.size() - 1)));
        } else {
            device = pickPooled(in);
        }
        if (!device) {
            return;
        }
        switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            device->setDevStatus(static_cast<DeviceData::DeviceStatus>(in.ConsumeIntegralInRange<int>(0, 2)));
            break;
        case 1:
            device->setChecked(in.ConsumeBool());
            break;
        default:
            device->update(FuzzInput::report(in), in.ConsumeIntegralInRange<int>(-1, 3));
            break;
        }
    }

    DeviceTableModel model;
    DeviceTableModel foreign;
    QAbstractItemModelTester tester;
    QList<DeviceData *> rows;
    QVector<DevicePtr> pool = QVector<DevicePtr>(PoolSize);
    QVector<QWeakPointer<DeviceData>> everyDevice;

    Reentry onEdit = Reentry::None;
    Reentry onCheck = Reentry::None;
    Reentry onCheckedChanged = Reentry::None;

    int rowCountSignals = 0;
    int expectedRowCountSignals = 0;
    int expectedRefusals = 0;
    int checkSignals = 0;
    int editSignals = 0;
    const DeviceData *lastSignalled = nullptr;
    bool lastChecked = false;
};

Reentry pickReentry(FuzzedDataProvider &in)
{
    return static_cast<Reentry>(in.ConsumeIntegralInRange<int>(0, 2));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(handler);
    FuzzInput::reportExtremesAtExit("fuzz_table");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FuzzInput::beginInput();
    logCounts() = LogCounts();
    Harness h;
    for (int i = 0; i < 8; ++i) {
        h.foreign.appendDevice(DevicePtr::create());
    }
    h.expectedRefusals = logCounts().refusals;

    for (int step = 0; step < 2000 && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange<int>(0, 13)) {
        case 0: {
            const DevicePtr device = h.newDevice();
            h.pool[in.ConsumeIntegralInRange<int>(0, PoolSize - 1)] = device;
            h.append(device);
            break;
        }
        case 1:
            h.append(h.pickPooled(in));
            break;
        case 2:
            h.append(DevicePtr());
            break;
        case 3:
            h.remove(h.pickPooled(in));
            break;
        case 4:
            h.remove(DevicePtr());
            break;
        case 5:
            ++h.expectedRefusals;
            ++h.expectedRowCountSignals;
            h.model.clear();
            h.rows.clear();
            break;
        case 6:
            h.check(h.pickRow(in), in.ConsumeBool());
            break;
        case 7:
            h.checkAll();
            break;
        case 8:
            h.edit(h.pickRow(in));
            break;
        case 9:
            h.readRoles(in);
            break;
        case 10:
            h.updateDevice(in);
            break;
        case 11:
            // The tool lets go of its handle; a row in the table keeps the device alive.
            h.pool[in.ConsumeIntegralInRange<int>(0, PoolSize - 1)].reset();
            break;
        case 12:
            h.onEdit = pickReentry(in);
            h.onCheck = pickReentry(in);
            break;
        default:
            h.onCheckedChanged = pickReentry(in);
            break;
        }
        h.compare();
    }
    return 0;
}
