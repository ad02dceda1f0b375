import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The dialog in which the user pastes comma-separated rows to import into tenants, buyers, units or
// meter readings.
// It says what the import did. When every line went in it closes; when some lines were refused it
// stays open, lists each refused line with its number and reason, and keeps only those lines in
// the box to be corrected (the written ones are gone from it, so a second import cannot repeat
// them). Whenever lines were written it calls refresh() of the page that holds it (when it has
// one) and emits imported(), so the page's list shows the new rows.
//
// Properties:
//   targetTable  (string) "tenants" (default), "buyers", "units" or "readings" (meter readings)
//   text         (alias)  the pasted text; kept while the dialog is closed, emptied by a success
//   refusedLines (list)   the refused lines of the last import: { line, reason }
// Signals: imported() after an import that wrote lines.
MDialog {
    id: dialog

    property string targetTable: "tenants"
    property alias text: pasteArea.text
    readonly property string columnHint: targetTable === "tenants" ? "الاسم، رقم الهوية، الهاتف، العنوان" : targetTable === "buyers" ? "الاسم، رقم الهوية، الهاتف" : targetTable === "readings" ? "معرف العقار، رقم الوحدة، الخدمة (مياه أو كهرباء)، الشهر YYYY-MM، القراءة، تغيير عداد (نعم أو فارغ)" : "معرف العقار، رقم الوحدة، المساحة، السعر"

    property var refusedLines: []

    signal imported


    function holderWithRefresh() {
        for (let item = dialog.parent; item; item = item.parent) {
            if (typeof item.refresh === "function")
                return item;
        }
        return null;
    }

    function startImport() {
        if (pasteArea.text.trim().length === 0)
            return;
        const result = Backend.importCtrl.importRawCSV(pasteArea.text, targetTable) || {};
        if (result.failed) {
            refusedLines = [];
            Notifier.show("خطأ", result.message || "تعذر الاستيراد", "error");
            return;
        }
        const pasted = pasteArea.text.split(/\r\n|\n|\r/);
        refusedLines = result.refused || [];
        pasteArea.text = refusedLines.map(entry => pasted[entry.line - 1]).join("\n");
        if (Number(result.written) > 0) {
            const holder = holderWithRefresh();
            if (holder)
                holder.refresh();
            imported();
        }
        if (refusedLines.length === 0) {
            Notifier.show("نجاح", result.message, "success");
            close();
        } else if (Number(result.written) > 0) {
            Notifier.show("استيراد جزئي", result.message, "warning");
        } else {
            Notifier.show("خطأ", result.message, "error");
        }
    }

    title: "استيراد بيانات من إكسل (لصق مباشر)"
    width: 500
    height: 550

    ColumnLayout {
        anchors.fill: parent
        spacing: 15

        Text {
            Layout.fillWidth: true
            text: "قم بنسخ البيانات من الإكسل ثم لصقها في المربع أدناه:"
            color: Theme.fixed.textSecondary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
            wrapMode: Text.Wrap
        }

        ScrollView {
            id: scroller
            Layout.fillWidth: true
            Layout.fillHeight: true

            background: Rectangle {
                radius: 8
                color: Theme.fixed.pageBg
                border.width: 1
                border.color: pasteArea.activeFocus ? Theme.fixed.gold : Theme.fixed.cardBorder
            }

            TextArea {
                id: pasteArea
                objectName: "pasteArea"
                color: Theme.fixed.textPrimary
                placeholderText: "انسخ هنا (الاسم، الهوية، الهاتف، العنوان)..."
                placeholderTextColor: Theme.fixed.textMuted
                selectionColor: Theme.fixed.gold
                selectedTextColor: Theme.fixed.pageBg
                font.pixelSize: 13
                horizontalAlignment: TextEdit.AlignLeft
                wrapMode: TextEdit.NoWrap
                selectByMouse: true
                padding: 10
                background: null
            }
        }

        // The report of the last import: every refused line with its number and reason.
        Rectangle {
            objectName: "importReport"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(refusedList.contentHeight + 38, 130)
            visible: dialog.refusedLines.length > 0
            radius: 8
            color: Theme.fixed.pageBg
            border.width: 1
            border.color: Theme.fixed.error

            Text {
                id: reportHeading
                anchors.top: parent.top
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.margins: 8
                text: "الأسطر المرفوضة (بقيت في المربع أعلاه لتصحيحها):"
                color: Theme.fixed.error
                font.pixelSize: 12
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            ListView {
                id: refusedList
                objectName: "refusedList"
                anchors.top: reportHeading.bottom
                anchors.bottom: parent.bottom
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.margins: 8
                anchors.topMargin: 4
                clip: true
                spacing: 2
                boundsBehavior: Flickable.StopAtBounds
                model: dialog.refusedLines
                ScrollBar.vertical: ScrollBar {}
                delegate: Text {
                    required property var modelData
                    width: ListView.view.width
                    textFormat: Text.PlainText
                    text: "السطر " + modelData.line + ": " + modelData.reason
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    wrapMode: Text.Wrap
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 5

            Text {
                Layout.fillWidth: true
                text: "ترتيب الأعمدة المطلوب:"
                color: Theme.fixed.goldText
                font.pixelSize: 13
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            Text {
                objectName: "columnHint"
                Layout.fillWidth: true
                text: dialog.columnHint
                color: Theme.dark ? Theme.fixed.textBright : Theme.textPrimary
                font.pixelSize: 12
                horizontalAlignment: Text.AlignLeft
            }
        }

        MButton {
            objectName: "startImportButton"
            Layout.fillWidth: true
            text: "بدء الاستيراد الآن"
            onClicked: dialog.startImport()
        }

        Text {
            Layout.fillWidth: true
            text: "ملاحظة: افصل بين كل حقل وآخر بفاصلة (,) أو (،) أو انسخ الصفوف مباشرة."
            color: Theme.fixed.textMuted
            font.pixelSize: 11
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
    }
}
