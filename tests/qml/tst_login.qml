import QtQuick
import QtTest

// The log-in page in the real window.
AppTestCase {
    name: "Login"

    function test_defaultCredentialsAreFilledAndLogIn() {
        openApp();
        const page = screen();
        compare(page.objectName, "loginPage");
        compare(find("userField", page).text, "admin");
        compare(find("passwordField", page).text, "qorvu");
        verify(find("defaultsHint", page).visible);
        compare(find("defaultsHint", page).text, "بيانات الدخول الافتراضية: admin / qorvu");
        verify(!find("loginError", page).visible);

        mouseClick(find("loginButton", page));
        compare(screen().objectName, "mainApp", "one click with the filled-in fields logs in");
        verify(authCtrl.isLoggedIn);
        compare(authCtrl.currentRole, "admin");
    }

    function test_failureShowsTheErrorUntilTheNextPage() {
        openApp();
        const page = screen();
        const error = find("loginError", page);
        compare(login("admin", "wrong").objectName, "loginPage");
        verify(error.visible);
        compare(error.text, "اسم المستخدم أو كلمة المرور غير صحيحة");
        compare(find("userField", page).text, "admin", "the fields keep what was typed");
        compare(find("passwordField", page).text, "wrong");
        verify(!authCtrl.isLoggedIn);

        // An unknown user reads the same; the line stays over later attempts.
        login("nobody", "qorvu");
        verify(error.visible);
        compare(error.text, "اسم المستخدم أو كلمة المرور غير صحيحة");

        compare(login("admin", "qorvu").objectName, "mainApp", "a right attempt after a wrong one goes on at once");
    }

    function test_returnInThePasswordFieldLogsIn() {
        openApp();
        const field = find("passwordField", screen());
        field.accepted(); // what Return or Enter in the field does
        compare(screen().objectName, "mainApp");
    }

    function test_passwordIsHiddenUntilRevealed() {
        openApp();
        const page = screen();
        const field = find("passwordField", page);
        compare(field.echoMode, TextInput.Password);
        mouseClick(find("revealButton", page));
        compare(field.echoMode, TextInput.Normal);
        mouseClick(find("revealButton", page));
        compare(field.echoMode, TextInput.Password);
    }

    function test_defaultsDisappearOnceThePasswordIsChanged() {
        loginAsAdmin();
        verify(authCtrl.changePassword("qorvu", "n3w-secret"));
        const page = logout();
        compare(find("userField", page).text, "");
        compare(find("passwordField", page).text, "");
        verify(!find("defaultsHint", page).visible, "no stale default password on the screen");

        compare(login("admin", "qorvu").objectName, "loginPage");
        compare(login("admin", "n3w-secret").objectName, "mainApp");
    }
}
