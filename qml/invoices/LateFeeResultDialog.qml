pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// What a late-fee run did: each fee charged (its invoice, the tenant, the overdue invoice and the
// amount), or why nothing was charged. The run is all or nothing, so a refusal means no fee at all.
MDialog {
    id: feeResult

    property var fees: []
    property bool refused: false
    property string refusal: ""

    // The outcome as InvoiceModel.issueLateFees() reports it.
    function show(outcome) {
        fees = outcome.invoices || [];
        refused = outcome.refused === true;
        refusal = outcome.refusal || "";
        open();
    }

    objectName: "lateFeeResultDialog"
    title: "نتيجة احتساب غرامات التأخير"
    width: 560
    height: 440

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        Text {
            objectName: "lateFeeVerdict"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 15
            font.bold: true
            color: feeResult.refused ? Theme.dangerColor : (feeResult.fees.length > 0 ? Theme.successColor : Theme.warningColor)
            text: feeResult.refused ? feeResult.refusal : (feeResult.fees.length > 0 ? "أُضيفت " + Format.count(feeResult.fees.length) + " غرامة تأخير" : "لا توجد فواتير متأخرة تستحق غرامة هذا الشهر")
        }
        ListView {
            objectName: "lateFeeList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: feeResult.fees
            spacing: 4
            delegate: Rectangle {
                id: feeRow

                required property var modelData
                required property int index

                width: ListView.view.width
                height: 46
                radius: 6
                color: index % 2 === 0 ? Theme.bgElevated : "transparent"

                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.left: feeAmount.right
                    anchors.leftMargin: 10
                    spacing: 2

                    Text {
                        width: parent.width
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                        font.pixelSize: 13
                        color: Theme.textPrimary
                        text: feeRow.modelData.tenant_name
                    }
                    Text {
                        width: parent.width
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                        font.pixelSize: 11
                        color: Theme.textSecondary
                        text: "الفاتورة " + Format.ltr(feeRow.modelData.invoice_number) + " عن المتأخرة " + Format.ltr(feeRow.modelData.for_number)
                    }
                }
                Text {
                    id: feeAmount
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.left: parent.left
                    anchors.leftMargin: 10
                    textFormat: Text.PlainText
                    font.pixelSize: 13
                    font.bold: true
                    color: Theme.accentGold
                    text: Format.money(feeRow.modelData.amount) + " " + feeRow.modelData.currency_symbol
                }
            }
        }
        MButton {
            objectName: "lateFeeResultOk"
            Layout.fillWidth: true
            text: "حسناً"
            onClicked: feeResult.close()
        }
    }
}
