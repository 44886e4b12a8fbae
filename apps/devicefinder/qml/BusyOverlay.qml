// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15

// Covers what must wait while the devices work on a change: it takes every click and
// wheel turn over it. The tool bar stays usable, so that what is refused says why.
Rectangle {
    id: overlay

    property alias text: label.text

    color: "#99ffffff"

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: function (wheel) { wheel.accepted = true }
    }

    Rectangle {
        anchors.centerIn: parent
        width: box.implicitWidth + 48
        height: box.implicitHeight + 48
        radius: 6
        color: "white"
        border.color: "#d5dde8"

        Column {
            id: box
            anchors.centerIn: parent
            spacing: 12
            BusyIndicator {
                anchors.horizontalCenter: parent.horizontalCenter
                running: overlay.visible
            }
            Label {
                id: label
                font.pixelSize: 15
            }
        }
    }
}
