// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_DEVICEFINDER_H
#define ZVR_DEVICEFINDER_DEVICEFINDER_H

#include "changetracker.h"
#include "networkchange.h"
#include "resultrowmodel.h"
#include "simulation.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QObject>
#include <QSharedPointer>
#include <QVariantMap>

class ComboBoxModel;
class QTimer;
class DeviceData;
class DeviceSortFilterProxyModel;
class DeviceTableModel;
class NodeListModel;
class SettingResultTableModel;

/*! \brief The tool's side of the view-model: feeds scan reports into the device
 *  table, keeps the header check state, and runs network changes through the
 *  back-end to the results table.
 *
 *  One DeviceData per communication MAC: the first report of a device is taken
 *  whole (mode 0), later ones by their kind (1 MAC scan, 2 UDP). Every record it
 *  creates is marked as owned by C++ so that QML never collects it.
 */
class DeviceFinder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(DeviceTableModel *deviceModel READ deviceModel CONSTANT)
    Q_PROPERTY(DeviceSortFilterProxyModel *sortModel READ sortModel CONSTANT)
    Q_PROPERTY(ComboBoxModel *statusModel READ statusModel CONSTANT)
    Q_PROPERTY(SettingResultTableModel *resultModel READ resultModel CONSTANT)
    Q_PROPERTY(NodeListModel *nodeModel READ nodeModel CONSTANT)
    Q_PROPERTY(ResultRowModel *resultRows READ resultRowModel CONSTANT)
    Q_PROPERTY(int changeTimeout READ changeTimeout WRITE setChangeTimeout NOTIFY changeTimeoutChanged)
    Q_PROPERTY(QVariantMap texts READ texts CONSTANT)
    Q_PROPERTY(int allCheckType READ allCheckType NOTIFY checkStateChanged)
    Q_PROPERTY(int checkedCount READ checkedCount NOTIFY checkStateChanged)
    Q_PROPERTY(int onlineCount READ onlineCount NOTIFY checkStateChanged)
    Q_PROPERTY(int tableCount READ tableCount NOTIFY checkStateChanged)
    Q_PROPERTY(int scanRound READ scanRound NOTIFY scanRoundChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QString resultSummary READ resultSummary NOTIFY resultsChanged)
    Q_PROPERTY(QString resultTotal READ resultTotal NOTIFY resultsChanged)
    Q_PROPERTY(QVariantMap editTarget READ editTarget NOTIFY editTargetChanged)
    Q_PROPERTY(int awaitingScanCount READ awaitingScanCount NOTIFY awaitingScanChanged)

public:
    explicit DeviceFinder(QObject *parent = nullptr);
    ~DeviceFinder() override;

    //! Rebuilds the simulated network; takes effect at the next restart().
    void setNetwork(quint32 seed, int deviceCount);
    Simulation *simulation() const;
    //! How long a change waits for the devices' answers, in milliseconds.
    int changeTimeout() const;
    void setChangeTimeout(int milliseconds);

    DeviceTableModel *deviceModel() const;
    DeviceSortFilterProxyModel *sortModel() const;
    ComboBoxModel *statusModel() const;
    SettingResultTableModel *resultModel() const;
    NodeListModel *nodeModel() const;
    ResultRowModel *resultRowModel() const;
    //! The last change's rows as the results view shows them, its column headers first.
    QVector<QStringList> resultRows() const;
    //! The display texts the interface shows, by their constant's name.
    QVariantMap texts() const;

    //! A ZVRCheckBox::CheckType value for the header check box.
    int allCheckType() const;
    int checkedCount() const;
    int onlineCount() const;
    //! The devices in the table, told once per event-loop turn (the table tells every row).
    int tableCount() const;
    int scanRound() const;
    bool busy() const;
    QString resultSummary() const;
    QString resultTotal() const;
    /*! The devices the editor works on: their count, the first one's settings, and
     *  for a batch how many checked devices the filter hides ("hidden") and how many
     *  checked ones are offline and left out ("offline").
     */
    QVariantMap editTarget() const;
    //! Devices whose change succeeded and whose next scan report has not come yet.
    int awaitingScanCount() const;

    //! Runs \a rounds scan rounds now.
    Q_INVOKABLE void scan(int rounds = 1);
    /*! Runs one scan round in slices over several event-loop turns, so that the
     *  interface keeps answering; scanRound changes after the last slice. Does nothing
     *  while a round is under way.
     */
    Q_INVOKABLE void scanInSlices();
    //! A rescan asked for by the user: refused with a message while a change is in flight.
    Q_INVOKABLE bool rescan();
    //! Empties the table and rebuilds the network from its seed.
    Q_INVOKABLE void restart();
    //! The header check box: checks every online device, or unchecks all when all are.
    Q_INVOKABLE void toggleAll();
    /*! Opens the editor for the checked online devices that the table shows, in the
     *  order shown, and with \a includeHidden also those the filter hides; false when
     *  there are none.
     */
    Q_INVOKABLE bool editChecked(bool includeHidden = false);
    //! The text that refuses \a settings for the devices in the editor, or an empty text.
    Q_INVOKABLE QString validateChange(const QVariantMap &settings) const;
    /*! The plan of \a settings for the editor: "errors" by field, "preview" (the first
     *  devices, each with "name", "ip", "newIp" and "newIp2") and "more" (how many
     *  devices the preview leaves out).
     */
    Q_INVOKABLE QVariantMap checkChange(const QVariantMap &settings) const;
    //! Whether \a device's change succeeded and the scan has not confirmed it yet.
    Q_INVOKABLE bool isAwaitingScan(DeviceData *device) const;
    //! Sends the change to the back-end; false (with a message) when it is refused.
    Q_INVOKABLE bool applyChange(const QVariantMap &settings);
    /*! Sends the last change's failed devices again, each with the address planned for
     *  it then, after the same plan check; false (with a message) when refused.
     */
    Q_INVOKABLE bool retryFailed();
    //! Checks every online device and renumbers them all from one address.
    Q_INVOKABLE bool changeAllOnline(const QString &ip, const QString &subnetMask, const QString &gateway);
    //! Forgets the devices that are offline; returns how many went.
    Q_INVOKABLE int removeOfflineDevices();

    Q_INVOKABLE QString ipStateText(int state) const;
    Q_INVOKABLE QString callRollText(int state) const;

Q_SIGNALS:
    void checkStateChanged();
    void scanRoundChanged();
    void busyChanged();
    void resultsChanged();
    void editTargetChanged();
    void awaitingScanChanged();
    void changeTimeoutChanged();
    void editRequested();
    void messageRequested(const QString &text);
    void resultsReady();

private:
    void onDeviceReported(const MacScanDeviceInfo &info, int source);
    void onIpStateReported(const QString &commMac, int state);
    void onEditDevice(const QSharedPointer<DeviceData> &device);
    void onRequestAnswered(int requestId, const QVector<Simulation::Outcome> &outcomes);
    void endChange();
    void continueScan();
    void scheduleCheckState();
    void updateCheckState();
    //! Moves \a device's share of the totals from its last state to its current one.
    void recount(const DeviceData *device);
    //! Takes \a device's share out of the totals.
    void uncount(const DeviceData *device);
    //! The devices of the table's rows, in row order.
    QList<QSharedPointer<DeviceData>> tableDevices() const;
    void setEditTargets(const QList<QSharedPointer<DeviceData>> &devices, int hidden = 0, int offline = 0);
    ChangePlan plan(const ChangeRequest &request) const;
    bool send(const ChangeRequest &request);
    //! Refuses, with a message, what must wait for the change in flight.
    bool refuseWhileBusy(const QString &text);
    //! Shows a confirmed change in \a commMac's row until the next scan report.
    void showChanged(const QString &commMac);
    void setBusy(bool busy);

    Q_DISABLE_COPY(DeviceFinder)
    Simulation *const m_simulation;
    DeviceTableModel *const m_table;
    DeviceSortFilterProxyModel *const m_sortModel;
    ComboBoxModel *const m_statusModel;
    SettingResultTableModel *const m_results;
    NodeListModel *const m_nodes;
    ResultRowModel *const m_resultRows;
    QHash<QString, QSharedPointer<DeviceData>> m_devices;
    QList<QSharedPointer<DeviceData>> m_editTargets;
    int m_hiddenChecked = 0;
    int m_offlineChecked = 0;
    //! The addresses each device of the change in flight is to take.
    QHash<QString, PlannedDevice> m_planned;
    //! The change in flight's result rows in request order, outcomes still to come.
    QVector<ResultRow> m_pending;
    //! The last change sent; a retry of its failures takes its settings.
    ChangeRequest m_request;
    QSet<QString> m_awaitingScan;
    quint32 m_seed = Simulation::DefaultSeed;
    int m_deviceCount = Simulation::DefaultDeviceCount;
    int m_allCheckType = 1; // ZVRCheckBox::None
    int m_checkedCount = 0;
    int m_onlineCount = 0;
    int m_tableCount = 0;
    //! Each record's last counted state: bit 0 online, bit 1 checked.
    QHash<const DeviceData *, quint8> m_counted;
    int m_countedOnline = 0;
    int m_countedChecked = 0;
    int m_countedCheckedOnline = 0;
    bool m_checkStateQueued = false;
    bool m_busy = false;
    int m_lastRequest = 0;
    // The change in flight: who answered, and when the wait ends.
    ChangeTracker m_change;
    QElapsedTimer m_clock;
    QTimer *const m_changeTimer;
};

#endif // ZVR_DEVICEFINDER_DEVICEFINDER_H
