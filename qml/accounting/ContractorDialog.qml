import QtQuick
import QtQuick.Layouts
import Darvelinto

// The dialog that adds a contractor or supplier. A name is required; a refused or failed save is
// told and keeps the dialog open with its input; a saved one is confirmed, the fields are emptied
// and added(contractorId) is emitted so the page reloads its list.
MDialog {
    id: dialog

    signal added(int contractorId)


    function save() {
        const name = nameField.text.trim();
        if (name.length === 0) {
            Notifier.show("خطأ", "أدخل اسم المقاول أو المورد", "error");
            return;
        }
        const id = Backend.expenseModel.addContractor(name, phoneField.text.trim(), tradeField.text.trim());
        if (id < 1) {
            Notifier.refuse(Backend.expenseModel.lastError);
            return;
        }
        nameField.text = "";
        phoneField.text = "";
        tradeField.text = "";
        close();
        Notifier.show("نجاح", "تمت إضافة " + name, "success");
        added(id);
    }

    objectName: "contractorDialog"
    title: "إضافة مقاول / مورد"
    width: 400
    height: 390

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        MTextField {
            id: nameField
            objectName: "contractorName"
            Layout.fillWidth: true
            label: "الاسم"
        }
        MTextField {
            id: phoneField
            objectName: "contractorPhone"
            Layout.fillWidth: true
            label: "الهاتف"
        }
        MTextField {
            id: tradeField
            objectName: "contractorTrade"
            Layout.fillWidth: true
            label: "التخصص / بند العمل"
        }

        Item {
            Layout.fillHeight: true
        }

        MButton {
            objectName: "saveContractorButton"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: dialog.save()
        }
    }
}
