pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The account statement of a tenant or a buyer, in date order, with what was charged (debit),
// what was paid (credit) and the balance owed after each line; the totals; and printing it as a
// PDF statement. A tenant's account holds its live invoices and payments, and the void of an
// invoice paid in part (a credit of what was still open, which is no money received); a buyer's
// holds one line per installment with what was paid on it. Read again each time it opens.
//
//     StatementDialog { id: statement; party: "buyer" }     // "tenant" (the default) or "buyer"
//     statement.show(record.id, record.full_name)
//
// Properties: statement (the lines: date, type, ref, debit, credit, taken back), balances (owed
// after each line), totalDebit, totalCredit, balance. Functions: refresh(), transactions() and totals() (what is printed),
// printStatement(). Signals: printRequested(transactions, totals) with exactly what is printed.
MDialog {
    id: statementDlg

    property string party: "tenant"
    property int partyId: 0
    property string partyName: ""
    property var statement: []
    // The balance owed after each line.
    property var balances: []
    property real totalDebit: 0
    property real totalCredit: 0
    readonly property real balance: totalDebit - totalCredit
    property bool printing: false

    readonly property var texts: party === "buyer" ? {
        "title": "كشف حساب المشتري",
        "party": "مشتري",
        "debit": "إجمالي قيمة الأقساط",
        "credit": "إجمالي المسدد",
        "balance": "المتبقي الكلي",
        "empty": "لا توجد أقساط في كشف هذا المشتري"
    } : {
        "title": "كشف حساب المستأجر",
        "party": "مستأجر",
        "debit": "إجمالي المطلوبات",
        "credit": "إجمالي المدفوعات",
        "balance": "الرصيد المتبقي",
        "empty": "لا توجد حركات على حساب هذا المستأجر"
    }

    signal printRequested(var transactions, var totals)

    function show(id, name) {
        partyName = name || "";
        partyId = Number(id);
        open();
    }

    // The rows of either account as lines of one form.
    function lines() {
        if (partyId <= 0)
            return [];
        if (party === "buyer")
            return (Backend.reportCtrl.getBuyerStatement(partyId) || []).map(row => ({
                        "date": String(row.due_date || ""),
                        "type": "قسط",
                        "ref": "وحدة " + row.unit_number + " (" + row.property_name + ")",
                        "debit": Number(row.installment_amount) || 0,
                        "credit": Number(row.paid_amount) || 0,
                        "takenBack": false
                    }));
        // A void takes back what was still open of a charge: it lowers the balance, yet it is
        // not money received.
        return (Backend.reportCtrl.getTenantStatement(partyId) || []).map(row => ({
                    "date": String(row.date || ""),
                    "type": String(row.type || ""),
                    "ref": String(row.ref || ""),
                    "debit": Number(row.debit) || 0,
                    "credit": Number(row.credit) || 0,
                    "takenBack": row.type === "إلغاء"
                }));
    }

    function refresh() {
        statement = lines();
        let debit = 0;
        let credit = 0;
        let running = 0;
        const after = [];
        for (const line of statement) {
            if (line.takenBack)
                debit -= line.credit;
            else
                credit += line.credit;
            debit += line.debit;
            running += line.debit - line.credit;
            after.push(running);
        }
        balances = after;
        totalDebit = debit;
        totalCredit = credit;
    }

    // One printed line per row, oldest first, with the balance owed after it.
    function transactions() {
        return statement.map((line, index) => ({
                    "date": line.date,
                    "description": line.ref ? line.type + " - " + line.ref : line.type,
                    "reference": line.ref,
                    "amount": Format.amount(line.debit > 0 ? line.debit : line.credit),
                    "balance": Format.amount(balances[index])
                }));
    }

    function totals() {
        const sums = {};
        sums[texts.debit] = Format.amount(totalDebit);
        sums[texts.credit] = Format.amount(totalCredit);
        sums[texts.balance] = Format.amount(balance);
        return sums;
    }

    function printStatement() {
        const printed = transactions();
        const sums = totals();
        printRequested(printed, sums);
        printing = true;
        Backend.printCtrl.printStatement(partyName, texts.party, printed, sums);
    }

    title: texts.title + " - " + partyName
    width: 820
    height: 600
    onPartyIdChanged: refresh()
    onAboutToShow: refresh()

    Connections {
        target: Backend.printCtrl
        enabled: statementDlg.printing
        function onPrintFinished(success, filePath) {
            statementDlg.printing = false;
            if (success)
                Notifier.show("نجاح", "تم حفظ كشف الحساب: " + filePath, "success");
            else
                Notifier.refuse("تعذر حفظ كشف الحساب كملف PDF");
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 15

        RowLayout {
            Layout.fillWidth: true
            spacing: 15

            StatsCard {
                objectName: "totalDebitCard"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: statementDlg.texts.debit
                value: Format.amount(statementDlg.totalDebit)
                icon: Icons.revenue
                iconBg: Theme.fixed.errorSoft
                iconColor: Theme.fixed.error
            }
            StatsCard {
                objectName: "totalCreditCard"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: statementDlg.texts.credit
                value: Format.amount(statementDlg.totalCredit)
                icon: Icons.expenses
                iconBg: Theme.fixed.successSoft
                iconColor: Theme.fixed.success
            }
            StatsCard {
                objectName: "balanceCard"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: statementDlg.texts.balance
                value: Format.amount(statementDlg.balance)
                icon: Icons.balance
                iconBg: Theme.fixed.rowSelected
                iconColor: Theme.fixed.gold
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

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 40
                    radius: 12
                    color: Theme.fixed.tableHeader

                    Rectangle {
                        anchors.right: parent.right
                        anchors.left: parent.left
                        anchors.bottom: parent.bottom
                        height: parent.radius
                        color: parent.color
                    }

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 12
                        anchors.leftMargin: 12
                        spacing: 8

                        Repeater {
                            model: [["التاريخ", 100], ["النوع", 60], ["المرجع", 0], ["مدين", 110], ["دائن", 110], ["الرصيد", 110]]

                            Text {
                                required property var modelData
                                Layout.preferredWidth: modelData[1]
                                Layout.fillWidth: modelData[1] === 0
                                textFormat: Text.PlainText
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
                    id: statementList
                    objectName: "statementList"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    clip: true
                    reuseItems: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: statementDlg.statement
                    ScrollBar.vertical: ScrollBar {}

                    Text {
                        anchors.centerIn: parent
                        visible: statementList.count === 0
                        text: statementDlg.texts.empty
                        color: Theme.fixed.textMuted
                        font.pixelSize: 14
                    }

                    delegate: Rectangle {
                        id: line
                        required property var modelData
                        required property int index

                        width: ListView.view.width
                        height: 40
                        color: index % 2 === 1 ? Theme.fixed.rowBg : "transparent"

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 12
                            anchors.leftMargin: 12
                            spacing: 8

                            Text {
                                Layout.preferredWidth: 100
                                textFormat: Text.PlainText
                                text: line.modelData.date
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 60
                                textFormat: Text.PlainText
                                text: line.modelData.type
                                color: line.modelData.debit > 0 ? Theme.fixed.error : Theme.fixed.success
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: line.modelData.ref
                                color: Theme.fixed.textCell
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: line.modelData.debit > 0 ? Format.amount(line.modelData.debit) : "-"
                                color: Theme.fixed.error
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: line.modelData.credit > 0 ? Format.amount(line.modelData.credit) : "-"
                                color: Theme.fixed.success
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                objectName: "runningBalance"
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: Format.amount(statementDlg.balances[line.index])
                                color: Theme.fixed.gold
                                font.pixelSize: 12
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "عدد الحركات: " + statementDlg.statement.length
                color: Theme.textMuted
                font.pixelSize: 12
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "printStatementButton"
                Layout.preferredWidth: 150
                text: "طباعة الكشف"
                iconSymbol: Icons.print
                outline: true
                enabled: !statementDlg.printing
                onClicked: statementDlg.printStatement()
            }
        }
    }
}
