import QtQuick
import QtTest
import Darvelinto

// The reports page: the date range (checked first) drives the financial cards and the cheque
// report but not the balance figures; the tabs' figures; the analysis copied and shared; every
// tab prints.
AppTestCase {
    name: "Reports"
    checkBooks: false // the office below is written as raw rows, for figures worked out by hand

    property int tower: 0

    // One project with a rented, a sold and an available unit; takings, expenses and cheques in
    // February-March and in May-July 2024; one overdue and one future installment.
    //   whole history: revenue 4500, expenses 1100, profit 3400
    //   2024-01-01 .. 2024-03-31: revenue 1500, expenses 400, profit 1100, cheque C-100 only
    //   balance: rent owed 500, installments owed 800 + 1000, cash 4500, assets 6800
    function reportsPage() {
        loginAsAdmin();
        tower = propertyModel.add("برج النور", "residential", "نابلس", "نابلس", "");
        const rented = unitModel.add(tower, "A1", 1, 120, 3, 2000, 0, 0, 1);
        const sold = unitModel.add(tower, "A2", 1, 150, 4, 0, 0, 150000, 1);
        verify(tower > 0 && unitModel.add(tower, "A3", 2, 110, 3, 0, 0, 120000, 1) > 0);
        const rows = ["UPDATE units SET status='rented' WHERE id=" + rented, "UPDATE units SET status='sold', sale_price_actual=150000 WHERE id=" + sold,
            "INSERT INTO tenants (id, full_name) VALUES (1, 'سامر خليل')", "INSERT INTO buyers (id, full_name) VALUES (1, 'هالة يوسف')",
            "INSERT INTO invoices (id, invoice_number, tenant_id, unit_id, total_amount, paid_amount, balance, status, due_date) VALUES (1, 'INV-1', 1, " + rented + ", 2000, 1500, 500, 'partial', '2024-02-05')",
            "INSERT INTO payments (invoice_id, tenant_id, unit_id, amount, payment_date) VALUES (1, 1, " + rented + ", 1500, '2024-02-10')",
            "INSERT INTO payments (buyer_id, unit_id, amount, payment_date) VALUES (1, " + sold + ", 3000, '2024-05-20')",
            "INSERT INTO expenses (property_id, category, amount, expense_date) VALUES (" + tower + ", 'صيانة', 400, '2024-02-15'), (" + tower + ", 'تشغيل', 700, '2024-06-01')",
            "INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, due_date, paid_amount, status) VALUES (1, " + sold + ", 150000, 1000, '2024-03-01', 200, 'partial'), (1, " + sold + ", 150000, 1000, '2099-03-01', 0, 'pending')",
            "INSERT INTO cheques (cheque_number, amount, due_date, status, currency_id) VALUES ('C-100', 500, '2024-02-20', 'pending', 1), ('C-200', 800, '2024-07-01', 'paid', 2)"];
        for (const sql of rows)
            verify(testSupport.exec(sql), sql);
        const page = showPage(9);
        waitIdle();
        return page;
    }

    function setRange(page, from, to) {
        fill(page, {"fromField": from, "toField": to});
        notice.dismiss();
        mouseClick(find("refreshButton", page));
    }

    function showTab(page, index) {
        mouseClick(find("reportTab" + index, page));
        waitIdle();
    }

    // Revenue, expenses and profit of the range, then receivables, installments owed, assets and
    // cash, which no range changes.
    function figures(page) {
        showTab(page, 1);
        return ["revenueCard", "expensesCard", "profitCard"].map(name => find(name, page).value).concat(["receivables", "installment_receivables", "total_assets", "cash"].map(name => find("figureValue", find("balance_" + name, page)).text));
    }

    function test_theRangeDrivesTheCardsAndTheChequesNotTheBalance() {
        const page = reportsPage();
        const balance = [500, 1800, 6800, 4500];
        for (const [from, to, flows, cheques] of [["2024-01-01", "2024-03-31", [1500, 400, 1100], ["C-100"]], ["", "", [4500, 1100, 3400], ["C-200", "C-100"]], ["2024-05-01", "2024-07-31", [3000, 700, 2300], ["C-200"]]]) {
            setRange(page, from, to);
            compare(figures(page), flows.concat(balance).map(amount => Format.amount(amount)), from + ".." + to);
            showTab(page, 5);
            compare(listed(find("chequeList", page), "cheque_number").sort(), cheques.sort());
        }
        // A wrong date is refused and the range in force stays.
        for (const bad of [["2024-13-01", "2024-03-31"], ["2024/01/01", ""], ["2024-02-30", ""], ["", "31-03-2024"], ["2024-04-01", "2024-03-31"]]) {
            setRange(page, bad[0], bad[1]);
            compare(notice.kind, "error", bad.join(".."));
            compare([page.fromDate, page.toDate], ["2024-05-01", "2024-07-31"]);
        }
        setRange(page, "2024-02-29", "2024-02-29");
        compare(page.fromDate, "2024-02-29", "a leap day is a date");
    }

    function test_theTabsFigures() {
        const page = reportsPage();
        showTab(page, 2);
        let card = null;
        tryVerify(() => (card = find("projectCard_" + tower, page)) !== null);
        compare(find("soldPill", card).text.match(/\d+/g), ["1", "3"], "one of three units sold");
        showTab(page, 3);
        compare(listed(find("unitList", page), "id").map(id => find("unitStatus", find("unit_" + id, page)).text), ["مؤجرة", "مباعة", "متاحة"]);
        showTab(page, 4);
        const overdue = find("overdueList", page);
        compare(overdue.count, 1);
        compare(find("openAmount", find("overdue_" + overdue.recordAt(0).id, page)).text, Format.amount(800));
    }

    function test_theAnalysisAndPrinting() {
        const page = reportsPage();
        compare(find("occupancyValue", page).text, "66.7%", "two of three units rented or sold");
        const chart = find("revenueChart", page);
        tryVerify(() => chart.data.length === 1, 5000, "the comparison arrives from beside the interface");
        compare(chart.data[0].value, 1500);
        doneClick(find("copyAnalysisButton", page));
        const pasted = createTemporaryQmlObject("import QtQuick; TextEdit {}", this);
        pasted.paste();
        verify(pasted.text.length > 0 && pasted.text.indexOf("**") < 0 && pasted.text.indexOf("###") < 0, "copied as plain text");
        doneClick(find("shareAnalysisButton", page));

        setRange(page, "", "");
        for (let tab = 0; tab < 6; ++tab) {
            showTab(page, tab);
            doneClick(find("printButton", page));
        }
        const documents = testSupport.filesIn(testSupport.homeDir() + "/Documents");
        compare(documents.length, 7, "the analysis and the six tabs");
        compare(testSupport.openedFiles().length, 7);
    }
}
