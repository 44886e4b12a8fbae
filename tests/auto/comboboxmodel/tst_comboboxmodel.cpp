// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/comboboxmodel.h>

#include "modellog.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <climits>

static void logAll(ComboBoxModel *model, QStringList *log)
{
    logModel(model, log);
    QObject::connect(model, &ComboBoxModel::currentIndexChanged, model,
        [=] { log->append("currentIndexChanged " + QString::number(model->currentIndex())); });
}

// Lists are written "A,B" and logs "line|line"; an empty text is an empty list.
static QStringList split(const QString &text, char separator)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(separator));
}

class tst_ComboBoxModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edit_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("op"); // append:, remove: or reset: followed by the text(s)
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("log");

        const auto row = [](const char *name, const char *before, int index, const char *op,
                             const char *after, const QString &log) {
            QTest::newRow(name) << split(before, ',') << index << QString::fromLatin1(op) << split(after, ',')
                                << split(log, '|');
        };
        row("append into empty", "", 7, "append:A", "A",
            "aboutToInsert 0-0|inserted 0-0|dataChanged 0,0 0,0 [0,2]|dataChanged 0,0 0,0 [0]");
        row("append duplicate", "A", 7, "append:A", "A,A",
            "aboutToInsert 1-1|inserted 1-1|dataChanged 1,0 1,0 [0,2]|dataChanged 1,0 1,0 [0]");
        row("append empty", "A,B", 7, "append:", "A,B,",
            "aboutToInsert 2-2|inserted 2-2|dataChanged 2,0 2,0 [0]");
        // remove takes the first match and leaves the selection where it was.
        row("remove first of two", "A,B,A", 2, "remove:A", "B,A", "aboutToRemove 0-0|removed 0-0");
        row("remove last", "A,B,C", 2, "remove:C", "A,B", "aboutToRemove 2-2|removed 2-2");
        row("remove absent", "A,B", 2, "remove:X", "A,B", "");
        row("remove case differs", "A,B", 2, "remove:a", "A,B", "");
        row("remove empty entry", "A,,B", 2, "remove:", "A,B", "aboutToRemove 1-1|removed 1-1");
        row("remove from empty", "", 2, "remove:A", "", "");
        // The base's own reset runs inside the outer one; the index goes back to 0.
        const QString resets = "aboutToReset|aboutToReset|reset|reset";
        row("reset at 0", "A,B,C,D", 0, "reset:X,Y", "X,Y", resets);
        row("reset at 3", "A,B,C,D", 3, "reset:X,Y", "X,Y", resets + "|currentIndexChanged 0");
        row("reset to empty", "A", -1, "reset:", "", resets + "|currentIndexChanged 0");
    }

    void edit()
    {
        QFETCH(QStringList, before);
        QFETCH(int, index);
        QFETCH(QString, op);
        QFETCH(QStringList, after);

        LogCapture cap;
        ComboBoxModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.setStringList(before);
        model.setCurrentIndex(index);
        QStringList seen;
        logAll(&model, &seen);
        const QString kind = op.section(':', 0, 0);
        const QString text = op.section(':', 1);
        cap.clear();
        if (kind == "append") {
            model.append(text);
        } else if (kind == "remove") {
            model.remove(text);
        } else {
            model.resetModel(split(text, ','));
            index = 0;
            QCOMPARE(ownLines(cap).size(), 1);
            QCOMPARE(ownLines(cap).at(0).text, QStringLiteral("setCurrentIndex val  0"));
        }
        // Testers that track resets may object to the intended nested reset, and only to that.
        QCOMPARE(testerComplaints(cap, kind == "reset" ? QStringList { "changeInFlight" } : QStringList()),
            QStringList());
        QCOMPARE(model.stringList(), after);
        QTEST(seen, "log");
        QCOMPARE(model.currentIndex(), index);
        QCOMPARE(model.currentText(), after.value(index));
    }

    void setCurrentIndex_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addRow("second entry") << 1 << QStringLiteral("B");
        for (const int outside : { 2, 5, -1, INT_MIN, INT_MAX }) {
            QTest::addRow("%d", outside) << outside << QString();
        }
        QTest::addRow("unchanged") << 0 << QStringLiteral("A");
    }

    void setCurrentIndex()
    {
        QFETCH(int, value);
        QFETCH(QString, text);

        ComboBoxModel model;
        QCOMPARE(model.currentIndex(), 0);
        QVERIFY(model.currentText().isNull());
        QCOMPARE(model.property("textRole").toString(), QStringLiteral("display"));
        QCOMPARE(model.roleNames().value(Qt::DisplayRole), QByteArray("display"));
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
            "debug default src/libs/zvrviewmodel/comboboxmodel.cpp void ComboBoxModel::setCurrentIndex(int) "
            "| "
            "setCurrentIndex val  "
                + QString::number(value));
    }
};

QTEST_GUILESS_MAIN(tst_ComboBoxModel)
#include "tst_comboboxmodel.moc"
