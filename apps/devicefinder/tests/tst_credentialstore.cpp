// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "credentialstore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_CredentialStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passwordFile_data();
    void passwordFile();
    void keptWhereSaid();
};

void tst_CredentialStore::passwordFile_data()
{
    QTest::addColumn<QByteArray>("contents"); // "-" for no file
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("error");
    QTest::newRow("line") << QByteArray("s3cret\n") << QStringLiteral("s3cret") << QString();
    QTest::newRow("first line of two, CRLF") << QByteArray("s3cret\r\nother\n") << QStringLiteral("s3cret") << QString();
    QTest::newRow("no line end, blanks kept") << QByteArray(" a b ") << QStringLiteral(" a b ") << QString();
    QTest::newRow("UTF-8") << QByteArray("密码") << QStringLiteral("密码") << QString();
    QTest::newRow("empty") << QByteArray("\n") << QString()
                           << QStringLiteral("the password file F holds no password on its first line");
    QTest::newRow("missing") << QByteArray("-") << QString()
                             << QStringLiteral("cannot read the password file F: No such file or directory");
}

void tst_CredentialStore::passwordFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("password"));
    if (contents != "-") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QString told = QStringLiteral("stale");
    QTEST(CredentialStore::readPasswordFile(path, &told), "password");
    QCOMPARE(told, QString(error).replace(QStringLiteral("F"), path));
}

// Credentials not to be remembered stay in the process; ones to be remembered go to the
// keyring or, where it cannot keep them, the store says so within its time limit.
void tst_CredentialStore::keptWhereSaid()
{
    CredentialStore store;
    QSignalSpy changed(&store, &CredentialStore::changed);
    store.set(QStringLiteral("admin"), QStringLiteral("s3cret"), false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(store.known());
    QCOMPARE(store.password(), QStringLiteral("s3cret"));
    QCOMPARE(store.whereKept(), QStringLiteral("仅本次运行有效"));

    store.set(QStringLiteral("admin"), QStringLiteral("s3cret"), true);
    QTRY_VERIFY_WITH_TIMEOUT(store.whereKept() != QStringLiteral("仅本次运行有效"), CredentialStore::KeyringTimeout + 1000);
    QVERIFY(store.whereKept() == QStringLiteral("已保存在系统钥匙串中")
        || store.whereKept().startsWith(QStringLiteral("仅本次运行有效（系统钥匙串不可用：")));
    QVERIFY(store.known());

    // A read owed is always answered, by the keyring or by its time limit.
    QSignalSpy loaded(&store, &CredentialStore::loaded);
    store.load();
    QVERIFY(loaded.count() == 1 || loaded.wait(CredentialStore::KeyringTimeout + 1000));
    store.forget();
    QVERIFY(!store.known());
    QCOMPARE(store.user(), QString());
}

QTEST_GUILESS_MAIN(tst_CredentialStore)
#include "tst_credentialstore.moc"
