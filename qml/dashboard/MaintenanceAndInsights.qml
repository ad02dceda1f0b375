pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto
import "DashboardRows.js" as DashboardRows

// The dashboard's narrow column: the latest maintenance requests and the first insights.
ColumnLayout {
    id: sideColumn
    property var recentMaint: []
    property var insights: []


    Layout.preferredWidth: 300
    Layout.maximumWidth: 300
    Layout.alignment: Qt.AlignTop
    spacing: 15

    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 175
        radius: 14
        color: Theme.bgSecondary
        border.width: 1
        border.color: Theme.borderColor

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 16
            spacing: 8

            Text {
                Layout.fillWidth: true
                text: "طلبات الصيانة"
                color: Theme.accentGold
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            Text {
                Layout.fillWidth: true
                visible: sideColumn.recentMaint.length === 0
                text: "لا توجد طلبات صيانة"
                color: Theme.textMuted
                font.pixelSize: 12
                horizontalAlignment: Text.AlignLeft
            }
            Repeater {
                objectName: "maintenanceList"
                model: sideColumn.recentMaint

                RowLayout {
                    id: maintRow
                    required property var modelData

                    Layout.fillWidth: true
                    spacing: 8

                    Rectangle {
                        Layout.alignment: Qt.AlignTop
                        Layout.topMargin: 5
                        Layout.preferredWidth: 8
                        Layout.preferredHeight: 8
                        radius: 4
                        color: maintRow.modelData.status === "new" ? Theme.fixed.error : maintRow.modelData.status === "in_progress" ? Theme.fixed.warning : Theme.fixed.success
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 0

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: maintRow.modelData.title || ""
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideLeft
                        }
                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: DashboardRows.place(maintRow.modelData)
                            color: Theme.textMuted
                            font.pixelSize: 11
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideLeft
                        }
                    }
                }
            }
            Item {
                Layout.fillHeight: true
            }
        }
    }

    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 155
        radius: 14
        color: Theme.bgSecondary
        border.width: 1
        border.color: Theme.borderColor

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 16
            spacing: 8

            RowLayout {
                Layout.fillWidth: true
                spacing: 6

                Text {
                    text: Icons.revenue
                    color: Theme.accentGold
                    font.pixelSize: 16
                    font.family: Icons.family
                }
                Text {
                    Layout.fillWidth: true
                    text: "تحليلات ذكية"
                    color: Theme.accentGold
                    font.pixelSize: 14
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
            Repeater {
                objectName: "insightList"
                model: sideColumn.insights.slice(0, 2)

                RowLayout {
                    id: insightRow
                    required property var modelData

                    Layout.fillWidth: true
                    spacing: 8

                    Text {
                        Layout.alignment: Qt.AlignTop
                        textFormat: Text.PlainText
                        text: insightRow.modelData.icon || ""
                        font.pixelSize: 14
                        font.family: Theme.emojiFont
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: insightRow.modelData.title || ""
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: insightRow.modelData.description || ""
                            color: Theme.textSecondary
                            font.pixelSize: 10
                            wrapMode: Text.Wrap
                            maximumLineCount: 2
                            elide: Text.ElideLeft
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                }
            }
            Item {
                Layout.fillHeight: true
            }
        }
    }
}
