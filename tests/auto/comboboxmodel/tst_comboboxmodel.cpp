// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/comboboxmodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <climits>

class tst_ComboBoxModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void edit_data();
    void edit();
    void setCurrentIndex_data();
    void setCurrentIndex();
    void modelTester();
};

static void logAll(ComboBoxModel *model, QStringList *log)
{
    logModel(model, log);
    QObject::connect(model, &ComboBoxModel::currentIndexChanged, model,
        [=] { log->append("currentIndexChanged " + QString::number(model->currentIndex())); });
}

void tst_ComboBoxModel::metaObject()
{
    ComboBoxModel model;
    QCOMPARE(model.currentIndex(), 0);
    QVERIFY(model.currentText().isNull());
    QCOMPARE(model.property("textRole").toString(), QStringLiteral("display"));
    QCOMPARE(model.roleNames().value(Qt::DisplayRole), QByteArray("display"));
}

void tst_ComboBoxModel::edit_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("op"); // append:, remove: or reset: followed by the text(s)
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("log");

    const QStringList none;
    QTest::addRow("append into empty") << none << 7 << "append:A" << QStringList({ "A" })
                                       << QStringList({ "aboutToInsert 0-0", "inserted 0-0",
                                              "dataChanged 0,0 0,0 [0,2]", "dataChanged 0,0 0,0 [0]" });
    QTest::addRow("append duplicate") << QStringList({ "A" }) << 7 << "append:A" << QStringList({ "A", "A" })
                                      << QStringList({ "aboutToInsert 1-1", "inserted 1-1",
                                             "dataChanged 1,0 1,0 [0,2]", "dataChanged 1,0 1,0 [0]" });
    QTest::addRow("append empty") << QStringList({ "A", "B" }) << 7
                                  << "append:" << QStringList({ "A", "B", "" })
                                  << QStringList(
                                         { "aboutToInsert 2-2", "inserted 2-2", "dataChanged 2,0 2,0 [0]" });
    // remove takes the first match and leaves the selection where it was.
    QTest::addRow("remove first of two")
        << QStringList({ "A", "B", "A" }) << 2 << "remove:A" << QStringList({ "B", "A" })
        << QStringList({ "aboutToRemove 0-0", "removed 0-0" });
    QTest::addRow("remove last") << QStringList({ "A", "B", "C" }) << 2 << "remove:C"
                                 << QStringList({ "A", "B" })
                                 << QStringList({ "aboutToRemove 2-2", "removed 2-2" });
    QTest::addRow("remove absent") << QStringList({ "A", "B" }) << 2 << "remove:X"
                                   << QStringList({ "A", "B" }) << none;
    QTest::addRow("remove case differs")
        << QStringList({ "A", "B" }) << 2 << "remove:a" << QStringList({ "A", "B" }) << none;
    QTest::addRow("remove empty entry")
        << QStringList({ "A", "", "B" }) << 2 << "remove:" << QStringList({ "A", "B" })
        << QStringList({ "aboutToRemove 1-1", "removed 1-1" });
    QTest::addRow("remove from empty") << none << 2 << "remove:A" << none << none;
    // The base's own reset runs inside the outer one; the index goes back to 0.
    const QStringList resets = { "aboutToReset", "aboutToReset", "reset", "reset" };
    QTest::addRow("reset at 0") << QStringList({ "A", "B", "C", "D" }) << 0 << "reset:X,Y"
                                << QStringList({ "X", "Y" }) << resets;
    QTest::addRow("reset at 3") << QStringList({ "A", "B", "C", "D" }) << 3 << "reset:X,Y"
                                << QStringList({ "X", "Y" })
                                << resets + QStringList({ "currentIndexChanged 0" });
    QTest::addRow("reset to empty") << QStringList({ "A" }) << -1 << "reset:" << none
                                    << resets + QStringList({ "currentIndexChanged 0" });
}

void tst_ComboBoxModel::edit()
{
    QFETCH(QStringList, before);
    QFETCH(int, index);
    QFETCH(QString, op);
    QFETCH(QStringList, after);
    QFETCH(QStringList, log);

    ComboBoxModel model;
    model.setStringList(before);
    model.setCurrentIndex(index);
    QStringList seen;
    logAll(&model, &seen);
    const QString kind = op.section(':', 0, 0);
    const QString text = op.section(':', 1);
    LogCapture cap;
    if (kind == "append") {
        model.append(text);
    } else if (kind == "remove") {
        model.remove(text);
    } else {
        model.resetModel(text.isEmpty() ? QStringList() : text.split(','));
        index = 0;
        QCOMPARE(cap.lines().size(), 1);
        QCOMPARE(cap.lines().at(0).text, QStringLiteral("setCurrentIndex val  0"));
    }
    QCOMPARE(model.stringList(), after);
    QCOMPARE(seen, log);
    QCOMPARE(model.currentIndex(), index);
    QCOMPARE(model.currentText(), after.value(index));
}

void tst_ComboBoxModel::setCurrentIndex_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addRow("second entry") << 1 << QStringLiteral("B");
    for (const int outside : { 2, 5, -1, INT_MIN, INT_MAX }) {
        QTest::addRow("%d", outside) << outside << QString();
    }
    QTest::addRow("unchanged") << 0 << QStringLiteral("A");
}

void tst_ComboBoxModel::setCurrentIndex()
{
    QFETCH(int, value);
    QFETCH(QString, text);

    ComboBoxModel model;
    model.setStringList({ "A", "B" });
    QStringList seen;
    logAll(&model, &seen);
    LogCapture cap;
    QVERIFY(model.setProperty("currentIndex", value));
    QCOMPARE(seen, value ? QStringList("currentIndexChanged " + QString::number(value)) : QStringList());
    QCOMPARE(model.currentText(), text);
    QCOMPARE(model.currentText().isNull(), text.isNull());
    QCOMPARE(cap.lines().size(), 1);
    QCOMPARE(contextLine(cap.lines().at(0)),
        "debug default src/libs/zvrviewmodel/comboboxmodel.cpp void ComboBoxModel::setCurrentIndex(int) | "
        "setCurrentIndex val  "
            + QString::number(value));
}

void tst_ComboBoxModel::modelTester()
{
    ComboBoxModel model;
    LogCapture cap;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    // Testers that track resets may object to the intended nested reset, and only to that.
    const auto complaints = [&cap](bool afterReset) {
        const QStringList texts
            = testerComplaints(cap, afterReset ? QStringList { "changeInFlight" } : QStringList());
        cap.clear();
        return texts;
    };
    model.append("A");
    model.append("B");
    model.append("A");
    model.remove("A");
    QCOMPARE(complaints(false), QStringList());
    model.resetModel({ "X", "Y", "Z" });
    QCOMPARE(complaints(true), QStringList());
    model.remove("Z");
    model.append(QString());
    QCOMPARE(complaints(false), QStringList());
    model.resetModel({});
    QCOMPARE(complaints(true), QStringList());
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(tst_ComboBoxModel)
#include "tst_comboboxmodel.moc"
