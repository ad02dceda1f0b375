import QtQuick
import QtQuick.Layouts
import Darvelinto

// The settings page's renewal panel: the office's default rent increase when a contract is renewed,
// which the dashboard's list of contracts due for renewal and the renewal dialog propose.
SectionPanel {
    id: panel

    function save() {
        if (!Backend.contractModel.setDefaultIncrease(parseFloat(increaseField.text)))
            return Notifier.refuse(Backend.contractModel.lastError);
        Notifier.show("نجاح", "حُفظت نسبة الزيادة عند التجديد", "success");
    }

    objectName: "renewalSettingsPanel"
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.history
    title: "تجديد العقود"

    RowLayout {
        Layout.fillWidth: true
        spacing: 12

        MTextField {
            id: increaseField
            objectName: "defaultIncreaseField"
            Layout.fillWidth: true
            label: "نسبة الزيادة الافتراضية على الإيجار عند التجديد (%)"
            text: Backend.contractModel ? String(Backend.contractModel.defaultIncrease()) : "0"
            inputMethodHints: Qt.ImhFormattedNumbersOnly
        }
        MButton {
            objectName: "saveIncreaseButton"
            Layout.alignment: Qt.AlignBottom
            text: "حفظ"
            onClicked: panel.save()
        }
    }
}
