// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEDATA_H
#define ZVR_DEVICEDATA_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <zvrviewmodel/reportupdate.h>
#include <macscanbll/macscandeviceinfo.h>

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class DeviceDataPrivate;

/*! \brief The observable record of one found device.
 *
 *  The interface binds to its properties by name; every setter signals only on a real
 *  change, and derived texts signal right after their source.
 */
class ZVRVIEWMODEL_EXPORT DeviceData : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool checked READ checked WRITE setChecked NOTIFY checkedChanged)
    Q_PROPERTY(QString devModel READ devModel WRITE setDevModel NOTIFY devModelChanged)
    Q_PROPERTY(QString nodeType READ nodeType NOTIFY nodeTypeChanged)
    Q_PROPERTY(IpState ipState READ ipState WRITE setIpState NOTIFY ipStateChanged)
    Q_PROPERTY(QString serialNumber READ serialNumber WRITE setSerialNumber NOTIFY serialNumberChanged)
    Q_PROPERTY(QString mac READ mac NOTIFY macChanged)
    Q_PROPERTY(QString ip READ ip NOTIFY ipChanged)
    Q_PROPERTY(QString subnetMask READ subnetMask NOTIFY subnetMaskChanged)
    Q_PROPERTY(QString gateway READ gateway NOTIFY gatewayChanged)
    Q_PROPERTY(QString mac2 READ mac2 NOTIFY mac2Changed)
    Q_PROPERTY(QString ip2 READ ip2 NOTIFY ip2Changed)
    Q_PROPERTY(QString subnetMask2 READ subnetMask2 NOTIFY subnetMask2Changed)
    Q_PROPERTY(QString gateway2 READ gateway2 NOTIFY gateway2Changed)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString subNodeType READ subNodeType NOTIFY subNodeTypeChanged)
    Q_PROPERTY(QString firmwareVer READ firmwareVer WRITE setFirmwareVer NOTIFY firmwareVerChanged)
    Q_PROPERTY(QString devTime READ devTime WRITE setDevTime NOTIFY devTimeChanged)
    Q_PROPERTY(int callRollState READ callRollState WRITE setCallRollState NOTIFY callRollStateChanged)
    Q_PROPERTY(QString runMode READ runMode NOTIFY runModeChanged)
    Q_PROPERTY(QString completeType READ completeType NOTIFY completeTypeChanged)
    Q_PROPERTY(DeviceStatus devStatus READ devStatus WRITE setDevStatus NOTIFY devStatusChanged)
    Q_PROPERTY(QString devStatusStr READ devStatusStr NOTIFY devStatusStrChanged)
    Q_PROPERTY(QString malfunction READ malfunction NOTIFY malfunctionChanged)

public:
    //! State of the device's addresses, as the MAC scan reports it.
    enum IpState {
        StateNormal = 1,
        StateConflict = 2,
        StateLinkFault = 3,
    };
    Q_ENUM(IpState)

    //! Whether the device answers; a malfunction counts as not online.
    enum DeviceStatus {
        Online = 0,
        Offline = 1,
        Malfunction = 2,
    };
    Q_ENUM(DeviceStatus)

    //! Roll-call state of the device, as its UDP answer reports it.
    enum CallRollState {
        CallRollInvalid = -1,
        CallRollOff = 0,
        CallRollOn = 1,
    };
    Q_ENUM(CallRollState)

    //! An empty record: online (devStatus() is Online), no ports, every text empty or "--".
    explicit DeviceData(QObject *parent = nullptr);
    //! Copies every field but not the parent; no signal.
    DeviceData(const DeviceData &other);
    //! Copies every field and emits each changed property's signal.
    DeviceData &operator=(const DeviceData &other);
    ~DeviceData() override;

    //!@{
    //! Whether the user checked the row; never part of a report.
    bool checked() const;
    void setChecked(bool checked);
    //!@}

    //!@{
    //! The device's model name.
    QString devModel() const;
    void setDevModel(const QString &model);
    //!@}

    //!@{
    //! The device's kind as reported, and as its display text (nodeType()).
    NodeType getNodeType() const;
    void setNodeTypeVal(NodeType type);
    QString nodeType() const;
    //!@}

    //!@{
    //! State of the addresses; ipStateValue() gives the stored number, which may lie
    //! outside IpState when a report carried one.
    IpState ipState() const;
    int ipStateValue();
    void setIpState(IpState state);
    //!@}

    //!@{
    //! The device's serial number.
    QString serialNumber() const;
    void setSerialNumber(const QString &serialNumber);
    //!@}

    //!@{
    //! The name the device reports for itself.
    QString name() const;
    void setName(const QString &name);
    //!@}

    //!@{
    //! The device's clock, as the text it reports.
    QString devTime() const;
    void setDevTime(const QString &time);
    //!@}

    //!@{
    //! Roll-call state, a CallRollState value or any number a report carried.
    int callRollState() const;
    void setCallRollState(int state);
    //!@}

    //!@{
    //! A decoder's sub-kind, stored as reported and read as display text.
    void setSubNodeTypeVal(SubNodeType type);
    QString subNodeType() const;
    //!@}

    //!@{
    //! The firmware version text.
    QString firmwareVer() const;
    void setFirmwareVer(const QString &version);
    //!@}

    //!@{
    //! The node's run mode, stored as reported and read as display text.
    void setRunModeVal(DeviceRunMode mode);
    QString runMode() const;
    //!@}

    //!@{
    //! Online, offline or malfunction, and its display text (devStatusStr()).
    DeviceStatus devStatus() const;
    void setDevStatus(DeviceStatus status);
    QString devStatusStr() const;
    //!@}

    //!@{
    //! The reported fault bits, and the text of the temperature and voltage faults
    //! among them (malfunction()).
    int malfunctionVal() const;
    void setMalfunctionVal(int word);
    QString malfunction() const;
    //!@}

    //!@{
    //! The MAC the device is reached by, the target of a change request. The first
    //! report (ZVR::FirstReport) sets it. The table does not key on it: two records with
    //! one commMac are both appended; ZVR::deviceByCommMac() finds the first.
    QString commMac() const;
    void setCommMac(const QString &mac);
    //!@}

    //! The kind's text, with a decoder's sub-kind after a dash.
    QString completeType() const;
    //!@{
    //! Whether devStatus() is Online; offline() is its negation (a malfunction is offline).
    bool online() const;
    bool offline() const;
    //!@}

    //!@{
    //! Port 1's and port 2's texts; empty for a port the device does not have.
    QString mac() const;
    QString ip() const;
    QString subnetMask() const;
    QString gateway() const;
    QString mac2() const;
    QString ip2() const;
    QString subnetMask2() const;
    QString gateway2() const;
    //!@}

    //! Number of network ports the last report carried.
    int ethernetPortNumber() const;
    //! Every port as reported.
    QVector<t_device_network_info> networkInfo() const;
    //! A port's address as a number; 0 for a port out of range.
    quint32 networkIpInt(int port) const;
    //! Takes the ports and emits every port text's signal, port 1 first.
    void setNetworkInfo(QVector<t_device_network_info> info);

    //! One-line description of every property, for log lines.
    QString toString() const;

    /*! \brief Takes the share of a report that \a mode (a ZVR::ReportUpdate) names.
     *
     *  | mode | fields taken |
     *  |---|---|
     *  | ZVR::FirstReport (0) | both shares below, and commMac() (without a signal) |
     *  | ZVR::MacScanReport (1) | devModel, nodeType, serialNumber, the ports (mac, ip, subnetMask, gateway and their port-2 twins), malfunction, devStatus (offline flag first, then the malfunction word) |
     *  | ZVR::UdpReport (2) | name, subNodeType, firmwareVer, runMode, devTime, callRollState |
     *  | any other value | nothing |
     *
     *  A field outside the mode's share keeps its value: a device renamed and then
     *  reported with ZVR::MacScanReport keeps its old name until a ZVR::UdpReport.
     *  No mode touches checked, ipState or (after the first report) commMac. Of each
     *  port, ipInt is computed again from ip (the reported number is ignored) and id is
     *  stored as reported and handed back by networkInfo(), unused by the library.
     */
    void update(const MacScanDeviceInfo &info, int mode);
    //! Takes the MAC scan's fields of a report.
    void updateFromMac(const MacScanDeviceInfo &info);
    //! Takes the UDP answer's fields of a report.
    void updateFromUdp(const MacScanDeviceInfo &info);

Q_SIGNALS:
    //!@{
    //! Emitted after the property of the same name changed.
    void checkedChanged();
    void devModelChanged();
    void nodeTypeChanged();
    void ipStateChanged();
    void serialNumberChanged();
    void macChanged();
    void ipChanged();
    void subnetMaskChanged();
    void gatewayChanged();
    void mac2Changed();
    void ip2Changed();
    void subnetMask2Changed();
    void gateway2Changed();
    void nameChanged();
    void firmwareVerChanged();
    void devTimeChanged();
    void callRollStateChanged();
    void subNodeTypeChanged();
    void runModeChanged();
    void completeTypeChanged();
    void devStatusChanged();
    void devStatusStrChanged();
    void malfunctionChanged();
    //!@}

private:
    Q_DECLARE_PRIVATE(DeviceData)
    std::unique_ptr<DeviceDataPrivate> const d_ptr;
};

#endif // ZVR_DEVICEDATA_H
