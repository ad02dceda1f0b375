pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Palette.js" as Palette
import "AdminPalette.js" as AdminPalette
import "Formats.js" as Formats

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

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light
    readonly property var sheetLines: sheet.lines || []
    readonly property var incomeLines: income.lines || []

    signal rangeRequested(string from, string to)

    function money(value) {
        const text = Formats.money(value);
        return Number(value) < 0 ? "\u200E" + text : text;
    }

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
        color: view.theme.bgSecondary
        border.width: 1
        border.color: view.theme.borderColor

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 18
            spacing: 6

            RowLayout {
                id: heading
                Layout.fillWidth: true
                layoutDirection: Qt.RightToLeft
                spacing: 8

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: statement.title
                    color: view.theme.accentGold
                    font.pixelSize: 16
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
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
                                color: view.theme.textSecondary
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignRight
                            }
                            Repeater {
                                model: group.modelData.lines

                                RowLayout {
                                    id: line
                                    required property var modelData
                                    objectName: "statementLine_" + modelData.code
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 26
                                    layoutDirection: Qt.RightToLeft
                                    spacing: 10

                                    Text {
                                        Layout.fillWidth: true
                                        Layout.rightMargin: 14
                                        textFormat: Text.PlainText
                                        text: line.modelData.code + "  " + line.modelData.name_ar
                                        color: view.theme.textPrimary
                                        font.pixelSize: 12
                                        horizontalAlignment: Text.AlignRight
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        objectName: "lineAmount"
                                        textFormat: Text.PlainText
                                        text: view.money(line.modelData.amount)
                                        color: view.theme.textPrimary
                                        font.pixelSize: 12
                                    }
                                }
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 28
                                layoutDirection: Qt.RightToLeft
                                spacing: 10

                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: group.modelData.totalLabel
                                    color: view.theme.textPrimary
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignRight
                                }
                                Text {
                                    objectName: "groupTotal"
                                    textFormat: Text.PlainText
                                    text: view.money(group.modelData.total)
                                    color: view.theme.textPrimary
                                    font.pixelSize: 12
                                    font.bold: true
                                }
                            }
                            Rectangle {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 1
                                color: view.theme.borderColor
                            }
                        }
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 42
                radius: 8
                color: view.theme.bgElevated

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 12
                    anchors.rightMargin: 12
                    layoutDirection: Qt.RightToLeft

                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: statement.resultLabel
                        color: view.theme.textPrimary
                        font.pixelSize: 14
                        font.bold: true
                        horizontalAlignment: Text.AlignRight
                    }
                    Text {
                        objectName: "statementResult"
                        textFormat: Text.PlainText
                        text: view.money(statement.result)
                        color: statement.result >= 0 ? AdminPalette.positive : AdminPalette.negative
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
                color: view.theme.textMuted
                font.pixelSize: 11
                horizontalAlignment: Text.AlignRight
                wrapMode: Text.Wrap
            }
        }
    }

    RowLayout {
        anchors.fill: parent
        layoutDirection: Qt.RightToLeft
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
