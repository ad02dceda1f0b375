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

    readonly property var typeCodes: ["residential", "commercial", "mixed"]
    readonly property var typeLabels: ["سكني", "تجاري", "مختلط"]

    readonly property var propertyStatuses: ({
            "soldOut": {
                "label": "مباعة بالكامل",
                "color": Theme.fixed.warning
            },
            "active": {
                "label": "نشط",
                "color": Theme.fixed.success
            },
            "inactive": {
                "label": "غير نشط",
                "color": Theme.fixed.error
            }
        })


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

    function typeLabel(type) {
        return type === "residential" ? "سكني" : type === "commercial" ? "تجاري" : "مختلط";
    }

    function statusKey(record) {
        const total = Format.count(record.total_units);
        if (total > 0 && Format.count(record.sold_units) >= total)
            return "soldOut";
        return record.status === "active" ? "active" : "inactive";
    }

    // Rented and sold units both count as taken, of the units in service: one under repair is
    // counted apart.
    function occupancy(record) {
        const total = Format.count(record.total_units) - Format.count(record.maintenance_units);
        if (total <= 0)
            return 0;
        return Math.round((Format.count(record.rented_units) + Format.count(record.sold_units)) / total * 100);
    }

    function openUnits(record) {
        unitsDialog.propertyName = record.name || "";
        unitsDialog.propertyId = Number(record.id);
        unitsDialog.open();
    }

    function addProperty() {
        const name = nameField.text.trim();
        if (name.length === 0) {
            Notifier.show("خطأ", "أدخل اسم العقار", "error");
            nameField.input.forceActiveFocus();
            return;
        }
        const id = Backend.propertyModel.add(name, typeCodes[typeBox.currentIndex], addressField.text.trim(), cityField.text.trim(), "");
        if (id <= 0) {
            Notifier.show("خطأ", "تعذرت إضافة العقار، حاول مرة أخرى", "error");
            return;
        }
        addDialog.close();
        nameField.text = "";
        cityField.text = "";
        addressField.text = "";
        refresh();
        Notifier.show("نجاح", "تمت إضافة العقار \"" + name + "\"", "success");
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
        // Read the units again: one may have been let or sold since the card was drawn.
        const units = Backend.unitModel.getByProperty(Number(record.id)) || [];
        const taken = units.filter(unit => unit.status !== "available").length;
        const why = taken > 0 ? "فيه " + taken + " وحدة مؤجرة أو مباعة." : "له سجل من عقود أو فواتير أو دفعات أو مصاريف أو صيانة.";
        Notifier.show("تعذر الحذف", "لا يمكن حذف العقار \"" + record.name + "\": " + why, "error");
        refresh();
    }

    objectName: "propertiesPage"
    color: Theme.bgPrimary

    // A number over its caption in a card's row of figures.
    component CardFigure: ColumnLayout {
        property string value: "0"
        property string caption: ""
        property color valueColor: Theme.textPrimary
        readonly property string text: value

        spacing: 0

        Text {
            Layout.alignment: Qt.AlignHCenter
            textFormat: Text.PlainText
            text: parent.value
            color: parent.valueColor
            font.pixelSize: 16
            font.bold: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            textFormat: Text.PlainText
            text: parent.caption
            color: Theme.fixed.textMuted
            font.pixelSize: 10
        }
    }

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

            delegate: Item {
                id: cell
                required property var record
                required property int index

                width: grid.cellWidth
                height: grid.cellHeight

                Rectangle {
                    id: card
                    objectName: "propertyCard_" + cell.record.id
                    anchors.fill: parent
                    anchors.margins: 8
                    radius: 14
                    color: Theme.bgSecondary
                    border.width: 1
                    border.color: cardHover.hovered ? Theme.accentGold : Theme.borderColor

                    Behavior on border.color {
                        ColorAnimation {
                            duration: 200
                        }
                    }
                    HoverHandler {
                        id: cardHover
                    }

                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 18
                        spacing: 10

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 10

                            ColumnLayout {
                                Layout.fillWidth: true
                                spacing: 2

                                Text {
                                    objectName: "propertyName"
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: cell.record.name || ""
                                    color: Theme.textPrimary
                                    font.pixelSize: 17
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideLeft
                                }
                                Text {
                                    objectName: "propertyType"
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: propPage.typeLabel(cell.record.type)
                                    color: Theme.textSecondary
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                }
                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: [cell.record.city, cell.record.address].filter(part => part && String(part).length > 0).join(" - ")
                                    color: Theme.textMuted
                                    font.pixelSize: 11
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideLeft
                                }
                            }

                            StatusBadge {
                                objectName: "propertyBadge"
                                Layout.alignment: Qt.AlignTop
                                Layout.preferredWidth: 85
                                Layout.preferredHeight: 26
                                status: propPage.statusKey(cell.record)
                                mapping: propPage.propertyStatuses
                            }
                        }

                        Rectangle {
                            Layout.fillWidth: true
                            Layout.preferredHeight: 1
                            color: Theme.borderColor
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 12

                            CardFigure {
                                objectName: "figureUnits"
                                value: String(Format.count(cell.record.total_units))
                                caption: "وحدة"
                            }
                            CardFigure {
                                objectName: "figureRented"
                                value: String(Format.count(cell.record.rented_units))
                                caption: "مؤجرة"
                            }
                            CardFigure {
                                objectName: "figureSold"
                                value: String(Format.count(cell.record.sold_units))
                                caption: "مباعة"
                                valueColor: Theme.accentGold
                            }
                            CardFigure {
                                objectName: "figureOutOfService"
                                visible: Format.count(cell.record.maintenance_units) > 0
                                value: String(Format.count(cell.record.maintenance_units))
                                caption: "خارج الخدمة"
                                valueColor: Theme.textMuted
                            }
                            CardFigure {
                                objectName: "figureOccupancy"
                                value: propPage.occupancy(cell.record) + "%"
                                caption: "إشغال"
                            }

                            Item {
                                Layout.fillWidth: true
                            }

                            ColumnLayout {
                                spacing: 0

                                Text {
                                    Layout.alignment: Qt.AlignRight
                                    text: "الإيرادات الشهرية"
                                    color: Theme.textMuted
                                    font.pixelSize: 11
                                }
                                Text {
                                    objectName: "figureRevenue"
                                    Layout.alignment: Qt.AlignRight
                                    textFormat: Text.PlainText
                                    text: Format.amount(cell.record.monthly_revenue)
                                    color: Theme.accentGold
                                    font.pixelSize: 15
                                    font.bold: true
                                }
                            }
                        }

                        Item {
                            Layout.fillHeight: true
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 10

                            MButton {
                                objectName: "manageUnitsButton"
                                Layout.fillWidth: true
                                text: "إدارة الوحدات"
                                onClicked: propPage.openUnits(cell.record)
                            }
                            IconButton {
                                objectName: "deletePropertyButton"
                                symbol: Icons.remove
                                btnColor: Theme.fixed.error
                                tooltip: "حذف العقار"
                                onClicked: propPage.askRemove(cell.record)
                            }
                        }
                    }
                }
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

    MDialog {
        id: addDialog
        objectName: "addPropertyDialog"
        title: "إضافة عقار جديد"
        width: 480
        height: 480

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            MTextField {
                id: nameField
                objectName: "propertyNameField"
                Layout.fillWidth: true
                label: "اسم العقار"
                placeholderText: "مثال: برج النخيل"
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6

                Text {
                    Layout.fillWidth: true
                    text: "نوع العقار"
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                ThemedComboBox {
                    id: typeBox
                    objectName: "propertyTypeBox"
                    Layout.fillWidth: true
                    model: propPage.typeLabels
                }
            }

            MTextField {
                id: cityField
                objectName: "propertyCityField"
                Layout.fillWidth: true
                label: "المدينة"
            }
            MTextField {
                id: addressField
                objectName: "propertyAddressField"
                Layout.fillWidth: true
                label: "العنوان"
                onAccepted: propPage.addProperty()
            }

            Item {
                Layout.fillHeight: true
            }

            MButton {
                objectName: "savePropertyButton"
                Layout.fillWidth: true
                text: "حفظ"
                onClicked: propPage.addProperty()
            }
        }
    }

    UnitsDialog {
        id: unitsDialog
        objectName: "unitsDialog"
        // The cards count the units.
        onEdited: propPage.refresh()
    }
}
