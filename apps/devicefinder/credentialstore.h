// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CREDENTIALSTORE_H
#define ZVR_DEVICEFINDER_CREDENTIALSTORE_H

#include <QObject>
#include <QString>

class QTimer;

/*! \brief The devices' administrator credentials: kept in the system's keyring where the
 *  build has one and the user asks to remember them, else for this run only.
 *
 *  The password never reaches a log line, a setting or QML: QML sees the user name and
 *  whether a password is known, and hands a new one over once.
 */
class CredentialStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString user READ user NOTIFY changed)
    Q_PROPERTY(bool known READ known NOTIFY changed)
    Q_PROPERTY(bool keyringBuilt READ keyringBuilt CONSTANT)
    //! Where the credentials are kept, or why the keyring could not keep them.
    Q_PROPERTY(QString whereKept READ whereKept NOTIFY changed)

public:
    //! A keyring call that has not answered by then counts as failed.
    static constexpr int KeyringTimeout = 5000;

    explicit CredentialStore(QObject *parent = nullptr);
    ~CredentialStore() override;

    QString user() const;
    QString password() const;
    bool known() const;
    bool keyringBuilt() const;
    QString whereKept() const;

    //! Takes new credentials; with \a remember they go to the keyring too.
    Q_INVOKABLE void set(const QString &user, const QString &password, bool remember);
    //! Asks the keyring for remembered credentials; loaded() tells when it answered.
    Q_INVOKABLE void load();
    //! Forgets them here and in the keyring.
    Q_INVOKABLE void forget();

    /*! The first line of \a path as the password; an empty text and \a error set when it
     *  cannot be read or holds no password.
     */
    static QString readPasswordFile(const QString &path, QString *error);

Q_SIGNALS:
    void changed();
    void loaded();

private:
    void keyringDone(const QString &error);
    //! Drops the keyring call under way; a read owed still says loaded().
    void cancelPending();
    //! Bounds the keyring call just started; \a reading says loaded() is owed.
    void startTimeout(bool reading);

    Q_DISABLE_COPY(CredentialStore)
    QString m_user;
    QString m_password;
    QString m_whereKept;
    QTimer *const m_timeout;
    //! Bumped for every keyring call: an answer that comes after its timeout is dropped.
    int m_call = 0;
    bool m_reading = false;
};

#endif // ZVR_DEVICEFINDER_CREDENTIALSTORE_H
