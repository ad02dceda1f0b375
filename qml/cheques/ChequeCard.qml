pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// One cheque of the register: number, party and unit, bank and due date, amount and status, with
// the buttons to cash a pending cheque and to record one returned by the bank (pending or cashed).
// The page asks before it changes anything.
Item {
    id: card

    required property var record
    required property int index
    // The first name the cheque carries: buyer, tenant, drawer or payee.
    readonly property string party: [record.buyer_name, record.tenant_name, record.payer_name, record.payee_name].find(name => !!name) || "-"
    readonly property var statuses: ({
            "paid": {
                "label": "تم الصرف",
                "color": Theme.successColor,
                "background": Theme.fixed.successSoft
            },
            "pending": {
                "label": "مؤجل",
                "color": Theme.warningColor,
                "background": Theme.bgAccentSoft
            },
            "bounced": {
                "label": "مرتجع",
                "color": Theme.dangerColor,
                "background": Theme.fixed.errorSoft
            }
        })
    readonly property bool received: record.type === "received"
    readonly property bool pending: record.status === "pending"
    // The bank can still return a cheque after it was cashed.
    readonly property bool returnable: pending || record.status === "paid"

    signal statusRequested(var record, string status)

    objectName: "cheque_" + record.cheque_number
    width: ListView.view.width
    height: 90

    Rectangle {
        anchors.fill: parent
        anchors.rightMargin: 10
        anchors.leftMargin: 10
        anchors.topMargin: 4
        anchors.bottomMargin: 4
        radius: 10
        color: Theme.bgCard
        border.width: 1
        border.color: Theme.borderColor

        RowLayout {
            anchors.fill: parent
            anchors.rightMargin: 14
            anchors.leftMargin: 14
            spacing: 14

            Rectangle {
                Layout.preferredWidth: 42
                Layout.preferredHeight: 42
                radius: 21
                color: card.received ? Theme.fixed.successSoft : Theme.fixed.errorSoft

                Text {
                    anchors.centerIn: parent
                    textFormat: Text.PlainText
                    text: card.received ? Icons.received : Icons.issued
                    color: card.received ? Theme.fixed.success : Theme.fixed.error
                    font.pixelSize: 22
                    font.family: Icons.family
                }
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 3

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: "رقم: " + card.record.cheque_number
                    color: Theme.textPrimary
                    font.pixelSize: 14
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    objectName: "partyLine"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: card.party + (card.record.unit_number ? " | " + (card.record.property_name || "") + " - وحدة " + card.record.unit_number : "")
                    color: Theme.textSecondary
                    font.pixelSize: 11
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: (card.record.bank_name || "-") + " | استحقاق: " + Format.ltr(card.record.due_date || "")
                    color: Theme.textMuted
                    font.pixelSize: 11
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
            }
            RowLayout {
                visible: card.returnable
                spacing: 8

                MButton {
                    objectName: "cashButton"
                    visible: card.pending
                    Layout.preferredHeight: 30
                    implicitHeight: 30
                    leftPadding: 10
                    rightPadding: 10
                    text: "صرف"
                    iconSymbol: Icons.done
                    font.pixelSize: 12
                    onClicked: card.statusRequested(card.record, "paid")
                }
                MButton {
                    objectName: "bounceButton"
                    Layout.preferredHeight: 30
                    implicitHeight: 30
                    leftPadding: 10
                    rightPadding: 10
                    text: "ارتجاع"
                    iconSymbol: Icons.close
                    font.pixelSize: 12
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: card.statusRequested(card.record, "bounced")
                }
            }
            ColumnLayout {
                Layout.preferredWidth: 130
                Layout.fillWidth: false
                spacing: 4

                Text {
                    objectName: "chequeAmount"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: Format.amount(card.record.amount, card.record.currency_symbol)
                    color: Theme.accentGold
                    font.pixelSize: 15
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
                }
                StatusBadge {
                    objectName: "chequeStatus"
                    Layout.alignment: Qt.AlignRight
                    Layout.preferredWidth: 92
                    Layout.preferredHeight: 22
                    radius: 6
                    status: card.record.status || ""
                    mapping: card.statuses
                    fallbackLabel: card.statuses.bounced.label
                    fallbackColor: Theme.dangerColor
                }
            }
        }
    }
}
