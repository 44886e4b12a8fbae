// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.ViewModel 1.0
import ZVR.DeviceFinder 1.0

// The control nodes: central controllers and the master and backup nodes. A row wider
// than the window scrolls sideways, by its scroll bar or the arrow keys.
Rectangle {
    id: panel

    // A card's three lines, and below them the room of the scroll bar.
    implicitHeight: 108
    color: "#f8fafc"

    Rectangle {
        width: parent.width
        height: 1
        color: "#d5dde8"
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 10

        Label {
            text: qsTr("控制节点")
            font.bold: true
            color: "#2d3748"
        }

        ListView {
            id: nodes
            objectName: "nodeList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            orientation: ListView.Horizontal
            spacing: 8
            clip: true
            activeFocusOnTab: true
            boundsBehavior: Flickable.StopAtBounds
            keyNavigationEnabled: true
            ScrollBar.horizontal: ScrollBar {
                policy: nodes.contentWidth > nodes.width ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }
            model: Finder.nodeModel
            delegate: Rectangle {
                required property string name
                required property string typeName
                required property string ip
                required property bool isActived
                required property bool isVisible
                required property int status
                required property string statusText
                visible: isVisible
                width: 210
                // The scroll bar has the room below the cards.
                height: nodes.height - 12
                radius: 4
                color: isActived ? "#e7f5ff" : "white"
                border.color: isActived || (ListView.isCurrentItem && nodes.activeFocus) ? "#339af0" : "#d5dde8"
                border.width: ListView.isCurrentItem && nodes.activeFocus ? 2 : 1

                Column {
                    anchors.fill: parent
                    anchors.margins: 8
                    spacing: 2
                    Label {
                        width: parent.width
                        text: name
                        font.bold: true
                        elide: Text.ElideRight
                    }
                    Label {
                        width: parent.width
                        text: typeName + "  " + ip
                        elide: Text.ElideRight
                        color: "#4a5568"
                    }
                    // The colours of the table's status column.
                    Label {
                        width: parent.width
                        text: statusText + (isActived ? qsTr(" · 当前主控") : "")
                        elide: Text.ElideRight
                        color: status === DeviceData.Online ? "#2f9e44"
                             : status === DeviceData.Malfunction ? "#d9480f" : "#868e96"
                    }
                }
            }
        }
    }
}
