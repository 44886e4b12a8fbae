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
    readonly property bool showingResults: stack.currentIndex === 1

    function showDevices() {
        stack.currentIndex = 0
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 52
            color: "#1f3a5f"

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 12
                spacing: 10

                Label {
                    text: qsTr("设备查找")
                    color: "white"
                    font.pixelSize: 18
                    font.bold: true
                }
                Label {
                    objectName: "counters"
                    text: qsTr("第%1轮扫描 · 共%2台 · 在线%3台 · 已选%4台")
                          .arg(Finder.scanRound).arg(Finder.tableCount)
                          .arg(Finder.onlineCount).arg(Finder.checkedCount)
                    color: "#c9d6e8"
                }
                Item {
                    Layout.fillWidth: true
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
                    placeholderText: qsTr("搜索名称 / IP / MAC / 序列号")
                    selectByMouse: true
                    onTextChanged: Finder.sortModel.searchText = text
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
                    visible: Finder.resultRows.totalCount > 0
                    onClicked: stack.currentIndex = 1
                }
                Button {
                    text: qsTr("清除离线")
                    // Removing rows is asked for first; a device still on the network returns.
                    onClicked: removeOfflineBox.show(qsTr("从列表中清除所有离线设备？仍在网络上的设备下次扫描时会再次出现。"),
                                                     ZVRMessageBox.OKCancel)
                }
            }
        }

        StackLayout {
            id: stack
            Layout.fillWidth: true
            Layout.fillHeight: true

            ColumnLayout {
                spacing: 0

                DeviceTable {
                    id: deviceTable
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                }
                NodePanel {
                    Layout.fillWidth: true
                }
            }

            ResultView {
                id: resultView
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

    EditDialog {
        id: editDialog
    }

    MessageBox {
        id: messageBox
    }

    MessageBox {
        id: removeOfflineBox
        onAccepted: Finder.removeOfflineDevices()
    }

    BusyOverlay {
        id: busyOverlay
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
}
