// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "networksession.h"

#include "credentialstore.h"

#include <netscan/networkbackend.h>
#include <netscan/scanbackend.h>

NetworkSession::NetworkSession(ScanBackend *backend, CredentialStore *store, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
    , m_network(qobject_cast<NetworkBackend *>(backend))
    , m_store(store)
{
    m_progressTimer.setSingleShot(true);
    m_progressTimer.setInterval(ProgressInterval);
    connect(&m_progressTimer, &QTimer::timeout, this, &NetworkSession::readProgressChanged);
    if (!m_network) {
        return;
    }
    connect(m_network, &NetworkBackend::readProgress, this, &NetworkSession::setReadProgress);
    connect(m_network, &NetworkBackend::credentialsRefused, this,
        [this] { refused(tr("设备拒绝了用户名或密码，请重新登录后重试")); });
    // Devices set to answer reads only to their administrator: asked once, not every round.
    connect(m_network, &NetworkBackend::readCredentialsRefused, this, [this] {
        if (!m_refused) {
            refused(tr("设备要求登录后才能读取设备信息"));
        }
    });
    connect(m_store, &CredentialStore::changed, this, &NetworkSession::credentialsChanged);
    credentialsChanged();
}

NetworkSession::~NetworkSession() = default;

QString NetworkSession::name() const
{
    return m_backend->networkName();
}

bool NetworkSession::onNetwork() const
{
    return m_network != nullptr;
}

bool NetworkSession::reading() const
{
    return m_readTotal > 0 && m_readDone < m_readTotal;
}

int NetworkSession::readDone() const
{
    return m_readDone;
}

int NetworkSession::readTotal() const
{
    return m_readTotal;
}

QString NetworkSession::readText() const
{
    return reading() ? tr("读取设备信息 %1/%2").arg(m_readDone).arg(m_readTotal) : QString();
}

bool NetworkSession::needsLogin() const
{
    return m_network && (m_refused || !m_store->known());
}

CredentialStore *NetworkSession::credentials() const
{
    return m_store;
}

void NetworkSession::setInteractive(bool interactive)
{
    m_interactive = interactive;
}

void NetworkSession::setReadProgress(int done, int total)
{
    if (done == m_readDone && total == m_readTotal) {
        return;
    }
    const bool wasReading = reading();
    m_readDone = done;
    m_readTotal = total;
    if (reading() && wasReading) {
        if (!m_progressTimer.isActive()) {
            m_progressTimer.start();
        }
        return;
    }
    m_progressTimer.stop();
    Q_EMIT readProgressChanged();
}

void NetworkSession::credentialsChanged()
{
    // New credentials are worth a try, even the ones refused before.
    m_network->setCredentials(m_store->user(), m_store->password());
    m_refused = false;
    Q_EMIT needsLoginChanged();
}

void NetworkSession::refused(const QString &reason)
{
    const bool before = needsLogin();
    m_refused = true;
    if (!before) {
        Q_EMIT needsLoginChanged();
    }
    if (m_interactive) {
        Q_EMIT loginRequested(reason);
    }
}
