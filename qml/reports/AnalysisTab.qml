pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The reports page's first tab: the written analysis of the office, the income of its largest
// properties and the occupancy.
ScrollView {
    property var comparison: []
    property var smartAnalysis: ({})

    signal copyRequested
    signal shareRequested

    // The five largest incomes fit the chart's width with their labels (the comparison comes
    // ordered by income, largest first); the tallest bar fills the chart, whatever the amounts.
    readonly property var chartBars: comparison.slice(0, 5).map(row => ({
                "label": analysisScroller.chartLabel(row.name),
                "value": Number(row.income) || 0,
                "color": Theme.accentGold
            }))
    readonly property real chartMax: Math.max(1, ...chartBars.map(bar => bar.value))

    // A short bar label that tells the properties apart: names are mostly a kind and a name
    // ("عمارة الأمل", "برج الياسمين"), whose first characters would be the same for every bar, so
    // the second word is taken when there is one.
    function chartLabel(name) {
        const words = String(name || "").trim().split(/\s+/);
        const word = words.length > 1 ? words[1] : words[0];
        return word.length > 9 ? word.substring(0, 8) + "…" : word;
    }

    // The analysis as shown: its emoji set in the colour emoji font, which a Markdown text cannot
    // choose per character otherwise (a text font would draw some of them in black and white).
    function withColourEmoji(markdown) {
        return String(markdown).replace(/([\u2600-\u27BF]\uFE0F?|[\uD83C-\uD83E][\uDC00-\uDFFF]\uFE0F?)/g, "<span style=\"font-family:'" + Theme.emojiFont + "'\">$1</span>");
    }

    id: analysisScroller
    contentWidth: availableWidth
    clip: true

    RowLayout {
        width: analysisScroller.availableWidth
        spacing: 20

        Rectangle {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            Layout.preferredHeight: analysisColumn.implicitHeight + 50
            radius: 14
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor

            ColumnLayout {
                id: analysisColumn
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.top: parent.top
                anchors.margins: 25
                spacing: 15

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    Text {
                        text: Icons.analysis
                        color: Theme.accentGold
                        font.pixelSize: 24
                        font.family: Icons.family
                    }
                    Text {
                        Layout.fillWidth: true
                        text: "تقرير الذكاء الاصطناعي (Darvelinto AI)"
                        color: Theme.accentGold
                        font.pixelSize: 18
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 1
                    color: Theme.borderColor
                }
                Text {
                    objectName: "analysisText"
                    Layout.fillWidth: true
                    readonly property string markdown: analysisScroller.smartAnalysis.text || ""
                    text: markdown.length > 0 ? analysisScroller.withColourEmoji(markdown) : "جاري تحليل البيانات..."
                    textFormat: Text.MarkdownText
                    color: Theme.textPrimary
                    font.pixelSize: 15
                    lineHeight: 1.6
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignLeft
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    MButton {
                        objectName: "copyAnalysisButton"
                        implicitHeight: 32
                        text: "نسخ التحليل"
                        outline: true
                        onClicked: analysisScroller.copyRequested()
                    }
                    MButton {
                        objectName: "shareAnalysisButton"
                        implicitHeight: 32
                        text: "مشاركة التقرير"
                        outline: true
                        onClicked: analysisScroller.shareRequested()
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                }
            }
        }

        ColumnLayout {
            Layout.preferredWidth: 350
            Layout.maximumWidth: 350
            Layout.alignment: Qt.AlignTop
            spacing: 20

            AnalyticsWidget {
                objectName: "revenueChart"
                title: "توزيع الإيرادات"
                data: analysisScroller.chartBars
                maxValue: analysisScroller.chartMax
            }

            Rectangle {
                id: occupancyBox

                readonly property real occupancy: Number(analysisScroller.smartAnalysis.occupancy) || 0

                Layout.fillWidth: true
                Layout.preferredHeight: 200
                radius: 14
                color: Theme.bgCard
                border.width: 1
                border.color: Theme.accentGold

                Column {
                    anchors.centerIn: parent
                    spacing: 8

                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "مؤشر الإشغال"
                        color: Theme.textSecondary
                        font.pixelSize: 14
                    }
                    Text {
                        objectName: "occupancyValue"
                        anchors.horizontalCenter: parent.horizontalCenter
                        textFormat: Text.PlainText
                        text: Format.percent(occupancyBox.occupancy)
                        color: Theme.accentGold
                        font.pixelSize: 42
                        font.bold: true
                    }
                    Text {
                        objectName: "occupancyVerdict"
                        anchors.horizontalCenter: parent.horizontalCenter
                        textFormat: Text.PlainText
                        text: occupancyBox.occupancy > 70 ? "إشغال ممتاز" : "معدل متوسط"
                        color: Theme.fixed.success
                        font.pixelSize: 14
                        font.bold: true
                    }
                    // Units under repair are counted apart, outside the rate.
                    Text {
                        objectName: "occupancyCounts"
                        anchors.horizontalCenter: parent.horizontalCenter
                        textFormat: Text.PlainText
                        text: "مؤجرة أو مباعة " + Format.count(analysisScroller.smartAnalysis.placed_units) + " · متاحة " + Format.count(analysisScroller.smartAnalysis.available_units) + " · خارج الخدمة " + Format.count(analysisScroller.smartAnalysis.out_of_service_units)
                        color: Theme.textSecondary
                        font.pixelSize: 12
                    }
                }
            }
        }
    }
}
