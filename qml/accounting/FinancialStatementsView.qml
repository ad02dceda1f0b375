pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The two statements of the books, side by side: the balance sheet as it stands (assets against
// liabilities, equity and the earnings not yet closed into it) and the profit and loss of a
// period, account by account. The period is typed in the two date fields and applied with
// "عرض"; rangeRequested(from, to) asks the page for the statement of it.
//
// Properties:
//   sheet  (map) AccountModel::getBalanceSheet()
//   income (map) AccountModel::getProfitLoss() of the period
//   from, to (string) the period shown, "yyyy-MM-dd"
// Signals: rangeRequested(string from, string to)
Item {
    id: view

    property var sheet: ({})
    property var income: ({})
    property string from: ""
    property string to: ""

    readonly property var sheetLines: sheet.lines || []
    readonly property var incomeLines: income.lines || []

    signal rangeRequested(string from, string to)

    function linesOf(list, type) {
        return list.filter(line => line.type === type);
    }

    // One statement: a title, groups of account lines each closed by its total, and a last line.
    component Statement: Rectangle {
        id: statement

        property string title: ""
        property var groups: [] // { title, lines, total, totalLabel }
        property string resultLabel: ""
        property real result: 0
        property string note: ""
        default property alias extra: heading.data

        radius: 14
        color: Theme.bgSecondary
        border.width: 1
        border.color: Theme.borderColor

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 18
            spacing: 6

            RowLayout {
                id: heading
                Layout.fillWidth: true
                spacing: 8

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: statement.title
                    color: Theme.accentGold
                    font.pixelSize: 16
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }

            ScrollView {
                id: scroller
                Layout.fillWidth: true
                Layout.fillHeight: true
                contentWidth: availableWidth
                clip: true

                ColumnLayout {
                    width: scroller.availableWidth
                    spacing: 2

                    Repeater {
                        model: statement.groups

                        ColumnLayout {
                            id: group
                            required property var modelData
                            Layout.fillWidth: true
                            spacing: 2

                            Text {
                                Layout.fillWidth: true
                                Layout.topMargin: 8
                                textFormat: Text.PlainText
                                text: group.modelData.title
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                            Repeater {
                                model: group.modelData.lines

                                RowLayout {
                                    id: line
                                    required property var modelData
                                    objectName: "statementLine_" + modelData.code
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 26
                                                        spacing: 10

                                    Text {
                                        Layout.fillWidth: true
                                        Layout.leftMargin: 14
                                        textFormat: Text.PlainText
                                        text: line.modelData.code + "  " + line.modelData.name_ar
                                        color: Theme.textPrimary
                                        font.pixelSize: 12
                                        horizontalAlignment: Text.AlignLeft
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        objectName: "lineAmount"
                                        textFormat: Text.PlainText
                                        text: Format.amount(line.modelData.amount)
                                        color: Theme.textPrimary
                                        font.pixelSize: 12
                                    }
                                }
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 28
                                                spacing: 10

                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: group.modelData.totalLabel
                                    color: Theme.textPrimary
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                }
                                Text {
                                    objectName: "groupTotal"
                                    textFormat: Text.PlainText
                                    text: Format.amount(group.modelData.total)
                                    color: Theme.textPrimary
                                    font.pixelSize: 12
                                    font.bold: true
                                }
                            }
                            Rectangle {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 1
                                color: Theme.borderColor
                            }
                        }
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 42
                radius: 8
                color: Theme.bgElevated

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 12
                    anchors.leftMargin: 12
    
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: statement.resultLabel
                        color: Theme.textPrimary
                        font.pixelSize: 14
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        objectName: "statementResult"
                        textFormat: Text.PlainText
                        text: Format.amount(statement.result)
                        color: statement.result >= 0 ? Theme.fixed.success : Theme.fixed.error
                        font.pixelSize: 15
                        font.bold: true
                    }
                }
            }
            Text {
                Layout.fillWidth: true
                visible: statement.note.length > 0
                textFormat: Text.PlainText
                text: statement.note
                color: Theme.textMuted
                font.pixelSize: 11
                horizontalAlignment: Text.AlignLeft
                wrapMode: Text.Wrap
            }
        }
    }

    RowLayout {
        anchors.fill: parent
        spacing: 16

        Statement {
            objectName: "balanceSheetView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredWidth: 1
            title: "قائمة المركز المالي"
            groups: [
                {
                    "title": "الأصول",
                    "lines": view.linesOf(view.sheetLines, "asset"),
                    "total": Number(view.sheet.assets || 0),
                    "totalLabel": "مجموع الأصول"
                },
                {
                    "title": "الخصوم",
                    "lines": view.linesOf(view.sheetLines, "liability"),
                    "total": Number(view.sheet.liabilities || 0),
                    "totalLabel": "مجموع الخصوم"
                },
                {
                    "title": "حقوق الملكية",
                    "lines": view.linesOf(view.sheetLines, "equity").concat([
                            {
                                "code": "",
                                "name_ar": "أرباح متراكمة لم تُقفل بعد (الإيرادات ناقص المصروفات)",
                                "amount": Number(view.sheet.earnings || 0)
                            }
                        ]),
                    "total": Number(view.sheet.equity || 0) + Number(view.sheet.earnings || 0),
                    "totalLabel": "مجموع حقوق الملكية"
                }
            ]
            resultLabel: "الخصوم وحقوق الملكية"
            result: Number(view.sheet.liabilities || 0) + Number(view.sheet.equity || 0) + Number(view.sheet.earnings || 0)
            note: Math.round(result * 100) === Math.round(Number(view.sheet.assets || 0) * 100) ? "تساوي مجموع الأصول: الدفاتر متوازنة" : "لا تساوي مجموع الأصول"
        }

        Statement {
            objectName: "profitLossView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredWidth: 1
            title: "قائمة الدخل"
            groups: [
                {
                    "title": "الإيرادات",
                    "lines": view.linesOf(view.incomeLines, "revenue"),
                    "total": Number(view.income.revenue || 0),
                    "totalLabel": "مجموع الإيرادات"
                },
                {
                    "title": "المصروفات",
                    "lines": view.linesOf(view.incomeLines, "expense"),
                    "total": Number(view.income.expenses || 0),
                    "totalLabel": "مجموع المصروفات"
                }
            ]
            resultLabel: "صافي الربح"
            result: Number(view.income.net_profit || 0)

            MTextField {
                id: fromField
                objectName: "statementFrom"
                Layout.fillWidth: false
                Layout.preferredWidth: 110
                text: view.from
                placeholderText: "من"
            }
            MTextField {
                id: toField
                objectName: "statementTo"
                Layout.fillWidth: false
                Layout.preferredWidth: 110
                text: view.to
                placeholderText: "إلى"
            }
            MButton {
                objectName: "statementRangeButton"
                Layout.preferredHeight: 32
                implicitHeight: 32
                text: "عرض"
                onClicked: view.rangeRequested(fromField.text.trim(), toField.text.trim())
            }
        }
    }
}
