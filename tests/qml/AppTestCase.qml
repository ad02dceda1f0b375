import QtQuick
import QtTest

// Base of the interface tests: opens the real window (qrc:/qt/qml/Darvelinto/main.qml) on a fresh database and
// drives it as a user would. Use it instead of TestCase:
//
//     AppTestCase {
//         name: "Invoices"
//         function test_rentRun() {
//             const frame = loginAsAdmin();            // fresh database, window, log-in
//             const page = showPage(7);                // click the side bar entry
//             mouseClick(find("rentButton", page));
//             compare(testSupport.count("invoices"), 3);
//             compare(window.notice.kind, "success");
//         }
//     }
//
// Back-end objects are published as in the program (authCtrl, invoiceModel, ...), plus
// `testSupport` (freshDatabase(firstRun), count, value, exec, setToday; see qmltestsupport.h).
TestCase {
    id: testCase

    property var window: null
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
            if (object.children !== undefined)
                for (let i = 0; i < object.children.length; ++i)
                    queue.push(object.children[i]);
            if (object.data !== undefined)
                for (let i = 0; i < object.data.length; ++i)
                    queue.push(object.data[i]);
            if (object.contentData !== undefined)
                for (let i = 0; i < object.contentData.length; ++i)
                    queue.push(object.contentData[i]);
            if (object.contentItem !== undefined && object.contentItem !== null)
                queue.push(object.contentItem);
        }
        return null;
    }

    // Chooses the first entry of a ChoiceBox that `predicate` accepts, as a click would.
    function choose(box, predicate) {
        const index = box.indexWhere(predicate);
        verify(index >= 0, box.objectName + ": no such entry");
        box.currentIndex = index;
        box.activated(index);
    }

    // The shown row of a PagedList whose record `predicate` accepts: the list reuses its
    // delegates, so the row is brought into view first.
    function pagedRow(list, predicate, what) {
        let row = -1;
        for (let i = 0; i < list.count && row < 0; ++i)
            if (predicate(list.recordAt(i)))
                row = i;
        verify(row >= 0, what + " is listed");
        list.view.positionViewAtIndex(row, 0);
        let found = null;
        tryVerify(() => (found = list.view.itemAtIndex(row)) !== null, 2000, what);
        return found;
    }

    // The first made delegate of a view (ListView, GridView) that `predicate` accepts.
    function shownItem(view, predicate, what) {
        let found = null;
        tryVerify(() => {
            for (let i = 0; i < view.count; ++i) {
                const item = view.itemAtIndex(i);
                if (item && predicate(item))
                    return (found = item) !== null;
            }
            return false;
        }, 2000, what);
        return found;
    }

    // Two digits of a month or a day ("03").
    function pad2(number) {
        return number < 10 ? "0" + number : String(number);
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

    function cleanup() {
        keepFailureImage();
    }
}
