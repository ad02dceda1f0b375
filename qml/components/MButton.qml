import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The push button of every page and dialog.
//
// Properties:
//   btnColor   (color)  fill, or border and text colour when `outline`; default the theme's gold
//   textColor  (color)  text and icon colour of a filled button; default the theme's textOnAccent
//   outline    (bool)   transparent with a coloured border instead of a filled gradient
//   iconSymbol (string) an icon (see singletons/Icons.qml) drawn before the text; hidden when empty
// Plus Button's own `text`, `enabled` and `clicked()`.
Button {
    id: control


    property color btnColor: Theme.accentGold
    property color textColor: Theme.textOnAccent !== undefined ? Theme.textOnAccent : Theme.textPrimary
    property bool outline: false
    property string iconSymbol: ""

    readonly property color foreground: outline ? btnColor : textColor

    implicitHeight: 40
    leftPadding: 16
    rightPadding: 16
    font.pixelSize: 13
    font.bold: true
    font.family: "Segoe UI"
    hoverEnabled: true
    opacity: enabled ? 1.0 : 0.5
    scale: pressed ? 0.97 : 1.0

    Behavior on scale {
        NumberAnimation {
            duration: 100
            easing.type: Easing.OutQuad
        }
    }


    Gradient {
        id: fillGradient
        GradientStop {
            position: 0.0
            color: control.hovered ? Qt.lighter(control.btnColor, 1.1) : control.btnColor
        }
        GradientStop {
            position: 1.0
            color: control.hovered ? control.btnColor : Qt.darker(control.btnColor, 1.1)
        }
    }

    contentItem: RowLayout {
        spacing: 8

        Text {
            visible: control.iconSymbol.length > 0
            text: control.iconSymbol
            font.family: Icons.family
            color: control.foreground
            font.pixelSize: 18
        }
        Text {
            Layout.fillWidth: true
            text: control.text
            color: control.foreground
            font: control.font
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
    }

    background: Rectangle {
        radius: 8
        color: control.outline ? "transparent" : control.btnColor
        border.width: control.outline ? 1.5 : 0
        border.color: control.btnColor
        gradient: control.outline ? null : fillGradient

        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            color: Theme.textPrimary
            opacity: 0.15
            visible: control.pressed
        }
    }
}
