// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "settingresultdata.h"

#include "displaytexts.h"

#include <QMap>

// Detail texts of the outcomes, translated once when the library is loaded.
static const QMap<int, QString> failDetailTexts = {
    { IpSetSuccess, QObject::tr("") },
    { IpSetDeviceNotReady, QObject::tr("设备未初始化完成") },
    { IpSetSameAsNodeIp, QObject::tr("设备ip不能和主或备节点ip相同") },
    { IpSetNodeIpLocked, QObject::tr("不能修改主或备节点ip") },
    { IpSetPortCheckFailed, QObject::tr("网口参数校验失败") },
    { IpSetFormatError, QObject::tr("网络配置格式错误") },
    { IpSetSameSegment, QObject::tr("网口ip网段不能相同") },
    { IpSetTimeout, QObject::tr("网络超时") },
};

class SettingResultDataPrivate
{
public:
    QString detail;
    QString mac;
    QString ip;
};

SettingResultData::SettingResultData(QObject *parent)
    : QObject(parent)
    , d_ptr(std::make_unique<SettingResultDataPrivate>())
{
}

// A copy stands on its own: no parent, none of the source's object state.
SettingResultData::SettingResultData(const SettingResultData &other)
    : QObject(nullptr)
    , d_ptr(std::make_unique<SettingResultDataPrivate>(*other.d_ptr))
{
}

// Copies the texts silently; the object keeps its parent and identity.
SettingResultData &SettingResultData::operator=(const SettingResultData &other)
{
    if (this == &other) {
        return *this;
    }
    Q_D(SettingResultData);
    d->detail = other.d_ptr->detail;
    d->mac = other.d_ptr->mac;
    d->ip = other.d_ptr->ip;
    return *this;
}

SettingResultData::~SettingResultData() = default;

QString SettingResultData::detail() const
{
    Q_D(const SettingResultData);
    return d->detail;
}

void SettingResultData::setDetail(const QString &detail)
{
    Q_D(SettingResultData);
    if (d->detail == detail) {
        return;
    }
    d->detail = detail;
    Q_EMIT detailChanged();
}

QString SettingResultData::mac() const
{
    Q_D(const SettingResultData);
    return d->mac;
}

void SettingResultData::setMac(const QString &mac)
{
    Q_D(SettingResultData);
    if (d->mac == mac) {
        return;
    }
    d->mac = mac;
    Q_EMIT macChanged();
}

QString SettingResultData::ip() const
{
    Q_D(const SettingResultData);
    return d->ip;
}

void SettingResultData::setIp(const QString &ip)
{
    Q_D(SettingResultData);
    if (d->ip == ip) {
        return;
    }
    d->ip = ip;
    Q_EMIT ipChanged();
}

QString SettingResultData::failDetail(IpSettingResult result)
{
    // value() never inserts, so an unknown outcome only yields an empty text.
    return failDetailTexts.value(static_cast<int>(result));
}

void SettingResultData::setDetailVal(IpSettingResult result)
{
    setDetail(failDetail(result));
}

QString SettingResultData::toString() const
{
    Q_D(const SettingResultData);
    return QLatin1String("detail:") + d->detail + QLatin1String(" mac:") + d->mac + QLatin1String(" ip:")
        + d->ip;
}
