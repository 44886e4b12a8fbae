// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// Where the device list, or the last change's results, go as a CSV file; the outcome
// is told in a message.
Dialog {
    id: dialog

    property alias path: pathField
    property bool results: false
    signal finished(string message)

    function start(exportResults) {
        results = !!exportResults
        pathField.text = TableExport.suggestedPath(results ? qsTr("修改结果") : qsTr("设备列表"))
        open()
        pathField.forceActiveFocus()
    }

    function submit() {
        var error = results ? TableExport.exportResults(pathField.text) : TableExport.exportDevices(pathField.text)
        var done = results ? qsTr("已导出%1条修改结果到“%2”。").arg(Finder.resultModel.totalNum)
                           : qsTr("已导出%1台设备到“%2”。").arg(Finder.sortModel.count)
        close()
        finished(error !== "" ? error : done.arg(pathField.text))
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(520, parent ? parent.width - 24 : 520)
    modal: true
    title: results ? qsTr("导出修改结果") : qsTr("导出设备列表")

    ColumnLayout {
        anchors.fill: parent
        spacing: 8
        Label {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: dialog.results ? qsTr("导出上次修改的%1条结果，CSV格式。").arg(Finder.resultModel.totalNum)
                                 : qsTr("导出当前显示的%1台设备（按当前筛选、排序和显示的列），CSV格式。")
                                   .arg(Finder.sortModel.count)
        }
        TextField {
            id: pathField
            Layout.fillWidth: true
            selectByMouse: true
            placeholderText: qsTr("文件路径")
            onAccepted: dialog.submit()
        }
    }

    footer: DialogButtonBox {
        Button {
            text: qsTr("导出")
            onClicked: dialog.submit()
        }
        Button {
            text: qsTr("取消")
            onClicked: dialog.close()
        }
    }
}
