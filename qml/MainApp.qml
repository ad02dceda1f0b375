pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "components/Pages.js" as Pages

// The main frame after log-in: the top bar, the side bar at the right and the twelve pages, of
// which one is shown. Pages are made together with the frame; a page that has a `refresh()`
// function is refreshed each time it becomes the shown page, so it never shows figures that went
// stale while the user worked on another page. That is also when a page first reads its lists:
// pages not opened yet cost the log-in nothing.
Rectangle {
    id: mainApp

    readonly property alias currentIndex: pageStack.currentIndex

    // Shows the page at `index` (page index, see components/Pages.js), keeping the side bar in step.
    function showPage(index) {
        if (index < 0 || index >= pageStack.count)
            return;
        sideBar.currentIndex = index;
        pageStack.currentIndex = index;
    }

    function page(index) {
        return index >= 0 && index < pageStack.children.length ? pageStack.children[index] : null;
    }

    function currentPage() {
        return page(pageStack.currentIndex);
    }

    // The first search field of the shown page (a SearchStrip's or a PagedList's), or null.
    function searchFieldOf(item) {
        if (!item || !item.visible)
            return null;
        if (item.objectName === "searchInput" || item.objectName === "pagedListSearch")
            return item;
        for (let i = 0; i < item.children.length; ++i) {
            const found = searchFieldOf(item.children[i]);
            if (found)
                return found;
        }
        return null;
    }

    // Ctrl+F: the cursor goes to the search field of the shown page.
    function focusSearch() {
        const field = searchFieldOf(currentPage());
        if (field) {
            field.forceActiveFocus();
            field.selectAll();
        }
    }

    // Keyboard: Ctrl+1 to Ctrl+9 show the first nine pages of the side bar, Ctrl+F searches. They
    // wait while a dialog is open over the page.
    readonly property bool dialogOpen: {
        for (let item = Window.activeFocusItem; item; item = item.parent) {
            if (item === Overlay.overlay)
                return true;
        }
        return false;
    }

    Shortcut {
        sequence: "Ctrl+F"
        enabled: !mainApp.dialogOpen
        onActivated: mainApp.focusSearch()
    }
    Instantiator {
        model: 9
        delegate: Shortcut {
            required property int index
            sequence: "Ctrl+" + (index + 1)
            enabled: !mainApp.dialogOpen
            onActivated: mainApp.showPage(index)
        }
    }

    // When the office opens the program with invoices past their grace period and not yet charged
    // this month, the late-fee run is offered; nothing is charged without the clerk's word.
    function offerLateFees() {
        const due = Backend.invoiceModel.lateFeesDue();
        if (due > 0)
            lateFeeOffer.ask("غرامات التأخير", Format.count(due) + " فاتورة تجاوزت مهلة السماح ولم تُحتسب عليها غرامة هذا الشهر. هل تحتسب غرامات التأخير الآن؟", () => lateFeeResult.show(Backend.invoiceModel.issueLateFees()));
    }

    objectName: "mainApp"
    color: Theme.bgPrimary

    // Once the frame is shown, not while it is being made.
    Timer {
        interval: 0
        running: true
        onTriggered: mainApp.offerLateFees()
    }

    ConfirmDialog {
        id: lateFeeOffer
        objectName: "lateFeeOffer"
        confirmText: "احتساب الغرامات"
        cancelText: "لاحقاً"
        destructive: false
    }
    LateFeeResultDialog {
        id: lateFeeResult
        objectName: "startLateFeeResult"
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        TopBar {
            id: topBar
            objectName: "topBar"
            Layout.fillWidth: true
            Layout.preferredHeight: 72
            title: Pages.list[pageStack.currentIndex].title
            subtitle: "إدارة المشاريع العقارية، المشترين، الحسابات، والتقارير من شاشة واحدة"
            themeMode: Backend.settingsManager.themeMode === "light" ? "light" : "dark"
            isAdmin: Backend.authCtrl.currentRole === "admin"
            onThemeModeSelected: mode => Backend.settingsManager.setThemeMode(mode)
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 0

            SideBar {
                id: sideBar
                objectName: "sideBar"
                Layout.preferredWidth: 236
                Layout.fillHeight: true
                userName: Backend.authCtrl.currentUser || ""
                isAdmin: Backend.authCtrl.currentRole === "admin"
                onMenuSelected: index => pageStack.currentIndex = index
                onLogoutRequested: Backend.authCtrl.logout()
            }

            Item {
                Layout.fillWidth: true
                Layout.fillHeight: true

                StackLayout {
                    id: pageStack
                    objectName: "pageStack"
                    anchors.fill: parent
                    currentIndex: 0

                    onCurrentIndexChanged: {
                        const shown = mainApp.currentPage();
                        if (shown && typeof shown.refresh === "function")
                            shown.refresh();
                    }

                    Dashboard {
                        onPageRequested: index => mainApp.showPage(index)
                    }
                    PropertiesPage {}
                    TenantsPage {}
                    BuyersPage {}
                    AccountingPage {
                        onPageRequested: index => mainApp.showPage(index)
                    }
                    PaymentsPage {}
                    ChequesPage {}
                    InvoicesPage {}
                    MaintenancePage {}
                    ReportsPage {}
                    UsersPage {}
                    SettingsPage {}
                }
            }
        }
    }
}
