import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "Palette.js" as Palette

// The search strip above a page's list: a magnifier glyph and a borderless input. The page
// reacts to every change of `text` (the lists answer a keystroke at once).
//
// Properties:
//   text            (alias)  what is typed
//   placeholderText (alias)
//   input           (alias)  the TextField, for focus
//   theme           (object) the window's appTheme, or the light colours outside a themed window
Rectangle {
    id: strip

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    property alias text: field.text
    property alias placeholderText: field.placeholderText
    readonly property alias input: field

    Layout.fillWidth: true
    Layout.preferredHeight: 46
    implicitHeight: 46
    radius: 10
    color: theme.bgSecondary
    border.width: 1
    border.color: field.activeFocus ? theme.accentGold : theme.borderColor

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        layoutDirection: Qt.RightToLeft
        spacing: 8

        Text {
            text: "⌕"
            color: strip.theme.textSecondary
            font.pixelSize: 20
        }

        TextField {
            id: field
            objectName: "searchInput"
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: strip.theme.textPrimary
            placeholderTextColor: strip.theme.textMuted
            selectionColor: strip.theme.accentGold
            selectedTextColor: strip.theme.textOnAccent
            font.pixelSize: 14
            horizontalAlignment: TextInput.AlignRight
            verticalAlignment: TextInput.AlignVCenter
            selectByMouse: true
            background: null
        }
    }
}
