// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_CHANGEPLAN_H
#define ZVR_DEVICEFINDER_CHANGEPLAN_H

#include "nodelistmodel.h"

#include <netscan/networkchange.h>

#include <QVariantMap>
#include <QVector>

class DeviceData;

//! What the editor asks for: the first port's settings, and the second's when changed.
struct ChangeRequest
{
    PortSettings port1;
    bool changePort2 = false;
    PortSettings port2;
    //! As NetworkChange::offsets: a retry keeps each device's place in the first plan.
    QVector<quint32> offsets;
};

//! One device of a plan and the addresses it is to take.
struct PlannedDevice
{
    const DeviceData *device = nullptr;
    QString ip;
    QString ip2;
    quint32 offset = 0;
};

/*! \brief Which device takes which address, and what is wrong with that.
 *
 *  Devices take addresses up from the start address in the order given, which is the
 *  order the user sees. Refusals are kept by the field they concern ("ip",
 *  "subnetMask", "gateway", and the same with "2" for the second port; "" for the
 *  change as a whole), so that the editor shows each beside its field.
 */
struct ChangePlan
{
    QVector<PlannedDevice> devices;
    QVariantMap errors;

    bool isValid() const { return errors.isEmpty(); }
    //! The first refusal, the field it concerns named, or an empty text.
    QString firstError() const;
};

//! An address a device may hold besides those it shows: a change it has not confirmed.
struct HeldAddress
{
    const DeviceData *device = nullptr;
    QString ip;
    int port = 1;
};

/*! A mask as technicians type it: dotted ("255.255.255.0") or a prefix length ("24",
 *  "/24"), given back dotted; anything else comes back as it was, for the plan to refuse.
 */
QString normalizedMask(const QString &text);

/*! Plans \a request for \a targets. \a known are all devices the tool lists: no
 *  planned address may be one that a device outside the plan holds on either port, and
 *  control nodes (by \a runModeOf) keep theirs.
 */
ChangePlan planChange(const QVector<const DeviceData *> &targets, const ChangeRequest &request,
    const QVector<const DeviceData *> &known, const RunModeOf &runModeOf,
    const QVector<HeldAddress> &alsoHeld = {});

#endif // ZVR_DEVICEFINDER_CHANGEPLAN_H
