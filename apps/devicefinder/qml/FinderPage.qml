// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// The whole tool: tool bar, device table with the control nodes, results view,
// and the editor, message box and busy state above them.
Item {
    id: page

    property alias table: deviceTable
    property alias editor: editDialog
    property alias messageBox: messageBox
    property alias busyOverlay: busyOverlay
    property alias resultView: resultView
    property alias statusFilter: statusBox
    property alias searchField: searchField
    property alias clearSearchButton: clearSearch
    property alias columnChooser: columnChooser
    property alias exportDialog: exportDialog
    property alias loginDialog: loginDialog
    readonly property bool showingResults: stack.currentIndex === 1

    function showDevices() {
        stack.currentIndex = 0
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // The tool bar wraps onto further lines in a narrow window.
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: toolbar.implicitHeight + 16
            color: "#1f3a5f"

            Flow {
                id: toolbar
                x: 16
                y: 8
                width: parent.width - 28
                spacing: 10

                Label {
                    height: 32
                    verticalAlignment: Text.AlignVCenter
                    text: qsTr("设备查找")
                    color: "white"
                    font.pixelSize: 18
                    font.bold: true
                }
                // Which network is scanned: the simulation, an interface or an address.
                Label {
                    objectName: "networkName"
                    height: 32
                    verticalAlignment: Text.AlignVCenter
                    text: Network.name
                    color: "white"
                }
                // Room for five-digit counts, so that the buttons after it stay in place.
                Label {
                    id: counters
                    objectName: "counters"
                    width: Math.max(implicitWidth, countersRoom.advanceWidth)
                    height: 32
                    verticalAlignment: Text.AlignVCenter
                    text: qsTr("第%1轮扫描 · 共%2台 · 在线%3台 · 已勾选%4台")
                          .arg(Finder.scanRound).arg(Finder.tableCount)
                          .arg(Finder.onlineCount).arg(Finder.checkedCount)
                    color: "#c9d6e8"
                    TextMetrics {
                        id: countersRoom
                        font: counters.font
                        text: qsTr("第%1轮扫描 · 共%2台 · 在线%2台 · 已勾选%2台").arg("000").arg("00000")
                    }
                }
                ComboBox {
                    id: statusBox
                    implicitWidth: 96
                    model: Finder.statusModel
                    currentIndex: Finder.statusModel.currentIndex
                    onActivated: function(index) { Finder.statusModel.currentIndex = index }
                    // The model's role name is fixed and has no change signal: read it once.
                    Component.onCompleted: textRole = Finder.statusModel.textRole
                }
                TextField {
                    id: searchField
                    implicitWidth: 220
                    rightPadding: clearSearch.visible ? clearSearch.width + 4 : padding
                    placeholderText: qsTr("搜索名称 / IP / MAC / 序列号")
                    selectByMouse: true
                    onTextChanged: Finder.sortModel.searchText = text
                    // Escape clears the search, and on an empty search returns to the table.
                    Keys.onEscapePressed: {
                        if (text === "")
                            deviceTable.focusTable()
                        text = ""
                    }
                    Keys.onDownPressed: deviceTable.focusTable()

                    ToolButton {
                        id: clearSearch
                        objectName: "clearSearch"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: 28
                        height: parent.height - 4
                        visible: searchField.text !== ""
                        focusPolicy: Qt.NoFocus
                        text: "✕"
                        ToolTip.visible: hovered
                        ToolTip.delay: 500
                        ToolTip.text: qsTr("清除搜索")
                        onClicked: searchField.text = ""
                    }
                }
                // While a change waits for its answers, both refuse with a message.
                Button {
                    objectName: "rescanButton"
                    text: qsTr("立即扫描")
                    onClicked: Finder.rescan()
                }
                Button {
                    objectName: "editCheckedButton"
                    text: qsTr("批量修改")
                    onClicked: Finder.editChecked()
                }
                Button {
                    objectName: "lastResultsButton"
                    text: qsTr("上次结果")
                    // Shown but disabled until there are results, so that the buttons
                    // beside it keep their places.
                    enabled: Finder.resultRows.totalCount > 0
                    onClicked: stack.currentIndex = 1
                }
                Button {
                    text: qsTr("清除离线")
                    // Removing rows is asked for first; a device still on the network returns.
                    onClicked: removeOfflineBox.show(qsTr("从列表中清除所有离线设备？仍在网络上的设备下次扫描时会再次出现。"),
                                                     ZVRMessageBox.OKCancel)
                }
                // On the results view the results are exported.
                Button {
                    objectName: "exportButton"
                    text: qsTr("导出")
                    onClicked: exportDialog.start(page.showingResults)
                }
                Button {
                    objectName: "columnsButton"
                    enabled: !page.showingResults
                    text: qsTr("列设置")
                    onClicked: columnChooser.open()
                }
            }
        }

        // Nothing under the busy overlay takes the keyboard while a change is in flight.
        StackLayout {
            id: stack
            Layout.fillWidth: true
            Layout.fillHeight: true
            enabled: !Finder.busy

            ColumnLayout {
                spacing: 0

                DeviceTable {
                    id: deviceTable
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    onEscapePressed: searchField.text = ""
                    onChooseColumns: columnChooser.open()
                }
                NodePanel {
                    Layout.fillWidth: true
                }
            }

            ResultView {
                id: resultView
                login: loginDialog
                onBack: page.showDevices()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 28
            color: "#eef2f7"

            Label {
                anchors.verticalCenter: parent.verticalCenter
                anchors.left: parent.left
                anchors.leftMargin: 12
                text: qsTr("显示%1台 / 共%2台").arg(Finder.sortModel.count).arg(Finder.tableCount)
                color: "#4a5568"
            }
            // The devices' reads of a round on the network.
            Row {
                objectName: "readProgress"
                anchors.verticalCenter: parent.verticalCenter
                x: 200
                spacing: 8
                visible: Network.reading
                ProgressBar {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 160
                    from: 0
                    to: Math.max(1, Network.readTotal)
                    value: Network.readDone
                }
                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    text: Network.readText
                    color: "#1f3a5f"
                }
            }
            Label {
                objectName: "statusText"
                anchors.centerIn: parent
                text: Finder.statusText
                color: "#d9480f"
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                anchors.right: parent.right
                anchors.rightMargin: 12
                visible: Finder.resultModel.totalNum > 0
                text: qsTr("上次修改：%1").arg(Finder.resultSummary)
                color: "#4a5568"
            }
        }
    }

    // Every dialog gives the keyboard back to the table.
    EditDialog {
        id: editDialog
        login: loginDialog
        onClosed: deviceTable.focusTable()
    }

    LoginDialog {
        id: loginDialog
        store: Network.credentials
        onClosed: deviceTable.focusTable()
    }

    MessageBox {
        id: messageBox
        onClosed: deviceTable.focusTable()
    }

    MessageBox {
        id: removeOfflineBox
        onAccepted: Finder.removeOfflineDevices()
        onClosed: deviceTable.focusTable()
    }

    ColumnChooser {
        id: columnChooser
        onClosed: deviceTable.focusTable()
    }

    ExportDialog {
        id: exportDialog
        onFinished: function (message) { messageBox.show(message) }
        onClosed: deviceTable.focusTable()
    }

    Shortcut {
        sequence: StandardKey.Find
        onActivated: {
            searchField.forceActiveFocus()
            searchField.selectAll()
        }
    }

    // Checks every row the filter shows; a text field keeps Ctrl+A for its text.
    Shortcut {
        sequence: StandardKey.SelectAll
        enabled: !page.showingResults && !Finder.busy
        onActivated: deviceTable.checkAllShown()
    }

    // Over the table and the results, below the tool bar: 立即扫描 and the rest still
    // answer, with the reason they must wait.
    BusyOverlay {
        id: busyOverlay
        x: stack.x
        y: stack.y
        width: stack.width
        height: stack.height
        text: Finder.texts.STR_MODIFYING_WAIT
        visible: Finder.busy
    }

    Connections {
        target: Finder
        function onEditRequested() {
            editDialog.openFor(Finder.editTarget)
        }
        function onMessageRequested(text) {
            messageBox.show(text)
        }
        function onResultsReady() {
            stack.currentIndex = 1
        }
    }

    Connections {
        target: Network
        function onLoginRequested(reason) {
            loginDialog.ask(reason)
        }
    }
}
