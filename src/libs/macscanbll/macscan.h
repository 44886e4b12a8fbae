// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_MACSCAN_H
#define ZVR_MACSCAN_H

#include <macscanbll/macscanbll_global.h>

#include <QObject>
#include <QString>

namespace ZVR {
namespace BLL {

/*! \brief The process-wide scan back-end.
 *
 *  This stand-in talks to no network: a network change request is published through
 *  deviceNetworkInfoRequested() for whoever plays the devices' side.
 */
class MACSCANBLL_EXPORT MacScan : public QObject
{
    Q_OBJECT

public:
    //! The one back-end object of the process.
    static MacScan *getInstance();

    //! Asks the devices for a network change; the four texts go out unchanged.
    void setDeviceNetworkInfo(const QString &first, const QString &second, const QString &third,
                              const QString &fourth);

Q_SIGNALS:
    //! A change request as setDeviceNetworkInfo() received it.
    void deviceNetworkInfoRequested(const QString &first, const QString &second, const QString &third,
                                    const QString &fourth);

private:
    explicit MacScan(QObject *parent = nullptr);
    ~MacScan() override;
    Q_DISABLE_COPY(MacScan)
};

} // namespace BLL
} // namespace ZVR

#endif // ZVR_MACSCAN_H
