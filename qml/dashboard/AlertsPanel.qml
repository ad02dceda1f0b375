pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The dashboard's active alerts, each with a button to the page that deals with it.
Rectangle {
    id: alertsPanel
    property var alerts: []
    property var alertPages: ({})

    signal followRequested(string type)


    objectName: "alertsPanel"
    Layout.fillWidth: true
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    Layout.preferredHeight: alertsColumn.implicitHeight + 40
    visible: alertsPanel.alerts.length > 0
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        id: alertsColumn
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Text {
                text: Icons.alerts
                color: Theme.dangerColor
                font.pixelSize: 18
                font.family: Icons.family
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "تنبيهات هامة (" + alertsPanel.alerts.length + ")"
                color: Theme.dangerColor
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
        }

        ListView {
            id: alertList
            objectName: "alertList"
            Layout.fillWidth: true
            // As tall as the alerts, up to four rows; more scroll inside the panel.
            Layout.preferredHeight: Math.min(contentHeight, 4 * 50 + 3 * 6)
            spacing: 6
            clip: true
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            interactive: contentHeight > height
            model: alertsPanel.alerts
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: alertRow
                required property var modelData
                required property int index

                objectName: "alertRow_" + index
                width: ListView.view.width
                height: 50
                radius: 8
                color: Theme.bgCard
                border.width: 1
                border.color: modelData.severity === "high" || modelData.severity === "critical" ? Theme.dangerColor : Theme.borderColor

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 12
                    anchors.leftMargin: 12
                    spacing: 12

                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: Format.inOrder(alertRow.modelData.title)
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                    Text {
                        Layout.maximumWidth: 360
                        textFormat: Text.PlainText
                        text: Format.inOrder(alertRow.modelData.detail)
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                    MButton {
                        objectName: "followAlertButton"
                        Layout.preferredWidth: 70
                        Layout.preferredHeight: 28
                        implicitHeight: 28
                        leftPadding: 6
                        rightPadding: 6
                        text: "متابعة"
                        font.pixelSize: 12
                        btnColor: Theme.bgElevated
                        textColor: Theme.textPrimary
                        enabled: alertsPanel.alertPages[alertRow.modelData.type] !== undefined
                        onClicked: alertsPanel.followRequested(alertRow.modelData.type)
                    }
                }
            }
        }
    }
}
