// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import ZVR.ViewModel 1.0

// A short message with the buttons that a ZVRMessageBox type names.
Dialog {
    id: box

    property string text
    property int buttons: ZVRMessageBox.OK

    function show(message, buttonSet) {
        text = message
        buttons = buttonSet === undefined ? ZVRMessageBox.OK : buttonSet
        open()
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 360
    modal: true
    title: qsTr("提示")

    Label {
        objectName: "messageText"
        width: parent.width
        wrapMode: Text.Wrap
        text: box.text
    }

    footer: DialogButtonBox {
        Button {
            visible: box.buttons === ZVRMessageBox.OK || box.buttons === ZVRMessageBox.OKCancel
            text: qsTr("确定")
            onClicked: box.accept()
        }
        Button {
            visible: box.buttons === ZVRMessageBox.Cancel || box.buttons === ZVRMessageBox.OKCancel
            text: qsTr("取消")
            onClicked: box.reject()
        }
    }
}
