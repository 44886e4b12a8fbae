// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "soapclient_p.h"

#include "onvifmessages_p.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <memory>

SoapClient::SoapClient(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    // Devices are reached directly, whatever proxy the environment names.
    m_manager->setProxy(QNetworkProxy::NoProxy);
}

SoapClient::~SoapClient()
{
    abortAll();
}

QNetworkReply *SoapClient::post(
    const QUrl &url, const QByteArray &body, int timeoutMs, bool last, Callback done)
{
    QNetworkRequest request(url);
    request.setHeader(
        QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/soap+xml; charset=utf-8"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(timeoutMs);
    if (last) {
        request.setRawHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    }
    QNetworkReply *const reply = m_manager->post(request, body);
    m_replies.insert(reply);
    const auto reason = std::make_shared<QString>(); // set when this side ends the exchange
    auto *const timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply, reason, timeoutMs] {
        *reason = QStringLiteral("no answer within %1 ms").arg(timeoutMs);
        reply->abort();
    });
    timer->start(timeoutMs);
    const auto checkSize = [reply, reason] {
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (reason->isEmpty() && (length > Onvif::MaxAnswer || reply->bytesAvailable() > Onvif::MaxAnswer)) {
            *reason = QStringLiteral("an answer over %1 bytes").arg(Onvif::MaxAnswer);
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, checkSize);
    connect(reply, &QNetworkReply::readyRead, this, checkSize);
    connect(reply, &QNetworkReply::finished, this, [this, reply, reason, done] {
        m_replies.remove(reply);
        reply->deleteLater();
        Result result;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!reason->isEmpty()) {
            result.error = *reason;
            result.status = 0;
        } else if (result.status == 0) {
            result.error = reply->errorString();
        } else if (result.status != 200 && result.status != 400 && result.status != 500) {
            result.error = QStringLiteral("HTTP status %1").arg(result.status);
        } else {
            // Sized by what came: a buffer of the largest answer for each would cost more.
            if (reply->bytesAvailable() > Onvif::MaxAnswer) {
                result.error = QStringLiteral("an answer over %1 bytes").arg(Onvif::MaxAnswer);
            } else {
                result.body = reply->readAll();
            }
        }
        done(result);
    });
    return reply;
}

void SoapClient::abortAll()
{
    const QSet<QNetworkReply *> replies = m_replies;
    m_replies.clear();
    for (QNetworkReply *reply : replies) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void SoapClient::clearConnections()
{
    m_manager->clearConnectionCache();
}
