// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Feeds arbitrary bytes to the network back-end's WS-Discovery reader, as a datagram
// would bring them, and checks what it keeps of a ProbeMatches it accepts.

#include "fuzzcheck.h"

#include <netscan/onvifmessages_p.h>

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The drops' log lines would cost more than the parsing.
    QLoggingCategory::setFilterRules(QStringLiteral("zvr.netscan=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384) {
        return 0;
    }
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QString relatesTo;
    QVector<Onvif::ProbeMatch> matches;
    QString error;
    if (!Onvif::parseProbeMatches(input, &relatesTo, &matches, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(relatesTo.isEmpty() && matches.isEmpty());
        return 0;
    }
    FUZZ_CHECK(size <= size_t(Onvif::MaxDatagram));
    FUZZ_CHECK(!relatesTo.isEmpty());
    FUZZ_CHECK(!matches.isEmpty() && matches.size() <= 16);
    for (const Onvif::ProbeMatch &match : qAsConst(matches)) {
        FUZZ_CHECK(!match.endpoint.isEmpty() && match.endpoint.size() <= 4096);
        FUZZ_CHECK(match.xaddr.startsWith(QLatin1String("http://")));
        FUZZ_CHECK(match.scopes.size() <= 64);
        // Whatever the scopes say, the report's values stay within what the model shows.
        MacScanDeviceInfo info;
        Onvif::applyScopes(match.scopes, &info);
        FUZZ_CHECK(info.nodeType() >= -1 && info.nodeType() <= NodeCentralControl);
        FUZZ_CHECK(info.subNodeType() >= -1 && info.subNodeType() <= SubNodeEcho);
        FUZZ_CHECK(info.runMode() >= -1 && info.runMode() <= RunModeInvalid);
        FUZZ_CHECK(info.callRollState() >= -1 && info.callRollState() <= 1);
    }
    // Reading is a function of the input.
    QString again;
    QVector<Onvif::ProbeMatch> matchesAgain;
    FUZZ_CHECK(Onvif::parseProbeMatches(input, &again, &matchesAgain, &error));
    FUZZ_CHECK(again == relatesTo && matchesAgain.size() == matches.size());
    for (int i = 0; i < matches.size(); ++i) {
        FUZZ_CHECK(matchesAgain.at(i).endpoint == matches.at(i).endpoint
            && matchesAgain.at(i).types == matches.at(i).types
            && matchesAgain.at(i).scopes == matches.at(i).scopes
            && matchesAgain.at(i).xaddr == matches.at(i).xaddr
            && matchesAgain.at(i).metadataVersion == matches.at(i).metadataVersion);
    }
    return 0;
}
