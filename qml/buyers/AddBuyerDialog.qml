pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Adds a buyer to the register.
MDialog {
    signal saved

    function addBuyer() {
        const name = buyerNameField.text.trim();
        if (name.length === 0) {
            Notifier.refuse("أدخل الاسم الكامل للمشتري");
            return;
        }
        const idNumber = buyerIdNumberField.text.trim();
        const id = Backend.buyerModel.add(name, idNumber, buyerPhoneField.text.trim(), "", buyerAddressField.text.trim());
        if (id <= 0) {
            Notifier.refuse(Backend.buyerModel.lastError);
            return;
        }
        for (const field of [buyerNameField, buyerIdNumberField, buyerPhoneField, buyerAddressField])
            field.text = "";
        saved();
        addBuyerDialog.close();
        Notifier.show("نجاح", "تمت إضافة المشتري " + name, "success");
    }


    id: addBuyerDialog
    objectName: "addBuyerDialog"
    title: "إضافة مشتري جديد"
    width: 450
    height: 470

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        MTextField {
            id: buyerNameField
            objectName: "buyerName"
            Layout.fillWidth: true
            label: "الاسم الكامل"
        }
        MTextField {
            id: buyerIdNumberField
            objectName: "buyerIdNumber"
            Layout.fillWidth: true
            label: "رقم الهوية"
        }
        MTextField {
            id: buyerPhoneField
            objectName: "buyerPhone"
            Layout.fillWidth: true
            label: "رقم الهاتف"
        }
        MTextField {
            id: buyerAddressField
            objectName: "buyerAddress"
            Layout.fillWidth: true
            label: "العنوان"
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "saveBuyerButton"
            Layout.fillWidth: true
            text: "حفظ البيانات"
            onClicked: addBuyerDialog.addBuyer()
        }
    }
}
