import QtQuick
import QtQuick.Layouts
import Darvelinto

// The dialog that posts a manual two-line journal entry: one account debited, one credited, the
// same amount on both sides. It says why an entry is not saved and keeps its input then; a saved
// entry is confirmed, the form is emptied for the next one and posted(entryId) is emitted so the
// page reloads its lists.
//
// Properties:
//   accounts (list) the chart of accounts (`id`, `code`, `name_ar`) offered on both sides
// Signals: posted(int entryId)
MDialog {
    id: dialog

    property var accounts: []
    // The accounts the drop-downs offer, taken when the dialog opens: a page reload replaces the
    // chart's list, and a replaced list would move a drop-down onto an account nobody chose.
    property var choices: []

    function takeChoices() {
        const ids = list => (list || []).map(account => account.id).join(",");
        if (ids(choices) === ids(accounts))
            return;
        choices = accounts;
        debitAccount.currentIndex = -1;
        creditAccount.currentIndex = -1;
    }

    signal posted(int entryId)



    // The stored description: the text, followed by the reference when one is given, so the
    // reference stays with the entry and the journal's search finds it.
    function storedDescription(description, reference) {
        if (reference.length === 0)
            return description;
        return description.length > 0 ? description + " - مرجع: " + reference : "مرجع: " + reference;
    }

    function save() {
        if (debitAccount.currentIndex < 0 || creditAccount.currentIndex < 0) {
            Notifier.show("لم يُحفظ القيد", "اختر حساب المدين وحساب الدائن", "error");
            return;
        }
        if (debitAmount.text.trim().length === 0 || creditAmount.text.trim().length === 0) {
            Notifier.show("لم يُحفظ القيد", "أدخل مبلغ المدين ومبلغ الدائن", "error");
            return;
        }
        // Arabic-Indic digits and the Arabic decimal mark read as well; a negative or non-numeric
        // text gives NaN.
        const debit = Format.notNegative(debitAmount.text);
        const credit = Format.notNegative(creditAmount.text);
        if (isNaN(debit) || isNaN(credit) || debit <= 0 || credit <= 0) {
            Notifier.show("لم يُحفظ القيد", "المبلغ يجب أن يكون رقماً أكبر من صفر", "error");
            return;
        }
        if (Math.abs(debit - credit) > 0.005) {
            Notifier.show("لم يُحفظ القيد", "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن", "error");
            return;
        }
        const description = storedDescription(descriptionField.text.trim(), referenceField.text.trim());
        const debitId = debitAccount.currentValue;
        const creditId = creditAccount.currentValue;
        // Today in the office's own calendar (local time), not in UTC: an entry made after
        // midnight belongs to the new day.
        const id = Backend.accountModel.createJournalEntry(Format.today(), description, "manual", 0, [
            {
                "account_id": debitId,
                "debit": debit,
                "credit": 0,
                "description": description
            },
            {
                "account_id": creditId,
                "debit": 0,
                "credit": debit,
                "description": description
            }
        ]);
        if (id < 1) {
            Notifier.show("لم يُحفظ القيد", Backend.accountModel.lastError, "error");
            return;
        }
        descriptionField.text = "";
        referenceField.text = "";
        debitAmount.text = "";
        creditAmount.text = "";
        debitAccount.currentIndex = -1;
        creditAccount.currentIndex = -1;
        close();
        Notifier.show("نجاح", "تم حفظ القيد رقم " + id, "success");
        posted(id);
    }

    objectName: "entryDialog"
    onAboutToShow: takeChoices()
    title: "إضافة قيد يومية"
    width: 450
    height: 500

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        MTextField {
            id: descriptionField
            objectName: "entryDescription"
            Layout.fillWidth: true
            label: "الوصف / البيان"
        }

        MTextField {
            id: referenceField
            objectName: "entryReference"
            Layout.fillWidth: true
            label: "المرجع"
        }

        Text {
            Layout.fillWidth: true
            text: "تفاصيل القيد (مدين/دائن)"
            color: Theme.accentGold
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            ChoiceBox {
                id: debitAccount
                objectName: "debitAccount"
                Layout.fillWidth: true
                Layout.preferredHeight: 42
                model: dialog.choices
                currentIndex: -1
                valueRole: "id"
                textFor: account => account.name_ar + " (" + account.code + ")"
                placeholder: "الحساب المدين"
            }
            MTextField {
                id: debitAmount
                objectName: "debitAmount"
                Layout.fillWidth: false
                Layout.preferredWidth: 110
                placeholderText: "مبلغ المدين"
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            ChoiceBox {
                id: creditAccount
                objectName: "creditAccount"
                Layout.fillWidth: true
                Layout.preferredHeight: 42
                model: dialog.choices
                currentIndex: -1
                valueRole: "id"
                textFor: account => account.name_ar + " (" + account.code + ")"
                placeholder: "الحساب الدائن"
            }
            MTextField {
                id: creditAmount
                objectName: "creditAmount"
                Layout.fillWidth: false
                Layout.preferredWidth: 110
                placeholderText: "مبلغ الدائن"
            }
        }

        Item {
            Layout.fillHeight: true
        }

        MButton {
            objectName: "saveEntryButton"
            Layout.fillWidth: true
            text: "حفظ القيد"
            onClicked: dialog.save()
        }
    }
}
