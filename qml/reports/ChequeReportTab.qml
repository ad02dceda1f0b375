pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The reports page's cheque tab: the cheques due within the chosen dates.
PagedList {
    property string fromDate: ""
    property string toDate: ""

    id: chequeList
    objectName: "chequeList"
    panelColor: Theme.bgSecondary
    searchPlaceholder: "بحث برقم الشيك أو الساحب أو البنك..."
    emptyText: "لا توجد شيكات في هذه الفترة"
    fetch: (offset, limit, search) => Backend.reportCtrl.getChequeReportPage("", chequeList.fromDate, chequeList.toDate, offset, limit, search)

    delegate: Item {
        id: chequeRow
        required property var record
        required property int index
        readonly property var status: Theme.chequeStatus(record.status)

        objectName: "cheque_" + record.id
        width: ListView.view.width
        height: 56

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
                    Layout.preferredWidth: 140
                    textFormat: Text.PlainText
                    text: "رقم: " + (chequeRow.record.cheque_number || "")
                    color: Theme.accentGold
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.preferredWidth: 110
                    textFormat: Text.PlainText
                    text: chequeRow.record.due_date || ""
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: Format.amount(chequeRow.record.amount, chequeRow.record.currency_symbol)
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Rectangle {
                    Layout.preferredWidth: 100
                    Layout.preferredHeight: 24
                    radius: 12
                    color: chequeRow.status.color

                    Text {
                        objectName: "chequeStatus"
                        anchors.centerIn: parent
                        textFormat: Text.PlainText
                        text: chequeRow.status.label
                        color: Theme.fixed.textPrimary
                        font.pixelSize: 10
                        font.bold: true
                    }
                }
            }
        }
    }
}
