import QtQuick
import QtQuick.Layouts
import "Bidi.js" as Bidi
import "Formats.js" as Formats

// Asked before an operation in another currency is saved when no exchange rate of its day is on
// record: the books would otherwise receive a figure nobody gave. It says which rate is missing,
// takes it, stores it and runs the operation again.
//
//   if (!rateGuard.clear(currencyId, date, () => save()))
//       return; // the dialog is open; save() runs again once the rate is stored
//
// Properties:
//   check (function(currencyId, date) -> map) what is missing: empty, or `currency_id`,
//         `name_ar`, `code`, `date`, `message` (AccountModel::missingRate)
//   store (function(currencyId, date, rate) -> bool) records the rate of that day
MDialog {
    id: dialog

    property var check: null
    property var store: null
    property var missing: ({})
    property var retry: null

    // True when the operation may go ahead; otherwise asks for the rate and returns false.
    function clear(currencyId, date, then) {
        const checker = check;
        const lacking = checker ? checker(currencyId, date) : ({});
        if (!lacking || lacking.currency_id === undefined)
            return true;
        missing = lacking;
        retry = then || null;
        rateField.text = "";
        open();
        return false;
    }

    function save() {
        const rate = Formats.parseAmount(rateField.text);
        if (isNaN(rate) || rate <= 0) {
            refusal.text = "أدخل سعر صرف صحيحاً أكبر من صفر";
            return;
        }
        const recorder = store;
        if (!recorder || !recorder(missing.currency_id, missing.date, rate)) {
            refusal.text = "تعذر حفظ سعر الصرف";
            return;
        }
        refusal.text = "";
        const then = retry;
        retry = null;
        close();
        if (then)
            then();
    }

    objectName: "missingRateDialog"
    title: "سعر الصرف غير مسجل"
    width: 460
    height: 330

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        Text {
            objectName: "missingRateMessage"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: Bidi.numbersInOrder(dialog.missing.message || "")
            color: dialog.theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignRight
            wrapMode: Text.Wrap
        }
        MTextField {
            id: rateField
            objectName: "missingRateField"
            Layout.fillWidth: true
            label: "قيمة " + (dialog.missing.name_ar || "") + " بالعملة الأساسية في " + Bidi.numbersInOrder(dialog.missing.date || "")
            placeholderText: "0.00"
            onAccepted: dialog.save()
        }
        Text {
            id: refusal
            objectName: "missingRateRefusal"
            Layout.fillWidth: true
            visible: text.length > 0
            textFormat: Text.PlainText
            color: dialog.theme.dangerColor
            font.pixelSize: 12
            horizontalAlignment: Text.AlignRight
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "saveRateButton"
            Layout.fillWidth: true
            text: "حفظ السعر وإعادة المحاولة"
            onClicked: dialog.save()
        }
    }
}
