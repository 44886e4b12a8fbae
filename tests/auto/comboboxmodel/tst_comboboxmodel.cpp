// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/comboboxmodel.h>

#include "logcapture.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <algorithm>
#include <climits>

class tst_ComboBoxModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void newModel();
    void append_data();
    void append();
    void remove_data();
    void remove();
    void setCurrentIndex_data();
    void setCurrentIndex();
    void resetModel_data();
    void resetModel();
    void modelTester();
};

// Logs the model's notifications and the index signal, in order, with rows and roles.
static void logModel(ComboBoxModel *model, QStringList *log)
{
    const auto rows = [](const char *what, int first, int last) {
        return QString::fromLatin1("%1 %2-%3").arg(QLatin1String(what)).arg(first).arg(last);
    };
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted, model,
        [=](const QModelIndex &, int first, int last) { log->append(rows("aboutToInsert", first, last)); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, model,
        [=](const QModelIndex &, int first, int last) { log->append(rows("inserted", first, last)); });
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, model,
        [=](const QModelIndex &, int first, int last) { log->append(rows("aboutToRemove", first, last)); });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, model,
        [=](const QModelIndex &, int first, int last) { log->append(rows("removed", first, last)); });
    QObject::connect(model, &QAbstractItemModel::dataChanged, model,
        [=](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) {
            QStringList names;
            for (const int role : roles) {
                names << QString::number(role);
            }
            log->append(rows("dataChanged", topLeft.row(), bottomRight.row()) + QLatin1String(" [")
                + names.join(QLatin1Char(',')) + QLatin1Char(']'));
        });
    QObject::connect(
        model, &QAbstractItemModel::modelAboutToBeReset, model, [=] { log->append("aboutToReset"); });
    QObject::connect(model, &QAbstractItemModel::modelReset, model, [=] { log->append("reset"); });
    QObject::connect(model, &ComboBoxModel::currentIndexChanged, model,
        [=] { log->append(QLatin1String("currentIndexChanged ") + QString::number(model->currentIndex())); });
}

void tst_ComboBoxModel::metaObject()
{
    const QMetaObject &mo = ComboBoxModel::staticMetaObject;
    QCOMPARE(mo.className(), "ComboBoxModel");
    QCOMPARE(mo.superClass(), &QStringListModel::staticMetaObject);
    QCOMPARE(mo.enumeratorCount() - mo.enumeratorOffset(), 0);

    QStringList properties;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        properties << QString::fromLatin1("%1 %2 %3 %4 %5 %6")
                          .arg(p.typeName(), p.name())
                          .arg(p.isWritable())
                          .arg(p.hasNotifySignal())
                          .arg(p.isConstant())
                          .arg(QString::fromLatin1(p.notifySignal().methodSignature()));
    }
    QCOMPARE(properties,
        QStringList({ "int currentIndex 1 1 0 currentIndexChanged()", "QString textRole 0 0 0 " }));

    QCOMPARE(mo.methodCount() - mo.methodOffset(), 1);
    const QMetaMethod signal = mo.method(mo.methodOffset());
    QCOMPARE(signal.methodType(), QMetaMethod::Signal);
    QCOMPARE(signal.methodSignature(), QByteArray("currentIndexChanged()"));
}

void tst_ComboBoxModel::newModel()
{
    QObject parent;
    auto *model = new ComboBoxModel(&parent);
    QCOMPARE(model->parent(), &parent);
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->currentIndex(), 0);
    QVERIFY(model->currentText().isNull());
    QCOMPARE(model->textRole(), QStringLiteral("display"));
    QCOMPARE(model->property("textRole").toString(), QStringLiteral("display"));
    QCOMPARE(model->roleNames().value(Qt::DisplayRole), QByteArray("display"));
}

void tst_ComboBoxModel::append_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("log");

    QTest::addRow("into empty") << QStringList() << QStringLiteral("A") << QStringList({ "A" })
                                << QStringList({ "aboutToInsert 0-0", "inserted 0-0", "dataChanged 0-0 [0,2]",
                                       "dataChanged 0-0 [0]" });
    QTest::addRow("duplicate") << QStringList({ "A" }) << QStringLiteral("A") << QStringList({ "A", "A" })
                               << QStringList({ "aboutToInsert 1-1", "inserted 1-1", "dataChanged 1-1 [0,2]",
                                      "dataChanged 1-1 [0]" });
    QTest::addRow("empty text") << QStringList({ "A", "B" }) << QString() << QStringList({ "A", "B", "" })
                                << QStringList(
                                       { "aboutToInsert 2-2", "inserted 2-2", "dataChanged 2-2 [0]" });
}

void tst_ComboBoxModel::append()
{
    QFETCH(QStringList, before);
    QFETCH(QString, text);
    QFETCH(QStringList, after);
    QFETCH(QStringList, log);

    ComboBoxModel model;
    model.setStringList(before);
    model.setCurrentIndex(7);
    QStringList seen;
    logModel(&model, &seen);

    model.append(text);
    QCOMPARE(model.stringList(), after);
    QCOMPARE(seen, log);
    QCOMPARE(model.currentIndex(), 7);
}

void tst_ComboBoxModel::remove_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("log");

    QTest::addRow("first of two equal")
        << QStringList({ "A", "B", "A" }) << QStringLiteral("A") << QStringList({ "B", "A" })
        << QStringList({ "aboutToRemove 0-0", "removed 0-0" });
    QTest::addRow("last entry") << QStringList({ "A", "B", "C" }) << QStringLiteral("C")
                                << QStringList({ "A", "B" })
                                << QStringList({ "aboutToRemove 2-2", "removed 2-2" });
    QTest::addRow("absent") << QStringList({ "A", "B" }) << QStringLiteral("X") << QStringList({ "A", "B" })
                            << QStringList();
    QTest::addRow("case differs") << QStringList({ "A", "B" }) << QStringLiteral("a")
                                  << QStringList({ "A", "B" }) << QStringList();
    QTest::addRow("empty text matches empty entry")
        << QStringList({ "A", "", "B" }) << QString() << QStringList({ "A", "B" })
        << QStringList({ "aboutToRemove 1-1", "removed 1-1" });
    QTest::addRow("empty list") << QStringList() << QStringLiteral("A") << QStringList() << QStringList();
}

void tst_ComboBoxModel::remove()
{
    QFETCH(QStringList, before);
    QFETCH(QString, text);
    QFETCH(QStringList, after);
    QFETCH(QStringList, log);

    ComboBoxModel model;
    model.setStringList(before);
    model.setCurrentIndex(2);
    QStringList seen;
    logModel(&model, &seen);

    model.remove(text);
    QCOMPARE(model.stringList(), after);
    QCOMPARE(seen, log);
    // The selection is not adjusted: it names whatever moved into row 2, if anything.
    QCOMPARE(model.currentIndex(), 2);
    QCOMPARE(model.currentText(), after.value(2));
}

void tst_ComboBoxModel::setCurrentIndex_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("text");

    QTest::addRow("unchanged") << 0 << QStringList() << QStringLiteral("A");
    QTest::addRow("second entry") << 1 << QStringList({ "currentIndexChanged 1" }) << QStringLiteral("B");
    QTest::addRow("past the end") << 5 << QStringList({ "currentIndexChanged 5" }) << QString();
    QTest::addRow("at the end") << 2 << QStringList({ "currentIndexChanged 2" }) << QString();
    QTest::addRow("-1") << -1 << QStringList({ "currentIndexChanged -1" }) << QString();
    QTest::addRow("INT_MIN") << INT_MIN << QStringList({ "currentIndexChanged -2147483648" }) << QString();
    QTest::addRow("INT_MAX") << INT_MAX << QStringList({ "currentIndexChanged 2147483647" }) << QString();
}

void tst_ComboBoxModel::setCurrentIndex()
{
    QFETCH(int, value);
    QFETCH(QStringList, log);
    QFETCH(QString, text);

    ComboBoxModel model;
    model.setStringList({ QStringLiteral("A"), QStringLiteral("B") });
    QStringList seen;
    logModel(&model, &seen);

    LogCapture cap;
    // The interface writes it through the property.
    QVERIFY(model.setProperty("currentIndex", value));
    QCOMPARE(seen, log);
    QCOMPARE(model.currentIndex(), value);
    QCOMPARE(model.currentText(), text);
    QCOMPARE(model.currentText().isNull(), text.isNull());

    QCOMPARE(cap.lines().size(), 1);
    const CapturedMessage &msg = cap.lines().at(0);
    QCOMPARE(msg.type, QtDebugMsg);
    QCOMPARE(msg.category, QStringLiteral("default"));
    QCOMPARE(msg.file, QStringLiteral("src/libs/zvrviewmodel/comboboxmodel.cpp"));
    QCOMPARE(msg.function, QStringLiteral("void ComboBoxModel::setCurrentIndex(int)"));
    QVERIFY(msg.line > 0);
    QCOMPARE(msg.text, QLatin1String("setCurrentIndex val  ") + QString::number(value));
}

void tst_ComboBoxModel::resetModel_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("log");

    // The base's own reset runs inside the outer one.
    const QStringList resets = { "aboutToReset", "aboutToReset", "reset", "reset" };
    QTest::addRow("index already 0") << 0 << QStringList({ "X", "Y" }) << resets;
    QTest::addRow("index 3") << 3 << QStringList({ "X", "Y" })
                             << resets + QStringList({ "currentIndexChanged 0" });
    QTest::addRow("to empty from -1")
        << -1 << QStringList() << resets + QStringList({ "currentIndexChanged 0" });
}

void tst_ComboBoxModel::resetModel()
{
    QFETCH(int, index);
    QFETCH(QStringList, list);
    QFETCH(QStringList, log);

    ComboBoxModel model;
    model.setStringList(
        { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D") });
    model.setCurrentIndex(index);
    QStringList seen;
    logModel(&model, &seen);

    LogCapture cap;
    model.resetModel(list);
    QCOMPARE(seen, log);
    QCOMPARE(model.stringList(), list);
    QCOMPARE(model.currentIndex(), 0);
    QCOMPARE(cap.lines().size(), 1);
    QCOMPARE(cap.lines().at(0).text, QStringLiteral("setCurrentIndex val  0"));
}

void tst_ComboBoxModel::modelTester()
{
    ComboBoxModel model;
    LogCapture cap;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    const auto complaints = [&cap] {
        QStringList texts;
        for (const CapturedMessage &msg : cap.lines()) {
            if (msg.category == QLatin1String("qt.modeltest")) {
                texts << msg.text;
            }
        }
        cap.clear();
        return texts;
    };
    // Testers that track resets object to the base's reset inside resetModel's own;
    // that nesting is intended, and it is all they may object to.
    const auto onlyNestedReset = [](const QStringList &texts) {
        return std::all_of(texts.cbegin(), texts.cend(),
            [](const QString &text) { return text.contains(QLatin1String("changeInFlight")); });
    };

    model.append(QStringLiteral("A"));
    model.append(QStringLiteral("B"));
    model.append(QStringLiteral("A"));
    model.remove(QStringLiteral("A"));
    QCOMPARE(complaints(), QStringList());

    model.resetModel({ QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z") });
    QVERIFY(onlyNestedReset(complaints()));

    model.remove(QStringLiteral("Z"));
    model.append(QString());
    QCOMPARE(complaints(), QStringList());

    model.resetModel({});
    QVERIFY(onlyNestedReset(complaints()));
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(tst_ComboBoxModel)
#include "tst_comboboxmodel.moc"
