// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "credentialstore.h"

#include <QDataStream>
#include <QFile>
#include <QTimer>

#if defined(ZVR_HAVE_KEYCHAIN)
#if QT_VERSION_MAJOR >= 6
#include <qt6keychain/keychain.h>
#else
#include <qt5keychain/keychain.h>
#endif
#endif

namespace {

const QString Service = QStringLiteral("zvrviewmodel-devicefinder");
const QString Key = QStringLiteral("device administrator");

#if defined(ZVR_HAVE_KEYCHAIN)
// Starts \a job and hands its error text (empty on success) to \a done, unless the
// store has made another call since.
template<typename Job, typename Done>
void run(Job *job, CredentialStore *store, Done done)
{
    job->setKey(Key);
    // Never the plain-text fallback into QSettings.
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, store, [job, done] {
        done(job, job->error() == QKeychain::NoError ? QString() : job->errorString());
    });
    job->start();
}
#endif

} // namespace

CredentialStore::CredentialStore(QObject *parent)
    : QObject(parent)
    , m_whereKept(tr("仅本次运行有效"))
    , m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] {
        ++m_call;
        keyringDone(tr("系统钥匙串无应答"));
    });
}

CredentialStore::~CredentialStore() = default;

QString CredentialStore::user() const
{
    return m_user;
}

QString CredentialStore::password() const
{
    return m_password;
}

bool CredentialStore::known() const
{
    return !m_user.isEmpty() && !m_password.isEmpty();
}

bool CredentialStore::keyringBuilt() const
{
#if defined(ZVR_HAVE_KEYCHAIN)
    return true;
#else
    return false;
#endif
}

QString CredentialStore::whereKept() const
{
    return m_whereKept;
}

void CredentialStore::cancelPending()
{
    ++m_call;
    m_timeout->stop();
    if (m_reading) {
        m_reading = false;
        Q_EMIT loaded();
    }
}

void CredentialStore::set(const QString &user, const QString &password, bool remember)
{
    cancelPending();
    m_user = user;
    m_password = password;
    m_whereKept = tr("仅本次运行有效");
    Q_EMIT changed();
    if (!remember) {
        return;
    }
#if defined(ZVR_HAVE_KEYCHAIN)
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        out << user << password;
    }
    auto *job = new QKeychain::WritePasswordJob(Service);
    job->setBinaryData(data);
    data.fill('\0');
    const int call = ++m_call;
    run(job, this, [this, call](QKeychain::Job *, const QString &error) {
        if (call == m_call) {
            keyringDone(error);
        }
    });
    startTimeout(false);
#else
    keyringDone(tr("此版本没有系统钥匙串"));
#endif
}

void CredentialStore::load()
{
    cancelPending();
#if defined(ZVR_HAVE_KEYCHAIN)
    auto *job = new QKeychain::ReadPasswordJob(Service);
    const int call = ++m_call;
    run(job, this, [this, call](QKeychain::Job *finished, const QString &error) {
        if (call != m_call) {
            return;
        }
        if (error.isEmpty()) {
            QDataStream in(static_cast<QKeychain::ReadPasswordJob *>(finished)->binaryData());
            in >> m_user >> m_password;
        }
        // Nothing remembered yet is no fault of the keyring.
        keyringDone(finished->error() == QKeychain::EntryNotFound ? QString() : error);
    });
    startTimeout(true);
#else
    Q_EMIT loaded();
#endif
}

void CredentialStore::forget()
{
    cancelPending();
    m_user.clear();
    m_password.clear();
    m_whereKept = tr("仅本次运行有效");
    Q_EMIT changed();
#if defined(ZVR_HAVE_KEYCHAIN)
    auto *job = new QKeychain::DeletePasswordJob(Service);
    run(job, this, [](QKeychain::Job *, const QString &) { });
#endif
}

void CredentialStore::startTimeout(bool reading)
{
    m_reading = reading;
    m_timeout->start(KeyringTimeout);
}

void CredentialStore::keyringDone(const QString &error)
{
    m_timeout->stop();
    if (!error.isEmpty()) {
        m_whereKept = tr("仅本次运行有效（系统钥匙串不可用：%1）").arg(error);
    } else if (known()) {
        m_whereKept = tr("已保存在系统钥匙串中");
    }
    Q_EMIT changed();
    if (m_reading) {
        m_reading = false;
        Q_EMIT loaded();
    }
}

QString CredentialStore::readPasswordFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(path, file.errorString());
        return QString();
    }
    // The first line only, without its line end; a password file holds nothing else.
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.isEmpty()) {
        *error = QStringLiteral("the password file %1 holds no password on its first line").arg(path);
        return QString();
    }
    error->clear();
    return QString::fromUtf8(line);
}
