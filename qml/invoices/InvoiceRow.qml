pragma ComponentBehavior: Bound
import QtQuick
import Darvelinto

// One invoice of the list: number, tenant, period, property and unit, total, what is open and the
// status, in the page's fixed dark colours.
Rectangle {
    id: row

    // The list the row belongs to: its column widths.
    property PagedList list: null
    required property var record
    required property int index
    readonly property var statuses: ({
            "paid": {
                "label": "مدفوعة",
                "color": Theme.fixed.success,
                "background": Theme.fixed.successSoft
            },
            "partial": {
                "label": "جزئي",
                "color": Theme.fixed.warning,
                "background": Theme.fixed.warningSoft
            },
            "void": {
                "label": "ملغاة",
                "color": Theme.fixed.textMuted,
                "background": Theme.fixed.cardBorder
            },
            "pending": {
                "label": "معلقة",
                "color": Theme.fixed.error,
                "background": Theme.fixed.errorSoft
            }
        })
    readonly property double balance: Number(record.balance)
    // A late fee still open can be waived from its row.
    readonly property bool waivable: record.late_fee_for !== undefined && record.late_fee_for !== null && Number(record.late_fee_for) > 0 && (record.status === "pending" || record.status === "partial")

    signal waiveRequested(var record)

    objectName: "invoiceRow_" + record.invoice_number
    width: ListView.view.width
    height: 48
    color: index % 2 === 1 ? Theme.fixed.rowBg : "transparent"

    Row {
        anchors.fill: parent
        anchors.rightMargin: 15
        anchors.leftMargin: 15

        Text {
            width: row.list.columnWidth(0, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: row.record.invoice_number || ""
            color: Theme.fixed.gold
            font.pixelSize: 12
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        Text {
            width: row.list.columnWidth(1, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: row.record.tenant_name || ""
            color: Theme.fixed.textCell
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        Text {
            width: row.list.columnWidth(2, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: row.record.period || ""
            color: Theme.fixed.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            objectName: "propertyCell"
            width: row.list.columnWidth(3, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: (row.record.property_name || "") + (row.record.unit_number ? " - " + row.record.unit_number : "")
            color: Theme.fixed.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        Text {
            width: row.list.columnWidth(4, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: Format.amount(row.record.total_amount)
            color: Theme.fixed.textPrimary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            objectName: "balanceCell"
            width: row.list.columnWidth(5, 7)
            leftPadding: 8
            height: parent.height
            textFormat: Text.PlainText
            text: Format.amount(row.balance)
            color: row.balance > 0 ? Theme.fixed.error : Theme.fixed.success
            font.pixelSize: 12
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
        }
        Item {
            width: row.list.columnWidth(6, 7)
            height: parent.height

            StatusBadge {
                objectName: "statusBadge"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                width: 70
                height: 24
                radius: 6
                status: row.record.status || "pending"
                mapping: row.statuses
                fallbackLabel: row.statuses.pending.label
                fallbackColor: Theme.fixed.error
            }
            IconButton {
                objectName: "waiveButton"
                visible: row.waivable
                anchors.left: parent.left
                anchors.leftMargin: 74
                anchors.verticalCenter: parent.verticalCenter
                implicitWidth: 30
                implicitHeight: 30
                symbol: Icons.undo
                btnColor: Theme.fixed.warning
                tooltip: "إعفاء من الغرامة"
                onClicked: row.waiveRequested(row.record)
            }
        }
    }
}
