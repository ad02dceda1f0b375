pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// A buyer's account: every installment with what was paid on it, the totals, and printing.
MDialog {
    // What the printed statement shows: one line per installment and the three totals.
    function statementDocument(rows) {
        const transactions = [];
        let owed = 0;
        let paid = 0;
        for (const row of rows) {
            const amount = Number(row.installment_amount) || 0;
            const settled = Number(row.paid_amount) || 0;
            owed += amount;
            paid += settled;
            transactions.push({
                "date": row.due_date,
                "description": "قسط وحدة " + row.unit_number + " (" + row.property_name + ")",
                "reference": "Installment #" + row.id,
                "amount": Format.amount(amount),
                "balance": Format.amount(amount - settled)
            });
        }
        return {
            "transactions": transactions,
            "totals": {
                "إجمالي قيمة الأقساط": Format.amount(owed),
                "إجمالي المسدد": Format.amount(paid),
                "المتبقي الكلي": Format.amount(owed - paid)
            }
        };
    }

    function printStatement() {
        const document = statementDocument(statementDialog.statement);
        statementDialog.printing = true;
        Backend.printCtrl.printStatement(statementDialog.buyerName, "مشتري", document.transactions, document.totals);
    }


    id: statementDialog

    property int buyerId: 0
    property string buyerName: ""
    property var statement: []
    property bool printing: false
    readonly property var sums: {
        let owed = 0;
        let paid = 0;
        for (const row of statement) {
            owed += Number(row.installment_amount) || 0;
            paid += Number(row.paid_amount) || 0;
        }
        return {
            "owed": owed,
            "paid": paid
        };
    }

    objectName: "buyerStatementDialog"
    title: "كشف حساب المشتري - " + buyerName
    width: 800
    height: 600
    onAboutToShow: statement = buyerId > 0 ? Backend.reportCtrl.getBuyerStatement(buyerId) : []

    Connections {
        target: Backend.printCtrl
        enabled: statementDialog.printing
        function onPrintFinished(success, filePath) {
            statementDialog.printing = false;
            if (success)
                Notifier.show("نجاح", "تم حفظ كشف الحساب في " + filePath, "success");
            else
                Notifier.refuse("تعذر حفظ كشف الحساب في " + filePath);
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 10
            color: Theme.bgInput
            border.width: 1
            border.color: Theme.borderColor
            clip: true

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 40
                    color: Theme.bgElevated

                    Row {
                        anchors.fill: parent
                        anchors.rightMargin: 15
                        anchors.leftMargin: 15

                        Repeater {
                            model: ["تاريخ الاستحقاق", "البيان", "قيمة القسط", "المدفوع", "المتبقي"]

                            Text {
                                required property string modelData
                                required property int index
                                width: index === 1 ? parent.width - 4 * 110 : 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: modelData
                                color: Theme.textSecondary
                                font.pixelSize: 12
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
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
                    model: statementDialog.statement
                    ScrollBar.vertical: ScrollBar {}

                    delegate: Rectangle {
                        id: line
                        required property var modelData
                        required property int index

                        width: ListView.view.width
                        height: 48
                        color: index % 2 === 1 ? Theme.bgSecondary : "transparent"

                        Row {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15

                            Text {
                                width: 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: line.modelData.due_date || ""
                                color: Theme.textSecondary
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
                            }
                            Text {
                                width: parent.width - 4 * 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: "قسط وحدة " + line.modelData.unit_number
                                color: Theme.textPrimary
                                font.pixelSize: 13
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
                                elide: Text.ElideRight
                            }
                            Text {
                                width: 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: Format.amount(line.modelData.installment_amount)
                                color: Theme.dangerColor
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
                            }
                            Text {
                                width: 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: Format.amount(line.modelData.paid_amount)
                                color: Theme.successColor
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
                            }
                            Text {
                                width: 110
                                height: parent.height
                                textFormat: Text.PlainText
                                text: Format.amount(line.modelData.remaining_amount || 0)
                                color: Theme.accentGold
                                font.pixelSize: 12
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                verticalAlignment: Text.AlignVCenter
                            }
                        }
                    }

                    Text {
                        anchors.centerIn: parent
                        visible: statementList.count === 0
                        text: "لا توجد أقساط في كشف هذا المشتري"
                        color: Theme.textMuted
                        font.pixelSize: 14
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 18

            Text {
                objectName: "statementTotals"
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "إجمالي الأقساط: " + Format.amount(statementDialog.sums.owed) + "  |  المسدد: " + Format.amount(statementDialog.sums.paid) + "  |  المتبقي: " + Format.amount(statementDialog.sums.owed - statementDialog.sums.paid)
                color: Theme.textPrimary
                font.pixelSize: 12
                font.bold: true
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "printStatementButton"
                text: "طباعة كشف الحساب"
                iconSymbol: Icons.print
                outline: true
                onClicked: statementDialog.printStatement()
            }
        }
    }
}
