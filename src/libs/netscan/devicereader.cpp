// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicereader_p.h"

#include "soapclient_p.h"

#include <QTimer>

using Onvif::Operation;

namespace {

// The interfaces first: without them a device cannot be listed.
const Operation Reads[] = { Operation::GetNetworkInterfaces, Operation::GetDeviceInformation,
    Operation::GetNetworkDefaultGateway, Operation::GetSystemDateAndTime };
constexpr int ReadCount = int(sizeof Reads / sizeof Reads[0]);

} // namespace

struct DeviceReader::Job
{
    QString key;
    QUrl url;
    int step = 0;
    bool started = false;
    DeviceReading reading;
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

void DeviceReader::setLimits(int devicesAtOnce, int timeoutMs)
{
    m_devicesAtOnce = qMax(1, devicesAtOnce);
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
    m_running = 0;
    m_client->clearConnections();
}

bool DeviceReader::idle() const
{
    return m_jobs.isEmpty();
}

void DeviceReader::startNext()
{
    while (m_running < m_devicesAtOnce && !m_queue.isEmpty()) {
        Job *const job = m_jobs.value(m_queue.dequeue().first);
        if (!job || job->started) {
            continue;
        }
        job->started = true;
        ++m_running;
        request(job);
    }
    if (m_jobs.isEmpty()) {
        m_client->clearConnections();
    }
}

void DeviceReader::request(Job *job)
{
    const Operation operation = Reads[job->step];
    // The clock is everyone's to read; the rest carry the token where there is one.
    Onvif::UsernameToken token;
    const bool signedRead = !m_user.isEmpty() && operation != Operation::GetSystemDateAndTime;
    if (signedRead) {
        token = Onvif::UsernameToken::make(m_user, m_password);
    }
    const QByteArray body = Onvif::buildRequest(operation, QString(), signedRead ? &token : nullptr);
    m_client->post(job->url, body, m_timeout, job->step == ReadCount - 1,
        [this, job](const SoapClient::Result &result) { answered(job, result.status, result.body, result.error); });
}

void DeviceReader::answered(Job *job, int status, const QByteArray &body, const QString &error)
{
    const Operation operation = Reads[job->step];
    const QString name = Onvif::operationName(operation);
    Onvif::DeviceAnswer answer;
    QString problem = error;
    if (problem.isEmpty() && !Onvif::parseDeviceAnswer(body, operation, &answer, &problem)) {
        problem = QStringLiteral("malformed answer: ") + problem;
    }
    if (problem.isEmpty() && answer.fault) {
        problem = QStringLiteral("fault %1").arg(answer.subcodes.join(QLatin1Char(' ')));
    }
    if (problem.isEmpty() && status != 200) {
        problem = QStringLiteral("HTTP status %1").arg(status);
    }
    if (!problem.isEmpty()) {
        qCWarning(lcNetscan, "%s of %s failed: %s", qUtf8Printable(name), qUtf8Printable(job->url.toString()),
            qUtf8Printable(problem));
        if (job->reading.error.isEmpty()) {
            job->reading.error = name + QStringLiteral(": ") + problem;
        }
    }
    switch (operation) {
    case Operation::GetNetworkInterfaces:
        job->reading.interfaces = answer;
        job->reading.ok = problem.isEmpty();
        // Without its interfaces the device waits for the next round; without a MAC
        // address it cannot be listed, and the other reads would be wasted.
        if (!job->reading.ok || answer.interfaces.isEmpty()
            || Onvif::normalizedMac(answer.interfaces.first().mac).isEmpty()) {
            finish(job);
            return;
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
    default:
        job->reading.clock = answer;
        job->reading.hasClock = problem.isEmpty();
        break;
    }
    if (++job->step < ReadCount) {
        request(job);
    } else {
        finish(job);
    }
}

void DeviceReader::finish(Job *job)
{
    m_jobs.remove(job->key);
    --m_running;
    const QString key = job->key;
    const DeviceReading reading = job->reading;
    delete job;
    Q_EMIT deviceRead(key, reading);
    startNext();
}
