// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "changesession.h"

#include "deviceregistry.h"

#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/displaytexts.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>

#include <QQmlEngine>
#include <QTimer>

ChangeSession::ChangeSession(
    DeviceRegistry *registry, DeviceTableModel *table, DeviceSortFilterProxyModel *view, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_table(table)
    , m_view(view)
    , m_results(new SettingResultTableModel(this))
    , m_resultRows(new ResultRowModel(this))
    , m_timer(new QTimer(this))
{
    // Every change ends: devices that have not answered by the deadline count as failed.
    m_clock.start();
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_tracker.advance(m_tracker.deadline())) {
            end();
        }
    });
}

ChangeSession::~ChangeSession() = default;

SettingResultTableModel *ChangeSession::results() const
{
    return m_results;
}

ResultRowModel *ChangeSession::resultRows() const
{
    return m_resultRows;
}

int ChangeSession::timeout() const
{
    return m_tracker.timeout();
}

void ChangeSession::setTimeout(int milliseconds)
{
    // The change in flight keeps its deadline; the next one takes the new timeout.
    const int before = m_tracker.timeout();
    m_tracker.setTimeout(milliseconds);
    if (m_tracker.timeout() != before) {
        Q_EMIT timeoutChanged();
    }
}

bool ChangeSession::busy() const
{
    return m_busy;
}

const QList<QSharedPointer<DeviceData>> &ChangeSession::targets() const
{
    return m_targets;
}

int ChangeSession::hiddenChecked() const
{
    return m_hiddenChecked;
}

int ChangeSession::offlineChecked() const
{
    return m_offlineChecked;
}

void ChangeSession::setTargets(const QList<QSharedPointer<DeviceData>> &devices, int hidden, int offline)
{
    m_targets = devices;
    m_hiddenChecked = hidden;
    m_offlineChecked = offline;
    Q_EMIT targetsChanged();
}

bool ChangeSession::targetChecked(bool includeHidden)
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    // What the user sees, in the order shown: addresses are handed out down the view.
    m_view->refresh();
    QList<QSharedPointer<DeviceData>> targets;
    QSet<const DeviceData *> shown;
    int offline = 0;
    for (int row = 0; row < m_view->rowCount(); ++row) {
        DeviceData *device = m_view->device(row);
        if (!device || !device->checked()) {
            continue;
        }
        shown.insert(device);
        if (device->online()) {
            targets << m_registry->device(device->commMac());
        } else {
            ++offline;
        }
    }
    int hidden = 0;
    for (const QSharedPointer<DeviceData> &device : m_registry->tableDevices()) {
        if (device && device->checked() && device->online() && !shown.contains(device.data())) {
            ++hidden;
            if (includeHidden) {
                targets << device;
            }
        }
    }
    if (targets.isEmpty()) {
        Q_EMIT messageRequested(
            hidden > 0 ? tr("已选设备都被筛选隐藏了，请清除筛选后再修改") : STR_SELECT_DEVICE_FIRST);
        return false;
    }
    setTargets(targets, includeHidden ? 0 : hidden, offline);
    return true;
}

void ChangeSession::forget(const QSharedPointer<DeviceData> &device)
{
    if (m_targets.removeAll(device) > 0) {
        Q_EMIT targetsChanged();
    }
}

ChangePlan ChangeSession::plan(const ChangeRequest &request) const
{
    QVector<const DeviceData *> targets;
    targets.reserve(m_targets.size());
    for (const QSharedPointer<DeviceData> &device : m_targets) {
        targets << device.data();
    }
    QVector<const DeviceData *> known;
    const QList<QSharedPointer<DeviceData>> devices = m_registry->devices();
    known.reserve(devices.size());
    for (const QSharedPointer<DeviceData> &device : devices) {
        known << device.data();
    }
    return planChange(targets, request, known, m_registry->runModes());
}

QString ChangeSession::changeInFlightText()
{
    return tr("上一次修改尚未结束，请等待其结果");
}

bool ChangeSession::refuseWhileBusy(const QString &text)
{
    if (!m_busy) {
        return false;
    }
    Q_EMIT messageRequested(text);
    return true;
}

bool ChangeSession::send(const ChangeRequest &request)
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    const ChangePlan planned = plan(request);
    if (!planned.isValid()) {
        Q_EMIT messageRequested(planned.firstError());
        return false;
    }
    NetworkChange change;
    m_planned.clear();
    m_pending.clear();
    for (const PlannedDevice &device : planned.devices) {
        const QString mac = device.device->commMac();
        change.macs << mac;
        if (!request.offsets.isEmpty()) {
            change.offsets << device.offset;
        }
        m_planned.insert(mac, device);
        m_pending << ResultRow { device.device->name(), mac, device.device->ip(), device.ip, QString(),
            device.offset, false, QString() };
    }
    change.port1 = request.port1;
    if (request.changePort2) {
        change.port2 = request.port2;
    }
    m_request = { change.port1, !change.port2.isEmpty(), change.port2, {} };
    change.requestId = ++m_lastRequest;
    m_tracker.start(change.requestId, change.macs, m_clock.elapsed());
    m_timer->start(m_tracker.timeout());
    m_results->setEthernetPort(change.port2.isEmpty() ? 1 : 2);
    setBusy(true);
    m_table->setDeviceNetworkConfig(change.macsText(), NetworkChange::portText(change.port1),
        NetworkChange::portText(change.port2), change.requestText());
    return true;
}

bool ChangeSession::retryFailed()
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    QList<QSharedPointer<DeviceData>> targets;
    ChangeRequest request = m_request;
    request.offsets.clear();
    // A failed device that is offline now, or forgotten, waits for a later retry.
    for (const ResultRow &row : m_resultRows->rows()) {
        const QSharedPointer<DeviceData> device = m_registry->device(row.mac);
        if (!row.succeeded && device && device->online()) {
            targets << device;
            request.offsets << row.offset;
        }
    }
    if (targets.isEmpty()) {
        Q_EMIT messageRequested(tr("没有可重试的在线失败设备"));
        return false;
    }
    setTargets(targets);
    return send(request);
}

void ChangeSession::answer(int requestId, const QVector<ChangeOutcome> &outcomes)
{
    for (const ChangeOutcome &outcome : outcomes) {
        m_tracker.answer(requestId, outcome);
    }
    if (m_tracker.advance(m_clock.elapsed())) {
        end();
    }
}

void ChangeSession::end()
{
    m_timer->stop();
    const QStringList timedOut = m_tracker.timedOut();
    const QSet<QString> silent(timedOut.cbegin(), timedOut.cend());
    QList<QSharedPointer<SettingResultData>> results;
    int succeeded = 0;
    const QVector<ChangeOutcome> outcomes = m_tracker.outcomes();
    for (int i = 0; i < outcomes.size(); ++i) {
        const ChangeOutcome &outcome = outcomes.at(i);
        const QSharedPointer<SettingResultData> result(new SettingResultData);
        QQmlEngine::setObjectOwnership(result.data(), QQmlEngine::CppOwnership);
        result->setMac(outcome.commMac);
        result->setIp(outcome.ip);
        if (silent.contains(outcome.commMac)) {
            result->setDetail(ChangeTracker::timedOutText(m_tracker.timeout()));
        } else if (!outcome.failure.isEmpty()) {
            result->setDetail(outcome.failure);
        } else {
            result->setDetailVal(outcome.result);
        }
        results << result;
        ResultRow &row = m_pending[i];
        row.succeeded = outcome.succeeded() && !silent.contains(outcome.commMac);
        row.newIp = outcome.ip;
        row.detail = result->detail();
        if (row.succeeded) {
            ++succeeded;
            showChanged(outcome.commMac);
        }
    }
    m_planned.clear();
    m_resultRows->reset(m_pending);
    m_pending.clear();
    if (succeeded > 0) {
        Q_EMIT awaitingScanChanged();
    }
    m_results->resetResultList(results);
    m_results->setTotalNum(results.size());
    m_results->setSuccessNum(succeeded);
    m_results->setFailureNum(results.size() - succeeded);
    setBusy(false);
    Q_EMIT resultsChanged();
    Q_EMIT resultsReady();
}

void ChangeSession::showChanged(const QString &commMac)
{
    const QSharedPointer<DeviceData> device = m_registry->device(commMac);
    const auto planned = m_planned.constFind(commMac);
    if (!device || planned == m_planned.constEnd()) {
        return;
    }
    QVector<t_device_network_info> ports = device->networkInfo();
    const auto take = [&ports](int port, const QString &ip, const PortSettings &settings) {
        if (port < ports.size() && !ip.isEmpty()) {
            ports[port].ip = ip;
            ports[port].subnetMask = settings.subnetMask;
            ports[port].gateway = settings.gateway;
            parseAddress(ip, &ports[port].ipInt);
        }
    };
    take(0, planned->ip, m_request.port1);
    take(1, planned->ip2, m_request.port2);
    device->setNetworkInfo(ports);
    m_awaitingScan.insert(commMac);
}

void ChangeSession::confirm(const QString &commMac)
{
    if (m_awaitingScan.remove(commMac)) {
        Q_EMIT awaitingScanChanged();
    }
}

bool ChangeSession::isAwaitingScan(const QString &commMac) const
{
    return m_awaitingScan.contains(commMac);
}

int ChangeSession::awaitingScanCount() const
{
    return m_awaitingScan.size();
}

void ChangeSession::reset()
{
    const int timeout = m_tracker.timeout();
    m_tracker = ChangeTracker();
    m_tracker.setTimeout(timeout);
    m_timer->stop();
    setTargets({});
    m_planned.clear();
    m_pending.clear();
    m_request = ChangeRequest();
    m_resultRows->reset({});
    if (!m_awaitingScan.isEmpty()) {
        m_awaitingScan.clear();
        Q_EMIT awaitingScanChanged();
    }
    m_results->resetResultList({});
    m_results->setTotalNum(0);
    m_results->setSuccessNum(0);
    m_results->setFailureNum(0);
    m_results->setEthernetPort(0);
    setBusy(false);
    Q_EMIT resultsChanged();
}

void ChangeSession::setBusy(bool busy)
{
    if (m_busy == busy) {
        return;
    }
    m_busy = busy;
    Q_EMIT busyChanged();
}
