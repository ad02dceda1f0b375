pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The monthly rent run over every active contract for one period; emits ran(outcome) with what
// the back end reports (invoices made and failed).
MDialog {
    id: rentDialog

    signal ran(var outcome)

    function run() {
        const period = rentPeriod.text.trim();
        if (!Format.isPeriod(period)) {
            Notifier.refuse("أدخل الفترة بالشكل YYYY-MM، مثل " + Format.ltr(Format.currentPeriod()));
            return;
        }
        const outcome = Backend.invoiceModel.issueRent(period);
        close();
        ran(outcome);
    }

    objectName: "rentDialog"
    title: "إصدار فواتير الإيجار الشهرية"
    width: 400
    height: 300
    onAboutToShow: {
        if (rentPeriod.text.trim().length === 0)
            rentPeriod.text = Format.currentPeriod();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 15

        Text {
            Layout.fillWidth: true
            text: "سيتم إصدار فواتير لجميع العقود النشطة تلقائياً"
            color: Theme.fixed.textSecondary
            font.pixelSize: 13
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignLeft
        }
        MTextField {
            id: rentPeriod
            objectName: "rentPeriod"
            Layout.fillWidth: true
            label: "الفترة (YYYY-MM)"
            text: Format.currentPeriod()
            onAccepted: rentDialog.run()
        }
        Item {
            Layout.fillHeight: true
        }
        MButton {
            objectName: "rentRunConfirm"
            Layout.fillWidth: true
            text: "إصدار الفواتير"
            onClicked: rentDialog.run()
        }
    }
}
