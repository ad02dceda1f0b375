pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto
import "ReportRows.js" as ReportRows

// The reports page's unit tab: every unit with its price and status.
PagedList {
    id: unitList
    objectName: "unitList"
    panelColor: Theme.bgSecondary
    searchPlaceholder: "بحث باسم العقار أو رقم الوحدة..."
    emptyText: "لا توجد وحدات"
    fetch: (offset, limit, search) => Backend.reportCtrl.getUnitStatusPage(offset, limit, search)

    delegate: Item {
        id: unitRow
        required property var record
        required property int index
        readonly property var status: Theme.unitStatus(record.status)

        objectName: "unit_" + record.id
        width: ListView.view.width
        height: 51

        Rectangle {
            anchors.fill: parent
            anchors.rightMargin: 10
            anchors.leftMargin: 10
            anchors.topMargin: 6
            radius: 8
            color: Theme.bgCard
            border.width: 1
            border.color: Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15
                spacing: 12

                Text {
                    Layout.preferredWidth: 200
                    textFormat: Text.PlainText
                    text: (unitRow.record.property_name || "") + " - " + (unitRow.record.unit_number || "")
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.preferredWidth: 100
                    textFormat: Text.PlainText
                    text: (unitRow.record.area || 0) + " م²"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignHCenter
                }
                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: Format.amount(ReportRows.unitPrice(unitRow.record))
                    color: Theme.accentGold
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignHCenter
                }
                Rectangle {
                    Layout.preferredWidth: 100
                    Layout.preferredHeight: 24
                    radius: 12
                    color: unitRow.status.color

                    Text {
                        objectName: "unitStatus"
                        anchors.centerIn: parent
                        textFormat: Text.PlainText
                        text: unitRow.status.label
                        color: Theme.fixed.textPrimary
                        font.pixelSize: 10
                        font.bold: true
                    }
                }
            }
        }
    }
}
