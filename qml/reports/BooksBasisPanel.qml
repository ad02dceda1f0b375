pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The office's figures worked out from its operations on the basis the books keep (revenue when
// invoiced or sold, expenses when incurred, receivables and money in the primary currency at the
// rate of their day), so they can be laid beside the accounting page's statements: each figure here
// is one account or two there.
//
// Properties:
//   figures    (map) ReportController::getAccrualSummary() of the period
//   periodText (string) the period, as the page names it
SectionPanel {
    id: panel

    property var figures: ({})
    property string periodText: ""

    objectName: "booksBasisPanel"
    icon: Icons.books
    title: "على أساس الاستحقاق كما في الدفاتر"

    Text {
        Layout.fillWidth: true
        textFormat: Text.PlainText
        text: "الإيرادات عند إصدار الفاتورة أو البيع، والمصروفات عند تسجيلها، بالعملة الأساسية بسعر صرف يوم كل عملية. تقابل كل قيمة هنا حساباً في دليل الحسابات (رمزه بين القوسين)، وتزيد الدفاتر عليها فروق أسعار الصرف." + (Number(panel.figures.unconverted) > 0 ? " لم تُحسب " + Format.count(panel.figures.unconverted) + " عملية لعدم وجود سعر صرف لها." : "")
        color: Theme.textSecondary
        font.pixelSize: 12
        horizontalAlignment: Text.AlignLeft
        wrapMode: Text.Wrap
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 30

        Repeater {
            model: [
                {
                    "title": "نتيجة الفترة: " + panel.periodText,
                    "rows": [["إيرادات الإيجار والخدمات (4100، 4200)", "rental_revenue"], ["إيرادات المبيعات (4300)", "sales_revenue"], ["مصروفات الصيانة (5100)", "maintenance_expenses"], ["مصروفات تشغيلية (5200)", "operating_expenses"], ["صافي الربح قبل فروق العملة", "net_profit"]]
                },
                {
                    "title": "الأرصدة كما هي اليوم",
                    "rows": [["ذمم المستأجرين (1200)", "tenant_receivables"], ["ذمم المشترين (1210)", "buyer_receivables"], ["النقدية (1100)", "cash"], ["البنك (1110)", "bank"], ["الذمم الدائنة للمقاولين (2100)", "payables"], ["تأمينات المستأجرين المحتجزة (2200)", "deposits_held"]]
                }
            ]

            ColumnLayout {
                id: column
                required property var modelData
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.alignment: Qt.AlignTop
                spacing: 4

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: column.modelData.title
                    color: Theme.textPrimary
                    font.pixelSize: 14
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Repeater {
                    model: column.modelData.rows

                    RowLayout {
                        id: figureRow
                        required property var modelData
                        required property int index
                        readonly property bool last: index === column.modelData.rows.length - 1 && modelData[1] === "net_profit"

                        objectName: "books_" + modelData[1]
                        Layout.fillWidth: true
                        Layout.preferredHeight: 30
                                        spacing: 10

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: figureRow.modelData[0]
                            color: Theme.textSecondary
                            font.pixelSize: 13
                            font.bold: figureRow.last
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            objectName: "booksValue"
                            textFormat: Text.PlainText
                            text: Format.amount(panel.figures[figureRow.modelData[1]] || 0)
                            color: figureRow.last ? Theme.fixed.goldText : Theme.textPrimary
                            font.pixelSize: 14
                            font.bold: true
                        }
                    }
                }
            }
        }
    }
}
