// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// One cell of the device table. The cell reads the device property that its role
// names and follows that property's own change signal. A text too long for the cell
// is cut short; the table shows it whole in its one tool tip.
//
// The view hands its rows out again as they scroll and as the rows change, so a cell
// holds only plain items and few bindings: a control or an attached tool tip in
// every cell made each batch of new rows stall the window for a long frame.
Item {
    id: cell

    // From the row: its device, the property this column shows, the device's row in the
    // device table, and which of its device's ports (1, 2 or both as bits) show a change
    // that its next scan report is to confirm.
    required property var device
    required property string columnRole
    required property int tableRow
    required property int awaitingPorts
    readonly property string role: columnRole
    signal rowClicked(int modifiers)
    signal checkRequested()
    signal menuRequested()
    signal editRequested()
    //! The pointer entered (\a show true) or left a cell whose text is cut short.
    signal tipRequested(bool show)
    // Off screen, a cell follows nothing of its device; scrolled into view, it reads it.
    property bool shown: true
    readonly property var shownDevice: shown ? device : null
    readonly property int port: role === "ip" || role === "subnetMask" || role === "gateway" ? 1
                                : role === "ip2" || role === "subnetMask2" || role === "gateway2" ? 2 : 0
    // A change that succeeded shows at once on the ports it set; the next scan report
    // confirms it.
    readonly property bool awaiting: (awaitingPorts & port) !== 0
    readonly property string text: {
        if (!shownDevice)
            return ""
        if (role === "devIndex")
            return String(tableRow + 1)
        switch (role) {
        case "checked":
            return ""
        case "devStatus":
            return "●"
        case "ipState":
            return Finder.ipStateText(shownDevice.ipState)
        case "callRollState":
            return Finder.callRollText(shownDevice.callRollState)
        default:
            var property = shownDevice[role]
            var value = property === undefined || property === null ? "" : String(property)
            return awaiting && value !== "" ? value + qsTr("（待扫描确认）") : value
        }
    }
    // A narrow column keeps the address whole: the mark shows as an arrow before it, and
    // whole in the tool tip.
    readonly property bool marked: awaiting && text !== ""
    readonly property string shownText: marked ? "↻ " + text.replace(qsTr("（待扫描确认）"), "") : text
    readonly property color textColor: {
        if (!shownDevice)
            return "#2d3748"
        if (role === "devStatus" || role === "devStatusStr") {
            if (shownDevice.devStatus === DeviceData.Online)
                return "#2f9e44"
            return shownDevice.devStatus === DeviceData.Malfunction ? "#d9480f" : "#868e96"
        }
        if (role === "ipState" && shownDevice.ipState !== DeviceData.StateNormal)
            return shownDevice.ipState === DeviceData.StateConflict ? "#e67700" : "#c92a2a"
        if (marked)
            return "#1c7ed6"
        if (role === "malfunction")
            return "#c92a2a"
        return shownDevice.devStatus === DeviceData.Offline ? "#868e96" : "#2d3748"
    }

    implicitWidth: 100
    implicitHeight: 32
    // The row draws the background: a row moved up or down changes nothing here.

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: function (mouse) {
            if (mouse.button === Qt.RightButton)
                cell.menuRequested()
            else if (cell.role === "checked")
                cell.checkRequested()
            else
                cell.rowClicked(mouse.modifiers)
        }
        onContainsMouseChanged: cell.tipRequested(containsMouse && (label.truncated || cell.marked))
        onDoubleClicked: function (mouse) {
            if (mouse.button === Qt.LeftButton)
                cell.editRequested()
        }
    }

    // Plain text: a table shows hundreds of these at once.
    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 6
        visible: cell.role !== "checked"
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: cell.role === "devIndex" || cell.role === "devStatus" ? Text.AlignHCenter : Text.AlignLeft
        elide: Text.ElideRight
        // Plain text does not take the window's font: the same size on screen and headless.
        font.family: Finder.texts.STR_FONT_FAMILY
        font.pixelSize: 13
        text: cell.shownText
        color: cell.textColor
    }
}
