pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// A contract's security deposit: what was agreed and what is held, money received toward it (with
// its receipt), and its settlement when the tenant leaves: deductions against open invoices or for
// damage, each with its reason, and the rest refunded; then the printed statement.
//
// Properties: contractId (int) set before open().
// Signals: edited() after money moved.
MDialog {
    id: depositDlg

    property int contractId: 0
    property var summary: ({})
    property var openInvoices: []
    // The deductions being written: { kind: "damage"|"unpaid", amount, reason, invoiceIndex }.
    property var deductions: []

    signal edited

    readonly property real kept: deductions.reduce((sum, line) => sum + (Number(line.amount) || 0), 0)
    readonly property real held: Number(summary.held || 0)

    function refresh() {
        summary = contractId > 0 ? Backend.depositModel.getSummary(contractId) : {};
        openInvoices = contractId > 0 ? Backend.depositModel.getOpenInvoices(contractId) || [] : [];
    }

    function addLine(kind) {
        deductions = deductions.concat([{ "kind": kind, "amount": "", "reason": "", "invoiceIndex": -1 }]);
    }

    function setLine(index, key, value) {
        const lines = deductions.slice();
        lines[index] = Object.assign({}, lines[index], { [key]: value });
        deductions = lines;
    }

    function receive() {
        const amount = parseFloat(receiveField.text);
        const id = Backend.depositModel.receive(contractId, amount, ["cash", "bank", "cheque"][methodBox.currentIndex], Format.today(), referenceField.text);
        if (id <= 0)
            return Notifier.refuse(Backend.depositModel.lastError);
        receiveField.text = "";
        refresh();
        edited();
        Notifier.show("نجاح", "استُلم التأمين وصدر سند القبض", "success");
        Backend.receiptCtrl.printDepositReceipt(id);
    }

    function settle() {
        const lines = deductions.map(line => ({
                    "kind": line.kind,
                    "amount": parseFloat(line.amount),
                    "reason": line.reason,
                    "invoice_id": line.kind === "unpaid" && line.invoiceIndex >= 0 ? openInvoices[line.invoiceIndex].id : 0
                }));
        const id = Backend.depositModel.settle(contractId, lines, refundBox.currentIndex === 1 ? "bank" : "cash", settleDateField.text.trim());
        if (id <= 0)
            return Notifier.refuse(Backend.depositModel.lastError);
        deductions = [];
        refresh();
        edited();
        Notifier.show("نجاح", "سُوّي التأمين وانتهى العقد", "success");
        Backend.receiptCtrl.printSettlement(contractId);
    }

    title: "تأمين العقد - " + (summary.tenant_name || "") + " - وحدة " + (summary.unit_number || "")
    width: 640
    height: 640
    onContractIdChanged: refresh()
    onAboutToShow: {
        deductions = [];
        refresh();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            StatsCard {
                Layout.fillWidth: true
                title: "التأمين المتفق عليه"
                icon: Icons.statement
                value: Format.amount(depositDlg.summary.deposit || 0, depositDlg.summary.currency_symbol || "")
            }
            StatsCard {
                objectName: "depositHeld"
                Layout.fillWidth: true
                title: "التأمين المحتجز"
                icon: Icons.balance
                value: Format.amount(depositDlg.held, depositDlg.summary.currency_symbol || "")
            }
        }

        Text {
            Layout.fillWidth: true
            visible: depositDlg.summary.settled === true
            textFormat: Text.PlainText
            text: "سُوّي تأمين هذا العقد."
            color: Theme.textSecondary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }

        // Receiving
        RowLayout {
            Layout.fillWidth: true
            visible: depositDlg.summary.settled !== true
            spacing: 8
            MTextField {
                id: receiveField
                objectName: "depositReceiveField"
                Layout.fillWidth: true
                label: "مبلغ مستلم"
                inputMethodHints: Qt.ImhFormattedNumbersOnly
            }
            ThemedComboBox {
                id: methodBox
                Layout.preferredWidth: 110
                Layout.alignment: Qt.AlignBottom
                model: ["نقداً", "تحويل", "شيك"]
            }
            MTextField {
                id: referenceField
                Layout.preferredWidth: 110
                label: "المرجع"
            }
            MButton {
                objectName: "depositReceiveButton"
                Layout.alignment: Qt.AlignBottom
                text: "استلام"
                onClicked: depositDlg.receive()
            }
        }

        // Settling
        RowLayout {
            Layout.fillWidth: true
            visible: depositDlg.summary.settled !== true && depositDlg.held > 0
            spacing: 8
            Text {
                Layout.fillWidth: true
                text: "تسوية التأمين عند الإخلاء"
                color: Theme.accentGold
                font.pixelSize: 15
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "addDamageButton"
                text: "خصم لأضرار"
                outline: true
                onClicked: depositDlg.addLine("damage")
            }
            MButton {
                objectName: "addUnpaidButton"
                text: "خصم لفاتورة"
                outline: true
                enabled: depositDlg.openInvoices.length > 0
                onClicked: depositDlg.addLine("unpaid")
            }
        }

        ListView {
            objectName: "deductionList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: depositDlg.summary.settled !== true && depositDlg.held > 0
            clip: true
            spacing: 6
            model: depositDlg.deductions
            delegate: RowLayout {
                id: line
                required property var modelData
                required property int index
                width: ListView.view.width
                spacing: 8
                ThemedComboBox {
                    Layout.preferredWidth: 200
                    visible: line.modelData.kind === "unpaid"
                    placeholder: "اختر الفاتورة..."
                    model: depositDlg.openInvoices.map(invoice => invoice.invoice_number + " (" + Format.amount(invoice.balance, "") + ")")
                    currentIndex: line.modelData.invoiceIndex
                    onActivated: index => depositDlg.setLine(line.index, "invoiceIndex", index)
                }
                MTextField {
                    Layout.fillWidth: true
                    placeholderText: line.modelData.kind === "unpaid" ? "ملاحظة (اختياري)" : "سبب الخصم"
                    text: line.modelData.reason
                    onTextChanged: if (text !== line.modelData.reason)
                        depositDlg.setLine(line.index, "reason", text)
                }
                MTextField {
                    Layout.preferredWidth: 110
                    placeholderText: "المبلغ"
                    text: line.modelData.amount
                    inputMethodHints: Qt.ImhFormattedNumbersOnly
                    onTextChanged: if (text !== String(line.modelData.amount))
                        depositDlg.setLine(line.index, "amount", text)
                }
                IconButton {
                    iconSymbol: Icons.close
                    onClicked: depositDlg.deductions = depositDlg.deductions.filter((_, i) => i !== line.index)
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            visible: depositDlg.summary.settled !== true && depositDlg.held > 0
            spacing: 8
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2
                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: "مجموع الخصومات: " + Format.amount(depositDlg.kept, depositDlg.summary.currency_symbol || "")
                    color: depositDlg.kept > depositDlg.held ? Theme.dangerColor : Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    objectName: "refundText"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: depositDlg.kept > depositDlg.held ? "الخصومات أكبر من التأمين المحتجز" : "يُرد للمستأجر: " + Format.amount(depositDlg.held - depositDlg.kept, depositDlg.summary.currency_symbol || "")
                    color: depositDlg.kept > depositDlg.held ? Theme.dangerColor : Theme.accentGold
                    font.pixelSize: 14
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
            ThemedComboBox {
                id: refundBox
                Layout.preferredWidth: 110
                model: ["نقداً", "تحويل"]
            }
            MTextField {
                id: settleDateField
                Layout.preferredWidth: 120
                text: Format.today()
            }
            MButton {
                objectName: "settleButton"
                text: "تسوية وإنهاء العقد"
                btnColor: Theme.dangerColor
                onClicked: depositDlg.settle()
            }
        }

        MButton {
            objectName: "printSettlementButton"
            visible: depositDlg.summary.settled === true
            text: "طباعة كشف التسوية"
            outline: true
            onClicked: Backend.receiptCtrl.printSettlement(depositDlg.contractId)
        }
    }
}
