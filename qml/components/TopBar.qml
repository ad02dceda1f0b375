pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The bar along the top of the main frame: the current page's title, the theme switch and a box
// with today's date and the user's access level.
//
// Properties:
//   title     (string) the current page's title
//   subtitle  (string) one line under it
//   themeMode (string) "dark" or "light": which segment of the switch is highlighted
//   isAdmin   (bool)   "صلاحية مدير" instead of "صلاحية مستخدم"
// Signals: themeModeSelected(mode) from a click on a segment of the switch.
Rectangle {
    id: topBar


    property string title: ""
    property string subtitle: ""
    property string themeMode: "dark"
    property bool isAdmin: false

    signal themeModeSelected(string mode)

    // The business date when the bar was made, like a printed heading.
    readonly property string todayText: Format.weekdayDate(Format.today())

    Layout.fillWidth: true
    Layout.preferredHeight: 72
    implicitHeight: 72
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    RowLayout {
        anchors.fill: parent
        anchors.rightMargin: 24
        anchors.leftMargin: 24
        spacing: 18

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            spacing: 2

            Text {
                objectName: "topBarTitle"
                Layout.fillWidth: true
                text: topBar.title
                color: Theme.textPrimary
                font.pixelSize: 22
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                text: topBar.subtitle
                color: Theme.textSecondary
                font.pixelSize: 12
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
        }

        Rectangle {
            Layout.preferredWidth: 170
            Layout.preferredHeight: 40
            radius: 12
            color: Theme.bgElevated
            border.width: 1
            border.color: Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.margins: 4
                spacing: 4

                Repeater {
                    model: [
                        {
                            "mode": "dark",
                            "label": "ليلي"
                        },
                        {
                            "mode": "light",
                            "label": "نهاري"
                        }
                    ]

                    AbstractButton {
                        id: segment
                        required property var modelData
                        readonly property bool selected: topBar.themeMode === modelData.mode

                        objectName: "themeSegment_" + modelData.mode
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        onClicked: topBar.themeModeSelected(modelData.mode)

                        background: Rectangle {
                            radius: 10
                            color: segment.selected ? Theme.accentGold : "transparent"
                        }
                        contentItem: Text {
                            text: segment.modelData.label
                            color: segment.selected ? Theme.textOnAccent : Theme.textSecondary
                            font.pixelSize: 12
                            font.bold: segment.selected
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                    }
                }
            }
        }

        Rectangle {
            Layout.preferredWidth: 176
            Layout.preferredHeight: 40
            radius: 12
            color: Theme.bgElevated
            border.width: 1
            border.color: Theme.borderColor

            Column {
                anchors.centerIn: parent
                spacing: 0

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: topBar.todayText
                    color: Theme.textPrimary
                    font.pixelSize: 12
                }
                Text {
                    objectName: "topBarRole"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: topBar.isAdmin ? "صلاحية مدير" : "صلاحية مستخدم"
                    color: Theme.textMuted
                    font.pixelSize: 11
                }
            }
        }
    }
}
