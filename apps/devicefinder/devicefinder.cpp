// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicefinder.h"

#include "nodelistmodel.h"

#include <macscanbll/macscan.h>
#include <zvrviewmodel/comboboxmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicerow.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/displaytexts.h>
#include <zvrviewmodel/settingresultdata.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/zvrenums.h>

#include <QElapsedTimer>
#include <QQmlEngine>
#include <QSet>
#include <QTimer>

namespace {

PortSettings portFrom(const QVariantMap &settings, const QString &suffix)
{
    return { settings.value(QStringLiteral("ip") + suffix).toString().trimmed(),
        settings.value(QStringLiteral("subnetMask") + suffix).toString().trimmed(),
        settings.value(QStringLiteral("gateway") + suffix).toString().trimmed() };
}

// Marks a record handed to QML as owned by C++: an object that QML receives from an
// invokable call would otherwise become JavaScript-owned and be collected while a
// shared pointer still holds it.
// A sliced scan round reports this many devices between looks at the clock, and hands
// the event loop back once a slice has taken this long.
constexpr int ScanSliceReports = 32;
constexpr qint64 ScanSliceMilliseconds = 6;

void keepCppOwned(QObject *object)
{
    QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
}

} // namespace

DeviceFinder::DeviceFinder(QObject *parent)
    : QObject(parent)
    , m_simulation(new Simulation(this))
    , m_table(new DeviceTableModel(this))
    , m_sortModel(new DeviceSortFilterProxyModel(this))
    , m_statusModel(new ComboBoxModel(this))
    , m_results(new SettingResultTableModel(this))
    , m_nodes(new NodeListModel(m_table, this))
    , m_resultRows(new ResultRowModel(this))
    , m_changeTimer(new QTimer(this))
{
    m_sortModel->setSourceModel(m_table);
    m_statusModel->resetModel({ STR_ALL, STR_ONLINE, STR_OFFLINE, STR_MALFUNCTION });
    // Entry i of the status list shows DeviceData::DeviceStatus i - 1; "全部" shows all.
    connect(m_statusModel, &ComboBoxModel::currentIndexChanged, this,
        [this] { m_sortModel->setStatusFilter(m_statusModel->currentIndex() - 1); });

    connect(m_simulation, &Simulation::deviceReported, this, &DeviceFinder::onDeviceReported);
    connect(m_simulation, &Simulation::ipStateReported, this, &DeviceFinder::onIpStateReported);
    connect(m_simulation, &Simulation::scanFinished, this, &DeviceFinder::scanRoundChanged);
    connect(m_simulation, &Simulation::requestAnswered, this, &DeviceFinder::onRequestAnswered);
    // Every change ends: devices that have not answered by the deadline count as failed.
    m_clock.start();
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setTimerType(Qt::PreciseTimer);
    connect(m_changeTimer, &QTimer::timeout, this, [this] {
        if (m_change.advance(m_change.deadline())) {
            endChange();
        }
    });
    // The back-end stand-in only publishes the request; the simulated devices answer it.
    connect(ZVR::BLL::MacScan::getInstance(), &ZVR::BLL::MacScan::deviceNetworkInfoRequested, m_simulation,
        &Simulation::handleRequest);

    connect(m_table, &DeviceTableModel::editDevice, this, &DeviceFinder::onEditDevice);
    connect(m_table, &DeviceTableModel::deviceCheckChanged, this, &DeviceFinder::scheduleCheckState);
    connect(m_table, &DeviceTableModel::rowCountChanged, this, &DeviceFinder::scheduleCheckState);
}

DeviceFinder::~DeviceFinder() = default;

void DeviceFinder::setNetwork(quint32 seed, int deviceCount)
{
    m_seed = seed;
    m_deviceCount = deviceCount;
}

Simulation *DeviceFinder::simulation() const
{
    return m_simulation;
}

int DeviceFinder::changeTimeout() const
{
    return m_change.timeout();
}

void DeviceFinder::setChangeTimeout(int milliseconds)
{
    // The change in flight keeps its deadline; the next one takes the new timeout.
    const int before = m_change.timeout();
    m_change.setTimeout(milliseconds);
    if (m_change.timeout() != before) {
        Q_EMIT changeTimeoutChanged();
    }
}

DeviceTableModel *DeviceFinder::deviceModel() const
{
    return m_table;
}

DeviceSortFilterProxyModel *DeviceFinder::sortModel() const
{
    return m_sortModel;
}

ComboBoxModel *DeviceFinder::statusModel() const
{
    return m_statusModel;
}

SettingResultTableModel *DeviceFinder::resultModel() const
{
    return m_results;
}

NodeListModel *DeviceFinder::nodeModel() const
{
    return m_nodes;
}

ResultRowModel *DeviceFinder::resultRowModel() const
{
    return m_resultRows;
}

QVector<QStringList> DeviceFinder::resultRows() const
{
    return QVector<QStringList> { m_resultRows->headers() } + m_resultRows->table();
}

QVariantMap DeviceFinder::texts() const
{
    return {
        { QStringLiteral("STR_ALL"), STR_ALL },
        { QStringLiteral("STR_NORMAL"), STR_NORMAL },
        { QStringLiteral("STR_IP_CONFLICT"), STR_IP_CONFLICT },
        { QStringLiteral("STR_LINK_FAULT"), STR_LINK_FAULT },
        { QStringLiteral("STR_ONLINE"), STR_ONLINE },
        { QStringLiteral("STR_OFFLINE"), STR_OFFLINE },
        { QStringLiteral("STR_MALFUNCTION"), STR_MALFUNCTION },
        { QStringLiteral("STR_MODIFY_SUCCESS"), STR_MODIFY_SUCCESS },
        { QStringLiteral("STR_MODIFY_FAILURE"), STR_MODIFY_FAILURE },
        { QStringLiteral("STR_MODIFYING_WAIT"), STR_MODIFYING_WAIT },
        { QStringLiteral("STR_SELECT_DEVICE_FIRST"), STR_SELECT_DEVICE_FIRST },
        { QStringLiteral("STR_NETWORK_PORT"), STR_NETWORK_PORT },
        { QStringLiteral("STR_IP_ADDRESS"), STR_IP_ADDRESS },
        { QStringLiteral("STR_SUBNET_MASK"), STR_SUBNET_MASK },
        { QStringLiteral("STR_GATEWAY_ADDRESS"), STR_GATEWAY_ADDRESS },
        { QStringLiteral("STR_FONT_FAMILY"), STR_FONT_FAMILY },
    };
}

int DeviceFinder::allCheckType() const
{
    return m_allCheckType;
}

int DeviceFinder::checkedCount() const
{
    return m_checkedCount;
}

int DeviceFinder::onlineCount() const
{
    return m_onlineCount;
}

int DeviceFinder::tableCount() const
{
    return m_tableCount;
}

int DeviceFinder::scanRound() const
{
    return m_simulation->round();
}

bool DeviceFinder::busy() const
{
    return m_busy;
}

QString DeviceFinder::resultSummary() const
{
    return STR_MODIFY_RESULT.arg(m_results->successNum()).arg(m_results->failureNum());
}

QString DeviceFinder::resultTotal() const
{
    return STR_MODIFY_TOTAL.arg(m_results->totalNum()).arg(m_results->successNum());
}

QVariantMap DeviceFinder::editTarget() const
{
    QVariantMap target { { QStringLiteral("count"), m_editTargets.size() },
        { QStringLiteral("hidden"), m_hiddenChecked }, { QStringLiteral("offline"), m_offlineChecked } };
    if (m_editTargets.isEmpty()) {
        return target;
    }
    const DeviceData &first = *m_editTargets.first();
    int ports = 0;
    for (const QSharedPointer<DeviceData> &device : m_editTargets) {
        ports = qMax(ports, device->ethernetPortNumber());
    }
    target.insert(QStringLiteral("name"), first.name());
    target.insert(QStringLiteral("online"), first.online());
    target.insert(QStringLiteral("ports"), ports);
    target.insert(QStringLiteral("ip"), first.ip());
    target.insert(QStringLiteral("subnetMask"), first.subnetMask());
    target.insert(QStringLiteral("gateway"), first.gateway());
    target.insert(QStringLiteral("ip2"), first.ip2());
    target.insert(QStringLiteral("subnetMask2"), first.subnetMask2());
    target.insert(QStringLiteral("gateway2"), first.gateway2());
    return target;
}

void DeviceFinder::scan(int rounds)
{
    // While a change is in flight the network is not rescanned: the busy state says so.
    if (m_busy) {
        return;
    }
    for (int i = 0; i < rounds; ++i) {
        m_simulation->scanRound();
    }
}

void DeviceFinder::scanInSlices()
{
    if (m_busy || m_simulation->roundUnderWay()) {
        return;
    }
    m_simulation->startRound();
    continueScan();
}

void DeviceFinder::continueScan()
{
    QElapsedTimer clock;
    clock.start();
    while (!m_simulation->continueRound(ScanSliceReports)) {
        if (clock.elapsed() >= ScanSliceMilliseconds) {
            QTimer::singleShot(0, this, &DeviceFinder::continueScan);
            return;
        }
    }
}

namespace {

QString changeInFlightText()
{
    return DeviceFinder::tr("上一次修改尚未结束，请等待其结果");
}

} // namespace

bool DeviceFinder::refuseWhileBusy(const QString &text)
{
    if (!m_busy) {
        return false;
    }
    Q_EMIT messageRequested(text);
    return true;
}

bool DeviceFinder::rescan()
{
    if (refuseWhileBusy(tr("正在修改网络参数，修改结束后才能重新扫描"))) {
        return false;
    }
    scanInSlices();
    return true;
}

void DeviceFinder::restart()
{
    const int timeout = m_change.timeout();
    m_change = ChangeTracker();
    m_change.setTimeout(timeout);
    m_changeTimer->stop();
    setEditTargets({});
    m_planned.clear();
    m_pending.clear();
    m_request = ChangeRequest();
    m_resultRows->reset({});
    if (!m_awaitingScan.isEmpty()) {
        m_awaitingScan.clear();
        Q_EMIT awaitingScanChanged();
    }
    m_table->clear();
    m_devices.clear();
    m_counted.clear();
    m_countedOnline = 0;
    m_countedChecked = 0;
    m_countedCheckedOnline = 0;
    scheduleCheckState();
    m_simulation->populate(m_seed, m_deviceCount);
    m_results->resetResultList({});
    m_results->setTotalNum(0);
    m_results->setSuccessNum(0);
    m_results->setFailureNum(0);
    m_results->setEthernetPort(0);
    setBusy(false);
    Q_EMIT resultsChanged();
    Q_EMIT scanRoundChanged();
}

void DeviceFinder::toggleAll()
{
    if (m_table->allCheckType() != ZVRCheckBox::All) {
        m_table->checkAllDevice();
        scheduleCheckState();
        return;
    }
    const QList<QSharedPointer<DeviceData>> devices = tableDevices();
    for (int row = 0; row < devices.size(); ++row) {
        if (devices.at(row) && devices.at(row)->checked()) {
            m_table->checkDevice(row, false);
        }
    }
}

bool DeviceFinder::editChecked(bool includeHidden)
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    // What the user sees, in the order shown: addresses are handed out down the view.
    m_sortModel->refresh();
    QList<QSharedPointer<DeviceData>> targets;
    QSet<const DeviceData *> shown;
    int offline = 0;
    for (int row = 0; row < m_sortModel->rowCount(); ++row) {
        DeviceData *device = m_sortModel->device(row);
        if (!device || !device->checked()) {
            continue;
        }
        shown.insert(device);
        if (device->online()) {
            targets << m_devices.value(device->commMac());
        } else {
            ++offline;
        }
    }
    int hidden = 0;
    for (const QSharedPointer<DeviceData> &device : tableDevices()) {
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
    setEditTargets(targets, includeHidden ? 0 : hidden, offline);
    Q_EMIT editRequested();
    return true;
}

namespace {

ChangeRequest requestFrom(const QVariantMap &settings)
{
    ChangeRequest request;
    request.port1 = portFrom(settings, QString());
    request.changePort2 = settings.value(QStringLiteral("changePort2")).toBool();
    if (request.changePort2) {
        request.port2 = portFrom(settings, QStringLiteral("2"));
    }
    return request;
}

} // namespace

ChangePlan DeviceFinder::plan(const ChangeRequest &request) const
{
    QVector<const DeviceData *> targets;
    targets.reserve(m_editTargets.size());
    for (const QSharedPointer<DeviceData> &device : m_editTargets) {
        targets << device.data();
    }
    QVector<const DeviceData *> known;
    known.reserve(m_devices.size());
    for (const QSharedPointer<DeviceData> &device : m_devices) {
        known << device.data();
    }
    return planChange(targets, request, known);
}

QString DeviceFinder::validateChange(const QVariantMap &settings) const
{
    return plan(requestFrom(settings)).firstError();
}

QVariantMap DeviceFinder::checkChange(const QVariantMap &settings) const
{
    // The editor lists this many devices of a batch; the rest are counted.
    constexpr int previewRows = 200;
    const ChangePlan planned = plan(requestFrom(settings));
    QVariantList preview;
    for (int i = 0; i < planned.devices.size() && i < previewRows; ++i) {
        const PlannedDevice &device = planned.devices.at(i);
        preview << QVariantMap { { QStringLiteral("name"), device.device->name() },
            { QStringLiteral("ip"), device.device->ip() }, { QStringLiteral("newIp"), device.ip },
            { QStringLiteral("newIp2"), device.ip2 } };
    }
    return { { QStringLiteral("errors"), planned.errors }, { QStringLiteral("preview"), preview },
        { QStringLiteral("more"), qMax(0, int(planned.devices.size()) - previewRows) } };
}

bool DeviceFinder::isAwaitingScan(DeviceData *device) const
{
    return device && m_awaitingScan.contains(device->commMac());
}

int DeviceFinder::awaitingScanCount() const
{
    return m_awaitingScan.size();
}

bool DeviceFinder::applyChange(const QVariantMap &settings)
{
    return send(requestFrom(settings));
}

bool DeviceFinder::retryFailed()
{
    if (refuseWhileBusy(changeInFlightText())) {
        return false;
    }
    QList<QSharedPointer<DeviceData>> targets;
    ChangeRequest request = m_request;
    request.offsets.clear();
    // A failed device that is offline now, or forgotten, waits for a later retry.
    for (const ResultRow &row : m_resultRows->rows()) {
        const QSharedPointer<DeviceData> device = m_devices.value(row.mac);
        if (!row.succeeded && device && device->online()) {
            targets << device;
            request.offsets << row.offset;
        }
    }
    if (targets.isEmpty()) {
        Q_EMIT messageRequested(tr("没有可重试的在线失败设备"));
        return false;
    }
    setEditTargets(targets);
    return send(request);
}

bool DeviceFinder::send(const ChangeRequest &request)
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
    m_change.start(change.requestId, change.macs, m_clock.elapsed());
    m_changeTimer->start(m_change.timeout());
    m_results->setEthernetPort(change.port2.isEmpty() ? 1 : 2);
    setBusy(true);
    m_table->setDeviceNetworkConfig(change.macsText(), NetworkChange::portText(change.port1),
        NetworkChange::portText(change.port2), change.requestText());
    return true;
}

void DeviceFinder::showChanged(const QString &commMac)
{
    const QSharedPointer<DeviceData> device = m_devices.value(commMac);
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

bool DeviceFinder::changeAllOnline(const QString &ip, const QString &subnetMask, const QString &gateway)
{
    m_table->checkAllDevice();
    scheduleCheckState();
    QList<QSharedPointer<DeviceData>> targets;
    for (const QSharedPointer<DeviceData> &device : tableDevices()) {
        if (device && device->online()) {
            targets << device;
        }
    }
    setEditTargets(targets);
    return applyChange({ { QStringLiteral("ip"), ip }, { QStringLiteral("subnetMask"), subnetMask },
        { QStringLiteral("gateway"), gateway } });
}

int DeviceFinder::removeOfflineDevices()
{
    int removed = 0;
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if (it.value()->devStatus() == DeviceData::Offline) {
            uncount(it.value().data());
            m_table->removeDevice(it.value());
            m_editTargets.removeAll(it.value());
            it = m_devices.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    if (removed > 0) {
        Q_EMIT editTargetChanged();
    }
    return removed;
}

QString DeviceFinder::ipStateText(int state) const
{
    switch (state) {
    case DeviceData::StateNormal:
        return STR_NORMAL;
    case DeviceData::StateConflict:
        return STR_IP_CONFLICT;
    case DeviceData::StateLinkFault:
        return STR_LINK_FAULT;
    default:
        return QString();
    }
}

QString DeviceFinder::callRollText(int state) const
{
    switch (state) {
    case DeviceData::CallRollOn:
        return tr("点名中");
    case DeviceData::CallRollOff:
        return tr("未点名");
    default:
        return QStringLiteral("--");
    }
}

void DeviceFinder::onDeviceReported(const MacScanDeviceInfo &info, int source)
{
    const QString commMac = info.deviceCommMac();
    const auto known = m_devices.constFind(commMac);
    if (known != m_devices.constEnd()) {
        known.value()->update(info, source);
        if (source == Simulation::MacScanReport && m_awaitingScan.remove(commMac)) {
            Q_EMIT awaitingScanChanged();
        }
        return;
    }
    // First sight: take the whole report, then show the device.
    const QSharedPointer<DeviceData> device(new DeviceData);
    keepCppOwned(device.data());
    device->update(info, ZVR::FirstReport);
    const auto changed = [this, record = device.data()] { recount(record); };
    connect(device.data(), &DeviceData::checkedChanged, this, changed);
    connect(device.data(), &DeviceData::devStatusChanged, this, changed);
    m_devices.insert(commMac, device);
    m_table->appendDevice(device);
    m_counted.insert(device.data(), 0);
    recount(device.data());
    scheduleCheckState();
}

void DeviceFinder::onIpStateReported(const QString &commMac, int state)
{
    const QSharedPointer<DeviceData> device = m_devices.value(commMac);
    if (device) {
        device->setIpState(DeviceData::IpState(state));
    }
}

void DeviceFinder::onEditDevice(const QSharedPointer<DeviceData> &device)
{
    if (!device) {
        return;
    }
    setEditTargets({ device });
    Q_EMIT editRequested();
}

void DeviceFinder::onRequestAnswered(int requestId, const QVector<Simulation::Outcome> &outcomes)
{
    for (const Simulation::Outcome &outcome : outcomes) {
        m_change.answer(requestId, outcome);
    }
    if (m_change.advance(m_clock.elapsed())) {
        endChange();
    }
}

void DeviceFinder::endChange()
{
    m_changeTimer->stop();
    const QStringList timedOut = m_change.timedOut();
    const QSet<QString> silent(timedOut.cbegin(), timedOut.cend());
    QList<QSharedPointer<SettingResultData>> results;
    int succeeded = 0;
    const QVector<Simulation::Outcome> outcomes = m_change.outcomes();
    for (int i = 0; i < outcomes.size(); ++i) {
        const Simulation::Outcome &outcome = outcomes.at(i);
        const QSharedPointer<SettingResultData> result(new SettingResultData);
        keepCppOwned(result.data());
        result->setMac(outcome.commMac);
        result->setIp(outcome.ip);
        if (silent.contains(outcome.commMac)) {
            result->setDetail(ChangeTracker::timedOutText(m_change.timeout()));
        } else {
            result->setDetailVal(outcome.result);
        }
        results << result;
        ResultRow &row = m_pending[i];
        row.succeeded = outcome.result == IpSetSuccess && !silent.contains(outcome.commMac);
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

void DeviceFinder::scheduleCheckState()
{
    // Many devices change in one scan round; the state is worked out once after it.
    if (m_checkStateQueued) {
        return;
    }
    m_checkStateQueued = true;
    QMetaObject::invokeMethod(this, &DeviceFinder::updateCheckState, Qt::QueuedConnection);
}

void DeviceFinder::updateCheckState()
{
    m_checkStateQueued = false;
    // The header box's rule: every online device checked is All, offline rows aside.
    int type = ZVRCheckBox::Some;
    if (m_countedCheckedOnline == 0) {
        type = ZVRCheckBox::None;
    } else if (m_countedCheckedOnline == m_countedOnline) {
        type = ZVRCheckBox::All;
    }
    if (type == m_allCheckType && m_countedChecked == m_checkedCount && m_countedOnline == m_onlineCount
        && m_counted.size() == m_tableCount) {
        return;
    }
    m_tableCount = m_counted.size();
    m_allCheckType = type;
    m_checkedCount = m_countedChecked;
    m_onlineCount = m_countedOnline;
    Q_EMIT checkStateChanged();
}

void DeviceFinder::recount(const DeviceData *device)
{
    const quint8 state = (device->online() ? 1 : 0) | (device->checked() ? 2 : 0);
    // A record that has left the table no longer counts, whatever it still does.
    const auto it = m_counted.find(device);
    if (it == m_counted.end() || it.value() == state) {
        return;
    }
    const quint8 previous = it.value();
    it.value() = state;
    m_countedOnline += (state & 1) - (previous & 1);
    m_countedChecked += ((state >> 1) & 1) - ((previous >> 1) & 1);
    m_countedCheckedOnline += (state == 3 ? 1 : 0) - (previous == 3 ? 1 : 0);
    scheduleCheckState();
}

void DeviceFinder::uncount(const DeviceData *device)
{
    const auto it = m_counted.find(device);
    if (it == m_counted.end()) {
        return;
    }
    const quint8 previous = it.value();
    m_counted.erase(it);
    m_countedOnline -= previous & 1;
    m_countedChecked -= (previous >> 1) & 1;
    m_countedCheckedOnline -= previous == 3 ? 1 : 0;
    scheduleCheckState();
}

QList<QSharedPointer<DeviceData>> DeviceFinder::tableDevices() const
{
    QList<QSharedPointer<DeviceData>> devices;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const DeviceData *device = ZVR::deviceAtRow(m_table, row);
        devices << (device ? m_devices.value(device->commMac()) : QSharedPointer<DeviceData>());
    }
    return devices;
}

void DeviceFinder::setEditTargets(const QList<QSharedPointer<DeviceData>> &devices, int hidden, int offline)
{
    m_editTargets = devices;
    m_hiddenChecked = hidden;
    m_offlineChecked = offline;
    Q_EMIT editTargetChanged();
}

void DeviceFinder::setBusy(bool busy)
{
    if (m_busy == busy) {
        return;
    }
    m_busy = busy;
    Q_EMIT busyChanged();
}

// Qt 6 moc needs the complete types of the pointer properties; they are known here.
#include "moc_devicefinder.cpp"
