pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The reports page's financial tab: the period's revenue, expenses and profit, the balances, and
// the same business on the books' basis.
ScrollView {
    property var summary: ({})
    property var balance: ({})
    property var books: ({})
    property string periodText: ""

    id: financeScroller
    objectName: "finTab"
    contentWidth: availableWidth
    clip: true

    ColumnLayout {
        width: financeScroller.availableWidth
        spacing: 25

        RowLayout {
            Layout.fillWidth: true
            spacing: 20

            StatsCard {
                objectName: "revenueCard"
                title: "إجمالي الإيرادات"
                value: Format.amount(financeScroller.summary.revenue)
                subtitle: financeScroller.periodText
                icon: Icons.payments
                iconColor: Theme.fixed.success
            }
            StatsCard {
                objectName: "expensesCard"
                title: "إجمالي المصروفات"
                value: Format.amount(financeScroller.summary.expenses)
                subtitle: financeScroller.periodText
                icon: Icons.expenses
                iconColor: Theme.fixed.error
            }
            StatsCard {
                objectName: "profitCard"
                title: "صافي الربح"
                value: Format.amount(financeScroller.summary.net_profit)
                subtitle: financeScroller.periodText
                icon: Icons.profit
                iconColor: Theme.fixed.goldText
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: balanceColumn.implicitHeight + 60
            radius: 14
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor

            ColumnLayout {
                id: balanceColumn
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.top: parent.top
                anchors.margins: 30
                spacing: 20

                Text {
                    Layout.fillWidth: true
                    text: "الميزانية العمومية والمديونيات"
                    color: Theme.accentGold
                    font.pixelSize: 18
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }

                GridLayout {
                    Layout.alignment: Qt.AlignHCenter
                    columns: 2
                    columnSpacing: 40
                    rowSpacing: 30

                    Repeater {
                        model: [
                            {
                                "name": "receivables",
                                "label": "مستحقات الإيجار",
                                "icon": Icons.statement,
                                "color": Theme.fixed.warning
                            },
                            {
                                "name": "installment_receivables",
                                "label": "مستحقات الأقساط",
                                "icon": Icons.history,
                                "color": Theme.fixed.installments
                            },
                            {
                                "name": "total_assets",
                                "label": "إجمالي الأصول",
                                "icon": Icons.cheques,
                                "color": Theme.fixed.assets
                            },
                            {
                                "name": "cash",
                                "label": "النقد المتوفر",
                                "icon": Icons.payments,
                                "color": Theme.fixed.success
                            }
                        ]

                        ColumnLayout {
                            id: figure
                            required property var modelData

                            objectName: "balance_" + modelData.name
                            Layout.minimumWidth: 220
                            spacing: 6

                            RowLayout {
                                Layout.alignment: Qt.AlignHCenter
                                spacing: 6

                                Text {
                                    textFormat: Text.PlainText
                                    text: figure.modelData.icon
                                    color: figure.modelData.color
                                    font.pixelSize: 16
                                    font.family: Icons.family
                                }
                                Text {
                                    textFormat: Text.PlainText
                                    text: figure.modelData.label
                                    color: Theme.textSecondary
                                    font.pixelSize: 14
                                }
                            }
                            Text {
                                objectName: "figureValue"
                                Layout.alignment: Qt.AlignHCenter
                                textFormat: Text.PlainText
                                text: Format.amount(financeScroller.balance[figure.modelData.name])
                                color: figure.modelData.color
                                font.pixelSize: 32
                                font.bold: true
                            }
                        }
                    }
                }
            }
        }

        BooksBasisPanel {
            figures: financeScroller.books
            periodText: financeScroller.periodText
        }
    }
}
