import QtQuick
import QtTest
import Darvelinto

// The interface as one house: an amount reads the same on every page, a refusal reads as the back
// end gave it, and the keyboard reaches the pages, the search fields and the dialogs.
AppTestCase {
    name: "House"

    function test_anAmountReadsTheSameOnThreePages() {
        const frame = loginAsAdmin();
        const tenant = tenantModel.add("سامي خليل", "", "", "", "");
        const bill = invoice(tenant, 0, "2025-03", 2500.5);
        const payment = paymentModel.add(bill, tenant, 1250.25, "cash", "2025-03-05", "", 1);
        verify(tenant > 0 && payment > 0);
        const written = "\u20661,250.25\u2069 ₪";
        compare(Format.amount(1250.25), written);

        frame.page(0).refresh();
        compare(find("paymentAmount", find("recentPaymentsList", frame.page(0))).text, written, "dashboard");
        const payments = showPage(5);
        payments.refresh();
        compare(find("amountCell", rowWhere(find("paymentList", payments), row => row.id === payment, "payment")).text, written, "payments");
        const invoices = showPage(7);
        invoices.refresh();
        compare(find("balanceCell", rowWhere(find("invoiceList", invoices), row => row.id === bill, "invoice")).text, written, "invoices: what is left open");
    }

    function test_aRefusalReadsAsTheBackEndGaveIt() {
        loginAsAdmin();
        verify(buyerModel.add("نادر المصري", "800100200", "", "", "") > 0);
        const page = showPage(3);
        const dialog = find("addBuyerDialog", page);
        mouseClick(find("addBuyerButton", page));
        waitOpened(dialog);
        find("buyerName", page).text = "نادر آخر";
        find("buyerIdNumber", page).text = "800100200";
        mouseClick(find("saveBuyerButton", page));
        compare(notice.kind, "error");
        verify(buyerModel.lastError.indexOf("800100200") > 0, buyerModel.lastError);
        compare(notice.text, buyerModel.lastError);
        compare(testSupport.count("buyers"), 1, "nothing written");
        verify(dialog.visible, "the dialog stays open with its input");
    }

    function test_theKeyboardReachesPagesSearchAndDialogs() {
        const frame = loginAsAdmin();
        for (let i = 8; i >= 0; --i) {
            keyClick(Qt.Key_1 + i, Qt.ControlModifier);
            compare(frame.currentIndex, i, "Ctrl+" + (i + 1));
        }
        keyClick(Qt.Key_2, Qt.ControlModifier);
        keyClick(Qt.Key_F, Qt.ControlModifier);
        verify(find("searchInput", frame.page(1)).activeFocus, "Ctrl+F puts the cursor in the page's search");

        const page = frame.page(1);
        const dialog = find("addPropertyDialog", page);
        mouseClick(find("addPropertyButton", page));
        waitOpened(dialog);
        keyClick(Qt.Key_Escape);
        waitClosed(dialog);
        compare(testSupport.count("properties"), 0, "Escape closes without saving");

        mouseClick(find("addPropertyButton", page));
        waitOpened(dialog);
        const name = find("propertyNameField", page);
        name.text = "برج الكرمل";
        name.input.forceActiveFocus();
        keyClick(Qt.Key_Return);
        waitClosed(dialog);
        compare(testSupport.value("SELECT name FROM properties"), "برج الكرمل", "Enter saves");
    }
}
