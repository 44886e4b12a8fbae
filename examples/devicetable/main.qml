import QtQuick 2.15
import QtQuick.Window 2.15
import ZVR.ViewModel 1.0

Window {
    id: window
    width: 640
    height: 480
    visible: true
    title: "Devices"

    // Set by the host before the window loads.
    required property DeviceTableModel deviceTable

    // The table has no header data: the titles, and the columns shown, come from here,
    // in the table's order of columns.
    readonly property var columns: [
        { section: DeviceTableModel.ColName, title: "Name", width: 160 },
        { section: DeviceTableModel.ColDevStatusStr, title: "Status", width: 80 },
        { section: DeviceTableModel.ColMAC, title: "MAC address", width: 180 },
        { section: DeviceTableModel.ColIP, title: "IP address", width: 140 }
    ]

    function columnWidth(section) {
        for (var i = 0; i < columns.length; ++i) {
            if (columns[i].section === section)
                return columns[i].width
        }
        return 0 // not shown
    }

    DeviceSortFilterProxyModel {
        id: proxy
        sourceModel: window.deviceTable
        // Sorted by address to begin with; a click on a title sorts by that column.
        Component.onCompleted: sortByColumn(DeviceTableModel.ColIP, ZVRSortButton.Ascend)
    }

    Rectangle {
        anchors.fill: parent
        color: "white"
    }

    Row {
        id: header
        Repeater {
            model: window.columns
            delegate: Rectangle {
                required property var modelData
                width: modelData.width
                height: 32
                color: "#e9ecef"
                Text {
                    anchors.fill: parent
                    leftPadding: 8
                    verticalAlignment: Text.AlignVCenter
                    font.bold: true
                    text: parent.modelData.title
                          + (proxy.sortSection !== parent.modelData.section ? ""
                             : proxy.sortMode === ZVRSortButton.Ascend ? " ▲" : " ▼")
                }
                MouseArea {
                    anchors.fill: parent
                    // None, then ascending, then descending, then the table's own order.
                    onClicked: proxy.sortByColumn(parent.modelData.section,
                                                  proxy.sortSection !== parent.modelData.section
                                                  ? ZVRSortButton.Ascend
                                                  : (proxy.sortMode + 1) % 3)
                }
            }
        }
    }

    TableView {
        anchors.fill: parent
        anchors.topMargin: header.height
        clip: true
        model: proxy
        columnWidthProvider: function (section) { return window.columnWidth(section) }
        rowHeightProvider: function () { return 28 }
        delegate: Text {
            // Every cell gives the row's DeviceData; the column's role names the property shown.
            required property var operate
            required property int column
            readonly property string role: proxy.columnRole(column)
            leftPadding: 8
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            text: operate ? operate[role] : ""
        }
    }
}
