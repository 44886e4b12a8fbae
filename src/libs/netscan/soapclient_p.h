// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_SOAPCLIENT_P_H
#define ZVR_SOAPCLIENT_P_H

// Not part of the library's API.

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

/*! \brief SOAP over HTTP POST with the back-end's bounds: a time limit for the whole
 *  exchange (a slow sender included), at most Onvif::MaxAnswer bytes of answer, no
 *  redirect followed, no proxy.
 */
class SoapClient : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        int status = 0; //!< the HTTP status; 0 when no answer came
        QByteArray body;
        QString error; //!< why no usable answer came, in plain words; empty otherwise
    };
    using Callback = std::function<void(const Result &)>;

    explicit SoapClient(QObject *parent = nullptr);
    //! Aborts what is in flight without calling back.
    ~SoapClient() override;

    /*! Posts \a body to \a url; \a done is called once, from the event loop. \a last asks
     *  the device to close the connection after this answer.
     */
    QNetworkReply *post(const QUrl &url, const QByteArray &body, int timeoutMs, bool last, Callback done);
    //! Aborts every exchange in flight without calling back.
    void abortAll();
    //! Drops idle connections, once a batch of exchanges is over.
    void clearConnections();

private:
    QNetworkAccessManager *const m_manager;
    QSet<QNetworkReply *> m_replies;
};

#endif // ZVR_SOAPCLIENT_P_H
