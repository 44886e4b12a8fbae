// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "macscandeviceinfo.h"

MacScanDeviceInfo::MacScanDeviceInfo() = default;
MacScanDeviceInfo::MacScanDeviceInfo(const MacScanDeviceInfo &other) = default;
MacScanDeviceInfo::MacScanDeviceInfo(MacScanDeviceInfo &&other) noexcept = default;
MacScanDeviceInfo &MacScanDeviceInfo::operator=(const MacScanDeviceInfo &other) = default;
MacScanDeviceInfo &MacScanDeviceInfo::operator=(MacScanDeviceInfo &&other) noexcept = default;
MacScanDeviceInfo::~MacScanDeviceInfo() = default;

QString MacScanDeviceInfo::deviceModel() const { return m_deviceModel; }
QString MacScanDeviceInfo::deviceSN() const { return m_deviceSN; }
QString MacScanDeviceInfo::name() const { return m_name; }
QString MacScanDeviceInfo::firmwareVer() const { return m_firmwareVer; }
QString MacScanDeviceInfo::devTime() const { return m_devTime; }
QString MacScanDeviceInfo::deviceCommMac() const { return m_deviceCommMac; }
NodeType MacScanDeviceInfo::nodeType() const { return m_nodeType; }
SubNodeType MacScanDeviceInfo::subNodeType() const { return m_subNodeType; }
DeviceRunMode MacScanDeviceInfo::runMode() const { return m_runMode; }
QVector<t_device_network_info> MacScanDeviceInfo::networkInfo() const { return m_networkInfo; }
int MacScanDeviceInfo::malfunction() const { return m_malfunction; }
bool MacScanDeviceInfo::isOffline() const { return m_offline; }
int MacScanDeviceInfo::callRollState() const { return m_callRollState; }

void MacScanDeviceInfo::setDeviceModel(const QString &model) { m_deviceModel = model; }
void MacScanDeviceInfo::setDeviceSN(const QString &serialNumber) { m_deviceSN = serialNumber; }
void MacScanDeviceInfo::setName(const QString &name) { m_name = name; }
void MacScanDeviceInfo::setFirmwareVer(const QString &version) { m_firmwareVer = version; }
void MacScanDeviceInfo::setDevTime(const QString &time) { m_devTime = time; }
void MacScanDeviceInfo::setDeviceCommMac(const QString &mac) { m_deviceCommMac = mac; }
void MacScanDeviceInfo::setNodeType(NodeType type) { m_nodeType = type; }
void MacScanDeviceInfo::setSubNodeType(SubNodeType type) { m_subNodeType = type; }
void MacScanDeviceInfo::setRunMode(DeviceRunMode mode) { m_runMode = mode; }
void MacScanDeviceInfo::setNetworkInfo(const QVector<t_device_network_info> &ports) { m_networkInfo = ports; }
void MacScanDeviceInfo::setMalfunction(int word) { m_malfunction = word; }
void MacScanDeviceInfo::setOffline(bool offline) { m_offline = offline; }
void MacScanDeviceInfo::setCallRollState(int state) { m_callRollState = state; }
