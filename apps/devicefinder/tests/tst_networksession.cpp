// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "credentialstore.h"
#include "networksession.h"
#include "simulatednetwork.h"

#include <netscan/networkbackend.h>

#include <QSignalSpy>
#include <QtTest>

class tst_NetworkSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readProgress_data();
    void readProgress();
    void login_data();
    void login();
    void simulationNeedsNoLogin();
};

void tst_NetworkSession::readProgress_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");
    QTest::newRow("none yet") << 0 << 1000 << QStringLiteral("读取设备信息 0/1000");
    QTest::newRow("under way") << 123 << 1000 << QStringLiteral("读取设备信息 123/1000");
    QTest::newRow("all read") << 1000 << 1000 << QString();
    QTest::newRow("nothing to read") << 0 << 0 << QString();
}

void tst_NetworkSession::readProgress()
{
    QFETCH(int, done);
    QFETCH(int, total);
    NetworkBackend backend;
    CredentialStore store;
    NetworkSession session(&backend, &store);
    QSignalSpy changed(&session, &NetworkSession::readProgressChanged);
    Q_EMIT backend.readProgress(done, total);
    QTEST(session.readText(), "text");
    QCOMPARE(session.reading(), !session.readText().isEmpty());
    QCOMPARE(changed.count(), done == 0 && total == 0 ? 0 : 1);
    Q_EMIT backend.readProgress(done, total);
    QCOMPARE(changed.count(), done == 0 && total == 0 ? 0 : 1);
    if (session.reading()) {
        // Further reads reach the window a few times a second, not one by one.
        Q_EMIT backend.readProgress(done + 1, total);
        Q_EMIT backend.readProgress(done + 2, total);
        QCOMPARE(changed.count(), 1);
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(session.readDone(), done + 2);
        Q_EMIT backend.readProgress(total, total);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(session.readText(), QString());
    }
}

void tst_NetworkSession::login_data()
{
    QTest::addColumn<bool>("interactive");
    QTest::newRow("on screen") << true;
    QTest::newRow("headless") << false;
}

// No credentials, or refused ones, need a login before the next change; on screen a
// refusal asks for one at once, with the reason. The back-end holds what the store holds.
void tst_NetworkSession::login()
{
    QFETCH(bool, interactive);
    NetworkBackend backend;
    CredentialStore store;
    NetworkSession session(&backend, &store);
    session.setInteractive(interactive);
    QSignalSpy asked(&session, &NetworkSession::loginRequested);
    QSignalSpy needChanged(&session, &NetworkSession::needsLoginChanged);
    QVERIFY(session.onNetwork());
    QVERIFY(session.needsLogin());
    QCOMPARE(session.credentials(), &store);

    store.set(QStringLiteral("admin"), QStringLiteral("s3cret"), false);
    QVERIFY(!session.needsLogin());
    QCOMPARE(needChanged.count(), 1);
    QVERIFY(backend.hasCredentials());
    QCOMPARE(backend.user(), QStringLiteral("admin"));

    Q_EMIT backend.credentialsRefused(7);
    QVERIFY(session.needsLogin());
    QCOMPARE(needChanged.count(), 2);
    QCOMPARE(asked.count(), interactive ? 1 : 0);
    if (interactive) {
        QCOMPARE(asked.at(0).at(0).toString(), QStringLiteral("设备拒绝了用户名或密码，请重新登录后重试"));
    }
    Q_EMIT backend.credentialsRefused(8);
    Q_EMIT backend.readCredentialsRefused();
    QCOMPARE(needChanged.count(), 2);
    QCOMPARE(asked.count(), interactive ? 2 : 0);

    store.set(QStringLiteral("operator"), QStringLiteral("other"), false);
    QVERIFY(!session.needsLogin());
    QCOMPARE(backend.user(), QStringLiteral("operator"));
    // Reads refused for want of credentials ask once, until new ones are given.
    Q_EMIT backend.readCredentialsRefused();
    Q_EMIT backend.readCredentialsRefused();
    QCOMPARE(asked.count(), interactive ? 3 : 0);
    if (interactive) {
        QCOMPARE(asked.last().at(0).toString(), QStringLiteral("设备要求登录后才能读取设备信息"));
    }
    store.forget();
    QVERIFY(session.needsLogin());
    QVERIFY(!backend.hasCredentials());
}

void tst_NetworkSession::simulationNeedsNoLogin()
{
    SimulatedNetwork simulation;
    CredentialStore store;
    NetworkSession session(&simulation, &store);
    QSignalSpy asked(&session, &NetworkSession::loginRequested);
    QVERIFY(!session.onNetwork());
    QVERIFY(!session.needsLogin());
    QCOMPARE(session.name(), QStringLiteral("模拟网络（48台设备）"));
    QCOMPARE(session.readText(), QString());
    QCOMPARE(asked.count(), 0);
}

QTEST_GUILESS_MAIN(tst_NetworkSession)
#include "tst_networksession.moc"
