// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import ZVR.DeviceFinder 1.0

// The device table: the shown columns in the order the user chose, a header row with the
// check-all box, the sort buttons and the column menu, and a pinned column with each
// row's edit button. Rows are selected for copying apart from their check boxes; the
// keyboard moves the current row.
Rectangle {
    id: root

    readonly property var model: Finder.sortModel
    // The shown rows with the columns in the order the user chose; it holds the selection.
    readonly property alias rows: arranged
    readonly property int rowHeight: 32
    readonly property int headerHeight: 36
    // The model's roles in its own column order: sorting names these columns.
    readonly property var modelRoles: {
        var list = []
        for (var column = 0; column < Finder.deviceModel.columnCount(); ++column)
            list.push(Finder.deviceModel.columnRole(column))
        return list
    }
    // View column c shows roles[c].
    readonly property var roles: Columns.visibleRoles
    readonly property var titles: Columns.titles
    readonly property var widths: Columns.widths
    // The keyboard's row.
    property int currentRow: -1
    readonly property int selectedCount: arranged.selectedCount
    property alias view: table
    property alias headerCells: headerCells
    property alias headerMenu: headerMenu
    property alias cellMenu: cellMenu

    signal escapePressed()
    signal chooseColumns()

    // The view column of a role, for tests and keyboard handling.
    function columnOf(role) {
        return roles.indexOf(role)
    }
    function modelColumnOf(role) {
        return modelRoles.indexOf(role)
    }

    function focusTable() {
        table.forceActiveFocus()
    }

    // A click or a move of the current row: alone, toggled with Ctrl, a range with Shift.
    function selectRow(row, modifiers) {
        if (row < 0 || row >= model.count)
            return
        arranged.selectRow(row, modifiers)
        currentRow = row
        showRow(row)
    }

    // The selected rows in the order shown; the current row when none is selected.
    function selectedRows() {
        var rows = arranged.selectedRows()
        if (rows.length === 0 && currentRow >= 0 && currentRow < model.count)
            rows.push(currentRow)
        return rows
    }

    function copySelection() {
        return TableExport.copyRows(selectedRows())
    }

    // Ctrl+A: every row the filter shows that a change can take.
    function checkAllShown() {
        return arranged.checkShown()
    }

    function showRow(row) {
        table.positionViewAtIndex(row, ListView.Contain)
    }

    function handleKey(event) {
        var page = Math.max(1, Math.floor(table.height / rowHeight) - 1)
        var last = model.count - 1
        var row = currentRow
        switch (event.key) {
        case Qt.Key_Up: row = Math.max(0, row - 1); break
        case Qt.Key_Down: row = Math.min(last, row + 1); break
        case Qt.Key_PageUp: row = Math.max(0, row - page); break
        case Qt.Key_PageDown: row = Math.min(last, row < 0 ? page : row + page); break
        case Qt.Key_Home: row = 0; break
        case Qt.Key_End: row = last; break
        case Qt.Key_Space:
            var device = model.device(currentRow)
            if (device)
                model.checkDevice(currentRow, !device.checked)
            return true
        case Qt.Key_Return:
        case Qt.Key_Enter:
            if (currentRow >= 0)
                model.editSignalDevice(currentRow)
            return true
        case Qt.Key_Escape:
            escapePressed()
            return true
        case Qt.Key_C:
            if (!(event.modifiers & Qt.ControlModifier))
                return false
            copySelection()
            return true
        default:
            return false
        }
        if (last >= 0)
            selectRow(row, event.modifiers & Qt.ShiftModifier)
        return true
    }

    // A title let go over another column takes that column's place.
    function dropColumn(role, sceneX) {
        var x = headerRow.mapFromItem(null, sceneX, 0).x, left = 0
        for (var column = 0; column < roles.length; ++column) {
            left += widths[roles[column]]
            if (x < left || column === roles.length - 1) {
                var order = Columns.order
                // Later: the move rebuilds the header cell that let go.
                Qt.callLater(Columns.move, role, order.indexOf(roles[column]) - order.indexOf(role))
                return
            }
        }
    }

    function openHeaderMenu(role) {
        headerMenu.role = role
        headerMenu.popup()
    }

    function openCellMenu(row, role) {
        cellMenu.row = row
        cellMenu.role = role
        cellMenu.popup()
    }

    color: "white"

    ArrangedColumnsModel {
        id: arranged
        sourceModel: root.model
        roles: root.roles
        finder: Finder
    }

    // A new filter shows its first matches; fewer rows never leave the view past its end.
    Connections {
        target: root.model
        function onSearchTextChanged() { table.positionViewAtBeginning() }
        function onStatusFilterChanged() { table.positionViewAtBeginning() }
        function onCountChanged() { Qt.callLater(root.clampScroll) }
    }

    function showCellTip(cell, show) {
        if (show) {
            cellTip.parent = cell
            cellTip.text = cell.text
            cellTip.visible = true
        } else if (cellTip.parent === cell) {
            cellTip.visible = false
        }
    }

    function clampScroll() {
        var last = table.originY + Math.max(0, table.contentHeight + table.bottomMargin - table.height)
        if (table.contentY > last)
            table.contentY = last
        if (currentRow >= root.model.count)
            currentRow = root.model.count - 1
    }

    readonly property int operationsWidth: 84
    // Each column's left edge, and after them the columns' whole width.
    readonly property var columnEdges: {
        var edges = [0]
        for (var column = 0; column < roles.length; ++column)
            edges.push(edges[column] + (widths[roles[column]] || 100))
        return edges
    }
    readonly property real columnsWidth: columnEdges[roles.length]
    readonly property int checkColumn: roles.indexOf("checked")

    GridLayout {
        anchors.fill: parent
        columns: 3
        rowSpacing: 0
        columnSpacing: 0

        Item {
            Layout.fillWidth: true
            implicitHeight: root.headerHeight
            clip: true

            Row {
                id: headerRow
                x: -table.contentX
                Repeater {
                    id: headerCells
                    model: root.roles
                    HeaderCell {
                        required property string modelData
                        width: root.widths[modelData] || 100
                        height: root.headerHeight
                        role: modelData
                        column: root.modelColumnOf(modelData)
                        title: modelData === "checked" ? "" : root.titles[modelData] || modelData
                        onMenuRequested: root.openHeaderMenu(modelData)
                        onDropped: function (sceneX) { root.dropColumn(modelData, sceneX) }
                    }
                }
            }
        }

        Rectangle {
            implicitWidth: root.operationsWidth
            implicitHeight: root.headerHeight
            color: "#eef2f7"
            Label {
                anchors.centerIn: parent
                text: qsTr("操作")
                font.bold: true
                color: "#2d3748"
            }
            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.RightButton
                onClicked: root.chooseColumns()
            }
        }

        // Above the vertical scroll bar.
        Rectangle {
            implicitWidth: vScroll.visible ? vScroll.width : 0
            implicitHeight: root.headerHeight
            color: "#eef2f7"
        }

        // One item per row: a view of rows changes only the rows it shows when rows come,
        // go or change, where a table view would lay out and refill every visible cell.
        ListView {
            id: table
            Layout.columnSpan: 3
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: arranged
            reuseItems: true
            // Rows past the edges are made as they scroll in: the pool keeps them cheap.
            cacheBuffer: 0
            activeFocusOnTab: true
            // The table's own keyboard row and selection; no highlight to move along.
            keyNavigationEnabled: false
            currentIndex: -1
            highlightFollowsCurrentItem: false
            boundsBehavior: Flickable.StopAtBounds
            flickableDirection: Flickable.AutoFlickIfNeeded
            // The last column scrolls clear of the edit buttons and the scroll bar.
            readonly property real pinnedWidth: root.operationsWidth + (vScroll.visible ? vScroll.width : 0)
            contentWidth: root.columnsWidth + pinnedWidth
            // The first rows that arrive get their cells a few rows a frame: a screenful of
            // new cells in one frame stalls the window. Later rows reuse those cells.
            property int shownRows: 0
            readonly property bool warming: shownRows <= height / root.rowHeight
            Connections {
                target: table.warming && root.model.count > 0 ? table.Window.window : null
                // Emitted on this thread before each frame, whatever the render loop.
                function onAfterAnimating() {
                    var next = table.shownRows + 6
                    table.shownRows = next <= table.height / root.rowHeight ? next : 1 << 30
                }
            }
            bottomMargin: hScroll.visible ? hScroll.height : 0
            // Shown whenever there is more to see, so that a small window shows it can scroll.
            ScrollBar.horizontal: ScrollBar {
                id: hScroll
                policy: table.contentWidth > table.width ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }
            ScrollBar.vertical: ScrollBar {
                id: vScroll
                policy: table.contentHeight > table.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }
            Keys.onPressed: function (event) { event.accepted = root.handleKey(event) }

            Label {
                objectName: "noMatch"
                parent: table
                anchors.centerIn: parent
                visible: root.model.count === 0 && Finder.tableCount > 0
                text: qsTr("没有符合搜索或筛选条件的设备")
                color: "#868e96"
            }

            delegate: Item {
                id: rowItem
                required property int index
                required property var device
                required property int tableRow
                required property bool selected
                required property int awaitingPorts
                readonly property int proxyRow: index
                // Its cells made: apart from the Repeater's model, which would make them
                // anew whenever the warm-up moves on.
                readonly property bool warm: index < table.shownRows
                readonly property alias cells: cellRow
                readonly property alias button: editButton
                // Selected, checked, or striped.
                readonly property color background: selected ? "#cfe2ff"
                                                    : device && device.checked ? "#e7f0fd"
                                                    : index % 2 ? "#f6f8fb" : "#ffffff"
                // A pooled row keeps its old device where it was drawn: hidden, it takes no clicks.
                ListView.onPooled: visible = false
                ListView.onReused: visible = true
                width: table.contentWidth
                height: root.rowHeight

                Rectangle {
                    width: root.columnsWidth
                    height: root.rowHeight
                    color: rowItem.background
                }

                // Placed by hand: a positioner would place new cells only at the next frame.
                Item {
                    id: cellRow
                    Repeater {
                        model: rowItem.warm ? root.roles : 0
                        DeviceCell {
                            id: deviceCell
                            required property string modelData
                            required property int index
                            x: root.columnEdges[index]
                            width: root.columnEdges[index + 1] - x
                            height: root.rowHeight
                            columnRole: modelData
                            device: rowItem.device
                            tableRow: rowItem.tableRow
                            awaitingPorts: rowItem.awaitingPorts
                            shown: x + width > table.contentX && x < table.contentX + table.width
                            onRowClicked: function (modifiers) {
                                root.focusTable()
                                root.selectRow(rowItem.index, modifiers)
                            }
                            // The device's state is the truth: the box follows its checkedChanged.
                            onCheckRequested: {
                                if (rowItem.device)
                                    root.model.checkDevice(rowItem.index, !rowItem.device.checked)
                            }
                            onMenuRequested: {
                                root.focusTable()
                                if (!rowItem.selected)
                                    root.selectRow(rowItem.index, Qt.NoModifier)
                                root.openCellMenu(rowItem.index, role)
                            }
                            onEditRequested: root.model.editSignalDevice(rowItem.index)
                            onTipRequested: function (show) { root.showCellTip(deviceCell, show) }
                        }
                    }
                }

                // The row's check box, over the check column, whose cell takes the clicks.
                Rectangle {
                    objectName: "checkBox"
                    readonly property bool checked: !!(rowItem.device && rowItem.device.checked)
                    visible: root.checkColumn >= 0 && rowItem.warm
                    x: (root.columnEdges[root.checkColumn] + root.columnEdges[root.checkColumn + 1] - width) / 2
                    anchors.verticalCenter: parent.verticalCenter
                    width: 18
                    height: 18
                    radius: 3
                    color: checked ? "#1c7ed6" : "#ffffff"
                    border.color: checked ? "#1c7ed6" : "#868e96"
                    Text {
                        anchors.centerIn: parent
                        visible: parent.checked
                        text: "✓"
                        color: "#ffffff"
                        font.bold: true
                    }
                }

                // The keyboard's row, while the table has the focus.
                Rectangle {
                    objectName: "currentRowFrame"
                    z: 2
                    visible: table.activeFocus && rowItem.index === root.currentRow
                    width: root.columnsWidth
                    height: root.rowHeight
                    color: "transparent"
                    border.color: "#1c7ed6"
                    border.width: 2
                }

                // The row's edit button, pinned beside the scroll bar whatever the columns' scroll.
                Rectangle {
                    z: 1
                    x: table.contentX + table.width - table.pinnedWidth
                    width: table.pinnedWidth
                    height: root.rowHeight
                    color: rowItem.background
                    // Plain items, not a control: the view builds one per visible row.
                    Rectangle {
                        id: editButton
                        x: (root.operationsWidth - width) / 2
                        anchors.verticalCenter: parent.verticalCenter
                        objectName: "editButton"
                        width: 56
                        height: root.rowHeight - 6
                        radius: 3
                        color: editArea.pressed ? "#d0ebff" : editArea.containsMouse ? "#e7f5ff" : "transparent"
                        Text {
                            anchors.centerIn: parent
                            text: qsTr("修改")
                            font.family: Finder.texts.STR_FONT_FAMILY
                            font.pixelSize: 13
                            color: "#1c7ed6"
                        }
                        MouseArea {
                            id: editArea
                            anchors.fill: parent
                            hoverEnabled: true
                            // The row this button is drawn on now, mapped through the proxy.
                            onClicked: root.model.editSignalDevice(rowItem.index)
                        }
                    }
                }
            }

            // One tool tip for every cell: the whole text of the cell under the pointer.
            ToolTip {
                id: cellTip
                objectName: "cellTip"
                delay: 500
            }
        }
    }

    Menu {
        id: headerMenu
        property string role
        readonly property bool movable: Columns.isMovable(role)
        onClosed: root.focusTable()

        MenuItem {
            text: qsTr("隐藏此列")
            enabled: headerMenu.movable
            onTriggered: Columns.setVisible(headerMenu.role, false)
        }
        MenuItem {
            text: qsTr("左移")
            enabled: headerMenu.movable && Columns.order.indexOf(headerMenu.role) > 1
            onTriggered: Columns.move(headerMenu.role, -1)
        }
        MenuItem {
            text: qsTr("右移")
            enabled: headerMenu.movable && Columns.order.indexOf(headerMenu.role) < Columns.order.length - 1
            onTriggered: Columns.move(headerMenu.role, 1)
        }
        MenuSeparator {}
        MenuItem {
            text: qsTr("选择显示的列…")
            onTriggered: root.chooseColumns()
        }
        MenuItem {
            text: qsTr("恢复默认")
            onTriggered: Columns.restoreDefaults()
        }
    }

    Menu {
        id: cellMenu
        property int row: -1
        property string role
        onClosed: root.focusTable()

        MenuItem {
            objectName: "copyCell"
            text: qsTr("复制“%1”").arg(root.titles[cellMenu.role] || "")
            onTriggered: TableExport.copyText(TableExport.cellText(cellMenu.row, cellMenu.role))
        }
        MenuItem {
            text: qsTr("复制选中的%1行").arg(Math.max(1, root.selectedCount))
            onTriggered: root.copySelection()
        }
        MenuSeparator {}
        MenuItem {
            text: qsTr("修改此设备…")
            onTriggered: root.model.editSignalDevice(cellMenu.row)
        }
    }
}
