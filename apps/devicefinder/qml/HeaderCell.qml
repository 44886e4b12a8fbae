// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// A column title with its sort button; the check-box column carries the check-all box.
// The right edge drags to resize, the title drags to move the column; the right button
// opens the column menu.
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
    property alias resizeHandle: resizeHandle
    signal menuRequested()
    //! The title was dragged and let go at \a sceneX.
    signal dropped(real sceneX)

    color: "#eef2f7"
    // Above its neighbours while its title is dragged over them.
    z: titleArea.dragging ? 1 : 0

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: header.menuRequested()
    }

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
            focusPolicy: Qt.NoFocus
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
            ToolTip.visible: titleArea.containsMouse && truncated
            ToolTip.delay: 500
            ToolTip.text: header.title
            // The title sorts as its arrow does; dragged sideways, it moves its column.
            MouseArea {
                id: titleArea
                property real pressX
                property bool dragging: false
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                cursorShape: dragging ? Qt.ClosedHandCursor : Qt.ArrowCursor
                onPressed: function (mouse) {
                    pressX = mapToItem(null, mouse.x, 0).x
                    dragging = false
                }
                onPositionChanged: function (mouse) {
                    if (pressed && Columns.isMovable(header.role)
                            && Math.abs(mapToItem(null, mouse.x, 0).x - pressX) > 12)
                        dragging = true
                    if (dragging)
                        ghost.x = mapToItem(header, mouse.x, 0).x - ghost.width / 2
                }
                onReleased: function (mouse) {
                    if (dragging)
                        header.dropped(mapToItem(null, mouse.x, 0).x)
                    dragging = false
                }
                onClicked: function (mouse) {
                    if (mouse.button === Qt.RightButton)
                        header.menuRequested()
                    else if (!dragging && sortButton.visible)
                        sortButton.activated(sortButton.nextMode)
                }
            }
        }
        // Only a column of the device table sorts.
        SortButton {
            id: sortButton
            visible: header.column >= 0
            mode: header.sortMode
            onActivated: function(nextMode) { Finder.sortModel.sortByColumn(header.column, nextMode) }
        }
    }

    // The title under the pointer while it is dragged to another place.
    Rectangle {
        id: ghost
        objectName: "dragGhost"
        visible: titleArea.dragging
        z: 2
        width: ghostText.implicitWidth + 16
        height: header.height - 8
        y: 4
        radius: 3
        color: "#d0ebff"
        border.color: "#339af0"
        opacity: 0.9
        Text {
            id: ghostText
            anchors.centerIn: parent
            text: header.title
            font.family: Finder.texts.STR_FONT_FAMILY
            font.pixelSize: 13
            font.bold: true
            color: "#1f3a5f"
        }
    }

    // Scene coordinates: the handle moves with the edge it drags.
    MouseArea {
        id: resizeHandle
        property real startX
        property int startWidth
        anchors.right: parent.right
        width: 6
        height: parent.height
        z: 1
        cursorShape: Qt.SplitHCursor
        onPressed: function (mouse) {
            startX = mapToItem(null, mouse.x, 0).x
            startWidth = header.width
        }
        onPositionChanged: function (mouse) {
            if (pressed)
                Columns.previewWidth(header.role, startWidth + mapToItem(null, mouse.x, 0).x - startX)
        }
        onReleased: function (mouse) {
            Columns.setWidth(header.role, startWidth + mapToItem(null, mouse.x, 0).x - startX)
        }
    }
}
