import QtQuick
import QtTest

// The users page: list, add, remove (with confirmation), own password, and what a non-administrator
// may not see.
AppTestCase {
    name: "Users"

    function usersPage() {
        loginAsAdmin();
        return showPage(10);
    }

    function entry(page, username) {
        let found = null;
        tryVerify(() => (found = find("userEntry_" + username, page)) !== null, 2000, "entry of " + username);
        return found;
    }

    function openDialog(page, name) {
        const dialog = find(name, page);
        verify(dialog, name);
        return dialog;
    }

    function test_adminAddsAUser() {
        const page = usersPage();
        compare(page.users.length, 1);
        mouseClick(find("addUserButton", page));
        const dialog = openDialog(page, "addUserDialog");
        waitOpened(dialog);
        find("newUserName", page).text = "sara";
        find("newUserPassword", page).text = "sara-pass-1";
        find("roleBox", page).currentIndex = 1; // "مدير نظام"
        mouseClick(find("saveUserButton", page));

        waitClosed(dialog);
        compare(testSupport.value("SELECT role FROM users WHERE username='sara'"), "admin");
        compare(page.users.length, 2);
        entry(page, "sara");
        compare(find("newUserName", page).text, "", "fields are emptied for the next user");
        compare(find("newUserPassword", page).text, "");
        compare(find("roleBox", page).currentIndex, 1, "the role keeps its choice");
        verify(notice.active);
        compare(notice.kind, "success");

        dialog.open();
        waitOpened(dialog);
        keyClick(Qt.Key_Escape);
        waitClosed(dialog);
        compare(page.users.length, 2, "Escape closes without saving");
    }

    function test_aStaffUserIsStoredAsUser() {
        const page = usersPage();
        const dialog = openDialog(page, "addUserDialog");
        dialog.open();
        waitOpened(dialog);
        find("newUserName", page).text = "  omar  ";
        find("newUserPassword", page).text = "omar-pass-1";
        find("newUserPassword", page).input.forceActiveFocus();
        keyClick(Qt.Key_Return); // Enter saves, as the dialog's button does
        waitClosed(dialog);
        compare(testSupport.value("SELECT role FROM users WHERE username='omar'"), "user", "name stored without the blanks log-in would trim");
        logout();
        compare(login(" omar", "omar-pass-1").objectName, "mainApp");
    }

    function test_aRefusedAddKeepsTheDialogAndSaysWhy() {
        const page = usersPage();
        const dialog = openDialog(page, "addUserDialog");
        dialog.open();
        waitOpened(dialog);
        find("newUserName", page).text = "admin";
        find("newUserPassword", page).text = "another-1";
        mouseClick(find("saveUserButton", page));

        verify(notice.active);
        compare(notice.kind, "error");
        compare(notice.text, authCtrl.lastError);
        verify(notice.text.length > 0);
        verify(dialog.visible, "the dialog stays open");
        compare(find("newUserName", page).text, "admin", "with its input");
        compare(testSupport.count("users"), 1);
        compare(page.users.length, 1);
    }

    function test_emptyFieldsAreRefusedBeforeAnyCall() {
        const page = usersPage();
        const dialog = openDialog(page, "addUserDialog");
        dialog.open();
        waitOpened(dialog);
        find("newUserName", page).text = "nadia";
        find("newUserPassword", page).text = "   ";
        mouseClick(find("saveUserButton", page));
        compare(notice.kind, "error");
        compare(notice.text, "أدخل اسم المستخدم وكلمة المرور");
        verify(dialog.visible);
        compare(testSupport.count("users"), 1);
    }

    function test_removingAsksFirst() {
        loginAsAdmin();
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        const page = showPage(10);
        const confirm = find("confirmDialog", page);
        mouseClick(find("removeUserButton", entry(page, "sara")));
        waitOpened(confirm);
        verify(find("confirmMessage", confirm).text.indexOf("sara") >= 0, "the dialog names the user");
        mouseClick(find("cancelButton", confirm));
        waitClosed(confirm);
        compare(testSupport.count("SELECT id FROM users WHERE username='sara'"), 1, "cancelled: nothing removed");

        mouseClick(find("removeUserButton", entry(page, "sara")));
        waitOpened(confirm);
        mouseClick(find("confirmButton", confirm));
        waitClosed(confirm);
        compare(testSupport.count("SELECT id FROM users WHERE username='sara'"), 0);
        compare(page.users.length, 1);
        compare(notice.kind, "success");
    }

    function test_theBuiltInAdministratorAndTheAccountInUseHaveNoDeleteButton() {
        loginAsAdmin();
        verify(authCtrl.registerUser("khaled", "khaled-pass-1", "admin"));
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        logout();
        login("khaled", "khaled-pass-1");
        const page = showPage(10);
        verify(find("addUserButton", page).visible, "another administrator manages users");
        verify(find("removeUserButton", entry(page, "sara")).visible);
        verify(!find("removeUserButton", entry(page, "khaled")).visible, "never for the account in use");
        verify(!find("removeUserButton", entry(page, "admin")).visible, "never for the built-in admin");
    }

    function test_aStaffUserSeesNoManagementButtons() {
        loginAsAdmin();
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        logout();
        login("sara", "sara-pass-1");
        const page = showPage(10);
        compare(page.users.length, 2, "the list itself is shown");
        verify(!find("addUserButton", page).visible);
        verify(!find("removeUserButton", entry(page, "sara")).visible);
        verify(!find("removeUserButton", entry(page, "admin")).visible);
        verify(find("changePasswordButton", page).visible, "but everyone may change their own password");
    }

    function test_lastLoginLine() {
        loginAsAdmin();
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        const page = showPage(10);
        compare(find("lastLogin", entry(page, "sara")).text, "آخر دخول: أبداً");
        const adminLine = find("lastLogin", entry(page, "admin")).text;
        verify(/^آخر دخول: \d{4}-\d{2}-\d{2}/.test(adminLine), adminLine);
    }

    function changePassword(page, oldPassword, newPassword, repeat) {
        const dialog = find("passwordDialog", page);
        if (!dialog.visible) {
            mouseClick(find("changePasswordButton", page));
            waitOpened(dialog);
        }
        find("oldPasswordField", page).text = oldPassword;
        find("newPasswordField", page).text = newPassword;
        find("repeatPasswordField", page).text = repeat;
        mouseClick(find("savePasswordButton", page));
        return dialog;
    }

    function test_changingTheOwnPassword() {
        const page = usersPage();
        let dialog = changePassword(page, "wrong", "n3w-pass", "n3w-pass");
        compare(notice.kind, "error");
        compare(notice.text, "كلمة المرور الحالية غير صحيحة");
        verify(dialog.visible);
        compare(find("newPasswordField", page).text, "n3w-pass", "the dialog keeps what was typed");

        dialog = changePassword(page, "qorvu", "n3w-pass", "n3w-pasz");
        compare(notice.text, "كلمة المرور الجديدة وتأكيدها غير متطابقين");
        verify(dialog.visible);

        dialog = changePassword(page, "qorvu", "", "");
        compare(notice.text, "أدخل كلمة المرور الحالية والجديدة");

        dialog = changePassword(page, "qorvu", "n3w-pass", "n3w-pass");
        compare(notice.kind, "success");
        compare(notice.text, "تم تغيير كلمة المرور");
        waitClosed(dialog);
        compare(find("oldPasswordField", page).text, "");

        logout();
        compare(login("admin", "qorvu").objectName, "loginPage", "the old password no longer opens");
        compare(login("admin", "n3w-pass").objectName, "mainApp");
    }
}
