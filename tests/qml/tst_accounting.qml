import QtQuick
import QtTest
import Darvelinto

// The accounting page: chart of accounts with its type badges, posting a manual entry (balanced,
// refused with its reason), the paged journal, adding a contractor and the cost-centre cards.
AppTestCase {
    name: "Accounting"

    function accountingPage() {
        loginAsAdmin();
        const page = showPage(4);
        waitIdle();
        return page;
    }

    function accountId(code) {
        return testSupport.value("SELECT id FROM accounts WHERE code=?", [code]);
    }

    function balanceOf(code) {
        return testSupport.value("SELECT balance FROM accounts WHERE code=?", [code]);
    }

    function row(page, name) {
        let found = null;
        tryVerify(() => (found = find(name, page)) !== null, 2000, name);
        return found;
    }

    function openEntryDialog(page) {
        const dialog = find("entryDialog", page);
        mouseClick(find("newEntryButton", page));
        waitOpened(dialog);
        return dialog;
    }

    function fillEntry(page, debitCode, creditCode, debit, credit) {
        const debitBox = find("debitAccount", page);
        const creditBox = find("creditAccount", page);
        debitBox.currentIndex = debitCode ? debitBox.indexOfValue(accountId(debitCode)) : -1;
        creditBox.currentIndex = creditCode ? creditBox.indexOfValue(accountId(creditCode)) : -1;
        find("debitAmount", page).text = debit;
        find("creditAmount", page).text = credit;
    }

    function showTab(page, index) {
        mouseClick(find("accountingTab" + index, page));
        waitIdle();
    }

    function test_chartShowsEveryAccountWithItsTypeBadge() {
        const page = accountingPage();
        compare(page.accounts.length, 13);
        compare(find("typeLabel", row(page, "account_1100")).text, "أصول");
        compare(find("typeLabel", row(page, "account_2100")).text, "خصوم");
        compare(find("typeLabel", row(page, "account_3000")).text, "حقوق ملكية", "equity has its own badge");
        compare(find("typeLabel", row(page, "account_4100")).text, "إيرادات");
        compare(find("typeLabel", row(page, "account_5100")).text, "مصروفات");
        compare(find("balance", row(page, "account_1100")).text, Format.amount(0));
    }

    function test_aBalancedEntryPostsAndMovesBothBalances() {
        const page = accountingPage();
        const dialog = openEntryDialog(page);
        find("entryDescription", dialog.contentItem).text = "تحصيل إيجار آذار";
        find("entryReference", dialog.contentItem).text = "INV-2024-0009";
        fillEntry(page, "1100", "4100", "1500.5", "1500.50");
        mouseClick(find("saveEntryButton", page));

        waitClosed(dialog);
        compare(notice.kind, "success");
        verify(notice.text.indexOf("تم حفظ القيد") === 0, notice.text);
        compare(balanceOf("1100"), 1500.5);
        compare(balanceOf("4100"), -1500.5);
        compare(balanceOf("1000"), 0, "the group account is not rolled up");
        compare(testSupport.count("journal_entries"), 1);
        compare(testSupport.count("journal_lines"), 2);
        compare(testSupport.value("SELECT description FROM journal_entries"), "تحصيل إيجار آذار - مرجع: INV-2024-0009", "the reference is kept with the entry");
        compare(testSupport.value("SELECT reference_type FROM journal_entries"), "manual");
        compare(testSupport.value("SELECT entry_date FROM journal_entries"), Qt.formatDate(new Date(), "yyyy-MM-dd"));

        // The chart on the page shows the new balances, in their colours.
        const cash = find("balance", row(page, "account_1100"));
        compare(cash.text, Format.amount(1500.5));
        verify(Qt.colorEqual(cash.color, "#22c55e"));
        const rent = find("balance", row(page, "account_4100"));
        compare(rent.text, Format.amount(-1500.5), "a minus that stays in front of the digits");
        verify(Qt.colorEqual(rent.color, "#ef4444"));

        // The form is emptied for the next entry, accounts included: nothing is posted to an
        // account the user did not choose this time.
        compare(find("debitAmount", page).text, "");
        compare(find("entryReference", page).text, "");
        compare(find("debitAccount", page).currentIndex, -1);
        compare(find("creditAccount", page).currentIndex, -1);

        showTab(page, 1);
        const entryId = testSupport.value("SELECT id FROM journal_entries");
        const entry = row(page, "entry_" + entryId);
        compare(find("journalDescription", entry).text, "\u200Fتحصيل إيجار آذار - مرجع: INV-\u20662024-0009\u2069", "numbers with separators keep their order");
    }

    function test_anUnbalancedEntryIsRefusedWithItsReason() {
        const page = accountingPage();
        const dialog = openEntryDialog(page);
        find("entryDescription", dialog.contentItem).text = "قيد خاطئ";

        fillEntry(page, "", "", "100", "100");
        mouseClick(find("saveEntryButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "اختر حساب المدين وحساب الدائن");

        fillEntry(page, "5100", "1100", "100", "");
        mouseClick(find("saveEntryButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل مبلغ المدين ومبلغ الدائن");

        fillEntry(page, "5100", "1100", "abc", "abc");
        mouseClick(find("saveEntryButton", page));
        compare(notice.text, "المبلغ يجب أن يكون رقماً أكبر من صفر");

        fillEntry(page, "5100", "1100", "-100", "-100");
        mouseClick(find("saveEntryButton", page));
        compare(notice.text, "المبلغ يجب أن يكون رقماً أكبر من صفر");

        fillEntry(page, "5100", "1100", "100", "99.98");
        mouseClick(find("saveEntryButton", page));
        compare(notice.kind, "error");
        compare(notice.title, "لم يُحفظ القيد");
        compare(notice.text, "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن");

        verify(dialog.visible, "the dialog stays open");
        compare(find("debitAmount", page).text, "100", "with its input");
        compare(find("creditAmount", page).text, "99.98");
        compare(find("entryDescription", page).text, "قيد خاطئ");
        compare(testSupport.count("journal_entries"), 0);
        compare(testSupport.count("SELECT id FROM accounts WHERE balance<>0"), 0);
        compare(find("balance", row(page, "account_5100")).text, Format.amount(0));
    }

    function test_arabicDigitsAreReadAsAmounts() {
        const page = accountingPage();
        openEntryDialog(page);
        fillEntry(page, "5100", "2100", "٢٥٠٫٥", "250.5");
        mouseClick(find("saveEntryButton", page));
        compare(notice.kind, "success");
        compare(balanceOf("5100"), 250.5);
        compare(balanceOf("2100"), -250.5);
    }

    function test_theJournalIsPagedNewestFirstAndSearchable() {
        const page = accountingPage();
        const cash = accountId("1100");
        const rent = accountId("4100");
        for (let i = 1; i <= 55; ++i) {
            const day = "2024-01-" + (i < 10 ? "0" : "") + Math.min(i, 28);
            verify(accountModel.createJournalEntry(day, "إيجار رقم " + i + " - مرجع: R-" + i, "manual", 0, [
                        {
                            "account_id": cash,
                            "debit": 10,
                            "credit": 0,
                            "description": ""
                        },
                        {
                            "account_id": rent,
                            "debit": 0,
                            "credit": 10,
                            "description": ""
                        }
                    ]) > 0);
        }
        showPage(0);
        showPage(4);
        showTab(page, 1);
        const list = find("journalList", page);
        compare(list.count, 50);
        verify(list.hasMore);
        compare(list.recordAt(0).description, "إيجار رقم 55 - مرجع: R-55", "newest first");
        mouseClick(find("loadMoreButton", list));
        compare(list.count, 55);
        verify(!list.hasMore);

        const search = find("pagedListSearch", list);
        search.text = "R-7";
        search.accepted();
        compare(list.count, 1);
        compare(list.recordAt(0).description, "إيجار رقم 7 - مرجع: R-7");
    }

    function test_aContractorIsAdded() {
        const page = accountingPage();
        showTab(page, 2);
        const dialog = find("contractorDialog", page);
        mouseClick(find("addContractorButton", page));
        waitOpened(dialog);

        mouseClick(find("saveContractorButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل اسم المقاول أو المورد");
        verify(dialog.visible);

        find("contractorName", page).text = "  شركة البناء الحديث ";
        find("contractorPhone", page).text = "0599123456";
        find("contractorTrade", page).text = "كهرباء";
        mouseClick(find("saveContractorButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT name || '|' || phone || '|' || trade FROM contractors"), "شركة البناء الحديث|0599123456|كهرباء");
        compare(page.contractors.length, 1);
        const id = testSupport.value("SELECT id FROM contractors");
        const balance = find("contractorBalance", row(page, "contractor_" + id));
        compare(balance.text, Format.amount(0));
        verify(Qt.colorEqual(balance.color, "#22c55e"), "nothing owed: green");
        compare(find("contractorName", page).text, "", "the fields are emptied");

        verify(testSupport.exec("UPDATE contractors SET balance=1200 WHERE id=?", [id]));
        showPage(0);
        showPage(4);
        const owed = find("contractorBalance", row(page, "contractor_" + id));
        compare(owed.text, Format.amount(1200));
        verify(Qt.colorEqual(owed.color, "#ef4444"), "owed: red");
    }

    Component {
        id: plainReference
        Text {
            textFormat: Text.PlainText
        }
    }

    // Stored names are shown as typed, never read as markup (an <img> would load a file).
    function test_namesAreShownAsTyped() {
        const page = accountingPage();
        const hostile = "<b>Bold</b> & Co <img src=\"file:///etc/hostname\" width=\"300\">";
        verify(expenseModel.addContractor(hostile, "", "") > 0);
        verify(accountModel.createJournalEntry("2024-01-02", hostile, "manual", 0, [
                    {
                        "account_id": accountId("1100"),
                        "debit": 5,
                        "credit": 0,
                        "description": ""
                    },
                    {
                        "account_id": accountId("4100"),
                        "debit": 0,
                        "credit": 5,
                        "description": ""
                    }
                ]) > 0);
        showPage(0);
        showPage(4);
        waitIdle();
        showTab(page, 2);
        const name = find("contractorNameText", row(page, "contractor_" + testSupport.value("SELECT id FROM contractors")));
        compare(name.text, hostile);
        let reference = createTemporaryObject(plainReference, this, {
            "text": hostile,
            "font.pixelSize": name.font.pixelSize,
            "font.bold": true
        });
        compare(name.implicitWidth, reference.implicitWidth, "laid out as plain text");
        compare(name.lineCount, 1);

        showTab(page, 1);
        const description = find("journalDescription", row(page, "entry_" + testSupport.value("SELECT id FROM journal_entries")));
        reference = createTemporaryObject(plainReference, this, {
            "text": description.text,
            "font.pixelSize": description.font.pixelSize
        });
        verify(description.text.indexOf("<img") >= 0);
        compare(description.implicitWidth, reference.implicitWidth, "laid out as plain text");
    }

    function test_costCentresOfEveryProject() {
        loginAsAdmin();
        const tower = propertyModel.add("برج الياسمين", "residential", "رام الله", "رام الله", "");
        verify(tower > 0);
        const unitA = unitModel.add(tower, "A1", 1, 120, 3, 0, 0, 100000, 1);
        verify(unitA > 0);
        verify(unitModel.add(tower, "A2", 1, 80, 2, 0, 0, 90000, 1) > 0);
        const empty = propertyModel.add("أرض فارغة", "land", "", "", "");
        verify(testSupport.exec("DELETE FROM cost_centers WHERE property_id=?", [empty]));

        const page = showPage(4);
        showTab(page, 3);
        const towerCard = row(page, "project_" + tower);
        const centres = towerCard.centres;
        compare(centres.length, 4, "project, floor and two units");
        compare(centres[0].type, "project");
        const unitCentre = testSupport.value("SELECT id FROM cost_centers WHERE unit_id=?", [unitA]);
        verify(row(towerCard, "centre_" + unitCentre));
        compare(row(page, "project_" + empty).centres.length, 0, "a project without centres shows its title only");
    }
}
