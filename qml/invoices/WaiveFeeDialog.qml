pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Waives a late fee: voids it, with the clerk's reason kept in the audit log; emits waived().
MDialog {
    id: waiveDialog

    property int feeId: 0
    property string feeNumber: ""

    signal waived

    function ask(record) {
        feeId = Number(record.id);
        feeNumber = record.invoice_number || "";
        reason.text = "";
        open();
    }

    function waive() {
        if (reason.text.trim().length === 0)
            return Notifier.refuse("اكتب سبب الإعفاء من الغرامة", reason);
        if (!Backend.invoiceModel.waiveLateFee(feeId, reason.text)) {
            Notifier.show("خطأ", Backend.invoiceModel.lastError || "تعذر الإعفاء من الغرامة", "error");
            return false;
        }
        close();
        Notifier.show("تم", "أُعفي المستأجر من الغرامة " + Format.ltr(feeNumber), "success");
        waived();
        return true;
    }

    objectName: "waiveFeeDialog"
    title: "الإعفاء من غرامة التأخير"
    width: 420
    height: 270

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            color: Theme.textSecondary
            font.pixelSize: 13
            text: "ستُلغى الغرامة " + Format.ltr(waiveDialog.feeNumber) + " ويُسجَّل السبب في سجل العمليات."
        }
        MTextField {
            id: reason
            objectName: "waiveReason"
            Layout.fillWidth: true
            label: "سبب الإعفاء"
            onAccepted: waiveDialog.waive()
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "waiveConfirm"
            Layout.fillWidth: true
            text: "إعفاء من الغرامة"
            onClicked: waiveDialog.waive()
        }
    }
}
