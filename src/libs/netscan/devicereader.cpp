// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicereader_p.h"

#include "soapclient_p.h"

#include <QElapsedTimer>
#include <QTimer>

#include <utility>

using Onvif::Operation;

namespace {

// The interfaces first: without them a device cannot be listed. The scopes come from the
// device service too, so that every value of a report is the answer of the one device
// that serves at the address (discovery answers of two devices there may differ).
const Operation Reads[] = { Operation::GetNetworkInterfaces, Operation::GetDeviceInformation,
    Operation::GetNetworkDefaultGateway, Operation::GetSystemDateAndTime, Operation::GetScopes };
constexpr int ReadCount = int(sizeof Reads / sizeof Reads[0]);

} // namespace

struct DeviceReader::Job
{
    QString key;
    QUrl url;
    int outstanding = 0;
    bool started = false;
    bool oneConnection = false; // the reads one after another
    DeviceReading reading;
    QString problems[ReadCount]; // by read, told once all are in
    bool retried[ReadCount] = {};
    QElapsedTimer clock; // since the read under way went out

    // Of the requests in flight, those this device holds until its reads are done.
    int requests() const { return oneConnection ? 1 : ReadCount; }
};

DeviceReader::DeviceReader(QObject *parent)
    : QObject(parent)
    , m_client(new SoapClient(this))
{
}

DeviceReader::~DeviceReader()
{
    m_client->abortAll();
    qDeleteAll(m_jobs);
}

void DeviceReader::setLimits(int requestsAtOnce, int timeoutMs)
{
    m_requestsAtOnce = qMax(1, requestsAtOnce);
    m_timeout = qMax(1, timeoutMs);
}

void DeviceReader::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

void DeviceReader::read(const QString &key, const QUrl &url)
{
    if (m_jobs.contains(key)) {
        return;
    }
    auto *job = new Job;
    job->key = key;
    job->url = url;
    m_jobs.insert(key, job);
    m_queue.enqueue({ key, url });
    startNext();
}

void DeviceReader::cancel()
{
    m_client->abortAll();
    qDeleteAll(m_jobs);
    m_jobs.clear();
    m_queue.clear();
    m_requests = 0;
    m_client->clearConnections();
}

bool DeviceReader::idle() const
{
    return m_jobs.isEmpty();
}

void DeviceReader::startNext()
{
    while (!m_queue.isEmpty()) {
        const int free = m_requestsAtOnce - m_requests;
        // Side by side only while every device waiting fits in what is left.
        const bool oneConnection = m_queue.size() * ReadCount > free;
        if (oneConnection && free < 1) {
            break;
        }
        Job *const job = m_jobs.value(m_queue.dequeue().first);
        if (!job || job->started) {
            continue;
        }
        job->started = true;
        job->oneConnection = oneConnection;
        job->outstanding = ReadCount;
        m_requests += job->requests();
        for (int read = 0; read < job->requests(); ++read) {
            startRead(job, read);
        }
    }
    if (m_jobs.isEmpty()) {
        m_client->clearConnections();
    }
}

void DeviceReader::startRead(Job *job, int read)
{
    job->clock.start();
    post(job, read, m_timeout);
}

void DeviceReader::post(Job *job, int read, int timeoutMs)
{
    const Operation operation = Reads[read];
    // The clock is everyone's to read; the rest carry the token where there is one.
    Onvif::UsernameToken token;
    const bool signedRead = !m_user.isEmpty() && operation != Operation::GetSystemDateAndTime;
    if (signedRead) {
        token = Onvif::UsernameToken::make(m_user, m_password);
    }
    const QByteArray body = Onvif::buildRequest(operation, QString(), signedRead ? &token : nullptr);
    const bool last = !job->oneConnection || read == ReadCount - 1;
    m_client->post(job->url, body, timeoutMs, last, [this, job, read](const SoapClient::Result &result) {
        answered(job, read, result.status, result.body, result.error);
    });
}

void DeviceReader::answered(Job *job, int read, int status, const QByteArray &body, const QString &error)
{
    const Operation operation = Reads[read];
    const QString name = Onvif::operationName(operation);
    Onvif::DeviceAnswer answer;
    QString problem = error;
    if (problem.isEmpty() && !Onvif::parseDeviceAnswer(body, operation, &answer, &problem)) {
        // An answer damaged on its way is asked for once more, within what is left of the limit.
        const int left = m_timeout - int(job->clock.elapsed());
        if (!std::exchange(job->retried[read], true) && left > 0) {
            post(job, read, left);
            return;
        }
        problem = QStringLiteral("malformed answer: ") + problem;
    }
    if (problem.isEmpty() && answer.fault) {
        job->reading.notAuthorized
            = job->reading.notAuthorized || Onvif::faultOutcome(answer.subcodes).notAuthorized;
        problem = QStringLiteral("fault %1").arg(answer.subcodes.join(QLatin1Char(' ')));
    }
    if (problem.isEmpty() && status != 200) {
        problem = QStringLiteral("HTTP status %1").arg(status);
    }
    if (!problem.isEmpty()) {
        job->problems[read] = problem;
    }
    switch (operation) {
    case Operation::GetNetworkInterfaces:
        job->reading.interfaces = answer;
        job->reading.ok = problem.isEmpty();
        if (!job->reading.ok) {
            job->reading.error = name + QStringLiteral(": ") + problem;
        }
        break;
    case Operation::GetDeviceInformation:
        job->reading.information = answer;
        job->reading.hasInformation = problem.isEmpty();
        break;
    case Operation::GetNetworkDefaultGateway:
        job->reading.gateway = answer;
        job->reading.hasGateway = problem.isEmpty();
        break;
    case Operation::GetScopes:
        job->reading.scopes = answer;
        job->reading.hasScopes = problem.isEmpty();
        break;
    default:
        job->reading.clock = answer;
        job->reading.hasClock = problem.isEmpty();
        break;
    }
    // Without the interfaces the device is not listed: its other reads are not asked.
    if (--job->outstanding == 0 || (job->oneConnection && !job->reading.ok)) {
        finish(job);
    } else if (job->oneConnection) {
        startRead(job, read + 1);
    }
}

void DeviceReader::finish(Job *job)
{
    // Without the interfaces the device is not listed: that failure alone is worth a line.
    const QVector<Onvif::InterfaceInfo> &interfaces = job->reading.interfaces.interfaces;
    const bool listable
        = job->reading.ok && !interfaces.isEmpty() && !Onvif::normalizedMac(interfaces.first().mac).isEmpty();
    for (int i = 0; i < ReadCount; ++i) {
        const bool told = Reads[i] == Operation::GetNetworkInterfaces || listable;
        if (told && !job->problems[i].isEmpty()) {
            qCWarning(lcNetscan, "%s of %s failed: %s", qUtf8Printable(Onvif::operationName(Reads[i])),
                qUtf8Printable(job->url.toString()), qUtf8Printable(job->problems[i]));
        }
    }
    m_jobs.remove(job->key);
    m_requests -= job->requests();
    const QString key = job->key;
    const DeviceReading reading = job->reading;
    delete job;
    Q_EMIT deviceRead(key, reading);
    startNext();
}
