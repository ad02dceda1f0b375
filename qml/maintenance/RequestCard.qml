pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// One maintenance request on the maintenance page, with its complete button while it is open.
Rectangle {
    id: card

    property var priorities: ({})
    property string statusFilter: ""

    signal completeRequested(var record)

    function statusColor(status) {
        return status === "new" ? Theme.fixed.error : status === "in_progress" ? Theme.fixed.warning : Theme.fixed.success;
    }

    required property var modelData
    required property int index
    readonly property bool completed: modelData.status === "completed"

    objectName: "request_" + modelData.id
    width: ListView.view.width
    height: 75
    radius: 10
    color: Theme.fixed.rowBg
    border.width: 1
    border.color: Theme.fixed.cardBorder

    RowLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 12

        Rectangle {
            objectName: "statusDot"
            Layout.preferredWidth: 8
            Layout.preferredHeight: 8
            radius: 4
            color: card.statusColor(card.modelData.status)
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 4

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: card.modelData.title || ""
                color: Theme.fixed.textCell
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: (card.modelData.property_name || "") + " - " + (card.modelData.unit_number || "")
                color: Theme.fixed.textMuted
                font.pixelSize: 11
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
        }
        ColumnLayout {
            Layout.preferredWidth: 70
            Layout.fillWidth: false
            spacing: 4

            StatusBadge {
                Layout.preferredWidth: 70
                Layout.preferredHeight: 24
                radius: 6
                status: card.modelData.priority || "low"
                mapping: card.priorities
                fallbackLabel: card.priorities.low.label
                fallbackColor: Theme.fixed.success
            }
            MButton {
                objectName: "completeButton"
                Layout.preferredWidth: 70
                Layout.preferredHeight: 26
                implicitHeight: 26
                leftPadding: 4
                rightPadding: 4
                visible: !card.completed
                text: "إكمال"
                font.pixelSize: 12
                onClicked: card.completeRequested(card.modelData)
            }
        }
        ColumnLayout {
            Layout.preferredWidth: 120
            Layout.fillWidth: false
            spacing: 4

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: card.modelData.request_date || ""
                color: Theme.fixed.textMuted
                font.pixelSize: 11
                horizontalAlignment: Text.AlignRight
            }
            Text {
                objectName: "costText"
                Layout.fillWidth: true
                visible: card.completed
                textFormat: Text.PlainText
                text: "التكلفة: " + Format.amount(card.modelData.cost)
                color: Theme.fixed.success
                font.pixelSize: 11
                horizontalAlignment: Text.AlignRight
            }
        }
    }
}
