import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// A labelled text input.
//
// Properties:
//   label            (string) shown above the input when not empty
//   text             (alias)  the input's text
//   placeholderText  (alias)  shown while the input is empty
//   readOnly         (bool)   the text cannot be edited
//   echoMode         (alias)  e.g. TextInput.Password for a hidden password
//   validator, inputMethodHints, maximumLength (aliases of the input's own)
//   input            (alias)  the TextField itself, for focus and key handling
// Signals: accepted() when Return or Enter is pressed in the input.
ColumnLayout {
    id: root


    property alias text: field.text
    property alias placeholderText: field.placeholderText
    property string label: ""
    property bool readOnly: false
    property alias echoMode: field.echoMode
    property alias validator: field.validator
    property alias inputMethodHints: field.inputMethodHints
    property alias maximumLength: field.maximumLength
    readonly property alias input: field

    signal accepted

    spacing: 6

    Text {
        Layout.fillWidth: true
        visible: root.label.length > 0
        text: root.label
        color: Theme.textSecondary
        font.pixelSize: 12
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }

    TextField {
        id: field

        Layout.fillWidth: true
        Layout.preferredHeight: 42
        readOnly: root.readOnly
        color: Theme.textPrimary
        placeholderTextColor: Theme.textMuted
        selectionColor: Theme.accentGold
        selectedTextColor: Theme.textOnAccent
        font.pixelSize: 14
        horizontalAlignment: TextInput.AlignLeft
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        leftPadding: 12
        rightPadding: 12
        onAccepted: root.accepted()

        background: Rectangle {
            radius: 8
            color: Theme.bgInput
            border.color: field.activeFocus ? Theme.accentGold : Theme.borderColor
            border.width: field.activeFocus ? 1.5 : 1

            Rectangle {
                anchors.fill: parent
                radius: parent.radius
                color: Theme.fixed.textPrimary
                opacity: 0.03
                visible: !field.activeFocus
            }
        }
    }
}
