// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The network editor for one device or for every checked one. Addresses are checked
// before anything is sent; a refusal shows its text and changes nothing.
Dialog {
    id: dialog

    property var target: ({})
    property string error: ""
    property alias port1: port1
    property alias port2: port2
    property alias changePort2: changePort2

    function openFor(newTarget) {
        target = newTarget
        port1.ip = target.ip || ""
        port1.subnetMask = target.subnetMask || ""
        port1.gateway = target.gateway || ""
        port2.ip = target.ip2 || ""
        port2.subnetMask = target.subnetMask2 || ""
        port2.gateway = target.gateway2 || ""
        changePort2.checked = false
        error = ""
        open()
    }

    function settings() {
        return {
            ip: port1.ip, subnetMask: port1.subnetMask, gateway: port1.gateway,
            changePort2: changePort2.checked,
            ip2: port2.ip, subnetMask2: port2.subnetMask, gateway2: port2.gateway
        }
    }

    function submit() {
        var values = settings()
        error = Finder.validateChange(values)
        if (error === "") {
            close()
            Finder.applyChange(values)
        }
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 460
    modal: true
    closePolicy: Popup.CloseOnEscape
    title: target.count > 1 ? qsTr("批量修改网络参数（%1台设备）").arg(target.count)
                            : qsTr("修改网络参数 - %1").arg(target.name || "")

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        Label {
            Layout.fillWidth: true
            visible: dialog.target.count > 1
            wrapMode: Text.Wrap
            text: qsTr("IP地址从起始地址起逐台递增。")
            color: "#4a5568"
        }
        Label {
            text: Finder.texts.STR_NETWORK_PORT + "1"
            font.bold: true
        }
        PortFields {
            id: port1
            Layout.fillWidth: true
        }
        CheckBox {
            id: changePort2
            visible: dialog.target.ports > 1
            text: qsTr("同时修改") + Finder.texts.STR_NETWORK_PORT + "2"
        }
        PortFields {
            id: port2
            Layout.fillWidth: true
            visible: changePort2.visible
            enabled: changePort2.checked
        }
        Label {
            id: errorLabel
            objectName: "editError"
            Layout.fillWidth: true
            visible: dialog.error !== ""
            wrapMode: Text.Wrap
            text: dialog.error
            color: "#c92a2a"
        }
    }

    footer: DialogButtonBox {
        Button {
            objectName: "applyButton"
            text: qsTr("确定")
            onClicked: dialog.submit()
        }
        Button {
            text: qsTr("取消")
            onClicked: dialog.close()
        }
    }
}
