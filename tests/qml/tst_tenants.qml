import QtQuick
import QtTest
import Darvelinto

// The tenants page with its contracts and statement dialogs, clicked through as a user would:
// adding and searching tenants, making a contract and having one refused, ending it, deleting
// with and without history, the statement's totals and what is sent to print.
AppTestCase {
    name: "Tenants"

    SignalSpy {
        id: printSpy
        signalName: "printRequested"
    }

    function tenantsPage() {
        loginAsAdmin();
        return showPage(2);
    }

    function listView(page) {
        return find("pagedListView", find("tenantList", page));
    }

    function shownNames(page) {
        const list = find("tenantList", page);
        const names = [];
        for (let i = 0; i < list.count; ++i)
            names.push(list.recordAt(i).full_name);
        return names;
    }

    // The row the list shows for a tenant (hidden rows kept for reuse are skipped).
    function row(page, tenantId) {
        return shownItem(listView(page), item => Number(item.record.id) === Number(tenantId), "row of tenant " + tenantId);
    }

    // The row of a contract in the contracts dialog.
    function contractRow(dialog, contractId) {
        const view = find("contractList", dialog.contentItem);
        let found = null;
        tryVerify(() => {
            for (let i = 0; i < view.count; ++i) {
                const item = view.itemAtIndex(i);
                if (item && Number(item.modelData.id) === Number(contractId))
                    return (found = item) !== null;
            }
            return false;
        }, 2000, "row of contract " + contractId);
        return found;
    }

    function addTenant(name, idNumber) {
        const id = tenantModel.add(name, idNumber || "", "0599000000", "", "");
        verify(id > 0, "tenant " + name);
        return id;
    }

    // A property with `count` available units "101", "102", ...; returns their ids.
    function addUnits(count, propertyName) {
        const propertyId = propertyModel.add(propertyName || "برج النخيل", "residential", "", "رام الله", "");
        verify(propertyId > 0);
        const ids = [];
        for (let i = 1; i <= count; ++i) {
            const id = unitModel.add(propertyId, "10" + i, 1, 100, 3, 1000, 12000, 0, 1);
            verify(id > 0);
            ids.push(id);
        }
        return ids;
    }

    function openContracts(page, tenantId) {
        mouseClick(find("contractsButton", row(page, tenantId)));
        const dialog = find("contractsDialog", page);
        waitOpened(dialog);
        return dialog;
    }

    function openNewContract(page, dialog) {
        mouseClick(find("newContractButton", dialog.contentItem));
        const addDialog = find("addContractDialog", page);
        waitOpened(addDialog);
        return addDialog;
    }

    function chooseUnit(page, dialog, unitId) {
        const index = dialog.availableUnits.findIndex(unit => unit.id === unitId);
        verify(index >= 0, "unit " + unitId + " is offered");
        find("contractUnitBox", page).currentIndex = index;
    }

    function fillContract(page, start, end, rent, deposit) {
        find("contractStartField", page).text = start;
        find("contractEndField", page).text = end;
        find("contractRentField", page).text = rent;
        find("contractDepositField", page).text = deposit;
    }

    function confirmWith(page, confirmName, buttonName) {
        const confirm = find(confirmName, page);
        waitOpened(confirm);
        mouseClick(find(buttonName, confirm));
        waitClosed(confirm);
        return confirm;
    }

    function test_addingATenant() {
        const page = tenantsPage();
        compare(find("tenantList", page).count, 0);
        mouseClick(find("addTenantButton", page));
        const dialog = find("addTenantDialog", page);
        waitOpened(dialog);
        find("tenantNameField", page).text = " أحمد يوسف ";
        find("tenantIdField", page).text = "401234567";
        find("tenantPhoneField", page).text = "0599123456";
        find("tenantEmailField", page).text = "ahmad@example.com";
        find("tenantAddressField", page).text = "البيرة";
        mouseClick(find("saveTenantButton", page));

        waitClosed(dialog);
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT full_name || '|' || id_number || '|' || phone || '|' || email || '|' || address FROM tenants"), "أحمد يوسف|401234567|0599123456|ahmad@example.com|البيرة");
        const id = testSupport.value("SELECT id FROM tenants");
        compare(find("tenantName", row(page, id)).text, "أحمد يوسف");
        compare(find("activeContracts", row(page, id)).label, "0");
        for (const field of ["tenantNameField", "tenantIdField", "tenantPhoneField", "tenantEmailField", "tenantAddressField"])
            compare(find(field, page).text, "", field + " is emptied");
    }

    function test_refusedTenantsAreToldAndKeepTheDialog() {
        loginAsAdmin();
        addTenant("منى", "900000001");
        const page = showPage(2);
        const dialog = find("addTenantDialog", page);
        dialog.open();
        waitOpened(dialog);
        find("tenantNameField", page).text = "  ";
        find("tenantPhoneField", page).text = "0568111222";
        mouseClick(find("saveTenantButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل الاسم الكامل للمستأجر");
        verify(dialog.visible);

        find("tenantNameField", page).text = "سعاد";
        find("tenantIdField", page).text = "900000001";
        mouseClick(find("saveTenantButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "تعذرت إضافة المستأجر: رقم الهوية 900000001 مسجل لمستأجر آخر");
        verify(dialog.visible);
        compare(find("tenantPhoneField", page).text, "0568111222", "the input is kept");
        compare(testSupport.count("tenants"), 1);
    }

    function test_searchingOnEveryKeystroke() {
        loginAsAdmin();
        addTenant("أحمد يوسف", "401234567");
        addTenant("منى خليل", "900000001");
        tenantModel.add("سعاد", "", "0568111222", "", "");
        const page = showPage(2);
        compare(shownNames(page), ["سعاد", "منى خليل", "أحمد يوسف"], "newest first");
        const search = find("tenantSearch", page);
        search.text = "خ";
        compare(shownNames(page), ["منى خليل"]);
        search.text = "4012";
        compare(shownNames(page), ["أحمد يوسف"], "by identity number");
        search.text = "0568";
        compare(shownNames(page), ["سعاد"], "by phone");
        search.text = "لا أحد";
        compare(shownNames(page), []);
        search.text = "";
        compare(shownNames(page).length, 3, "clearing restores the full list");
    }

    function test_importingTenants() {
        const page = tenantsPage();
        mouseClick(find("importTenantsButton", page));
        const dialog = find("tenantImportDialog", page);
        waitOpened(dialog);
        find("pasteArea", dialog.contentItem).text = "ليلى حسن, 411111111, 0599000001, جنين\nرامي عودة, 422222222, 0599000002";
        mouseClick(find("startImportButton", dialog.contentItem));
        waitClosed(dialog);
        compare(testSupport.count("tenants"), 2);
        compare(shownNames(page).length, 2, "the list shows the imported tenants");
    }

    function test_makingAContract() {
        loginAsAdmin();
        const tenant = addTenant("سامي خليل");
        const units = addUnits(2);
        const page = showPage(2);
        const dialog = openContracts(page, tenant);
        compare(dialog.title, "عقود المستأجر - سامي خليل");
        compare(dialog.contracts.length, 0);
        compare(dialog.availableUnits.length, 2);
        const addDialog = openNewContract(page, dialog);
        compare(find("contractUnitBox", page).currentIndex, -1, "no unit chosen at first");
        compare(find("contractUnitBox", page).displayText, "اختر وحدة...");
        verify(/^\d{4}-\d{2}-\d{2}$/.test(find("contractStartField", page).text), "the start is today");
        compare(find("contractDepositField", page).text, "0");

        chooseUnit(page, dialog, units[1]);
        find("contractFrequencyBox", page).currentIndex = 1;
        compare(find("contractRentField", page).label, "مبلغ الإيجار السنوي");
        compare(find("frequencyNote", page).text, "التحصيل السنوي يتم على فاتورة سنوية واحدة في نفس شهر بداية العقد.");
        fillContract(page, "2025-03-01", "2026-02-28", "14400", "2000");
        mouseClick(find("saveContractButton", page));

        waitClosed(addDialog);
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT unit_id || '|' || tenant_id || '|' || start_date || '|' || end_date || '|' || rent_amount || '|' || payment_frequency || '|' || deposit || '|' || status FROM contracts"), units[1] + "|" + tenant + "|2025-03-01|2026-02-28|14400.0|yearly|2000.0|active");
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [units[1]]), "rented");
        compare(dialog.contracts.length, 1);
        const contractId = testSupport.value("SELECT id FROM contracts");
        const shown = contractRow(dialog, contractId);
        verify(shown);
        compare(find("contractBadge", shown).label, "نشط");
        compare(find("contractRent", shown).text, Format.amount(14400) + " / سنة");
        verify(find("terminateButton", shown).visible);
        compare(dialog.availableUnits.length, 1, "the let unit is no longer offered");
        compare(find("activeContracts", row(page, tenant)).label, "1", "the tenant's row counts the contract");
    }

    function test_contractFieldsAreCheckedBeforeAnyCall_data() {
        return [
            {
                tag: "no unit",
                unit: false,
                values: ["2025-01-01", "2025-12-31", "1000", "0"],
                message: "اختر الوحدة المتاحة للعقد"
            },
            {
                tag: "start not a date",
                unit: true,
                values: ["2025-02-30", "2025-12-31", "1000", "0"],
                message: "تاريخ البدء غير صحيح، اكتبه بالشكل YYYY-MM-DD"
            },
            {
                tag: "end empty",
                unit: true,
                values: ["2025-01-01", "", "1000", "0"],
                message: "تاريخ الانتهاء غير صحيح، اكتبه بالشكل YYYY-MM-DD"
            },
            {
                tag: "end before start",
                unit: true,
                values: ["2025-06-01", "2025-05-31", "1000", "0"],
                message: "تاريخ الانتهاء يجب أن يكون بعد تاريخ البدء"
            },
            {
                tag: "rent empty",
                unit: true,
                values: ["2025-01-01", "2025-12-31", "", "0"],
                message: "مبلغ الإيجار يجب أن يكون رقماً أكبر من صفر"
            },
            {
                tag: "rent in words",
                unit: true,
                values: ["2025-01-01", "2025-12-31", "ألف", "0"],
                message: "مبلغ الإيجار يجب أن يكون رقماً أكبر من صفر"
            },
            {
                tag: "deposit empty",
                unit: true,
                values: ["2025-01-01", "2025-12-31", "1000", ""],
                message: "التأمين يجب أن يكون رقماً (0 أو أكثر)"
            }
        ];
    }

    function test_contractFieldsAreCheckedBeforeAnyCall(data) {
        loginAsAdmin();
        const tenant = addTenant("سامي خليل");
        const units = addUnits(1);
        const page = showPage(2);
        const dialog = openContracts(page, tenant);
        const addDialog = openNewContract(page, dialog);
        if (data.unit)
            chooseUnit(page, dialog, units[0]);
        fillContract(page, data.values[0], data.values[1], data.values[2], data.values[3]);
        mouseClick(find("saveContractButton", page));
        compare(notice.kind, "error");
        compare(notice.text, data.message);
        verify(addDialog.visible, "the dialog stays open");
        compare(find("contractRentField", page).text, data.values[2], "with its input");
        compare(testSupport.count("contracts"), 0);
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [units[0]]), "available");
    }

    function test_anOverlappingContractIsRefused() {
        loginAsAdmin();
        const tenant = addTenant("سامي خليل");
        const other = addTenant("منى");
        const units = addUnits(1);
        const page = showPage(2);
        const dialog = openContracts(page, tenant);
        const addDialog = openNewContract(page, dialog);
        chooseUnit(page, dialog, units[0]);
        fillContract(page, "2025-06-01", "2026-05-31", "1200", "0");
        // Meanwhile the unit is let to someone else from another window.
        verify(contractModel.add(units[0], other, "2025-01-01", "2025-12-31", 1000, "monthly", 0, 1) > 0);
        mouseClick(find("saveContractButton", page));

        compare(notice.kind, "error");
        compare(notice.text, "الوحدة برج النخيل - 101 مؤجرة بعقد نشط يتداخل مع هذه الفترة");
        verify(addDialog.visible);
        compare(testSupport.count("SELECT id FROM contracts WHERE tenant_id=?", [tenant]), 0);
    }

    function test_terminatingFreesTheUnitForTheNextContract() {
        loginAsAdmin();
        const first = addTenant("سامي خليل");
        const second = addTenant("منى");
        const units = addUnits(1);
        const contract = contractModel.add(units[0], first, "2025-01-01", "2025-12-31", 1000, "monthly", 0, 1);
        verify(contract > 0);
        const page = showPage(2);
        let dialog = openContracts(page, second);
        compare(dialog.availableUnits.length, 0, "the unit is let");
        dialog.close();
        waitClosed(dialog);

        dialog = openContracts(page, first);
        const shown = contractRow(dialog, contract);
        mouseClick(find("terminateButton", shown));
        const confirm = find("contractConfirmDialog", page);
        waitOpened(confirm);
        mouseClick(find("cancelButton", confirm));
        waitClosed(confirm);
        compare(testSupport.value("SELECT status FROM contracts WHERE id=?", [contract]), "active", "cancelled: still active");

        mouseClick(find("terminateButton", shown));
        confirmWith(page, "contractConfirmDialog", "confirmButton");
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT status FROM contracts WHERE id=?", [contract]), "terminated");
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [units[0]]), "available");
        const after = contractRow(dialog, contract);
        compare(find("contractBadge", after).label, "منتهي");
        verify(!find("terminateButton", after).visible, "no second termination");
        compare(dialog.availableUnits.length, 1);
        dialog.close();
        waitClosed(dialog);

        dialog = openContracts(page, second);
        compare(dialog.availableUnits.length, 1, "the freed unit is offered to the next tenant at once");
        compare(dialog.availableUnits[0].id, units[0]);
    }

    function test_deletingTenantsWithAndWithoutHistory() {
        loginAsAdmin();
        const plain = addTenant("منى");
        const renting = addTenant("سامي خليل");
        const former = addTenant("رامي عودة");
        const units = addUnits(2);
        verify(contractModel.add(units[0], renting, "2025-01-01", "2025-12-31", 1000, "monthly", 0, 1) > 0);
        const ended = contractModel.add(units[1], former, "2024-01-01", "2024-12-31", 900, "monthly", 0, 1);
        verify(contractModel.terminate(ended));
        const page = showPage(2);

        mouseClick(find("deleteTenantButton", row(page, plain)));
        let confirm = find("tenantConfirmDialog", page);
        waitOpened(confirm);
        compare(find("confirmMessage", confirm).text, "سيتم حذف المستأجر \"منى\" نهائياً.");
        mouseClick(find("cancelButton", confirm));
        waitClosed(confirm);
        compare(testSupport.count("tenants"), 3, "cancelled: nothing deleted");

        mouseClick(find("deleteTenantButton", row(page, plain)));
        confirmWith(page, "tenantConfirmDialog", "confirmButton");
        compare(notice.kind, "success");
        compare(testSupport.count("SELECT id FROM tenants WHERE id=?", [plain]), 0);
        compare(shownNames(page), ["رامي عودة", "سامي خليل"]);

        mouseClick(find("deleteTenantButton", row(page, renting)));
        confirmWith(page, "tenantConfirmDialog", "confirmButton");
        compare(notice.kind, "error");
        compare(notice.text, "لا يمكن حذف المستأجر \"سامي خليل\": لدى المستأجر 1 عقد نشط، أنهِ العقود أولاً");
        compare(testSupport.count("SELECT id FROM tenants WHERE id=?", [renting]), 1);

        mouseClick(find("deleteTenantButton", row(page, former)));
        confirmWith(page, "tenantConfirmDialog", "confirmButton");
        compare(notice.kind, "error");
        compare(notice.text, "لا يمكن حذف المستأجر \"رامي عودة\": للمستأجر سجل من عقود سابقة أو فواتير أو دفعات أو شيكات");
        compare(testSupport.count("tenants"), 2);
    }

    // A tenant with two rent invoices (one voided) and a payment, all this year.
    function arrangeAccount() {
        const tenant = addTenant("سامي خليل");
        const units = addUnits(1);
        verify(contractModel.add(units[0], tenant, "2025-01-01", "2025-12-31", 1500, "monthly", 0, 1) > 0);
        const item = amount => [{
                "description": "إيجار",
                "type": "rent",
                "quantity": 1,
                "unit_price": amount,
                "total": amount
            }];
        const january = invoiceModel.createInvoice(tenant, units[0], "2025-01", item(1500), 1);
        const february = invoiceModel.createInvoice(tenant, units[0], "2025-02", item(1500), 1);
        const wrong = invoiceModel.createInvoice(tenant, units[0], "2025-03", item(99), 1);
        verify(january > 0 && february > 0 && wrong > 0);
        verify(invoiceModel.voidInvoice(wrong));
        verify(paymentModel.add(january, tenant, 1200.5, "cash", "2025-01-10", "REC-1", 1) > 0);
        return {
            "tenant": tenant,
            "january": testSupport.value("SELECT invoice_number FROM invoices WHERE id=?", [january]),
            "february": testSupport.value("SELECT invoice_number FROM invoices WHERE id=?", [february])
        };
    }

    function test_theStatementTotalsAndWhatIsPrinted() {
        loginAsAdmin();
        const account = arrangeAccount();
        const page = showPage(2);
        mouseClick(find("statementButton", row(page, account.tenant)));
        const dialog = find("statementDialog", page);
        waitOpened(dialog);
        compare(dialog.title, "كشف حساب المستأجر - سامي خليل");
        compare(dialog.statement.length, 3, "the void invoice is left out");
        compare(dialog.totalDebit, 3000);
        compare(dialog.totalCredit, 1200.5);
        compare(find("totalDebitCard", dialog.contentItem).value, Format.amount(3000));
        compare(find("totalCreditCard", dialog.contentItem).value, Format.amount(1200.50));
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(1799.50));

        printSpy.target = dialog;
        printSpy.clear();
        mouseClick(find("printStatementButton", dialog.contentItem));
        compare(printSpy.count, 1);
        const lines = printSpy.signalArguments[0][0];
        const totals = printSpy.signalArguments[0][1];
        // Invoices are dated by their creation time, so both come after the payment of the 10th
        // only when they were written later; here they were written today, after it.
        compare(lines.length, 3);
        const order = dialog.statement.map(r => r.ref);
        compare(lines.map(l => l.reference), order, "in the statement's order");
        let running = 0;
        for (let i = 0; i < 3; ++i) {
            const shown = dialog.statement[i];
            running += Number(shown.debit) - Number(shown.credit);
            compare(lines[i].date, String(shown.date));
            compare(lines[i].description, shown.ref ? shown.type + " - " + shown.ref : shown.type);
            compare(lines[i].balance, Format.amount(running));
        }
        const payment = lines.find(l => l.reference === "REC-1");
        compare(payment.amount, Format.amount(1200.50));
        compare(payment.description, "دفعة - REC-1");
        const rent = lines.find(l => l.reference === account.january);
        compare(rent.amount, Format.amount(1500));
        compare(rent.description, "فاتورة - " + account.january);
        compare(lines[2].balance, Format.amount(1799.50), "the last balance is what is owed");
        compare(totals["إجمالي المطلوبات"], Format.amount(3000));
        compare(totals["إجمالي المدفوعات"], Format.amount(1200.50));
        compare(totals["الرصيد المتبقي"], Format.amount(1799.50));

        const opened = testSupport.openedFiles();
        compare(opened.length, 1, "the PDF is written and opened");
        verify(/Statement_سامي_خليل_\d{8}\.pdf$/.test(opened[0]), opened[0]);
        verify(testSupport.fileExists(opened[0]));
        compare(notice.kind, "success");
    }

    // Voiding an invoice paid in part takes back what was open: the statement keeps the invoice and
    // its payment, shows the void, and owes what the tenant's stored balance says.
    function test_theStatementOfAVoidPaidInPart() {
        loginAsAdmin();
        const account = arrangeAccount();
        const january = testSupport.value("SELECT id FROM invoices WHERE invoice_number=?", [account.january]);
        verify(invoiceModel.voidInvoice(january));
        const page = showPage(2);
        mouseClick(find("statementButton", row(page, account.tenant)));
        const dialog = find("statementDialog", page);
        waitOpened(dialog);
        compare(dialog.statement.map(r => r.type).filter(t => t === "إلغاء").length, 1);
        compare(dialog.totalDebit, 1500 + 1200.5, "February, and what was paid of January");
        compare(dialog.totalCredit, 1200.5, "the payment, and only it");
        compare(dialog.balance, testSupport.value("SELECT balance FROM tenants WHERE id=?", [account.tenant]));
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(1500));
    }

    function test_theStatementReadsAgainWhenItOpens() {
        loginAsAdmin();
        const account = arrangeAccount();
        const page = showPage(2);
        mouseClick(find("statementButton", row(page, account.tenant)));
        let dialog = find("statementDialog", page);
        waitOpened(dialog);
        compare(dialog.totalCredit, 1200.5);
        dialog.close();
        waitClosed(dialog);

        const open = testSupport.value("SELECT id FROM invoices WHERE invoice_number=?", [account.february]);
        verify(paymentModel.add(open, account.tenant, 1500, "bank", "2025-02-05", "", 1) > 0);
        mouseClick(find("statementButton", row(page, account.tenant)));
        waitOpened(dialog);
        compare(dialog.statement.length, 4);
        compare(dialog.totalCredit, 2700.5);
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(299.50));
        const unreferenced = dialog.transactions().filter(line => line.reference === "");
        compare(unreferenced.length, 1);
        compare(unreferenced[0].description, "دفعة", "no dangling dash without a reference");
    }
}
