import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The dialog in which the user pastes comma-separated rows to import into tenants, buyers or units.
// After a successful import it calls refresh() of the page that holds it (when it has one) and
// emits imported(), so the page's list shows the new rows.
//
// Properties:
//   targetTable (string) "tenants" (default), "buyers" or "units"
//   text        (alias)  the pasted text; kept while the dialog is closed, emptied by a success
// Signals: imported() after a successful import.
MDialog {
    id: dialog

    property string targetTable: "tenants"
    property alias text: pasteArea.text
    readonly property string columnHint: targetTable === "tenants" ? "الاسم، رقم الهوية، الهاتف، العنوان" : targetTable === "buyers" ? "الاسم، رقم الهوية، الهاتف" : "معرف العقار، رقم الوحدة، المساحة، السعر"

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
        if (!Backend.importCtrl.importRawCSV(pasteArea.text, targetTable)) {
            Notifier.show("خطأ", "فشل استيراد البيانات، تأكد من الصيغة", "error");
            return;
        }
        Notifier.show("نجاح", "تم استيراد البيانات بنجاح", "success");
        pasteArea.text = "";
        close();
        const holder = holderWithRefresh();
        if (holder)
            holder.refresh();
        imported();
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
            text: "ملاحظة: افصل بين كل حقل وآخر بفاصلة (,) أو انسخ الصفوف مباشرة."
            color: Theme.fixed.textMuted
            font.pixelSize: 11
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
    }
}
