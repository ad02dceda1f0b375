import QtQuick
import QtTest
import Darvelinto

// The tenants page with its import, contracts and statement dialogs.
AppTestCase {
    name: "Tenants"

    function row(page, tenantId) {
        return rowWhere(find("tenantList", page), t => Number(t.id) === Number(tenantId), "tenant " + tenantId);
    }

    function shownNames(page) {
        return listed(find("tenantList", page), "full_name");
    }

    function test_addingAndSearching() {
        loginAsAdmin();
        office();
        const page = showPage(2);
        const dialog = openBy(find("addTenantButton", page), "addTenantDialog", page);
        fill(page, {"tenantNameField": "  ", "tenantIdField": "900000001", "tenantPhoneField": "0568111222"});
        refusedClick(find("saveTenantButton", page), dialog);
        find("tenantIdField", page).text = "400234567";
        find("tenantNameField", page).text = " منى خليل ";
        verify(refusedClick(find("saveTenantButton", page), dialog).indexOf("400234567") >= 0, "the taken identity number is named");
        find("tenantIdField", page).text = "900000001";
        doneClick(find("saveTenantButton", page));
        waitClosed(dialog);
        compare(testSupport.count("SELECT id FROM tenants WHERE full_name='منى خليل'"), 1, "stored trimmed");

        compare(shownNames(page)[0], "منى خليل", "newest first");
        const search = find("tenantSearch", page);
        for (const [typed, expected] of [["خليل", ["منى خليل", "سامي خليل"]], ["900000001", ["منى خليل"]], ["0568", ["منى خليل"]], ["لا أحد", []]]) {
            search.text = typed;
            compare(shownNames(page), expected, typed);
        }
        search.text = "";
        compare(shownNames(page).length, 4);
    }

    // A partial import is never read as a success: the refused lines stay, with their reasons.
    function test_importReport() {
        loginAsAdmin();
        const page = showPage(2);
        const dialog = openBy(find("importTenantsButton", page), "tenantImportDialog", page);
        dialog.text = "only a name, 123";
        refusedClick(find("startImportButton", dialog.contentItem), dialog);
        compare(dialog.text, "only a name, 123");
        verify(find("importReport", dialog).visible, "the reason is shown");

        dialog.text = "سامي خليل, 401, 0599111222\nرنا, 401, 0599333444\n\nهدى, 402, 0599555666";
        mouseClick(find("startImportButton", dialog.contentItem));
        compare(testSupport.count("tenants"), 2);
        compare(notice.kind, "warning");
        verify(dialog.visible);
        compare(dialog.text, "رنا, 401, 0599333444", "only the refused line is left to correct");
        compare(dialog.refusedLines.map(l => l.line), [2]);
        compare(shownNames(page).length, 2, "the list shows the written lines");

        dialog.text = "رنا, 403, 0599333444";
        doneClick(find("startImportButton", dialog.contentItem));
        waitClosed(dialog);
        compare(testSupport.count("tenants"), 3);
    }

    function test_contractsMadeRefusedAndEnded() {
        loginAsAdmin();
        const ids = office();
        const page = showPage(2);
        const dialog = openBy(find("contractsButton", row(page, ids.omar)), "contractsDialog", page);
        compare(dialog.availableUnits.map(u => u.id), [ids.units[2]], "only the free unit is offered");
        const add = openBy(find("newContractButton", dialog.contentItem), "addContractDialog", page);
        const save = find("saveContractButton", page);
        const type = values => fill(page, {
                "contractStartField": values[0],
                "contractEndField": values[1],
                "contractRentField": values[2],
                "contractDepositField": values[3]
            });
        type(["2025-03-01", "2026-02-28", "14400", "2000"]);
        refusedClick(save, add); // no unit chosen
        find("contractUnitBox", page).currentIndex = 0;
        for (const bad of [["2025-02-30", "2025-12-31", "1000", "0"], ["2025-06-01", "2025-05-31", "1000", "0"], ["2025-01-01", "2025-12-31", "ألف", "0"], ["2025-01-01", "2025-12-31", "1000", ""]]) {
            type(bad);
            refusedClick(save, add);
        }
        // Let to someone else meanwhile, from another window.
        const other = tenantModel.add("رامي عودة", "", "", "", "");
        const meanwhile = contractModel.add(ids.units[2], other, "2025-01-01", "2025-12-31", 1000, "monthly", 0, 1);
        type(["2025-06-01", "2026-05-31", "1200", "0"]);
        refusedClick(save, add);
        verify(contractModel.terminate(meanwhile));

        dialog.refresh();
        find("contractUnitBox", page).currentIndex = 0;
        find("contractFrequencyBox", page).currentIndex = 1;
        type(["2025-03-01", "2026-02-28", "14400", "2000"]);
        doneClick(save);
        waitClosed(add);
        const contract = testSupport.value("SELECT id FROM contracts WHERE tenant_id=?", [ids.omar]);
        compare(testSupport.value("SELECT payment_frequency || '|' || rent_amount || '|' || deposit FROM contracts WHERE id=?", [contract]), "yearly|14400.0|2000.0");
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [ids.units[2]]), "rented");
        compare(dialog.availableUnits.length, 0, "the let unit is no longer offered");

        const shown = rowWhere(find("contractList", dialog.contentItem), c => c.id === contract);
        mouseClick(find("terminateButton", shown));
        answer("contractConfirmDialog", false, page);
        compare(testSupport.value("SELECT status FROM contracts WHERE id=?", [contract]), "active", "cancelled: still active");
        mouseClick(find("terminateButton", shown));
        answer("contractConfirmDialog", true, page);
        compare(testSupport.value("SELECT status FROM contracts WHERE id=?", [contract]), "terminated");
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [ids.units[2]]), "available");
        verify(!find("terminateButton", rowWhere(find("contractList", dialog.contentItem), c => c.id === contract)).visible, "no second ending");
        compare(dialog.availableUnits.map(u => u.id), [ids.units[2]], "offered again at once");
    }

    // The deposit: received up to what the contract agreed, with its receipt; settled once, keeping
    // part for damage and an open invoice and refunding the rest; the statement printed.
    function test_depositReceivedAndSettled() {
        loginAsAdmin();
        const ids = office();
        const contract = testSupport.value("SELECT id FROM contracts WHERE tenant_id=?", [ids.sami]);
        verify(testSupport.exec("UPDATE contracts SET deposit=2000 WHERE id=?", [contract]));
        const bill = invoice(ids.sami, ids.units[0], "2025-06", 300);
        const page = showPage(2);
        const contracts = openBy(find("contractsButton", row(page, ids.sami)), "contractsDialog", page);
        const shown = rowWhere(find("contractList", contracts.contentItem), c => c.id === contract);
        const dialog = openBy(find("depositButton", shown), "depositDialog", page);
        fill(page, {"depositReceiveField": "2000.01"});
        refusedClick(find("depositReceiveButton", page), dialog);
        fill(page, {"depositReceiveField": "2000"});
        doneClick(find("depositReceiveButton", page));
        compare(dialog.held, 2000);
        verify(testSupport.openedFiles().some(f => f.indexOf("Receipt_") >= 0), "the receipt is printed");

        dialog.deductions = [{"kind": "damage", "amount": "1800", "reason": "باب مكسور", "invoiceIndex": -1}, {"kind": "unpaid", "amount": "300", "reason": "", "invoiceIndex": 0}];
        refusedClick(find("settleButton", page), dialog);
        dialog.deductions = [{"kind": "damage", "amount": "250.5", "reason": "باب مكسور", "invoiceIndex": -1}, {"kind": "unpaid", "amount": "300", "reason": "", "invoiceIndex": 0}];
        doneClick(find("settleButton", page));
        compare(testSupport.value("SELECT SUM(amount) FROM deposit_movements WHERE kind='refund'"), 1449.5);
        compare(testSupport.value("SELECT status FROM invoices WHERE id=?", [bill]), "paid");
        compare(testSupport.value("SELECT status FROM contracts WHERE id=?", [contract]), "terminated");
        verify(testSupport.openedFiles().some(f => f.indexOf("Deposit_Settlement_") >= 0), "the statement is printed");
        verify(!find("settleButton", page).visible, "never twice");
        compare(testSupport.problems(), []);
    }

    // Renewed from the contract's row: the day after it ends, the rent raised by the percentage.
    function test_contractRenewed() {
        loginAsAdmin();
        const ids = office();
        const contract = testSupport.value("SELECT id FROM contracts WHERE tenant_id=?", [ids.layla]);
        const page = showPage(2);
        const contracts = openBy(find("contractsButton", row(page, ids.layla)), "contractsDialog", page);
        const shown = rowWhere(find("contractList", contracts.contentItem), c => c.id === contract);
        const dialog = openBy(find("renewButton", shown), "renewalDialog", page);
        compare(find("renewalStartField", page).text, "2100-01-01");
        fill(page, {"renewalEndField": "2099-12-31", "renewalValueField": "5"});
        refusedClick(find("confirmRenewButton", page), dialog);
        fill(page, {"renewalEndField": "2100-12-31"});
        doneClick(find("confirmRenewButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT start_date || '|' || end_date || '|' || rent_amount FROM contracts WHERE id = (SELECT renewed_by FROM contracts WHERE id=?)", [contract]), "2100-01-01|2100-12-31|1260.0");
        verify(!find("renewButton", rowWhere(find("contractList", contracts.contentItem), c => c.id === contract)).visible, "not renewed twice");
    }

    function test_deletingWithAndWithoutHistory() {
        loginAsAdmin();
        const ids = office();
        const former = tenantModel.add("رامي عودة", "", "", "", "");
        const ended = contractModel.add(ids.units[2], former, "2024-01-01", "2024-12-31", 900, "monthly", 0, 1);
        verify(ended > 0 && contractModel.terminate(ended));
        const page = showPage(2);
        for (const tenant of [ids.sami, former]) { // renting now; rented before
            mouseClick(find("deleteTenantButton", row(page, tenant)));
            const before = testSupport.digest();
            answer("tenantConfirmDialog", true, page);
            compare(notice.kind, "error");
            compare(testSupport.digest(), before, "kept");
        }
        mouseClick(find("deleteTenantButton", row(page, ids.omar)));
        answer("tenantConfirmDialog", false, page);
        compare(testSupport.count("tenants"), 4, "cancelled: nothing deleted");
        mouseClick(find("deleteTenantButton", row(page, ids.omar)));
        answer("tenantConfirmDialog", true, page);
        compare(testSupport.count("SELECT id FROM tenants WHERE id=?", [ids.omar]), 0);
        compare(shownNames(page).length, 3);
    }

    // Two invoices of 1500, a third voided unpaid, 1200.50 paid on January: owed 1799.50. Voiding
    // January then takes back only what was open on it (299.50): owed 1500.
    function test_theStatementAndWhatIsPrinted() {
        loginAsAdmin();
        const ids = office();
        const january = invoice(ids.sami, ids.units[0], "2025-01", 1500);
        invoice(ids.sami, ids.units[0], "2025-02", 1500);
        verify(invoiceModel.voidInvoice(invoice(ids.sami, ids.units[0], "2025-03", 99)));
        verify(paymentModel.add(january, ids.sami, 1200.5, "cash", "2025-01-10", "", 1) > 0);
        const page = showPage(2);
        const dialog = openBy(find("statementButton", row(page, ids.sami)), "statementDialog", page);
        compare(dialog.statement.length, 3, "the invoice voided unpaid is left out");
        compare(find("totalDebitCard", dialog.contentItem).value, Format.amount(3000));
        compare(find("totalCreditCard", dialog.contentItem).value, Format.amount(1200.50));
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(1799.50));

        const printed = createTemporaryQmlObject("import QtTest; SignalSpy { signalName: \"printRequested\" }", this);
        printed.target = dialog;
        doneClick(find("printStatementButton", dialog.contentItem));
        const lines = printed.signalArguments[0][0];
        let running = 0;
        compare(lines.map(l => l.balance), dialog.statement.map(r => Format.amount(running += Number(r.debit) - Number(r.credit))), "a running balance");
        compare(lines[2].balance, Format.amount(1799.50), "ending on what is owed");
        compare(lines.filter(l => l.reference === "").map(l => l.description), ["دفعة"], "no dangling dash without a reference");
        compare(printed.signalArguments[0][1]["الرصيد المتبقي"], Format.amount(1799.50));
        compare(testSupport.openedFiles().length, 1, "the PDF is written and opened");
        verify(testSupport.fileExists(testSupport.openedFiles()[0]));
        dialog.close();
        waitClosed(dialog);

        verify(invoiceModel.voidInvoice(january));
        mouseClick(find("statementButton", row(page, ids.sami)));
        waitOpened(dialog);
        compare(dialog.statement.filter(r => r.type === "إلغاء").length, 1, "read again, with the void");
        compare(dialog.totalCredit, 1200.5, "the payment, and only it");
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(1500));
        compare(dialog.balance, testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]));
    }
}
