pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The dashboard's occupancy ring and the count of units in each status.
Rectangle {
    id: unitsPanel
    property real occupancy: 0
    property var stats: ({})

    Layout.fillWidth: true
    Layout.preferredWidth: 1
    Layout.preferredHeight: 250
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    Text {
        id: unitsHeading
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 20
        text: "حالة الوحدات"
        color: Theme.textPrimary
        font.pixelSize: 16
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }

    // Each status counted apart: a unit under repair is neither let nor free.
    Text {
        id: unitCounts
        objectName: "unitCounts"
        anchors.bottom: parent.bottom
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.margins: 14
        textFormat: Text.PlainText
        text: "مؤجرة " + Format.count(unitsPanel.stats.occupiedUnits) + " · متاحة " + Format.count(unitsPanel.stats.availableUnits) + " · خارج الخدمة " + Format.count(unitsPanel.stats.outOfServiceUnits)
        color: Theme.textSecondary
        font.pixelSize: 12
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideMiddle
    }

    Item {
        anchors.top: unitsHeading.bottom
        anchors.bottom: unitCounts.top
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.bottomMargin: 4

        OccupancyRing {
            id: ring
            objectName: "occupancyRing"
            anchors.centerIn: parent
            width: 140
            height: 140
            rate: unitsPanel.occupancy

            Column {
                anchors.centerIn: parent
                spacing: 0

                Text {
                    objectName: "ringValue"
                    anchors.horizontalCenter: parent.horizontalCenter
                    textFormat: Text.PlainText
                    text: Math.round(unitsPanel.occupancy) + "%"
                    color: Theme.textPrimary
                    font.pixelSize: 32
                    font.bold: true
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "نسبة الإشغال"
                    color: Theme.textSecondary
                    font.pixelSize: 11
                }
            }
        }
    }
}
