pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The rental contracts of one tenant, newest first: making a new contract on an available unit
// and ending an active one. The contracts and the available units are read again whenever the
// dialog opens, so a unit freed elsewhere is offered at once and a unit let elsewhere is not.
//
// Properties:
//   tenantId       (int)    whose contracts are shown; set it before open()
//   tenantName     (string) shown in the title
//   contracts      (list)   the tenant's contracts as read
//   availableUnits (list)   the units a new contract may take
// Functions: refresh() reads both lists again.
// Signals: edited() after a contract was made or ended.
MDialog {
    id: contractsDlg

    property int tenantId: 0
    property string tenantName: ""
    property var contracts: []
    property var availableUnits: []

    signal edited

    readonly property var contractStatuses: ({
            "active": {
                "label": "نشط",
                "color": Theme.successColor
            },
            "ended": {
                "label": "منتهي",
                "color": Theme.dangerColor
            }
        })


    function refresh() {
        contracts = tenantId > 0 ? Backend.contractModel.getByTenant(tenantId) || [] : [];
        const chosen = unitBox.currentIndex >= 0 && unitBox.currentIndex < availableUnits.length ? availableUnits[unitBox.currentIndex].id : -1;
        availableUnits = Backend.unitModel.getAvailable() || [];
        // Keep the chosen unit chosen while it is still free.
        unitBox.currentIndex = availableUnits.findIndex(unit => unit.id === chosen);
    }

    function unitLabel(unit) {
        return (unit.property_name || "") + " - " + (unit.unit_number || "");
    }



    // Checks every field before anything is sent and says what is wrong.
    function addContract() {
        if (unitBox.currentIndex < 0 || unitBox.currentIndex >= availableUnits.length)
            return Notifier.refuse("اختر الوحدة المتاحة للعقد");
        const unit = availableUnits[unitBox.currentIndex];
        const start = startField.text.trim();
        const end = endField.text.trim();
        if (!Format.isDate(start))
            return Notifier.refuse("تاريخ البدء غير صحيح، اكتبه بالشكل YYYY-MM-DD", startField);
        if (!Format.isDate(end))
            return Notifier.refuse("تاريخ الانتهاء غير صحيح، اكتبه بالشكل YYYY-MM-DD", endField);
        if (end < start)
            return Notifier.refuse("تاريخ الانتهاء يجب أن يكون بعد تاريخ البدء", endField);
        const rent = Format.notNegative(rentField.text);
        if (isNaN(rent) || rent <= 0)
            return Notifier.refuse("مبلغ الإيجار يجب أن يكون رقماً أكبر من صفر", rentField);
        const deposit = Format.notNegative(depositField.text);
        if (isNaN(deposit))
            return Notifier.refuse("التأمين يجب أن يكون رقماً (0 أو أكثر)", depositField);

        const unitId = Number(unit.id);
        if (Backend.contractModel.hasOverlap(unitId, start, end))
            return Notifier.refuse("الوحدة " + unitLabel(unit) + " مؤجرة بعقد نشط يتداخل مع هذه الفترة", startField);
        const frequency = frequencyBox.currentIndex === 1 ? "yearly" : "monthly";
        const id = Backend.contractModel.add(unitId, tenantId, start, end, rent, frequency, deposit, 1);
        if (id <= 0) {
            refresh();
            return Notifier.refuse("تعذر إنشاء العقد على الوحدة " + unitLabel(unit) + ": " + Backend.contractModel.lastError);
        }
        addContractDlg.close();
        unitBox.currentIndex = -1;
        endField.text = "";
        refresh();
        edited();
        Notifier.show("نجاح", "تم إنشاء العقد على الوحدة " + unitLabel(unit), "success");
        return true;
    }

    function askTerminate(contract) {
        confirm.ask("إنهاء العقد", "سيتم إنهاء عقد الوحدة " + unitLabel(contract) + " وتصبح الوحدة متاحة من جديد.", function () {
            contractsDlg.terminate(contract);
        });
    }

    function terminate(contract) {
        if (!Backend.contractModel.terminate(Number(contract.id))) {
            Notifier.refuse(Backend.contractModel.lastError);
            refresh();
            return;
        }
        refresh();
        edited();
        Notifier.show("نجاح", "تم إنهاء عقد الوحدة " + unitLabel(contract), "success");
    }

    title: "عقود المستأجر - " + tenantName
    width: 960
    height: 620
    onTenantIdChanged: refresh()
    onAboutToShow: refresh()

    DepositDialog {
        id: depositDlg
        objectName: "depositDialog"
        parent: Overlay.overlay
        onEdited: {
            contractsDlg.refresh();
            contractsDlg.edited();
        }
    }

    RenewalDialog {
        id: renewalDlg
        objectName: "renewalDialog"
        parent: Overlay.overlay
        onRenewed: {
            contractsDlg.refresh();
            contractsDlg.edited();
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "contractConfirmDialog"
        // Over the window, not inside this dialog's content.
        parent: Overlay.overlay
        confirmText: "إنهاء العقد"
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
                text: "قائمة العقود (" + contractsDlg.contracts.length + ")"
                color: Theme.accentGold
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "newContractButton"
                Layout.preferredHeight: 32
                implicitHeight: 32
                text: "عقد جديد"
                iconSymbol: Icons.add
                onClicked: addContractDlg.open()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Theme.bgInput
            border.width: 1
            border.color: Theme.borderColor
            clip: true

            ListView {
                objectName: "contractList"
                anchors.fill: parent
                anchors.margins: 5
                spacing: 5
                clip: true
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: contractsDlg.contracts
                ScrollBar.vertical: ScrollBar {}

                Text {
                    anchors.centerIn: parent
                    visible: contractsDlg.contracts.length === 0
                    text: "لا توجد عقود لهذا المستأجر"
                    color: Theme.textMuted
                    font.pixelSize: 14
                }

                delegate: ContractRow {
                    statuses: contractsDlg.contractStatuses
                    onTerminateRequested: contract => contractsDlg.askTerminate(contract)
                    onDepositRequested: contract => {
                        depositDlg.contractId = Number(contract.id);
                        depositDlg.open();
                    }
                    onRenewRequested: contract => {
                        renewalDlg.contractId = Number(contract.id);
                        renewalDlg.open();
                    }
                }
            }
        }
    }

    MDialog {
        id: addContractDlg
        objectName: "addContractDialog"
        // Over the window, not inside this dialog's content.
        parent: Overlay.overlay
        title: "إنشاء عقد جديد"
        width: 480
        height: 640

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6

                Text {
                    Layout.fillWidth: true
                    text: "اختر الوحدة المتاحة"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                ThemedComboBox {
                    id: unitBox
                    objectName: "contractUnitBox"
                    Layout.fillWidth: true
                    placeholder: contractsDlg.availableUnits.length > 0 ? "اختر وحدة..." : "لا توجد وحدات متاحة"
                    model: contractsDlg.availableUnits.map(unit => contractsDlg.unitLabel(unit))
                    currentIndex: -1
                }
            }

            MTextField {
                id: startField
                objectName: "contractStartField"
                Layout.fillWidth: true
                label: "تاريخ البدء"
                placeholderText: "YYYY-MM-DD"
                text: Format.today()
            }
            MTextField {
                id: endField
                objectName: "contractEndField"
                Layout.fillWidth: true
                label: "تاريخ الانتهاء"
                placeholderText: "YYYY-MM-DD"
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                Text {
                    text: "دورية الإيجار:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ThemedComboBox {
                    id: frequencyBox
                    objectName: "contractFrequencyBox"
                    Layout.fillWidth: true
                    model: ["شهري", "سنوي"]
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                MTextField {
                    id: rentField
                    objectName: "contractRentField"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    label: frequencyBox.currentIndex === 1 ? "مبلغ الإيجار السنوي" : "مبلغ الإيجار الشهري"
                    inputMethodHints: Qt.ImhFormattedNumbersOnly
                }
                MTextField {
                    id: depositField
                    objectName: "contractDepositField"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    label: "التأمين"
                    text: "0"
                    inputMethodHints: Qt.ImhFormattedNumbersOnly
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 84
                radius: 10
                color: Theme.bgElevated
                border.width: 1
                border.color: Theme.borderColor

                ColumnLayout {
                    anchors.fill: parent
                    anchors.margins: 12
                    spacing: 6

                    Text {
                        Layout.fillWidth: true
                        text: "سيتم إنشاء العقد حسب نوع الإيجار المختار."
                        color: Theme.textPrimary
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        wrapMode: Text.Wrap
                    }
                    Text {
                        objectName: "frequencyNote"
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: frequencyBox.currentIndex === 1 ? "التحصيل السنوي يتم على فاتورة سنوية واحدة في نفس شهر بداية العقد." : "التحصيل الشهري يتم على فاتورة شهرية لكل فترة."
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        wrapMode: Text.Wrap
                    }
                }
            }

            Item {
                Layout.fillHeight: true
            }

            MButton {
                objectName: "saveContractButton"
                Layout.fillWidth: true
                text: "حفظ العقد"
                onClicked: contractsDlg.addContract()
            }
        }
    }
}
