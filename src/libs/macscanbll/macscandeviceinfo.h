// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_MACSCANDEVICEINFO_H
#define ZVR_MACSCANDEVICEINFO_H

//! \file
//! The back-end's report of a device, its ports and the enumerations of its fields.

#include <macscanbll/macscanbll_global.h>

#include <QString>
#include <QVector>

//! One Ethernet port of a device as the back-end reports it.
struct t_device_network_info
{
    //! the port's number on the device, as the back-end numbers it; stored and handed back
    //! by DeviceData::networkInfo(), otherwise unused: port 1 is the report's first entry
    qint32 id = 0;
    QString mac; //!< the port's MAC address
    QString ip; //!< dotted IPv4 address
    QString subnetMask; //!< dotted IPv4 mask
    QString gateway; //!< dotted IPv4 gateway
    //! ip as a number, first part in the high byte; DeviceData computes it again from ip
    //! (0xFFFFFFFF for a text that is no address) and ignores the reported one
    quint32 ipInt = 0;
};

// The back-end may report any int for these; the fixed underlying type keeps a value
// outside the lists a defined value, shown as an empty text.

//! The kind of a device.
enum NodeType : int {
    NodeInvalid = 0,
    NodeEncoder = 1,
    NodeDecoder = 2,
    NodeDecoderTwoInOne = 3,
    NodeCentralControl = 4,
};

//! A decoder's sub-kind.
enum SubNodeType : int {
    SubNodeNone = 0,
    SubNodeSeat = 1,
    SubNodeBigScreen = 2,
    SubNodeEcho = 3,
};

//! A node's role among the central controllers.
enum DeviceRunMode : int {
    RunModeNormal = 0,
    RunModeMaster = 1,
    RunModeBackup = 2,
    RunModeInvalid = 3,
};

//! Bits of the malfunction word that carry a meaning.
enum MalfunctionFlag {
    MalfunctionTemperature = 0x1,
    MalfunctionVoltage = 0x2,
};

//! Outcome of an address change for one device.
enum IpSettingResult : int {
    IpSetSuccess = 0,
    IpSetDeviceNotReady = 1,
    IpSetSameAsNodeIp = 2,
    IpSetNodeIpLocked = 3,
    IpSetPortCheckFailed = 4,
    IpSetFormatError = 5,
    IpSetSameSegment = 6,
    IpSetTimeout = 999,
};

/*! \brief One device report of the scan back-end.
 *
 *  A plain value: the back-end fills it through the setters, the view-model layer
 *  reads it through the getters.
 */
class MACSCANBLL_EXPORT MacScanDeviceInfo
{
public:
    //!@{
    //! An empty report of an online device with no ports; copied and moved as a value.
    MacScanDeviceInfo();
    MacScanDeviceInfo(const MacScanDeviceInfo &other);
    MacScanDeviceInfo(MacScanDeviceInfo &&other) noexcept;
    MacScanDeviceInfo &operator=(const MacScanDeviceInfo &other);
    MacScanDeviceInfo &operator=(MacScanDeviceInfo &&other) noexcept;
    ~MacScanDeviceInfo();
    //!@}

    //!@{
    //! The report's fields, as the back-end set them.
    QString deviceModel() const;
    QString deviceSN() const;
    QString name() const;
    QString firmwareVer() const;
    QString devTime() const;
    QString deviceCommMac() const;
    NodeType nodeType() const;
    SubNodeType subNodeType() const;
    DeviceRunMode runMode() const;
    QVector<t_device_network_info> networkInfo() const;
    int malfunction() const;
    bool isOffline() const;
    int callRollState() const;
    //!@}

    //!@{
    //! Set by the back-end while it builds the report.
    void setDeviceModel(const QString &model);
    void setDeviceSN(const QString &serialNumber);
    void setName(const QString &name);
    void setFirmwareVer(const QString &version);
    void setDevTime(const QString &time);
    void setDeviceCommMac(const QString &mac);
    void setNodeType(NodeType type);
    void setSubNodeType(SubNodeType type);
    void setRunMode(DeviceRunMode mode);
    void setNetworkInfo(const QVector<t_device_network_info> &ports);
    void setMalfunction(int word);
    void setOffline(bool offline);
    void setCallRollState(int state);
    //!@}

private:
    QString m_deviceModel;
    QString m_deviceSN;
    QString m_name;
    QString m_firmwareVer;
    QString m_devTime;
    QString m_deviceCommMac;
    NodeType m_nodeType = NodeInvalid;
    SubNodeType m_subNodeType = SubNodeNone;
    DeviceRunMode m_runMode = RunModeInvalid;
    QVector<t_device_network_info> m_networkInfo;
    int m_malfunction = 0;
    bool m_offline = false;
    int m_callRollState = 0;
};

#endif // ZVR_MACSCANDEVICEINFO_H
