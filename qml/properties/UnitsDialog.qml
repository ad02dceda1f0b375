pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The units of one property, on the fixed dark panel: their floor, area, rent and status, adding
// a unit, taking a free unit out of service (under repair) and back, and deleting one that was
// never let, sold or billed. The list is read again each time
// the dialog opens, so it never shows a unit's status as it was at an earlier opening.
//
// Properties:
//   propertyId   (int)    the property whose units are shown; set it before open()
//   propertyName (string) shown in the title
//   units        (list)   the units as read (read it, don't set it)
// Functions: refresh() reads the units again.
// Signals: edited() after a unit was added or deleted.
MDialog {
    id: unitsDlg

    property int propertyId: 0
    property string propertyName: ""
    property var units: []

    signal edited

    readonly property var unitStatuses: ({
            "available": {
                "label": "متاحة",
                "color": Theme.fixed.success
            },
            "rented": {
                "label": "مؤجرة",
                "color": Theme.fixed.gold
            },
            "sold": {
                "label": "مباعة",
                "color": Theme.fixed.error
            },
            "maintenance": {
                "label": "خارج الخدمة",
                "color": Theme.fixed.textSecondary
            }
        })


    function refresh() {
        units = propertyId > 0 ? Backend.unitModel.getByProperty(propertyId) || [] : [];
    }

    // Checks every field before anything is sent; names the first wrong one and keeps the input.
    function addUnit() {
        const number = numberField.text.trim();
        if (number.length === 0)
            return Notifier.refuse("أدخل رقم الوحدة", numberField);
        const floor = Format.whole(floorField.text, true);
        if (isNaN(floor))
            return Notifier.refuse("الطابق يجب أن يكون رقماً صحيحاً", floorField);
        const area = Format.notNegative(areaField.text);
        if (isNaN(area) || area <= 0)
            return Notifier.refuse("المساحة يجب أن تكون رقماً أكبر من صفر", areaField);
        const rent = Format.notNegative(rentField.text);
        if (isNaN(rent))
            return Notifier.refuse("الإيجار الشهري يجب أن يكون رقماً (0 أو أكثر)", rentField);
        const rooms = Format.whole(roomsField.text, false);
        if (isNaN(rooms))
            return Notifier.refuse("عدد الغرف يجب أن يكون رقماً صحيحاً (0 أو أكثر)", roomsField);
        if (units.some(unit => String(unit.unit_number) === number))
            return Notifier.refuse("الوحدة رقم " + number + " موجودة في هذا العقار", numberField);

        const id = Backend.unitModel.add(propertyId, number, floor, area, rooms, rent, rent * 12, 0, 1);
        if (id <= 0) {
            refresh();
            return Notifier.refuse(Backend.unitModel.lastError, numberField);
        }
        addUnitDlg.close();
        for (const field of [numberField, floorField, areaField, rentField, roomsField])
            field.text = "";
        refresh();
        edited();
        Notifier.show("نجاح", "تمت إضافة الوحدة رقم " + number, "success");
        return true;
    }


    function askRemove(unit) {
        confirm.ask("حذف الوحدة", "سيتم حذف الوحدة رقم " + unit.unit_number + " من \"" + propertyName + "\" نهائياً.", function () {
            unitsDlg.remove(unit);
        });
    }

    function remove(unit) {
        if (Backend.unitModel.remove(Number(unit.id))) {
            refresh();
            edited();
            Notifier.show("نجاح", "تم حذف الوحدة رقم " + unit.unit_number, "success");
            return;
        }
        Notifier.show("تعذر الحذف", "لا يمكن حذف الوحدة رقم " + unit.unit_number + ": " + Backend.unitModel.lastError, "error");
        refresh();
    }

    // A free unit under repair is offered for neither a contract nor a sale until it is put back.
    function toggleService(unit) {
        const takeOut = unit.status === "available";
        if (Backend.unitModel.updateStatus(Number(unit.id), takeOut ? "maintenance" : "available")) {
            refresh();
            edited();
            Notifier.show("نجاح", (takeOut ? "أُخرجت الوحدة رقم " + unit.unit_number + " من الخدمة" : "أُعيدت الوحدة رقم " + unit.unit_number + " إلى الخدمة"), "success");
            return;
        }
        Notifier.show("خطأ", "تعذر تغيير حالة الوحدة رقم " + unit.unit_number + ": " + Backend.unitModel.lastError, "error");
        refresh();
    }

    title: "إدارة الوحدات - " + propertyName
    width: 800
    height: 600
    onPropertyIdChanged: refresh()
    onAboutToShow: refresh()

    ConfirmDialog {
        id: confirm
        objectName: "unitConfirmDialog"
        // Over the window, not inside this dialog's content.
        parent: Overlay.overlay
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 15

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "قائمة الوحدات (" + unitsDlg.units.length + ")"
                color: Theme.fixed.gold
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "addUnitButton"
                Layout.preferredHeight: 32
                implicitHeight: 32
                text: "إضافة وحدة"
                iconSymbol: Icons.add
                onClicked: addUnitDlg.open()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Theme.fixed.pageBg
            border.width: 1
            border.color: Theme.fixed.cardBorder
            clip: true

            ListView {
                id: unitList
                objectName: "unitList"
                anchors.fill: parent
                anchors.margins: 5
                spacing: 5
                clip: true
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: unitsDlg.units
                ScrollBar.vertical: ScrollBar {}

                Text {
                    anchors.centerIn: parent
                    visible: unitsDlg.units.length === 0
                    text: "لا توجد وحدات في هذا العقار بعد"
                    color: Theme.fixed.textMuted
                    font.pixelSize: 14
                }

                delegate: Rectangle {
                    id: unitRow
                    required property var modelData
                    required property int index

                    objectName: "unitRow_" + modelData.unit_number
                    width: ListView.view.width
                    height: 50
                    radius: 8
                    color: Theme.fixed.card
                    border.width: 1
                    border.color: Theme.fixed.cardBorder

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 10
                        anchors.leftMargin: 10
                        spacing: 8

                        Text {
                            Layout.preferredWidth: 80
                            textFormat: Text.PlainText
                            text: unitRow.modelData.unit_number || ""
                            color: Theme.fixed.textPrimary
                            font.pixelSize: 14
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideLeft
                        }
                        Text {
                            Layout.preferredWidth: 80
                            textFormat: Text.PlainText
                            text: "طابق " + Format.count(unitRow.modelData.floor)
                            color: Theme.fixed.textSecondary
                            font.pixelSize: 13
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            Layout.preferredWidth: 90
                            textFormat: Text.PlainText
                            text: unitRow.modelData.area === null || unitRow.modelData.area === undefined ? "-" : Format.amount(unitRow.modelData.area) + " م²"
                            color: Theme.fixed.textSecondary
                            font.pixelSize: 13
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            objectName: "unitRent"
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: Format.amount(unitRow.modelData.rent_monthly) + " / شهر"
                            color: Theme.fixed.gold
                            font.pixelSize: 13
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        StatusBadge {
                            objectName: "unitBadge"
                            Layout.preferredWidth: 80
                            status: unitsDlg.unitStatuses[unitRow.modelData.status] ? unitRow.modelData.status : "sold"
                            mapping: unitsDlg.unitStatuses
                        }
                        IconButton {
                            objectName: "serviceUnitButton"
                            readonly property bool outOfService: unitRow.modelData.status === "maintenance"
                            implicitWidth: 32
                            implicitHeight: 32
                            // Only a free unit goes out of service; a let or sold one keeps the space.
                            opacity: outOfService || unitRow.modelData.status === "available" ? 1 : 0
                            enabled: opacity > 0
                            symbol: outOfService ? Icons.undo : Icons.maintenance
                            btnColor: Theme.fixed.textSecondary
                            tooltip: outOfService ? "إعادة الوحدة إلى الخدمة" : "إخراج الوحدة من الخدمة (صيانة)"
                            onClicked: unitsDlg.toggleService(unitRow.modelData)
                        }
                        IconButton {
                            objectName: "deleteUnitButton"
                            implicitWidth: 32
                            implicitHeight: 32
                            symbol: Icons.remove
                            btnColor: Theme.fixed.error
                            tooltip: "حذف الوحدة"
                            onClicked: unitsDlg.askRemove(unitRow.modelData)
                        }
                    }
                }
            }
        }
    }

    MDialog {
        id: addUnitDlg
        objectName: "addUnitDialog"
        // Over the window, not inside this dialog's content.
        parent: Overlay.overlay
        title: "إضافة وحدة جديدة"
        width: 420
        height: 570

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            MTextField {
                id: numberField
                objectName: "unitNumberField"
                Layout.fillWidth: true
                label: "رقم الوحدة"
                placeholderText: "مثال: 101"
            }
            MTextField {
                id: floorField
                objectName: "unitFloorField"
                Layout.fillWidth: true
                label: "الطابق"
                inputMethodHints: Qt.ImhFormattedNumbersOnly
            }
            MTextField {
                id: areaField
                objectName: "unitAreaField"
                Layout.fillWidth: true
                label: "المساحة (م²)"
                inputMethodHints: Qt.ImhFormattedNumbersOnly
            }
            MTextField {
                id: rentField
                objectName: "unitRentField"
                Layout.fillWidth: true
                label: "الإيجار الشهري"
                inputMethodHints: Qt.ImhFormattedNumbersOnly
            }
            MTextField {
                id: roomsField
                objectName: "unitRoomsField"
                Layout.fillWidth: true
                label: "عدد الغرف"
                inputMethodHints: Qt.ImhDigitsOnly
                onAccepted: unitsDlg.addUnit()
            }

            Item {
                Layout.fillHeight: true
            }

            MButton {
                objectName: "saveUnitButton"
                Layout.fillWidth: true
                text: "حفظ"
                onClicked: unitsDlg.addUnit()
            }
        }
    }
}
