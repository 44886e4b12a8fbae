// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// Address, mask and gateway of one port, each with the refusal that concerns it on a
// line kept for it.
GridLayout {
    id: fields

    // The plan's refusals by field, and this port's suffix of the field names.
    property var errors: ({})
    property string suffix: ""
    property alias ip: ipField.text
    property alias subnetMask: maskField.text
    property alias gateway: gatewayField.text
    property alias ipField: ipField

    signal edited()

    columns: 2
    columnSpacing: 12
    rowSpacing: 6

    Label {
        Layout.alignment: Qt.AlignTop
        topPadding: 8
        text: Finder.texts.STR_IP_ADDRESS
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 2
        TextField {
            id: ipField
            Layout.fillWidth: true
            selectByMouse: true
            onTextEdited: fields.edited()
        }
        FieldError {
            objectName: "ipError"
            text: fields.errors["ip" + fields.suffix] || ""
        }
    }
    Label {
        Layout.alignment: Qt.AlignTop
        topPadding: 8
        text: Finder.texts.STR_SUBNET_MASK
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 2
        TextField {
            id: maskField
            Layout.fillWidth: true
            selectByMouse: true
            onTextEdited: fields.edited()
        }
        FieldError {
            objectName: "subnetMaskError"
            text: fields.errors["subnetMask" + fields.suffix] || ""
        }
    }
    Label {
        Layout.alignment: Qt.AlignTop
        topPadding: 8
        text: Finder.texts.STR_GATEWAY_ADDRESS
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 2
        TextField {
            id: gatewayField
            Layout.fillWidth: true
            selectByMouse: true
            onTextEdited: fields.edited()
        }
        FieldError {
            objectName: "gatewayError"
            text: fields.errors["gateway" + fields.suffix] || ""
        }
    }

    component FieldError: Label {
        Layout.fillWidth: true
        Layout.preferredHeight: lineMetrics.height + 2
        elide: Text.ElideRight
        color: "#c92a2a"
        ToolTip.visible: truncated && hover.containsMouse
        ToolTip.text: text
        MouseArea {
            id: hover
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }
        FontMetrics {
            id: lineMetrics
        }
    }
}
