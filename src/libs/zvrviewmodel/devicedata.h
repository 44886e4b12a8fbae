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
    enum IpState {
        StateNormal = 1,
        StateConflict = 2,
        StateLinkFault = 3,
    };
    Q_ENUM(IpState)

    enum DeviceStatus {
        Online = 0,
        Offline = 1,
        Malfunction = 2,
    };
    Q_ENUM(DeviceStatus)

    enum CallRollState {
        CallRollInvalid = -1,
        CallRollOff = 0,
        CallRollOn = 1,
    };
    Q_ENUM(CallRollState)

    explicit DeviceData(QObject *parent = nullptr);
    DeviceData(const DeviceData &other);
    DeviceData &operator=(const DeviceData &other);
    ~DeviceData() override;

    bool checked() const;
    void setChecked(bool checked);

    QString devModel() const;
    void setDevModel(const QString &model);

    NodeType getNodeType() const;
    void setNodeTypeVal(NodeType type);
    QString nodeType() const;

    IpState ipState() const;
    int ipStateValue();
    void setIpState(IpState state);

    QString serialNumber() const;
    void setSerialNumber(const QString &serialNumber);

    QString name() const;
    void setName(const QString &name);

    QString devTime() const;
    void setDevTime(const QString &time);

    int callRollState() const;
    void setCallRollState(int state);

    void setSubNodeTypeVal(SubNodeType type);
    QString subNodeType() const;

    QString firmwareVer() const;
    void setFirmwareVer(const QString &version);

    void setRunModeVal(DeviceRunMode mode);
    QString runMode() const;

    DeviceStatus devStatus() const;
    void setDevStatus(DeviceStatus status);
    QString devStatusStr() const;

    int malfunctionVal() const;
    void setMalfunctionVal(int word);
    QString malfunction() const;

    QString commMac() const;
    void setCommMac(const QString &mac);

    QString completeType() const;
    bool online() const;
    bool offline() const;

    QString mac() const;
    QString ip() const;
    QString subnetMask() const;
    QString gateway() const;
    QString mac2() const;
    QString ip2() const;
    QString subnetMask2() const;
    QString gateway2() const;

    int ethernetPortNumber() const;
    QVector<t_device_network_info> networkInfo() const;
    quint32 networkIpInt(int port) const;
    void setNetworkInfo(QVector<t_device_network_info> info);

    //! One-line description of every property, for log lines.
    QString toString() const;

    //! Takes the share of a report that mode (a ZVR::ReportUpdate) names.
    void update(const MacScanDeviceInfo &info, int mode);
    void updateFromMac(const MacScanDeviceInfo &info);
    void updateFromUdp(const MacScanDeviceInfo &info);

Q_SIGNALS:
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

private:
    Q_DECLARE_PRIVATE(DeviceData)
    std::unique_ptr<DeviceDataPrivate> const d_ptr;
};

#endif // ZVR_DEVICEDATA_H
