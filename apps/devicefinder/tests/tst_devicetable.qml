// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtTest 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0
import "../qml"

// The real page over the seeded network: after the first scan round the table shows
// 32 of the 48 devices, in the order they were found.
Item {
    id: root
    width: 1400
    height: 1100

    // Reads the clipboard back.
    TextEdit {
        id: pasteBox
    }

    TestCase {
        name: "FinderPage"
        when: windowShown

        property var page

        Component {
            id: pageComponent
            FinderPage { width: root.width; height: root.height }
        }
        SignalSpy { id: tableDataSpy; target: Finder.deviceModel; signalName: "dataChanged" }
        SignalSpy { id: proxyDataSpy; target: Finder.sortModel; signalName: "dataChanged" }

        function init() {
            Finder.restart()
            Finder.sortModel.sortByColumn(-1, ZVRSortButton.None)
            Finder.sortModel.searchText = ""
            Finder.statusModel.currentIndex = 0
            Columns.restoreDefaults()
            page = createTemporaryObject(pageComponent, root)
            verify(page)
            Finder.scan(1)
            tryCompare(Finder.sortModel, "count", 32)
            tableDataSpy.clear()
            proxyDataSpy.clear()
        }

        // A failed case must not leave the modal editor over the next one.
        function cleanup() {
            if (page)
                page.editor.close()
        }

        // The cells of the rows the view shows, each with its row's proxyRow.
        function shownCells() {
            var rows = page.table.view.contentItem.children, cells = []
            for (var i = 0; i < rows.length; ++i) {
                if (!rows[i].visible || rows[i].cells === undefined)
                    continue
                var rowCells = rows[i].cells.children
                for (var c = 0; c < rowCells.length; ++c) {
                    if (rowCells[c].role !== undefined)
                        cells.push({ item: rowCells[c], proxyRow: rows[i].proxyRow })
                }
            }
            return cells
        }

        // The shown delegate of a proxy row and role, or null. A delegate whose device was
        // just destroyed may linger until the view's next layout; a live one wins.
        function cell(row, role) {
            var cells = shownCells()
            var found = null
            for (var i = 0; i < cells.length; ++i) {
                var item = cells[i].item
                if (cells[i].proxyRow === row && item.role === role) {
                    if (item.device || role === "devIndex")
                        return item
                    found = item
                }
            }
            return found
        }

        function cellText(row, role) {
            var item = cell(row, role)
            return item ? item.text : "(no cell)"
        }

        // Scrolls the table so that the column of \a role is shown.
        function showColumn(role) {
            var view = page.table.view, x = 0, total = 0
            for (var column = 0; column < page.table.roles.length; ++column) {
                if (column < page.table.columnOf(role))
                    x += page.table.widths[page.table.roles[column]]
                total += page.table.widths[page.table.roles[column]]
            }
            if (x < view.contentX || x + page.table.widths[role] > view.contentX + view.width)
                view.contentX = Math.max(0, Math.min(x, total - view.width))
        }

        // A pooled delegate may keep its old row until it is reused, so any shown
        // delegate of the row and role may carry the text.
        function shownTexts(row, role) {
            var cells = shownCells(), texts = []
            for (var i = 0; i < cells.length; ++i) {
                if (cells[i].proxyRow === row && cells[i].item.role === role)
                    texts.push(cells[i].item.text)
            }
            return texts
        }

        function tryShownText(row, role, text) {
            showColumn(role)
            tryVerify(function () { return shownTexts(row, role).indexOf(text) >= 0 }, 5000,
                      "row " + row + " " + role + ": " + shownTexts(row, role).join(" | ") + ", expected " + text)
        }

        function tryCellText(row, role, text) {
            showColumn(role)
            tryVerify(function () { return cellText(row, role) === text }, 5000,
                      "row " + row + " " + role + ": " + cellText(row, role) + ", expected " + text)
        }

        function headerCell(role) {
            return page.table.headerCells.itemAt(page.table.columnOf(role))
        }

        function findChild(item, objectName) {
            if (!item)
                return null
            if (item.objectName === objectName)
                return item
            for (var i = 0; i < item.children.length; ++i) {
                var found = findChild(item.children[i], objectName)
                if (found)
                    return found
            }
            return null
        }



        function test_cells_data() {
            return [
                { tag: "encoder with two ports", row: 0, texts: {
                    devIndex: "1", name: "指挥大厅编码器01", nodeType: "编码器", devModel: "ZE-2100",
                    devStatusStr: "在线", ipState: "正常", runMode: "普通节点", callRollState: "未点名",
                    ip: "192.168.1.20", ip2: "192.168.2.50", subnetMask: "255.255.255.0",
                    gateway: "192.168.1.1", subnetMask2: "255.255.255.0", gateway2: "192.168.2.1" } },
                { tag: "seat decoder", row: 1, texts: { completeType: "解码器-坐席", subNodeType: "坐席" } },
                { tag: "screen decoder", row: 2, texts: { completeType: "解码器-大屏", subNodeType: "大屏" } },
                { tag: "two-in-one in roll call", row: 3, texts: {
                    completeType: "解码器-二合一", callRollState: "点名中" } },
                { tag: "master", row: 4, texts: { runMode: "主节点", ip: "192.168.1.2", completeType: "中控" } },
                { tag: "address conflict", row: 7, texts: { ipState: "IP冲突", ip: "192.168.1.28" } },
                { tag: "temperature fault", row: 8, texts: { devStatusStr: "故障", malfunction: "温度异常" } },
                { tag: "link fault", row: 11, texts: { ipState: "链路故障", devIndex: "12" } },
                { tag: "unknown kind", row: 13, texts: { nodeType: "--", completeType: "--", devModel: "" } },
                { tag: "offline", row: 15, texts: { devStatusStr: "离线", malfunction: "" } }
            ]
        }

        function test_cells(data) {
            for (var role in data.texts)
                tryCellText(data.row, role, data.texts[role])
        }

        // The table never says that data changed; the device's own signals reach the cells.
        function test_statusReachesCellWithoutDataChanged() {
            tryCellText(0, "name", "指挥大厅编码器01")
            var device = cell(0, "name").device
            device.name = "值班室备用编码器"
            compare(cellText(0, "name"), "值班室备用编码器")
            tryCellText(0, "devStatusStr", "在线")
            device.devStatus = DeviceData.Offline
            compare(cellText(0, "devStatusStr"), "离线")
            compare(tableDataSpy.count, 0)
            compare(proxyDataSpy.count, 0)
        }

        function test_headerCheckBox_data() {
            return [
                { tag: "nothing checked", actions: [], type: ZVRCheckBox.None, state: Qt.Unchecked, checked: 0 },
                { tag: "one row", actions: ["row0"], type: ZVRCheckBox.Some, state: Qt.PartiallyChecked, checked: 1 },
                { tag: "header checks the online rows", actions: ["header"], type: ZVRCheckBox.All,
                  state: Qt.Checked, checked: 25 },
                { tag: "one unchecked again", actions: ["header", "row0"], type: ZVRCheckBox.Some,
                  state: Qt.PartiallyChecked, checked: 24 },
                { tag: "header twice unchecks all", actions: ["header", "header"], type: ZVRCheckBox.None,
                  state: Qt.Unchecked, checked: 0 },
                { tag: "only an offline row", actions: ["row15"], type: ZVRCheckBox.None, state: Qt.Unchecked,
                  checked: 1 },
                { tag: "checked row goes offline", actions: ["header", "offline0"], type: ZVRCheckBox.All,
                  state: Qt.Checked, checked: 25 },
                { tag: "unchecked row goes offline", actions: ["row1", "offline0"], type: ZVRCheckBox.Some,
                  state: Qt.PartiallyChecked, checked: 1 },
                { tag: "new rows come unchecked", actions: ["header", "scan"], type: ZVRCheckBox.Some,
                  state: Qt.PartiallyChecked, checked: -1 },
                { tag: "header after offline checked row", actions: ["row15", "header", "header"],
                  type: ZVRCheckBox.None, state: Qt.Unchecked, checked: 0 }
            ]
        }

        function test_headerCheckBox(data) {
            var box = headerCell("checked").checkAllBox
            for (var i = 0; i < data.actions.length; ++i) {
                var action = data.actions[i]
                if (action === "header") {
                    mouseClick(box)
                } else if (action.indexOf("row") === 0) {
                    var row = Number(action.substring(3))
                    tryVerify(function () { return cell(row, "checked") !== null })
                    mouseClick(cell(row, "checked"))
                } else if (action === "offline0") {
                    cell(0, "name").device.devStatus = DeviceData.Offline
                } else {
                    Finder.scan(1)
                }
                wait(0)
            }
            tryCompare(Finder, "allCheckType", data.type)
            compare(box.checkState, data.state)
            if (data.checked >= 0)
                compare(Finder.checkedCount, data.checked)
        }

        function test_statusFilter_data() {
            return [
                { tag: "all", index: 0, text: "", rows: 32 },
                { tag: "online", index: 1, text: "在线", rows: 25 },
                { tag: "offline", index: 2, text: "离线", rows: 3 },
                { tag: "faulty", index: 3, text: "故障", rows: 4 }
            ]
        }

        function test_statusFilter(data) {
            Finder.statusModel.currentIndex = data.index
            compare(page.statusFilter.currentIndex, data.index)
            compare(page.statusFilter.displayText, ["全部", "在线", "离线", "故障"][data.index])
            tryCompare(Finder.sortModel, "count", data.rows)
            if (data.text === "")
                return
            for (var row = 0; row < data.rows; ++row)
                tryCellText(row, "devStatusStr", data.text)
            // A device that changes status leaves the filtered view on the next turn.
            Finder.sortModel.device(0).devStatus = data.index === 1 ? DeviceData.Offline : DeviceData.Online
            tryCompare(Finder.sortModel, "count", data.rows - 1)
        }

        function test_sort_data() {
            return [
                { tag: "ip ascending", role: "ip", clicks: 1, first: "二号会议室中控07", second: "演播厅中控15" },
                { tag: "ip descending", role: "ip", clicks: 2, first: "展厅解码器46", second: "机房编码器45" },
                { tag: "ip back to table order", role: "ip", clicks: 3, first: "指挥大厅编码器01",
                  second: "指挥大厅解码器02" },
                { tag: "name by pinyin", role: "name", clicks: 1, first: "二号会议室编码器09",
                  second: "二号会议室编码器33" },
                { tag: "name by its title", role: "name", clicks: 1, title: true, first: "二号会议室编码器09",
                  second: "二号会议室编码器33" },
                { tag: "status descending", role: "devStatus", clicks: 2, first: "演播厅编码器13",
                  second: "指挥大厅解码器26" }
            ]
        }

        function test_sort(data) {
            showColumn(data.role)
            var button = headerCell(data.role).sortButton
            for (var i = 0; i < data.clicks; ++i)
                mouseClick(data.title ? headerCell(data.role).titleLabel : button)
            compare(button.mode, [ZVRSortButton.None, ZVRSortButton.Ascend, ZVRSortButton.Descend][data.clicks % 3])
            tryCellText(0, "name", data.first)
            tryCellText(1, "name", data.second)
        }

        // Each edit button opens the device of the row it is drawn beside, however the
        // rows moved under it.
        function test_rowActions_data() {
            return [
                { tag: "scrolled to the bottom", search: "", sort: "", bottom: true },
                { tag: "searched after scrolling", search: "编码器", sort: "", bottom: true },
                { tag: "sorted by name", search: "", sort: "name", bottom: true }
            ]
        }

        function test_rowActions(data) {
            var view = page.table.view
            if (data.bottom)
                view.positionViewAtEnd()
            if (data.sort !== "")
                Finder.sortModel.sortByColumn(page.table.modelColumnOf(data.sort), ZVRSortButton.Descend)
            Finder.sortModel.searchText = data.search
            waitForRendering(page.table.view)
            var items = view.contentItem.children, clicked = 0
            for (var i = 0; i < items.length; ++i) {
                var item = items[i]
                if (!item.visible || item.button === undefined || item.proxyRow < 0 || item.y < view.contentY
                        || item.y + item.height > view.contentY + view.height)
                    continue
                mouseClick(item.button)
                tryCompare(page.editor, "visible", true)
                // The cells may catch up with the proxy a frame later; the button never errs.
                var row = item.proxyRow
                tryVerify(function () { return page.editor.target.name === cellText(row, "name") }, 2000,
                          "row " + row + ": " + page.editor.target.name + " beside " + cellText(row, "name"))
                page.editor.close()
                tryCompare(page.editor, "visible", false)
                ++clicked
            }
            verify(clicked >= Math.min(Finder.sortModel.count, 5), "clicked " + clicked)
        }

        // The first cells are made a few rows a frame; then every row takes its height, in a
        // view that shows only some of them too.
        function test_everyRowTakesItsHeight() {
            var small = createTemporaryObject(pageComponent, root, { height: 420 })
            tryCompare(small.table.view, "contentHeight", Finder.sortModel.count * small.table.rowHeight)
        }

        function test_rowRemovedWhileShown() {
            tryCellText(15, "devStatusStr", "离线")
            tryCellText(15, "name", "展厅解码器22")
            compare(Finder.removeOfflineDevices(), 3)
            compare(Finder.deviceModel.rowCount, 29)
            tryCompare(Finder.sortModel, "count", 29)
            tryShownText(15, "name", "指挥大厅编码器25")
            Finder.scan(1)
            tryCellText(0, "name", "指挥大厅编码器01")
        }
    
        function clipboardLines() {
            pasteBox.text = ""
            pasteBox.paste()
            return pasteBox.text.split("\n")
        }

        // Each step a key with its modifiers; the current row follows the keyboard into view.
        function test_keyboard_data() {
            var down = [Qt.Key_Down], ctrl = Qt.ControlModifier
            return [
                { tag: "down from the top", keys: [down, down], current: 1 },
                { tag: "end then up", keys: [[Qt.Key_End], [Qt.Key_Up]], current: 30 },
                { tag: "page down", keys: [[Qt.Key_PageDown]], current: "a page" },
                { tag: "page down stops at the end", keys: [[Qt.Key_PageDown], [Qt.Key_PageDown]], current: 31 },
                { tag: "home after end", keys: [[Qt.Key_End], [Qt.Key_Home]], current: 0 },
                { tag: "space checks the current row", keys: [down, down, [Qt.Key_Space]], current: 1, checked: 1 },
                // Only rows a change can take: offline and faulty encoders stay unchecked.
                { tag: "ctrl+a checks the shown online rows", search: "编码器", keys: [[Qt.Key_A, ctrl]], checked: 6,
                  header: Qt.PartiallyChecked },
                { tag: "ctrl+a leaves faulty rows", filter: 3, keys: [[Qt.Key_A, ctrl]], checked: 0,
                  header: Qt.Unchecked },
                { tag: "ctrl+a on every online row", filter: 1, keys: [[Qt.Key_A, ctrl]], checked: 25,
                  header: Qt.Checked },
                { tag: "escape clears the search", search: "编码器", keys: [[Qt.Key_Escape]], count: 32 },
                { tag: "ctrl+c copies the selected rows", keys: [down, [Qt.Key_Down, Qt.ShiftModifier], [Qt.Key_C, ctrl]],
                  current: 1, copied: ["勾选\t状态\t设备名称\t网口1 IP\t网口1 子网掩码\t网口1 网关地址\tMAC地址",
                                       "否\t在线\t指挥大厅编码器01\t192.168.1.20\t255.255.255.0\t192.168.1.1\t",
                                       "否\t在线\t指挥大厅解码器02\t192.168.1.21\t255.255.255.0\t192.168.1.1\t", ""] },
                { tag: "enter edits, escape returns", keys: [down, down, [Qt.Key_Return]], current: 1, edits: true },
                { tag: "ctrl+f goes to the search", keys: [[Qt.Key_F, ctrl]], search: "x", searchFocus: true }
            ]
        }

        function test_keyboard(data) {
            if (data.search)
                page.searchField.text = data.search
            if (data.filter)
                Finder.statusModel.currentIndex = data.filter
            page.table.focusTable()
            for (var i = 0; i < data.keys.length; ++i)
                keyClick(data.keys[i][0], data.keys[i][1] || Qt.NoModifier)
            var view = page.table.view
            if (data.current !== undefined) {
                // A page keeps one row of the last one in sight.
                var current = data.current === "a page" ? Math.floor(view.height / 32) - 1 : data.current
                compare(page.table.currentRow, current)
                verify(current * 32 >= view.contentY && (current + 1) * 32 <= view.contentY + view.height)
                compare(page.table.selectedRows(), data.copied ? [0, 1] : [current])
            }
            compare(Finder.checkedCount, data.checked || 0)
            if (data.header !== undefined)
                tryCompare(headerCell("checked").checkAllBox, "checkState", data.header)
            if (data.count)
                tryCompare(Finder.sortModel, "count", data.count)
            if (data.copied) {
                var lines = clipboardLines()
                compare(lines.length, data.copied.length)
                for (var l = 0; l < lines.length; ++l)
                    compare(lines[l].slice(0, data.copied[l].length), data.copied[l])
            }
            if (data.edits) {
                tryCompare(page.editor, "visible", true)
                compare(page.editor.target.name, "指挥大厅解码器02")
                keyClick(Qt.Key_Escape)
                tryCompare(page.editor, "visible", false)
                tryCompare(view, "activeFocus", true)
            }
            compare(page.searchField.activeFocus, !!data.searchFocus)
            compare(view.activeFocus, !data.searchFocus)
        }

        // The clear button empties the search; a cell's menu copies that cell; Tab leaves
        // the table for the node panel without visiting any row's button.
        function test_searchClearCellCopyAndTab() {
            page.searchField.text = "00-1e-c0-00-01-10"
            mouseClick(page.clearSearchButton)
            compare(Finder.sortModel.searchText, "")
            page.table.openCellMenu(2, "mac")
            page.table.cellMenu.itemAt(0).triggered()
            compare(clipboardLines(), ["00:1E:C0:00:02:64"])
            page.table.focusTable()
            keyClick(Qt.Key_Tab)
            verify(findChild(page, "nodeList").activeFocus)
        }
    
        // Drags in page coordinates, since a resized or moved header cell moves under the mouse.
        function dragOnPage(item, x, dx) {
            var from = item.mapToItem(page, x, 10)
            mousePress(page, from.x, from.y)
            mouseMove(page, from.x + dx / 2, from.y)
            mouseMove(page, from.x + dx, from.y)
            mouseRelease(page, from.x + dx, from.y)
        }

        function test_columns_data() {
            return [
                { tag: "title dropped on another column", drag: "title", role: "mac", onto: "name",
                  order: ["checked", "devStatus", "mac", "name", "ip"] },
                { tag: "edge dragged wider", drag: "edge", role: "name", dx: 50, width: 260,
                  order: ["checked", "devStatus", "name", "ip", "subnetMask"] },
                { tag: "hidden in the chooser", drag: "chooser", role: "ip",
                  order: ["checked", "devStatus", "name", "subnetMask", "gateway"] }
            ]
        }

        function test_columns(data) {
            var header = headerCell(data.role)
            if (data.drag === "title") {
                var onto = headerCell(data.onto)
                dragOnPage(header.titleLabel, 5, onto.mapToItem(header.titleLabel, onto.width / 2, 0).x - 5)
            } else if (data.drag === "edge") {
                dragOnPage(header.resizeHandle, 3, data.dx)
            } else {
                page.columnChooser.open()
                tryCompare(page.columnChooser, "opened", true)
                mouseClick(page.columnChooser.list.itemAtIndex(Columns.order.indexOf(data.role)).children[0])
                page.columnChooser.close()
            }
            tryVerify(function () { return String(page.table.roles.slice(0, 5)) === String(data.order) })
            compare(Columns.width("name"), data.width || 210)
            compare(Finder.sortModel.sortSection, -1)
            tryCellText(0, page.table.roles[3], { ip: "192.168.1.20", mac: "00:1E:C0:00:00:09", name: "指挥大厅编码器01",
                                                  subnetMask: "255.255.255.0" }[page.table.roles[3]])
        }
    
        // Each editor names what keeps a change from being sent, keeps its size while the
        // user types, and a batch accounts for every checked device it leaves out.
        function test_editor_data() {
            return [
                { tag: "unchanged device", rows: [0], message: "网络配置无修改", red: false },
                { tag: "device in fault", rows: [8], message: "设备故障（温度异常），排除故障后才能修改", red: true },
                { tag: "master node", rows: [4], message: "主备节点的IP地址不能修改", red: true },
                { tag: "batch leaves out each kind", rows: [0, 4, 8, 15], batch: true, message: "网络配置无修改",
                  red: false, notes: { offlineNote: 1, faultNote: 1, nodesNote: 1, hiddenNote: 0 } }
            ]
        }

        function test_editor(data) {
            if (data.batch) {
                for (var i = 0; i < data.rows.length; ++i)
                    Finder.sortModel.checkDevice(data.rows[i], true)
                verify(Finder.editChecked())
            } else {
                Finder.sortModel.editSignalDevice(data.rows[0])
            }
            var editor = page.editor
            tryCompare(editor, "opened", true)
            var error = findChild(editor.footer, "editError")
            compare(error.text, data.message)
            compare(String(error.color), data.red ? "#c92a2a" : "#868e96")
            compare(findChild(editor.footer, "applyButton").enabled, false)
            for (var note in data.notes) {
                var label = findChild(editor.contentItem, note)
                compare(label.visible, data.notes[note] > 0, note)
                if (label.visible)
                    verify(label.text.indexOf(String(data.notes[note])) === 0, label.text)
            }
            // The nodes that keep their addresses are named.
            if (data.batch)
                verify(findChild(editor.contentItem, "nodesNote").text.indexOf(Finder.sortModel.device(4).name) > 0)
            if (data.red)
                return
            waitForRendering(editor.contentItem)
            var height = editor.height, fieldY = editor.port1.ipField.mapToItem(editor.contentItem, 0, 0).y
            var gatewayY = findChild(editor.port1, "gatewayError").mapToItem(editor.contentItem, 0, 0).y
            editor.port1.ipField.forceActiveFocus()
            editor.port1.ipField.selectAll()
            keyClick(Qt.Key_Delete)
            keyClick(Qt.Key_1)
            verify(findChild(editor.port1, "ipError").text !== "")
            compare(editor.height, height)
            compare(editor.port1.ipField.mapToItem(editor.contentItem, 0, 0).y, fieldY)
            compare(findChild(editor.port1, "gatewayError").mapToItem(editor.contentItem, 0, 0).y, gatewayY)
        }

        // While a change is in flight the tool bar still answers, with the reason, and the
        // keyboard stays out of what the busy overlay covers.
        function test_busyRefusesWithReason() {
            Finder.sortModel.editSignalDevice(1)
            page.editor.close()
            verify(Finder.applyChange({ ip: "192.168.1.91", subnetMask: "/24", gateway: "192.168.1.1" }))
            verify(Finder.busy)
            mouseClick(findChild(page, "rescanButton"))
            compare(page.messageBox.text, "正在修改网络参数，修改结束后才能重新扫描")
            verify(Finder.busy)
            page.messageBox.close()
            page.searchField.forceActiveFocus()
            for (var i = 0; i < 12 && Finder.busy; ++i) {
                keyClick(Qt.Key_Tab)
                verify(!page.table.view.activeFocus && !findChild(page, "nodeList").activeFocus)
            }
            tryCompare(Finder, "busy", false)
            // The new address shows at once, marked until the next scan report.
            page.showDevices()
            tryCellText(1, "ip", "192.168.1.91（待扫描确认）")
            compare(cell(1, "ip").shownText, "↻ 192.168.1.91")
            compare(cell(1, "gateway").shownText, "↻ 192.168.1.1")
            // Port 2 was not part of the change: nothing of it awaits the scan.
            showColumn("ip2")
            tryVerify(function () { return cell(1, "ip2") !== null })
            verify(cell(1, "ip2").shownText.indexOf("↻") < 0)
            Finder.scan(1)
            tryCellText(1, "ip", "192.168.1.91")
        }

        // A folder that does not exist: nothing is written and the message says why.
        function test_exportRefused() {
            mouseClick(findChild(page, "exportButton"))
            tryCompare(page.exportDialog, "opened", true)
            page.exportDialog.path.text = "/nonexistent-folder/list.csv"
            keyClick(Qt.Key_Return)
            tryCompare(page.messageBox, "visible", true)
            compare(page.messageBox.text, "无法在“/nonexistent-folder/list.csv”创建文件：文件夹不存在，或没有写入权限。")
            page.messageBox.close()
            tryCompare(page.table.view, "activeFocus", true)
        }
    }
}
