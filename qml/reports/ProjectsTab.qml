pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The reports page's project tab: one card per property with its figures for the chosen dates;
// only the cards in view fetch their figures.
ListView {
    id: projectTab
    property var properties: []
    property string fromDate: ""
    property string toDate: ""
    property int revision: 0
    property bool shown: false

    objectName: "projectList"
    clip: true
    spacing: 15
    reuseItems: true
    boundsBehavior: Flickable.StopAtBounds
    model: projectTab.shown ? projectTab.properties : []
    ScrollBar.vertical: ScrollBar {}

    Text {
        anchors.centerIn: parent
        visible: projectTab.properties.length === 0
        text: "لا توجد مشاريع بعد"
        color: Theme.textMuted
        font.pixelSize: 14
    }

    delegate: Rectangle {
        id: projectCard
        required property var modelData
        readonly property var figures: projectTab.revision >= 0 ? Backend.reportCtrl.getProjectDetailedFinancials(modelData.id, projectTab.fromDate, projectTab.toDate) : ({})
        readonly property int soldUnits: Number(figures.sold_units) || 0
        readonly property int totalUnits: Number(figures.total_units) || 0

        objectName: "projectCard_" + modelData.id
        width: ListView.view.width
        height: 180
        radius: 14
        color: Theme.bgSecondary
        border.width: 1
        border.color: Theme.borderColor

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 20
            spacing: 15

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: projectCard.modelData.name
                    color: Theme.textPrimary
                    font.pixelSize: 18
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Rectangle {
                    Layout.preferredWidth: Math.max(120, pill.implicitWidth + 20)
                    Layout.preferredHeight: 28
                    radius: 14
                    color: Theme.bgElevated

                    Text {
                        id: pill
                        objectName: "soldPill"
                        anchors.centerIn: parent
                        textFormat: Text.PlainText
                        text: projectCard.soldUnits + " / " + projectCard.totalUnits + " وحدة مباعة"
                        color: Theme.accentGold
                        font.pixelSize: 11
                        font.bold: true
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 40

                Repeater {
                    model: [
                        {
                            "caption": "قيمة المبيعات",
                            "value": projectCard.figures.total_revenue,
                            "color": Theme.successColor
                        },
                        {
                            "caption": "المصروفات",
                            "value": projectCard.figures.total_expenses,
                            "color": Theme.dangerColor
                        },
                        {
                            "caption": "الربح المتوقع",
                            "value": projectCard.figures.expected_profit,
                            "color": Theme.accentGold
                        }
                    ]

                    ColumnLayout {
                        id: projectFigure
                        required property var modelData
                        spacing: 2

                        Text {
                            Layout.alignment: Qt.AlignLeft
                            textFormat: Text.PlainText
                            text: projectFigure.modelData.caption
                            color: Theme.textMuted
                            font.pixelSize: 12
                        }
                        Text {
                            Layout.alignment: Qt.AlignLeft
                            textFormat: Text.PlainText
                            text: Format.amount(projectFigure.modelData.value)
                            color: projectFigure.modelData.color
                            font.pixelSize: 20
                            font.bold: true
                        }
                    }
                }
                Item {
                    Layout.fillWidth: true
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 8
                radius: 4
                color: Theme.borderColor

                Rectangle {
                    anchors.left: parent.left
                    anchors.top: parent.top
                    anchors.bottom: parent.bottom
                    width: parent.width * Math.min(1, projectCard.soldUnits / Math.max(1, projectCard.totalUnits))
                    radius: 4
                    color: Theme.accentGold
                }
            }
        }
    }
}
