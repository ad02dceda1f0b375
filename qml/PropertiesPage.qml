pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Properties and projects as cards with their figures, a page of 50 at a time, newest first;
// adding a property, deleting one that has no history, and the units dialog of each.
Rectangle {
    id: propPage

    readonly property int pageSize: 50
    // The cards loaded so far (a copy of the list model's records, for reading).
    property var properties: []
    property bool hasMore: false

    // Reloads the first page (after an action, a search, or when the page is shown).
    function refresh() {
        cards.clear();
        properties = [];
        hasMore = false;
        fetchFrom(0);
        grid.positionViewAtBeginning();
    }

    function loadMore() {
        if (hasMore)
            fetchFrom(cards.count);
    }

    function fetchFrom(offset) {
        const rows = Backend.propertyModel.getPage(offset, pageSize + 1, searchStrip.text.trim()) || [];
        const shown = Math.min(rows.length, pageSize);
        const added = [];
        for (let i = 0; i < shown; ++i) {
            cards.append({
                "record": rows[i]
            });
            added.push(rows[i]);
        }
        properties = properties.concat(added);
        hasMore = rows.length > pageSize;
    }

    function openUnits(record) {
        unitsDialog.propertyName = record.name || "";
        unitsDialog.propertyId = Number(record.id);
        unitsDialog.open();
    }

    function askRemove(record) {
        const total = Format.count(record.total_units);
        const units = total > 0 ? " ووحداته (" + total + " وحدة)" : "";
        confirm.ask("حذف العقار", "سيتم حذف العقار \"" + record.name + "\"" + units + " نهائياً.", function () {
            propPage.remove(record);
        });
    }

    function remove(record) {
        if (Backend.propertyModel.remove(Number(record.id))) {
            refresh();
            Notifier.show("نجاح", "تم حذف العقار \"" + record.name + "\"", "success");
            return;
        }
        Notifier.show("تعذر الحذف", "لا يمكن حذف العقار \"" + record.name + "\": " + Backend.propertyModel.lastError, "error");
        refresh();
    }

    objectName: "propertiesPage"
    color: Theme.bgPrimary

    ListModel {
        id: cards
    }

    ConfirmDialog {
        id: confirm
        objectName: "propertyConfirmDialog"
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة العقارات"
            subtitle: "إدارة جميع العقارات والوحدات"

            MButton {
                objectName: "addPropertyButton"
                text: "إضافة عقار"
                iconSymbol: Icons.add
                onClicked: addDialog.open()
            }
        }

        SearchStrip {
            id: searchStrip
            objectName: "propertySearch"
            placeholderText: "بحث عن عقار..."
            onTextChanged: propPage.refresh()
        }

        GridView {
            id: grid
            objectName: "propertyGrid"
            Layout.fillWidth: true
            Layout.fillHeight: true
            cellWidth: Math.floor(width / 2)
            cellHeight: 200
            clip: true
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            model: cards
            ScrollBar.vertical: ScrollBar {}

            Text {
                anchors.centerIn: parent
                visible: cards.count === 0
                textFormat: Text.PlainText
                text: searchStrip.text.trim().length > 0 ? "لا توجد عقارات تطابق البحث" : "لا توجد عقارات بعد، أضف أول عقار"
                color: Theme.textMuted
                font.pixelSize: 14
            }

            delegate: PropertyCard {
                onUnitsRequested: record => propPage.openUnits(record)
                onRemoveRequested: record => propPage.askRemove(record)
            }
        }

        // Header and footer items of a view are not made under this Qt with bound components,
        // so the button sits under the grid.
        MButton {
            objectName: "loadMoreProperties"
            Layout.alignment: Qt.AlignHCenter
            visible: propPage.hasMore
            text: "تحميل المزيد"
            iconSymbol: Icons.more
            outline: true
            onClicked: propPage.loadMore()
        }
    }

    AddPropertyDialog {
        id: addDialog
        onSaved: propPage.refresh()
    }

    UnitsDialog {
        id: unitsDialog
        objectName: "unitsDialog"
        // The cards count the units.
        onEdited: propPage.refresh()
    }
}
