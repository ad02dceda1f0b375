import QtQuick
import QtQuick.Controls
import Darvelinto

// The input of the log-in card, in the fixed dark colours of that screen, with a symbol at its
// right edge.
//
// Properties: symbol (string) drawn 15 from the right edge; plus TextField's own (text,
// placeholderText, echoMode, accepted()).
TextField {
    id: field

    property string symbol: ""

    implicitHeight: 48
    color: Theme.fixed.textPrimary
    placeholderTextColor: Theme.fixed.textMuted
    selectionColor: Theme.fixed.gold
    selectedTextColor: Theme.fixed.pageBg
    font.pixelSize: 15
    horizontalAlignment: TextInput.AlignLeft
    verticalAlignment: TextInput.AlignVCenter
    rightPadding: 45
    leftPadding: 45
    selectByMouse: true

    background: Rectangle {
        radius: 10
        color: Theme.fixed.pageBg
        border.width: field.activeFocus ? 2 : 1
        border.color: field.activeFocus ? Theme.fixed.gold : Theme.fixed.cardBorder

        Behavior on border.color {
            ColorAnimation {
                duration: 200
            }
        }
    }

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 15
        anchors.verticalCenter: parent.verticalCenter
        text: field.symbol
        color: Theme.fixed.textSecondary
        font.pixelSize: 20
        font.family: Icons.family
    }
}
