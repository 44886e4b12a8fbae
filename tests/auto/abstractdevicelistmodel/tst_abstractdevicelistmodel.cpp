// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <zvrviewmodel/abstractdevicelistmodel.h>

#include <QAbstractItemModelTester>
#include <QStringListModel>
#include <QtTest>

using ZVR::ViewModel::AbstractDeviceListModel;

// Only the abstract operation: everything else is the base's.
class BareDeviceList : public AbstractDeviceListModel
{
    Q_OBJECT

public:
    void createConnects() override { }
};

// A device list of names that keeps the base's columnCount and roleNames.
class NameDeviceList : public AbstractDeviceListModel
{
    Q_OBJECT

public:
    void createConnects() override { }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_names.size();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != 0) {
            return QVariant();
        }
        return role == NameRole || role == Qt::DisplayRole ? QVariant(m_names.at(index.row())) : QVariant();
    }

    void appendName(const QString &name)
    {
        beginInsertRows(QModelIndex(), m_names.size(), m_names.size());
        m_names.append(name);
        endInsertRows();
    }
    void removeName(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        m_names.removeAt(row);
        endRemoveRows();
    }
    void replaceNames(const QStringList &names)
    {
        m_names = names;
        reload();
    }

private:
    QStringList m_names;
};

class tst_AbstractDeviceListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metaObject();
    void defaults();
    void updateRowData_data();
    void updateRowData();
    void modelTester();
};

void tst_AbstractDeviceListModel::metaObject()
{
    const QMetaObject &mo = AbstractDeviceListModel::staticMetaObject;
    QCOMPARE(mo.className(), "ZVR::ViewModel::AbstractDeviceListModel");
    QCOMPARE(mo.superClass(), &ZVR::ViewModelListModel::staticMetaObject);
    QCOMPARE(mo.propertyCount() - mo.propertyOffset(), 0);
    QCOMPARE(mo.methodCount() - mo.methodOffset(), 0);
    QCOMPARE(mo.enumeratorCount() - mo.enumeratorOffset(), 1);

    const QMetaEnum roles = mo.enumerator(mo.enumeratorOffset());
    QCOMPARE(roles.name(), "DeviceRole");
    QVERIFY(!roles.isFlag());
    QVERIFY(!roles.isScoped());
    QStringList keys;
    for (int i = 0; i < roles.keyCount(); ++i) {
        keys << QString::fromLatin1(roles.key(i)) + QLatin1Char('=') + QString::number(roles.value(i));
    }
    QCOMPARE(keys,
        QStringList({ "TypeRole=256", "TypeNameRole=257", "NameRole=258", "IPRole=259", "IsOnlineRole=260",
            "IsActivedRole=261", "IsVisibleRole=262", "DeviceRoleCount=263" }));
}

void tst_AbstractDeviceListModel::defaults()
{
    QObject parent;
    auto *model = new BareDeviceList;
    model->setParent(&parent);

    const QHash<int, QByteArray> expected = {
        { 256, "type" },
        { 257, "typeName" },
        { 258, "name" },
        { 259, "ip" },
        { 260, "isOnline" },
        { 261, "isActived" },
        { 262, "isVisible" },
    };
    QCOMPARE(model->roleNames(), expected);

    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->columnCount(), 263);
    int columns = -1;
    QVERIFY(QMetaObject::invokeMethod(model, "columnCount", Q_RETURN_ARG(int, columns)));
    QCOMPARE(columns, 263);

    // Whatever the index and role, there is nothing to show.
    QStringListModel other({ QStringLiteral("x") });
    for (const QModelIndex &index : { QModelIndex(), other.index(0, 0) }) {
        for (const int role : { int(Qt::DisplayRole), int(AbstractDeviceListModel::NameRole), 263, -1 }) {
            QVERIFY(!model->data(index, role).isValid());
        }
    }
}

void tst_AbstractDeviceListModel::updateRowData_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("range");

    QTest::addRow("row of ten") << 10 << 4 << QStringLiteral("4,0 4,262");
    QTest::addRow("last row") << 10 << 9 << QStringLiteral("9,0 9,262");
    QTest::addRow("past the end") << 10 << 10 << QStringLiteral("invalid invalid");
    QTest::addRow("no rows") << 0 << 0 << QStringLiteral("invalid invalid");
}

void tst_AbstractDeviceListModel::updateRowData()
{
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(QString, range);

    NameDeviceList model;
    for (int i = 0; i < rows; ++i) {
        model.appendName(QString::number(i));
    }
    QSignalSpy spy(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    model.updateRowData(row);

    QCOMPARE(spy.count(), 1);
    const auto describe = [](const QModelIndex &index) {
        return index.isValid() ? QString::fromLatin1("%1,%2").arg(index.row()).arg(index.column())
                               : QStringLiteral("invalid");
    };
    const QList<QVariant> args = spy.at(0);
    QCOMPARE(
        describe(args.at(0).toModelIndex()) + QLatin1Char(' ') + describe(args.at(1).toModelIndex()), range);
    QVERIFY(args.at(2).value<QVector<int>>().isEmpty());
}

void tst_AbstractDeviceListModel::modelTester()
{
    NameDeviceList model;
    QAbstractItemModelTester tester(&model);
    model.appendName(QStringLiteral("encoder"));
    model.appendName(QStringLiteral("decoder"));
    model.removeName(0);
    model.replaceNames({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    model.updateRowData(0, 2);
    model.removeName(2);
    model.replaceNames({});
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(tst_AbstractDeviceListModel)
#include "tst_abstractdevicelistmodel.moc"
