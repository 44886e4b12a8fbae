// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtTest 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0
import "../qml"

// Editing and applying network settings in the real interface over the seeded network.
Item {
    id: root
    width: 1400
    height: 900

    TestCase {
        id: testCase
        name: "NetworkEdit"
        when: windowShown

        property var page

        Component {
            id: pageComponent
            FinderPage {
                width: root.width
                height: root.height
            }
        }

        SignalSpy {
            id: busySpy
            target: Finder
            signalName: "busyChanged"
        }

        // A fresh page over a fresh network for every test.
        function init() {
            Finder.restart()
            Finder.sortModel.sortByColumn(-1, ZVRSortButton.None)
            Finder.sortModel.searchText = ""
            Finder.statusModel.currentIndex = 0
            page = createTemporaryObject(pageComponent, root)
            verify(page)
            Finder.scan(1)
            tryCompare(Finder.sortModel, "count", 32)
            busySpy.clear()
        }

        function findChild(item, objectName) {
            if (!item)
                return null
            if (item.objectName === objectName)
                return item
            var children = item.children
            for (var i = 0; i < children.length; ++i) {
                var found = findChild(children[i], objectName)
                if (found)
                    return found
            }
            return null
        }

        // Opens the editor through the row's edit button, as a person would.
        function editRow(row) {
            var button = null
            tryVerify(function () {
                button = findChild(page.table.operations.contentItem, "editButton" + row)
                return button !== null
            })
            mouseClick(button)
            tryCompare(page.editor, "opened", true)
        }

        function enter(port, ip, mask, gateway) {
            port.ip = ip
            port.subnetMask = mask
            port.gateway = gateway
        }

        function submit() {
            mouseClick(findChild(page.editor.footer, "applyButton"))
        }

        // Checks the one row whose name is \a name, found through the search field.
        function checkByName(name) {
            page.searchField.text = name
            tryCompare(Finder.sortModel, "count", 1)
            Finder.sortModel.checkDevice(0, true)
            page.searchField.text = ""
            tryCompare(Finder.sortModel, "count", 32)
        }

        function test_editorShowsTheRow() {
            editRow(4)
            compare(page.editor.target.name, "二号会议室中控07")
            compare(page.editor.port1.ip, "192.168.1.2")
            compare(page.editor.port1.subnetMask, "255.255.255.0")
            compare(page.editor.port1.gateway, "192.168.1.1")
            compare(page.editor.changePort2.visible, true)
        }

        function test_refused_data() {
            return [
                { tag: "not an address", ip: "300.1.1.1", mask: "255.255.255.0", gateway: "192.168.1.1",
                  text: "300.1.1.1是无效的ip地址" },
                { tag: "three parts", ip: "192.168.1", mask: "255.255.255.0", gateway: "192.168.1.1",
                  text: "192.168.1是无效的ip地址" },
                { tag: "bad mask text", ip: "192.168.1.60", mask: "255.255.255.0.0", gateway: "192.168.1.1",
                  text: "255.255.255.0.0是无效的ip地址" },
                { tag: "bad gateway", ip: "192.168.1.60", mask: "255.255.255.0", gateway: "网关",
                  text: "网关是无效的ip地址" },
                { tag: "first byte 0", ip: "0.1.2.3", mask: "255.0.0.0", gateway: "0.1.2.1",
                  text: "首字节只能用1~223之间的值" },
                { tag: "first byte 224", ip: "224.0.0.5", mask: "255.255.255.0", gateway: "224.0.0.1",
                  text: "首字节只能用1~223之间的值" },
                { tag: "loopback", ip: "127.0.0.5", mask: "255.0.0.0", gateway: "127.0.0.1",
                  text: "首字节不能用127" },
                { tag: "mask with a gap", ip: "192.168.1.60", mask: "255.0.255.0", gateway: "192.168.1.1",
                  text: "子网掩码必须是相邻的" },
                { tag: "host bits 0", ip: "192.168.1.0", mask: "255.255.255.0", gateway: "192.168.1.1",
                  text: "IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设为0.请输入一个有效的IP地址和子网掩码组合" },
                { tag: "host bits 1", ip: "192.168.1.255", mask: "255.255.255.0", gateway: "192.168.1.1",
                  text: "IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设为1.请输入一个有效的IP地址和子网掩码组合" },
                { tag: "unchanged", ip: "192.168.1.20", mask: "255.255.255.0", gateway: "192.168.1.1",
                  text: "网络配置无修改" },
                { tag: "taken by another device", ip: "192.168.1.21", mask: "255.255.255.0",
                  gateway: "192.168.1.1", text: "设备ip地址已被占用" },
                { tag: "same as second port", ip: "192.168.2.50", mask: "255.255.255.0", gateway: "192.168.2.1",
                  text: "网口IP地址不能相同" }
            ]
        }

        function test_refused(data) {
            editRow(0)
            enter(page.editor.port1, data.ip, data.mask, data.gateway)
            submit()
            compare(page.editor.error, data.text)
            compare(findChild(page.editor.contentItem, "editError").text, data.text)
            // Nothing was sent and the device keeps its address.
            verify(page.editor.opened)
            compare(busySpy.count, 0)
            compare(cell0Ip(), "192.168.1.20")
        }

        function cell0Ip() {
            return Finder.deviceModel.data(Finder.deviceModel.index(0, 17), 273).ip
        }

        function test_portsMustDiffer() {
            editRow(0)
            page.editor.changePort2.checked = true
            enter(page.editor.port1, "192.168.1.70", "255.255.255.0", "192.168.1.1")
            enter(page.editor.port2, "192.168.1.70", "255.255.255.0", "192.168.1.1")
            submit()
            compare(page.editor.error, "网口IP地址不能相同")
            compare(busySpy.count, 0)
        }

        function test_offlineDevice() {
            editRow(15)
            enter(page.editor.port1, "192.168.1.90", "255.255.255.0", "192.168.1.1")
            submit()
            compare(page.editor.error, "设备已离线")
        }

        function test_nothingChecked() {
            mouseClick(findChild(page, "editCheckedButton"))
            tryCompare(page.messageBox, "opened", true)
            compare(page.messageBox.text, "请先选择要修改的设备")
            verify(!page.editor.opened)
        }

        function test_singleChange() {
            editRow(1)
            enter(page.editor.port1, "192.168.1.90", "255.255.255.0", "192.168.1.1")
            submit()
            compare(page.editor.error, "")
            verify(Finder.busy)
            tryCompare(page.busyOverlay, "opened", true)
            compare(page.busyOverlay.text, "修改设备网络参数中, 请稍后")
            tryCompare(Finder, "busy", false)
            tryCompare(page, "showingResults", true)
            compare(Finder.resultSummary, "修改成功1个, 失败0个")
            // The next scan shows the new address.
            Finder.scan(1)
            compare(Finder.deviceModel.data(Finder.deviceModel.index(1, 17), 273).ip, "192.168.1.90")
        }

        // Every answer of the back-end, one device each: addresses are handed out from
        // 192.168.1.1 up in table order, so the second and third device get the master's
        // and the backup's address.
        function test_batchChange() {
            var names = ["指挥大厅编码器01", "指挥大厅解码器02", "指挥大厅解码器03", "二号会议室中控07",
                         "二号会议室编码器09", "监控中心解码器16", "机房设备20", "展厅解码器22",
                         "一号会议室二合一解码器28"]
            for (var i = 0; i < names.length; ++i)
                checkByName(names[i])
            tryCompare(Finder, "checkedCount", names.length)

            mouseClick(findChild(page, "editCheckedButton"))
            tryCompare(page.editor, "opened", true)
            compare(page.editor.target.count, names.length)
            enter(page.editor.port1, "192.168.1.1", "255.255.0.0", "192.168.1.254")
            submit()
            compare(page.editor.error, "")
            tryCompare(page, "showingResults", true)

            compare(Finder.resultModel.totalNum, 9)
            compare(Finder.resultModel.successNum, 1)
            compare(Finder.resultModel.failureNum, 8)
            compare(Finder.resultModel.ethernetPort, 1)
            compare(findChild(page.resultView, "summary").text, "修改成功1个, 失败8个")
            compare(findChild(page.resultView, "total").text, "共计修改9个，成功1个")

            var details = ["网口ip网段不能相同", "设备ip不能和主或备节点ip相同", "设备ip不能和主或备节点ip相同",
                           "不能修改主或备节点ip", "", "网口参数校验失败", "网络配置格式错误", "网络超时",
                           "设备未初始化完成"]
            var model = Finder.resultModel
            compare(model.rowCount(), details.length)
            for (var row = 0; row < details.length; ++row) {
                // Records obtained through an invokable call stay owned by C++.
                var record = model.data(model.index(row, 0), 256)
                compare(record.detail, details[row], "row " + row)
            }
            compare(model.data(model.index(4, 0), 257).ip, "192.168.1.5")
            gc()
            wait(0)
            compare(model.data(model.index(7, 0), 256).detail, "网络超时")
        }
    }
}
