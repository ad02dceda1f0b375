pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Adds a tenant.
MDialog {
    signal saved

    function addTenant() {
        const name = nameField.text.trim();
        if (name.length === 0) {
            Notifier.show("خطأ", "أدخل الاسم الكامل للمستأجر", "error");
            nameField.input.forceActiveFocus();
            return;
        }
        const idNumber = idField.text.trim();
        const id = Backend.tenantModel.add(name, idNumber, phoneField.text.trim(), emailField.text.trim(), addressField.text.trim());
        if (id <= 0) {
            Notifier.refuse("تعذرت إضافة المستأجر: " + Backend.tenantModel.lastError);
            return;
        }
        addDlg.close();
        for (const field of [nameField, idField, phoneField, emailField, addressField])
            field.text = "";
        saved();
        Notifier.show("نجاح", "تمت إضافة المستأجر \"" + name + "\"", "success");
    }


    id: addDlg
    objectName: "addTenantDialog"
    title: "إضافة مستأجر"
    width: 460
    height: 560

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        MTextField {
            id: nameField
            objectName: "tenantNameField"
            Layout.fillWidth: true
            label: "الاسم الكامل"
        }
        MTextField {
            id: idField
            objectName: "tenantIdField"
            Layout.fillWidth: true
            label: "رقم الهوية"
        }
        MTextField {
            id: phoneField
            objectName: "tenantPhoneField"
            Layout.fillWidth: true
            label: "الهاتف"
            inputMethodHints: Qt.ImhDialableCharactersOnly
        }
        MTextField {
            id: emailField
            objectName: "tenantEmailField"
            Layout.fillWidth: true
            label: "البريد الإلكتروني"
            inputMethodHints: Qt.ImhEmailCharactersOnly
        }
        MTextField {
            id: addressField
            objectName: "tenantAddressField"
            Layout.fillWidth: true
            label: "العنوان"
            onAccepted: addDlg.addTenant()
        }

        Item {
            Layout.fillHeight: true
        }

        MButton {
            objectName: "saveTenantButton"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: addDlg.addTenant()
        }
    }
}
