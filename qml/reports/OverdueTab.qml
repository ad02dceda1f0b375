pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto
import "ReportRows.js" as ReportRows

// The reports page's overdue tab: installments past their due date and still open.
PagedList {
    id: overdueList
    objectName: "overdueList"
    panelColor: Theme.bgSecondary
    searchPlaceholder: "بحث باسم المشتري أو العقار أو الوحدة..."
    emptyText: "لا توجد أقساط متأخرة"
    fetch: (offset, limit, search) => Backend.reportCtrl.getOverdueInstallmentsPage(offset, limit, search)

    delegate: Item {
        id: overdueRow
        required property var record
        required property int index

        objectName: "overdue_" + record.id
        width: ListView.view.width
        height: 68

        Rectangle {
            anchors.fill: parent
            anchors.rightMargin: 10
            anchors.leftMargin: 10
            anchors.topMargin: 8
            radius: 10
            color: Theme.fixed.overdueCard
            border.width: 1
            border.color: Theme.fixed.error

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15
                spacing: 16

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2

                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: overdueRow.record.buyer_name || ""
                        color: Theme.fixed.textPrimary
                        font.pixelSize: 14
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: (overdueRow.record.property_name || "") + " - وحدة " + (overdueRow.record.unit_number || "")
                        color: Theme.fixed.textSecondary
                        font.pixelSize: 11
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                }
                Text {
                    textFormat: Text.PlainText
                    text: overdueRow.record.due_date || ""
                    color: Theme.fixed.error
                    font.pixelSize: 13
                    font.bold: true
                }
                Text {
                    objectName: "openAmount"
                    Layout.preferredWidth: 130
                    textFormat: Text.PlainText
                    text: Format.amount(ReportRows.openAmount(overdueRow.record))
                    color: Theme.fixed.textPrimary
                    font.pixelSize: 16
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
                }
            }
        }
    }
}
