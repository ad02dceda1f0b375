pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The dashboard's latest entries of the audit log.
Rectangle {
    id: activityPanel
    property var auditLogs: []


    Layout.fillWidth: true
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    Layout.preferredHeight: activityColumn.implicitHeight + 40
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        id: activityColumn
        anchors.fill: parent
        anchors.margins: 20
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Text {
                text: Icons.history
                color: Theme.accentGold
                font.pixelSize: 16
                font.family: Icons.family
            }
            Text {
                Layout.fillWidth: true
                text: "آخر العمليات"
                color: Theme.textSecondary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
        }

        Text {
            Layout.fillWidth: true
            visible: activityPanel.auditLogs.length === 0
            text: "لا توجد عمليات مسجلة بعد"
            color: Theme.textMuted
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
        }

        Repeater {
            objectName: "activityList"
            model: activityPanel.auditLogs

            RowLayout {
                id: activityRow
                required property var modelData

                Layout.fillWidth: true
                spacing: 12

                Text {
                    Layout.preferredWidth: 80
                    textFormat: Text.PlainText
                    text: activityRow.modelData.username || "النظام"
                    color: Theme.accentGold
                    font.pixelSize: 12
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideLeft
                }
                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: activityRow.modelData.action || ""
                    color: Theme.textPrimary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideLeft
                }
                Text {
                    textFormat: Text.PlainText
                    text: activityRow.modelData.created_at || ""
                    color: Theme.textMuted
                    font.pixelSize: 10
                }
            }
        }
    }
}
