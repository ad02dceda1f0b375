import QtQuick
import QtTest
import Darvelinto

// The reports page: the date range (checked first) drives the financial cards and the cheque
// report but not the balance figures; the analysis is copied and shared; every tab prints.
AppTestCase {
    name: "Reports"

    property int tower: 0

    // One project with a rented, a sold and an available unit; takings, expenses and cheques in
    // February-March and in May-July 2024; one overdue and one future installment.
    //   whole history: revenue 4500, expenses 1100, profit 3400
    //   2024-01-01 .. 2024-03-31: revenue 1500, expenses 400, profit 1100, cheque C-100 only
    //   balance: rent owed 500, installments owed 800 + 1000, cash 4500, assets 6800
    function arrange() {
        tower = propertyModel.add("برج النور", "residential", "نابلس", "نابلس", "");
        verify(tower > 0);
        const rented = unitModel.add(tower, "A1", 1, 120, 3, 2000, 0, 0, 1);
        const sold = unitModel.add(tower, "A2", 1, 150, 4, 0, 0, 150000, 1);
        verify(unitModel.add(tower, "A3", 2, 110, 3, 0, 0, 120000, 1) > 0);
        verify(testSupport.exec("UPDATE units SET status='rented' WHERE id=?", [rented]));
        verify(testSupport.exec("UPDATE units SET status='sold', sale_price_actual=150000 WHERE id=?", [sold]));
        verify(testSupport.exec("INSERT INTO tenants (full_name) VALUES ('سامر خليل')"));
        verify(testSupport.exec("INSERT INTO buyers (full_name) VALUES ('هالة يوسف')"));
        const tenant = testSupport.value("SELECT id FROM tenants");
        const buyer = testSupport.value("SELECT id FROM buyers");
        verify(testSupport.exec("INSERT INTO invoices (invoice_number, tenant_id, unit_id, total_amount, paid_amount, balance, status, due_date) VALUES ('INV-1', ?, ?, 2000, 1500, 500, 'partial', '2024-02-05')", [tenant, rented]));
        const invoice = testSupport.value("SELECT id FROM invoices");
        verify(testSupport.exec("INSERT INTO payments (invoice_id, tenant_id, unit_id, amount, payment_date) VALUES (?, ?, ?, 1500, '2024-02-10')", [invoice, tenant, rented]));
        verify(testSupport.exec("INSERT INTO payments (buyer_id, unit_id, amount, payment_date, notes) VALUES (?, ?, 3000, '2024-05-20', 'دفعة مقدمة / بيع وحدة: A2')", [buyer, sold]));
        verify(testSupport.exec("INSERT INTO expenses (property_id, category, amount, expense_date) VALUES (?, 'صيانة', 400, '2024-02-15')", [tower]));
        verify(testSupport.exec("INSERT INTO expenses (property_id, category, amount, expense_date) VALUES (?, 'تشغيل', 700, '2024-06-01')", [tower]));
        verify(testSupport.exec("INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, due_date, paid_amount, status) VALUES (?, ?, 150000, 1000, '2024-03-01', 200, 'partial')", [buyer, sold]));
        verify(testSupport.exec("INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, due_date, paid_amount, status) VALUES (?, ?, 150000, 1000, '2099-03-01', 0, 'pending')", [buyer, sold]));
        verify(testSupport.exec("INSERT INTO cheques (cheque_number, amount, due_date, status, currency_id) VALUES ('C-100', 500, '2024-02-20', 'pending', 1)"));
        verify(testSupport.exec("INSERT INTO cheques (cheque_number, amount, due_date, status, currency_id) VALUES ('C-200', 800, '2024-07-01', 'paid', 2)"));
    }

    function reportsPage() {
        loginAsAdmin();
        arrange();
        const page = showPage(9);
        waitIdle();
        return page;
    }

    function money(amount) {
        return Format.amount(amount);
    }

    function setRange(page, from, to) {
        find("fromField", page).text = from;
        find("toField", page).text = to;
        mouseClick(find("refreshButton", page));
    }

    function showTab(page, index) {
        mouseClick(find("reportTab" + index, page));
        waitIdle();
    }

    function figure(page, name) {
        return find("figureValue", find("balance_" + name, page)).text;
    }

    function compareBalanceFigures(page) {
        compare(figure(page, "receivables"), money(500));
        compare(figure(page, "installment_receivables"), money(1800));
        compare(figure(page, "total_assets"), money(6800));
        compare(figure(page, "cash"), money(4500), "cash on hand is the payments received, not the profit");
    }

    function test_theDateRangeDrivesTheCardsAndTheChequesNotTheBalance() {
        const page = reportsPage();
        setRange(page, "2024-01-01", "2024-03-31");
        compare(page.fromDate, "2024-01-01");
        showTab(page, 1);
        compare(find("revenueCard", page).value, money(1500));
        compare(find("expensesCard", page).value, money(400));
        compare(find("profitCard", page).value, money(1100));
        compareBalanceFigures(page);

        showTab(page, 5);
        const cheques = find("chequeList", page);
        compare(cheques.count, 1);
        compare(cheques.recordAt(0).cheque_number, "C-100");

        setRange(page, "", "");
        compare(cheques.count, 2, "no range: every cheque");
        showTab(page, 1);
        compare(find("revenueCard", page).value, money(4500));
        compare(find("expensesCard", page).value, money(1100));
        compare(find("profitCard", page).value, money(3400));
        compareBalanceFigures(page);

        setRange(page, "2024-05-01", "2024-07-31");
        compare(find("revenueCard", page).value, money(3000));
        compare(find("profitCard", page).value, money(2300));
        compareBalanceFigures(page);
        showTab(page, 5);
        compare(cheques.count, 1);
        compare(cheques.recordAt(0).cheque_number, "C-200");
        compare(find("chequeStatus", find("cheque_" + cheques.recordAt(0).id, page)).text, "تم الصرف");
    }

    function test_datesAreCheckedBeforeTheReportsReload() {
        const page = reportsPage();
        setRange(page, "2024-01-01", "2024-03-31");
        for (const bad of [["2024-13-01", "2024-03-31"], ["2024/01/01", "2024-03-31"], ["2024-02-30", ""], ["", "31-03-2024"], ["2024-1-1", "2024-03-31"]]) {
            setRange(page, bad[0], bad[1]);
            compare(notice.kind, "error", bad.join(" .. "));
            compare(notice.text, "اكتب التاريخ بالصيغة yyyy-MM-dd (مثال: 2024-01-31) أو اتركه فارغاً");
            compare(page.fromDate, "2024-01-01", "the range in force stays");
            compare(page.toDate, "2024-03-31");
        }
        setRange(page, "2024-04-01", "2024-03-31");
        compare(notice.text, "تاريخ البداية بعد تاريخ النهاية");
        showTab(page, 1);
        compare(find("revenueCard", page).value, money(1500), "the figures of the range in force");
        setRange(page, "2024-02-29", "2024-02-29");
        compare(page.fromDate, "2024-02-29", "a leap day is a date");
    }

    function test_theAnalysisIsShownCopiedAndShared() {
        const page = reportsPage();
        const text = find("analysisText", page).markdown;
        verify(text.indexOf("### تحليل ذكاء الأعمال (Darvelinto AI)") === 0, text);
        compare(find("occupancyValue", page).text, "66.7%", "two of three units rented or sold");
        compare(find("occupancyVerdict", page).text, "معدل متوسط");
        const chart = find("revenueChart", page);
        tryVerify(() => chart.data.length === 1, 5000, "the comparison arrives from beside the interface");
        compare(chart.data[0].label, "النور", "the word that tells the property apart");
        compare(chart.data[0].value, 1500);

        mouseClick(find("copyAnalysisButton", page));
        compare(notice.kind, "success");
        compare(notice.text, "تم نسخ التحليل");
        const pasteTarget = createTemporaryQmlObject("import QtQuick; TextEdit {}", this);
        pasteTarget.paste();
        verify(pasteTarget.text.indexOf("تحليل ذكاء الأعمال (Darvelinto AI)") === 0, pasteTarget.text);
        verify(pasteTarget.text.indexOf("**") < 0 && pasteTarget.text.indexOf("###") < 0, "copied as plain text");

        mouseClick(find("shareAnalysisButton", page));
        compare(notice.kind, "success");
        const opened = testSupport.openedFiles();
        compare(opened.length, 1);
        verify(opened[0].indexOf(testSupport.homeDir() + "/Documents/تقرير_الذكاء_الاصطناعي_") === 0, opened[0]);
        verify(/\.pdf$/.test(opened[0]));
    }

    function test_everyTabPrints() {
        const page = reportsPage();
        setRange(page, "", "");
        for (let tab = 0; tab < 6; ++tab) {
            showTab(page, tab);
            mouseClick(find("printButton", page));
            compare(notice.kind, "success", "tab " + tab);
            const opened = testSupport.openedFiles();
            compare(opened.length, tab + 1);
            const expected = testSupport.homeDir() + "/Documents/" + page.tabLabels[tab].replace(/ /g, "_") + "_";
            verify(opened[tab].indexOf(expected) === 0, opened[tab]);
            verify(notice.text.indexOf(opened[tab]) >= 0, "the notice names the file");
        }
        compare(testSupport.filesIn(testSupport.homeDir() + "/Documents").length, 6);
    }

    function test_projectUnitAndOverdueTabs() {
        const page = reportsPage();
        showTab(page, 2);
        let card = null;
        tryVerify(() => (card = find("projectCard_" + tower, page)) !== null);
        compare(find("soldPill", card).text, "1 / 3 وحدة مباعة");
        compare(card.figures.total_revenue, 150000);

        showTab(page, 3);
        const units = find("unitList", page);
        compare(units.count, 3);
        const statuses = [];
        for (let i = 0; i < units.count; ++i)
            statuses.push(find("unitStatus", find("unit_" + units.recordAt(i).id, page)).text);
        compare(statuses, ["مؤجرة", "مباعة", "متاحة"]);

        showTab(page, 4);
        const overdue = find("overdueList", page);
        compare(overdue.count, 1);
        compare(find("openAmount", find("overdue_" + overdue.recordAt(0).id, page)).text, money(800));
    }
}
