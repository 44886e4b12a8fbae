// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicefinder.h"

#include "changesession.h"
#include "checktotals.h"
#include "deviceregistry.h"
#include "nodelistmodel.h"

#include <netscan/scanbackend.h>
#include <zvrviewmodel/comboboxmodel.h>
#include <zvrviewmodel/devicedata.h>
#include <zvrviewmodel/devicesortfilterproxymodel.h>
#include <zvrviewmodel/devicetablemodel.h>
#include <zvrviewmodel/displaytexts.h>
#include <zvrviewmodel/settingresulttablemodel.h>
#include <zvrviewmodel/zvrenums.h>

namespace {

// The first few names, enough to tell which nodes keep their addresses.
QString nodeNamesText(const QStringList &names)
{
    constexpr int Shown = 3;
    const QString shown = names.mid(0, Shown).join(QStringLiteral("、"));
    return names.size() > Shown ? DeviceFinder::tr("%1等").arg(shown) : shown;
}

PortSettings portFrom(const QVariantMap &settings, const QString &suffix)
{
    return { settings.value(QStringLiteral("ip") + suffix).toString().trimmed(),
        normalizedMask(settings.value(QStringLiteral("subnetMask") + suffix).toString().trimmed()),
        settings.value(QStringLiteral("gateway") + suffix).toString().trimmed() };
}

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

DeviceFinder::DeviceFinder(ScanBackend *backend, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
    , m_table(new DeviceTableModel(this))
    , m_sortModel(new DeviceSortFilterProxyModel(this))
    , m_statusModel(new ComboBoxModel(this))
    , m_registry(new DeviceRegistry(m_table, this))
    , m_nodes(new NodeListModel(m_table, m_registry->runModes(), this))
    , m_totals(new CheckTotals(this))
    , m_session(new ChangeSession(m_registry, m_table, m_sortModel, this))
{
    m_sortModel->setSourceModel(m_table);
    m_statusModel->resetModel({ STR_ALL, STR_ONLINE, STR_OFFLINE, STR_MALFUNCTION });
    // Entry i of the status list shows DeviceData::DeviceStatus i - 1; "全部" shows all.
    connect(m_statusModel, &ComboBoxModel::currentIndexChanged, this,
        [this] { m_sortModel->setStatusFilter(m_statusModel->currentIndex() - 1); });

    connect(m_backend, &ScanBackend::deviceReported, m_registry, &DeviceRegistry::report);
    connect(m_backend, &ScanBackend::ipStateReported, m_registry, &DeviceRegistry::reportIpState);
    connect(m_backend, &ScanBackend::roundFinished, this, &DeviceFinder::scanRoundChanged);
    connect(m_backend, &ScanBackend::changeAnswered, m_session, &ChangeSession::answer);

    connect(m_registry, &DeviceRegistry::deviceAdded, m_totals, &CheckTotals::add);
    connect(m_registry, &DeviceRegistry::deviceRemoved, m_totals, &CheckTotals::remove);
    connect(m_registry, &DeviceRegistry::addressesReported, m_session, &ChangeSession::confirm);
    connect(m_totals, &CheckTotals::changed, this, &DeviceFinder::checkStateChanged);

    connect(m_session, &ChangeSession::busyChanged, this, &DeviceFinder::busyChanged);
    connect(m_session, &ChangeSession::resultsChanged, this, &DeviceFinder::resultsChanged);
    connect(m_session, &ChangeSession::resultsReady, this, &DeviceFinder::resultsReady);
    connect(m_session, &ChangeSession::targetsChanged, this, &DeviceFinder::editTargetChanged);
    connect(m_session, &ChangeSession::awaitingScanChanged, this, &DeviceFinder::awaitingScanChanged);
    connect(m_session, &ChangeSession::timeoutChanged, this, &DeviceFinder::changeTimeoutChanged);
    connect(m_session, &ChangeSession::messageRequested, this, &DeviceFinder::messageRequested);
    connect(m_session, &ChangeSession::settled, this, &DeviceFinder::statusTextChanged);

    connect(m_table, &DeviceTableModel::editDevice, this, &DeviceFinder::onEditDevice);
    connect(m_table, &DeviceTableModel::deviceCheckChanged, m_totals, &CheckTotals::schedule);
    connect(m_table, &DeviceTableModel::rowCountChanged, m_totals, &CheckTotals::schedule);
}

DeviceFinder::~DeviceFinder() = default;

ScanBackend *DeviceFinder::backend() const
{
    return m_backend;
}

int DeviceFinder::changeTimeout() const
{
    return m_session->timeout();
}

void DeviceFinder::setChangeTimeout(int milliseconds)
{
    m_session->setTimeout(milliseconds);
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
    return m_session->results();
}

NodeListModel *DeviceFinder::nodeModel() const
{
    return m_nodes;
}

ResultRowModel *DeviceFinder::resultRowModel() const
{
    return m_session->resultRows();
}

QVector<QStringList> DeviceFinder::resultRows() const
{
    return QVector<QStringList> { resultRowModel()->headers() } + resultRowModel()->table();
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
        { QStringLiteral("STR_NETWORK_UNCHANGED"), STR_NETWORK_UNCHANGED },
    };
}

int DeviceFinder::allCheckType() const
{
    return m_totals->allCheckType();
}

int DeviceFinder::checkedCount() const
{
    return m_totals->checkedCount();
}

int DeviceFinder::onlineCount() const
{
    return m_totals->onlineCount();
}

int DeviceFinder::tableCount() const
{
    return m_totals->tableCount();
}

int DeviceFinder::scanRound() const
{
    return m_backend->round();
}

bool DeviceFinder::busy() const
{
    return m_session->busy();
}

QString DeviceFinder::resultSummary() const
{
    const QString summary = STR_MODIFY_RESULT.arg(resultModel()->successNum()).arg(resultModel()->failureNum());
    const int unconfirmed = m_session->unconfirmedCount();
    return unconfirmed == 0 ? summary : summary + tr(", 未确认%1个").arg(unconfirmed);
}

QString DeviceFinder::resultTotal() const
{
    return STR_MODIFY_TOTAL.arg(resultModel()->totalNum()).arg(resultModel()->successNum());
}

QVariantMap DeviceFinder::editTarget() const
{
    const QList<QSharedPointer<DeviceData>> &targets = m_session->targets();
    const LeftOut &leftOut = m_session->leftOut();
    QVariantMap target { { QStringLiteral("count"), targets.size() }, { QStringLiteral("hidden"), leftOut.hidden },
        { QStringLiteral("offline"), leftOut.offline }, { QStringLiteral("fault"), leftOut.fault },
        { QStringLiteral("nodes"), leftOut.nodes }, { QStringLiteral("nodeNames"), nodeNamesText(leftOut.nodeNames) } };
    if (targets.isEmpty()) {
        return target;
    }
    const DeviceData &first = *targets.first();
    int ports = 0;
    for (const QSharedPointer<DeviceData> &device : targets) {
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
    if (busy()) {
        return;
    }
    for (int i = 0; i < rounds; ++i) {
        m_backend->startRound();
        m_backend->finishRound();
    }
}

void DeviceFinder::scanInSlices()
{
    if (busy() || m_backend->roundUnderWay()) {
        return;
    }
    m_backend->startRound();
}

bool DeviceFinder::rescan()
{
    if (m_session->refuseWhileBusy(tr("正在修改网络参数，修改结束后才能重新扫描"))) {
        return false;
    }
    scanInSlices();
    return true;
}

void DeviceFinder::restart()
{
    m_session->reset();
    m_registry->clear();
    m_totals->clear();
    m_backend->restart();
    Q_EMIT scanRoundChanged();
}

void DeviceFinder::toggleAll()
{
    if (m_table->allCheckType() != ZVRCheckBox::All) {
        m_table->checkAllDevice();
        m_totals->schedule();
        return;
    }
    const QList<QSharedPointer<DeviceData>> devices = m_registry->tableDevices();
    for (int row = 0; row < devices.size(); ++row) {
        if (devices.at(row) && devices.at(row)->checked()) {
            m_table->checkDevice(row, false);
        }
    }
}

bool DeviceFinder::editChecked(bool includeHidden)
{
    if (!m_session->targetChecked(includeHidden)) {
        return false;
    }
    Q_EMIT editRequested();
    return true;
}

QString DeviceFinder::validateChange(const QVariantMap &settings) const
{
    return m_session->plan(requestFrom(settings)).firstError();
}

QVariantMap DeviceFinder::checkChange(const QVariantMap &settings) const
{
    // The editor lists this many devices of a batch; the rest are counted.
    constexpr int previewRows = 200;
    const ChangePlan planned = m_session->plan(requestFrom(settings));
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
    return device && m_session->isAwaitingScan(device->commMac());
}

int DeviceFinder::awaitingPorts(DeviceData *device) const
{
    return device ? m_session->awaitingPorts(device->commMac()) : 0;
}

QString DeviceFinder::statusText() const
{
    return m_session->settledText();
}

int DeviceFinder::unsettledCount() const
{
    return m_session->unsettledCount();
}

int DeviceFinder::awaitingScanCount() const
{
    return m_session->awaitingScanCount();
}

bool DeviceFinder::applyChange(const QVariantMap &settings)
{
    return m_session->send(requestFrom(settings));
}

bool DeviceFinder::retryFailed()
{
    return m_session->retryFailed();
}

bool DeviceFinder::changeAllOnline(const QString &ip, const QString &subnetMask, const QString &gateway)
{
    m_table->checkAllDevice();
    m_totals->schedule();
    LeftOut leftOut;
    m_session->setTargets(m_session->changeable(m_registry->tableDevices(), &leftOut), leftOut);
    return applyChange({ { QStringLiteral("ip"), ip }, { QStringLiteral("subnetMask"), subnetMask },
        { QStringLiteral("gateway"), gateway } });
}

int DeviceFinder::removeOfflineDevices()
{
    const QList<QSharedPointer<DeviceData>> removed = m_registry->removeOffline();
    for (const QSharedPointer<DeviceData> &device : removed) {
        m_session->forget(device);
    }
    return removed.size();
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

void DeviceFinder::onEditDevice(const QSharedPointer<DeviceData> &device)
{
    if (!device) {
        return;
    }
    m_session->setTargets({ device });
    Q_EMIT editRequested();
}

// Qt 6 moc needs the complete types of the pointer properties; they are known here.
#include "moc_devicefinder.cpp"
