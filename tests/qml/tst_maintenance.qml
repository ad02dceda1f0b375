import QtQuick
import QtTest
import Darvelinto

// The maintenance page: status filters, raising a request, completing one with its cost.
AppTestCase {
    name: "Maintenance"

    // Requests on the office's units: a leak (new), a lift (in progress), a door (completed).
    function arrangeRequests() {
        const ids = office();
        ids.leak = maintenanceModel.add(ids.units[0], ids.property, "تسريب مياه في المطبخ", "", "high");
        ids.lift = maintenanceModel.add(ids.units[1], ids.property, "صيانة المصعد", "", "medium");
        ids.door = maintenanceModel.add(ids.units[1], ids.property, "دهان الباب الرئيسي", "", "low");
        verify(maintenanceModel.updateStatus(ids.lift, "in_progress") && maintenanceModel.complete(ids.door, 200));
        return ids;
    }

    function card(page, id) {
        return rowWhere(find("requestList", page), r => r.id === id, "request " + id);
    }

    function test_filtersThenANewRequestShowsTheFullList() {
        loginAsAdmin();
        const ids = arrangeRequests();
        const page = showPage(8);
        for (const [status, id] of [["completed", ids.door], ["new", ids.leak], ["in_progress", ids.lift]]) {
            mouseClick(find("filter_" + status, page));
            compare(page.requests.map(r => r.id), [id], status);
        }
        const dialog = openBy(find("addRequestButton", page), "requestDialog", page);
        choose(find("requestUnitBox", page), unit => unit.id === ids.units[2]);
        find("requestTitle", page).text = "   ";
        refusedClick(find("saveRequestButton", page), dialog);
        find("requestTitle", page).text = " انقطاع الكهرباء ";
        choose(find("requestPriorityBox", page), priority => priority.value === "high");
        doneClick(find("saveRequestButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT title || '|' || priority || '|' || status || '|' || property_id FROM maintenance_requests WHERE unit_id=?", [ids.units[2]]), "انقطاع الكهرباء|high|new|" + ids.property);
        compare(page.requests.length, 4, "the filter gives way to the full list");
    }

    function test_completingARequestBooksItsCostOnce() {
        loginAsAdmin();
        const ids = arrangeRequests();
        const page = showPage(8);
        verify(!find("completeButton", card(page, ids.door)).visible, "a completed request has no button");
        let dialog = openBy(find("completeButton", card(page, ids.leak)), "completeDialog", page);
        for (const bad of ["خمسون", "-1"]) {
            find("completionCost", page).text = bad;
            refusedClick(find("confirmCompletionButton", page), dialog);
        }
        find("completionCost", page).text = "350";
        doneClick(find("confirmCompletionButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT status || '|' || cost FROM maintenance_requests WHERE id=?", [ids.leak]), "completed|350.0");
        compare(testSupport.value("SELECT amount || '|' || property_id FROM expenses WHERE maintenance_id=?", [ids.leak]), "350.0|" + ids.property);
        const done = card(page, ids.leak);
        verify(!find("completeButton", done).visible);
        verify(find("costText", done).text.indexOf(Format.amount(350)) >= 0);

        // Completed meanwhile (another window, or a double click): told, and booked once only.
        dialog = openBy(find("completeButton", card(page, ids.lift)), "completeDialog", page);
        verify(maintenanceModel.complete(ids.lift, 90));
        find("completionCost", page).text = "120";
        refusedClick(find("confirmCompletionButton", page), dialog);
    }
}
