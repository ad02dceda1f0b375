import QtQuick
import QtTest

// Base of the interface tests: opens the real window on a fresh database and drives it as a user
// would (loginAsAdmin(), showPage(index), find(objectName), mouseClick...). Back-end objects are
// published as in the program (authCtrl, invoiceModel, ...), plus `testSupport` (see
// qmltestsupport.h). After each test the books must pass the shared consistency checks.
TestCase {
    id: testCase

    property var window: null
    // Whether cleanup() runs the consistency checks (off for cases arranged with raw rows).
    property bool checkBooks: true

    readonly property var notice: window ? window.notice : null

    when: windowShown
    // TestCase hides itself; items a test makes inside it must be visible to take clicks.
    visible: true
    // Items a test makes inside it are laid out right to left, as in the window.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    // A new database and a new window showing the log-in page.
    function openApp(firstRun) {
        window = null;
        verify(testSupport.freshDatabase(firstRun === true), "fresh database");
        const component = Qt.createComponent("qrc:/qt/qml/Darvelinto/main.qml");
        verify(component.status === Component.Ready, component.errorString());
        window = createTemporaryObject(component, testCase);
        verify(window, "main window");
        tryVerify(() => window.visible && window.currentScreen() !== null);
        waitIdle();
        return window;
    }

    // Waits until the screen flow has finished its transition (the stack takes no clicks while it
    // moves) and pending layouts have run.
    function waitIdle() {
        const stack = find("mainStack", window.contentItem);
        tryVerify(() => !stack.busy, 3000, "screen transition finished");
        wait(20);
    }

    function screen() {
        return window.currentScreen();
    }

    // Types into the log-in page and clicks its button; returns the next screen.
    function login(user, password) {
        const page = screen();
        compare(page.objectName, "loginPage");
        find("userField", page).text = user;
        find("passwordField", page).text = password;
        mouseClick(find("loginButton", page));
        waitIdle();
        return screen();
    }

    // Fresh database and window, logged in as the administrator; returns the main frame.
    function loginAsAdmin() {
        openApp(false);
        const frame = login("admin", "qorvu");
        compare(frame.objectName, "mainApp");
        return frame;
    }

    // Clicks the side bar's log-out button; returns the log-in page that replaces the frame.
    function logout() {
        mouseClick(find("logoutButton", screen()));
        waitIdle();
        compare(screen().objectName, "loginPage");
        return screen();
    }

    // Clicks the side-bar entry of a page (page index, see qml/components/Pages.js); returns the page.
    function showPage(index) {
        waitIdle();
        const frame = screen();
        let entry = null;
        tryVerify(() => (entry = find("sideBarEntry" + index, frame)) !== null, 2000, "side bar entry " + index);
        mouseClick(entry);
        compare(frame.currentIndex, index);
        return frame.page(index);
    }

    // The first object called `name` under `root` (default: the window), looking through visual
    // children, non-visual children (dialogs declared in a page) and the content of popups.
    function find(name, root) {
        const start = root || window.contentItem;
        const queue = [start];
        const seen = [];
        while (queue.length > 0) {
            const object = queue.shift();
            if (!object || seen.indexOf(object) >= 0)
                continue;
            seen.push(object);
            if (object.objectName === name)
                return object;
            for (const list of [object.children, object.data, object.contentData])
                for (let i = 0; list !== undefined && i < list.length; ++i)
                    queue.push(list[i]);
            if (object.contentItem !== undefined && object.contentItem !== null)
                queue.push(object.contentItem);
        }
        return null;
    }

    // Picks the entry of a choice box the way a click in its list does.
    function choose(box, predicate) {
        const index = box.indexWhere(predicate);
        verify(index >= 0, box.objectName + ": no such entry");
        box.currentIndex = index;
        box.activated(index);
    }

    // The shown row of a list (a ListView, GridView or PagedList) whose record passes `predicate`;
    // views reuse their delegates, so each row is scrolled into view and read there.
    function rowWhere(list, predicate, what) {
        const view = list.view !== undefined ? list.view : list;
        let found = null;
        tryVerify(() => {
            for (let i = 0; i < view.count; ++i) {
                view.positionViewAtIndex(i, ListView.Contain);
                const item = view.itemAtIndex(i);
                if (item && predicate(item.record !== undefined ? item.record : item.modelData))
                    return (found = item) !== null;
            }
            return false;
        }, 2000, what || "row");
        return found;
    }

    // One field of every record a PagedList holds, in its order.
    function listed(list, field) {
        return Array.from({"length": list.count}, (_, i) => list.recordAt(i)[field]);
    }

    // Types into text fields found by name: fill(page, {"unitNumberField": "101"}).
    function fill(root, fields) {
        for (const name in fields)
            find(name, root).text = fields[name];
    }

    // Clicks a button and returns the dialog it opens.
    // (A popup still closing may take the first click: it is clicked again until the dialog shows.)
    function openBy(button, dialogName, root) {
        const dialog = find(dialogName, root);
        verify(dialog, dialogName);
        tryVerify(() => {
            if (!dialog.visible)
                mouseClick(button);
            return dialog.opened;
        }, 3000, dialogName + " opened");
        return dialog;
    }

    // Answers the confirmation dialog `name`: true confirms, false cancels.
    function answer(name, yes, root) {
        const dialog = find(name, root);
        waitOpened(dialog);
        mouseClick(find(yes ? "confirmButton" : "cancelButton", dialog));
        waitClosed(dialog);
    }

    // Clicks and expects a refusal: the user is told why, nothing at all is written and `dialog`
    // (if given) stays open with its input. Returns what the user was told.
    function refusedClick(button, dialog) {
        const before = testSupport.digest();
        notice.dismiss();
        mouseClick(button);
        verify(notice.active, "the user is told");
        compare(notice.kind, "error", notice.text);
        compare(testSupport.digest(), before, "nothing written");
        if (dialog)
            verify(dialog.visible, "the dialog stays open");
        return notice.text;
    }

    // Clicks and expects the action to be reported done.
    function doneClick(button) {
        notice.dismiss();
        mouseClick(button);
        tryVerify(() => notice.active, 2000, "the user is told");
        compare(notice.kind, "success", notice.text);
    }

    // A property "برج النخيل" with units 101, 102 and 103 (monthly rents 1500, 1200, 900); tenants
    // سامي خليل on 101 and ليلى حسن on 102 (monthly, 2020 to 2099), عمر يوسف without a contract.
    function office() {
        const property = propertyModel.add("برج النخيل", "residential", "شارع الإرسال", "رام الله", "");
        const rents = [1500, 1200, 900];
        const units = rents.map((rent, i) => unitModel.add(property, "10" + (i + 1), 1, 100, 3, rent, rent * 12, 0, 1));
        const tenants = ["سامي خليل", "ليلى حسن", "عمر يوسف"].map((name, i) => tenantModel.add(name, "40" + i + "234567", "059900000" + i, "", ""));
        verify(property > 0 && units.every(id => id > 0) && tenants.every(id => id > 0), "office");
        for (let i = 0; i < 2; ++i)
            verify(contractModel.add(units[i], tenants[i], "2020-01-01", "2099-12-31", rents[i], "monthly", 0, 1) > 0);
        return {"property": property, "units": units, "sami": tenants[0], "layla": tenants[1], "omar": tenants[2]};
    }

    // An invoice of one line; returns its id.
    function invoice(tenant, unit, period, amount) {
        const line = {"description": "إيجار", "type": "rent", "quantity": 1, "unit_price": amount, "total": amount};
        const id = invoiceModel.createInvoice(tenant, unit, period, [line], 1);
        verify(id > 0, "invoice " + period);
        return id;
    }

    // Waits until a popup has finished opening or closing.
    function waitOpened(popup) {
        tryVerify(() => popup.opened, 2000, popup.objectName + " opened");
    }
    function waitClosed(popup) {
        tryVerify(() => !popup.visible, 2000, popup.objectName + " closed");
    }

    // Keeps a picture of the window (dialogs and notice included) when a test fails, to see what
    // the user would have seen. A test that overrides cleanup() should call keepFailureImage().
    function keepFailureImage() {
        if (!window || !qtest_results.failed)
            return;
        const path = testSupport.failureImagePath(testCase.name + "-" + qtest_results.functionName);
        if (grabImage(window.contentItem.parent).save(path))
            console.warn("failure picture:", path);
    }

    // After every test the books pass the shared consistency checks, whatever the pages wrote.
    function cleanup() {
        keepFailureImage();
        if (window && checkBooks)
            compare(testSupport.problems(), [], "the books are consistent");
    }
}
