// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NETWORKBACKENDTEST_H
#define ZVR_NETWORKBACKENDTEST_H

#include <QObject>

// The network back-end's test: its messages (tst_networkbackend_messages.cpp), and the
// back-end against the emulator and devices of the test's own making (tst_networkbackend.cpp).
class NetworkBackendTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void probeMatches_data();
    void probeMatches();
    void deviceAnswers_data();
    void deviceAnswers();
    void faultOutcomes_data();
    void faultOutcomes();
    void requestsAsTheDeviceReadsThem();
    void listsTheEmulator_data();
    void listsTheEmulator();
    void readsWithCredentials();
    void changes_data();
    void changes();
    void changeFindsAnotherDevice();
    void badInput_data();
    void badInput();
    void targets_data();
    void targets();
};

#endif // ZVR_NETWORKBACKENDTEST_H
