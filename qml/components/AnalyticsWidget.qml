pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// A bar chart on a fixed dark panel.
// Properties:
//   title    (string) heading of the panel
//   data     (list)   entries { label, value, color }, drawn right to left in list order
//   maxValue (real)   the value of a full-height bar (default 100); a bigger value is drawn at full
//                     height rather than over the title
Rectangle {
    id: widget

    property string title: ""
    property var data: []
    property real maxValue: 100

    Layout.fillWidth: true
    Layout.preferredHeight: 250
    implicitHeight: 250
    radius: 14
    color: Theme.fixed.card
    border.width: 1
    border.color: Theme.fixed.cardBorder

    // `data` here is the chart's entries (the name other pages use), which hides Item's own
    // `data`; the panel's content is therefore given as explicit children.
    children: [
        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 20
            spacing: 15

            Text {
                Layout.fillWidth: true
                text: widget.title
                color: Theme.fixed.textBright
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }

            Item {
                id: plot
                Layout.fillWidth: true
                Layout.fillHeight: true

                // Room above a full bar for its value label, and below for the entry's label.
                readonly property real labelHeight: 18
                readonly property real freeHeight: Math.max(0, height - 2 * labelHeight)

                Row {
                    anchors.fill: parent
                    spacing: 20

                    Repeater {
                        objectName: "bars"
                        model: widget.data

                        Item {
                            id: column
                            required property var modelData

                            readonly property real amount: Number(modelData.value) || 0
                            readonly property real ratio: widget.maxValue > 0 ? Math.max(0, Math.min(1, amount / widget.maxValue)) : 0

                            // Wide enough for its label and its figure, so large amounts never run into
                            // the next column's.
                            width: Math.max(30, entryLabel.implicitWidth, valueLabel.implicitWidth)
                            height: plot.height

                            Rectangle {
                                id: bar
                                anchors.horizontalCenter: parent.horizontalCenter
                                anchors.bottom: entryLabel.top
                                anchors.bottomMargin: 4
                                width: 30
                                height: column.ratio * plot.freeHeight
                                radius: 4
                                color: column.modelData.color || Theme.fixed.gold

                                Behavior on height  {
                                    NumberAnimation {
                                        duration: 1000
                                        easing.type: Easing.OutQuart
                                    }
                                }
                            }
                            Text {
                                id: valueLabel
                                anchors.horizontalCenter: parent.horizontalCenter
                                anchors.bottom: bar.top
                                anchors.bottomMargin: 2
                                text: Format.number(column.amount)
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 10
                                font.bold: true
                            }
                            Text {
                                id: entryLabel
                                anchors.horizontalCenter: parent.horizontalCenter
                                anchors.bottom: parent.bottom
                                text: column.modelData.label || ""
                                color: Theme.fixed.textMuted
                                font.pixelSize: 11
                            }
                        }
                    }
                }
            }
        }
    ]
}
