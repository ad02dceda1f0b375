import QtQuick
import QtTest
import Darvelinto

// The dashboard in the real window: its figures follow what was done on other pages, the chart
// shows the real takings, the ring is proportional to occupancy and each alert leads to the page
// that deals with it.
AppTestCase {
    name: "Dashboard"

    readonly property string today: "2025-06-15"

    // Logs in on a fresh database with today pinned (a fresh database returns to the real date).
    // The pages are made at log-in and take their dates from the pinned day.
    function logInOnAPinnedDay() {
        openApp(false);
        testSupport.setToday(today);
        const frame = login("admin", "qorvu");
        compare(frame.objectName, "mainApp");
        return frame;
    }

    // Comes back to the dashboard from another page, as a user would, so it reads everything again.
    function showDashboard() {
        showPage(1);
        return showPage(0);
    }

    function text(page, name) {
        return find(name, page).value;
    }

    // A property with three units, one let to "سامي خليل" with this month's rent invoice open.
    function arrangeOffice() {
        const propertyId = propertyModel.add("برج النخيل", "residential", "شارع الإرسال", "رام الله", "");
        const units = [];
        for (let i = 1; i <= 3; ++i)
            units.push(unitModel.add(propertyId, "10" + i, 1, 100, 3, 1500, 18000, 0, 1));
        const tenant = tenantModel.add("سامي خليل", "401234567", "0599123456", "", "");
        verify(contractModel.add(units[0], tenant, "2025-01-01", "2025-12-31", 1500, "monthly", 0, 1) > 0);
        const invoice = invoiceModel.createInvoice(tenant, units[0], "2025-06", [{
                    "description": "إيجار حزيران",
                    "type": "rent",
                    "quantity": 1,
                    "unit_price": 1500,
                    "total": 1500
                }], 1);
        verify(invoice > 0);
        return {
            "propertyId": propertyId,
            "units": units,
            "tenant": tenant,
            "invoice": invoice
        };
    }

    function test_anEmptyOffice() {
        const frame = logInOnAPinnedDay();
        compare(frame.currentIndex, 0, "the dashboard is the first page");
        const page = showDashboard();
        compare(text(page, "cardProperties"), "0");
        compare(text(page, "cardTenants"), "0");
        compare(text(page, "cardOccupancy"), "0%");
        compare(text(page, "cardRevenue"), Format.amount(0));
        verify(!find("alertsPanel", page).visible, "no alerts, no panel");
        compare(page.collectionBars.length, 6);
        compare(page.collectionBars.map(bar => bar.value), [0, 0, 0, 0, 0, 0]);
        compare(page.collectionBars.map(bar => bar.label), ["يناير", "فبراير", "مارس", "أبريل", "مايو", "يونيو"]);
        compare(find("occupancyRing", page).sweepAngle, 0);
        compare(find("ringValue", page).text, "0%");
    }

    function test_figuresAfterAPaymentOnAnotherPage() {
        const frame = logInOnAPinnedDay();
        const office = arrangeOffice();
        showPage(5);
        // What the payments page records when the user takes the rent.
        verify(paymentModel.add(office.invoice, office.tenant, 1500, "cash", "2025-06-10", "REC-77", 1) > 0);
        const page = showDashboard();

        compare(text(page, "cardProperties"), "1");
        compare(text(page, "cardTenants"), "1");
        compare(text(page, "cardOccupancy"), "33.3%", "one of three units let");
        compare(text(page, "cardRevenue"), Format.amount(1500));
        compare(find("ringValue", page).text, "33%");
        compare(find("occupancyRing", page).sweepAngle, 120, "the arc covers a third of the ring");

        compare(page.recentPayments.length, 1);
        const list = find("recentPaymentsList", page);
        tryVerify(() => find("paymentTenant", list) !== null);
        compare(find("paymentTenant", list).text, "سامي خليل");
        compare(find("paymentAmount", list).text, Format.amount(1500));

        // The same amount reads the same on every page that shows it: grouped, two decimals, the
        // currency's own symbol.
        const written = "\u20661,500.00\u2069 ₪";
        compare(find("paymentAmount", list).text, written, "dashboard");
        const payments = showPage(5);
        const paymentList = find("paymentList", payments);
        tryVerify(() => paymentList.view.itemAtIndex(0) !== null);
        compare(find("amountCell", paymentList.view.itemAtIndex(0)).text, written, "payments page");
        showPage(9);
        compare(find("revenueCard", frame.page(9)).value, written, "reports page");

        const bars = page.collectionBars;
        compare(bars[5].label, "يونيو");
        compare(bars[5].value, 1500, "this month's bar is the payment");
        compare(find("collectionChart", page).maxValue, 1500, "the best month fills the chart");
        verify(!find("alertsPanel", page).visible, "the paid invoice raises no alert");
    }

    function test_theChartIsScaledToTheBestMonth() {
        const frame = logInOnAPinnedDay();
        for (const payment of [["2025-02-03", 4000], ["2025-02-20", 2000], ["2025-04-11", 1500], ["2025-06-01", 3000], ["2024-12-31", 99999]])
            verify(testSupport.exec("INSERT INTO payments (amount, payment_date) VALUES (?, ?)", [payment[1], payment[0]]));
        const page = showDashboard();
        compare(page.collectionBars.map(bar => bar.value), [0, 6000, 0, 1500, 0, 3000]);
        verify(Qt.colorEqual(page.collectionBars[5].color, "#f59e0b"), "the current month stands out");
        verify(Qt.colorEqual(page.collectionBars[1].color, "#C5A059"));
        compare(find("collectionChart", page).maxValue, 6000);
        compare(text(page, "cardRevenue"), Format.amount(3000));
    }

    function test_alertsLeadToTheirPages() {
        const frame = logInOnAPinnedDay();
        const office = arrangeOffice();
        verify(testSupport.exec("UPDATE invoices SET due_date='2025-06-01' WHERE id=?", [office.invoice]));
        const ending = tenantModel.add("منى", "", "", "", "");
        verify(contractModel.add(office.units[1], ending, "2024-07-01", "2025-06-30", 1000, "monthly", 0, 1) > 0);
        const buyer = buyerModel.add("رامي عودة", "", "", "", "");
        verify(installmentModel.add(buyer, office.units[2], 90000, 10000, 5000, "2025-06-15", 1) > 0);
        const page = showDashboard();

        verify(find("alertsPanel", page).visible);
        const types = page.alerts.map(alert => alert.type);
        compare(types, ["payment_due", "rent_invoice", "contract"]);
        const expected = {
            "payment_due": 3,
            "rent_invoice": 5,
            "contract": 2
        };
        for (let i = 0; i < types.length; ++i) {
            showPage(0);
            const alertRow = find("alertRow_" + i, page);
            verify(alertRow, "row " + i);
            mouseClick(find("followAlertButton", alertRow));
            compare(frame.currentIndex, expected[types[i]], types[i]);
            compare(find("sideBar", frame).currentIndex, expected[types[i]], "the side bar follows");
        }
    }

    function test_alertsGoWhenTheirCauseIsSettled() {
        const frame = logInOnAPinnedDay();
        const office = arrangeOffice();
        verify(testSupport.exec("UPDATE invoices SET due_date='2025-06-01' WHERE id=?", [office.invoice]));
        let page = showDashboard();
        compare(page.alerts.length, 1);
        const row = find("alertRow_0", page);
        compare(row.modelData.title, "إيجار/فاتورة مستحقة: سامي خليل");
        compare(row.modelData.severity, "high", "due before today");
        verify(Qt.colorEqual(row.border.color, Theme.dangerColor), "a pressing alert is framed in red");
        mouseClick(find("followAlertButton", row));
        verify(paymentModel.add(office.invoice, office.tenant, 1500, "cash", "2025-06-15", "", 1) > 0);
        page = showDashboard();
        compare(page.alerts.length, 0);
        verify(!find("alertsPanel", page).visible);
    }

    function test_activityMaintenanceAndInsights() {
        const frame = logInOnAPinnedDay();
        const office = arrangeOffice();
        verify(auditMgr.log(1, "إضافة عقار", "properties", office.propertyId, "برج النخيل"));
        verify(maintenanceModel.add(office.units[0], office.propertyId, "تسريب في المطبخ", "", "high") > 0);
        const page = showDashboard();
        compare(page.auditLogs.length > 0, true);
        compare(page.auditLogs[0].action, "إضافة عقار");
        compare(page.recentMaint.length, 1);
        compare(page.recentMaint[0].title, "تسريب في المطبخ");
        compare(find("maintenanceList", page).count, 1);
        compare(find("insightList", page).count, 2, "the first two insight cards");
        compare(page.insights[0].title, "تحليل الإشغال");
    }
}
