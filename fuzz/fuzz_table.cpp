// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Drives one DeviceTableModel with arbitrary sequences of operations under
// QAbstractItemModelTester and compares it after every step with a plain list of rows: rows
// and their order, allCheckType, the model's exact notifications, the table's lines with their
// level, and which devices are alive. Receivers of editDevice, deviceCheckChanged and
// checkedChanged may remove the row or clear the table from inside their slot.

#include "fuzzinput.h"

#include <modellog.h>

#include <zvrviewmodel/devicetablemodel.h>

#include <QAbstractItemModelTester>
#include <QDebug>
#include <QHash>
#include <QLoggingCategory>
#include <QMetaProperty>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace {

using DevicePtr = QSharedPointer<DeviceData>;

// The tester walks every row after each change: few rows keep thousands of inputs a second.
constexpr int MaxRows = 4;
constexpr int PoolSize = 16;
constexpr int IndexRole = Qt::UserRole + DeviceTableModel::ColIndex;

enum class Reentry { None, RemoveRow, ClearTable };

// One notification as the harness compares it: a kind and two numbers (rows, or a device's
// number and its check state). Plain values keep a step free of text; text() is for a failure.
struct Note
{
    enum Kind {
        None, // awaited but not sent: dropped before comparing; sent unawaited: "nothing"
        AboutToInsert,
        Inserted,
        AboutToRemove,
        Removed,
        Moved,
        AboutToReset,
        Reset,
        LayoutChanged,
        HeaderDataChanged,
        DataChanged,
        RowCountChanged,
        EditDevice,
        DeviceCheckChanged,
        CheckedChanged,
    };
    Kind kind = None;
    int a = 0;
    int b = 0;

    bool operator==(const Note &other) const { return kind == other.kind && a == other.a && b == other.b; }
    bool operator!=(const Note &other) const { return !(*this == other); }

    QString text() const
    {
        static const char *const names[] = { "nothing", "aboutToInsert", "inserted", "aboutToRemove",
            "removed", "moved", "aboutToReset", "reset", "layoutChanged", "headerDataChanged", "dataChanged",
            "rowCountChanged", "editDevice", "deviceCheckChanged", "checkedChanged" };
        return QStringLiteral("%1 %2 %3").arg(QLatin1String(names[kind])).arg(a).arg(b);
    }
};
using Notes = std::vector<Note>;

QString joined(const Notes &notes)
{
    QStringList texts;
    for (const Note &note : notes) {
        texts << note.text();
    }
    return texts.join(QLatin1Char(','));
}

// Records the first difference with its step; the input stops after the step.
#define DRIVER_CHECK(cond)                                                                                   \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            fail(QStringLiteral(#cond), __LINE__);                                                           \
            return;                                                                                          \
        }                                                                                                    \
    } while (false)

// Choices taken from the input's bytes.
class Choices
{
public:
    explicit Choices(FuzzedDataProvider &in)
        : m_in(in)
    {
    }
    bool more() const { return m_in.remaining_bytes() > 0; }
    int inRange(int lowest, int highest) { return m_in.ConsumeIntegralInRange<int>(lowest, highest); }
    int anyInt() { return m_in.ConsumeIntegral<int>(); }
    MacScanDeviceInfo report() { return FuzzInput::report(m_in); }

private:
    FuzzedDataProvider &m_in;
};

// Built once and emptied after every input: a table and a tester for each input cost more than
// the operations.
class Harness
{
public:
    Harness()
    {
        current = this;
        qInstallMessageHandler(&Harness::handler);
        tester = std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::Warning);
        logNotifications();
        QObject::connect(&model, &DeviceTableModel::rowCountChanged, [this] { sent(Note::RowCountChanged); });
        QObject::connect(&model, &DeviceTableModel::editDevice, [this](const DevicePtr &device) {
            signalled({ Note::EditDevice, idOf(device.data()) }, onEdit, device);
        });
        QObject::connect(
            &model, &DeviceTableModel::deviceCheckChanged, [this](const DevicePtr &device, bool checked) {
                DRIVER_CHECK(device && device->checked() == checked);
                signalled({ Note::DeviceCheckChanged, idOf(device.data()), checked }, onCheck, device);
            });
        for (int i = 0; i < 8; ++i) {
            foreign.appendDevice(DevicePtr::create());
        }
    }

    // The notifications a view acts on, with their rows, as values (the tests' logModel writes texts).
    void logNotifications()
    {
        using M = QAbstractItemModel;
        const auto rows = [this](Note::Kind kind) {
            return [this, kind](const QModelIndex &, int first, int last) { sent(kind, first, last); };
        };
        QObject::connect(&model, &M::rowsAboutToBeInserted, rows(Note::AboutToInsert));
        QObject::connect(&model, &M::rowsInserted, rows(Note::Inserted));
        QObject::connect(&model, &M::rowsAboutToBeRemoved, rows(Note::AboutToRemove));
        QObject::connect(&model, &M::rowsRemoved, rows(Note::Removed));
        QObject::connect(&model, &M::rowsMoved, rows(Note::Moved));
        QObject::connect(&model, &M::modelAboutToBeReset, [this] { sent(Note::AboutToReset); });
        QObject::connect(&model, &M::modelReset, [this] { sent(Note::Reset); });
        QObject::connect(&model, &M::layoutChanged, [this] { sent(Note::LayoutChanged); });
        QObject::connect(&model, &M::headerDataChanged, [this] { sent(Note::HeaderDataChanged); });
        QObject::connect(
            &model, &M::dataChanged, [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                sent(Note::DataChanged, topLeft.row(), bottomRight.row());
            });
    }

    void sent(Note::Kind kind, int a = 0, int b = 0) { notes.push_back({ kind, a, b }); }

    // Reports rename devices; the object name stays.
    static QString nameOf(const DevicePtr &device)
    {
        return device ? device->objectName() : QStringLiteral("null");
    }

    int idOf(const DeviceData *device) const { return device ? tracked.value(device).id : -1; }

    // A signal from inside a call takes the next awaited note, then its receiver may change the
    // table; the table's own handle keeps the device alive meanwhile.
    void signalled(const Note &note, Reentry what, const DevicePtr &device)
    {
        expectedNotes.push_back(awaited.empty() ? Note() : awaited.front());
        if (!awaited.empty()) {
            awaited.erase(awaited.begin());
        }
        notes.push_back(note);
        const QString name = nameOf(device);
        if (what == Reentry::RemoveRow) {
            remove(device);
        } else if (what == Reentry::ClearTable) {
            clear();
        }
        DRIVER_CHECK(nameOf(device) == name);
    }

    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (qstrcmp(context.category, "qt.modeltest") == 0) {
            const auto inText = [&](const QString &excuse) { return text.contains(excuse); };
            if (std::none_of(TableExcuses.cbegin(), TableExcuses.cend(), inText)) {
                current->fail(QStringLiteral("model tester: ") + text, 0);
            }
        } else if (type != QtDebugMsg && context.file && std::strstr(context.file, "devicetablemodel.cpp")) {
            current->lines << QString::number(type) + QLatin1Char(' ') + text;
        }
    }

    void fail(const QString &what, int line)
    {
        if (failure.isEmpty()) {
            failure = QStringLiteral("step %1, line %2: %3").arg(step).arg(line).arg(what);
        }
    }

    // The table writes the device's text as QDebug does: quoted, with escapes.
    void expectLine(QtMsgType type, const QString &text, const DevicePtr &device = {})
    {
        QString shown;
        if (device) {
            QDebug(&shown).nospace() << device->toString();
            shown.prepend(QLatin1Char(' '));
        }
        expectedLines << QString::number(type) + QLatin1Char(' ') + text + shown;
    }

    QString run(Choices &choices, int steps)
    {
        in = &choices;
        failure.clear();
        onEdit = onCheck = onCheckedChanged = Reentry::None;
        for (step = 0; step < steps && failure.isEmpty() && in->more(); ++step) {
            operate();
            compare();
        }
        // Clearing the table releases every row it alone held.
        QVector<QWeakPointer<DeviceData>> rowsOnly;
        for (const DeviceData *device : qAsConst(rows)) {
            if (!pool.contains(alive(device))) {
                rowsOnly << alive(device);
            }
        }
        if (!rows.isEmpty()) {
            onCheckedChanged = Reentry::None;
            clear();
            compare();
        }
        if (std::any_of(
                rowsOnly.cbegin(), rowsOnly.cend(), [](const auto &weak) { return !weak.isNull(); })) {
            fail(QStringLiteral("a row only the table held outlived it"), __LINE__);
        }
        pool.fill(DevicePtr());
        tracked.clear();
        return failure;
    }

    void operate()
    {
        const int pick = in->inRange(0, 99);
        if (pick < 22) {
            appendNew();
        } else if (pick < 32) {
            append(pick < 30 ? pooled() : DevicePtr());
        } else if (pick < 44) {
            remove(pick < 42 ? pooled() : DevicePtr());
        } else if (pick < 45) {
            clear();
        } else if (pick < 57) {
            check(pickRow(), in->inRange(0, 1) == 1);
        } else if (pick < 61) {
            checkAll();
        } else if (pick < 68) {
            edit(pickRow());
        } else if (pick < 78) {
            read(pickRow());
        } else if (pick < 90) {
            updateDevice();
        } else if (pick < 95) {
            // The tool lets go of its handle; a row keeps the device alive.
            pool[in->inRange(0, PoolSize - 1)].reset();
        } else {
            onEdit = static_cast<Reentry>(in->inRange(0, 2));
            onCheck = static_cast<Reentry>(in->inRange(0, 2));
            onCheckedChanged = static_cast<Reentry>(in->inRange(0, 2));
        }
    }

    DevicePtr pooled() { return pool.at(in->inRange(0, PoolSize - 1)); }

    int pickRow()
    {
        const int pick = in->inRange(0, 7);
        const int edges[] = { -1, int(rows.size()), INT_MIN, INT_MAX };
        return pick < 4 ? edges[pick]
            : pick == 4 ? in->anyInt()
                        : in->inRange(0, std::max(1, int(rows.size())) - 1);
    }

    void appendNew()
    {
        const DevicePtr device = DevicePtr::create();
        const int id = created++;
        device->setObjectName(QString::number(id));
        device->setDevStatus(static_cast<DeviceData::DeviceStatus>(in->inRange(0, 2)));
        tracked.insert(device.data(), { device, id });
        QObject::connect(device.data(), &DeviceData::checkedChanged, &model, [this, raw = device.data()] {
            signalled({ Note::CheckedChanged, idOf(raw) }, onCheckedChanged, alive(raw));
        });
        pool[in->inRange(0, PoolSize - 1)] = device;
        append(device);
    }

    // Awaits the signals \a call emits from inside it, in order.
    template<typename Call> void await(const Notes &inside, Call call)
    {
        // Copied into the kept buffer: an input that leaves memory behind costs a leak check.
        awaited.clear();
        std::copy_if(inside.cbegin(), inside.cend(), std::back_inserter(awaited),
            [](const Note &n) { return n != Note(); });
        call();
        expectedNotes.insert(expectedNotes.end(), awaited.cbegin(), awaited.cend());
        awaited.clear();
    }

    Note checkedNote(const DeviceData *device, bool checked) const
    {
        return device->checked() == checked ? Note() : Note { Note::CheckedChanged, idOf(device) };
    }

    void expectRows(Note::Kind before, Note::Kind after, int row)
    {
        expectedNotes.push_back({ before, row, row });
        expectedNotes.push_back({ after, row, row });
        expectedNotes.push_back({ Note::RowCountChanged });
    }

    void append(const DevicePtr &device)
    {
        const bool fresh = device && !rows.contains(device.data());
        if (fresh && rows.size() >= MaxRows) {
            return;
        }
        if (fresh) {
            expectRows(Note::AboutToInsert, Note::Inserted, rows.size());
        } else if (device) {
            expectLine(QtInfoMsg,
                "DeviceTableModel::appendDevice device has exist in display list, dev info ", device);
        } else {
            expectLine(QtWarningMsg, QStringLiteral("DeviceTableModel::appendDevice refused a null device"));
        }
        DRIVER_CHECK(model.appendDevice(device) == fresh);
        if (fresh) {
            rows << device.data();
        }
    }

    void remove(const DevicePtr &device)
    {
        const int row = device ? rows.indexOf(device.data()) : -1;
        if (row >= 0) {
            expectRows(Note::AboutToRemove, Note::Removed, row);
            rows.removeAt(row);
        } else if (device) {
            expectLine(QtInfoMsg, "DeviceTableModel::removeDevice not find match device, dev info ", device);
        } else {
            expectLine(QtWarningMsg, QStringLiteral("DeviceTableModel::removeDevice refused a null device"));
        }
        DRIVER_CHECK(model.removeDevice(device) == (row >= 0));
    }

    void clear()
    {
        expectedNotes.push_back({ Note::AboutToReset });
        expectedNotes.push_back({ Note::Reset });
        expectedNotes.push_back({ Note::RowCountChanged });
        expectLine(QtInfoMsg, QStringLiteral("DeviceTableModel::clear"));
        rows.clear();
        model.clear();
    }

    // The device's own signal comes first, then the model's.
    void check(int row, bool checked)
    {
        if (row < 0 || row >= rows.size()) {
            expectLine(QtWarningMsg, QStringLiteral("checkDevice error! the row is  %1").arg(row));
            return model.checkDevice(row, checked);
        }
        const DevicePtr device = alive(rows.at(row));
        await({ checkedNote(device.data(), checked),
                  { Note::DeviceCheckChanged, idOf(device.data()), checked } },
            [&] { model.checkDevice(row, checked); });
        DRIVER_CHECK(device->checked() == checked);
    }

    void edit(int row)
    {
        const bool inside = row >= 0 && row < rows.size();
        if (!inside) {
            expectLine(QtWarningMsg, QStringLiteral("editDevice error! the row is  %1").arg(row));
        }
        await(inside ? Notes { { Note::EditDevice, idOf(rows.at(row)) } } : Notes(),
            [&] { model.editSignalDevice(row); });
    }

    // Checks exactly the online rows present when called, never unchecks.
    void checkAll()
    {
        QVector<QPair<DevicePtr, bool>> before;
        Notes inside;
        for (const DeviceData *device : qAsConst(rows)) {
            before.append({ alive(device), device->checked() });
            inside.push_back(device->online() ? checkedNote(device, true) : Note());
        }
        expectLine(QtInfoMsg, QStringLiteral("DeviceTableModel::checkAllDevice"));
        await(inside, [&] { model.checkAllDevice(); });
        for (const auto &entry : qAsConst(before)) {
            DRIVER_CHECK(entry.first->checked() == (entry.first->online() || entry.second));
        }
    }

    // Every role but the row number reads the row's device, whatever the column; an index of
    // another table reads this table's row of the same number.
    void read(int row)
    {
        const int column = in->inRange(-1, DeviceTableModel::ColumnTypeCNT);
        const QModelIndex index = model.index(row, column);
        const bool inside = row >= 0 && row < rows.size() && column >= 0 && column < 21;
        DRIVER_CHECK(index.isValid() == inside);
        for (const int role : { int(Qt::DisplayRole), int(Qt::EditRole), int(Qt::CheckStateRole),
                 int(Qt::UserRole), IndexRole, Qt::UserRole + DeviceTableModel::ColOperate,
                 Qt::UserRole + DeviceTableModel::ColumnTypeCNT, 1000, -1, INT_MIN, INT_MAX, in->anyInt() }) {
            const QVariant value = model.data(index, role);
            DRIVER_CHECK(!inside        ? !value.isValid()
                    : role == IndexRole ? value == QVariant(row)
                                        : value.value<DeviceData *>() == rows.at(row));
        }
        const int foreignRow = in->inRange(0, foreign.rowCount() - 1);
        const QVariant value = model.data(foreign.index(foreignRow, 0), Qt::UserRole);
        DRIVER_CHECK(value.isValid() == (foreignRow < rows.size())
            && value.value<DeviceData *>() == rows.value(foreignRow));
        model.headerData(in->anyInt(), in->inRange(0, 1) ? Qt::Horizontal : Qt::Vertical, in->anyInt());
    }

    void updateDevice()
    {
        const DevicePtr device = rows.isEmpty() || in->inRange(0, 1)
            ? pooled()
            : alive(rows.at(in->inRange(0, rows.size() - 1)));
        const int what = in->inRange(0, 3);
        if (!device) {
            return;
        } else if (what == 0) {
            device->setDevStatus(static_cast<DeviceData::DeviceStatus>(in->inRange(0, 2)));
        } else if (what == 1) {
            const bool checked = in->inRange(0, 1) == 1;
            await({ checkedNote(device.data(), checked) }, [&] { device->setChecked(checked); });
        } else {
            device->update(in->report(), in->inRange(-1, 3));
        }
    }

    DevicePtr alive(const DeviceData *raw) const { return tracked.value(raw).weak.toStrongRef(); }

    ZVRCheckBox::CheckType expectedCheckType() const
    {
        const auto checkedOnline
            = std::count_if(rows.cbegin(), rows.cend(), [](auto d) { return d->online() && d->checked(); });
        const auto offline = std::count_if(rows.cbegin(), rows.cend(), [](auto d) { return !d->online(); });
        return checkedOnline == 0                    ? ZVRCheckBox::None
            : checkedOnline + offline == rows.size() ? ZVRCheckBox::All
                                                     : ZVRCheckBox::Some;
    }

    void compare()
    {
        if (notes != expectedNotes) {
            fail(joined(notes) + QStringLiteral(" expected ") + joined(expectedNotes), __LINE__);
        }
        notes.clear();
        expectedNotes.clear();
        if (lines != expectedLines) {
            fail(lines.join(QLatin1Char(',')) + QStringLiteral(" expected ")
                    + expectedLines.join(QLatin1Char(',')),
                __LINE__);
        }
        lines.clear();
        expectedLines.clear();
        DRIVER_CHECK(model.columnCount() == 21); // "operate" is a role, not a column
        DRIVER_CHECK(model.rowCount() == rows.size() && rowCountProperty.read(&model).toInt() == rows.size());
        DRIVER_CHECK(model.rowCount(model.index(0, 0)) == rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            DRIVER_CHECK(model.data(model.index(row, 0), Qt::UserRole).value<DeviceData *>() == rows.at(row));
        }
        DRIVER_CHECK(model.allCheckType() == expectedCheckType());
        // Rows keep their devices alive; a device that nobody holds is gone.
        for (auto it = tracked.begin(); it != tracked.end();) {
            const DevicePtr device = it->weak.toStrongRef();
            if (!device) {
                it = tracked.erase(it);
                continue;
            }
            DRIVER_CHECK(rows.contains(device.data()) || pool.contains(device));
            ++it;
        }
        DRIVER_CHECK(std::all_of(rows.cbegin(), rows.cend(), [this](auto d) { return alive(d); }));
    }

    static Harness *current;
    Choices *in = nullptr;
    DeviceTableModel model;
    DeviceTableModel foreign;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QList<DeviceData *> rows;
    QVector<DevicePtr> pool = QVector<DevicePtr>(PoolSize);
    // Every device made for this input, alive or not, and its number in the notes.
    struct Tracked
    {
        QWeakPointer<DeviceData> weak;
        int id = -1;
    };
    QHash<const DeviceData *, Tracked> tracked;
    const QMetaProperty rowCountProperty
        = model.metaObject()->property(model.metaObject()->indexOfProperty("rowCount"));
    Reentry onEdit = Reentry::None, onCheck = Reentry::None, onCheckedChanged = Reentry::None;
    Notes notes, expectedNotes, awaited;
    QStringList lines, expectedLines;
    QString failure;
    int step = 0;
    int created = 0;
};

Harness *Harness::current = nullptr;

Harness *harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The table shows no text and no port; small reports keep thousands of inputs a second.
    FuzzInput::Limits &limits = FuzzInput::limits();
    limits.longText = 256;
    limits.ordinaryText = 32;
    limits.ports = 8;
    limits.portText = 256;
    FuzzInput::reportExtremesAtExit("fuzz_table");
    // The table's debug lines are not compared; formatting them would cost more than the step.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    harness = new Harness;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FuzzInput::beginInput();
    Choices choices(in);
    const QString failure = harness->run(choices, 2000);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "fuzz_table: %s\n", qUtf8Printable(failure));
        std::abort();
    }
    return 0;
}
