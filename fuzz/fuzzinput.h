// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_FUZZ_FUZZINPUT_H
#define ZVR_FUZZ_FUZZINPUT_H

#include "fuzzcheck.h"

#include <macscanbll/macscandeviceinfo.h>

#include <QString>
#include <QVector>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace FuzzInput {

// The largest text and port list that one input may ask for, and a bound on the text
// that many ports may carry between them (each port's address is parsed).
constexpr int MaxLongText = 1 << 20;
constexpr int MaxPorts = 10000;
constexpr qint64 MaxPortText = 1 << 20;

// What one input may ask for at most in this process. The defaults reach the extremes
// above; a target that needs many inputs a second lowers them in LLVMFuzzerInitialize
// and leaves the extremes to a deterministic test.
struct Limits
{
    int longText = MaxLongText;    // the one long repeated text an input may carry
    int ordinaryText = 1024;       // every other repeated text
    int ports = MaxPorts;          // ports in one report
    qint64 portText = MaxPortText; // characters that all ports of one report carry
};

inline Limits &limits()
{
    static Limits l;
    return l;
}

// Longest text and most ports decoded so far, written out at exit.
struct Extremes
{
    int longestText = 0;
    int mostPorts = 0;
};

inline Extremes &extremes()
{
    static Extremes e;
    return e;
}

// One megabyte-long text per input is enough to matter and keeps the runs quick.
inline bool &hugeTextLeft()
{
    static bool left = true;
    return left;
}

inline void beginInput()
{
    hugeTextLeft() = true;
}

inline void noteText(const QString &text)
{
    extremes().longestText = std::max(extremes().longestText, int(text.size()));
}

// Any text a back-end or an interface could hand over: empty, raw UTF-16 (lone
// surrogates and NULs included), Latin-1, broken UTF-8, address-like, or megabytes long.
inline QString text(FuzzedDataProvider &in)
{
    QString result;
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
    case 1:
        break;
    case 2:
    case 3:
    case 4: {
        const std::string raw = in.ConsumeRandomLengthString(256);
        result.resize(int(raw.size() / 2));
        for (int i = 0; i < result.size(); ++i) {
            const auto lo = static_cast<unsigned char>(raw[2 * i]);
            const auto hi = static_cast<unsigned char>(raw[2 * i + 1]);
            result[i] = QChar(ushort(lo | (hi << 8)));
        }
        break;
    }
    case 5:
    case 6: {
        const std::string raw = in.ConsumeRandomLengthString(256);
        result = QString::fromLatin1(raw.data(), int(raw.size()));
        break;
    }
    case 7:
    case 8:
    case 9: {
        const std::string raw = in.ConsumeRandomLengthString(256);
        result = QString::fromUtf8(raw.data(), int(raw.size()));
        break;
    }
    case 10:
    case 11:
    case 12: {
        // Parts of an address with the odd sign, blank, empty part or out-of-range number.
        const int parts = in.ConsumeIntegralInRange<int>(0, 6);
        for (int i = 0; i < parts; ++i) {
            if (i > 0) {
                result += QLatin1Char('.');
            }
            switch (in.ConsumeIntegralInRange<int>(0, 4)) {
            case 0:
                result += QString::number(in.ConsumeIntegralInRange<int>(0, 255));
                break;
            case 1:
                result += QString::number(in.ConsumeIntegral<qint32>());
                break;
            case 2:
                result += QString::number(in.ConsumeIntegral<qint64>());
                break;
            case 3:
                break;
            default: {
                const std::string raw = in.ConsumeRandomLengthString(8);
                result += QString::fromLatin1(raw.data(), int(raw.size()));
                break;
            }
            }
        }
        break;
    }
    case 13:
        result = QString(in.ConsumeIntegralInRange<int>(0, 64), QChar(0));
        break;
    default: {
        // A short pattern repeated up to megabytes, so that a small input reaches a long text.
        const std::string raw = in.ConsumeRandomLengthString(8);
        const QString pattern = raw.empty() ? QStringLiteral("x") : QString::fromLatin1(raw.data(), int(raw.size()));
        const Limits &l = limits();
        const bool huge = in.ConsumeIntegralInRange<int>(0, 63) == 63 && std::exchange(hugeTextLeft(), false);
        const int length = in.ConsumeIntegralInRange<int>(0, huge ? std::max(l.longText, l.ordinaryText)
                                                                   : l.ordinaryText);
        result = pattern.repeated(length / pattern.size() + 1).left(length);
        break;
    }
    }
    noteText(result);
    return result;
}

// Enum values outside their lists are as likely as those within.
template<typename Enum>
Enum enumValue(FuzzedDataProvider &in, int lastListed)
{
    if (in.ConsumeBool()) {
        return static_cast<Enum>(in.ConsumeIntegralInRange<int>(0, lastListed));
    }
    return static_cast<Enum>(in.ConsumeIntegral<int>());
}

inline t_device_network_info port(FuzzedDataProvider &in)
{
    t_device_network_info p;
    p.id = in.ConsumeIntegral<qint32>();
    p.mac = text(in);
    p.ip = text(in);
    p.subnetMask = text(in);
    p.gateway = text(in);
    // The back-end's own ipInt is overwritten by the record; give it something to overwrite.
    p.ipInt = in.ConsumeIntegral<quint32>();
    return p;
}

// Up to limits().ports ports: a few decoded ones, then as many more as asked, cycled
// with new ids.
inline QVector<t_device_network_info> ports(FuzzedDataProvider &in)
{
    QVector<t_device_network_info> result;
    const int decoded = in.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 0; i < decoded; ++i) {
        result.append(port(in));
    }
    if (!result.isEmpty() && in.ConsumeIntegralInRange<int>(0, 3) == 3) {
        qint64 perCycle = 1;
        for (const t_device_network_info &p : qAsConst(result)) {
            perCycle += p.mac.size() + p.ip.size() + p.subnetMask.size() + p.gateway.size();
        }
        const Limits &l = limits();
        const int most = int(qBound<qint64>(decoded, l.portText * decoded / perCycle, std::max(l.ports, decoded)));
        const int total = in.ConsumeBool() ? most : in.ConsumeIntegralInRange<int>(decoded, most);
        result.reserve(total);
        for (int i = decoded; i < total; ++i) {
            t_device_network_info p = result.at(i % decoded);
            p.id = i;
            result.append(p);
        }
    }
    extremes().mostPorts = std::max(extremes().mostPorts, int(result.size()));
    return result;
}

inline MacScanDeviceInfo report(FuzzedDataProvider &in)
{
    MacScanDeviceInfo info;
    info.setDeviceModel(text(in));
    info.setDeviceSN(text(in));
    info.setName(text(in));
    info.setFirmwareVer(text(in));
    info.setDevTime(text(in));
    info.setDeviceCommMac(text(in));
    info.setNodeType(enumValue<NodeType>(in, NodeCentralControl + 1));
    info.setSubNodeType(enumValue<SubNodeType>(in, SubNodeEcho + 1));
    info.setRunMode(enumValue<DeviceRunMode>(in, RunModeInvalid + 1));
    info.setNetworkInfo(ports(in));
    info.setMalfunction(in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(0, 7) : in.ConsumeIntegral<int>());
    info.setOffline(in.ConsumeBool());
    info.setCallRollState(in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(-1, 1) : in.ConsumeIntegral<int>());
    return info;
}

// Prints the extremes at exit when asked to, for the record of a run.
inline void reportExtremesAtExit(const char *target)
{
    static const char *name = target;
    if (std::getenv("ZVR_FUZZ_STATS")) {
        std::atexit([] {
            std::fprintf(stderr, "%s: longest text %d characters, most ports %d\n", name,
                         extremes().longestText, extremes().mostPorts);
        });
    }
}

} // namespace FuzzInput

#endif // ZVR_FUZZ_FUZZINPUT_H
