pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Records a cheque received from a buyer.
MDialog {
    function saveBuyerCheque() {
        const number = chequeNumber.text.trim();
        if (number.length === 0) {
            Notifier.refuse("أدخل رقم الشيك");
            return;
        }
        const amount = Format.positive(chequeAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ"));
            return;
        }
        const due = chequeDue.text.trim();
        if (!Format.isDate(due)) {
            Notifier.refuse("أدخل تاريخ الاستحقاق بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        const id = Backend.chequeModel.add(number, "received", amount, chequeBank.text.trim(), due, buyerChequeDialog.buyerName, Format.primaryCurrencyId(), 1.0, buyerChequeDialog.buyerId, 0);
        if (id <= 0) {
            Notifier.refuse("تعذر حفظ الشيك رقم " + number + ": " + Backend.chequeModel.lastError);
            return;
        }
        chequeNumber.text = "";
        chequeAmount.text = "";
        buyerChequeDialog.close();
        Notifier.show("نجاح", "تم تسجيل الشيك رقم " + number + " من " + buyerChequeDialog.buyerName, "success");
    }


    id: buyerChequeDialog

    property int buyerId: 0
    property string buyerName: ""

    objectName: "buyerChequeDialog"
    title: "تسجيل شيك من: " + buyerName
    width: 450
    height: 470
    onAboutToShow: {
        if (chequeDue.text.trim().length === 0)
            chequeDue.text = Format.today();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        MTextField {
            id: chequeNumber
            objectName: "buyerChequeNumber"
            Layout.fillWidth: true
            label: "رقم الشيك"
        }
        MTextField {
            id: chequeBank
            objectName: "buyerChequeBank"
            Layout.fillWidth: true
            label: "اسم البنك"
        }
        MTextField {
            id: chequeAmount
            objectName: "buyerChequeAmount"
            Layout.fillWidth: true
            label: "المبلغ"
            placeholderText: "0.00"
        }
        MTextField {
            id: chequeDue
            objectName: "buyerChequeDue"
            Layout.fillWidth: true
            label: "تاريخ الاستحقاق"
            text: Format.today()
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "saveBuyerChequeButton"
            Layout.fillWidth: true
            text: "حفظ الشيك"
            onClicked: buyerChequeDialog.saveBuyerCheque()
        }
    }
}
