import QtQuick
import QtTest
import Darvelinto

// Receipts from the pages: recording a payment offers its receipt, which is printed to a PDF; the
// payment's row prints it again, as a copy.
AppTestCase {
    name: "Receipts"

    function test_recordingAPaymentOffersItsReceipt() {
        loginAsAdmin();
        const ids = office();
        invoice(ids.sami, ids.units[0], "2025-03", 1250);
        const page = showPage(5);
        const dialog = openBy(find("addPaymentButton", page), "paymentDialog", page);
        choose(find("paymentTenantBox", page), row => row.id === ids.sami);
        choose(find("paymentMethodBox", page), method => method.value === "cheque");
        fill(page, {"paymentReference": "8841", "paymentBank": "بنك فلسطين"});
        mouseClick(find("confirmPaymentButton", page));
        waitClosed(dialog);

        const offer = find("receiptOffer", page);
        waitOpened(offer);
        mouseClick(find("printReceiptButton", page));
        waitClosed(offer);
        const opened = testSupport.openedFiles();
        compare(opened.length, 1);
        verify(opened[0].endsWith("Receipt_000001.pdf") && testSupport.fileExists(opened[0]), opened[0]);
        compare(testSupport.value("SELECT bank_name FROM payments"), "بنك فلسطين");

        // The row's button prints it again, as a copy.
        mouseClick(find("receiptButton", rowWhere(find("paymentList", page), p => p.amount === 1250)));
        compare(testSupport.openedFiles().length, 2);
        verify(testSupport.openedFiles()[1].endsWith("Receipt_000001_copy_1.pdf"));
        compare(testSupport.value("SELECT print_count FROM receipts"), 2);
    }
}
