// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The outcome of the last network change, device by device: what each was to become,
// what came of it and why.
Rectangle {
    id: view

    signal back()

    readonly property var rows: Finder.resultRows
    // Number, name, MAC, old address, new address, outcome; the detail takes the rest,
    // at least its own width: a narrow window scrolls the table sideways.
    readonly property var widths: [56, 190, 160, 130, 130, 90]
    readonly property int fixedWidth: 756
    readonly property int detailWidth: Math.max(320, list.width - fixedWidth)
    property alias list: list
    property alias failuresOnly: failuresOnly
    // The LoginDialog that a retry without credentials goes through first.
    property var login: null

    color: "white"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 16
            // One above the other: a bold face made up for the Chinese glyphs is wider than
            // its measured text, and would run into a label beside it.
            Column {
                spacing: 2
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
            }
            Item {
                Layout.fillWidth: true
            }
            CheckBox {
                id: failuresOnly
                objectName: "failuresOnly"
                text: qsTr("仅显示失败")
                checked: view.rows.failuresOnly
                onToggled: view.rows.failuresOnly = checked
            }
            // Master and backup nodes refuse again whatever is retried: they do not count.
            Button {
                objectName: "retryButton"
                text: qsTr("重试失败")
                enabled: view.rows.retryableCount > 0 && !Finder.busy
                onClicked: view.login ? view.login.proceed(function () { Finder.retryFailed() })
                                      : Finder.retryFailed()
            }
            Button {
                text: qsTr("返回设备列表")
                onClicked: view.back()
            }
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: view.rows
            contentWidth: view.fixedWidth + view.detailWidth
            flickableDirection: Flickable.AutoFlickIfNeeded
            boundsBehavior: Flickable.StopAtBounds
            headerPositioning: ListView.OverlayHeader
            ScrollBar.vertical: ScrollBar {
                policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            ScrollBar.horizontal: ScrollBar {
                policy: list.contentWidth > list.width ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            header: Rectangle {
                z: 2
                width: list.contentWidth
                height: 34
                color: "#eef2f7"
                Row {
                    anchors.fill: parent
                    Repeater {
                        model: view.rows.headers
                        Label {
                            required property string modelData
                            required property int index
                            width: index < view.widths.length ? view.widths[index] : view.detailWidth
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
            delegate: Rectangle {
                required property var cells
                required property bool succeeded
                required property int outcome
                required property int index
                readonly property var texts: cells
                readonly property bool ok: succeeded
                // 2: no answer in time, and no scan has told yet.
                readonly property bool unknown: outcome === 2
                width: list.contentWidth
                height: 30
                color: index % 2 ? "#f6f8fb" : "white"
                Row {
                    anchors.fill: parent
                    Repeater {
                        model: texts
                        Label {
                            required property string modelData
                            required property int index
                            // The detail keeps clear of the vertical scroll bar.
                            width: index < view.widths.length ? view.widths[index] : view.detailWidth
                            rightPadding: index === 6 ? 14 : 0
                            height: 30
                            leftPadding: 8
                            verticalAlignment: Text.AlignVCenter
                            elide: Text.ElideRight
                            text: modelData
                            // The outcome in its colour; an unchanged address greyed.
                            color: index === 5 ? (ok ? "#2f9e44" : unknown ? "#d9480f" : "#c92a2a")
                                 : index === 4 && !ok ? "#868e96"
                                 : index === 6 ? "#4a5568" : "#1a202c"
                        }
                    }
                }
            }
        }
    }
}
