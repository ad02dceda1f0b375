import QtQuick
import QtTest
import Darvelinto

// The invoices page: the rent run and what it reports, a custom invoice built from line items, a
// service charge to a property, the refusals, and the paged list with its search.
AppTestCase {
    name: "Invoices"

    // Runs the rent for `period` and returns the result dialog, still open.
    function runRent(page, period) {
        const dialog = openBy(find("rentRunButton", page), "rentDialog", page);
        find("rentPeriod", page).text = period;
        mouseClick(find("rentRunConfirm", page));
        const result = find("generationResultDialog", page);
        waitOpened(result);
        return result;
    }

    // The figures the result dialog states, in order.
    function figures(page) {
        return find("resultText", page).text.match(/\d+/g) || [];
    }

    // A run says how many invoices it made and how many it could not write; a second run makes none.
    function test_rentRunMadeAndFailed() {
        loginAsAdmin();
        const ids = office();
        const page = showPage(7);
        const dialog = openBy(find("rentRunButton", page), "rentDialog", page);
        compare(find("rentPeriod", page).text, Format.currentPeriod());
        find("rentPeriod", page).text = "2025-13";
        refusedClick(find("rentRunConfirm", page), dialog);
        dialog.close();

        let result = runRent(page, "2025-05");
        compare(figures(page), ["2"]);
        compare(result.kind, "success");
        compare(testSupport.value("SELECT SUM(balance) FROM tenants"), 2700);
        compare(find("invoiceList", page).count, 2, "the list shows the new invoices");
        mouseClick(find("resultOkButton", page));
        result = runRent(page, "2025-05");
        compare(figures(page), []);
        compare(testSupport.count("invoices"), 2, "nothing made twice");
        mouseClick(find("resultOkButton", page));

        verify(testSupport.exec("CREATE TRIGGER block_rent BEFORE INSERT ON invoices WHEN NEW.tenant_id = " + ids.layla + " BEGIN SELECT RAISE(ABORT, 'blocked'); END"));
        result = runRent(page, "2025-06");
        compare(figures(page), ["1", "1"], "made and failed");
        compare(result.kind, "warning");
        compare(testSupport.count("invoices"), 3);
        mouseClick(find("resultOkButton", page));
        result = runRent(page, "2025-06");
        compare(figures(page), ["1"], "failed, not nothing to do");
        compare(result.kind, "error");
        verify(testSupport.exec("DROP TRIGGER block_rent"));
    }

    function test_customInvoice() {
        loginAsAdmin();
        const ids = office();
        const page = showPage(7);
        const dialog = openBy(find("customInvoiceButton", page), "customInvoiceDialog", page);
        choose(find("customTenantBox", page), tenant => tenant.id === ids.omar);
        find("customPeriod", page).text = "2025-02";
        refusedClick(find("issueInvoiceButton", page), dialog); // no line yet
        const amount = find("lineAmount", page);
        for (const bad of ["", "abc", "0", "-20"]) {
            amount.text = bad;
            refusedClick(find("addLineButton", page), dialog);
            compare(dialog.lineItems.length, 0, bad);
        }
        for (const [label, value] of [["مياه", "80"], ["كهرباء", "120.5"], ["تنظيف", "40"]]) {
            choose(find("lineKindBox", page), entry => entry === label);
            amount.text = value;
            mouseClick(find("addLineButton", page));
        }
        compare(find("customTotal", page).text, Format.amount(240.5));
        const lines = find("lineList", page);
        tryVerify(() => lines.itemAtIndex(1) !== null);
        mouseClick(find("removeLineButton", lines.itemAtIndex(1)));
        compare(find("customTotal", page).text, Format.amount(120), "the middle line is gone");
        doneClick(find("issueInvoiceButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT group_concat(description, '|') FROM invoice_items"), "مياه|تنظيف");
        compare(testSupport.value("SELECT total_amount FROM invoices WHERE tenant_id=? AND period='2025-02'", [ids.omar]), 120);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.omar]), 120);

        // A second invoice for the same period is refused and keeps its items.
        openBy(find("customInvoiceButton", page), "customInvoiceDialog", page);
        amount.text = "55";
        mouseClick(find("addLineButton", page));
        refusedClick(find("issueInvoiceButton", page), dialog);
        compare(dialog.lineItems.length, 1);
    }

    function test_serviceChargeToEveryTenantOfAProperty() {
        loginAsAdmin();
        const ids = office();
        const page = showPage(7);
        const villa = propertyModel.add("فيلا الزيتون", "residential", "", "", ""); // after the page was made
        const dialog = openBy(find("serviceChargeButton", page), "serviceDialog", page);
        choose(find("servicePropertyBox", page), p => p.id === ids.property);
        find("servicePeriod", page).text = "2025-04";
        for (const bad of ["", "-5"]) {
            find("serviceAmount", page).text = bad;
            refusedClick(find("serviceChargeConfirm", page), dialog);
        }
        find("serviceAmount", page).text = "75";
        mouseClick(find("serviceChargeConfirm", page));
        const result = find("generationResultDialog", page);
        waitOpened(result);
        compare(figures(page), ["2"]);
        compare(testSupport.value("SELECT group_concat(balance) FROM tenants ORDER BY id"), "75.0,75.0,0.0", "no contract, no charge");
        mouseClick(find("resultOkButton", page));

        openBy(find("serviceChargeButton", page), "serviceDialog", page);
        choose(find("servicePropertyBox", page), p => p.id === villa);
        mouseClick(find("serviceChargeConfirm", page));
        waitOpened(result);
        compare(figures(page), [], "a property without tenants makes nothing");
    }

    // The month's readings typed unit by unit: Enter keeps one and moves to the next; a lower
    // reading waits for "meter change", a high use for a confirmation; then the usage run bills them once.
    function test_meterReadingsFromTheKeyboard() {
        loginAsAdmin();
        const ids = office();
        for (const [period, reading] of [["2025-02", 100], ["2025-03", 110], ["2025-04", 120]])
            verify(meterReadingModel.saveReading(ids.units[0], 1, period, reading).saved);
        verify(meterReadingModel.saveReading(ids.units[1], 1, "2025-04", 50).saved);
        const page = showPage(7);
        const dialog = openBy(find("meterReadingsButton", page), "meterReadingsDialog", page);
        find("meterPeriod", page).text = "2025-05";
        find("meterPeriod", page).accepted();
        const sheet = find("readingsSheet", page);
        tryVerify(() => sheet.count === 3 && find("readingField", sheet.itemAtIndex(0)).activeFocus, 2000, "the first unit's field");
        const type = text => {
            for (const key of text)
                keyClick(key);
            keyClick(Qt.Key_Return);
        };
        const used = unit => testSupport.value("SELECT consumption FROM usage_records WHERE unit_id=? AND period='2025-05'", [unit]);

        type("200"); // 80 used against an average of 10
        answer("highUseConfirm", true, page);
        compare(used(ids.units[0]), 80);
        tryVerify(() => find("readingField", sheet.itemAtIndex(1)).activeFocus, 2000, "on to the next unit");
        type("40");
        verify(find("rowNote", sheet.itemAtIndex(1)).visible, "a lower reading is refused");
        compare(used(ids.units[1]), undefined);
        mouseClick(find("meterChangeBox", sheet.itemAtIndex(1)));
        find("readingField", sheet.itemAtIndex(1)).forceActiveFocus();
        keyClick(Qt.Key_Return);
        compare(used(ids.units[1]), 40, "a new meter counts from 0");
        tryVerify(() => find("readingField", sheet.itemAtIndex(2)).activeFocus, 2000, "on to the vacant unit");
        type("7");
        compare(used(ids.units[2]), 0, "its first reading opens the meter");

        mouseClick(find("billUsageButton", page));
        waitOpened(find("generationResultDialog", page));
        compare(figures(page), ["2"]);
        compare(testSupport.value("SELECT group_concat(balance) FROM tenants ORDER BY id"), "400.0,200.0,0.0");
        mouseClick(find("resultOkButton", page));
        waitClosed(find("generationResultDialog", page));
        mouseClick(find("billUsageButton", page));
        waitOpened(find("generationResultDialog", page));
        compare(figures(page), [], "billed once");
        verify(dialog.visible);
    }

    function test_theListPagesNewestFirstAndSearches() {
        loginAsAdmin();
        const ids = office();
        for (let i = 0; i < 60; ++i)
            invoice(i % 2 ? ids.layla : ids.sami, 0, (2020 + Math.floor(i / 12)) + "-" + String(i % 12 + 1).padStart(2, "0"), 100 + i);
        const page = showPage(7);
        const list = find("invoiceList", page);
        compare(list.count, 50);
        compare(list.recordAt(0).period, "2024-12", "the newest first");
        mouseClick(find("loadMoreButton", list));
        compare(list.count, 60);
        verify(!list.hasMore);
        const search = find("pagedListSearch", list);
        search.text = "ليلى";
        search.accepted();
        compare(list.count, 30);
        search.text = "2023-0";
        search.accepted();
        compare(list.count, 9, "2023-01 to 2023-09");
    }

    // The late-fee run from the page, a waiver with its reason, a reminder printed once a day, and
    // the run offered at the next log-in when invoices are past their grace period.
    function test_lateFeesAndReminders() {
        loginAsAdmin();
        testSupport.setToday("2025-04-15");
        const ids = office();
        const late = invoice(ids.sami, ids.units[0], "2025-03", 1500);
        verify(settingsManager.setLateFeeSettings(5, "fixed", 50, 0, 0));
        const page = showPage(7);
        mouseClick(find("lateFeeButton", page));
        answer("lateFeeConfirm", true, page);
        const result = find("lateFeeResultDialog", page);
        waitOpened(result);
        compare(find("lateFeeList", page).count, 1);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 1550);
        mouseClick(find("lateFeeResultOk", page));
        waitClosed(result);

        const number = testSupport.value("SELECT invoice_number FROM invoices WHERE late_fee_for=?", [late]);
        const row = rowWhere(find("invoiceList", page), record => record.invoice_number === number, "the fee");
        const dialog = openBy(find("waiveButton", row), "waiveFeeDialog", page);
        refusedClick(find("waiveConfirm", page), dialog);
        find("waiveReason", page).text = "خطأ في تاريخ الاستحقاق";
        doneClick(find("waiveConfirm", page));
        compare(testSupport.value("SELECT status FROM invoices WHERE invoice_number=?", [number]), "void");

        const reminders = openBy(find("remindersButton", page), "remindersDialog", page);
        compare(find("reminderList", page).count, 1);
        const text = find("reminderText", page).text;
        verify(text.indexOf("سامي خليل") >= 0 && text.indexOf("1,500.00") >= 0 && text.indexOf("28/03/2025") >= 0, text);
        mouseClick(find("printReminder", page));
        tryVerify(() => testSupport.openedFiles().length === 1, 3000, "the letter is opened");
        verify(!find("printReminder", page).enabled, "reminded once a day");
        compare(testSupport.count("SELECT id FROM audit_logs WHERE table_name='tenants' AND record_id=?", [ids.sami]), 1);
        reminders.close();
        waitClosed(reminders);

        invoice(ids.layla, ids.units[1], "2025-03", 1200);
        logout();
        login("admin", "qorvu");
        answer("lateFeeOffer", true);
        tryVerify(() => testSupport.count("SELECT id FROM invoices WHERE late_fee_for IS NOT NULL") === 2);
        testSupport.setToday("");
    }
}
