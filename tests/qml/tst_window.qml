import QtQuick
import QtTest
import Darvelinto

// The window, its theme and the main frame's navigation.
AppTestCase {
    name: "Window"

    readonly property var pageNames: ["dashboardPage", "propertiesPage", "tenantsPage", "buyersPage", "accountingPage", "paymentsPage", "chequesPage", "invoicesPage", "maintenancePage", "reportsPage", "usersPage", "settingsPage"]
    readonly property var topBarTitles: ["لوحة التحكم", "العقارات والمشاريع", "المستأجرون", "المشترون والمبيعات", "المحاسبة ومراكز التكلفة", "المدفوعات", "الشيكات", "الفواتير", "الصيانة", "التقارير", "المستخدمون", "الإعدادات"]

    function test_windowGeometryAndTitle() {
        openApp();
        compare(window.width, 1280);
        compare(window.height, 800);
        compare(window.minimumWidth, 1024);
        compare(window.minimumHeight, 700);
        compare(window.title, "Darvelinto - نظام إدارة العقارات والمحاسبة");
    }

    function test_themeFollowsTheModeAndUnknownIsDark_data() {
        return [
            {
                "tag": "dark",
                "mode": "dark",
                "bg": "#08111f"
            },
            {
                "tag": "light",
                "mode": "light",
                "bg": "#f4f7fb"
            },
            {
                "tag": "empty",
                "mode": "",
                "bg": "#08111f"
            },
            {
                "tag": "unknown",
                "mode": "sepia",
                "bg": "#08111f"
            }
        ];
    }

    function test_themeFollowsTheModeAndUnknownIsDark(data) {
        openApp(false);
        settingsManager.setThemeMode(data.mode);
        compare(Theme.bgPrimary, Qt.color(data.bg));
        compare(Theme.dark, data.bg === "#08111f");
    }

    function test_themeSwitchRecoloursEverything() {
        const frame = loginAsAdmin();
        const sideBar = find("sideBar", frame);
        const topBar = find("topBar", frame);
        compare(settingsManager.themeMode, "dark", "a new installation opens dark");
        compare(window.color, Qt.color("#08111f"));
        compare(sideBar.color, Qt.color("#09111d"));
        compare(topBar.color, Qt.color("#101a2c"));
        verify(find("themeSegment_dark", frame).selected);

        mouseClick(find("themeSegment_light", frame));
        compare(settingsManager.themeMode, "light");
        compare(testSupport.value("SELECT value FROM settings WHERE key='theme_mode'"), "light", "the choice is stored");
        compare(window.color, Qt.color("#f4f7fb"));
        compare(frame.color, Qt.color("#f4f7fb"));
        compare(sideBar.color, Qt.color("#e8eef6"));
        compare(topBar.color, Qt.color("#ffffff"));
        verify(find("themeSegment_light", frame).selected);
        verify(!find("themeSegment_dark", frame).selected);
        compare(frame.page(0).color, Qt.color("#f4f7fb"), "the open page recolours");

        // An open dialog recolours at once, too (the settings page switches while nothing covers it,
        // the back end's signal does the rest).
        const page = showPage(10);
        const dialog = find("passwordDialog", page);
        dialog.open();
        waitOpened(dialog);
        compare(dialog.background.color, Qt.color("#ffffff"));
        settingsManager.setThemeMode("dark");
        compare(dialog.background.color, Qt.color("#101a2c"));
        compare(sideBar.color, Qt.color("#09111d"));
        dialog.close();
        waitClosed(dialog);
    }

    function test_sideBarSwitchesPages() {
        const frame = loginAsAdmin();
        compare(frame.currentIndex, 0);
        for (let i = 0; i < 12; ++i)
            compare(frame.page(i).objectName, pageNames[i], "page " + i + " in its place");
        for (let i = 11; i >= 0; --i) {
            const page = showPage(i);
            compare(find("sideBar", frame).currentIndex, i);
            compare(find("topBarTitle", frame).text, topBarTitles[i]);
            verify(page.visible);
            for (let j = 0; j < 12; ++j)
                if (j !== i)
                    verify(!frame.page(j).visible, "only the chosen page shows");
        }
        // Switching from elsewhere keeps the side bar in step.
        frame.showPage(7);
        compare(find("sideBar", frame).currentIndex, 7);
        compare(frame.currentIndex, 7);
    }

    function test_keyboardShortcuts() {
        const frame = loginAsAdmin();
        for (let i = 8; i >= 0; --i) {
            keyClick(Qt.Key_1 + i, Qt.ControlModifier);
            compare(frame.currentIndex, i, "Ctrl+" + (i + 1));
            compare(find("sideBar", frame).currentIndex, i);
        }
        keyClick(Qt.Key_3, Qt.ControlModifier);
        keyClick(Qt.Key_F, Qt.ControlModifier);
        verify(find("searchInput", frame.page(2)).activeFocus, "Ctrl+F puts the cursor in the tenants' search");
        keyClick(Qt.Key_6, Qt.ControlModifier);
        keyClick(Qt.Key_F, Qt.ControlModifier);
        verify(find("pagedListSearch", frame.page(5)).activeFocus, "and in the payments' search");
    }

    function test_allEntriesFitOnTheSmallestWindow() {
        const frame = loginAsAdmin();
        window.height = 700;
        window.width = 1024;
        waitForRendering(window.contentItem);
        const menu = find("sideBarMenu", frame);
        tryVerify(() => {
            const last = find("sideBarEntry11", frame);
            return last !== null && last.mapToItem(menu, 0, 0).y + last.height <= menu.height;
        }, 2000, "the settings entry is in view without scrolling");
        const users = showPage(10);
        verify(users.visible);
    }

    function test_aPageReloadsWhenItIsShown() {
        const frame = loginAsAdmin();
        const users = frame.page(10);
        compare(users.users.length, 0, "a page not opened yet has read nothing");
        showPage(10);
        compare(users.users.length, 1);
        showPage(0);
        // Work done elsewhere (another page, the back end) while the users page is not shown...
        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        compare(users.users.length, 1);
        // ...shows as soon as the page is shown again.
        showPage(10);
        compare(users.users.length, 2);
    }

    function test_userAndRoleLines() {
        const frame = loginAsAdmin();
        compare(find("userNameText", frame).text, "مدير عام");
        compare(find("userInitial", frame).text, "م");
        compare(find("userRoleText", frame).text, "مدير النظام");
        compare(find("topBarRole", frame).text, "صلاحية مدير");

        verify(authCtrl.registerUser("sara", "sara-pass-1", "user"));
        logout();
        const next = login("sara", "sara-pass-1");
        compare(next.objectName, "mainApp");
        compare(find("userNameText", next).text, "sara");
        compare(find("userInitial", next).text, "S");
        compare(find("userRoleText", next).text, "مستخدم");
        compare(find("topBarRole", next).text, "صلاحية مستخدم");
    }

    function test_logoutReturnsToACleanLogin() {
        const frame = loginAsAdmin();
        const users = showPage(10);
        const dialog = find("addUserDialog", users);
        dialog.open();
        waitOpened(dialog);
        find("newUserName", users).text = "half-typed";
        dialog.close();
        waitClosed(dialog);

        mouseClick(find("logoutButton", frame));
        verify(!authCtrl.isLoggedIn);
        // The frame on its way out shows nobody.
        compare(find("userNameText", frame).text, "");
        compare(find("userInitial", frame).text, "");
        compare(find("userRoleText", frame).text, "مستخدم");

        waitIdle();
        const page = screen();
        compare(page.objectName, "loginPage");
        verify(!find("loginError", page).visible);
        compare(testSupport.count("SELECT id FROM app_log WHERE action='logout'"), 1);

        const next = login("admin", "qorvu");
        compare(next.objectName, "mainApp");
        verify(next !== frame, "a new main frame");
        compare(next.currentIndex, 0, "starting on the dashboard");
        compare(find("newUserName", next.page(10)).text, "", "nothing of the last session is left");
    }
}
