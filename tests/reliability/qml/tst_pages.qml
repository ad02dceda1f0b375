import QtQuick
import QtTest
import "../../qml"

// Stored names and texts carrying markup, shown by the real pages of the main frame after log-in:
// wherever a page shows one, it must show it as typed (the same lines and width as plain text),
// never rendered as markup.
AppTestCase {
    id: testCase
    name: "HostileNamesOnPages"

    // Every stored text below carries this tag; a page rendering markup would swallow it.
    readonly property string tag: "<b>"

    Component {
        id: reference
        Text {
            textFormat: Text.PlainText
        }
    }

    function hostile(what) {
        return "<b>" + what + "</b> \"" + what + "\" & <i>x</i>";
    }

    // One of everything, each named with markup: the pages list them all.
    function storeHostileOffice() {
        testSupport.setToday("2025-03-10");
        const property = propertyModel.add(hostile("عقار"), "mixed", hostile("عنوان"), hostile("مدينة"), "");
        verify(property > 0, "property");
        const rented = unitModel.add(property, hostile("وحدة"), 1, 100, 3, 1000, 0, 0, 1);
        const sold = unitModel.add(property, hostile("مباعة"), 2, 100, 3, 0, 0, 90000, 1);
        verify(rented > 0 && sold > 0, "units");
        const tenant = tenantModel.add(hostile("مستأجر"), "1001", hostile("هاتف"), "", hostile("عنوان"));
        verify(tenant > 0, "tenant");
        verify(contractModel.add(rented, tenant, "2025-01-01", "2025-12-31", 1000, "monthly", 0, 1) > 0, "contract");
        const invoice = invoiceModel.createInvoice(tenant, rented, "2025-02", [{
                    "description": hostile("بند"),
                    "type": "service",
                    "quantity": 1,
                    "unit_price": 300,
                    "total": 300
                }], 1);
        verify(invoice > 0, "invoice");
        verify(paymentModel.add(invoice, tenant, 100, "cash", "2025-02-05", hostile("مرجع"), 1) > 0, "payment");
        const buyer = buyerModel.add(hostile("مشتري"), "2001", hostile("هاتف"), "", "");
        verify(buyer > 0, "buyer");
        compare(installmentModel.sellUnit(buyer, sold, 90000, 9000, 3, "2025-01-15", 1, hostile("شيك"), hostile("بنك")), 1, "sale");
        verify(chequeModel.add(hostile("رقم"), "received", 500, hostile("بنك"), "2025-03-20", hostile("ساحب"), 1, 1, 0, tenant) > 0, "cheque");
        verify(maintenanceModel.add(rented, property, hostile("صيانة"), hostile("وصف"), "high") > 0, "request");
        const contractor = expenseModel.addContractor(hostile("مقاول"), hostile("هاتف"), hostile("حرفة"));
        verify(contractor > 0, "contractor");
        verify(expenseModel.add(property, rented, contractor, hostile("فئة"), hostile("عمل"), hostile("وصف"), 200, "2025-02-10", 1) > 0, "expense");
        // Near the top of the chart, which is longer than the page is high.
        verify(accountModel.add("1050", hostile("حساب"), "asset", 1) > 0, "account");
        verify(accountModel.createJournalEntry("2025-02-10", hostile("قيد"), "manual", 0, [{
                        "account_id": 2,
                        "debit": 50,
                        "credit": 0,
                        "description": hostile("سطر")
                    }, {
                        "account_id": 8,
                        "debit": 0,
                        "credit": 50,
                        "description": hostile("سطر")
                    }]) > 0, "journal entry");
        verify(settingsManager.updateCompanyProfile(hostile("شركة"), hostile("هاتف"), hostile("عنوان"), hostile("بريد")), "company profile");
    }

    // Every visible Text under `root` that shows one of the stored texts.
    function hostileTexts(root) {
        const found = [];
        const queue = [root];
        while (queue.length > 0) {
            const item = queue.shift();
            if (!item)
                continue;
            if (item.textFormat !== undefined && typeof item.text === "string" && item.text.indexOf(tag) >= 0 && item.visible)
                found.push(item);
            for (let i = 0; item.children && i < item.children.length; ++i)
                queue.push(item.children[i]);
        }
        return found;
    }

    function test_pagesShowStoredMarkupAsTyped_data() {
        // The reports page shows stored names only once a report is chosen, the settings page only
        // in its input fields (always plain): both are left out.
        return [0, 1, 2, 3, 4, 5, 6, 7, 8].map(index => ({
                    "tag": "page " + index,
                    "index": index
                }));
    }

    function test_pagesShowStoredMarkupAsTyped(data) {
        openApp(false);
        storeHostileOffice();
        const frame = login("admin", "qorvu");
        compare(frame.objectName, "mainApp");
        const page = showPage(data.index);
        waitForRendering(page);
        let shown = [];
        tryVerify(() => (shown = hostileTexts(page)).length > 0, 3000, "the page shows a stored name");
        const rendered = [];
        for (const item of shown) {
            const plain = createTemporaryObject(reference, testCase, {
                "text": item.text,
                "font": item.font,
                "wrapMode": item.wrapMode,
                "leftPadding": item.leftPadding,
                "rightPadding": item.rightPadding
            });
            if (item.lineCount !== plain.lineCount || Math.abs(item.implicitWidth - plain.implicitWidth) > 0.5)
                rendered.push(JSON.stringify(item.text) + " in " + item.parent + " (" + item.implicitWidth + " against " + plain.implicitWidth + ")");
        }
        compare(rendered, [], "texts rendered as markup");
    }
}
