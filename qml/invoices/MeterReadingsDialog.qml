pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The month's meter readings, unit by unit, for one metered service (water, power): type a
// reading and press Enter, and the cursor moves to the next unit. A reading below the last one is
// refused unless "تغيير عداد" is ticked; an unusually high use asks first. "فوترة الاستهلاك" bills
// the readings not billed yet (the rent run bills the ones entered before it); the readings can
// also be pasted from a spreadsheet. Emits billed(outcome) after a usage run.
MDialog {
    id: readingsDialog

    property var rows: []
    property var services: []
    property var properties: []
    readonly property var service: serviceBox.currentEntry
    readonly property string period: periodField.text.trim()

    signal billed(var outcome)

    // Fresh delegates for a fresh sheet: what was typed into the old one is not carried over.
    function reload() {
        rows = [];
        const property = propertyBox.currentIndex > 0 ? propertyBox.currentEntry.id : 0;
        if (!service || !Format.isPeriod(period))
            return;
        rows = Backend.meterReadingModel.getSheet(service.id, period, property);
        // The delegates are made once the view lays out the new rows.
        Qt.callLater(() => readingsDialog.focusRow(0));
    }

    function updateRow(index, patch) {
        const copy = rows.slice();
        copy[index] = Object.assign({}, rows[index], patch);
        rows = copy;
    }

    function focusRow(index) {
        if (index < 0 || index >= rows.length)
            return;
        sheet.positionViewAtIndex(index, ListView.Contain);
        const item = sheet.itemAtIndex(index);
        if (item)
            item.focusReading();
    }

    // Keeps a row's reading; on success the sheet moves on to the next unit.
    function save(index, text, meterChange, confirmed) {
        const row = rows[index];
        if (String(text).trim().length === 0) {
            focusRow(index + 1);
            return;
        }
        const reading = Format.notNegative(text);
        if (isNaN(reading)) {
            updateRow(index, { note: "القراءة رقم صفر أو أكثر" });
            return;
        }
        const verdict = Backend.meterReadingModel.saveReading(row.unit_id, service.id, period, reading, meterChange, confirmed);
        if (verdict.confirm) {
            highUse.ask("استهلاك مرتفع", verdict.reason, () => readingsDialog.save(index, text, meterChange, true));
            return;
        }
        if (!verdict.saved) {
            updateRow(index, { note: verdict.reason });
            focusRow(index);
            return;
        }
        updateRow(index, {
            note: "",
            kept: 1,
            current_reading: reading,
            consumption: verdict.consumption,
            cost: verdict.cost,
            meter_change: meterChange ? 1 : 0
        });
        focusRow(index + 1);
    }

    function billUsage() {
        if (!Format.isPeriod(period)) {
            Notifier.refuse("أدخل الفترة بالشكل YYYY-MM، مثل " + Format.ltr(Format.currentPeriod()));
            return;
        }
        const outcome = Backend.invoiceModel.billUsage(period) || {};
        reload();
        if (Number(outcome.unbilled) > 0)
            Notifier.show("تنبيه", "بقيت " + outcome.unbilled + " قراءة بلا مستأجر يُفوتر عليها في هذا الشهر", "warning");
        billed(outcome);
    }

    objectName: "meterReadingsDialog"
    title: "قراءات العدادات"
    width: 860
    height: 640
    onAboutToShow: {
        services = Backend.meterReadingModel.getMeteredServices();
        // Every property, under a first entry for all of them.
        const all = Backend.propertyModel.getAll();
        let choices = [{ id: 0, name: "كل العقارات" }];
        for (let i = 0; i < all.length; ++i)
            choices.push(all[i]);
        properties = choices;
        if (serviceBox.currentIndex < 0 && services.length > 0)
            serviceBox.currentIndex = 0;
        if (propertyBox.currentIndex < 0)
            propertyBox.currentIndex = 0;
        reload();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            ChoiceBox {
                id: serviceBox
                objectName: "meterServiceBox"
                Layout.preferredWidth: 170
                model: readingsDialog.services
                textFor: entry => entry.name + " (" + entry.unit_of_measure + ")"
                onActivated: readingsDialog.reload()
            }
            ChoiceBox {
                id: propertyBox
                objectName: "meterPropertyBox"
                Layout.fillWidth: true
                model: readingsDialog.properties
                textRole: "name"
                onActivated: readingsDialog.reload()
            }
            MTextField {
                id: periodField
                objectName: "meterPeriod"
                Layout.preferredWidth: 130
                text: Format.currentPeriod()
                placeholderText: "YYYY-MM"
                onAccepted: readingsDialog.reload()
            }
        }

        Text {
            Layout.fillWidth: true
            text: readingsDialog.service ? "سعر الوحدة " + Format.money(readingsDialog.service.rate) + " لكل " + readingsDialog.service.unit_of_measure + " — اكتب القراءة ثم Enter للانتقال إلى الوحدة التالية" : "لا توجد خدمات تُقرأ من عداد"
            color: Theme.fixed.textSecondary
            font.pixelSize: 12
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignLeft
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 10
            color: Theme.fixed.card
            border.width: 1
            border.color: Theme.fixed.cardBorder

            Rectangle {
                id: headings
                anchors.top: parent.top
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.margins: 1
                height: 36
                radius: 10
                color: Theme.fixed.tableHeader

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 10
                    spacing: 10

                    Repeater {
                        model: [["العقار / الوحدة", 150], ["المستأجر", -1], ["القراءة السابقة", 90], ["القراءة الحالية", 110], ["الاستهلاك   المبلغ", 140], ["تغيير عداد", 70]]
                        delegate: Text {
                            required property var modelData
                            Layout.preferredWidth: modelData[1] > 0 ? modelData[1] : -1
                            Layout.fillWidth: modelData[1] < 0
                            text: modelData[0]
                            color: Theme.fixed.textSecondary
                            font.pixelSize: 12
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                }
            }

            ListView {
                id: sheet
                objectName: "readingsSheet"
                anchors.top: headings.bottom
                anchors.bottom: parent.bottom
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.margins: 1
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: readingsDialog.rows.length
                ScrollBar.vertical: ScrollBar {}
                delegate: MeterReadingRow {
                    required property int index
                    width: ListView.view.width
                    row: readingsDialog.rows[index] || ({})
                    striped: index % 2 === 1
                    onSubmitted: (text, meterChange) => readingsDialog.save(index, text, meterChange, false)
                }
            }
            Text {
                anchors.centerIn: parent
                visible: readingsDialog.rows.length === 0
                text: "لا توجد وحدات لهذا الاختيار"
                color: Theme.fixed.textMuted
                font.pixelSize: 13
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            MButton {
                objectName: "importReadingsButton"
                text: "لصق القراءات من إكسل"
                iconSymbol: Icons.importFile
                outline: true
                onClicked: readingsImport.open()
            }
            Item {
                Layout.fillWidth: true
            }
            MButton {
                objectName: "billUsageButton"
                text: "فوترة الاستهلاك"
                iconSymbol: Icons.invoices
                onClicked: readingsDialog.billUsage()
            }
        }
    }

    ImportDialog {
        id: readingsImport
        objectName: "readingsImportDialog"
        targetTable: "readings"
        onImported: readingsDialog.reload()
    }
    ConfirmDialog {
        id: highUse
        objectName: "highUseConfirm"
        confirmText: "القراءة صحيحة"
        destructive: false
    }
}
