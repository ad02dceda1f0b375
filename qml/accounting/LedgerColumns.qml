pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The column headings over a table of the books: one muted bold text per column, in reading order.
//
// Properties:
//   columns (list) [text, width, amount] per column: a width of -1 takes the space left; amount
//           columns are aligned as figures are, to the far end
RowLayout {
    id: headings

    property var columns: []

    spacing: 12

    Repeater {
        model: headings.columns

        Text {
            required property var modelData
            Layout.preferredWidth: modelData[1] > 0 ? modelData[1] : -1
            Layout.fillWidth: modelData[1] < 0
            textFormat: Text.PlainText
            text: modelData[0]
            color: Theme.fixed.textMuted
            font.pixelSize: 11
            font.bold: true
            horizontalAlignment: modelData[2] === true ? Text.AlignRight : Text.AlignLeft
        }
    }
}
