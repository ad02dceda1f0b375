pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// A tenant's account: every live invoice (debit) and payment (credit) in date order, with the void
// of an invoice paid in part (credit of what was still open), the totals and what is still owed, and printing it as a PDF statement with a running balance. Read again
// each time the dialog opens.
//
// Properties:
//   tenantId    (int)    whose statement is shown; set it before open()
//   tenantName  (string) shown in the title and printed as the account name
//   statement   (list)   rows with type, date, ref, debit, credit
//   totalDebit, totalCredit (real) sums over the rows
// Functions: refresh(); printStatement() sends the statement to the printer (PDF).
// Signals: printRequested(transactions, totals) with exactly what is sent to print.
MDialog {
    id: statementDlg

    property int tenantId: 0
    property string tenantName: ""
    property var statement: []
    property real totalDebit: 0
    property real totalCredit: 0
    readonly property real balance: totalDebit - totalCredit
    property bool printing: false

    signal printRequested(var transactions, var totals)


    function refresh() {
        statement = tenantId > 0 ? Backend.reportCtrl.getTenantStatement(tenantId) || [] : [];
        let debit = 0;
        let credit = 0;
        for (const row of statement) {
            // A void takes back part of a charge; it is not money received.
            if (row.type === "إلغاء") {
                debit -= Number(row.credit) || 0;
                continue;
            }
            debit += Number(row.debit) || 0;
            credit += Number(row.credit) || 0;
        }
        totalDebit = debit;
        totalCredit = credit;
    }

    // One printed line per row, oldest first, with the balance owed after it.
    function transactions() {
        let running = 0;
        return statement.map(row => {
            const debit = Number(row.debit) || 0;
            const credit = Number(row.credit) || 0;
            running += debit - credit;
            return {
                "date": String(row.date || ""),
                "description": row.ref ? row.type + " - " + row.ref : String(row.type || ""),
                "reference": String(row.ref || ""),
                "amount": Format.amount(debit > 0 ? debit : credit),
                "balance": Format.amount(running)
            };
        });
    }

    function totals() {
        return {
            "إجمالي المطلوبات": Format.amount(totalDebit),
            "إجمالي المدفوعات": Format.amount(totalCredit),
            "الرصيد المتبقي": Format.amount(balance)
        };
    }

    function printStatement() {
        const lines = transactions();
        const sums = totals();
        printRequested(lines, sums);
        printing = true;
        Backend.printCtrl.printStatement(tenantName, "مستأجر", lines, sums);
    }

    title: "كشف حساب المستأجر - " + tenantName
    width: 800
    height: 600
    onTenantIdChanged: refresh()
    onAboutToShow: refresh()

    Connections {
        target: Backend.printCtrl
        enabled: statementDlg.printing
        function onPrintFinished(success, filePath) {
            statementDlg.printing = false;
            if (success)
                Notifier.show("نجاح", "تم حفظ كشف الحساب: " + filePath, "success");
            else
                Notifier.show("خطأ", "تعذر حفظ كشف الحساب كملف PDF", "error");
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
                title: "إجمالي المطلوبات"
                value: Format.amount(statementDlg.totalDebit)
                icon: Icons.revenue
                iconBg: Theme.fixed.errorSoft
                iconColor: Theme.fixed.error
            }
            StatsCard {
                objectName: "totalCreditCard"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "إجمالي المدفوعات"
                value: Format.amount(statementDlg.totalCredit)
                icon: Icons.expenses
                iconBg: Theme.fixed.successSoft
                iconColor: Theme.fixed.success
            }
            StatsCard {
                objectName: "balanceCard"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: "الرصيد المتبقي"
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
                            model: [
                                {
                                    "title": "التاريخ",
                                    "width": 140
                                },
                                {
                                    "title": "النوع",
                                    "width": 70
                                },
                                {
                                    "title": "المرجع",
                                    "width": 0
                                },
                                {
                                    "title": "مدين",
                                    "width": 110
                                },
                                {
                                    "title": "دائن",
                                    "width": 110
                                }
                            ]

                            Text {
                                required property var modelData
                                Layout.preferredWidth: modelData.width
                                Layout.fillWidth: modelData.width === 0
                                textFormat: Text.PlainText
                                text: modelData.title
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 12
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                    }
                }

                ListView {
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
                        visible: statementDlg.statement.length === 0
                        text: "لا توجد حركات على حساب هذا المستأجر"
                        color: Theme.fixed.textMuted
                        font.pixelSize: 14
                    }

                    delegate: Rectangle {
                        id: line
                        required property var modelData
                        required property int index
                        readonly property real debit: Number(modelData.debit) || 0
                        readonly property real credit: Number(modelData.credit) || 0

                        width: ListView.view.width
                        height: 40
                        color: index % 2 === 1 ? Theme.fixed.rowBg : "transparent"

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 12
                            anchors.leftMargin: 12
                            spacing: 8

                            Text {
                                Layout.preferredWidth: 140
                                textFormat: Text.PlainText
                                text: String(line.modelData.date || "")
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 70
                                textFormat: Text.PlainText
                                text: line.modelData.type || ""
                                color: line.modelData.type === "فاتورة" ? Theme.fixed.error : Theme.fixed.success
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: line.modelData.ref || ""
                                color: Theme.fixed.textCell
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: line.debit > 0 ? Format.amount(line.debit) : "-"
                                color: Theme.fixed.error
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: line.credit > 0 ? Format.amount(line.credit) : "-"
                                color: Theme.fixed.success
                                font.pixelSize: 12
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
