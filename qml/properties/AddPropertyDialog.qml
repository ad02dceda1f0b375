pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Adds a property (name, type, city, address); emits saved() once the back end took it.
MDialog {
    id: addDialog

    readonly property var typeCodes: ["residential", "commercial", "mixed"]
    readonly property var typeLabels: ["سكني", "تجاري", "مختلط"]

    signal saved()

    function save() {
        const name = nameField.text.trim();
        if (name.length === 0) {
            Notifier.show("خطأ", "أدخل اسم العقار", "error");
            nameField.input.forceActiveFocus();
            return;
        }
        const id = Backend.propertyModel.add(name, addDialog.typeCodes[typeBox.currentIndex], addressField.text.trim(), cityField.text.trim(), "");
        if (id <= 0) {
            Notifier.refuse("تعذرت إضافة العقار: " + Backend.propertyModel.lastError);
            return;
        }
        close();
        nameField.text = "";
        cityField.text = "";
        addressField.text = "";
        saved();
        Notifier.show("نجاح", "تمت إضافة العقار \"" + name + "\"", "success");
    }

    objectName: "addPropertyDialog"
    title: "إضافة عقار جديد"
    width: 480
    height: 480

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        MTextField {
            id: nameField
            objectName: "propertyNameField"
            Layout.fillWidth: true
            label: "اسم العقار"
            placeholderText: "مثال: برج النخيل"
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 6

            Text {
                Layout.fillWidth: true
                text: "نوع العقار"
                color: Theme.textSecondary
                font.pixelSize: 12
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            ThemedComboBox {
                id: typeBox
                objectName: "propertyTypeBox"
                Layout.fillWidth: true
                model: addDialog.typeLabels
            }
        }

        MTextField {
            id: cityField
            objectName: "propertyCityField"
            Layout.fillWidth: true
            label: "المدينة"
        }
        MTextField {
            id: addressField
            objectName: "propertyAddressField"
            Layout.fillWidth: true
            label: "العنوان"
            onAccepted: addDialog.save()
        }

        Item {
            Layout.fillHeight: true
        }

        MButton {
            objectName: "savePropertyButton"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: addDialog.save()
        }
    }
}
