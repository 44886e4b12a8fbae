// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicechanger_p.h"

#include "onvifmessages_p.h"
#include "soapclient_p.h"

#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

const QString WrongCredentials = QStringLiteral("用户名或密码错误");
const QString AnotherDevice = QStringLiteral("该地址上已不是所选设备，未发送修改");
const QString NotChecked = QStringLiteral("未能核对该地址上的设备，未发送修改");

} // namespace

struct DeviceChanger::Device
{
    Request *request = nullptr;
    DeviceChangePlan plan;
    int step = -1; // -1 who answers there, 0 port 1, 1 port 2, 2 the gateway
    bool running = false;
    bool done = false;
    QPointer<QNetworkReply> reply;
};

struct DeviceChanger::Request
{
    int id = 0;
    QVector<Device *> devices;
    int open = 0;
    bool refused = false; // credentialsRefused told already
    QTimer *deadline = nullptr;
};

DeviceChanger::DeviceChanger(QObject *parent)
    : QObject(parent)
    , m_client(new SoapClient(this))
{
}

DeviceChanger::~DeviceChanger()
{
    m_client->abortAll();
    for (Request *request : qAsConst(m_requests)) {
        qDeleteAll(request->devices);
        delete request;
    }
}

void DeviceChanger::setDevicesAtOnce(int count)
{
    m_devicesAtOnce = qMax(1, count);
}

void DeviceChanger::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

void DeviceChanger::start(int requestId, const QVector<DeviceChangePlan> &plans,
    const QVector<ChangeOutcome> &settled, int timeoutMs)
{
    if (!settled.isEmpty()) {
        m_unsent[requestId] += settled;
        flush();
    }
    if (plans.isEmpty()) {
        return;
    }
    if (m_requests.contains(requestId)) {
        qCWarning(lcNetscan, "change request %d is under way already; the repeat is dropped", requestId);
        return;
    }
    auto *request = new Request;
    request->id = requestId;
    for (const DeviceChangePlan &plan : plans) {
        auto *device = new Device;
        device->request = request;
        device->plan = plan;
        request->devices.append(device);
        m_waiting.enqueue(device);
    }
    request->open = request->devices.size();
    request->deadline = new QTimer(this);
    request->deadline->setSingleShot(true);
    connect(request->deadline, &QTimer::timeout, this, [this, request] { expire(request); });
    request->deadline->start(timeoutMs);
    m_requests.insert(requestId, request);
    startNext();
}

void DeviceChanger::startNext()
{
    while (m_running < m_devicesAtOnce && !m_waiting.isEmpty()) {
        Device *const device = m_waiting.dequeue();
        if (device->done) {
            continue;
        }
        device->running = true;
        ++m_running;
        send(device);
    }
}

void DeviceChanger::send(Device *device)
{
    const DeviceChangePlan &plan = device->plan;
    if (device->step == 1 && plan.token2.isEmpty()) {
        device->step = 2;
    }
    // A fresh nonce and time for each request: the device refuses a nonce seen before.
    const Onvif::UsernameToken token = Onvif::UsernameToken::make(m_user, m_password);
    const Onvif::UsernameToken *const signature = m_user.isEmpty() ? nullptr : &token;
    QByteArray body;
    if (device->step < 0) {
        // Before the first write: the device at the address must still be the one chosen.
        body = Onvif::buildRequest(Onvif::Operation::GetNetworkInterfaces, QString(), signature);
    } else if (device->step == 0) {
        body = Onvif::buildSetNetworkInterfaces(plan.token1, plan.ip1, plan.prefix1, signature);
    } else if (device->step == 1) {
        body = Onvif::buildSetNetworkInterfaces(plan.token2, plan.ip2, plan.prefix2, signature);
    } else {
        body = Onvif::buildSetNetworkDefaultGateway(plan.gateway, signature);
    }
    // The device answers at its new address once port 1 took it.
    QUrl url = plan.url;
    if (device->step > 0) {
        url.setHost(plan.ip1);
    }
    const int remaining = qMax(1, device->request->deadline->remainingTime());
    // Port 1's new address ends the device's connections at the old one.
    const bool last = device->step == 2 || (device->step == 0 && plan.ip1 != plan.url.host());
    device->reply = m_client->post(
        url, body, remaining, last, [this, device](const SoapClient::Result &result) {
            reply(device, result.status, result.body, result.error);
        });
}

void DeviceChanger::reply(Device *device, int status, const QByteArray &body, const QString &error)
{
    if (device->done) {
        return;
    }
    const bool checking = device->step < 0;
    const Onvif::Operation operation = checking ? Onvif::Operation::GetNetworkInterfaces
        : device->step == 2                     ? Onvif::Operation::SetNetworkDefaultGateway
                                                : Onvif::Operation::SetNetworkInterfaces;
    const QString mac = device->plan.commMac;
    ChangeOutcome outcome { mac, QString(), IpSetTimeout, QString() };
    // Nothing was written while checking: a failure then is known to have changed nothing.
    if (checking) {
        outcome.failure = NotChecked;
    }
    if (!error.isEmpty()) {
        qCWarning(lcNetscan, "change of %s: %s", qUtf8Printable(mac), qUtf8Printable(error));
        settle(device, outcome);
        return;
    }
    Onvif::DeviceAnswer answer;
    QString problem;
    if (!Onvif::parseDeviceAnswer(body, operation, &answer, &problem)) {
        qCWarning(
            lcNetscan, "change of %s: malformed answer: %s", qUtf8Printable(mac), qUtf8Printable(problem));
        settle(device, outcome);
        return;
    }
    if (answer.fault && device->step > 0) {
        // Port 1 took its new address already: neither done nor undone, for a scan to settle.
        qCWarning(lcNetscan, "change of %s: port 1 took %s, then refused: %s", qUtf8Printable(mac),
            qUtf8Printable(device->plan.ip1), qUtf8Printable(answer.subcodes.join(QLatin1Char(' '))));
        settle(device, outcome);
        return;
    }
    if (answer.fault) {
        const Onvif::FaultOutcome fault = Onvif::faultOutcome(answer.subcodes);
        qCInfo(lcNetscan, "change of %s refused: %s", qUtf8Printable(mac),
            qUtf8Printable(answer.subcodes.join(QLatin1Char(' '))));
        if (fault.notAuthorized) {
            outcome.failure = WrongCredentials;
            if (!device->request->refused) {
                device->request->refused = true;
                Q_EMIT credentialsRefused(device->request->id);
            }
        } else if (checking) {
            // The failure already says that nothing was sent.
        } else if (fault.known) {
            outcome.result = fault.result;
        } else {
            outcome.failure = QStringLiteral("设备拒绝了修改");
        }
        settle(device, outcome);
        return;
    }
    if (status != 200) {
        qCWarning(lcNetscan, "change of %s: HTTP status %d without a fault", qUtf8Printable(mac), status);
        settle(device, outcome);
        return;
    }
    if (checking) {
        const QString found
            = answer.interfaces.isEmpty() ? QString() : Onvif::normalizedMac(answer.interfaces.first().mac);
        if (found != mac) {
            qCWarning(lcNetscan, "change of %s: %s answers as %s; nothing sent", qUtf8Printable(mac),
                qUtf8Printable(device->plan.url.host()),
                qUtf8Printable(found.isEmpty() ? QStringLiteral("-") : found));
            outcome.failure = AnotherDevice;
            settle(device, outcome);
            return;
        }
    }
    if (++device->step <= 2) {
        send(device);
        return;
    }
    outcome.result = IpSetSuccess;
    outcome.ip = device->plan.ip1;
    settle(device, outcome);
}

void DeviceChanger::settle(Device *device, const ChangeOutcome &outcome)
{
    if (device->done) {
        return;
    }
    device->done = true;
    if (device->running) {
        device->running = false;
        --m_running;
    }
    if (device->reply) {
        QNetworkReply *const reply = device->reply;
        device->reply = nullptr;
        if (reply->isRunning()) {
            reply->abort();
        }
    }
    Request *const request = device->request;
    m_unsent[request->id].append(outcome);
    if (--request->open == 0) {
        m_requests.remove(request->id);
        request->deadline->deleteLater();
        const QVector<Device *> devices = request->devices;
        m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                            [request](const Device *waiting) { return waiting->request == request; }),
            m_waiting.end());
        // Callers up the stack may still look at the devices.
        QTimer::singleShot(0, this, [devices] { qDeleteAll(devices); });
        delete request;
    }
    if (!m_flushQueued) {
        m_flushQueued = true;
        QTimer::singleShot(0, this, &DeviceChanger::flush);
    }
    startNext();
}

void DeviceChanger::expire(Request *request)
{
    qCWarning(
        lcNetscan, "change request %d: %d devices without an answer in time", request->id, request->open);
    const QVector<Device *> devices = request->devices;
    for (Device *device : devices) {
        if (!device->done) {
            settle(device,
                { device->plan.commMac, QString(), IpSetTimeout, device->step < 0 ? NotChecked : QString() });
        }
    }
}

void DeviceChanger::flush()
{
    m_flushQueued = false;
    const QHash<int, QVector<ChangeOutcome>> unsent = std::exchange(m_unsent, {});
    for (auto it = unsent.cbegin(); it != unsent.cend(); ++it) {
        Q_EMIT answered(it.key(), it.value());
    }
}
