import QtQuick
import QtTest
import Darvelinto

// Log-in, the first-run setup, the side bar and log-out, in the real window.
AppTestCase {
    name: "Login"

    function test_logIn() {
        let page = openApp().currentScreen();
        verify(find("defaultsHint", page).visible);
        compare(find("passwordField", page).echoMode, TextInput.Password, "the password is hidden");
        mouseClick(find("revealButton", page));
        compare(find("passwordField", page).echoMode, TextInput.Normal);
        for (const user of ["admin", "nobody"]) {
            compare(login(user, "wrong").objectName, "loginPage");
            verify(find("loginError", page).visible, user);
            verify(!authCtrl.isLoggedIn);
        }
        compare(login("admin", "qorvu").objectName, "mainApp", "a right attempt after wrong ones");

        // Once the password is changed no default is offered any more, and the old one is refused.
        verify(authCtrl.changePassword("qorvu", "n3w-secret"));
        page = logout();
        compare(find("passwordField", page).text, "");
        verify(!find("defaultsHint", page).visible, "no stale default password on the screen");
        compare(login("admin", "qorvu").objectName, "loginPage");
        find("passwordField", page).text = "n3w-secret";
        find("passwordField", page).accepted(); // Return in the field
        waitIdle();
        compare(screen().objectName, "mainApp");
    }

    function test_firstRunSetsExactlyOnePrimaryCurrency() {
        openApp(true);
        const setup = login("admin", "qorvu");
        compare(setup.objectName, "setupPage");
        // A desk joining the office's server chooses it here instead, for its next start.
        mouseClick(find("serverSetupButton", setup));
        const server = find("serverSetupDialog", setup);
        tryVerify(() => server.opened);
        find("serverHostField", server.contentItem).text = "db.office";
        find("serverDatabaseField", server.contentItem).text = "books";
        find("serverUserField", server.contentItem).text = "clerk";
        mouseClick(find("chooseServerButton", server.contentItem));
        compare(Backend.serverChoice.current().host, "db.office");
        verify(Backend.serverChoice.forget());
        server.close();
        tryVerify(() => !server.visible);
        mouseClick(find("currency_USD", setup));
        mouseClick(find("startButton", setup));
        waitIdle();
        compare(screen().objectName, "mainApp");
        compare(testSupport.value("SELECT group_concat(code) FROM currencies WHERE is_primary=1"), "USD");
        logout();
        compare(login("admin", "qorvu").objectName, "mainApp", "asked once only");
    }

    function test_sideBarShowsOnePageAtATimeReadAfresh() {
        const frame = loginAsAdmin();
        window.width = 1024;
        window.height = 700;
        for (let i = 11; i >= 0; --i) {
            const page = showPage(i);
            verify(page.visible);
            for (let j = 0; j < 12; ++j)
                verify(j === i || !frame.page(j).visible, "only page " + i + " shows");
        }
        // Written while the users page is hidden: shown as soon as it is shown again.
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        compare(showPage(10).users.length, 2);
    }

    function test_logOutLeavesNothingBehind() {
        const frame = loginAsAdmin();
        const users = showPage(10);
        find("newUserName", users).text = "half-typed";
        mouseClick(find("logoutButton", frame));
        verify(!authCtrl.isLoggedIn);
        compare(find("userNameText", frame).text, "", "the frame on its way out shows nobody");
        waitIdle();
        compare(testSupport.count("SELECT id FROM app_log WHERE action='logout'"), 1);
        const next = login("admin", "qorvu");
        verify(next !== frame, "a new main frame");
        compare(next.currentIndex, 0);
        compare(find("newUserName", next.page(10)).text, "", "nothing of the last session is left");
    }
}
