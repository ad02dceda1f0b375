import QtQuick
import QtQuick.Controls
import Darvelinto

// A square button that shows one icon (e.g. Icons.remove to delete a row), outlined in its colour.
//
// Properties:
//   symbol   (string) the icon the button shows (see singletons/Icons.qml)
//   btnColor (color)  border colour (default the theme's dangerColor)
//   tooltip  (string) said on hover and read by screen readers
// Plus MButton's own (enabled, clicked()).
MButton {
    id: control

    property string symbol: Icons.remove
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
        color: control.btnColor
        font.pixelSize: 18
        font.family: Icons.family
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
