import QtQuick
import QtTest
import Darvelinto

// The dashboard, on 2025-06-15: its figures follow the office, the chart shows the real takings,
// and each alert leads to the page that deals with it and goes once its cause is settled.
AppTestCase {
    name: "Dashboard"

    // Logs in with today pinned (the pages take their dates from it when they are made).
    function logInOnAPinnedDay() {
        openApp(false);
        testSupport.setToday("2025-06-15");
        const frame = login("admin", "qorvu");
        compare(frame.objectName, "mainApp");
        return frame;
    }

    function value(page, name) {
        return find(name, page).value;
    }

    function test_figuresAndTheChart() {
        logInOnAPinnedDay();
        const ids = office();
        for (const [period, total, paid] of [["2024-12", 99999, [["2024-12-31", 99999]]], ["2025-02", 6000, [["2025-02-03", 4000], ["2025-02-20", 2000]]], ["2025-04", 1500, [["2025-04-11", 1500]]], ["2025-06", 3000, [["2025-06-01", 3000]]]]) {
            const id = invoice(ids.sami, ids.units[0], period, total);
            for (const [date, amount] of paid)
                verify(paymentModel.add(id, ids.sami, amount, "cash", date, "", 1) > 0);
        }
        showPage(1);
        const page = showPage(0);
        compare(value(page, "cardProperties"), "1");
        compare(value(page, "cardTenants"), "2", "renting now");
        compare(value(page, "cardOccupancy"), "66.7%", "two of three units let");
        compare(find("ringValue", page).text, "67%");
        compare(find("occupancyRing", page).sweepAngle, 240, "the arc covers two thirds of the ring");
        compare(value(page, "cardRevenue"), Format.amount(3000), "this month's takings");
        compare(page.collectionBars.map(bar => bar.value), [0, 6000, 0, 1500, 0, 3000], "January to June");
        compare(find("collectionChart", page).maxValue, 6000, "the best month fills the chart");
        const list = find("recentPaymentsList", page);
        tryVerify(() => find("paymentTenant", list) !== null);
        compare(find("paymentTenant", list).text, "سامي خليل");
        compare(find("paymentAmount", list).text, Format.amount(3000), "the latest first");
    }

    function test_alertsLeadToTheirPagesAndGoWhenSettled() {
        const frame = logInOnAPinnedDay();
        const ids = office();
        const overdue = invoice(ids.layla, ids.units[1], "2025-05", 1200);
        verify(testSupport.exec("UPDATE invoices SET due_date='2025-06-01' WHERE id=?", [overdue]));
        verify(contractModel.add(ids.units[2], ids.omar, "2024-07-01", "2025-06-30", 900, "monthly", 0, 1) > 0);
        const buyer = buyerModel.add("رامي عودة", "", "", "", "");
        const villa = unitModel.add(ids.property, "201", 2, 100, 3, 0, 0, 3000, 1);
        compare(installmentModel.sellUnit(buyer, villa, 3000, 0, 3, "2025-06-15", 1, "", ""), 1);
        showPage(1);
        const page = showPage(0);
        const pages = {"payment_due": 3, "rent_invoice": 5, "contract": 2};
        compare(page.alerts.map(alert => alert.type).sort(), Object.keys(pages).sort());
        for (let i = 0; i < page.alerts.length; ++i) {
            showPage(0);
            const type = page.alerts[i].type;
            mouseClick(find("followAlertButton", find("alertRow_" + i, page)));
            compare(frame.currentIndex, pages[type], type);
            compare(find("sideBar", frame).currentIndex, pages[type], "the side bar follows");
        }
        verify(paymentModel.add(overdue, ids.layla, 1200, "cash", "2025-06-15", "", 1) > 0);
        showPage(0);
        compare(page.alerts.map(alert => alert.type).sort(), ["contract", "payment_due"], "the paid invoice's alert is gone");
    }
}
