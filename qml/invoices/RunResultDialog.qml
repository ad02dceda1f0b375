pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// What a rent run or service charge did: invoices made, invoices that could not be written, or a
// run that could not start; a partial run never reads as a success.
MDialog {
    id: resultDialog

    property int count: 0
    property int failed: 0
    property bool refused: false
    // A partial run is never told as a success, nor a failed one as having nothing to do.
    readonly property string kind: refused || (failed > 0 && count === 0) ? "error" : (failed > 0 || count === 0 ? "warning" : "success")
    readonly property string verdict: {
        if (refused)
            return "تعذر تشغيل الإصدار، ولم تصدر أي فاتورة";
        if (failed > 0 && count > 0)
            return "تم إصدار " + count + " فاتورة، وتعذر إصدار " + failed + " (التفاصيل في سجل البرنامج)";
        if (failed > 0)
            return "تعذر إصدار " + failed + " فاتورة (التفاصيل في سجل البرنامج)";
        if (count > 0)
            return "تم إصدار " + count + " فاتورة بنجاح";
        return "لا توجد فواتير جديدة (قد تكون مكررة)";
    }

    // A run's outcome as the back end reports it: invoices made, invoices that could not be
    // written, and whether the run could start at all.
    function show(outcome) {
        count = outcome.made || 0;
        failed = outcome.failed || 0;
        refused = outcome.refused === true;
        open();
    }

    objectName: "generationResultDialog"
    title: "نتيجة الإصدار"
    width: 340
    height: 230

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        Item {
            id: resultArea
            Layout.fillWidth: true
            Layout.fillHeight: true

            Row {
                anchors.centerIn: parent
                spacing: 8

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    textFormat: Text.PlainText
                    text: resultDialog.kind === "success" ? Icons.success : (resultDialog.kind === "error" ? Icons.error : Icons.warning)
                    color: resultDialog.kind === "success" ? Theme.successColor : (resultDialog.kind === "error" ? Theme.dangerColor : Theme.warningColor)
                    font.pixelSize: 22
                    font.family: Icons.family
                }
                Text {
                    objectName: "resultText"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, resultArea.width - 36)
                    textFormat: Text.PlainText
                    text: resultDialog.verdict
                    color: resultDialog.kind === "success" ? Theme.fixed.success : (resultDialog.kind === "error" ? Theme.fixed.error : Theme.fixed.warning)
                    font.pixelSize: 15
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignHCenter
                }
            }
        }
        MButton {
            objectName: "resultOkButton"
            Layout.fillWidth: true
            text: "حسناً"
            onClicked: resultDialog.close()
        }
    }
}
