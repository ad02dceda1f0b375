import QtQuick
import QtTest
import Darvelinto

// The cheques page: the five cuts, cashing and returning (each asked first) with the status totals
// and a sale cheque's installment, and recording a cheque linked to a tenant, a buyer or nobody.
AppTestCase {
    name: "Cheques"

    // The day `offset` days from today, "yyyy-MM-dd".
    function day(offset) {
        const date = new Date();
        date.setDate(date.getDate() + offset);
        return Qt.formatDate(date, "yyyy-MM-dd");
    }

    // A sale whose cheques 7001..7003 of 1000 fall due a month apart from 70 days ago, and cheques
    // recorded by hand: 88 received from a tenant due yesterday, 89 issued due in 60 days, 90
    // received due in 10 days. Logs in and shows the page.
    function chequesPage() {
        loginAsAdmin();
        const property = propertyModel.add("برج الياسمين", "residential", "", "رام الله", "");
        const flat = unitModel.add(property, "A-12", 3, 140, 3, 0, 0, 3000, 1);
        const ids = {"buyer": buyerModel.add("نادر المصري", "800100200", "", "", ""), "tenant": tenantModel.add("ليلى حسن", "402345678", "", "", "")};
        compare(installmentModel.sellUnit(ids.buyer, flat, 3000, 0, 3, day(-70), 1, "7001", "بنك فلسطين"), 1);
        verify(chequeModel.add("88", "received", 450, "بنك القدس", day(-1), "شركة النور", 1, 1.0, 0, ids.tenant) > 0);
        verify(chequeModel.add("89", "issued", 1200, "البنك العربي", day(60), "مقاول الكهرباء", 1, 1.0, 0, 0) > 0);
        verify(chequeModel.add("90", "received", 300, "بنك القدس", day(10), "زبون", 1, 1.0, 0, 0) > 0);
        ids.page = showPage(6);
        return ids;
    }

    function numbers(page) {
        return listed(find("chequeList", page), "cheque_number");
    }

    function card(page, number) {
        return rowWhere(find("chequeList", page), c => c.cheque_number === number, "cheque " + number);
    }

    // Confirms cashing or returning a cheque.
    function act(page, button, number) {
        mouseClick(find(button, card(page, number)));
        answer("chequeConfirm", true, page);
    }

    // The count and the sum a status box shows.
    function box(page, status) {
        const shown = find("statusBox_" + status, page);
        return [Number(find("statusCount", shown).text.match(/\d+/)[0]), find("statusSum", shown).text];
    }

    function test_theFiveCuts() {
        const page = chequesPage().page;
        compare(numbers(page), ["89", "90", "88", "7003", "7002", "7001"], "the latest due first");
        for (const [cut, expected] of [["received", ["90", "88", "7003", "7002", "7001"]], ["issued", ["89"]], ["postdated", ["89", "90"]], ["due", ["88", "7003", "7002", "7001"]]]) {
            mouseClick(find("tab_" + cut, page));
            compare(numbers(page), expected, cut);
        }
        mouseClick(find("tab_all", page));
        compare(find("partyLine", card(page, "7001")).text, "نادر المصري | برج الياسمين - وحدة A-12", "a sale's cheque names its unit");
        const search = find("pagedListSearch", find("chequeList", page));
        search.text = "فلسطين";
        search.accepted();
        compare(numbers(page), ["7003", "7002", "7001"]);
    }

    function test_cashingAndReturningMoveTheTotals() {
        const page = chequesPage().page;
        const pending = box(page, "pending")[0];
        mouseClick(find("cashButton", card(page, "88")));
        answer("chequeConfirm", false, page);
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='88'"), "pending", "cancelled: nothing changes");

        act(page, "cashButton", "88");
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='88'"), "paid");
        compare(box(page, "paid"), [1, Format.amount(450)]);
        compare(box(page, "pending")[0], pending - 1);
        verify(!find("cashButton", card(page, "88")).visible, "no actions on a cashed cheque");
        act(page, "bounceButton", "90");
        compare(box(page, "bounced"), [1, Format.amount(300)]);
        compare(find("chequeStatus", card(page, "90")).label, "مرتجع");
        for (const [cut, expected] of [["postdated", ["89"]], ["due", ["7003", "7002", "7001"]]]) {
            mouseClick(find("tab_" + cut, page));
            compare(numbers(page), expected, "the other cuts follow at once");
        }
        compare(testSupport.count("payments"), 0, "a cheque of no sale moves no money");
    }

    // A sale's cheque carries its installment's money: cashing collects it, the bank's return takes
    // the collection back, and a cheque of a settled installment is refused.
    function test_aSaleChequeCollectsItsInstallment() {
        const ids = chequesPage();
        const page = ids.page;
        const installmentOf = number => testSupport.value("SELECT installment_id FROM cheques WHERE cheque_number=?", [number]);
        const paidOn = number => testSupport.value("SELECT paid_amount FROM installments WHERE id=?", [installmentOf(number)]);
        verify(installmentModel.payInstallment(installmentOf("7002"), 1000));
        mouseClick(find("cashButton", card(page, "7002")));
        const before = testSupport.digest();
        answer("chequeConfirm", true, page);
        compare(notice.kind, "error");
        compare(testSupport.digest(), before, "refused");

        act(page, "cashButton", "7001");
        compare(paidOn("7001"), 1000);
        compare(testSupport.value("SELECT balance FROM buyers"), 1000);
        act(page, "bounceButton", "7001");
        compare(paidOn("7001"), 0);
        compare(testSupport.value("SELECT balance FROM buyers"), 2000);
    }

    function test_recordingACheque() {
        const ids = chequesPage();
        const page = ids.page;
        const dialog = openBy(find("addChequeButton", page), "addChequeDialog", page);
        compare(find("chequeDueField", page).text, Format.today());
        choose(find("chequeTypeBox", page), type => type === "شيك مقبوض (وارد)");
        choose(find("chequeLinkBox", page), link => link === "ربط بمستأجر");
        fill(page, {"chequeNumberField": "501", "chequeAmountField": "2500", "chequeDrawerField": "ليلى حسن"});
        refusedClick(find("saveChequeButton", page), dialog); // no tenant chosen
        choose(find("chequePartyBox", page), tenant => tenant.id === ids.tenant);
        for (const [field, bad] of [["chequeRateField", "0"], ["chequeAmountField", ""]]) {
            const good = find(field, page).text;
            find(field, page).text = bad;
            refusedClick(find("saveChequeButton", page), dialog);
            find(field, page).text = good;
        }
        doneClick(find("saveChequeButton", page));
        compare(testSupport.value("SELECT tenant_id || '|' || ifnull(buyer_id, '') || '|' || amount || '|' || type || '|' || payer_name || '|' || status FROM cheques WHERE cheque_number='501'"), ids.tenant + "||2500.0|received|ليلى حسن|pending");
        card(page, "501");

        openBy(find("addChequeButton", page), "addChequeDialog", page);
        compare(find("chequeLinkBox", page).currentIndex, 0, "the link starts afresh");
        choose(find("chequeTypeBox", page), type => type === "شيك مدفوع (صادر)");
        choose(find("chequeLinkBox", page), link => link === "ربط بمشتري");
        choose(find("chequePartyBox", page), buyer => buyer.id === ids.buyer);
        fill(page, {"chequeNumberField": "502", "chequeAmountField": "150", "chequeDrawerField": "استرداد"});
        doneClick(find("saveChequeButton", page));
        compare(testSupport.value("SELECT buyer_id || '|' || payee_name || '|' || type FROM cheques WHERE cheque_number='502'"), ids.buyer + "|استرداد|issued");
    }
}
