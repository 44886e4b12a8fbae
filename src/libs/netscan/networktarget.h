// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKTARGET_H
#define ZVR_NETWORKTARGET_H

#include <netscan/netscan_global.h>

#include <QHostAddress>
#include <QString>

/*! \brief Where the network back-end probes: one interface (multicast) or one
 *  address and port (directed probes).
 */
struct NETSCAN_EXPORT NetworkTarget
{
    //! The interface to probe on by multicast; empty for a directed target.
    QString interfaceName;
    //! The one IPv4 address and port that directed probes go to.
    QHostAddress address;
    //! The UDP port that directed probes go to; 0 for an interface.
    quint16 port = 0;

    //! True when probes go to address:port rather than to an interface.
    bool directed() const { return interfaceName.isEmpty() && port != 0; }
};

/*! \brief Reads "HOST:PORT" (a dotted IPv4 address, a port 1 to 65535) or an
 *  interface name of this machine.
 *
 *  Returns false with a plain English message in \a error when the text is neither:
 *  an address that is not one, a port out of range, an interface that does not exist.
 */
NETSCAN_EXPORT bool parseNetworkTarget(const QString &text, NetworkTarget *target, QString *error);

#endif // ZVR_NETWORKTARGET_H
