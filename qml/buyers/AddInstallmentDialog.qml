pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Adds one installment by hand to a unit the buyer bought.
MDialog {
    property int buyerId: 0

    signal added

    function addInstallment() {
        const unit = addInstallmentUnitBox.currentEntry;
        if (!unit) {
            Notifier.refuse(addInstallmentDialog.units.length === 0 ? "لا توجد وحدات مباعة لهذا المشتري" : "اختر الوحدة");
            return;
        }
        const amount = Format.positive(addInstallmentAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("قيمة القسط"));
            return;
        }
        const due = addInstallmentDue.text.trim();
        if (!Format.isDate(due)) {
            Notifier.refuse("أدخل تاريخ الاستحقاق بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        const currencyId = unit.currency_id ? unit.currency_id : Format.primaryCurrencyId();
        if (!rateGuard.clear(currencyId, Format.today(), () => addInstallmentDialog.addInstallment()))
            return;
        const id = Backend.installmentModel.add(addInstallmentDialog.buyerId, unit.id, 0, 0, amount, due, currencyId);
        if (id <= 0) {
            Notifier.refuse("تعذرت إضافة القسط: " + Backend.installmentModel.lastError);
            return;
        }
        addInstallmentAmount.text = "";
        addInstallmentDialog.close();
        added();
        Notifier.show("نجاح", "تمت إضافة قسط بقيمة " + Format.amount(amount) + " يستحق في " + Format.ltr(due), "success");
    }


    id: addInstallmentDialog

    property var units: []

    objectName: "addInstallmentDialog"
    title: "إضافة قسط"
    width: 420
    height: 400
    // Only units this buyer bought: an installment on anyone else's unit would charge the
    // buyer for a sale that is not theirs.
    onAboutToShow: {
        const all = Backend.unitModel.getAll();
        units = all.filter(unit => Number(unit.buyer_id) === addInstallmentDialog.buyerId);
        addInstallmentUnitBox.currentIndex = units.length > 0 ? 0 : -1;
        if (addInstallmentDue.text.trim().length === 0)
            addInstallmentDue.text = Format.today();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        ChoiceBox {
            id: addInstallmentUnitBox
            objectName: "addInstallmentUnitBox"
            Layout.fillWidth: true
            model: addInstallmentDialog.units
            textFor: unit => "وحدة " + unit.unit_number + " - " + (unit.property_name || "")
            placeholder: addInstallmentDialog.units.length === 0 ? "لا توجد وحدات مباعة لهذا المشتري" : "اختر الوحدة"
        }
        MTextField {
            id: addInstallmentAmount
            objectName: "addInstallmentAmount"
            Layout.fillWidth: true
            label: "قيمة القسط"
            placeholderText: "0.00"
        }
        MTextField {
            id: addInstallmentDue
            objectName: "addInstallmentDue"
            Layout.fillWidth: true
            label: "تاريخ الاستحقاق (YYYY-MM-DD)"
            text: Format.today()
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "saveInstallmentButton"
            Layout.fillWidth: true
            text: "إضافة القسط"
            onClicked: addInstallmentDialog.addInstallment()
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
