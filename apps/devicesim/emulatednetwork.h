// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_EMULATEDNETWORK_H
#define ZVR_EMULATEDNETWORK_H

#include "wsmessage.h"

#include <simulation.h>

#include <QHash>
#include <QMultiHash>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <vector>

/*! \brief The seeded device model as devices on a network.
 *
 *  Holds one Simulation and gives each device of it a network address of its own:
 *  the model's address itself where the namespace routes the ranges to this host
 *  (AnyIP), else the same address moved into 127.0.0.0/8 (first byte 127). Drift
 *  rounds and changes go through the model; this class only follows where each
 *  device can be reached and tells when one takes a new address.
 */
class EmulatedNetwork : public QObject
{
    Q_OBJECT

public:
    enum class AddressMode { AnyIp, Loopback };

    struct Options
    {
        int devices = 1000;
        quint32 seed = Simulation::DefaultSeed;
        int interval = 10000; //!< milliseconds between drift rounds; 0 for none
        int rounds = 1; //!< rounds the model has moved on when the devices start answering
        AddressMode mode = AddressMode::Loopback;
        NetworkFaults faults;
        double garble = 0.0;
        quint16 httpPort = 80;
        int answerDelay = 100;
    };

    explicit EmulatedNetwork(const Options &options, QObject *parent = nullptr);
    ~EmulatedNetwork() override;

    //! Builds the population and runs its first round; drift rounds follow.
    void start();
    int deviceCount() const;
    AddressMode mode() const { return m_options.mode; }
    quint16 httpPort() const { return m_options.httpPort; }

    //! The device that answers at \a address, or -1.
    int deviceAt(quint32 address) const;
    bool answers(int index) const;
    //! The device as its answers show it: addresses as the network sees them.
    MacScanDeviceInfo info(int index) const;
    quint32 address(int index) const;
    QString endpoint(int index) const;
    QString serviceUrl(int index) const;
    quint32 metadataVersion(int index) const;
    static QStringList scopes(const MacScanDeviceInfo &info);
    //! The device's Types as qualified names; the first is tds:Device.
    static QVector<QualifiedName> types(NodeType kind);

    //! Where device \a index is configured to be, changes included, as the network sees it.
    QString configuredAddress(int index) const;
    /*! Notes a write that device \a index took at \a localAddress. One taken at an address
     *  it borrowed from another device may have been meant for either: both count it.
     */
    void noteWrite(int index, quint32 localAddress);
    /*! Writes every device as it is now, one tab-separated line each after a title line:
     *  the truth a finder's list and results are checked against, with where each was
     *  configured at start and how many writes reached an address it shared. False
     *  when it cannot.
     */
    bool writeTruth(const QString &path, QString *error) const;

    //! Whether this answer is to be garbled; drawn from the seed.
    bool strikesGarble();
    QByteArray garbled(const QByteArray &answer);

    //! An address as the model holds it, for one the device was asked to take.
    quint32 toModel(int index, quint32 address) const;
    quint32 toNetwork(quint32 modelAddress) const;

    /*! Asks the model to change device \a index: port 1 or 2 (\a port 0 or 1) to
     *  \a address / \a mask, or only port 1's gateway when \a port is -1. The answer
     *  comes as changeAnswered() with the id returned; a result of -1 means none.
     *  An address another device holds is refused here with IpSetPortCheckFailed.
     */
    int requestChange(int index, int port, quint32 address, const QString &mask, quint32 gateway);

Q_SIGNALS:
    //! Device \a index took a new address or came back online.
    void deviceMoved(int index);
    void changeAnswered(int requestId, int result);

private:
    struct Slot
    {
        quint32 address = 0;
        quint32 metadataVersion = 0; // raised to 1 when the first address is taken
        bool answers = false;
        int sharedWrites = 0; // writes taken at an address two devices held, by either
    };

    void refresh(int index, bool announce);
    void continueRound();
    void answered(int requestId, const QVector<Simulation::Outcome> &outcomes);

    Options m_options;
    Simulation m_simulation;
    std::vector<Slot> m_slots;
    QMultiHash<quint32, int> m_byAddress;
    QHash<int, int> m_pending; // request id -> device
    QStringList m_initial; // where each device was configured at start
    QRandomGenerator m_garbleRandom;
    QTimer m_rounds;
    QTimer m_slices;
    int m_nextRefresh = -1;
    int m_nextRequest = 1;
};

#endif // ZVR_EMULATEDNETWORK_H
