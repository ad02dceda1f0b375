import QtQuick
import QtQuick.Layouts
import Darvelinto

// A titled panel of a settings-like page: a rounded box filling the width of its column layout,
// as high as its content plus 40, with the title in gold at the top right and the content below,
// one item under the other (spacing 15, margins 20).
//
// Properties:
//   title   (string) the panel's heading
//   icon    (string) an emoji before the heading, drawn in colour; none when empty
//   content (alias, default) the items declared inside the panel
Rectangle {
    id: panel


    property string title: ""
    property string icon: ""
    default property alias content: body.data

    Layout.fillWidth: true
    Layout.preferredHeight: body.implicitHeight + 40
    implicitHeight: body.implicitHeight + 40
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        id: body
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 20
        spacing: 15

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Text {
                visible: panel.icon.length > 0
                text: panel.icon
                color: Theme.accentGold
                font.pixelSize: 18
                font.family: Icons.family
            }
            Text {
                Layout.fillWidth: true
                text: panel.title
                color: Theme.accentGold
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
        }
    }
}
