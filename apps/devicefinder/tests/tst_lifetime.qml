// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtTest 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// Records that QML obtains from an invokable call would become JavaScript-owned and be
// collected while the models still hold them; the tool keeps them owned by C++. No view
// holds a record here, so nothing but that ownership keeps them alive through gc().
TestCase {
    name: "Lifetime"

    SignalSpy { id: resultsSpy; target: Finder; signalName: "resultsReady" }

    function init() {
        Finder.restart()
        Finder.scan(1)
        compare(Finder.deviceModel.rowCount, 32)
    }

    function collect() {
        gc()
        wait(0) // runs the deferred deletions of collected objects
    }

    function test_deviceRecord_data() {
        return [
            { tag: "name role", row: 0, role: 258, name: "指挥大厅编码器01" },
            { tag: "operate role", row: 4, role: 277, name: "二号会议室中控07" },
            { tag: "display role", row: 31, role: 0, name: "展厅解码器46" }
        ]
    }

    function test_deviceRecord(data) {
        var model = Finder.deviceModel
        var index = model.index(data.row, 2)
        var device = model.data(index, data.role)
        compare(device.name, data.name)
        collect()
        compare(device.name, data.name)
        device = null
        collect()
        // The table still serves the same record, and the next scan updates it.
        Finder.scan(1)
        collect()
        compare(model.data(index, data.role).name, data.name)
        compare(Finder.deviceModel.rowCount, 40)
    }

    function test_resultRecord() {
        tryCompare(Finder.sortModel, "count", 32) // scanned rows join the view on the next turn
        Finder.sortModel.editSignalDevice(1)
        compare(Finder.editTarget.count, 1)
        verify(Finder.applyChange({ ip: "192.168.1.91", subnetMask: "255.255.255.0", gateway: "192.168.1.1" }))
        resultsSpy.wait(3000)
        var model = Finder.resultModel
        var record = model.data(model.index(0, 0), 257)
        compare(record.ip, "192.168.1.91")
        collect()
        compare(record.ip, "192.168.1.91")
        record = null
        collect()
        compare(model.data(model.index(0, 1), 258).ip, "192.168.1.91")
        compare(model.data(model.index(0, 1), 256).detail, "")
    }
}
