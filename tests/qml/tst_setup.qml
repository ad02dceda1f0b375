import QtQuick
import QtTest

// The first-run setup page: shown after log-in only while no currency is primary.
AppTestCase {
    name: "Setup"

    function primaryCodes() {
        return database.execQuery("SELECT code FROM currencies WHERE is_primary=1").map(row => row.code);
    }

    function test_firstRunChoosesUsd() {
        openApp(true);
        verify(settingsManager.isFirstRun);
        const setup = login("admin", "qorvu");
        compare(setup.objectName, "setupPage");
        compare(setup.selectedCode, "ILS", "the first row is chosen at start");

        mouseClick(find("currency_USD", setup));
        compare(setup.selectedCode, "USD");
        mouseClick(find("startButton", setup));

        compare(screen().objectName, "mainApp");
        compare(primaryCodes(), ["USD"], "exactly one primary currency, the chosen one");
        compare(settingsManager.primaryCurrency, "USD");
        verify(!settingsManager.isFirstRun);
    }

    function test_aClickAnywhereOnARowChoosesIt() {
        openApp(true);
        const setup = login("admin", "qorvu");
        const row = find("currency_JOD", setup);
        mouseClick(row, 20, row.height / 2); // on the symbol box at the left end
        compare(setup.selectedCode, "JOD");
        mouseClick(find("startButton", setup));
        compare(primaryCodes(), ["JOD"]);
    }

    function test_startingAtOnceKeepsIls() {
        openApp(true);
        const setup = login("admin", "qorvu");
        mouseClick(find("startButton", setup));
        compare(primaryCodes(), ["ILS"]);
        compare(screen().objectName, "mainApp");
    }

    function test_noSetupWhenACurrencyIsPrimary() {
        openApp(false);
        verify(!settingsManager.isFirstRun);
        compare(login("admin", "qorvu").objectName, "mainApp");
    }
}
