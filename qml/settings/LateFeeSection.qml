import QtQuick
import QtQuick.Layouts
import Darvelinto

// The settings page's late-fee panel: the grace period after an invoice's due date, and the fee,
// a fixed amount or a percentage of the overdue balance with a cap (0: no cap). A fee of 0 charges
// none. The fee is charged in the overdue invoice's currency.
SectionPanel {
    id: panel

    function load() {
        show(Backend.settingsManager.lateFeeSettings());
    }

    function show(rule) {
        grace.text = String(rule.grace_days);
        kindBox.currentIndex = rule.kind === "percent" ? 1 : 0;
        fixed.text = String(rule.fixed);
        percent.text = String(rule.percent);
        cap.text = String(rule.cap);
    }

    function save() {
        const days = Format.whole(grace.text);
        if (isNaN(days) || days < 0 || days > 365)
            return Notifier.refuse("مهلة السماح عدد أيام من 0 إلى 365", grace);
        const amounts = [Format.notNegative(fixed.text), Format.notNegative(percent.text), Format.notNegative(cap.text)];
        if (amounts.some(value => isNaN(value)))
            return Notifier.refuse("أدخل مبالغ ونسبة صحيحة غير سالبة");
        if (amounts[1] > 100)
            return Notifier.refuse("النسبة من 0 إلى 100", percent);
        if (!Backend.settingsManager.setLateFeeSettings(days, kindBox.currentIndex === 1 ? "percent" : "fixed", amounts[0], amounts[1], amounts[2]))
            return Notifier.refuse("تعذر حفظ إعدادات الغرامة");
        Notifier.show("نجاح", "تم حفظ إعدادات غرامة التأخير", "success");
        return true;
    }

    objectName: "lateFeeSettingsPanel"
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.warning
    title: "غرامات التأخير"
    Component.onCompleted: load()

    GridLayout {
        Layout.fillWidth: true
        columns: 3
        columnSpacing: 12
        rowSpacing: 10

        MTextField {
            id: grace
            objectName: "lateFeeGrace"
            Layout.fillWidth: true
            label: "مهلة السماح (أيام)"
        }
        ThemedComboBox {
            id: kindBox
            objectName: "lateFeeKind"
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignBottom
            model: ["مبلغ ثابت", "نسبة من المتأخر"]
        }
        MTextField {
            id: fixed
            objectName: "lateFeeFixed"
            Layout.fillWidth: true
            enabled: kindBox.currentIndex === 0
            label: "الغرامة الثابتة"
        }
        MTextField {
            id: percent
            objectName: "lateFeePercent"
            Layout.fillWidth: true
            enabled: kindBox.currentIndex === 1
            label: "النسبة المئوية"
        }
        MTextField {
            id: cap
            objectName: "lateFeeCap"
            Layout.fillWidth: true
            enabled: kindBox.currentIndex === 1
            label: "الحد الأعلى للغرامة (0 بلا حد)"
        }
        MButton {
            objectName: "lateFeeSave"
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignBottom
            text: "حفظ"
            onClicked: panel.save()
        }
    }
}
