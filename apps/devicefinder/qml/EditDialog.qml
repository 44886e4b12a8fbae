// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The network editor for one device or for the checked ones shown. The plan is checked
// as the user types: each refusal beside its field, and which device takes which
// address before anything is sent.
Dialog {
    id: dialog

    property var target: ({})
    property var plan: ({ errors: {}, preview: [], more: 0 })
    // What concerns the change as a whole; "no change" is a hint, not a refusal.
    readonly property string changeError: plan.errors[""] || ""
    readonly property bool unchanged: changeError === Finder.texts.STR_NETWORK_UNCHANGED
    property alias port1: port1
    property alias port2: port2
    property alias changePort2: changePort2
    // The LoginDialog that a change without credentials goes through first.
    property var login: null

    function openFor(newTarget) {
        // A batch that now takes in its hidden devices keeps what was typed.
        if (visible) {
            target = newTarget
            recheck()
            return
        }
        target = newTarget
        port1.ip = target.ip || ""
        port1.subnetMask = target.subnetMask || ""
        port1.gateway = target.gateway || ""
        port2.ip = target.ip2 || ""
        port2.subnetMask = target.subnetMask2 || ""
        port2.gateway = target.gateway2 || ""
        changePort2.checked = false
        recheck()
        open()
    }

    function recheck() {
        plan = Finder.checkChange(settings())
    }

    function settings() {
        return {
            ip: port1.ip, subnetMask: port1.subnetMask, gateway: port1.gateway,
            changePort2: changePort2.checked,
            ip2: port2.ip, subnetMask2: port2.subnetMask, gateway2: port2.gateway
        }
    }

    // The plan is checked at every edit; the back-end call checks it once more.
    function submit() {
        if (Object.keys(plan.errors).length === 0) {
            const changed = settings()
            close()
            if (login)
                login.proceed(function () { Finder.applyChange(changed) })
            else
                Finder.applyChange(changed)
        }
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 460
    modal: true
    closePolicy: Popup.CloseOnEscape
    title: target.count > 1 ? qsTr("批量修改网络参数（%1台设备）").arg(target.count)
                            : qsTr("修改网络参数 - %1").arg(target.name || "")

    // A small window scrolls the fields instead of squeezing them. Room is kept for every
    // message, so the dialog keeps its size and its fields their places while the user types.
    height: Math.min(implicitHeight, parent.height - 16)

    contentItem: Flickable {
        id: scroller
        implicitWidth: fields.implicitWidth
        implicitHeight: fields.implicitHeight
        contentHeight: fields.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            id: scrollBar
            policy: scroller.contentHeight > scroller.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }

        // The scroll bar's room is always kept: the fields' width never depends on their
        // height. A column, not a layout: each wrapped line's height follows a width set once.
        Column {
            id: fields
            width: scroller.width - 14
            spacing: 10

            Label {
                width: parent.width
                visible: dialog.target.count > 1
                wrapMode: Text.Wrap
                text: qsTr("将修改%1台设备，IP地址从起始地址起按列表显示的顺序逐台递增。").arg(dialog.target.count)
                color: "#4a5568"
            }
            RowLayout {
                visible: dialog.target.hidden > 0
                width: parent.width
                Label {
                    objectName: "hiddenNote"
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    text: qsTr("另有%1台已勾选的设备被筛选隐藏，未包含在内。").arg(dialog.target.hidden || 0)
                    color: "#e67700"
                }
                Button {
                    text: qsTr("一并修改")
                    onClicked: Finder.editChecked(true)
                }
            }
            // Every checked device the batch leaves out, and why.
            Label {
                objectName: "offlineNote"
                width: parent.width
                visible: dialog.target.offline > 0
                wrapMode: Text.Wrap
                text: qsTr("%1台已勾选的设备离线，不在此次修改中。").arg(dialog.target.offline || 0)
                color: "#868e96"
            }
            Label {
                objectName: "faultNote"
                width: parent.width
                visible: dialog.target.fault > 0
                wrapMode: Text.Wrap
                text: qsTr("%1台已勾选的设备故障，不在此次修改中。").arg(dialog.target.fault || 0)
                color: "#d9480f"
            }
            Label {
                objectName: "nodesNote"
                width: parent.width
                visible: dialog.target.nodes > 0
                wrapMode: Text.Wrap
                text: qsTr("%1台已勾选的设备是主备节点（%2），保留原地址，不在此次修改中。")
                      .arg(dialog.target.nodes || 0).arg(dialog.target.nodeNames || "")
                color: "#e67700"
            }
            Label {
                text: Finder.texts.STR_NETWORK_PORT + "1"
                font.bold: true
            }
            PortFields {
                id: port1
                width: parent.width
                errors: dialog.plan.errors
                onEdited: dialog.recheck()
            }
            CheckBox {
                id: changePort2
                visible: dialog.target.ports > 1
                text: qsTr("同时修改") + Finder.texts.STR_NETWORK_PORT + "2"
                onToggled: dialog.recheck()
            }
            PortFields {
                id: port2
                width: parent.width
                visible: changePort2.visible
                enabled: changePort2.checked
                errors: dialog.plan.errors
                suffix: "2"
                onEdited: dialog.recheck()
            }
            // Which device takes which address, in the order they will be numbered; its
            // room stays while the plan is refused.
            Label {
                visible: preview.visible
                text: qsTr("修改计划（设备  当前地址 → 新地址）")
                font.bold: true
            }
            ListView {
                id: preview
                objectName: "planPreview"
                width: parent.width
                height: 120
                visible: dialog.target.count > 1
                clip: true
                model: dialog.plan.preview
                // Always drawn when the plan is longer than its room, so that it shows there is more.
                ScrollBar.vertical: ScrollBar {
                    policy: preview.contentHeight > preview.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
                }
                delegate: Label {
                    required property var modelData
                    width: preview.width
                    elide: Text.ElideRight
                    text: modelData.name + "  " + modelData.ip + " → " + modelData.newIp
                          + (modelData.newIp2 ? "  /  " + modelData.newIp2 : "")
                    color: "#2d3748"
                }
                footer: Label {
                    width: preview.width
                    visible: dialog.plan.more > 0
                    height: visible ? implicitHeight : 0
                    text: qsTr("……另有%1台").arg(dialog.plan.more)
                    color: "#4a5568"
                }
                Label {
                    anchors.centerIn: parent
                    visible: preview.count === 0
                    text: qsTr("参数有误，改正后显示修改计划")
                    color: "#868e96"
                }
            }
            RowLayout {
                Label {
                    text: qsTr("等待应答超时")
                }
                SpinBox {
                    objectName: "timeoutBox"
                    from: 1
                    to: 600
                    value: Math.round(Finder.changeTimeout / 1000)
                    onValueModified: Finder.changeTimeout = value * 1000
                }
                Label {
                    text: qsTr("秒")
                }
            }
        }
    }

    // What concerns the change as a whole stands beside the buttons, in two lines kept for
    // it, so that a small window that scrolls the fields still shows why 确定 is disabled;
    // each field's refusal shows beside the field.
    footer: ColumnLayout {
        spacing: 0
        Label {
            objectName: "editError"
            Layout.fillWidth: true
            Layout.leftMargin: dialog.leftPadding
            Layout.rightMargin: dialog.rightPadding
            Layout.preferredHeight: 2 * fontMetrics.height + 2
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignBottom
            text: dialog.changeError
            color: dialog.unchanged ? "#868e96" : "#c92a2a"
            ToolTip.visible: truncated && errorHover.containsMouse
            ToolTip.text: text
            MouseArea {
                id: errorHover
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.NoButton
            }
            FontMetrics {
                id: fontMetrics
            }
        }
        DialogButtonBox {
            Layout.fillWidth: true
            Button {
                objectName: "applyButton"
                text: qsTr("确定")
                enabled: Object.keys(dialog.plan.errors).length === 0
                onClicked: dialog.submit()
            }
            Button {
                text: qsTr("取消")
                onClicked: dialog.close()
            }
        }
    }
}
