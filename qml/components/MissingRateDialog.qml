import QtQuick
import QtQuick.Layouts
import Darvelinto

// Asked before an operation in another currency is saved when no exchange rate of its day is on
// record: the books would otherwise receive a figure nobody gave. It says which rate is missing,
// takes it, stores it as that day's rate against the primary currency and runs the operation again.
//
//   if (!rateGuard.clear(currencyId, date, () => save()))
//       return; // the dialog is open; save() runs again once the rate is stored
//   rateGuard.askForMissing(outcome, () => runAgain()) // after a run that lacked rates
//
// Properties:
//   evenWhenOff (bool) ask even while the automatic posting is off (the switch that turns it on)
MDialog {
    id: dialog

    property bool evenWhenOff: false
    // What is missing: `currency_id`, `name_ar`, `code`, `date`, `message` (AccountModel::missingRate).
    property var missing: ({})
    property var retry: null

    // True when the operation may go ahead; otherwise asks for the rate and returns false.
    function clear(currencyId, date, then) {
        const lacking = Backend.accountModel.missingRate(currencyId, date, evenWhenOff);
        if (!lacking || lacking.currency_id === undefined)
            return true;
        missing = lacking;
        retry = then || null;
        rateField.text = "";
        refusal.text = "";
        open();
        return false;
    }

    // Asks for the first rate an operation's answer says it lacked (its `missing_rates`: maps of
    // `currency_id` and `date`); false when it lacked none.
    function askForMissing(answer, then) {
        const missingRates = answer.missing_rates || [];
        return missingRates.length > 0 && !clear(missingRates[0].currency_id, missingRates[0].date, then);
    }

    function save() {
        const rate = Format.positive(rateField.text);
        if (isNaN(rate)) {
            refusal.text = "أدخل سعر صرف صحيحاً أكبر من صفر";
            return;
        }
        if (!Backend.currencyModel.setRateOn(missing.currency_id, Format.primaryCurrencyId(), rate, missing.date)) {
            refusal.text = "تعذر حفظ سعر الصرف";
            return;
        }
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
            text: Format.inOrder(dialog.missing.message || "")
            color: Theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
            wrapMode: Text.Wrap
        }
        MTextField {
            id: rateField
            objectName: "missingRateField"
            Layout.fillWidth: true
            label: "قيمة " + (dialog.missing.name_ar || "") + " بالعملة الأساسية في " + Format.date(dialog.missing.date || "")
            placeholderText: "0.00"
            onAccepted: dialog.save()
        }
        Text {
            id: refusal
            objectName: "missingRateRefusal"
            Layout.fillWidth: true
            visible: text.length > 0
            textFormat: Text.PlainText
            color: Theme.dangerColor
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
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
