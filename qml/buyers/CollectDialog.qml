pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Collects an installment, in full or in part.
MDialog {
    // paymentId: the collection's payment, whose receipt can be printed; message: what was done.
    signal collected(int paymentId, string message)
    signal refused

    function ask(record) {
        collectDialog.installment = record;
        const open = Number(record.installment_amount) - Number(record.paid_amount);
        collectAmount.text = String(Math.round(open * 100) / 100);
        collectDialog.open();
    }

    function collect() {
        const installment = collectDialog.installment;
        if (!installment)
            return;
        const amount = Format.positive(collectAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ المحصل"));
            return;
        }
        const open = collectDialog.openAmount;
        if (amount > open + 0.01) {
            Notifier.refuse("المبلغ " + Format.amount(amount) + " أكبر من المتبقي على القسط، وهو " + Format.amount(open));
            return;
        }
        if (!rateGuard.clear(installment.currency_id || Format.primaryCurrencyId(), Format.today(), () => collectDialog.collect()))
            return;
        if (!Backend.installmentModel.payInstallment(installment.id, amount)) {
            Notifier.refuse("رُفض تحصيل القسط: " + Backend.installmentModel.lastError);
            refused();
            return;
        }
        collectDialog.close();
        const done = "تم تحصيل " + Format.amount(amount) + " من قسط " + Format.ltr(installment.due_date);
        const receipts = Backend.receiptCtrl.getInstallmentReceipts(installment.id);
        collected(receipts.length > 0 ? receipts[0].payment_id : 0, done);
        Notifier.show("نجاح", done, "success");
    }


    id: collectDialog

    property var installment: null
    readonly property double openAmount: installment ? Number(installment.installment_amount) - Number(installment.paid_amount) : 0

    objectName: "collectDialog"
    title: "تحصيل قسط"
    width: 400
    height: 330

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: collectDialog.installment ? "قسط شقة " + collectDialog.installment.unit_number + " المستحق في " + Format.ltr(collectDialog.installment.due_date) : ""
            color: Theme.textPrimary
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }
        Text {
            objectName: "collectOpenAmount"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "المتبقي على القسط: " + Format.amount(collectDialog.openAmount)
            color: Theme.textSecondary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        MTextField {
            id: collectAmount
            objectName: "collectAmount"
            Layout.fillWidth: true
            label: "المبلغ المحصل"
            placeholderText: "0.00"
            onAccepted: collectDialog.collect()
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "confirmCollectButton"
            Layout.fillWidth: true
            text: "تأكيد التحصيل"
            onClicked: collectDialog.collect()
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
