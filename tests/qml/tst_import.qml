import QtQuick
import QtTest

// The import dialog, held by a page of the real window as the tenants page holds it.
AppTestCase {
    name: "ImportDialog"

    function holderPage() {
        loginAsAdmin();
        const holder = Qt.createQmlObject(`
            import QtQuick
            import "qrc:/qt/qml/Darvelinto/components"
            Item {
                property int refreshed: 0
                function refresh() { ++refreshed }
                anchors.fill: parent
                ImportDialog { objectName: "importDialog" }
            }`, window.contentItem);
        return holder;
    }

    function test_blankTextDoesNothing() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        dialog.open();
        waitOpened(dialog);
        dialog.text = "   \n\t \n";
        mouseClick(find("startImportButton", dialog));
        verify(dialog.visible, "the dialog stays open");
        verify(!notice.active, "no notice");
        compare(testSupport.count("tenants"), 0);
        compare(holder.refreshed, 0);
        holder.destroy();
    }

    function test_successImportsClosesAndRefreshesThePage() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        const imported = createTemporaryQmlObject("import QtTest; SignalSpy { signalName: \"imported\" }", this);
        imported.target = dialog;
        dialog.open();
        waitOpened(dialog);
        dialog.text = "سامي خليل, 401234567, 0599111222\nرنا يوسف,402345678,0599333444,رام الله";
        mouseClick(find("startImportButton", dialog));

        compare(testSupport.count("tenants"), 2);
        compare(testSupport.value("SELECT id_number FROM tenants WHERE full_name='سامي خليل'"), "401234567");
        compare(testSupport.value("SELECT address FROM tenants WHERE full_name='رنا يوسف'"), "رام الله");
        compare(notice.title, "نجاح");
        compare(notice.text, "تم استيراد 2 سطر");
        compare(notice.kind, "success");
        waitClosed(dialog);
        compare(dialog.text, "", "a success empties the text");
        compare(holder.refreshed, 1, "the holding page reloads its list");
        compare(imported.count, 1);
        holder.destroy();
    }

    function test_failureKeepsTheDialogAndItsText() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        dialog.open();
        waitOpened(dialog);
        dialog.text = "only a name, 123";
        mouseClick(find("startImportButton", dialog));

        compare(notice.title, "خطأ");
        compare(notice.kind, "error");
        verify(dialog.visible);
        compare(dialog.text, "only a name, 123");
        verify(find("importReport", dialog).visible, "the reason is shown");
        compare(dialog.refusedLines.length, 1);
        compare(holder.refreshed, 0);
        compare(testSupport.count("tenants"), 0);
        holder.destroy();
    }

    // A partial import is never read as plain success: the refused lines stay, with their reasons.
    function test_aPartialImportKeepsTheRefusedLinesAndSaysWhy() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        dialog.open();
        waitOpened(dialog);
        dialog.text = "سامي خليل, 401, 0599111222\nرنا, 401, 0599333444\n\nهدى, 402, 0599555666";
        mouseClick(find("startImportButton", dialog));

        compare(testSupport.count("tenants"), 2);
        compare(notice.kind, "warning");
        compare(notice.text, "تم استيراد 2 سطر ورُفض 1");
        verify(dialog.visible, "the dialog stays open");
        compare(dialog.text, "رنا, 401, 0599333444", "only the refused line is left to correct");
        compare(dialog.refusedLines.length, 1);
        compare(dialog.refusedLines[0].line, 2);
        verify(find("importReport", dialog).visible);
        compare(holder.refreshed, 1, "the written lines show on the page");
        holder.destroy();
    }

    function test_theTextStaysWhenClosedWithTheCloseButton() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        dialog.open();
        waitOpened(dialog);
        dialog.text = "half, done";
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);
        dialog.open();
        waitOpened(dialog);
        compare(dialog.text, "half, done");
        holder.destroy();
    }

    function test_buyersGoToTheirTable() {
        const holder = holderPage();
        const dialog = find("importDialog", holder);
        dialog.targetTable = "buyers";
        compare(find("columnHint", dialog).text, "الاسم، رقم الهوية، الهاتف");
        dialog.open();
        waitOpened(dialog);
        dialog.text = "ماجد حسن, 409876543, 0598000111";
        mouseClick(find("startImportButton", dialog));
        compare(testSupport.count("buyers"), 1);
        compare(testSupport.count("tenants"), 0);
        holder.destroy();
    }

    function test_columnHints_data() {
        return [
            {
                "tag": "tenants",
                "hint": "الاسم، رقم الهوية، الهاتف، العنوان"
            },
            {
                "tag": "buyers",
                "hint": "الاسم، رقم الهوية، الهاتف"
            },
            {
                "tag": "units",
                "hint": "معرف العقار، رقم الوحدة، المساحة، السعر"
            }
        ];
    }

    function test_columnHints(data) {
        const dialog = createTemporaryQmlObject(`import "qrc:/qt/qml/Darvelinto/components"; ImportDialog { targetTable: "${data.tag}" }`, this);
        compare(find("columnHint", dialog).text, data.hint);
    }
}
