// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ZVR.DeviceFinder 1.0

// The control nodes: central controllers and the master and backup nodes. A row wider
// than the window scrolls sideways, by its scroll bar or the arrow keys.
Rectangle {
    id: panel

    implicitHeight: 88
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
                visible: model.isVisible
                width: 210
                // Room below for the scroll bar.
                height: nodes.height - (nodes.contentWidth > nodes.width ? 10 : 0)
                radius: 4
                color: model.isActived ? "#e7f5ff" : "white"
                border.color: model.isActived || (ListView.isCurrentItem && nodes.activeFocus) ? "#339af0" : "#d5dde8"
                border.width: ListView.isCurrentItem && nodes.activeFocus ? 2 : 1

                Column {
                    anchors.fill: parent
                    anchors.margins: 8
                    spacing: 3
                    Label {
                        width: parent.width
                        text: model.name
                        font.bold: true
                        elide: Text.ElideRight
                    }
                    Label {
                        text: model.typeName + "  " + model.ip
                        color: "#4a5568"
                    }
                    Label {
                        text: model.statusText
                              + (model.isActived ? qsTr(" · 当前主控") : "")
                        color: model.isOnline ? "#2f9e44" : "#868e96"
                    }
                }
            }
        }
    }
}
