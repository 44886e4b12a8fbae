// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The devices' administrator, asked for when a change needs one. The password goes to the
// credential store once and is not kept here.
Dialog {
    id: dialog

    // The CredentialStore that takes the answer.
    property var store
    // Why the dialog opened, e.g. a refused password; empty for a first login.
    property string reason
    // What runs once credentials are given, e.g. the change that asked for them.
    property var pending: null

    // Runs \a action now, or after a login where the network needs one first.
    function proceed(action) {
        if (!Network.needsLogin) {
            action()
            return
        }
        pending = action
        ask("")
    }

    function ask(why) {
        reason = why || ""
        user.text = store ? store.user : ""
        password.text = ""
        open()
        (user.text.length > 0 ? password : user).forceActiveFocus()
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(400, parent ? parent.width - 40 : 400)
    modal: true
    title: qsTr("登录")
    standardButtons: Dialog.Ok | Dialog.Cancel

    onAccepted: {
        store.set(user.text, password.text, remember.checked)
        password.text = ""
        const action = pending
        pending = null
        if (!store.known)
            ask(qsTr("请输入用户名和密码"))
        else if (action)
            action()
    }
    onRejected: {
        password.text = ""
        pending = null
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            objectName: "loginReason"
            Layout.fillWidth: true
            // The room is kept, so that the fields never move under the pointer.
            Layout.preferredHeight: 36
            wrapMode: Text.Wrap
            text: dialog.reason
            color: "#c92a2a"
        }
        Label { text: qsTr("用户名") }
        TextField {
            id: user
            objectName: "loginUser"
            Layout.fillWidth: true
            selectByMouse: true
        }
        Label { text: qsTr("密码") }
        TextField {
            id: password
            objectName: "loginPassword"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
            onAccepted: dialog.accept()
        }
        CheckBox {
            id: remember
            objectName: "loginRemember"
            text: dialog.store && dialog.store.keyringBuilt ? qsTr("记住（保存在系统钥匙串中）")
                                                            : qsTr("记住（此版本没有系统钥匙串，仅本次运行有效）")
            enabled: dialog.store && dialog.store.keyringBuilt
        }
        Label {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: dialog.store ? dialog.store.whereKept : ""
            color: "#4a5568"
        }
    }
}
