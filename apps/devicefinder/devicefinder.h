// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DEVICEFINDER_DEVICEFINDER_H
#define ZVR_DEVICEFINDER_DEVICEFINDER_H

#include "resultrowmodel.h"

#include <QObject>
#include <QSharedPointer>
#include <QVariantMap>

class ChangeSession;
class CheckTotals;
class ComboBoxModel;
class DeviceData;
class DeviceRegistry;
class DeviceSortFilterProxyModel;
class DeviceTableModel;
class NodeListModel;
class ScanBackend;
class SettingResultTableModel;

/*! \brief What the interface talks to: the scan back-end's reports in the device
 *  table (DeviceRegistry), the header check state (CheckTotals) and network changes
 *  with their results (ChangeSession), with the models and texts QML binds to.
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
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)

public:
    //! Scans and changes through \a backend, which must outlive it.
    explicit DeviceFinder(ScanBackend *backend, QObject *parent = nullptr);
    ~DeviceFinder() override;

    ScanBackend *backend() const;
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
    //! What the scans learnt of the devices that did not answer a change, for the status line.
    QString statusText() const;
    //! Devices that did not answer a change and that no later answer or scan has placed.
    int unsettledCount() const;

    //! Runs \a rounds scan rounds now.
    Q_INVOKABLE void scan(int rounds = 1);
    /*! Runs one scan round in slices over several event-loop turns, so that the
     *  interface keeps answering; scanRound changes after the last slice. Does nothing
     *  while a round is under way.
     */
    Q_INVOKABLE void scanInSlices();
    //! A rescan asked for by the user: refused with a message while a change is in flight.
    Q_INVOKABLE bool rescan();
    //! Empties the table and restarts the back-end.
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
    //! The ports of \a device whose shown values its next scan report is to confirm
    //! (ChangeSession::awaitingPorts()).
    int awaitingPorts(DeviceData *device) const;
    //! Sends the change to the back-end; false (with a message) when it is refused.
    Q_INVOKABLE bool applyChange(const QVariantMap &settings);
    /*! Sends the last change's failed devices again, each with the address planned for
     *  it then, after the same plan check; false (with a message) when refused.
     */
    Q_INVOKABLE bool retryFailed();
    //! Checks every online device and renumbers from one address all that can take a change.
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
    void statusTextChanged();
    void changeTimeoutChanged();
    void editRequested();
    void messageRequested(const QString &text);
    void resultsReady();

private:
    void onEditDevice(const QSharedPointer<DeviceData> &device);

    Q_DISABLE_COPY(DeviceFinder)
    ScanBackend *const m_backend;
    DeviceTableModel *const m_table;
    DeviceSortFilterProxyModel *const m_sortModel;
    ComboBoxModel *const m_statusModel;
    DeviceRegistry *const m_registry;
    NodeListModel *const m_nodes;
    CheckTotals *const m_totals;
    ChangeSession *const m_session;
};

#endif // ZVR_DEVICEFINDER_DEVICEFINDER_H
