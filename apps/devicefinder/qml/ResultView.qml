// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The outcome of the last network change, device by device.
Rectangle {
    id: view

    signal back()

    readonly property var model: Finder.resultModel
    // "detail", "mac" and "ip": each names a property of the row's record.
    readonly property var roles: [model.columnRole(0), model.columnRole(1), model.columnRole(2)]
    readonly property var widths: [72, 200, 170, 120]
    property alias list: list

    color: "white"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 16
            Label {
                objectName: "summary"
                text: Finder.resultSummary
                font.pixelSize: 20
                font.bold: true
                color: "#1f3a5f"
            }
            Label {
                objectName: "total"
                text: Finder.resultTotal
                color: "#4a5568"
            }
            Item {
                Layout.fillWidth: true
            }
            Button {
                text: qsTr("返回设备列表")
                onClicked: view.back()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.bottomMargin: -10
            implicitHeight: 34
            color: "#eef2f7"
            Row {
                anchors.fill: parent
                Repeater {
                    model: [qsTr("序号"), qsTr("MAC地址"), qsTr("IP地址"), qsTr("修改结果"), qsTr("详情")]
                    Label {
                        width: index < view.widths.length ? view.widths[index] : 320
                        height: 34
                        leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: modelData
                        font.bold: true
                        color: "#2d3748"
                    }
                }
            }
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: view.model
            ScrollBar.vertical: ScrollBar {}
            delegate: Rectangle {
                // Every role of a row hands out the same record.
                readonly property QtObject record: model[view.roles[0]]
                readonly property bool succeeded: !!record && record.detail === ""
                width: list.width
                height: 30
                color: index % 2 ? "#f6f8fb" : "white"
                Row {
                    anchors.fill: parent
                    Label {
                        width: view.widths[0]; height: parent.height; leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: index + 1
                    }
                    Label {
                        width: view.widths[1]; height: parent.height; leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: record ? record[view.roles[1]] : ""
                    }
                    Label {
                        width: view.widths[2]; height: parent.height; leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: record ? record[view.roles[2]] : ""
                    }
                    Label {
                        width: view.widths[3]; height: parent.height; leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: succeeded ? Finder.texts.STR_MODIFY_SUCCESS : Finder.texts.STR_MODIFY_FAILURE
                        color: succeeded ? "#2f9e44" : "#c92a2a"
                    }
                    Label {
                        height: parent.height; leftPadding: 8
                        verticalAlignment: Text.AlignVCenter
                        text: record ? record.detail : ""
                        color: "#4a5568"
                    }
                }
            }
        }
    }
}
