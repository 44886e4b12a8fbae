// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Feeds arbitrary bytes to the network back-end's reader of device-service answers: the
// first byte names the call answered, the rest is the HTTP body. Checks what it keeps
// of an answer it accepts and how a fault maps to a result.

#include "fuzzcheck.h"

#include <netscan/onvifmessages_p.h>
#include <netscan/networkchange.h>

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("zvr.netscan=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 70000) {
        return 0;
    }
    const auto operation = Onvif::Operation(data[0] % 7);
    const QByteArray input(reinterpret_cast<const char *>(data + 1), int(size - 1));
    Onvif::DeviceAnswer answer;
    QString error;
    if (!Onvif::parseDeviceAnswer(input, operation, &answer, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(input.size() <= Onvif::MaxAnswer);
    if (answer.fault) {
        const Onvif::FaultOutcome outcome = Onvif::faultOutcome(answer.subcodes);
        FUZZ_CHECK(!outcome.notAuthorized || (outcome.known && outcome.result == IpSetTimeout));
        FUZZ_CHECK(outcome.known || outcome.result == IpSetTimeout);
        FUZZ_CHECK(answer.interfaces.isEmpty() && answer.model.isEmpty());
        return 0;
    }
    FUZZ_CHECK(answer.interfaces.size() <= 16 && answer.scopes.size() <= 64);
    for (const Onvif::InterfaceInfo &port : qAsConst(answer.interfaces)) {
        FUZZ_CHECK(!port.token.isEmpty());
        quint32 address = 0;
        FUZZ_CHECK(port.ip.isEmpty()
            || (parseAddress(port.ip, &address) && port.prefixLength >= 0 && port.prefixLength <= 32));
        const QString mac = Onvif::normalizedMac(port.mac);
        FUZZ_CHECK(mac.isEmpty() || (mac.size() == 17 && Onvif::normalizedMac(mac) == mac));
        FUZZ_CHECK(Onvif::prefixLength(Onvif::maskOf(port.prefixLength)) == qBound(0, port.prefixLength, 32));
    }
    quint32 gateway = 0;
    FUZZ_CHECK(answer.gateway.isEmpty() || parseAddress(answer.gateway, &gateway));
    FUZZ_CHECK(operation != Onvif::Operation::GetSystemDateAndTime || answer.time.isValid());
    // Reading is a function of the input.
    Onvif::DeviceAnswer again;
    FUZZ_CHECK(Onvif::parseDeviceAnswer(input, operation, &again, &error));
    FUZZ_CHECK(again.model == answer.model && again.firmware == answer.firmware
        && again.serialNumber == answer.serialNumber && again.gateway == answer.gateway
        && again.time == answer.time && again.interfaces.size() == answer.interfaces.size()
        && again.rebootNeeded == answer.rebootNeeded && again.scopes == answer.scopes);
    return 0;
}
