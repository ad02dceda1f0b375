import QtQuick
import QtTest
import Darvelinto

// The maintenance page: status filters, raising a request (after which the full list is shown
// again), completing one with its cost, and the checks made before anything is sent.
AppTestCase {
    name: "Maintenance"

    // Two units; requests: a leak (new), a lift (in progress), a repainted door (completed).
    function arrangeRequests() {
        const property = propertyModel.add("برج النخيل", "residential", "", "رام الله", "");
        const first = unitModel.add(property, "101", 1, 120, 3, 1500, 0, 0, 1);
        const second = unitModel.add(property, "102", 1, 95, 2, 1200, 0, 0, 1);
        verify(property > 0 && first > 0 && second > 0);
        const leak = maintenanceModel.add(first, property, "تسريب مياه في المطبخ", "", "high");
        const lift = maintenanceModel.add(second, property, "صيانة المصعد", "", "medium");
        const door = maintenanceModel.add(second, property, "دهان الباب الرئيسي", "", "low");
        verify(leak > 0 && lift > 0 && door > 0);
        verify(maintenanceModel.updateStatus(lift, "in_progress"));
        verify(maintenanceModel.complete(door, 200));
        return {
            "property": property,
            "first": first,
            "second": second,
            "leak": leak,
            "lift": lift,
            "door": door
        };
    }

    function maintenancePage() {
        loginAsAdmin();
        return showPage(8);
    }

    // The shown card of a request (the list reuses its delegates, so look it up by row).
    function card(page, id) {
        const row = page.requests.findIndex(request => request.id === id);
        verify(row >= 0, "request " + id + " is listed");
        const view = find("requestList", page);
        view.positionViewAtIndex(row, 0);
        let found = null;
        tryVerify(() => (found = view.itemAtIndex(row)) !== null, 2000, "card of request " + id);
        compare(found.modelData.id, id);
        return found;
    }

    function test_filterThenAddShowsTheFullList() {
        const page = maintenancePage();
        const ids = arrangeRequests();
        page.refresh();
        compare(page.requests.length, 3);

        mouseClick(find("filter_completed", page));
        compare(page.statusFilter, "completed");
        compare(page.requests.length, 1);
        compare(page.requests[0].id, ids.door);
        mouseClick(find("filter_new", page));
        compare(page.requests.length, 1);
        compare(page.requests[0].id, ids.leak);
        mouseClick(find("filter_in_progress", page));
        compare(page.requests[0].id, ids.lift);
        mouseClick(find("filter_completed", page));

        // A unit added after the page was made is offered: the units are read when the dialog opens.
        const third = unitModel.add(ids.property, "103", 2, 80, 2, 900, 0, 0, 1);
        mouseClick(find("addRequestButton", page));
        const dialog = find("requestDialog", page);
        waitOpened(dialog);
        const unitBox = find("requestUnitBox", page);
        compare(unitBox.count, 3);
        compare(unitBox.currentIndex, 0, "the first unit is offered");
        choose(unitBox, unit => unit.id === third);
        compare(unitBox.displayText, "برج النخيل - 103");
        find("requestTitle", page).text = "  انقطاع الكهرباء  ";
        find("requestDescription", page).text = "القاطع الرئيسي يفصل";
        choose(find("requestPriorityBox", page), priority => priority.value === "high");
        mouseClick(find("saveRequestButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");

        const stored = testSupport.value("SELECT id FROM maintenance_requests WHERE unit_id=?", [third]);
        verify(stored > 0);
        compare(testSupport.value("SELECT title FROM maintenance_requests WHERE id=?", [stored]), "انقطاع الكهرباء");
        compare(testSupport.value("SELECT description FROM maintenance_requests WHERE id=?", [stored]), "القاطع الرئيسي يفصل");
        compare(testSupport.value("SELECT priority FROM maintenance_requests WHERE id=?", [stored]), "high");
        compare(testSupport.value("SELECT status FROM maintenance_requests WHERE id=?", [stored]), "new");
        compare(testSupport.value("SELECT property_id FROM maintenance_requests WHERE id=?", [stored]), ids.property);

        compare(page.statusFilter, "", "the filter gives way to the full list");
        compare(page.requests.length, 4);
        compare(page.requests[0].id, stored, "the newest first");
        verify(find("filter_all", page).chosen);
        compare(find("requestTitle", page).text, "", "the form is ready for the next request");
    }

    function test_aRequestNeedsAUnitAndATitle() {
        const page = maintenancePage();
        mouseClick(find("addRequestButton", page));
        const dialog = find("requestDialog", page);
        waitOpened(dialog);
        compare(find("requestUnitBox", page).displayText, "لا توجد وحدات");
        find("requestTitle", page).text = "تسريب";
        mouseClick(find("saveRequestButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "اختر الوحدة");
        verify(dialog.visible);
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);

        arrangeRequests();
        mouseClick(find("addRequestButton", page));
        waitOpened(dialog);
        find("requestTitle", page).text = "   ";
        mouseClick(find("saveRequestButton", page));
        compare(notice.text, "أدخل عنوان الطلب");
        verify(dialog.visible);
        compare(testSupport.count("maintenance_requests"), 3);
    }

    function test_completingARequestBooksItsCost() {
        const page = maintenancePage();
        const ids = arrangeRequests();
        page.refresh();
        verify(!find("completeButton", card(page, ids.door)).visible, "a completed request has no button");
        const leak = card(page, ids.leak);
        mouseClick(find("completeButton", leak));
        const dialog = find("completeDialog", page);
        waitOpened(dialog);
        compare(dialog.requestId, ids.leak);

        find("completionCost", page).text = "خمسون";
        mouseClick(find("confirmCompletionButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل في حقل «تكلفة الصيانة» رقماً صحيحاً (صفر أو أكثر)");
        find("completionCost", page).text = "-1";
        mouseClick(find("confirmCompletionButton", page));
        compare(notice.kind, "error");
        verify(dialog.visible);
        compare(testSupport.value("SELECT status FROM maintenance_requests WHERE id=?", [ids.leak]), "new");
        compare(testSupport.count("expenses"), 1, "only the door's");

        find("completionCost", page).text = "350";
        mouseClick(find("confirmCompletionButton", page));
        waitClosed(dialog);
        compare(notice.kind, "success");
        compare(testSupport.value("SELECT status FROM maintenance_requests WHERE id=?", [ids.leak]), "completed");
        compare(testSupport.value("SELECT cost FROM maintenance_requests WHERE id=?", [ids.leak]), 350);
        compare(testSupport.value("SELECT amount FROM expenses WHERE maintenance_id=?", [ids.leak]), 350);
        compare(testSupport.value("SELECT category FROM expenses WHERE maintenance_id=?", [ids.leak]), "صيانة");
        compare(testSupport.value("SELECT description FROM expenses WHERE maintenance_id=?", [ids.leak]), "تسريب مياه في المطبخ");
        compare(testSupport.value("SELECT property_id FROM expenses WHERE maintenance_id=?", [ids.leak]), ids.property);

        const done = card(page, ids.leak);
        verify(!find("completeButton", done).visible);
        verify(find("costText", done).visible);
        compare(find("costText", done).text, "التكلفة: " + Format.amount(350));
    }

    function test_aSecondCompletionIsTold() {
        const page = maintenancePage();
        const ids = arrangeRequests();
        page.refresh();
        mouseClick(find("completeButton", card(page, ids.lift)));
        const dialog = find("completeDialog", page);
        waitOpened(dialog);
        // Completed meanwhile (another window of the same office, or a double click).
        verify(maintenanceModel.complete(ids.lift, 90));
        find("completionCost", page).text = "120";
        mouseClick(find("confirmCompletionButton", page));
        compare(notice.kind, "error");
        verify(notice.text.indexOf("مكتمل من قبل") > 0, notice.text);
        verify(dialog.visible);
        compare(testSupport.count("SELECT id FROM expenses WHERE maintenance_id=?", [ids.lift]), 1, "one expense only");
    }
}
