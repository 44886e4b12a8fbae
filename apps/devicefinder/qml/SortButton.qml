// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import ZVR.ViewModel 1.0

// Cycles through the ZVRSortButton modes: none, ascending, descending.
Item {
    id: button

    property int mode: ZVRSortButton.None
    readonly property int nextMode: mode === ZVRSortButton.None ? ZVRSortButton.Ascend
                                    : mode === ZVRSortButton.Ascend ? ZVRSortButton.Descend : ZVRSortButton.None
    signal activated(int nextMode)

    implicitWidth: 14
    implicitHeight: 20

    Column {
        anchors.centerIn: parent
        spacing: -3
        Text {
            text: "▲"
            font.pixelSize: 8
            color: button.mode === ZVRSortButton.Ascend ? "#1c7ed6" : "#b6c0cc"
        }
        Text {
            text: "▼"
            font.pixelSize: 8
            color: button.mode === ZVRSortButton.Descend ? "#1c7ed6" : "#b6c0cc"
        }
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -4
        onClicked: button.activated(button.nextMode)
    }
}
