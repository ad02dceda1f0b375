import QtQuick
import QtTest
import Darvelinto

// The cheques page: the five cuts, the status totals, cashing and returning a cheque (each asked
// first) and recording a cheque linked to a tenant, a buyer or nobody.
AppTestCase {
    name: "Cheques"

    // The day `offset` days from today, "yyyy-MM-dd".
    function day(offset) {
        const date = new Date();
        date.setDate(date.getDate() + offset);
        return date.getFullYear() + "-" + pad2(date.getMonth() + 1) + "-" + pad2(date.getDate());
    }

    // A sale whose three cheques 7001..7003 of 1000 fall due a month apart from 70 days ago (the
    // last one 8 to 11 days ago), and three cheques recorded by hand: 88 received from a tenant
    // due yesterday, 89 issued due in 60 days, 90 received due in 10 days.
    function arrangeCheques() {
        const property = propertyModel.add("برج الياسمين", "residential", "", "رام الله", "");
        const flat = unitModel.add(property, "A-12", 3, 140, 3, 0, 0, 3000, 1);
        const buyer = buyerModel.add("نادر المصري", "800100200", "", "", "");
        const tenant = tenantModel.add("ليلى حسن", "402345678", "", "", "");
        verify(property > 0 && flat > 0 && buyer > 0 && tenant > 0);
        compare(installmentModel.sellUnit(buyer, flat, 3000, 0, 3, day(-70), 1, "7001", "بنك فلسطين"), 1);
        verify(chequeModel.add("88", "received", 450, "بنك القدس", day(-1), "شركة النور", 1, 1.0, 0, tenant) > 0);
        verify(chequeModel.add("89", "issued", 1200, "البنك العربي", day(60), "مقاول الكهرباء", 1, 1.0, 0, 0) > 0);
        verify(chequeModel.add("90", "received", 300, "بنك القدس", day(10), "زبون", 1, 1.0, 0, 0) > 0);
        return {
            "buyer": buyer,
            "tenant": tenant
        };
    }

    function chequesPage() {
        loginAsAdmin();
        const page = showPage(6);
        const all = find("tab_all", page);
        const due = find("tab_due", page);
        verify(all.mapToItem(null, 0, 0).x > due.mapToItem(null, 0, 0).x, "the first cut stands at the right");
        return page;
    }

    function statusText(page, status) {
        return find("statusCount", find("statusBox_" + status, page)).text;
    }

    function statusSum(page, status) {
        return find("statusSum", find("statusBox_" + status, page)).text;
    }

    // The shown card of a cheque (the list reuses its delegates, so look it up by row).
    function card(page, number) {
        const found = pagedRow(find("chequeList", page), record => record.cheque_number === number, "cheque " + number);
        compare(found.record.cheque_number, number);
        return found;
    }

    function numbers(list) {
        const result = [];
        for (let i = 0; i < list.count; ++i)
            result.push(list.recordAt(i).cheque_number);
        return result;
    }

    function test_theFiveCuts() {
        const page = chequesPage();
        arrangeCheques();
        page.refresh();
        const list = find("chequeList", page);
        compare(numbers(list), ["89", "90", "88", "7003", "7002", "7001"], "the latest due first");
        mouseClick(find("tab_received", page));
        compare(numbers(list), ["90", "88", "7003", "7002", "7001"]);
        mouseClick(find("tab_issued", page));
        compare(numbers(list), ["89"]);
        mouseClick(find("tab_postdated", page));
        compare(numbers(list), ["89", "90"]);
        // Due today or before and not yet cashed.
        mouseClick(find("tab_due", page));
        compare(numbers(list), ["88", "7003", "7002", "7001"]);

        // A cheque without a unit shows only its party; a sale's cheque its unit too.
        mouseClick(find("tab_all", page));
        compare(find("partyLine", card(page, "88")).text, "ليلى حسن");
        compare(find("partyLine", card(page, "7001")).text, "نادر المصري | برج الياسمين - وحدة A-12");
        compare(find("partyLine", card(page, "89")).text, "مقاول الكهرباء");

        const search = find("pagedListSearch", list);
        search.text = "فلسطين";
        search.accepted();
        compare(numbers(list), ["7003", "7002", "7001"]);
    }

    function test_cashingAndBouncingAskFirstAndMoveTheTotals() {
        const page = chequesPage();
        arrangeCheques();
        page.refresh();
        compare(statusText(page, "pending"), "معلق للتحصيل: 5", "the issued 89 is not to collect");
        compare(statusSum(page, "pending"), Format.amount(3750));
        compare(statusText(page, "paid"), "تم الصرف: 0");
        compare(statusText(page, "bounced"), "مرتجع: 0");

        const confirm = find("chequeConfirm", page);
        mouseClick(find("cashButton", card(page, "88")));
        waitOpened(confirm);
        verify(find("confirmMessage", confirm).text.indexOf("88") > 0, "the question names the cheque");
        mouseClick(find("cancelButton", confirm));
        waitClosed(confirm);
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='88'"), "pending", "cancelled: nothing changes");
        compare(statusText(page, "pending"), "معلق للتحصيل: 5");

        mouseClick(find("cashButton", card(page, "88")));
        waitOpened(confirm);
        mouseClick(find("confirmButton", confirm));
        waitClosed(confirm);
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='88'"), "paid");
        compare(notice.kind, "success");
        compare(statusText(page, "pending"), "معلق للتحصيل: 4");
        compare(statusSum(page, "pending"), Format.amount(3300));
        compare(statusText(page, "paid"), "تم الصرف: 1");
        compare(statusSum(page, "paid"), Format.amount(450));
        const cashed = card(page, "88");
        compare(find("chequeStatus", cashed).label, "تم الصرف");
        verify(!find("cashButton", cashed).visible, "no actions on a cashed cheque");

        mouseClick(find("bounceButton", card(page, "90")));
        waitOpened(confirm);
        verify(find("confirmMessage", confirm).text.indexOf("مرتجع") > 0);
        mouseClick(find("confirmButton", confirm));
        waitClosed(confirm);
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='90'"), "bounced");
        compare(statusText(page, "pending"), "معلق للتحصيل: 3");
        compare(statusText(page, "bounced"), "مرتجع: 1");
        compare(statusSum(page, "bounced"), Format.amount(300));
        compare(find("chequeStatus", card(page, "90")).label, "مرتجع");

        // The other cuts follow at once: a cashed cheque is no longer post-dated or due.
        mouseClick(find("tab_postdated", page));
        compare(numbers(find("chequeList", page)), ["89"]);
        // Cashing or returning moves no money.
        compare(testSupport.count("payments"), 0);
    }

    // A sale's cheque carries its installment's money: cashing collects the installment, the
    // bank's return takes the collection back, and a cheque of a settled installment is refused
    // with the back end's reason.
    function test_cashingASaleChequeCollectsItsInstallment() {
        const page = chequesPage();
        arrangeCheques();
        page.refresh();
        const confirm = find("chequeConfirm", page);
        const answer = function (button, number) {
            mouseClick(find(button, card(page, number)));
            waitOpened(confirm);
            mouseClick(find("confirmButton", confirm));
            waitClosed(confirm);
        };
        const installmentOf = number => testSupport.value("SELECT installment_id FROM cheques WHERE cheque_number=?", [number]);
        const paidOn = number => Number(testSupport.value("SELECT paid_amount FROM installments WHERE id=?", [installmentOf(number)]));
        const balance = () => Number(testSupport.value("SELECT balance FROM buyers"));

        verify(installmentModel.payInstallment(installmentOf("7002"), 400));
        verify(installmentModel.payInstallment(installmentOf("7002"), 600));
        answer("cashButton", "7002");
        compare(notice.kind, "error");
        verify(notice.text.indexOf("مسدد") >= 0, notice.text);
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='7002'"), "pending");

        answer("cashButton", "7001");
        compare(notice.kind, "success");
        compare(paidOn("7001"), 1000);
        compare(balance(), 1000);

        answer("bounceButton", "7001");
        compare(notice.kind, "success");
        compare(find("chequeStatus", card(page, "7001")).label, "مرتجع");
        compare(paidOn("7001"), 0);
        compare(balance(), 2000);
    }

    function test_recordingACheque() {
        const page = chequesPage();
        const ids = arrangeCheques();
        mouseClick(find("addChequeButton", page));
        const dialog = find("addChequeDialog", page);
        waitOpened(dialog);
        compare(find("chequeDueField", page).text, Format.today());
        choose(find("chequeTypeBox", page), type => type === "شيك مقبوض (وارد)");
        choose(find("chequeLinkBox", page), link => link === "ربط بمستأجر");
        const party = find("chequePartyBox", page);
        verify(party.visible);
        compare(party.count, 1, "the tenants are read when the dialog opens");
        find("chequeNumberField", page).text = "501";
        find("chequeBankField", page).text = "بنك الاستثمار";
        find("chequeAmountField", page).text = "2500";

        mouseClick(find("saveChequeButton", page));
        compare(notice.text, "اختر المستأجر أو اختر «بدون ربط»");
        choose(party, tenant => tenant.id === ids.tenant);
        find("chequeRateField", page).text = "0";
        mouseClick(find("saveChequeButton", page));
        compare(notice.text, "أدخل في حقل «سعر الصرف» رقماً أكبر من صفر");
        find("chequeRateField", page).text = "1.0";
        find("chequeAmountField", page).text = "";
        mouseClick(find("saveChequeButton", page));
        compare(notice.text, "أدخل في حقل «المبلغ» رقماً أكبر من صفر");
        verify(dialog.visible);
        compare(testSupport.count("SELECT id FROM cheques WHERE cheque_number='501'"), 0);

        find("chequeAmountField", page).text = "2500";
        find("chequeDueField", page).text = day(5);
        find("chequeDrawerField", page).text = "ليلى حسن";
        mouseClick(find("saveChequeButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT tenant_id FROM cheques WHERE cheque_number='501'"), ids.tenant);
        compare(testSupport.count("SELECT id FROM cheques WHERE cheque_number='501' AND buyer_id IS NULL"), 1);
        compare(testSupport.value("SELECT amount FROM cheques WHERE cheque_number='501'"), 2500);
        compare(testSupport.value("SELECT type FROM cheques WHERE cheque_number='501'"), "received");
        compare(testSupport.value("SELECT payer_name FROM cheques WHERE cheque_number='501'"), "ليلى حسن");
        compare(testSupport.value("SELECT status FROM cheques WHERE cheque_number='501'"), "pending");
        compare(testSupport.value("SELECT notes FROM cheques WHERE cheque_number='501'"), "exchange_rate=1");
        compare(statusText(page, "pending"), "معلق للتحصيل: 6");
        card(page, "501");

        // An issued cheque to a buyer.
        mouseClick(find("addChequeButton", page));
        waitOpened(dialog);
        compare(find("chequeLinkBox", page).currentIndex, 0, "the link starts afresh");
        choose(find("chequeTypeBox", page), type => type === "شيك مدفوع (صادر)");
        choose(find("chequeLinkBox", page), link => link === "ربط بمشتري");
        choose(find("chequePartyBox", page), buyer => buyer.id === ids.buyer);
        find("chequeNumberField", page).text = "502";
        find("chequeAmountField", page).text = "150";
        find("chequeDrawerField", page).text = "استرداد";
        mouseClick(find("saveChequeButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT buyer_id FROM cheques WHERE cheque_number='502'"), ids.buyer);
        compare(testSupport.value("SELECT payee_name FROM cheques WHERE cheque_number='502'"), "استرداد");
        compare(testSupport.value("SELECT type FROM cheques WHERE cheque_number='502'"), "issued");
    }
}
