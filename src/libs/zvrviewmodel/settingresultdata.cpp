// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "settingresultdata.h"

#include "notifyingstore_p.h"

#include <QMap>

using ZVR::Private::storeAndNotify;

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
    return d_func()->detail;
}

void SettingResultData::setDetail(const QString &detail)
{
    storeAndNotify(this, d_func()->detail, detail, &SettingResultData::detailChanged);
}

QString SettingResultData::mac() const
{
    return d_func()->mac;
}

void SettingResultData::setMac(const QString &mac)
{
    storeAndNotify(this, d_func()->mac, mac, &SettingResultData::macChanged);
}

QString SettingResultData::ip() const
{
    return d_func()->ip;
}

void SettingResultData::setIp(const QString &ip)
{
    storeAndNotify(this, d_func()->ip, ip, &SettingResultData::ipChanged);
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
