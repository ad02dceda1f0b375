import QtQuick
import QtQuick.Layouts
import Darvelinto

// A figure card: an icon box and a title, value and subtitle.
//
// Properties:
//   title     (string) small upper-cased caption
//   value     (string) the figure, already formatted; default "0"
//   subtitle  (string) one line under the figure; hidden when empty
//   icon      (string) symbol or emoji in the icon box
//   iconBg    (color)  icon box colour, default the theme's bgElevated
//   iconColor (color)  icon colour and hover border, default the theme's gold
Rectangle {
    id: card


    property string title: ""
    property string value: "0"
    property string subtitle: ""
    property string icon: ""
    property color iconBg: Theme.bgElevated
    property color iconColor: Theme.accentGold

    Layout.fillWidth: true
    Layout.preferredHeight: 110
    implicitHeight: 110
    implicitWidth: 220
    radius: 16
    color: Theme.bgCard
    border.width: 1
    border.color: hover.hovered ? iconColor : Theme.borderColor
    scale: hover.hovered ? 1.02 : 1.0

    Behavior on border.color {
        ColorAnimation {
            duration: 200
        }
    }
    Behavior on scale {
        NumberAnimation {
            duration: 150
            easing.type: Easing.OutQuad
        }
    }

    HoverHandler {
        id: hover
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 15

        Rectangle {
            Layout.preferredWidth: 48
            Layout.preferredHeight: 48
            radius: 10
            color: card.iconBg

            Text {
                anchors.centerIn: parent
                text: card.icon
                color: card.iconColor
                font.family: Icons.family
                font.pixelSize: 24
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            spacing: 2

            Text {
                Layout.fillWidth: true
                text: card.title.toUpperCase()
                color: Theme.textMuted
                font.pixelSize: 11
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                text: card.value
                color: Theme.textPrimary
                font.pixelSize: 22
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                Layout.fillWidth: true
                visible: card.subtitle.length > 0
                text: card.subtitle
                color: Theme.textSecondary
                font.pixelSize: 11
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
        }
    }
}
