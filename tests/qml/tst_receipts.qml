import QtQuick
import QtTest
import Darvelinto

// Receipts from the pages: recording a payment offers its receipt, which is printed to a PDF; the
// payment's row prints it again, as a copy.
AppTestCase {
    name: "Receipts"

    function test_recordingAPaymentOffersItsReceipt() {
        loginAsAdmin();
        const page = showPage(5);
        const property = propertyModel.add("برج النخيل", "residential", "", "رام الله", "");
        const unit = unitModel.add(property, "101", 1, 120, 3, 1500, 0, 0, 1);
        const tenant = tenantModel.add("سامي خليل", "401234567", "0599000001", "", "");
        const invoice = invoiceModel.createInvoice(tenant, unit, "2025-03", [{
                    "description": "إيجار شهري",
                    "total": 1250
                }], 1);
        verify(invoice > 0);

        mouseClick(find("addPaymentButton", page));
        const dialog = find("paymentDialog", page);
        waitOpened(dialog);
        const tenantBox = find("paymentTenantBox", page);
        tenantBox.currentIndex = tenantBox.indexWhere(row => row.id === tenant);
        tenantBox.activated(tenantBox.currentIndex);
        const methodBox = find("paymentMethodBox", page);
        methodBox.currentIndex = methodBox.indexWhere(method => method.value === "cheque");
        find("paymentReference", page).text = "8841";
        find("paymentBank", page).text = "بنك فلسطين";
        mouseClick(find("confirmPaymentButton", page));
        waitClosed(dialog);

        const offer = find("receiptOffer", page);
        waitOpened(offer);
        mouseClick(find("printReceiptButton", page));
        waitClosed(offer);
        const opened = testSupport.openedFiles();
        compare(opened.length, 1);
        verify(opened[0].endsWith("Receipt_000001.pdf"), opened[0]);
        verify(testSupport.fileExists(opened[0]));
        compare(testSupport.value("SELECT bank_name FROM payments"), "بنك فلسطين");

        // The row's button prints it again, as a copy.
        const list = find("paymentList", page);
        tryVerify(() => list.view.itemAtIndex(0) !== null);
        mouseClick(find("receiptButton", list.view.itemAtIndex(0)));
        compare(testSupport.openedFiles().length, 2);
        verify(testSupport.openedFiles()[1].endsWith("Receipt_000001_copy_1.pdf"));
        compare(testSupport.value("SELECT print_count FROM receipts"), 2);
    }
}
