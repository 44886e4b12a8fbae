// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/zvrenums.h>

#include <QMetaEnum>
#include <QtTest>

#include <memory>

using Keys = QList<QPair<QByteArray, int>>;

static const QMetaObject *holder(const QByteArray &className)
{
    for (const QMetaObject *meta : { &ZVRCheckBox::staticMetaObject, &ZVRMessageBox::staticMetaObject,
             &ZVRSortButton::staticMetaObject }) {
        if (className == meta->className()) {
            return meta;
        }
    }
    return nullptr;
}

class tst_ZvrEnums : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enumeration_data();
    void enumeration();
    void lookups();
    void casts();
};

void tst_ZvrEnums::enumeration_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QByteArray>("enumName");
    QTest::addColumn<Keys>("keys");

    QTest::addRow("check box") << QByteArray("ZVRCheckBox") << QByteArray("CheckType")
                               << Keys { { "Invalid", 0 }, { "None", 1 }, { "Some", 2 }, { "All", 3 } };
    QTest::addRow("message box") << QByteArray("ZVRMessageBox") << QByteArray("MessageBoxType")
                                 << Keys { { "OK", 0 }, { "Cancel", 1 }, { "OKCancel", 2 }, { "None", 3 } };
    QTest::addRow("sort button") << QByteArray("ZVRSortButton") << QByteArray("SortMode")
                                 << Keys { { "None", 0 }, { "Ascend", 1 }, { "Descend", 2 } };
}

// One plain enumeration and nothing else on a direct QObject subclass.
void tst_ZvrEnums::enumeration()
{
    QFETCH(QByteArray, className);
    QFETCH(QByteArray, enumName);
    QFETCH(Keys, keys);

    const QMetaObject *const meta = holder(className);
    QVERIFY(meta);
    QCOMPARE(QByteArray(meta->className()), className);
    QCOMPARE(meta->superClass(), &QObject::staticMetaObject);
    QCOMPARE(meta->enumeratorCount() - meta->enumeratorOffset(), 1);
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->methodCount(), meta->methodOffset());

    const QMetaEnum e = meta->enumerator(meta->enumeratorOffset());
    QCOMPARE(QByteArray(e.name()), enumName);
    QVERIFY(!e.isFlag());
    QVERIFY(!e.isScoped());
    QCOMPARE(QByteArray(e.scope()), className);
    QCOMPARE(e.keyCount(), keys.size());
    for (int i = 0; i < e.keyCount(); ++i) {
        QCOMPARE(QByteArray(e.key(i)), keys.at(i).first);
        QCOMPARE(e.value(i), keys.at(i).second);
    }
}

void tst_ZvrEnums::lookups()
{
    const QMetaEnum checkType = QMetaEnum::fromType<ZVRCheckBox::CheckType>();
    const QMetaEnum messageBoxType = QMetaEnum::fromType<ZVRMessageBox::MessageBoxType>();
    const QMetaEnum sortMode = QMetaEnum::fromType<ZVRSortButton::SortMode>();
    QCOMPARE(checkType.keyToValue("None"), 1);
    QCOMPARE(messageBoxType.keyToValue("None"), 3);
    QCOMPARE(sortMode.keyToValue("None"), 0);
    QCOMPARE(messageBoxType.keyToValue("OKCancel"), 2);
    QCOMPARE(sortMode.valueToKey(3), static_cast<const char *>(nullptr));
}

// Each holder casts to its own class only.
void tst_ZvrEnums::casts()
{
    const std::unique_ptr<QObject> checkBox = std::make_unique<ZVRCheckBox>();
    const std::unique_ptr<QObject> messageBox = std::make_unique<ZVRMessageBox>();
    const std::unique_ptr<QObject> sortButton = std::make_unique<ZVRSortButton>();

    QVERIFY(qobject_cast<ZVRCheckBox *>(checkBox.get()));
    QVERIFY(!qobject_cast<ZVRMessageBox *>(checkBox.get()));
    QVERIFY(!qobject_cast<ZVRSortButton *>(checkBox.get()));

    QVERIFY(qobject_cast<ZVRMessageBox *>(messageBox.get()));
    QVERIFY(!qobject_cast<ZVRCheckBox *>(messageBox.get()));
    QVERIFY(!qobject_cast<ZVRSortButton *>(messageBox.get()));

    QVERIFY(qobject_cast<ZVRSortButton *>(sortButton.get()));
    QVERIFY(!qobject_cast<ZVRCheckBox *>(sortButton.get()));
    QVERIFY(!qobject_cast<ZVRMessageBox *>(sortButton.get()));

    QVERIFY(checkBox->inherits("ZVRCheckBox"));
    QVERIFY(!checkBox->inherits("ZVRSortButton"));
}

QTEST_GUILESS_MAIN(tst_ZvrEnums)
#include "tst_zvrenums.moc"
