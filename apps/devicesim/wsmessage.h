// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_WSMESSAGE_H
#define ZVR_WSMESSAGE_H

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace WsNs {
extern const QString Soap12;
extern const QString Soap11;
extern const QString Addressing;
extern const QString Discovery;
extern const QString Device;
extern const QString Schema;
extern const QString Network;
extern const QString Error;
extern const QString Zvr;
} // namespace WsNs

//! A qualified name: namespace and local name.
using QualifiedName = QPair<QString, QString>;

/*! \brief What the emulator reads of one SOAP envelope.
 *
 *  Element texts are kept by their path of local names: header fields relative to the
 *  Header ("MessageID", "Security/UsernameToken/Nonce"), body fields relative to the
 *  body's first element ("NetworkInterface/IPv4/Manual/Address"); an attribute is
 *  "path@name". The first occurrence of a path wins.
 */
struct SoapMessage
{
    QString envelopeNamespace;
    QualifiedName operation;
    QHash<QString, QString> header;
    QHash<QString, QString> body;
    //! The probe's Types, resolved against the namespaces in scope.
    QVector<QualifiedName> probeTypes;

    /*! Reads \a data; false with the reason in \a error for XML that is not well
     *  formed, carries a DTD, nests too deeply or is no envelope.
     */
    static bool parse(const QByteArray &data, SoapMessage *message, QString *error);
};

//! The text of the XML document with \a text escaped for element content and attributes.
QString xmlEscaped(const QString &text);

#endif // ZVR_WSMESSAGE_H
