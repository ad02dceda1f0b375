pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The accounting page's cost-centre tab: each project with the revenue, cost and profit of its centres.
ListView {
    id: centresTab

    property var projects: []
    property int revision: 0
    property bool shown: false

    function centreKind(type) {
        return type === "project" ? "المشروع" : type === "floor" ? "الطابق" : "الوحدة";
    }

    objectName: "costCentreList"
    clip: true
    spacing: 14
    reuseItems: true
    boundsBehavior: Flickable.StopAtBounds
    model: centresTab.shown ? centresTab.projects : []
    ScrollBar.vertical: ScrollBar {}

    Text {
        anchors.centerIn: parent
        visible: centresTab.projects.length === 0
        text: "لا توجد مشاريع بعد"
        color: Theme.textMuted
        font.pixelSize: 14
    }

    delegate: Rectangle {
        id: projectCard
        required property var modelData
        readonly property var centres: centresTab.revision >= 0 ? Backend.reportCtrl.getProjectCostCenters(modelData.id) : []

        objectName: "project_" + modelData.id
        width: ListView.view.width
        height: cardColumn.implicitHeight + 28
        radius: 12
        color: Theme.bgCard
        border.width: 1
        border.color: Theme.borderColor

        ColumnLayout {
            id: cardColumn
            anchors.right: parent.right
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.margins: 14
            spacing: 8

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "مركز تكلفة المشروع: " + projectCard.modelData.name
                color: Theme.textPrimary
                font.pixelSize: 15
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }

            Repeater {
                model: projectCard.centres

                Rectangle {
                    id: centreRow
                    required property var modelData
                    readonly property bool isProject: modelData.type === "project"

                    objectName: "centre_" + modelData.id
                    Layout.fillWidth: true
                    Layout.preferredHeight: 44
                    radius: 10
                    color: isProject ? Theme.bgElevated : "transparent"
                    border.width: 1
                    border.color: isProject ? Theme.borderStrong : Theme.borderColor

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 14
                        anchors.leftMargin: 14
                        spacing: 16

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: centresTab.centreKind(centreRow.modelData.type) + " - " + (centreRow.modelData.name || "")
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            font.bold: centreRow.modelData.type === "project" || centreRow.modelData.type === "floor"
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            textFormat: Text.PlainText
                            text: "الإيراد " + Format.amount(centreRow.modelData.revenue)
                            color: Theme.successColor
                            font.pixelSize: 12
                        }
                        Text {
                            textFormat: Text.PlainText
                            text: "التكلفة " + Format.amount(centreRow.modelData.expenses)
                            color: Theme.dangerColor
                            font.pixelSize: 12
                        }
                        Text {
                            textFormat: Text.PlainText
                            text: "الربح " + Format.amount(centreRow.modelData.profit)
                            color: Theme.accentGold
                            font.pixelSize: 12
                            font.bold: true
                        }
                    }
                }
            }
        }
    }
}
