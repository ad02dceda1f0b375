import QtQuick
import QtTest
import Darvelinto

// The invoices page: the rent run (twice), a custom invoice built from line items, a service
// charge to a property, the checks made before anything is sent, and the paged list.
AppTestCase {
    name: "Invoices"

    // A property with two rented units and a third tenant without a contract; the contracts run
    // over every month a test may be run in.
    function arrangeRentals() {
        const property = propertyModel.add("برج النخيل", "residential", "شارع الإرسال", "رام الله", "");
        verify(property > 0, "property");
        const first = unitModel.add(property, "101", 1, 120, 3, 1500, 0, 0, 1);
        const second = unitModel.add(property, "102", 1, 95, 2, 1200, 0, 0, 1);
        verify(first > 0 && second > 0, "units");
        const sami = tenantModel.add("سامي خليل", "401234567", "0599000001", "", "رام الله");
        const layla = tenantModel.add("ليلى حسن", "402345678", "0599000002", "", "البيرة");
        const omar = tenantModel.add("عمر يوسف", "403456789", "0599000003", "", "نابلس");
        verify(sami > 0 && layla > 0 && omar > 0, "tenants");
        verify(contractModel.add(first, sami, "2020-01-01", "2099-12-31", 1500, "monthly", 0, 1) > 0);
        verify(contractModel.add(second, layla, "2020-01-01", "2099-12-31", 1200, "monthly", 0, 1) > 0);
        return {
            "property": property,
            "sami": sami,
            "layla": layla,
            "omar": omar
        };
    }

    function invoicesPage() {
        loginAsAdmin();
        return showPage(7);
    }

    function openDialog(page, buttonName, dialogName) {
        mouseClick(find(buttonName, page));
        const dialog = find(dialogName, page);
        verify(dialog, dialogName);
        waitOpened(dialog);
        return dialog;
    }

    // Picks the entry of a choice box the way a click in its list does.
    function test_rentRunTwiceCountsThenWarns() {
        const page = invoicesPage();
        arrangeRentals();
        const dialog = openDialog(page, "rentRunButton", "rentDialog");
        compare(find("rentPeriod", page).text, Format.currentPeriod(), "the current period is offered");
        mouseClick(find("rentRunConfirm", page));
        waitClosed(dialog);

        const result = find("generationResultDialog", page);
        waitOpened(result);
        compare(result.count, 2);
        compare(find("resultText", page).text, "تم إصدار 2 فاتورة بنجاح");
        compare(testSupport.count("SELECT id FROM invoices WHERE period=?", [Format.currentPeriod()]), 2);
        compare(testSupport.value("SELECT SUM(balance) FROM tenants"), 2700);
        const list = find("invoiceList", page);
        compare(list.count, 2, "the list shows the new invoices");
        mouseClick(find("resultOkButton", page));
        waitClosed(result);

        openDialog(page, "rentRunButton", "rentDialog");
        mouseClick(find("rentRunConfirm", page));
        waitOpened(result);
        compare(result.count, 0);
        compare(find("resultText", page).text, "لا توجد فواتير جديدة (قد تكون مكررة)");
        compare(testSupport.count("invoices"), 2, "nothing made twice");
        compare(testSupport.value("SELECT SUM(balance) FROM tenants"), 2700);
    }

    // A run where some invoices cannot be written says how many were made and how many failed; one
    // where none could be written says so, not that there was nothing to do.
    function test_rentRunTellsWhatFailed() {
        const page = invoicesPage();
        const ids = arrangeRentals();
        verify(testSupport.exec("CREATE TRIGGER block_rent BEFORE INSERT ON invoices WHEN NEW.tenant_id = " + ids.layla + " BEGIN SELECT RAISE(ABORT, 'blocked'); END"));
        openDialog(page, "rentRunButton", "rentDialog");
        mouseClick(find("rentRunConfirm", page));
        const result = find("generationResultDialog", page);
        waitOpened(result);
        compare(find("resultText", page).text, "تم إصدار 1 فاتورة، وتعذر إصدار 1 (التفاصيل في سجل البرنامج)");
        compare(result.kind, "warning");
        compare(testSupport.count("invoices"), 1);
        mouseClick(find("resultOkButton", page));
        waitClosed(result);

        openDialog(page, "rentRunButton", "rentDialog");
        mouseClick(find("rentRunConfirm", page));
        waitOpened(result);
        compare(find("resultText", page).text, "تعذر إصدار 1 فاتورة (التفاصيل في سجل البرنامج)");
        compare(result.kind, "error");
        verify(testSupport.exec("DROP TRIGGER block_rent"));
    }

    function test_rentRunRefusesAMalformedPeriod() {
        const page = invoicesPage();
        arrangeRentals();
        const dialog = openDialog(page, "rentRunButton", "rentDialog");
        find("rentPeriod", page).text = "2025-13";
        mouseClick(find("rentRunConfirm", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("YYYY-MM") >= 0, notice.text);
        verify(dialog.visible, "the dialog stays open");
        compare(find("rentPeriod", page).text, "2025-13", "with its input");
        compare(testSupport.count("invoices"), 0);
    }

    function test_customInvoiceWithThreeItemsOneRemoved() {
        const page = invoicesPage();
        const ids = arrangeRentals();
        const dialog = openDialog(page, "customInvoiceButton", "customInvoiceDialog");
        const tenantBox = find("customTenantBox", page);
        compare(tenantBox.count, 3, "the tenants are read when the dialog opens");
        choose(tenantBox, tenant => tenant.id === ids.omar);
        find("customPeriod", page).text = "2025-02";

        const kind = find("lineKindBox", page);
        const amount = find("lineAmount", page);
        const add = find("addLineButton", page);
        const lines = [["مياه", "80"], ["كهرباء", "120.5"], ["تنظيف", "40"]];
        for (const [label, value] of lines) {
            choose(kind, entry => entry === label);
            amount.text = value;
            mouseClick(add);
            compare(amount.text, "", "the amount is cleared for the next line");
        }
        compare(dialog.lineItems.length, 3);
        compare(dialog.total, 240.5);
        compare(find("customTotal", page).text, Format.amount(240.5));

        const lineList = find("lineList", page);
        tryVerify(() => lineList.itemAtIndex(1) !== null);
        mouseClick(find("removeLineButton", lineList.itemAtIndex(1)));
        compare(dialog.lineItems.length, 2, "the middle line is gone");
        compare(dialog.lineItems[0].description, "مياه");
        compare(dialog.lineItems[1].description, "تنظيف");
        compare(dialog.total, 120);
        compare(find("customTotal", page).text, Format.amount(120));

        mouseClick(find("issueInvoiceButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");
        const invoiceId = testSupport.value("SELECT id FROM invoices WHERE tenant_id=?", [ids.omar]);
        verify(invoiceId > 0);
        compare(testSupport.value("SELECT total_amount FROM invoices WHERE id=?", [invoiceId]), 120);
        compare(testSupport.value("SELECT period FROM invoices WHERE id=?", [invoiceId]), "2025-02");
        compare(testSupport.value("SELECT status FROM invoices WHERE id=?", [invoiceId]), "pending");
        compare(testSupport.count("SELECT id FROM invoices WHERE id=? AND unit_id IS NULL", [invoiceId]), 1, "no unit");
        compare(testSupport.value("SELECT group_concat(description, '|') FROM (SELECT description FROM invoice_items WHERE invoice_id=? ORDER BY id)", [invoiceId]), "مياه|تنظيف");
        compare(testSupport.value("SELECT SUM(total) FROM invoice_items WHERE invoice_id=?", [invoiceId]), 120);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.omar]), 120);
        compare(dialog.lineItems.length, 0, "the items are emptied once issued");

        // The list shows it first; an invoice without a unit has an empty property cell.
        const list = find("invoiceList", page);
        compare(list.count, 1);
        compare(list.recordAt(0).id, invoiceId);
        tryVerify(() => list.view.itemAtIndex(0) !== null);
        compare(find("propertyCell", list.view.itemAtIndex(0)).text, "");
    }

    function test_aLineNeedsAnAmountAboveZero_data() {
        return [
            {
                "tag": "empty",
                "amount": ""
            },
            {
                "tag": "letters",
                "amount": "abc"
            },
            {
                "tag": "zero",
                "amount": "0"
            },
            {
                "tag": "negative",
                "amount": "-20"
            }
        ];
    }

    function test_aLineNeedsAnAmountAboveZero(data) {
        const page = invoicesPage();
        arrangeRentals();
        const dialog = openDialog(page, "customInvoiceButton", "customInvoiceDialog");
        find("lineAmount", page).text = data.amount;
        mouseClick(find("addLineButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل في حقل «المبلغ» رقماً أكبر من صفر");
        compare(dialog.lineItems.length, 0);
        verify(dialog.visible);
    }

    function test_customInvoiceRefusals() {
        const page = invoicesPage();
        const ids = arrangeRentals();
        const dialog = openDialog(page, "customInvoiceButton", "customInvoiceDialog");
        choose(find("customTenantBox", page), tenant => tenant.id === ids.sami);
        find("customPeriod", page).text = "2025-03";

        mouseClick(find("issueInvoiceButton", page));
        compare(notice.text, "أضف بنداً واحداً على الأقل إلى الفاتورة");
        verify(dialog.visible);

        find("lineAmount", page).text = "300";
        mouseClick(find("addLineButton", page));
        mouseClick(find("issueInvoiceButton", page));
        waitClosed(dialog);
        compare(testSupport.count("invoices"), 1);

        // A second invoice for the same tenant and period is refused: told, and kept open with
        // its items so nothing typed is lost.
        openDialog(page, "customInvoiceButton", "customInvoiceDialog");
        compare(find("customTenantBox", page).currentEntry.id, ids.sami, "the chosen tenant is kept");
        find("lineAmount", page).text = "55";
        mouseClick(find("addLineButton", page));
        mouseClick(find("issueInvoiceButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("فاتورة قائمة عن الفترة \u20662025-03\u2069") >= 0, notice.text);
        verify(dialog.visible, "the dialog stays open");
        compare(dialog.lineItems.length, 1, "with its items");
        compare(testSupport.count("invoices"), 1);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 300);
    }

    function test_serviceChargeToEveryTenantOfAProperty() {
        const page = invoicesPage();
        const ids = arrangeRentals();
        // Added after the page was made: the dialog still offers it.
        const villa = propertyModel.add("فيلا الزيتون", "residential", "", "بيت لحم", "");
        const dialog = openDialog(page, "serviceChargeButton", "serviceDialog");
        const propertyBox = find("servicePropertyBox", page);
        compare(propertyBox.count, 2);
        verify(propertyBox.indexWhere(p => p.id === villa) >= 0);
        choose(propertyBox, p => p.id === ids.property);
        choose(find("serviceKindBox", page), kind => kind === "مصعد");
        find("servicePeriod", page).text = "2025-04";

        find("serviceAmount", page).text = "";
        mouseClick(find("serviceChargeConfirm", page));
        compare(notice.text, "أدخل في حقل «المبلغ لكل مستأجر» رقماً أكبر من صفر");
        find("serviceAmount", page).text = "-5";
        mouseClick(find("serviceChargeConfirm", page));
        compare(notice.kind, "error");
        verify(dialog.visible);
        compare(testSupport.count("invoices"), 0, "nothing sent");

        find("serviceAmount", page).text = "75";
        mouseClick(find("serviceChargeConfirm", page));
        waitClosed(dialog);
        const result = find("generationResultDialog", page);
        waitOpened(result);
        compare(result.count, 2);
        compare(testSupport.count("SELECT id FROM invoices WHERE period='2025-04' AND total_amount=75"), 2);
        compare(testSupport.count("SELECT id FROM invoice_items WHERE description='مصعد' AND type='service' AND total=75"), 2);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 75);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.layla]), 75);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.omar]), 0, "no contract in the property");
        compare(find("invoiceList", page).count, 2);

        // A property without tenants makes nothing, and says so.
        mouseClick(find("resultOkButton", page));
        waitClosed(result);
        openDialog(page, "serviceChargeButton", "serviceDialog");
        choose(find("servicePropertyBox", page), p => p.id === villa);
        mouseClick(find("serviceChargeConfirm", page));
        waitOpened(result);
        compare(result.count, 0);
        compare(find("resultText", page).text, "لا توجد فواتير جديدة (قد تكون مكررة)");
    }

    function test_theListPagesNewestFirstAndSearches() {
        const page = invoicesPage();
        const ids = arrangeRentals();
        // 60 invoices, one per month from 2020-01, alternating two tenants.
        for (let i = 0; i < 60; ++i) {
            const period = (2020 + Math.floor(i / 12)) + "-" + pad2(i % 12 + 1);
            verify(invoiceModel.createInvoice(i % 2 ? ids.layla : ids.sami, 0, period, [
                {
                    "description": "إيجار",
                    "total": 100 + i
                }
            ], 1) > 0);
        }
        page.refresh();
        const list = find("invoiceList", page);
        compare(list.count, 50, "one page at a time");
        verify(list.hasMore);
        compare(list.recordAt(0).period, "2024-12", "the newest first");
        mouseClick(find("loadMoreButton", list));
        compare(list.count, 60);
        verify(!list.hasMore);

        const search = find("pagedListSearch", list);
        search.text = "ليلى";
        search.accepted();
        compare(list.count, 30);
        for (let i = 0; i < list.count; ++i)
            compare(list.recordAt(i).tenant_name, "ليلى حسن");
        search.text = "2023-0";
        search.accepted();
        compare(list.count, 9, "2023-01 to 2023-09");
    }
}
