import QtQuick
import QtTest
import Darvelinto

// The payments page: recording a tenant's payment against the earlier-due open invoice, the
// refusals made before anything is sent, and the list of tenants' and buyers' payments.
AppTestCase {
    name: "Payments"

    // Sami owes two invoices: March (made first, due later) and January (made second, due
    // earlier); Layla owes one.
    function arrangeInvoices() {
        const property = propertyModel.add("برج النخيل", "residential", "", "رام الله", "");
        const unit = unitModel.add(property, "101", 1, 120, 3, 1500, 0, 0, 1);
        const sami = tenantModel.add("سامي خليل", "401234567", "0599000001", "", "");
        const layla = tenantModel.add("ليلى حسن", "402345678", "0599000002", "", "");
        verify(property > 0 && unit > 0 && sami > 0 && layla > 0);
        const march = invoiceModel.createInvoice(sami, unit, "2025-03", [
            {
                "description": "إيجار شهري",
                "total": 1500
            }
        ], 1);
        const january = invoiceModel.createInvoice(sami, unit, "2025-01", [
            {
                "description": "إيجار شهري",
                "total": 900
            }
        ], 1);
        const water = invoiceModel.createInvoice(layla, 0, "2025-03", [
            {
                "description": "مياه",
                "total": 60
            }
        ], 1);
        verify(march > 0 && january > 0 && water > 0);
        return {
            "unit": unit,
            "sami": sami,
            "layla": layla,
            "march": march,
            "january": january
        };
    }

    function paymentsPage() {
        loginAsAdmin();
        return showPage(5);
    }

    function openPaymentDialog(page) {
        mouseClick(find("addPaymentButton", page));
        const dialog = find("paymentDialog", page);
        waitOpened(dialog);
        return dialog;
    }

    function test_choosingATenantOffersTheEarlierDueInvoice() {
        const page = paymentsPage();
        const ids = arrangeInvoices();
        const dialog = openPaymentDialog(page);
        const tenantBox = find("paymentTenantBox", page);
        const invoiceBox = find("paymentInvoiceBox", page);
        compare(tenantBox.count, 2, "the tenants are read when the dialog opens");
        compare(tenantBox.currentIndex, -1);
        compare(tenantBox.displayText, "اختر مستأجراً...");
        verify(!find("invoiceSummary", page).visible);

        choose(tenantBox, tenant => tenant.id === ids.sami);
        compare(invoiceBox.count, 2);
        compare(invoiceBox.currentEntry.id, ids.january, "the earlier due date comes first");
        compare(Number(find("paymentAmount", page).text), 900, "its balance is offered as the amount");
        verify(find("invoiceSummary", page).visible);
        compare(find("summaryDue", page).text, "موعد الاستحقاق: " + Format.ltr("2025-01-28"));
        verify(invoiceBox.displayText.indexOf("| الفترة: " + Format.ltr("2025-01") + " | المتبقي: " + Format.amount(900)) > 0, invoiceBox.displayText);

        choose(invoiceBox, invoice => invoice.id === ids.march);
        compare(Number(find("paymentAmount", page).text), 1500);

        // Paying part of January: the invoice and the tenant's balance move together.
        choose(invoiceBox, invoice => invoice.id === ids.january);
        find("paymentAmount", page).text = "400";
        find("paymentReference", page).text = "TR-55";
        choose(find("paymentMethodBox", page), method => method.value === "bank");
        mouseClick(find("confirmPaymentButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");
        compare(testSupport.count("payments"), 1);
        compare(testSupport.value("SELECT amount FROM payments WHERE invoice_id=?", [ids.january]), 400);
        compare(testSupport.value("SELECT payment_method FROM payments"), "bank");
        compare(testSupport.value("SELECT reference FROM payments"), "TR-55");
        compare(testSupport.value("SELECT payment_date FROM payments"), Format.today());
        compare(testSupport.value("SELECT tenant_id FROM payments"), ids.sami);
        compare(testSupport.value("SELECT status FROM invoices WHERE id=?", [ids.january]), "partial");
        compare(testSupport.value("SELECT balance FROM invoices WHERE id=?", [ids.january]), 500);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 2000);
        compare(find("paymentReference", page).text, "", "the reference belonged to that payment only");

        const list = find("paymentList", page);
        compare(list.count, 1);
        compare(list.recordAt(0).tenant_name, "سامي خليل");
        tryVerify(() => list.view.itemAtIndex(0) !== null);
        compare(find("amountCell", list.view.itemAtIndex(0)).text, Format.amount(400));

        // Opening again starts with no choice, and the balance offered is the one left.
        openPaymentDialog(page);
        compare(tenantBox.currentIndex, -1);
        compare(invoiceBox.count, 0);
        choose(tenantBox, tenant => tenant.id === ids.sami);
        compare(invoiceBox.currentEntry.id, ids.january);
        compare(Number(find("paymentAmount", page).text), 500);
        verify(find("summaryPaid", page).text.indexOf(Format.amount(400)) > 0);
    }

    function test_anOverpaymentIsRefusedBeforeItIsSent() {
        const page = paymentsPage();
        const ids = arrangeInvoices();
        const dialog = openPaymentDialog(page);
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.sami);
        find("paymentAmount", page).text = "900.01";
        mouseClick(find("confirmPaymentButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("أكبر من المتبقي على الفاتورة") > 0, notice.text);
        verify(dialog.visible, "the dialog stays open");
        compare(find("paymentAmount", page).text, "900.01", "with its input");
        compare(testSupport.count("payments"), 0);
        compare(testSupport.value("SELECT balance FROM invoices WHERE id=?", [ids.january]), 900);
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 2400);

        // Exactly the balance settles the invoice.
        find("paymentAmount", page).text = "900";
        mouseClick(find("confirmPaymentButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT status FROM invoices WHERE id=?", [ids.january]), "paid");
        compare(testSupport.value("SELECT balance FROM invoices WHERE id=?", [ids.january]), 0);

        // A settled invoice is no longer offered.
        openPaymentDialog(page);
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.sami);
        compare(find("paymentInvoiceBox", page).count, 1);
        compare(find("paymentInvoiceBox", page).currentEntry.id, ids.march);
    }

    function test_anAmountMustBeANumberAboveZero_data() {
        return [
            {
                "tag": "letters only",
                "amount": "abc"
            },
            {
                "tag": "empty",
                "amount": "  "
            },
            {
                "tag": "zero",
                "amount": "0"
            },
            {
                "tag": "negative",
                "amount": "-100"
            },
            {
                "tag": "two numbers",
                "amount": "10 20"
            }
        ];
    }

    function test_anAmountMustBeANumberAboveZero(data) {
        const page = paymentsPage();
        const ids = arrangeInvoices();
        const dialog = openPaymentDialog(page);
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.layla);
        find("paymentAmount", page).text = data.amount;
        mouseClick(find("confirmPaymentButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل في حقل «المبلغ المدفوع» رقماً أكبر من صفر");
        verify(dialog.visible);
        compare(testSupport.count("payments"), 0);
    }

    function test_nothingIsSentWithoutTenantOrInvoice() {
        const page = paymentsPage();
        const ids = arrangeInvoices();
        const dialog = openPaymentDialog(page);
        mouseClick(find("confirmPaymentButton", page));
        compare(notice.text, "اختر المستأجر");
        // A tenant who owes nothing.
        const paid = tenantModel.add("خالد منصور", "409999999", "", "", "");
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);
        openPaymentDialog(page);
        choose(find("paymentTenantBox", page), tenant => tenant.id === paid);
        compare(find("paymentInvoiceBox", page).displayText, "لا توجد فواتير مستحقة");
        mouseClick(find("confirmPaymentButton", page));
        compare(notice.text, "لا توجد فواتير مستحقة على خالد منصور");
        compare(testSupport.count("payments"), 0);
        verify(ids.sami > 0);
    }

    function test_buyersPaymentsAreListedAmongTenants() {
        const page = paymentsPage();
        const ids = arrangeInvoices();
        const villa = propertyModel.add("فيلا الزيتون", "residential", "", "بيت لحم", "");
        const house = unitModel.add(villa, "B-7", 0, 250, 5, 0, 0, 300000, 1);
        const buyer = buyerModel.add("نادر المصري", "800100200", "0599111222", "", "");
        compare(installmentModel.sellUnit(buyer, house, 300000, 60000, 12, "2025-02-01", 1, "", ""), 1);
        verify(paymentModel.add(ids.march, ids.sami, 1500, "cash", "2025-03-05", "", 1) > 0);
        page.refresh();
        const list = find("paymentList", page);
        compare(list.count, 2);
        compare(list.recordAt(0).tenant_name, "سامي خليل", "the latest date first");
        compare(list.recordAt(1).buyer_name, "نادر المصري");
        tryVerify(() => list.view.itemAtIndex(1) !== null);
        compare(find("partyCell", list.view.itemAtIndex(1)).text, "نادر المصري");

        const search = find("pagedListSearch", list);
        search.text = "الزيتون";
        search.accepted();
        compare(list.count, 1);
        compare(list.recordAt(0).amount, 60000);
    }
}
