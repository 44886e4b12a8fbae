// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The device table: one column per role of the model, a header row with the check-all
// box and the sort buttons, and a pinned column with each row's edit button.
Rectangle {
    id: root

    readonly property var model: Finder.sortModel
    readonly property int rowHeight: 32
    readonly property int headerHeight: 36
    // The role of every column, as the model names it.
    readonly property var roles: {
        var list = []
        for (var column = 0; column < Finder.deviceModel.columnCount(); ++column)
            list.push(Finder.deviceModel.columnRole(column))
        return list
    }
    readonly property var titles: ({
        checked: "",
        devIndex: qsTr("序号"),
        name: qsTr("设备名称"),
        nodeType: qsTr("设备类型"),
        subNodeType: qsTr("子类型"),
        completeType: qsTr("完整类型"),
        devModel: qsTr("设备型号"),
        devStatus: qsTr("状态"),
        devStatusStr: qsTr("设备状态"),
        malfunction: qsTr("故障信息"),
        ipState: qsTr("IP状态"),
        runMode: qsTr("运行模式"),
        firmwareVer: qsTr("固件版本"),
        devTime: qsTr("设备时间"),
        callRollState: qsTr("点名状态"),
        serialNumber: qsTr("序列号"),
        mac: qsTr("MAC地址"),
        ip: Finder.texts.STR_NETWORK_PORT + "1 IP",
        ip2: Finder.texts.STR_NETWORK_PORT + "2 IP",
        subnetMask: Finder.texts.STR_SUBNET_MASK,
        gateway: Finder.texts.STR_GATEWAY_ADDRESS
    })
    readonly property var widths: ({
        checked: 64, devIndex: 72, name: 184, nodeType: 104, subNodeType: 88, completeType: 132,
        devModel: 104, devStatus: 72, devStatusStr: 104, malfunction: 150, ipState: 96, runMode: 104,
        firmwareVer: 104, devTime: 200, callRollState: 104, serialNumber: 128, mac: 160, ip: 132,
        ip2: 132, subnetMask: 132, gateway: 132
    })
    // Counts the proxy's row changes, for the cells to read their device again.
    property int rowsRevision: 0
    property alias view: table
    property alias headerCells: headerCells
    property alias operations: operations

    // The header column of a role, for tests and keyboard handling.
    function columnOf(role) {
        return roles.indexOf(role)
    }

    color: "white"

    // A new filter shows its first matches; fewer rows never leave the view past its end.
    Connections {
        target: root.model
        function onSearchTextChanged() { table.contentY = 0 }
        function onStatusFilterChanged() { table.contentY = 0 }
        function onCountChanged() { Qt.callLater(root.clampScroll) }
        function onLayoutChanged() { ++root.rowsRevision }
        function onModelReset() { ++root.rowsRevision }
        function onRowsInserted() { ++root.rowsRevision }
        function onRowsRemoved() { ++root.rowsRevision }
    }

    function clampScroll() {
        var last = Math.max(0, root.model.count * root.rowHeight - table.height)
        if (table.contentY > last)
            table.contentY = last
    }

    GridLayout {
        anchors.fill: parent
        columns: 2
        rowSpacing: 0
        columnSpacing: 0

        Item {
            Layout.fillWidth: true
            implicitHeight: root.headerHeight
            clip: true

            Row {
                x: -table.contentX
                Repeater {
                    id: headerCells
                    model: root.roles
                    HeaderCell {
                        width: root.widths[modelData] || 100
                        height: root.headerHeight
                        role: modelData
                        column: index
                        title: root.titles[modelData] || modelData
                    }
                }
            }
        }

        Rectangle {
            implicitWidth: 84
            implicitHeight: root.headerHeight
            color: "#eef2f7"
            Label {
                anchors.centerIn: parent
                text: qsTr("操作")
                font.bold: true
                color: "#2d3748"
            }
        }

        TableView {
            id: table
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: root.model
            boundsBehavior: Flickable.StopAtBounds
            columnWidthProvider: function (column) { return root.widths[root.roles[column]] || 100 }
            rowHeightProvider: function (row) { return root.rowHeight }
            ScrollBar.horizontal: ScrollBar { policy: ScrollBar.AsNeeded }
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            Label {
                objectName: "noMatch"
                anchors.centerIn: parent
                visible: root.model.count === 0 && Finder.tableCount > 0
                text: qsTr("没有符合搜索或筛选条件的设备")
                color: "#868e96"
            }

            delegate: DeviceCell {
                role: root.roles[column]
                // Read through the proxy again whenever its rows change: a reused cell
                // that keeps its row number may otherwise keep the previous row's device.
                value: root.rowsRevision, role === "devIndex" ? root.model.sourceRow(row) : root.model.device(row)
                proxyRow: row
            }

        }

        // The edit buttons: a table over the same rows that follows the device table's
        // rows and scrolling, so that each button is drawn beside, and acts on, its row.
        TableView {
            id: operations
            implicitWidth: 84
            Layout.fillHeight: true
            clip: true
            interactive: false
            model: root.model
            syncView: table
            syncDirection: Qt.Vertical
            columnWidthProvider: function (column) { return column === 0 ? width : 0 }
            delegate: Rectangle {
                readonly property int proxyRow: row
                readonly property alias button: editButton
                implicitWidth: 84
                implicitHeight: root.rowHeight
                color: row % 2 ? "#f6f8fb" : "#ffffff"
                Button {
                    id: editButton
                    anchors.centerIn: parent
                    objectName: "editButton"
                    text: qsTr("修改")
                    flat: true
                    height: root.rowHeight - 6
                    // The row this button is drawn on now, mapped through the proxy.
                    onClicked: root.model.editSignalDevice(row)
                }
            }
        }
    }
}
