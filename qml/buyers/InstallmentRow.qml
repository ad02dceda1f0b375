pragma ComponentBehavior: Bound
import QtQuick
import Darvelinto

// One installment of a buyer's schedule, with its collect button while it is open and its
// receipts once something was collected.
Rectangle {
    id: row

    property PagedList list: null

    signal collectRequested(var record)

    required property var record
    required property int index
    readonly property bool paid: record.status === "paid"

    objectName: "installment_" + record.id
    width: ListView.view.width
    height: 48
    color: index % 2 === 1 ? Theme.bgSecondary : "transparent"

    Row {
        anchors.fill: parent
        anchors.rightMargin: 15
        anchors.leftMargin: 15

        Text {
            width: row.list.columnWidth(0, 5)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: row.record.due_date || ""
            color: Theme.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
        }
        Column {
            width: row.list.columnWidth(1, 5)
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            Text {
                width: parent.width
                textFormat: Text.PlainText
                text: "قسط شقة " + row.record.unit_number + (row.record.property_name ? " - " + row.record.property_name : "")
                color: Theme.textPrimary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                width: parent.width
                textFormat: Text.PlainText
                text: row.record.cheque_number ? "شيك رقم: " + row.record.cheque_number + " (" + (row.record.bank_name || "-") + ")" : "دفع نقدي / دفعات"
                color: Theme.textMuted
                font.pixelSize: 10
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
        }
        Column {
            width: row.list.columnWidth(2, 5)
            anchors.verticalCenter: parent.verticalCenter
            spacing: 1

            Text {
                width: parent.width
                textFormat: Text.PlainText
                text: Format.amount(row.record.installment_amount)
                color: Theme.accentGold
                font.pixelSize: 13
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            Text {
                objectName: "paidLine"
                width: parent.width
                visible: row.record.status === "partial"
                textFormat: Text.PlainText
                text: "مسدد: " + Format.amount(row.record.paid_amount)
                color: Theme.textMuted
                font.pixelSize: 10
                horizontalAlignment: Text.AlignLeft
            }
        }
        Item {
            width: row.list.columnWidth(3, 5)
            height: parent.height

            StatusBadge {
                objectName: "installmentStatus"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                width: 80
                height: 24
                radius: 6
                status: row.record.status || "pending"
                mapping: Theme.installmentStatuses
                fallbackLabel: Theme.installmentStatuses.pending.label
                fallbackColor: Theme.fixed.error
            }
        }
        Row {
            width: row.list.columnWidth(4, 5)
            height: parent.height
            spacing: 6

            // The receipts of what was collected on it.
            ReceiptButton {
                objectName: "installmentReceiptButton"
                anchors.verticalCenter: parent.verticalCenter
                visible: Number(row.record.paid_amount) > 0
                installmentId: row.record.id
            }
            MButton {
                objectName: "collectButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 32
                height: 30
                implicitHeight: 30
                leftPadding: 0
                rightPadding: 0
                visible: !row.paid
                text: Icons.done
                font.family: Icons.family
                btnColor: Theme.successColor
                textColor: Theme.fixed.textPrimary
                onClicked: row.collectRequested(row.record)
            }
        }
    }
}
