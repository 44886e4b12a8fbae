// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import ZVR.DeviceFinder 1.0

ApplicationWindow {
    id: window
    width: 1600
    height: 900
    visible: true
    title: qsTr("设备查找 - %1").arg(Network.name)
    font.family: Finder.texts.STR_FONT_FAMILY
    font.pixelSize: 13

    FinderPage {
        objectName: "finderPage"
        anchors.fill: parent
    }
}
