pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Darvelinto

// A row of tabs laid out right to left, the first tab at the right.
//
// Two looks:
//   filled: false (default) tabs as wide as their text plus 30; the current one has gold text on
//           the raised colour with a gold border, the others muted text on nothing
//   filled: true  tabs share the width equally on a bordered bar; the current one is filled gold
// Properties:
//   labels       (list of strings) one tab each
//   currentIndex (int)  the current tab; a click sets it and emits tabClicked(index)
//   tabPrefix    (string) tab i is called tabPrefix + i, for tests
//   fontSize     (int)  text size, default 14 (13 and bold when filled)
Rectangle {
    id: strip


    property var labels: []
    property int currentIndex: 0
    property bool filled: false
    property string tabPrefix: "tab"
    property int fontSize: filled ? 13 : 14

    signal tabClicked(int index)

    implicitHeight: filled ? 50 : 42
    radius: 10
    color: filled ? Theme.bgSecondary : "transparent"
    border.width: filled ? 1 : 0
    border.color: Theme.borderColor

    Row {
        id: row
        anchors.fill: parent
        anchors.margins: strip.filled ? 5 : 0
        spacing: strip.filled ? 5 : 8

        Repeater {
            model: strip.labels

            AbstractButton {
                id: tab
                required property string modelData
                required property int index
                readonly property bool current: strip.currentIndex === index

                objectName: strip.tabPrefix + index
                width: strip.filled ? (row.width - row.spacing * (strip.labels.length - 1)) / Math.max(1, strip.labels.length) : tab.implicitContentWidth + 30
                height: row.height
                hoverEnabled: true
                onClicked: {
                    strip.currentIndex = index;
                    strip.tabClicked(index);
                }

                background: Rectangle {
                    radius: strip.filled ? 8 : 10
                    color: tab.current ? (strip.filled ? Theme.accentGold : Theme.bgElevated) : (tab.hovered ? Theme.bgElevated : "transparent")
                    opacity: tab.current || !tab.hovered ? 1 : 0.6
                    border.width: tab.current && !strip.filled ? 1 : 0
                    border.color: Theme.accentGold
                }
                contentItem: Text {
                    text: tab.modelData
                    color: tab.current ? (strip.filled ? Theme.textOnAccent : Theme.accentGold) : Theme.textSecondary
                    font.pixelSize: strip.fontSize
                    // Only the filled look is bold: a tab that turned bold when chosen would grow and
                    // push its neighbours aside.
                    font.bold: strip.filled
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
    }
}
