pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Prints a receipt (سند قبض) and opens it: that of one payment or, given an installment, that of
// one of its collections (a short list to choose from when there were several). The office's
// first print of a receipt is the original; every later one is marked as a copy.
//
// Properties:
//   paymentId     (int) the payment whose receipt is printed
//   installmentId (int) instead of a payment: the installment whose collections' receipts are offered
// Functions: printReceipt(paymentId) prints one receipt and says how it went.
IconButton {
    id: button

    property int paymentId: 0
    property int installmentId: 0

    function printReceipt(id) {
        const path = Backend.receiptCtrl.printReceipt(id);
        if (path.length > 0)
            Notifier.show("نجاح", "تم حفظ سند القبض: " + path, "success");
        else
            Notifier.refuse("تعذرت طباعة سند القبض");
    }

    function chooseAndPrint() {
        if (installmentId <= 0) {
            printReceipt(paymentId);
            return;
        }
        const receipts = Backend.receiptCtrl.getInstallmentReceipts(installmentId);
        if (receipts.length === 1) {
            printReceipt(receipts[0].payment_id);
        } else if (receipts.length > 1) {
            chooser.receipts = receipts;
            chooser.open();
        } else {
            Notifier.refuse("لم يُحصَّل شيء من هذا القسط بعد");
        }
    }

    symbol: Icons.print
    btnColor: Theme.accentGold
    tooltip: "طباعة سند القبض"
    implicitWidth: 32
    implicitHeight: 30
    onClicked: chooseAndPrint()

    Popup {
        id: chooser

        property var receipts: []

        y: button.height + 4
        padding: 8
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

        background: Rectangle {
            color: Theme.bgElevated
            radius: 10
            border.width: 1
            border.color: Theme.borderColor
        }

        ColumnLayout {
            spacing: 6

            Repeater {
                model: chooser.receipts

                MButton {
                    required property var modelData

                    Layout.fillWidth: true
                    implicitHeight: 32
                    outline: true
                    text: "سند " + modelData.number_text + " | " + Format.amount(modelData.amount) + " | " + Format.ltr(modelData.payment_date)
                    onClicked: {
                        chooser.close();
                        button.printReceipt(modelData.payment_id);
                    }
                }
            }
        }
    }
}
