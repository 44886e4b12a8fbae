// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_SETTINGRESULTDATA_H
#define ZVR_SETTINGRESULTDATA_H

#include <zvrviewmodel/zvrviewmodel_global.h>
#include <macscanbll/macscandeviceinfo.h>

#include <QObject>
#include <QString>

#include <memory>

class SettingResultDataPrivate;

//! \brief The outcome of an address change for one device.
class ZVRVIEWMODEL_EXPORT SettingResultData : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString detail READ detail WRITE setDetail NOTIFY detailChanged)
    Q_PROPERTY(QString mac READ mac WRITE setMac NOTIFY macChanged)
    Q_PROPERTY(QString ip READ ip WRITE setIp NOTIFY ipChanged)

public:
    //! A record with every text empty.
    explicit SettingResultData(QObject *parent = nullptr);
    //! Copies the texts but not the parent; no signal.
    SettingResultData(const SettingResultData &other);
    //! Copies the texts and emits each changed property's signal.
    SettingResultData &operator=(const SettingResultData &other);
    ~SettingResultData() override;

    //!@{
    //! Why the change failed; empty for a success.
    QString detail() const;
    void setDetail(const QString &detail);
    //!@}
    //!@{
    //! The device's communication MAC.
    QString mac() const;
    void setMac(const QString &mac);
    //!@}
    //!@{
    //! The address the row shows for the device.
    QString ip() const;
    void setIp(const QString &ip);
    //!@}

    //! The detail text of an outcome; empty for success and for unknown values.
    static QString failDetail(IpSettingResult result);
    //! setDetail() with failDetail() of \a result.
    void setDetailVal(IpSettingResult result);

    //! One-line description of the texts, for log lines.
    QString toString() const;

Q_SIGNALS:
    //!@{
    //! Emitted after the property of the same name changed.
    void detailChanged();
    void macChanged();
    void ipChanged();
    //!@}

private:
    Q_DECLARE_PRIVATE(SettingResultData)
    std::unique_ptr<SettingResultDataPrivate> const d_ptr;
};

#endif // ZVR_SETTINGRESULTDATA_H
