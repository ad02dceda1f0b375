import QtQuick
import Darvelinto

// One icon of the interface's icon font (see singletons/Icons.qml), drawn as text: it takes the
// colour and size it is given and stays sharp at every scale.
//
//     Icon { glyph: Icons.print; size: 18; color: Theme.accentGold }
Text {
    property string glyph: ""
    property int size: 18

    text: glyph
    font.family: Icons.family
    font.pixelSize: size
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    textFormat: Text.PlainText
}
