import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Says that money was recorded and offers its receipt (سند قبض) at once. It does not hold the page:
// a click anywhere else puts it away.
//
//     ReceiptOfferDialog { id: receiptOffer }
//     ...
//     receiptOffer.offer(paymentId, "تم تسجيل دفعة بمبلغ ...")
//
// Functions: offer(paymentId, message) opens it for that payment.
MDialog {
    id: offerDialog

    property int paymentId: 0
    property string message: ""

    function offer(id, text) {
        paymentId = id;
        message = text;
        open();
    }

    objectName: "receiptOffer"
    title: "تم التسجيل"
    width: 440
    height: 230
    modal: false
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    ColumnLayout {
        anchors.fill: parent
        spacing: 16

        Text {
            Layout.fillWidth: true
            Layout.fillHeight: true
            textFormat: Text.PlainText
            text: offerDialog.message
            color: Theme.textPrimary
            font.pixelSize: 14
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignLeft
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            MButton {
                objectName: "printReceiptButton"
                Layout.fillWidth: true
                text: "طباعة سند القبض"
                iconSymbol: Icons.print
                onClicked: {
                    offerDialog.close();
                    receiptPrinter.printReceipt(offerDialog.paymentId);
                }
            }
            MButton {
                objectName: "skipReceiptButton"
                Layout.fillWidth: true
                text: "إغلاق"
                outline: true
                btnColor: Theme.textSecondary
                onClicked: offerDialog.close()
            }
        }
    }

    // Prints through the same button the lists use, so the two say the same thing.
    ReceiptButton {
        id: receiptPrinter
        visible: false
    }
}
