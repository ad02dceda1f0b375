import QtQuick
import QtQuick.Controls
import Darvelinto

// A square button that shows one symbol or emoji in colour (e.g. "🗑" to delete a row), outlined
// in its colour. The emoji face is used so the symbol is never drawn as a black-and-white glyph.
//
// Properties:
//   symbol   (string) what the button shows
//   btnColor (color)  border colour (default the theme's dangerColor)
//   tooltip  (string) said on hover and read by screen readers
// Plus MButton's own (enabled, clicked()).
MButton {
    id: control

    property string symbol: "🗑"
    property string tooltip: ""

    implicitWidth: 40
    implicitHeight: 40
    leftPadding: 0
    rightPadding: 0
    topPadding: 0
    bottomPadding: 0
    outline: true
    btnColor: Theme.dangerColor
    Accessible.name: tooltip
    ToolTip.visible: tooltip.length > 0 && hovered
    ToolTip.text: tooltip
    ToolTip.delay: 600

    contentItem: Text {
        text: control.symbol
        font.pixelSize: 15
        font.family: Theme.emojiFont
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
