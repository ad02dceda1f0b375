import QtQuick
import QtTest
import Darvelinto

// The settings page: exchange rates against the primary currency, the company profile,
// CSV export, the backup folder, backups and a confirmed restore.
AppTestCase {
    name: "Settings"

    function settingsPage() {
        loginAsAdmin();
        const page = showPage(11);
        waitIdle();
        return page;
    }

    // Scrolls the page until the item is in view, then clicks it as a user would.
    function click(page, item) {
        item = typeof item === "string" ? find(item, page) : item;
        const flick = find("settingsScroll", page).contentItem;
        flick.contentY = Math.max(0, Math.min(item.mapToItem(flick.contentItem, 0, 0).y - 100, flick.contentHeight - flick.height));
        waitIdle();
        mouseClick(item);
    }

    function rateRow(page, code) {
        let found = null;
        tryVerify(() => (found = find("rateRow_" + code, page)) !== null, 2000, "rate row " + code);
        return found;
    }

    function storedRate(from, to) {
        return testSupport.value("SELECT rate FROM exchange_rates WHERE from_currency_id=(SELECT id FROM currencies WHERE code=?) AND to_currency_id=(SELECT id FROM currencies WHERE code=?)", [from, to]);
    }

    function test_ratesAgainstThePrimaryCurrency() {
        let page = settingsPage();
        verify(find("rateRow_ILS", page) === null, "no rate of the primary currency to itself");
        let row = rateRow(page, "JOD");
        for (const typed of ["abc", "", "0", "-2", "3.5.1"]) {
            find("rateField", row).text = typed;
            notice.dismiss();
            click(page, find("rateButton", row));
            compare(notice.kind, "error", typed);
            compare(testSupport.count("exchange_rates"), 0);
        }
        find("rateField", row).text = "٤٫٩";
        doneClick(find("rateButton", row));
        compare(storedRate("JOD", "ILS"), 4.9);
        showPage(0);
        showPage(11);
        compare(find("rateField", rateRow(page, "JOD")).text, "4.9000", "read back when shown again");

        verify(settingsManager.setPrimaryCurrency("USD"));
        showPage(0);
        showPage(11);
        row = rateRow(page, "ILS");
        find("rateField", row).text = "0.27";
        click(page, find("rateButton", row));
        compare(storedRate("ILS", "USD"), 0.27);
    }

    function test_theProfileAndTheExport() {
        const page = settingsPage();
        fill(page, {
            "companyNameField": "مكتب الريان العقاري",
            "companyPhoneField": "02-2981234",
            "companyAddressField": "رام الله",
            "companyEmailField": " office@rayyan.example "
        });
        click(page, "saveProfileButton");
        compare(testSupport.value("SELECT group_concat(value, '|') FROM (SELECT value FROM settings WHERE key IN ('company_name', 'company_phone', 'company_address', 'company_email') ORDER BY key)"), "رام الله|office@rayyan.example|مكتب الريان العقاري|02-2981234");

        click(page, "exportButton");
        compare(notice.kind, "success");
        const folder = testSupport.openedFiles()[0];
        verify(folder.indexOf(testSupport.homeDir() + "/Desktop/") === 0, folder);
        compare(testSupport.filesIn(folder).length, 12, "one file per table");
    }

    function test_theServerIsChosenForTheNextStart() {
        const page = settingsPage();
        verify(find("serverPlaceText", page).text.indexOf("ملف هذا الجهاز") >= 0);
        click(page, "chooseServerButton");
        verify(find("serverOutcomeText", page).text.indexOf("أدخل") === 0, "refused without an address");
        find("serverHostField", page).text = "db.office";
        find("serverDatabaseField", page).text = "books";
        find("serverUserField", page).text = "clerk";
        click(page, "chooseServerButton");
        compare(Backend.serverChoice.current().database, "books");
        verify(find("serverOutcomeText", page).text.indexOf("التالي") > 0);
        click(page, "forgetServerButton");
        compare(Backend.serverChoice.current().host, "");
    }

    function test_theBackupFolderIsChanged() {
        const page = settingsPage();
        const before = backupManager.backupPath;
        for (const answered of ["", testSupport.dataDir() + "/darvelinto.db/inside-a-file"]) {
            testSupport.setChooserAnswer(answered);
            click(page, "changeBackupPathButton");
            compare(backupManager.backupPath, before, "unchanged by " + answered);
        }
        const folder = testSupport.homeDir() + "/نسخ المكتب";
        testSupport.setChooserAnswer(folder);
        click(page, "changeBackupPathButton");
        compare(find("backupPathText", page).text, folder);
        click(page, "backupNowButton");
        verify(backupManager.listBackups()[0].indexOf(folder + "/darvelinto_") === 0, "the next copy goes there");
    }

    function test_aRestoreAsksFirstAndSaysHowItWent() {
        const page = settingsPage();
        click(page, "backupNowButton");
        compare(notice.kind, "success");
        const copy = backupManager.listBackups()[0];
        verify(expenseModel.addContractor("مقاول بعد النسخة", "", "") > 0);
        const confirm = find("confirmDialog", page);
        testSupport.setChooserAnswer("");
        click(page, "restoreButton");
        verify(!confirm.visible, "a cancelled chooser asks nothing");

        testSupport.setChooserAnswer(testSupport.dataDir() + "/settings.ini");
        click(page, "restoreButton");
        answer("confirmDialog", true, page);
        compare(notice.kind, "error");
        compare(testSupport.count("contractors"), 1, "a failed restore leaves the live data");

        testSupport.setChooserAnswer(copy);
        click(page, "restoreButton");
        waitOpened(confirm);
        verify(find("confirmMessage", confirm).text.indexOf(copy) >= 0, "the question names the copy");
        answer("confirmDialog", false, page);
        compare(testSupport.count("contractors"), 1, "not confirmed: nothing restored");
        click(page, "restoreButton");
        answer("confirmDialog", true, page);
        compare(notice.kind, "success");
        compare(testSupport.count("contractors"), 0, "the copy's data stands");
    }
}
