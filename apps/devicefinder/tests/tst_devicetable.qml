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

        // The shown delegate of a proxy row and role, or null. A delegate whose device was
        // just destroyed may linger until the view's next layout; a live one wins.
        function cell(row, role) {
            var items = page.table.view.contentItem.children
            var found = null
            for (var i = 0; i < items.length; ++i) {
                var item = items[i]
                if (item.visible && item.proxyRow === row && item.role === role) {
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
                    gateway: "192.168.1.1" } },
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
            tryCellText(0, "devStatusStr", "在线")
            var device = cell(0, "devStatusStr").device
            device.devStatus = DeviceData.Offline
            compare(cellText(0, "devStatusStr"), "离线")
            device.name = "值班室备用编码器"
            compare(cellText(0, "name"), "值班室备用编码器")
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
            cell(0, "name").device.devStatus = data.index === 1 ? DeviceData.Offline : DeviceData.Online
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
                view.contentY = view.contentHeight - view.height
            if (data.sort !== "")
                Finder.sortModel.sortByColumn(page.table.modelColumnOf(data.sort), ZVRSortButton.Descend)
            Finder.sortModel.searchText = data.search
            waitForRendering(page.table.view)
            var items = page.table.operations.contentItem.children, clicked = 0
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

        function test_rowRemovedWhileShown() {
            tryCellText(15, "devStatusStr", "离线")
            var shown = cell(15, "name")
            compare(Finder.removeOfflineDevices(), 3)
            compare(Finder.deviceModel.rowCount, 29)
            tryCompare(Finder.sortModel, "count", 29)
            tryCellText(15, "name", "指挥大厅编码器25")
            // The delegate that showed the removed device no longer names it.
            verify(!shown.visible || shown.text !== "展厅解码器22")
            Finder.scan(1)
            tryCellText(0, "name", "指挥大厅编码器01")
        }
    }
}
