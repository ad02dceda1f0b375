import QtQuick
import QtQuick.Layouts
import Darvelinto

// The title block at the top of a page, with the page's action buttons to its left.
//
// Properties:
//   title        (string) the page title
//   subtitle     (string) one line under the title
//   extraContent (alias, default) items declared inside the header, e.g. the page's MButtons;
//                they are laid out in a right-to-left row (spacing 12) to the left of the titles
//   titleColor, subtitleColor (color) the theme's textPrimary and textSecondary by default; pages
//                drawn in fixed colours set their own
// Use it in a layout: it fills the width, preferred height 70.
Item {
    id: header


    property string title: ""
    property string subtitle: ""
    property color titleColor: Theme.textPrimary
    property color subtitleColor: Theme.textSecondary
    default property alias extraContent: actions.data

    Layout.fillWidth: true
    Layout.preferredHeight: 70
    implicitHeight: 70

    RowLayout {
        anchors.fill: parent
        spacing: 20

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            spacing: 2

            Text {
                Layout.fillWidth: true
                text: header.title
                color: header.titleColor
                font.pixelSize: 24
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                visible: header.subtitle.length > 0
                text: header.subtitle
                color: header.subtitleColor
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
        }

        Row {
            id: actions
            Layout.alignment: Qt.AlignVCenter
            spacing: 12
        }
    }
}
