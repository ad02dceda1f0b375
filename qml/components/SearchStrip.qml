import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The search strip above a page's list: a magnifier glyph and a borderless input. The page
// reacts to every change of `text` (the lists answer a keystroke at once).
//
// Properties:
//   text            (alias)  what is typed
//   placeholderText (alias)
//   input           (alias)  the TextField, for focus
Rectangle {
    id: strip


    property alias text: field.text
    property alias placeholderText: field.placeholderText
    readonly property alias input: field

    Layout.fillWidth: true
    Layout.preferredHeight: 46
    implicitHeight: 46
    radius: 10
    color: Theme.bgSecondary
    border.width: 1
    border.color: field.activeFocus ? Theme.accentGold : Theme.borderColor

    RowLayout {
        anchors.fill: parent
        anchors.rightMargin: 12
        anchors.leftMargin: 12
        spacing: 8

        Text {
            text: Icons.search
            font.family: Icons.family
            color: Theme.textSecondary
            font.pixelSize: 20
        }

        TextField {
            id: field
            objectName: "searchInput"
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: Theme.textPrimary
            placeholderTextColor: Theme.textMuted
            selectionColor: Theme.accentGold
            selectedTextColor: Theme.textOnAccent
            font.pixelSize: 14
            horizontalAlignment: TextInput.AlignLeft
            verticalAlignment: TextInput.AlignVCenter
            selectByMouse: true
            background: null
        }
    }
}
