// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15

// Blocks the window while the devices work on a change.
Popup {
    id: overlay

    property alias text: label.text

    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    closePolicy: Popup.NoAutoClose
    padding: 24

    Column {
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
