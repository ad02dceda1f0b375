import QtQuick
import QtTest
import Darvelinto

// The properties page and its units dialog: adding, the refusals, the card figures, units out of
// service, deleting with and without history, paging and search.
AppTestCase {
    name: "Properties"

    function card(page, propertyId) {
        const cell = rowWhere(find("propertyGrid", page), p => Number(p.id) === Number(propertyId), "property " + propertyId);
        return find("propertyCard_" + propertyId, cell);
    }

    function unitRow(dialog, number) {
        return rowWhere(find("unitList", dialog.contentItem), unit => String(unit.unit_number) === number, "unit " + number);
    }

    function test_addingAPropertyAndItsUnits() {
        loginAsAdmin();
        const page = showPage(1);
        const dialog = openBy(find("addPropertyButton", page), "addPropertyDialog", page);
        find("propertyNameField", page).text = "   ";
        refusedClick(find("savePropertyButton", page), dialog);
        find("propertyNameField", page).text = "  برج الياسمين ";
        doneClick(find("savePropertyButton", page));
        waitClosed(dialog);
        const id = testSupport.value("SELECT id FROM properties WHERE name='برج الياسمين'");
        verify(id > 0, "stored trimmed");

        const units = openBy(find("manageUnitsButton", card(page, id)), "unitsDialog", page);
        const add = openBy(find("addUnitButton", units.contentItem), "addUnitDialog", page);
        const good = ["101", "٢", "٩٥٫٥", "1,750", "٣"]; // Arabic digits and a grouped amount are numbers too
        const fields = ["unitNumberField", "unitFloorField", "unitAreaField", "unitRentField", "unitRoomsField"];
        const typeUnit = values => fields.forEach((field, i) => find(field, page).text = values[i]);
        for (const bad of [["", 1], ["1.5", 1], ["", 2], ["-900", 3], ["3a", 4]]) {
            const values = good.slice();
            values[bad[1]] = bad[0];
            typeUnit(values);
            refusedClick(find("saveUnitButton", page), add);
        }
        typeUnit(good);
        doneClick(find("saveUnitButton", page));
        waitClosed(add);
        compare(testSupport.value("SELECT floor || '|' || area || '|' || rooms || '|' || rent_monthly || '|' || rent_yearly FROM units"), "2|95.5|3|1750.0|21000.0");
        compare(find("unitBadge", unitRow(units, "101")).label, "متاحة");

        // The same number again, whether this dialog knows of it or not.
        add.open();
        typeUnit(good);
        verify(refusedClick(find("saveUnitButton", page), add).indexOf("101") >= 0, "the user is told why");
        add.close();
        units.close();
        waitClosed(units);
        compare(find("figureUnits", card(page, id)).text, "1", "the card counts the new unit");
    }

    // Units under repair are counted apart and left out of the occupancy; sold and let ones are taken.
    function test_cardFiguresAndUnitsOutOfService() {
        loginAsAdmin();
        const ids = office();
        const buyer = buyerModel.add("نادر المصري", "", "", "", "");
        const sell = unit => compare(installmentModel.sellUnit(buyer, unit, 1000, 1000, 0, "2025-01-01", 1, "", ""), 1);
        for (const number of ["104", "105"])
            sell(unitModel.add(ids.property, number, 1, 90, 2, 0, 0, 1000, 1));
        const soldOut = propertyModel.add("مشروع الريحان", "residential", "", "", "");
        sell(unitModel.add(soldOut, "1", 1, 90, 2, 0, 0, 1000, 1));
        const page = showPage(1);
        const dialog = openBy(find("manageUnitsButton", card(page, ids.property)), "unitsDialog", page);
        verify(!find("serviceUnitButton", unitRow(dialog, "101")).enabled, "a let unit stays in service");
        mouseClick(find("serviceUnitButton", unitRow(dialog, "103")));
        compare(testSupport.value("SELECT status FROM units WHERE id=?", [ids.units[2]]), "maintenance");
        compare(find("unitBadge", unitRow(dialog, "103")).label, "خارج الخدمة");
        compare(unitModel.getAvailable().length, 0, "offered for nothing");
        dialog.close();
        waitClosed(dialog);

        let shown = card(page, ids.property);
        compare(find("figureOutOfService", shown).text, "1");
        verify(find("figureOutOfService", shown).visible);
        compare(find("figureOccupancy", shown).text, "100%", "4 of the 4 in service");
        compare(find("figureRevenue", shown).text, Format.amount(2700), "the rents of the let units");
        compare(find("propertyBadge", shown).label, "نشط", "2 of 5 sold is not sold out");
        compare(find("propertyBadge", card(page, soldOut)).label, "مباعة بالكامل");
        verify(!find("figureOutOfService", card(page, soldOut)).visible);

        // Back in service, read again at the next opening.
        const again = openBy(find("manageUnitsButton", card(page, ids.property)), "unitsDialog", page);
        mouseClick(find("serviceUnitButton", unitRow(again, "103")));
        compare(find("unitBadge", unitRow(again, "103")).label, "متاحة");
        compare(unitModel.getAvailable().length, 1);
    }

    function test_deletingWithAndWithoutHistory() {
        loginAsAdmin();
        const ids = office();
        const ended = contractModel.add(ids.units[2], ids.omar, "2019-01-01", "2019-12-31", 900, "monthly", 0, 1);
        verify(ended > 0 && contractModel.terminate(ended));
        const free = unitModel.add(ids.property, "104", 1, 90, 2, 800, 9600, 0, 1);
        const empty = propertyModel.add("مجمع فارغ", "residential", "", "", "");
        verify(unitModel.add(empty, "1", 1, 90, 2, 800, 9600, 0, 1) > 0);
        const page = showPage(1);

        const dialog = openBy(find("manageUnitsButton", card(page, ids.property)), "unitsDialog", page);
        for (const number of ["101", "103"]) { // let now; let before
            mouseClick(find("deleteUnitButton", unitRow(dialog, number)));
            const before = testSupport.digest();
            answer("unitConfirmDialog", true, page);
            compare(notice.kind, "error", number);
            compare(testSupport.digest(), before, "unit " + number + " kept");
        }
        mouseClick(find("deleteUnitButton", unitRow(dialog, "104")));
        answer("unitConfirmDialog", false, page);
        compare(testSupport.count("SELECT id FROM units WHERE id=?", [free]), 1, "cancelled: nothing deleted");
        mouseClick(find("deleteUnitButton", unitRow(dialog, "104")));
        answer("unitConfirmDialog", true, page);
        compare(testSupport.count("SELECT id FROM units WHERE id=?", [free]), 0);
        compare(testSupport.count("SELECT id FROM cost_centers WHERE unit_id=?", [free]), 0, "with its cost centre");
        dialog.close();
        waitClosed(dialog);

        mouseClick(find("deletePropertyButton", card(page, ids.property)));
        const before = testSupport.digest();
        answer("propertyConfirmDialog", true, page);
        compare(notice.kind, "error");
        compare(testSupport.digest(), before, "a property with history is kept");
        mouseClick(find("deletePropertyButton", card(page, empty)));
        answer("propertyConfirmDialog", true, page);
        compare(testSupport.count("SELECT id FROM units WHERE property_id=?", [empty]), 0, "deleted with its units");
        compare(page.properties.length, 1);
    }

    function test_pagingAndSearch() {
        loginAsAdmin();
        for (let i = 1; i <= 53; ++i)
            verify(propertyModel.add("عقار " + i, "residential", "", i % 2 ? "نابلس" : "جنين", "") > 0);
        const page = showPage(1);
        compare(page.properties.length, 50);
        compare(page.properties[0].name, "عقار 53", "newest first");
        mouseClick(find("loadMoreProperties", page));
        compare(page.properties.length, 53);
        verify(!find("loadMoreProperties", page).visible);
        const search = find("propertySearch", page);
        search.text = "عقار 5";
        compare(page.properties.map(p => p.name).sort(), ["عقار 5", "عقار 50", "عقار 51", "عقار 52", "عقار 53"]);
        search.text = "جنين";
        compare(page.properties.length, 26, "the city is searched too");
        search.text = "";
        compare(page.properties.length, 50);
    }
}
