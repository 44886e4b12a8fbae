// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_NETWORKSESSION_H
#define ZVR_DEVICEFINDER_NETWORKSESSION_H

#include <QObject>
#include <QString>
#include <QTimer>

class CredentialStore;
class NetworkBackend;
class ScanBackend;

/*! \brief What the window shows of the network it scans: its name, the progress of the
 *  devices' reads, and the devices' administrator, asked for when a change needs one.
 *
 *  Over the in-process simulation nothing is read and no login is needed; over the
 *  network back-end the credentials go from the store to the back-end, and a change
 *  sent without them, or a change or read refused for them, asks for a login
 *  (loginRequested()).
 */
class NetworkSession : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(bool onNetwork READ onNetwork CONSTANT)
    Q_PROPERTY(bool reading READ reading NOTIFY readProgressChanged)
    Q_PROPERTY(int readDone READ readDone NOTIFY readProgressChanged)
    Q_PROPERTY(int readTotal READ readTotal NOTIFY readProgressChanged)
    Q_PROPERTY(QString readText READ readText NOTIFY readProgressChanged)
    Q_PROPERTY(bool needsLogin READ needsLogin NOTIFY needsLoginChanged)
    Q_PROPERTY(CredentialStore *credentials READ credentials CONSTANT)

public:
    static constexpr int ProgressInterval = 200;

    //! Follows \a backend and hands it the credentials of \a store; both must outlive it.
    NetworkSession(ScanBackend *backend, CredentialStore *store, QObject *parent = nullptr);
    ~NetworkSession() override;

    QString name() const;
    bool onNetwork() const;
    //! Whether the devices' reads are under way; readDone of readTotal are done. Told at
    //! most every ProgressInterval milliseconds while reading, at once when it ends.
    bool reading() const;
    int readDone() const;
    int readTotal() const;
    //! "读取设备信息 123/1000" while reading, else empty.
    QString readText() const;
    //! A change would go out without credentials, or with ones the devices refused.
    bool needsLogin() const;
    CredentialStore *credentials() const;

    //! Whether a login may be asked for; a run without a person at the screen never asks.
    void setInteractive(bool interactive);

Q_SIGNALS:
    void readProgressChanged();
    void needsLoginChanged();
    //! The interface should ask for a login; \a reason is empty for a first one.
    void loginRequested(const QString &reason);

private:
    void setReadProgress(int done, int total);
    void credentialsChanged();
    void refused(const QString &reason);

    Q_DISABLE_COPY(NetworkSession)
    ScanBackend *const m_backend;
    NetworkBackend *const m_network;
    CredentialStore *const m_store;
    int m_readDone = 0;
    int m_readTotal = 0;
    // The progress reaches the window a few times a second, not at every read: each
    // change of its text costs the window a frame.
    QTimer m_progressTimer;
    bool m_refused = false;
    bool m_interactive = true;
};

#endif // ZVR_DEVICEFINDER_NETWORKSESSION_H
