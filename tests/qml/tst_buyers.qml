import QtQuick
import QtTest
import Darvelinto

// The buyers page: adding a buyer, selling a unit on installments with cheques (and the preview
// of the monthly installment) or for cash, refused sales, collecting an installment, adding one
// by hand, recording a buyer's cheque and the account statement.
AppTestCase {
    name: "Buyers"

    // Two units for sale in one tower and a buyer.
    function arrangeSale() {
        const property = propertyModel.add("برج الياسمين", "residential", "", "رام الله", "");
        const flat = unitModel.add(property, "A-12", 3, 140, 3, 0, 0, 120000, 1);
        const shop = unitModel.add(property, "G-2", 0, 60, 1, 0, 0, 85000, 1);
        const buyer = buyerModel.add("نادر المصري", "800100200", "0599111222", "", "بيت لحم");
        verify(property > 0 && flat > 0 && shop > 0 && buyer > 0);
        return {
            "property": property,
            "flat": flat,
            "shop": shop,
            "buyer": buyer
        };
    }

    function buyersPage() {
        loginAsAdmin();
        return showPage(3);
    }

    // The shown card of a buyer (the list reuses its delegates, so look it up by row).
    function buyerCard(page, id) {
        const row = page.buyers.findIndex(buyer => buyer.id === id);
        verify(row >= 0, "buyer " + id + " is listed");
        const view = find("buyerList", page);
        view.positionViewAtIndex(row, 0);
        let found = null;
        tryVerify(() => (found = view.itemAtIndex(row)) !== null, 2000, "card of buyer " + id);
        compare(found.modelData.id, id);
        return found;
    }

    // Clicks one of a buyer's four buttons and waits for its dialog.
    function openFromCard(page, buyerId, buttonName, dialogName) {
        mouseClick(find(buttonName, buyerCard(page, buyerId)));
        const dialog = find(dialogName, page);
        verify(dialog, dialogName);
        waitOpened(dialog);
        return dialog;
    }

    function test_addingABuyer() {
        const page = buyersPage();
        mouseClick(find("addBuyerButton", page));
        const dialog = find("addBuyerDialog", page);
        waitOpened(dialog);
        mouseClick(find("saveBuyerButton", page));
        compare(notice.text, "أدخل الاسم الكامل للمشتري");
        verify(dialog.visible);

        find("buyerName", page).text = "سلمى عودة";
        find("buyerIdNumber", page).text = "900111222";
        find("buyerPhone", page).text = "0598777666";
        find("buyerAddress", page).text = "الخليل";
        mouseClick(find("saveBuyerButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT phone FROM buyers WHERE id_number='900111222'"), "0598777666");
        compare(testSupport.value("SELECT address FROM buyers WHERE id_number='900111222'"), "الخليل");
        compare(page.buyers.length, 1);

        // The same identity number again is refused, told, and the dialog keeps the input.
        mouseClick(find("addBuyerButton", page));
        waitOpened(dialog);
        find("buyerName", page).text = "سلمى أخرى";
        find("buyerIdNumber", page).text = "900111222";
        mouseClick(find("saveBuyerButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("900111222") > 0, notice.text);
        verify(dialog.visible);
        compare(find("buyerName", page).text, "سلمى أخرى");
        compare(testSupport.count("buyers"), 1);
    }

    function test_saleWithInstallmentsAndCheques() {
        const page = buyersPage();
        const ids = arrangeSale();
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "sellButton", "salesDialog");
        compare(find("saleBuyerName", page).text, "المشتري: نادر المصري");
        const unitBox = find("saleUnitBox", page);
        compare(unitBox.count, 2, "the available units are read when the dialog opens");
        choose(unitBox, unit => unit.id === ids.flat);
        compare(unitBox.displayText, "برج الياسمين - وحدة A-12");
        compare(Number(find("salePrice", page).text), 120000, "the unit's price is offered");

        find("salePaidNow", page).text = "24000";
        find("saleCount", page).text = "12";
        compare(dialog.monthly, 8000, "(120000 - 24000) / 12");
        compare(find("installmentPreview", page).text, Format.amount(8000));
        find("saleCount", page).text = "5";
        compare(dialog.monthly, 19200);
        find("saleCount", page).text = "";
        compare(dialog.monthly, 96000, "an empty count previews one installment");
        find("saleCount", page).text = "12";

        find("saleFirstCheque", page).text = "5001";
        find("saleBank", page).text = "بنك فلسطين";
        find("saleDate", page).text = "2025-01-15";
        mouseClick(find("confirmSaleButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");

        compare(testSupport.value("SELECT status FROM units WHERE id=?", [ids.flat]), "sold");
        compare(testSupport.value("SELECT buyer_id FROM units WHERE id=?", [ids.flat]), ids.buyer);
        compare(testSupport.value("SELECT sale_price_actual FROM units WHERE id=?", [ids.flat]), 120000);
        compare(testSupport.count("SELECT id FROM installments WHERE buyer_id=? AND installment_amount=8000", [ids.buyer]), 12);
        compare(testSupport.value("SELECT MIN(due_date) FROM installments"), "2025-01-15");
        compare(testSupport.value("SELECT MAX(due_date) FROM installments"), "2025-12-15");
        compare(testSupport.count("SELECT id FROM cheques WHERE buyer_id=? AND status='pending' AND amount=8000", [ids.buyer]), 12);
        compare(testSupport.value("SELECT MIN(CAST(cheque_number AS INTEGER)) FROM cheques"), 5001);
        compare(testSupport.value("SELECT MAX(CAST(cheque_number AS INTEGER)) FROM cheques"), 5012);
        compare(testSupport.value("SELECT bank_name FROM cheques LIMIT 1"), "بنك فلسطين");
        compare(testSupport.value("SELECT amount FROM payments WHERE buyer_id=?", [ids.buyer]), 24000);
        compare(testSupport.value("SELECT balance FROM buyers WHERE id=?", [ids.buyer]), 96000);
        compare(find("buyerBalance", buyerCard(page, ids.buyer)).text, Format.amount(96000), "the register shows the new balance");

        // The sold unit is no longer offered.
        openFromCard(page, ids.buyer, "sellButton", "salesDialog");
        compare(unitBox.count, 1);
        compare(unitBox.currentEntry, null);
    }

    function test_cashSale() {
        const page = buyersPage();
        const ids = arrangeSale();
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "sellButton", "salesDialog");
        choose(find("saleUnitBox", page), unit => unit.id === ids.shop);
        choose(find("saleTypeBox", page), type => type === "كاش (نقدي)");
        compare(Number(find("salePaidNow", page).text), 85000, "the cash paid follows the price");
        verify(!find("saleCount", page).visible);
        find("salePrice", page).text = "84000";
        compare(find("salePaidNow", page).text, "84000");
        compare(dialog.monthly, 0);
        choose(find("saleTypeBox", page), type => type === "أقساط");
        compare(find("salePaidNow", page).text, "", "back on installments the down payment starts empty");
        compare(dialog.monthly, 84000 / 12);
        choose(find("saleTypeBox", page), type => type === "كاش (نقدي)");
        compare(find("salePaidNow", page).text, "84000");
        find("saleFirstCheque", page).text = "777";
        find("saleDate", page).text = "2025-02-01";
        mouseClick(find("confirmSaleButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [ids.shop]), "sold");
        compare(testSupport.count("installments"), 0);
        compare(testSupport.count("cheques"), 0, "a cash sale records no cheque");
        compare(testSupport.value("SELECT amount FROM payments WHERE buyer_id=?", [ids.buyer]), 84000);
        compare(testSupport.value("SELECT payment_date FROM payments"), "2025-02-01");
        compare(testSupport.value("SELECT balance FROM buyers WHERE id=?", [ids.buyer]), 0);
    }

    function test_refusedSalesAreToldAndLogged() {
        const page = buyersPage();
        const ids = arrangeSale();
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "sellButton", "salesDialog");
        mouseClick(find("confirmSaleButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "اختر الوحدة المباعة");

        choose(find("saleUnitBox", page), unit => unit.id === ids.flat);
        find("salePaidNow", page).text = "130000";
        mouseClick(find("confirmSaleButton", page));
        compare(notice.text, "قيمة «الدفعة الأولى (مقدم)» أكبر من سعر البيع الإجمالي");
        find("salePaidNow", page).text = "20000";
        find("saleCount", page).text = "ثلاثة";
        mouseClick(find("confirmSaleButton", page));
        compare(notice.text, "أدخل في حقل «عدد الأقساط» عدداً صحيحاً من 1 فأكثر (حتى 1200)");
        find("saleCount", page).text = "10";
        find("salePrice", page).text = "abc";
        mouseClick(find("confirmSaleButton", page));
        compare(notice.text, "أدخل في حقل «سعر البيع الإجمالي» رقماً أكبر من صفر");
        find("salePrice", page).text = "120000";
        find("saleDate", page).text = "2025-02-30";
        mouseClick(find("confirmSaleButton", page));
        verify(notice.text.indexOf("YYYY-MM-DD") > 0, notice.text);
        compare(testSupport.count("installments"), 0, "nothing sent");
        verify(dialog.visible);

        // Sold elsewhere while the dialog was open: the back end refuses, the user is told.
        compare(installmentModel.sellUnit(ids.buyer, ids.flat, 100000, 100000, 0, "2025-01-01", 1, "", ""), 1);
        find("saleDate", page).text = "2025-03-01";
        mouseClick(find("confirmSaleButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("A-12 مباعة") > 0, notice.text);
        verify(dialog.visible, "the dialog stays open");
        compare(find("salePrice", page).text, "120000", "with its input");
        compare(testSupport.value("SELECT details FROM audit_logs WHERE action='خطأ' ORDER BY id DESC LIMIT 1"), "فشل البيع: " + installmentModel.lastError);
        compare(testSupport.value("SELECT record_id FROM audit_logs WHERE action='خطأ' ORDER BY id DESC LIMIT 1"), ids.flat);
        compare(testSupport.value("SELECT user_id FROM audit_logs WHERE action='خطأ' ORDER BY id DESC LIMIT 1"), testSupport.value("SELECT id FROM users WHERE username='admin'"), "under the user who tried");
        compare(testSupport.count("installments"), 0);
        compare(testSupport.value("SELECT sale_price_actual FROM units WHERE id=?", [ids.flat]), 100000, "the first sale stands");
    }

    function test_collectingAnInstallment() {
        const page = buyersPage();
        const ids = arrangeSale();
        compare(installmentModel.sellUnit(ids.buyer, ids.flat, 3000, 0, 3, "2025-01-10", 1, "7001", "بنك القدس"), 1);
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "scheduleButton", "scheduleDialog");
        compare(dialog.title, "جدول الأقساط - نادر المصري");
        const list = find("scheduleList", page);
        compare(list.count, 3);
        compare(list.recordAt(0).due_date, "2025-03-10", "the latest due first");
        const first = list.recordAt(2);
        compare(first.due_date, "2025-01-10");

        tryVerify(() => list.view.itemAtIndex(2) !== null);
        mouseClick(find("collectButton", list.view.itemAtIndex(2)));
        const collect = find("collectDialog", page);
        waitOpened(collect);
        compare(Number(find("collectAmount", page).text), 1000, "the open amount is offered");

        find("collectAmount", page).text = "1000.02";
        mouseClick(find("confirmCollectButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("أكبر من المتبقي على القسط") > 0, notice.text);
        verify(collect.visible);
        compare(testSupport.count("payments"), 0, "an overpaid installment is not sent");

        find("collectAmount", page).text = "400";
        mouseClick(find("confirmCollectButton", page));
        waitClosed(collect);
        compare(testSupport.value("SELECT status FROM installments WHERE id=?", [first.id]), "partial");
        compare(testSupport.value("SELECT paid_amount FROM installments WHERE id=?", [first.id]), 400);
        compare(testSupport.value("SELECT status FROM cheques WHERE installment_id=?", [first.id]), "pending", "400 does not cover the cheque of 1000");
        compare(testSupport.value("SELECT balance FROM buyers WHERE id=?", [ids.buyer]), 2600);
        compare(list.recordAt(2).status, "partial", "the schedule is read again");

        // The rest of it: the open amount is offered this time.
        tryVerify(() => list.view.itemAtIndex(2) !== null);
        mouseClick(find("collectButton", list.view.itemAtIndex(2)));
        waitOpened(collect);
        compare(Number(find("collectAmount", page).text), 600);
        mouseClick(find("confirmCollectButton", page));
        waitClosed(collect);
        compare(testSupport.value("SELECT status FROM installments WHERE id=?", [first.id]), "paid");
        compare(testSupport.count("SELECT id FROM payments WHERE buyer_id=?", [ids.buyer]), 2);
        compare(testSupport.value("SELECT SUM(amount) FROM payments WHERE buyer_id=?", [ids.buyer]), 1000);
        compare(testSupport.value("SELECT balance FROM buyers WHERE id=?", [ids.buyer]), 2000);
        tryVerify(() => list.view.itemAtIndex(2) !== null);
        const paidRow = list.view.itemAtIndex(2);
        compare(find("installmentStatus", paidRow).label, "مدفوع");
        verify(!find("collectButton", paidRow).visible, "nothing left to collect");
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);
        compare(find("buyerBalance", buyerCard(page, ids.buyer)).text, Format.amount(2000));
    }

    function test_addingAnInstallmentByHand() {
        const page = buyersPage();
        const ids = arrangeSale();
        compare(installmentModel.sellUnit(ids.buyer, ids.flat, 3000, 0, 3, "2025-01-10", 1, "", ""), 1);
        page.refresh();
        openFromCard(page, ids.buyer, "scheduleButton", "scheduleDialog");
        mouseClick(find("addInstallmentButton", page));
        const dialog = find("addInstallmentDialog", page);
        waitOpened(dialog);
        const unitBox = find("addInstallmentUnitBox", page);
        compare(unitBox.count, 1, "only the buyer's own units");
        compare(unitBox.currentEntry.id, ids.flat);

        find("addInstallmentAmount", page).text = "0";
        mouseClick(find("saveInstallmentButton", page));
        compare(notice.text, "أدخل في حقل «قيمة القسط» رقماً أكبر من صفر");
        find("addInstallmentAmount", page).text = "250";
        find("addInstallmentDue", page).text = "15/04/2025";
        mouseClick(find("saveInstallmentButton", page));
        verify(notice.text.indexOf("YYYY-MM-DD") > 0);
        verify(dialog.visible);
        compare(testSupport.count("installments"), 3);

        find("addInstallmentDue", page).text = "2025-04-15";
        mouseClick(find("saveInstallmentButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT installment_amount FROM installments WHERE due_date='2025-04-15'"), 250);
        compare(testSupport.value("SELECT unit_id FROM installments WHERE due_date='2025-04-15'"), ids.flat);
        compare(testSupport.value("SELECT balance FROM buyers WHERE id=?", [ids.buyer]), 3250);
        const list = find("scheduleList", page);
        compare(list.count, 4);
        compare(list.recordAt(0).due_date, "2025-04-15");
    }

    function test_aBuyersCheque() {
        const page = buyersPage();
        const ids = arrangeSale();
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "chequeButton", "buyerChequeDialog");
        compare(dialog.title, "تسجيل شيك من: نادر المصري");
        compare(find("buyerChequeDue", page).text, Format.today());
        find("buyerChequeNumber", page).text = "339";
        find("buyerChequeBank", page).text = "البنك العربي";
        find("buyerChequeAmount", page).text = "عشرة";
        mouseClick(find("saveBuyerChequeButton", page));
        compare(notice.text, "أدخل في حقل «المبلغ» رقماً أكبر من صفر");
        verify(dialog.visible);
        compare(testSupport.count("cheques"), 0);

        find("buyerChequeAmount", page).text = "1,500";
        find("buyerChequeDue", page).text = "2025-06-30";
        mouseClick(find("saveBuyerChequeButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT amount FROM cheques WHERE cheque_number='339'"), 1500);
        compare(testSupport.value("SELECT buyer_id FROM cheques WHERE cheque_number='339'"), ids.buyer);
        compare(testSupport.value("SELECT payer_name FROM cheques WHERE cheque_number='339'"), "نادر المصري");
        compare(testSupport.value("SELECT type FROM cheques WHERE cheque_number='339'"), "received");
        compare(testSupport.value("SELECT due_date FROM cheques WHERE cheque_number='339'"), "2025-06-30");
        compare(testSupport.value("SELECT currency_id FROM cheques WHERE cheque_number='339'"), testSupport.value("SELECT id FROM currencies WHERE is_primary=1"));
    }

    function test_statementAndWhatItPrints() {
        const page = buyersPage();
        const ids = arrangeSale();
        compare(installmentModel.sellUnit(ids.buyer, ids.flat, 3000, 0, 3, "2025-01-10", 1, "", ""), 1);
        const first = testSupport.value("SELECT id FROM installments WHERE due_date='2025-01-10'");
        verify(installmentModel.payInstallment(first, 1000));
        page.refresh();
        const dialog = openFromCard(page, ids.buyer, "statementButton", "buyerStatementDialog");
        compare(dialog.statement.length, 3);
        compare(find("statementList", page).count, 3);
        compare(find("balanceCard", dialog.contentItem).value, Format.amount(2000));

        // Printed: one line per installment with the balance owed after it, and the totals.
        const transactions = dialog.transactions();
        compare(transactions.length, 3);
        compare(transactions[0].date, "2025-01-10");
        compare(transactions[0].description, "قسط - وحدة A-12 (برج الياسمين)");
        compare(transactions[0].amount, Format.amount(1000));
        compare(transactions[0].balance, Format.amount(0));
        compare(transactions[2].balance, Format.amount(2000));
        const totals = dialog.totals();
        compare(totals["إجمالي قيمة الأقساط"], Format.amount(3000));
        compare(totals["إجمالي المسدد"], Format.amount(1000));
        compare(totals["المتبقي الكلي"], Format.amount(2000));

        // A collection made meanwhile shows at the next opening.
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);
        const second = testSupport.value("SELECT id FROM installments WHERE due_date='2025-02-10'");
        verify(installmentModel.payInstallment(second, 500));
        openFromCard(page, ids.buyer, "statementButton", "buyerStatementDialog");
        compare(dialog.totalCredit, 1500);
    }
}
