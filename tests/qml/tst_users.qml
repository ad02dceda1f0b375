import QtQuick
import QtTest

// The users page: adding and removing users, one's own password, and what only an administrator
// may do.
AppTestCase {
    name: "Users"

    function entry(page, username) {
        return rowWhere(find("userList", page), user => user.username === username, username);
    }

    function test_addingUsers() {
        loginAsAdmin();
        const page = showPage(10);
        const dialog = openBy(find("addUserButton", page), "addUserDialog", page);
        fill(page, {"newUserName": "admin", "newUserPassword": "another-1"});
        refusedClick(find("saveUserButton", page), dialog);
        compare(find("newUserName", page).text, "admin", "with its input");
        find("newUserPassword", page).text = "  ";
        refusedClick(find("saveUserButton", page), dialog);

        // Stored trimmed, as log-in trims what is typed; a staff member is stored as "user".
        fill(page, {"newUserName": "  omar ", "newUserPassword": "omar-pass-1"});
        doneClick(find("saveUserButton", page));
        waitClosed(dialog);
        compare(testSupport.value("SELECT role FROM users WHERE username='omar'"), "user");
        entry(page, "omar");
        logout();
        compare(login(" omar", "omar-pass-1").objectName, "mainApp");
    }

    function test_removingAsksFirst() {
        loginAsAdmin();
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        const page = showPage(10);
        mouseClick(find("removeUserButton", entry(page, "sara")));
        answer("confirmDialog", false, page);
        compare(testSupport.count("users"), 2, "cancelled: nothing removed");
        mouseClick(find("removeUserButton", entry(page, "sara")));
        answer("confirmDialog", true, page);
        compare(testSupport.count("users"), 1);
        compare(page.users.length, 1);
    }

    // Nobody can remove the built-in administrator or the account in use; staff manage nothing.
    function test_rights_data() {
        return [{"tag": "administrator", "role": "admin", "manages": true}, {"tag": "staff", "role": "user", "manages": false}];
    }

    function test_rights(data) {
        loginAsAdmin();
        verify(authCtrl.registerUser("khaled", "khaled-pass-1", data.role));
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        logout();
        login("khaled", "khaled-pass-1");
        const page = showPage(10);
        compare(find("addUserButton", page).visible, data.manages);
        compare(find("removeUserButton", entry(page, "sara")).visible, data.manages);
        verify(!find("removeUserButton", entry(page, "khaled")).visible, "never the account in use");
        verify(!find("removeUserButton", entry(page, "admin")).visible, "never the built-in admin");
        verify(find("changePasswordButton", page).visible, "everyone may change their own password");
    }

    function test_changingTheOwnPassword() {
        loginAsAdmin();
        const page = showPage(10);
        const dialog = openBy(find("changePasswordButton", page), "passwordDialog", page);
        for (const typed of [["wrong", "n3w-pass", "n3w-pass"], ["qorvu", "n3w-pass", "n3w-pasz"], ["qorvu", "", ""]]) {
            fill(page, {"oldPasswordField": typed[0], "newPasswordField": typed[1], "repeatPasswordField": typed[2]});
            refusedClick(find("savePasswordButton", page), dialog);
        }
        fill(page, {"newPasswordField": "n3w-pass", "repeatPasswordField": "n3w-pass"});
        doneClick(find("savePasswordButton", page));
        waitClosed(dialog);
        logout();
        compare(login("admin", "qorvu").objectName, "loginPage", "the old password no longer opens");
        compare(login("admin", "n3w-pass").objectName, "mainApp");
    }
}
