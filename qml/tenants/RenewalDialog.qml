pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Renewing a contract: the next term from the day after it ends, the rent raised by a percentage
// (the office's default increase to begin with) or set to a figure, the deposit carried over and
// topped up if the clerk says so.
//
// Properties: contractId (int) set before open().
// Signals: renewed(int id) after the new contract was written.
MDialog {
    id: renewalDlg

    property int contractId: 0
    property var terms: ({})

    signal renewed(int id)

    readonly property real newRent: byPercent.checked ? Math.round(Number(terms.rent || 0) * (100 + (parseFloat(valueField.text) || 0))) / 100 : (parseFloat(valueField.text) || 0)

    function refresh() {
        terms = contractId > 0 ? Backend.contractModel.renewalTerms(contractId) : {};
        endField.text = terms.end || "";
        byPercent.checked = true;
        valueField.text = String(terms.increase_percent || 0);
        topUpField.text = "0";
    }

    function renew() {
        const id = Backend.contractModel.renew(contractId, endField.text.trim(), byPercent.checked ? "percent" : "amount", parseFloat(valueField.text), parseFloat(topUpField.text) || 0, "cash");
        if (id <= 0)
            return Notifier.refuse(Backend.contractModel.lastError);
        Notifier.show("نجاح", "جُدّد العقد من " + terms.start + " إلى " + endField.text.trim(), "success");
        renewed(id);
        close();
    }

    title: "تجديد العقد - " + (terms.tenant_name || "") + " - وحدة " + (terms.unit_number || "")
    width: 520
    height: 560
    onAboutToShow: refresh()

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "العقد الحالي: " + Format.inOrder((renewalDlg.terms.old_start || "") + " إلى " + (renewalDlg.terms.old_end || "")) + " — " + Format.amount(renewalDlg.terms.rent || 0, renewalDlg.terms.currency_symbol || "")
            color: Theme.textSecondary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
            wrapMode: Text.Wrap
        }
        MTextField {
            objectName: "renewalStartField"
            Layout.fillWidth: true
            label: "يبدأ العقد الجديد في (اليوم التالي لانتهاء الحالي)"
            text: renewalDlg.terms.start || ""
            readOnly: true
        }
        MTextField {
            id: endField
            objectName: "renewalEndField"
            Layout.fillWidth: true
            label: "ينتهي في"
            placeholderText: "YYYY-MM-DD"
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            RadioButton {
                id: byPercent
                objectName: "renewalByPercent"
                text: "زيادة بنسبة %"
                checked: true
                // The figure follows the choice: the default increase, or the rent after it.
                onCheckedChanged: valueField.text = checked ? String(renewalDlg.terms.increase_percent || 0) : String(renewalDlg.terms.proposed_rent || renewalDlg.terms.rent || 0)
            }
            RadioButton {
                objectName: "renewalByAmount"
                text: "إيجار جديد بمبلغ"
            }
        }
        MTextField {
            id: valueField
            objectName: "renewalValueField"
            Layout.fillWidth: true
            label: byPercent.checked ? "نسبة الزيادة" : "الإيجار الجديد"
            inputMethodHints: Qt.ImhFormattedNumbersOnly
        }
        Text {
            objectName: "renewalNewRent"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "الإيجار الجديد: " + Format.amount(renewalDlg.newRent, renewalDlg.terms.currency_symbol || "")
            color: Theme.accentGold
            font.pixelSize: 15
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }
        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "التأمين المحتجز يُنقل إلى العقد الجديد: " + Format.amount(renewalDlg.terms.held || 0, renewalDlg.terms.currency_symbol || "")
            color: Theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        MTextField {
            id: topUpField
            objectName: "renewalTopUpField"
            Layout.fillWidth: true
            label: "زيادة التأمين (تُستلم نقداً الآن)"
            inputMethodHints: Qt.ImhFormattedNumbersOnly
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "confirmRenewButton"
            Layout.fillWidth: true
            text: "تجديد العقد"
            onClicked: renewalDlg.renew()
        }
    }
}
