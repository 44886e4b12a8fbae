// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_ONVIFMESSAGES_P_H
#define ZVR_ONVIFMESSAGES_P_H

//
//  W A R N I N G
//  -------------
//  Not part of the library's API: the messages of WS-Discovery and the device service
//  as the network back-end writes and reads them. Exported for the tests only.
//

#include <netscan/netscan_global.h>

#include <macscanbll/macscandeviceinfo.h>

#include <QByteArray>
#include <QDateTime>
#include <QLoggingCategory>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

Q_DECLARE_LOGGING_CATEGORY(lcNetscan)

namespace Onvif {

//! The largest datagram and HTTP answer read; anything larger is dropped.
constexpr int MaxDatagram = 8192;
constexpr int MaxAnswer = 65536;

//! Namespaces as the messages use them.
NETSCAN_EXPORT extern const QString SoapNs;
NETSCAN_EXPORT extern const QString DiscoveryNs;
NETSCAN_EXPORT extern const QString DeviceNs;
NETSCAN_EXPORT extern const QString ErrorNs;
NETSCAN_EXPORT extern const QString ZvrNs;

/*! \brief A SOAP envelope flattened: header texts by local name, and the body's
 *  leaves and attributes in document order by their path below the body's first
 *  element ("ProbeMatch/Types", "NetworkInterfaces@token"). Each element also ends
 *  with an entry of its own path and an empty text, so that repeated parts can be told
 *  apart. Qualified names in Types and fault Values are resolved to "{namespace}local".
 */
struct NETSCAN_EXPORT SoapDocument
{
    QString envelopeNs;
    QString bodyNs;
    QString bodyName;
    QVector<QPair<QString, QString>> header;
    QVector<QPair<QString, QString>> fields;

    QString headerValue(const QString &name) const;
    QString value(const QString &path) const;
};

//! Reads \a data; false with a plain reason for anything not a well-formed, bounded envelope.
NETSCAN_EXPORT bool readSoap(const QByteArray &data, int maxSize, SoapDocument *document, QString *error);

//! One answer of a ProbeMatches message.
struct NETSCAN_EXPORT ProbeMatch
{
    QString endpoint;
    QStringList types; //!< resolved, "{namespace}local"
    QStringList scopes;
    QString xaddr; //!< the first http:// address of XAddrs
    quint32 metadataVersion = 0;

    bool isDevice() const;
};

NETSCAN_EXPORT QByteArray buildProbe(const QString &messageId);
/*! Reads a ProbeMatches datagram: the probe it answers in \a relatesTo and its matches
 *  (those that are not network video devices included; isDevice() tells). False with
 *  a plain reason when the datagram is not one.
 */
NETSCAN_EXPORT bool parseProbeMatches(
    const QByteArray &data, QString *relatesTo, QVector<ProbeMatch> *matches, QString *error);

//! The scopes' share of a report: name, model, kind, sub-kind, run mode, malfunction, roll call.
NETSCAN_EXPORT void applyScopes(const QStringList &scopes, MacScanDeviceInfo *info);

//! "00-1a-2B..." or "001a2b..." as "00:1A:2B:..."; empty when it is no MAC address.
NETSCAN_EXPORT QString normalizedMac(const QString &text);

//! The device-service calls the back-end makes.
enum class Operation {
    GetDeviceInformation,
    GetNetworkInterfaces,
    GetNetworkDefaultGateway,
    GetSystemDateAndTime,
    SetNetworkInterfaces,
    SetNetworkDefaultGateway,
    GetScopes,
};
NETSCAN_EXPORT QString operationName(Operation operation);

//! A WS-Security UsernameToken with a password digest.
struct NETSCAN_EXPORT UsernameToken
{
    QString user;
    QByteArray nonce;
    QString created;
    QByteArray digest;

    //! A fresh nonce and creation time (now, UTC) for one request.
    static UsernameToken make(const QString &user, const QString &password);
    //! Base64(SHA-1(nonce + created + password)).
    static QByteArray passwordDigest(
        const QByteArray &nonce, const QString &created, const QString &password);
};

//! A device-service request; \a token may be null for none.
NETSCAN_EXPORT QByteArray buildRequest(
    Operation operation, const QString &bodyContent, const UsernameToken *token);
NETSCAN_EXPORT QByteArray buildSetNetworkInterfaces(
    const QString &interfaceToken, const QString &address, int prefixLength, const UsernameToken *token);
NETSCAN_EXPORT QByteArray buildSetNetworkDefaultGateway(const QString &gateway, const UsernameToken *token);

struct NETSCAN_EXPORT InterfaceInfo
{
    QString token;
    QString mac;
    QString ip;
    int prefixLength = 0;
};

//! What a device-service answer carries, by operation; a SOAP fault fills the fault part only.
struct NETSCAN_EXPORT DeviceAnswer
{
    bool fault = false;
    QStringList subcodes; //!< resolved, outermost first
    QString reason;

    QString model;
    QString firmware;
    QString serialNumber;
    QVector<InterfaceInfo> interfaces;
    QString gateway;
    QStringList scopes; //!< the ScopeItems, in the order answered
    QDateTime time; //!< the device's local clock where given, else UTC; no time zone attached
    bool rebootNeeded = false;
};

/*! Reads the answer to \a operation; false with a plain reason when it is neither that
 *  answer nor a SOAP fault, or carries values out of their bounds.
 */
NETSCAN_EXPORT bool parseDeviceAnswer(
    const QByteArray &data, Operation operation, DeviceAnswer *answer, QString *error);

//! How a change's fault subcodes read: a result code, or credentials refused.
struct NETSCAN_EXPORT FaultOutcome
{
    IpSettingResult result = IpSetTimeout;
    bool notAuthorized = false;
    bool known = false; //!< a subcode of the profile's table
};
NETSCAN_EXPORT FaultOutcome faultOutcome(const QStringList &subcodes);

//! A dotted mask as a prefix length; -1 when the ones are not contiguous.
NETSCAN_EXPORT int prefixLength(quint32 mask);
NETSCAN_EXPORT quint32 maskOf(int prefixLength);

} // namespace Onvif

#endif // ZVR_ONVIFMESSAGES_P_H
