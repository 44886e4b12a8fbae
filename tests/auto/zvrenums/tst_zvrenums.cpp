// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/zvrenums.h>

#include <QMetaEnum>
#include <QtTest>

using Keys = QList<QPair<QByteArray, int>>;
Q_DECLARE_METATYPE(const QMetaObject *)

class tst_ZvrEnums : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enumeration_data();
    void enumeration();
};

void tst_ZvrEnums::enumeration_data()
{
    QTest::addColumn<const QMetaObject *>("meta");
    QTest::addColumn<QByteArray>("enumName");
    QTest::addColumn<Keys>("keys");

    QTest::addRow("ZVRCheckBox") << &ZVRCheckBox::staticMetaObject << QByteArray("CheckType")
                                 << Keys { { "Invalid", 0 }, { "None", 1 }, { "Some", 2 }, { "All", 3 } };
    QTest::addRow("ZVRMessageBox") << &ZVRMessageBox::staticMetaObject << QByteArray("MessageBoxType")
                                   << Keys { { "OK", 0 }, { "Cancel", 1 }, { "OKCancel", 2 }, { "None", 3 } };
    QTest::addRow("ZVRSortButton") << &ZVRSortButton::staticMetaObject << QByteArray("SortMode")
                                   << Keys { { "None", 0 }, { "Ascend", 1 }, { "Descend", 2 } };
}

// One plain, unscoped enumeration and nothing else on a direct QObject subclass.
void tst_ZvrEnums::enumeration()
{
    QFETCH(const QMetaObject *, meta);
    QFETCH(QByteArray, enumName);
    QFETCH(Keys, keys);

    QCOMPARE(QByteArray(meta->className()), QByteArray(QTest::currentDataTag()));
    QCOMPARE(meta->superClass(), &QObject::staticMetaObject);
    QCOMPARE(meta->enumeratorCount() - meta->enumeratorOffset(), 1);
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->methodCount(), meta->methodOffset());

    const QMetaEnum e = meta->enumerator(meta->enumeratorOffset());
    QCOMPARE(QByteArray(e.name()), enumName);
    QVERIFY(!e.isFlag());
    QVERIFY(!e.isScoped());
    QCOMPARE(QByteArray(e.scope()), QByteArray(meta->className()));
    QCOMPARE(e.keyCount(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(QByteArray(e.key(i)), keys.at(i).first);
        QCOMPARE(e.value(i), keys.at(i).second);
    }
}

QTEST_GUILESS_MAIN(tst_ZvrEnums)
#include "tst_zvrenums.moc"
