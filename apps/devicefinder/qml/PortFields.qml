// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// Address, mask and gateway of one port.
GridLayout {
    property alias ip: ipField.text
    property alias subnetMask: maskField.text
    property alias gateway: gatewayField.text
    property alias ipField: ipField

    columns: 2
    columnSpacing: 12
    rowSpacing: 6

    Label { text: Finder.texts.STR_IP_ADDRESS }
    TextField {
        id: ipField
        Layout.fillWidth: true
        selectByMouse: true
    }
    Label { text: Finder.texts.STR_SUBNET_MASK }
    TextField {
        id: maskField
        Layout.fillWidth: true
        selectByMouse: true
    }
    Label { text: Finder.texts.STR_GATEWAY_ADDRESS }
    TextField {
        id: gatewayField
        Layout.fillWidth: true
        selectByMouse: true
    }
}
