pragma ComponentBehavior: Bound
import QtQuick
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

    property bool byPercent: true
    readonly property real newRent: byPercent ? Math.round(Number(terms.rent || 0) * (100 + (parseFloat(valueField.text) || 0))) / 100 : (parseFloat(valueField.text) || 0)

    function refresh() {
        terms = contractId > 0 ? Backend.contractModel.renewalTerms(contractId) : {};
        endField.text = terms.end || "";
        choose(true);
        topUpField.text = "0";
    }

    // The figure follows the choice: the default increase, or the rent after it.
    function choose(percent) {
        byPercent = percent;
        valueField.text = percent ? String(terms.increase_percent || 0) : String(terms.proposed_rent || terms.rent || 0);
    }

    function renew() {
        const id = Backend.contractModel.renew(contractId, endField.text.trim(), byPercent ? "percent" : "amount", parseFloat(valueField.text), parseFloat(topUpField.text) || 0, "cash");
        if (id <= 0)
            return Notifier.refuse(Backend.contractModel.lastError);
        Notifier.show("نجاح", "جُدّد العقد من " + terms.start + " إلى " + endField.text.trim(), "success");
        renewed(id);
        close();
    }

    title: "تجديد العقد - " + (terms.tenant_name || "") + " - وحدة " + (terms.unit_number || "")
    width: 520
    height: 600
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
            MButton {
                objectName: "renewalByPercent"
                Layout.fillWidth: true
                text: "زيادة بنسبة %"
                outline: !renewalDlg.byPercent
                onClicked: renewalDlg.choose(true)
            }
            MButton {
                objectName: "renewalByAmount"
                Layout.fillWidth: true
                text: "إيجار جديد بمبلغ"
                outline: renewalDlg.byPercent
                onClicked: renewalDlg.choose(false)
            }
        }
        MTextField {
            id: valueField
            objectName: "renewalValueField"
            Layout.fillWidth: true
            label: renewalDlg.byPercent ? "نسبة الزيادة" : "الإيجار الجديد"
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
