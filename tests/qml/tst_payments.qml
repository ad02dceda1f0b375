import QtQuick
import QtTest
import Darvelinto

// The payments page: a tenant's payment against the earliest-due open invoice, the refusals, and
// the list of tenants' and buyers' payments.
AppTestCase {
    name: "Payments"

    function test_aPaymentGoesToTheEarliestDueInvoice() {
        loginAsAdmin();
        const ids = office();
        const march = invoice(ids.sami, ids.units[0], "2025-03", 1500); // made first, due later
        const january = invoice(ids.sami, ids.units[0], "2025-01", 900);
        const page = showPage(5);
        const dialog = openBy(find("addPaymentButton", page), "paymentDialog", page);
        const invoiceBox = find("paymentInvoiceBox", page);
        const amount = find("paymentAmount", page);
        refusedClick(find("confirmPaymentButton", page), dialog); // no tenant
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.layla);
        refusedClick(find("confirmPaymentButton", page), dialog); // nothing owed
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.sami);
        compare(invoiceBox.currentEntry.id, january, "the earlier due date comes first");
        compare(Number(amount.text), 900, "its balance is offered");
        for (const bad of ["abc", "  ", "0", "-100", "10 20", "900.01"]) {
            amount.text = bad;
            refusedClick(find("confirmPaymentButton", page), dialog);
            compare(amount.text, bad, "with its input");
        }
        choose(invoiceBox, invoice => invoice.id === march);
        compare(Number(amount.text), 1500);

        choose(invoiceBox, invoice => invoice.id === january);
        amount.text = "400";
        find("paymentReference", page).text = "TR-55";
        choose(find("paymentMethodBox", page), method => method.value === "bank");
        doneClick(find("confirmPaymentButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT invoice_id || '|' || amount || '|' || payment_method || '|' || reference || '|' || payment_date FROM payments"), january + "|400.0|bank|TR-55|" + Format.today());
        compare(testSupport.value("SELECT balance FROM tenants WHERE id=?", [ids.sami]), 2000);
        const list = find("paymentList", page);
        compare(find("amountCell", rowWhere(list, p => p.invoice_id === january)).text, Format.amount(400));

        // Opened again: what is left is offered, and paying it all settles the invoice.
        openBy(find("addPaymentButton", page), "paymentDialog", page);
        compare(find("paymentReference", page).text, "", "the reference belonged to that payment only");
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.sami);
        compare(Number(amount.text), 500);
        doneClick(find("confirmPaymentButton", page));
        compare(testSupport.value("SELECT status FROM invoices WHERE id=?", [january]), "paid");
        openBy(find("addPaymentButton", page), "paymentDialog", page);
        choose(find("paymentTenantBox", page), tenant => tenant.id === ids.sami);
        compare(invoiceBox.count, 1, "a settled invoice is no longer offered");
    }

    function test_buyersPaymentsAreListedAmongTenants() {
        loginAsAdmin();
        const ids = office();
        const villa = propertyModel.add("فيلا الزيتون", "residential", "", "بيت لحم", "");
        const house = unitModel.add(villa, "B-7", 0, 250, 5, 0, 0, 300000, 1);
        const buyer = buyerModel.add("نادر المصري", "800100200", "", "", "");
        compare(installmentModel.sellUnit(buyer, house, 300000, 60000, 12, "2025-02-01", 1, "", ""), 1);
        verify(paymentModel.add(invoice(ids.sami, ids.units[0], "2025-03", 1500), ids.sami, 1500, "cash", "2025-03-05", "", 1) > 0);
        const page = showPage(5);
        const list = find("paymentList", page);
        compare(list.count, 2);
        compare(list.recordAt(0).tenant_name, "سامي خليل", "the latest date first");
        compare(find("partyCell", rowWhere(list, p => p.buyer_id === buyer)).text, "نادر المصري");
        const search = find("pagedListSearch", list);
        search.text = "الزيتون";
        search.accepted();
        compare(list.count, 1);
        compare(list.recordAt(0).amount, 60000);
    }
}
