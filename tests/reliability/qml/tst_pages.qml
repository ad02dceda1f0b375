import QtQuick
import QtTest
import "../../qml"

// Stored names and texts carrying markup, quotes and line breaks, shown by the real pages of the
// main frame after log-in: wherever a page shows one, it must show it as typed (the same lines and
// width as plain text), never rendered as markup (an <img> would load a file).
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

    // Tenants' names as a clerk might paste them.
    readonly property var hostileNames: ["O'Brien \"Bob\" <b>Bold</b> & Co", "<img src=\"file:///etc/hostname\" width=\"400\"> صورة", "أحمد\nعلي", "<script>alert('x')</script>", "مؤسسة \"النور\" &amp; شركاه <i>", "=HYPERLINK(\"http://x\")", "<font color=\"red\" size=\"7\">Red</font> 🏠"]

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
        const item = {"description": hostile("بند"), "type": "service", "quantity": 1, "unit_price": 300, "total": 300};
        const invoice = invoiceModel.createInvoice(tenant, rented, "2025-02", [item], 1);
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
        const line = (account, debit, credit) => ({"account_id": account, "debit": debit, "credit": credit, "description": hostile("سطر")});
        verify(accountModel.createJournalEntry("2025-02-10", hostile("قيد"), "manual", 0, [line(2, 50, 0), line(8, 0, 50)]) > 0, "journal entry");
        for (const name of hostileNames)
            verify(tenantModel.add(name, "", "", "", "") > 0, name);
        verify(settingsManager.updateCompanyProfile(hostile("شركة"), hostile("هاتف"), hostile("عنوان"), hostile("بريد")), "company profile");
    }

    // Every visible Text under `root` that shows a stored text: one with markup, an entity or a line break.
    function hostileTexts(root) {
        const found = [];
        const queue = [root];
        while (queue.length > 0) {
            const item = queue.shift();
            if (!item)
                continue;
            if (item.textFormat !== undefined && typeof item.text === "string" && /[<&\n]/.test(item.text) && item.visible)
                found.push(item);
            for (let i = 0; item.children && i < item.children.length; ++i)
                queue.push(item.children[i]);
        }
        return found;
    }

    function test_pagesShowStoredMarkupAsTyped_data() {
        // Pages and the tabs that list stored texts; the settings page shows them only in its
        // input fields (always plain).
        return [[0], [1], [2], [3], [4], [4, "accountingTab1"], [4, "accountingTab2"], [5], [6], [7], [8], [9, "reportTab3"], [9, "reportTab4"], [9, "reportTab5"]].map(([index, tab]) => ({
                    "tag": "page " + index + (tab ? " " + tab : ""),
                    "index": index,
                    "tab": tab
                }));
    }

    function test_pagesShowStoredMarkupAsTyped(data) {
        openApp(false);
        storeHostileOffice();
        const frame = login("admin", "qorvu");
        compare(frame.objectName, "mainApp");
        const page = showPage(data.index);
        if (data.tab)
            mouseClick(find(data.tab, page));
        waitForRendering(page);
        let shown = [];
        tryVerify(() => (shown = hostileTexts(page)).some(item => item.text.indexOf(tag) >= 0), 3000, "the page shows a stored name");
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
