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

#include <algorithm>

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

const LeftOut &ChangeSession::leftOut() const
{
    return m_leftOut;
}

void ChangeSession::setTargets(const QList<QSharedPointer<DeviceData>> &devices, const LeftOut &leftOut)
{
    m_targets = devices;
    m_leftOut = leftOut;
    Q_EMIT targetsChanged();
}

bool ChangeSession::targetChecked(bool includeHidden)
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    // What the user sees, in the order shown: addresses are handed out down the view.
    m_view->refresh();
    QList<QSharedPointer<DeviceData>> shown;
    QSet<const DeviceData *> seen;
    for (int row = 0; row < m_view->rowCount(); ++row) {
        DeviceData *device = m_view->device(row);
        if (device && device->checked()) {
            shown << m_registry->device(device->commMac());
            seen.insert(device);
        }
    }
    LeftOut leftOut;
    QList<QSharedPointer<DeviceData>> hidden;
    for (const QSharedPointer<DeviceData> &device : m_registry->tableDevices()) {
        if (device && device->checked() && !seen.contains(device.data())) {
            hidden << device;
        }
    }
    if (includeHidden) {
        shown += hidden;
    } else {
        leftOut.hidden = hidden.size();
    }
    const QList<QSharedPointer<DeviceData>> targets = changeable(shown, &leftOut);
    if (targets.isEmpty()) {
        Q_EMIT messageRequested(leftOutText(leftOut));
        return false;
    }
    setTargets(targets, leftOut);
    return true;
}

QList<QSharedPointer<DeviceData>> ChangeSession::changeable(
    const QList<QSharedPointer<DeviceData>> &devices, LeftOut *leftOut) const
{
    // Every device is either changed or counted under the reason it is left out.
    QList<QSharedPointer<DeviceData>> targets;
    const RunModeOf runModes = m_registry->runModes();
    for (const QSharedPointer<DeviceData> &device : devices) {
        if (!device) {
            continue;
        }
        switch (device->devStatus()) {
        case DeviceData::Offline:
            ++leftOut->offline;
            break;
        case DeviceData::Malfunction:
            ++leftOut->fault;
            break;
        default:
            if (keepsItsAddress(device.data(), runModes)) {
                ++leftOut->nodes;
                leftOut->nodeNames << device->name();
            } else {
                targets << device;
            }
        }
    }
    return targets;
}

QString ChangeSession::leftOutText(const LeftOut &leftOut)
{
    if (leftOut.total() == 0) {
        return tr("请先勾选要修改的设备（选中行不等于勾选）");
    }
    if (leftOut.total() == leftOut.hidden) {
        return tr("已选设备都被筛选隐藏了，请清除筛选后再修改");
    }
    QStringList reasons;
    const auto add = [&reasons](int count, const QString &text) {
        if (count > 0) {
            reasons << text.arg(count);
        }
    };
    add(leftOut.hidden, tr("%1台被筛选隐藏"));
    add(leftOut.offline, tr("%1台离线"));
    add(leftOut.fault, tr("%1台故障"));
    add(leftOut.nodes, tr("%1台主备节点不能修改地址"));
    return tr("勾选的设备都不能修改：%1").arg(reasons.join(QStringLiteral("，")));
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
    // Until a scan or a late answer tells, an unconfirmed device may be at either address.
    QVector<HeldAddress> held;
    for (auto it = m_unconfirmed.cbegin(); it != m_unconfirmed.cend(); ++it) {
        const QSharedPointer<DeviceData> device = m_registry->device(it.key());
        if (device && !it->seenUnchanged) {
            held << HeldAddress { device.data(), it->oldIp, 1 } << HeldAddress { device.data(), it->ip, 1 };
            if (!it->ip2.isEmpty()) {
                held << HeldAddress { device.data(), it->oldIp2, 2 } << HeldAddress { device.data(), it->ip2, 2 };
            }
        }
    }
    return planChange(targets, request, known, m_registry->runModes(), held);
}

QString ChangeSession::unconfirmedText(int milliseconds)
{
    return tr("设备%1秒内无应答，修改是否生效未知").arg(milliseconds / 1000.0);
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
        // A new change of the device supersedes what was not confirmed of the last one.
        m_unconfirmed.remove(mac);
        m_pending << ResultRow { device.device->name(), mac, device.device->ip(), device.ip, QString(),
            device.offset, ResultRow::Failed, QString(), false };
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
        // A refusal that would come again is not retried: the nodes keep their addresses.
        if (row.state == ResultRow::Failed && device && device->online() && !row.locked) {
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
        // A back-end that gave up waiting knows no more than we do: the row stays unconfirmed.
        if (outcome.result == IpSetTimeout && outcome.failure.isEmpty()) {
            continue;
        }
        if (!answerLate(requestId, outcome)) {
            m_tracker.answer(requestId, outcome);
        }
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
    m_shownResults.clear();
    m_shownRequest = m_tracker.requestId();
    int succeeded = 0;
    int failed = 0;
    const QVector<ChangeOutcome> outcomes = m_tracker.outcomes();
    for (int i = 0; i < outcomes.size(); ++i) {
        const ChangeOutcome &outcome = outcomes.at(i);
        const QSharedPointer<SettingResultData> result(new SettingResultData);
        QQmlEngine::setObjectOwnership(result.data(), QQmlEngine::CppOwnership);
        result->setMac(outcome.commMac);
        result->setIp(outcome.ip);
        ResultRow &row = m_pending[i];
        if (silent.contains(outcome.commMac)) {
            row.state = ResultRow::Unconfirmed;
            result->setDetail(unconfirmedText(m_tracker.timeout()));
            const PlannedDevice planned = m_planned.value(outcome.commMac);
            const QSharedPointer<DeviceData> device = m_registry->device(outcome.commMac);
            m_unconfirmed.insert(outcome.commMac,
                { m_tracker.requestId(), row.oldIp, device ? device->ip2() : QString(), planned.ip, planned.ip2,
                    false, m_request });
        } else if (!outcome.failure.isEmpty()) {
            result->setDetail(outcome.failure);
        } else {
            result->setDetailVal(outcome.result);
        }
        results << result;
        m_shownResults.insert(outcome.commMac, result);
        row.newIp = outcome.ip;
        row.detail = result->detail();
        row.locked = outcome.result == IpSetNodeIpLocked && outcome.failure.isEmpty() && !silent.contains(outcome.commMac);
        if (outcome.succeeded() && row.state != ResultRow::Unconfirmed) {
            row.state = ResultRow::Succeeded;
            ++succeeded;
            const PlannedDevice planned = m_planned.value(outcome.commMac);
            showChanged(outcome.commMac, planned.ip, planned.ip2, m_request);
        } else if (row.state == ResultRow::Failed) {
            ++failed;
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
    m_results->setFailureNum(failed);
    setBusy(false);
    Q_EMIT resultsChanged();
    Q_EMIT resultsReady();
}

bool ChangeSession::answerLate(int requestId, const ChangeOutcome &outcome)
{
    const auto it = m_unconfirmed.find(outcome.commMac);
    if (it == m_unconfirmed.end() || it->requestId != requestId) {
        return false;
    }
    const Unconfirmed entry = it.value();
    m_unconfirmed.erase(it);
    qInfo() << "change request" << requestId << ": late answer of" << outcome.commMac << "settles its result";
    if (outcome.succeeded()) {
        showChanged(outcome.commMac, entry.ip, entry.ip2, entry.request);
        Q_EMIT awaitingScanChanged();
        settle(requestId, outcome.commMac, ResultRow::Succeeded, outcome.ip.isEmpty() ? entry.ip : outcome.ip,
            tr("修改成功（超时后应答）"));
    } else {
        SettingResultData detail;
        detail.setDetailVal(outcome.result);
        settle(requestId, outcome.commMac, ResultRow::Failed, QString(),
            outcome.failure.isEmpty() ? detail.detail() : outcome.failure);
    }
    return true;
}

void ChangeSession::settle(
    int requestId, const QString &commMac, ResultRow::State state, const QString &newIp, const QString &detail)
{
    // The results of a later change are on show: nothing of theirs to settle.
    if (requestId != m_shownRequest) {
        return;
    }
    for (const ResultRow &row : m_resultRows->rows()) {
        if (row.mac == commMac) {
            ResultRow settled = row;
            settled.state = state;
            settled.newIp = newIp;
            settled.detail = detail;
            m_settling.insert(commMac, settled);
            break;
        }
    }
    if (m_settling.size() == 1) {
        QMetaObject::invokeMethod(this, &ChangeSession::applySettled, Qt::QueuedConnection);
    }
}

void ChangeSession::applySettled()
{
    if (m_settling.isEmpty()) {
        return;
    }
    int changed = 0;
    int unchanged = 0;
    for (const ResultRow &row : qAsConst(m_settling)) {
        if (const QSharedPointer<SettingResultData> result = m_shownResults.value(row.mac)) {
            result->setIp(row.newIp);
            result->setDetail(row.detail);
        }
        (row.state == ResultRow::Succeeded ? changed : unchanged) += 1;
    }
    m_resultRows->settle(m_settling);
    m_settling.clear();
    int succeeded = 0;
    int failed = 0;
    for (const ResultRow &row : m_resultRows->rows()) {
        succeeded += row.state == ResultRow::Succeeded ? 1 : 0;
        failed += row.state == ResultRow::Failed ? 1 : 0;
    }
    m_results->setSuccessNum(succeeded);
    m_results->setFailureNum(failed);
    m_settledText = tr("未应答的设备中，%1台已确认生效，%2台确认未更改；仍有%3台未确认")
                        .arg(changed)
                        .arg(unchanged)
                        .arg(m_resultRows->unconfirmedCount());
    Q_EMIT resultsChanged();
    Q_EMIT settled();
}

void ChangeSession::showChanged(
    const QString &commMac, const QString &ip, const QString &ip2, const ChangeRequest &request)
{
    const QSharedPointer<DeviceData> device = m_registry->device(commMac);
    if (!device) {
        return;
    }
    QVector<t_device_network_info> ports = device->networkInfo();
    int taken = 0;
    const auto take = [&ports, &taken](int port, const QString &ip, const PortSettings &settings) {
        if (port < ports.size() && !ip.isEmpty()) {
            ports[port].ip = ip;
            ports[port].subnetMask = settings.subnetMask;
            ports[port].gateway = settings.gateway;
            parseAddress(ip, &ports[port].ipInt);
            taken |= 1 << port;
        }
    };
    take(0, ip, request.port1);
    take(1, ip2, request.port2);
    device->setNetworkInfo(ports);
    m_awaitingScan[commMac] |= taken;
}

void ChangeSession::confirm(const QString &commMac)
{
    if (m_awaitingScan.remove(commMac)) {
        Q_EMIT awaitingScanChanged();
    }
    const auto it = m_unconfirmed.find(commMac);
    const QSharedPointer<DeviceData> device = m_registry->device(commMac);
    // An offline report carries the last addresses known, not where the device is now.
    if (it == m_unconfirmed.end() || !device || device->devStatus() == DeviceData::Offline) {
        return;
    }
    const QString ip = device->ip();
    if (ip == it->oldIp) {
        // It may still be working on the change: a later scan or answer can move it on.
        if (!it->seenUnchanged) {
            it->seenUnchanged = true;
            settle(it->requestId, commMac, ResultRow::Failed, QString(), tr("设备未应答，扫描确认未更改"));
        }
        return;
    }
    const QString detail = ip == it->ip ? tr("已生效（未应答）") : tr("已生效（地址与计划不同）");
    const int requestId = it->requestId;
    m_unconfirmed.erase(it);
    settle(requestId, commMac, ResultRow::Succeeded, ip, detail);
}

bool ChangeSession::isAwaitingScan(const QString &commMac) const
{
    return m_awaitingScan.contains(commMac);
}

int ChangeSession::awaitingPorts(const QString &commMac) const
{
    return m_awaitingScan.value(commMac);
}

int ChangeSession::awaitingScanCount() const
{
    return m_awaitingScan.size();
}

int ChangeSession::unconfirmedCount() const
{
    return m_resultRows->unconfirmedCount();
}

int ChangeSession::unsettledCount() const
{
    return int(std::count_if(
        m_unconfirmed.cbegin(), m_unconfirmed.cend(), [](const Unconfirmed &entry) { return !entry.seenUnchanged; }));
}

QString ChangeSession::settledText() const
{
    return m_settledText;
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
    m_unconfirmed.clear();
    m_settling.clear();
    m_shownResults.clear();
    m_settledText.clear();
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
