// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later

// Feeds arbitrary bytes to the device emulator's SOAP reader, as a datagram or an HTTP
// body would bring them, and checks what it keeps of a message it accepts.

#include "fuzzcheck.h"

#include "wsmessage.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The emulator reads at most 64 KB of one request.
    if (size > 65536) {
        return 0;
    }
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    SoapMessage message;
    QString error;
    if (!SoapMessage::parse(input, &message, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(message.operation.second.isEmpty() && message.header.isEmpty());
        return 0;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(!message.operation.second.isEmpty());
    FUZZ_CHECK(message.header.size() + message.body.size() <= 256);
    for (const QString &value : message.header) {
        FUZZ_CHECK(value.size() <= 4096);
    }
    for (const QString &value : message.body) {
        FUZZ_CHECK(value.size() <= 4096);
    }
    // Reading is a function of the input.
    SoapMessage again;
    FUZZ_CHECK(SoapMessage::parse(input, &again, &error));
    FUZZ_CHECK(again.operation == message.operation && again.header == message.header
        && again.body == message.body && again.probeTypes == message.probeTypes);
    return 0;
}
