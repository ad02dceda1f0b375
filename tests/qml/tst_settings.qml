import QtQuick
import QtTest
import Darvelinto

// The settings page: theme cards, exchange rates, company profile, CSV export, the backup folder,
// backups and a confirmed restore.
AppTestCase {
    name: "Settings"

    function settingsPage() {
        loginAsAdmin();
        return shown(11);
    }

    // Shows a page and lets it lay out before anything on it is clicked.
    function shown(index) {
        const page = showPage(index);
        waitIdle();
        return page;
    }

    // Scrolls the page until the item is in view, then clicks it as a user would.
    function click(page, name) {
        const item = typeof name === "string" ? find(name, page) : name;
        verify(item, String(name));
        const flick = find("settingsScroll", page).contentItem;
        const top = item.mapToItem(flick.contentItem, 0, 0).y;
        flick.contentY = Math.max(0, Math.min(top - 100, flick.contentHeight - flick.height));
        waitIdle();
        mouseClick(item);
    }

    function currencyId(code) {
        return testSupport.value("SELECT id FROM currencies WHERE code=?", [code]);
    }

    function rateRow(page, code) {
        let found = null;
        tryVerify(() => (found = find("rateRow_" + code, page)) !== null, 2000, "rate row " + code);
        return found;
    }

    function test_themeCardsSwitchTheTheme() {
        const page = settingsPage();
        compare(settingsManager.themeMode, "dark");
        verify(Theme.dark);
        click(page, "themeCard_light");
        compare(settingsManager.themeMode, "light");
        compare(testSupport.value("SELECT value FROM settings WHERE key='theme_mode'"), "light");
        verify(!Theme.dark);
        verify(Qt.colorEqual(page.color, "#f4f7fb"), "the page itself recolours");
        verify(Qt.colorEqual(find("themeCard_light", page).background.border.color, "#c79a36"), "the chosen card is outlined in gold");
        verify(find("themeSegment_light").selected, "the top bar's switch follows");

        click(page, "themeCard_dark");
        compare(settingsManager.themeMode, "dark");
        compare(testSupport.value("SELECT value FROM settings WHERE key='theme_mode'"), "dark");
        verify(Qt.colorEqual(page.color, "#08111f"));
    }

    function test_aRateIsUpdatedAndReadBack() {
        const page = settingsPage();
        compare(find("primaryCurrencyLine", page).text, "العملة الأساسية: ILS (₪)");
        verify(find("rateRow_ILS", page) === null, "no row for the primary currency itself");
        const row = rateRow(page, "USD");
        const field = find("rateField", row);
        compare(field.text, "1.0000", "no rate stored yet");

        field.text = "3.65";
        click(page, find("rateButton", row));
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT rate FROM exchange_rates WHERE from_currency_id=? AND to_currency_id=?", [currencyId("USD"), currencyId("ILS")]), 3.65);
        compare(settingsManager.getExchangeRate(currencyId("USD"), currencyId("ILS")), 3.65);
        compare(field.text, "3.6500", "the field shows the stored rate");

        // Shown again, the page reads the rate back from the database.
        showPage(0);
        shown(11);
        compare(find("rateField", rateRow(page, "USD")).text, "3.6500");
        compare(find("rateField", rateRow(page, "JOD")).text, "1.0000");
    }

    function test_aRateThatIsNotANumberIsRefusedOnThePage() {
        const page = settingsPage();
        const row = rateRow(page, "JOD");
        const field = find("rateField", row);
        for (const typed of ["abc", "", "0", "-2", "3.5.1"]) {
            field.text = typed;
            click(page, find("rateButton", row));
            compare(notice.kind, "error", typed);
            compare(notice.text, "أدخل سعر صرف صحيحاً أكبر من صفر لـ " + testSupport.value("SELECT name_ar FROM currencies WHERE code='JOD'"));
            compare(field.text, typed, "the typed text stays to be corrected");
        }
        compare(testSupport.count("exchange_rates"), 0);

        field.text = "٤٫٩";
        click(page, find("rateButton", row));
        compare(notice.kind, "success", "Arabic digits are a number too");
        compare(testSupport.value("SELECT rate FROM exchange_rates"), 4.9);
    }

    function test_ratesAreAgainstThePrimaryCurrency() {
        loginAsAdmin();
        verify(settingsManager.setPrimaryCurrency("USD"));
        const page = shown(11);
        verify(find("rateRow_USD", page) === null);
        const row = rateRow(page, "ILS");
        const field = find("rateField", row);
        field.text = "0.27";
        click(page, find("rateButton", row));
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT to_currency_id FROM exchange_rates WHERE from_currency_id=?", [currencyId("ILS")]), currencyId("USD"));
        compare(field.text, "0.2700");
    }

    function test_theProfileIsSaved() {
        const page = settingsPage();
        compare(find("companyNameField", page).text, "");
        find("companyNameField", page).text = "مكتب الريان العقاري";
        find("companyPhoneField", page).text = "02-2981234";
        find("companyAddressField", page).text = "رام الله - شارع الإرسال";
        find("companyEmailField", page).text = " office@rayyan.example ";
        click(page, "saveProfileButton");
        compare(notice.kind, "success");
        compare(notice.text, "تم حفظ بيانات الشركة");
        compare(testSupport.value("SELECT value FROM settings WHERE key='company_name'"), "مكتب الريان العقاري");
        compare(testSupport.value("SELECT value FROM settings WHERE key='company_phone'"), "02-2981234");
        compare(testSupport.value("SELECT value FROM settings WHERE key='company_address'"), "رام الله - شارع الإرسال");
        compare(testSupport.value("SELECT value FROM settings WHERE key='company_email'"), "office@rayyan.example");
        compare(settingsManager.companyName, "مكتب الريان العقاري");
    }

    function test_exportWritesTheTwelveFiles() {
        const page = settingsPage();
        verify(!find("exportMessage", page).visible);
        click(page, "exportButton");
        compare(notice.kind, "success");
        verify(find("exportMessage", page).visible);
        const opened = testSupport.openedFiles();
        compare(opened.length, 1, "the export folder is shown to the user");
        const folder = opened[0];
        verify(folder.indexOf(testSupport.homeDir() + "/Desktop/Darvelinto_Export_") === 0, folder);
        compare(testSupport.filesIn(folder), ["accounts.csv", "buyers.csv", "cheques.csv", "contracts.csv", "installments.csv", "invoices.csv", "journal_entries.csv", "maintenance_requests.csv", "payments.csv", "properties.csv", "tenants.csv", "units.csv"]);
    }

    function test_theBackupFolderIsChanged() {
        const page = settingsPage();
        const before = backupManager.backupPath;
        compare(find("backupPathText", page).text, before);

        testSupport.setChooserAnswer("");
        click(page, "changeBackupPathButton");
        compare(backupManager.backupPath, before, "cancelled: unchanged");
        verify(!notice.active);

        testSupport.setChooserAnswer(testSupport.dataDir() + "/darvelinto.db/inside-a-file");
        click(page, "changeBackupPathButton");
        compare(notice.kind, "error");
        compare(backupManager.backupPath, before);

        const folder = testSupport.homeDir() + "/نسخ المكتب";
        testSupport.setChooserAnswer(folder);
        click(page, "changeBackupPathButton");
        compare(notice.kind, "success");
        compare(backupManager.backupPath, folder);
        compare(find("backupPathText", page).text, folder);
        click(page, "backupNowButton");
        compare(backupManager.listBackups().length, 1);
        verify(backupManager.listBackups()[0].indexOf(folder + "/darvelinto_") === 0, "the next copy goes there");
    }

    function test_backupThenRestoreWithConfirmation() {
        const page = settingsPage();
        const message = find("backupMessage", page);
        verify(!message.visible);
        click(page, "backupNowButton");
        compare(message.text, "✅ تم إنشاء النسخة بنجاح");
        verify(message.visible);
        compare(notice.kind, "success");
        const copies = backupManager.listBackups();
        compare(copies.length, 1);

        // Written after the copy: a restore takes it away again.
        verify(expenseModel.addContractor("مقاول بعد النسخة", "", "") > 0);
        const confirm = find("confirmDialog", page);

        testSupport.setChooserAnswer("");
        click(page, "restoreButton");
        verify(!confirm.visible, "a cancelled chooser asks nothing");

        testSupport.setChooserAnswer(copies[0]);
        click(page, "restoreButton");
        waitOpened(confirm);
        const question = find("confirmMessage", confirm).text;
        verify(question.indexOf(copies[0]) >= 0, question);
        verify(question.indexOf("إعادة تشغيل البرنامج") >= 0, "says the program must restart");
        mouseClick(find("cancelButton", confirm));
        waitClosed(confirm);
        compare(testSupport.count("contractors"), 1, "not confirmed: nothing restored");
        compare(message.text, "✅ تم إنشاء النسخة بنجاح");

        click(page, "restoreButton");
        waitOpened(confirm);
        mouseClick(find("confirmButton", confirm));
        waitClosed(confirm);
        compare(message.text, "✅ تم استعادة النسخة بنجاح. يرجى إعادة تشغيل البرنامج.");
        compare(notice.kind, "success");
        verify(notice.text.indexOf("أعد تشغيل البرنامج") >= 0, notice.text);
        compare(testSupport.count("contractors"), 0, "the copy's data stands");
    }

    function test_aFailedRestoreIsTold() {
        const page = settingsPage();
        const confirm = find("confirmDialog", page);
        verify(testSupport.exec("INSERT INTO contractors (name) VALUES ('باق')"));
        testSupport.setChooserAnswer(testSupport.dataDir() + "/settings.ini");
        click(page, "restoreButton");
        waitOpened(confirm);
        mouseClick(find("confirmButton", confirm));
        waitClosed(confirm);
        compare(find("backupMessage", page).text, "❌ فشل في استعادة النسخة");
        compare(notice.kind, "error");
        compare(testSupport.count("contractors"), 1, "the live data is untouched");
    }
}
