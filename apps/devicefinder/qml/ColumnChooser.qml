// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// Which columns the device table shows, and in which order. Every change rebuilds the
// list, so a row's control changes the columns only after its own handler.
Dialog {
    id: chooser

    property alias list: list

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(340, parent ? parent.width - 24 : 340)
    height: Math.min(560, parent ? parent.height - 24 : 560)
    modal: true
    title: qsTr("显示的列")

    ListView {
        id: list
        anchors.fill: parent
        clip: true
        model: Columns.order
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
        delegate: RowLayout {
            required property string modelData
            required property int index
            readonly property bool movable: Columns.isMovable(modelData)
            width: list.width
            spacing: 4
            CheckBox {
                Layout.fillWidth: true
                text: Columns.titles[modelData]
                enabled: parent.movable
                checked: Columns.visibleRoles.indexOf(modelData) >= 0
                onToggled: Qt.callLater(Columns.setVisible, modelData, checked)
            }
            ToolButton {
                text: qsTr("左移")
                enabled: parent.movable && index > 1
                onClicked: Qt.callLater(Columns.move, modelData, -1)
            }
            ToolButton {
                text: qsTr("右移")
                enabled: parent.movable && index < list.count - 1
                onClicked: Qt.callLater(Columns.move, modelData, 1)
            }
        }
    }

    footer: DialogButtonBox {
        Button {
            text: qsTr("恢复默认")
            onClicked: Columns.restoreDefaults()
        }
        Button {
            text: qsTr("关闭")
            onClicked: chooser.close()
        }
    }
}
