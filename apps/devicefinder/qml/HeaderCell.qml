// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// A column title with its sort button; the check-box column carries the check-all box.
Rectangle {
    id: header

    property string role
    property int column: -1
    property string title
    readonly property int sortMode: Finder.sortModel.sortSection === column ? Finder.sortModel.sortMode
                                                                           : ZVRSortButton.None
    property alias sortButton: sortButton
    property alias checkAllBox: checkAll
    property alias titleLabel: titleLabel

    color: "#eef2f7"

    Rectangle {
        anchors.right: parent.right
        width: 1
        height: parent.height
        color: "#d5dde8"
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 4
        spacing: 2

        CheckBox {
            id: checkAll
            visible: header.role === "checked"
            tristate: true
            nextCheckState: function () { return checkState }
            checkState: Finder.allCheckType === ZVRCheckBox.All ? Qt.Checked
                        : Finder.allCheckType === ZVRCheckBox.Some ? Qt.PartiallyChecked : Qt.Unchecked
            onClicked: Finder.toggleAll()
            // "All" means every online device: faulty and offline ones are never checked by it.
            ToolTip.visible: hovered
            ToolTip.delay: 500
            ToolTip.text: Finder.allCheckType === ZVRCheckBox.All
                          ? qsTr("已勾选全部%1台在线设备，点击取消勾选").arg(Finder.onlineCount)
                          : qsTr("勾选全部%1台在线设备（故障和离线设备不勾选）").arg(Finder.onlineCount)
        }
        Label {
            id: titleLabel
            Layout.fillWidth: true
            visible: header.role !== "checked"
            text: header.title
            font.bold: true
            elide: Text.ElideRight
            color: "#2d3748"
            // The title sorts as its arrow does.
            MouseArea {
                anchors.fill: parent
                onClicked: sortButton.activated(sortButton.nextMode)
            }
        }
        SortButton {
            id: sortButton
            mode: header.sortMode
            onActivated: function(nextMode) { Finder.sortModel.sortByColumn(header.column, nextMode) }
        }
    }
}
