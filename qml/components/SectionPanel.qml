import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "Palette.js" as Palette

// A titled panel of a settings-like page: a rounded box filling the width of its column layout,
// as high as its content plus 40, with the title in gold at the top right and the content below,
// one item under the other (spacing 15, margins 20).
//
// Properties:
//   title   (string) the panel's heading
//   icon    (string) an emoji before the heading, drawn in colour; none when empty
//   content (alias, default) the items declared inside the panel
//   theme   (object) the window's appTheme, or the light colours outside a themed window
Rectangle {
    id: panel

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    property string title: ""
    property string icon: ""
    default property alias content: body.data

    Layout.fillWidth: true
    Layout.preferredHeight: body.implicitHeight + 40
    implicitHeight: body.implicitHeight + 40
    radius: 14
    color: theme.bgSecondary
    border.width: 1
    border.color: theme.borderColor

    ColumnLayout {
        id: body
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 20
        spacing: 15

        RowLayout {
            Layout.fillWidth: true
            layoutDirection: Qt.RightToLeft
            spacing: 8

            Text {
                visible: panel.icon.length > 0
                text: panel.icon
                font.pixelSize: 16
                font.family: Palette.emojiFont
            }
            Text {
                Layout.fillWidth: true
                text: panel.title
                color: panel.theme.accentGold
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignRight
            }
        }
    }
}
