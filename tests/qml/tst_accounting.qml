import QtQuick
import QtTest
import Darvelinto

// The accounting page: posting a manual entry (refused unless balanced), the chart's balances, the
// paged journal, contractors and the cost-centre cards.
AppTestCase {
    name: "Accounting"

    function accountId(code) {
        return testSupport.value("SELECT id FROM accounts WHERE code=?", [code]);
    }

    function shown(page, name) {
        let found = null;
        tryVerify(() => (found = find(name, page)) !== null, 2000, name);
        return found;
    }

    function showTab(page, index) {
        mouseClick(find("accountingTab" + index, page));
        waitIdle();
    }

    function entry(date, description) {
        const line = (code, debit, credit) => ({"account_id": accountId(code), "debit": debit, "credit": credit, "description": ""});
        verify(accountModel.createJournalEntry(date, description, "manual", 0, [line("1100", 10, 0), line("4100", 0, 10)]) > 0);
    }

    function test_anEntryPostsOnlyWhenBalanced() {
        loginAsAdmin();
        const page = showPage(4);
        const dialog = openBy(find("newEntryButton", page), "entryDialog", page);
        const type = (debitCode, creditCode, debit, credit) => {
            find("debitAccount", page).currentIndex = debitCode ? find("debitAccount", page).indexOfValue(accountId(debitCode)) : -1;
            find("creditAccount", page).currentIndex = creditCode ? find("creditAccount", page).indexOfValue(accountId(creditCode)) : -1;
            fill(page, {"debitAmount": debit, "creditAmount": credit});
        };
        fill(page, {"entryDescription": "تحصيل إيجار آذار", "entryReference": "INV-2024-0009"});
        for (const bad of [["", "", "100", "100"], ["5100", "1100", "100", ""], ["5100", "1100", "abc", "abc"], ["5100", "1100", "-100", "-100"], ["5100", "1100", "100", "99.98"]]) {
            type(...bad);
            refusedClick(find("saveEntryButton", page), dialog);
        }
        type("1100", "4100", "١٥٠٠٫٥", "1500.50"); // Arabic digits are a number too
        doneClick(find("saveEntryButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT group_concat(balance) FROM (SELECT balance FROM accounts WHERE code IN ('1000', '1100', '4100') ORDER BY code)"), "0.0,1500.5,-1500.5", "the group account is not rolled up");
        compare(testSupport.value("SELECT description FROM journal_entries"), "تحصيل إيجار آذار - مرجع: INV-2024-0009");
        compare(find("balance", shown(page, "account_1100")).text, Format.amount(1500.5));
        compare(find("balance", shown(page, "account_4100")).text, Format.amount(-1500.5));
        // Emptied for the next entry, accounts included: nothing goes to an account not chosen again.
        compare(find("debitAccount", page).currentIndex, -1);
        compare(find("creditAccount", page).currentIndex, -1);
        compare(find("entryReference", page).text, "");
    }

    function test_theJournalIsPagedNewestFirstAndSearchable() {
        loginAsAdmin();
        for (let i = 1; i <= 55; ++i)
            entry("2024-01-" + String(Math.min(i, 28)).padStart(2, "0"), "إيجار رقم " + i + " - مرجع: R-" + i);
        const page = showPage(4);
        showTab(page, 1);
        const list = find("journalList", page);
        compare(list.count, 50);
        compare(list.recordAt(0).description, "إيجار رقم 55 - مرجع: R-55", "newest first");
        mouseClick(find("loadMoreButton", list));
        compare(list.count, 55);
        const search = find("pagedListSearch", list);
        search.text = "R-7";
        search.accepted();
        compare(list.count, 1);
    }

    function test_contractors() {
        loginAsAdmin();
        const page = showPage(4);
        showTab(page, 2);
        const dialog = openBy(find("addContractorButton", page), "contractorDialog", page);
        refusedClick(find("saveContractorButton", page), dialog);
        find("contractorName", page).text = "  شركة البناء الحديث ";
        doneClick(find("saveContractorButton", page));
        waitClosed(dialog);
        const id = testSupport.value("SELECT id FROM contractors WHERE name='شركة البناء الحديث'");
        compare(find("contractorBalance", shown(page, "contractor_" + id)).text, Format.amount(0));
        verify(expenseModel.add(propertyModel.add("برج", "residential", "", "", ""), 0, id, "صيانة", "", "", 1200, "2025-01-10", 1) > 0);
        showPage(0);
        showPage(4);
        compare(find("contractorBalance", shown(page, "contractor_" + id)).text, Format.amount(1200), "read again when shown");
    }

    function test_costCentresOfEveryProject() {
        loginAsAdmin();
        const tower = propertyModel.add("برج الياسمين", "residential", "", "", "");
        const unit = unitModel.add(tower, "A1", 1, 120, 3, 0, 0, 100000, 1);
        verify(unitModel.add(tower, "A2", 1, 80, 2, 0, 0, 90000, 1) > 0);
        const empty = propertyModel.add("أرض فارغة", "land", "", "", "");
        verify(testSupport.exec("DELETE FROM cost_centers WHERE property_id=?", [empty]));
        const page = showPage(4);
        showTab(page, 3);
        const card = shown(page, "project_" + tower);
        compare(card.centres.length, 4, "project, floor and two units");
        shown(card, "centre_" + testSupport.value("SELECT id FROM cost_centers WHERE unit_id=?", [unit]));
        compare(shown(page, "project_" + empty).centres.length, 0);
    }

    function test_anOperationsEntryOpensItsOriginAndTheStatementsShowIt() {
        loginAsAdmin();
        const tower = propertyModel.add("برج الياسمين", "residential", "", "", "");
        invoice(tenantModel.add("سامر", "", "", "", ""), unitModel.add(tower, "A1", 1, 120, 3, 0, 0, 100000, 1), "2025-03", 900);
        const page = showPage(4);
        showTab(page, 1);
        const entry = shown(page, "entry_" + testSupport.value("SELECT id FROM journal_entries WHERE reference_type='invoice'"));
        compare(find("originLabel", entry).text, "فاتورة");
        const dialog = openBy(entry, "entryOriginDialog", page);
        compare(find("entryLines", dialog.contentItem).count, 2);
        mouseClick(find("openOriginButton", dialog.contentItem));
        waitClosed(dialog);
        compare(screen().currentIndex, 7, "the invoices page");
        showPage(4);
        showTab(page, 4);
        compare(find("totalDebit", page).text, Format.money(900));
        compare(find("totalCredit", page).text, Format.money(900));
        showTab(page, 5);
        compare(find("statementResult", find("balanceSheetView", page)).text, Format.amount(900), "liabilities, equity and earnings");
        shown(find("profitLossView", page), "statementLine_4100");
    }
}
