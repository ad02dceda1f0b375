pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import "Palette.js" as Palette

// A drop-down in the look of the text fields, reading right to left: the chosen text at the
// right, the arrow at the left, a placeholder while nothing is chosen.
//
// Properties (plus ComboBox's own: model, currentIndex, currentValue, textRole, valueRole):
//   placeholderText (string) shown while currentIndex is -1
//   theme           (object) the window's appTheme, or the light colours outside a themed window
ComboBox {
    id: box

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    property string placeholderText: ""

    implicitHeight: 42
    font.pixelSize: 13
    leftPadding: 36
    rightPadding: 12
    currentIndex: -1
    displayText: currentIndex < 0 ? placeholderText : currentText

    background: Rectangle {
        radius: 10
        color: box.theme.bgInput
        border.width: box.activeFocus || box.popup.visible ? 1.5 : 1
        border.color: box.activeFocus || box.popup.visible ? box.theme.accentGold : box.theme.borderColor
    }

    contentItem: Text {
        text: box.displayText
        color: box.currentIndex < 0 ? box.theme.textMuted : box.theme.textPrimary
        font: box.font
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: Text {
        x: 12
        anchors.verticalCenter: parent.verticalCenter
        text: "▾"
        color: box.theme.textSecondary
        font.pixelSize: 14
    }

    delegate: ItemDelegate {
        id: choice
        required property var modelData
        required property int index

        width: ListView.view ? ListView.view.width : box.width
        height: 38
        highlighted: box.highlightedIndex === index
        hoverEnabled: true

        background: Rectangle {
            color: choice.highlighted || choice.hovered ? box.theme.bgElevated : "transparent"
        }
        contentItem: Text {
            text: box.textRole ? String(choice.modelData[box.textRole] || "") : String(choice.modelData)
            color: box.currentIndex === choice.index ? box.theme.accentGold : box.theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignRight
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
    }

    popup: Popup {
        y: box.height + 4
        width: box.width
        implicitHeight: Math.min(contentItem.implicitHeight + 2, 260)
        padding: 1

        background: Rectangle {
            radius: 10
            color: box.theme.bgSecondary
            border.width: 1
            border.color: box.theme.borderColor
        }
        contentItem: ListView {
            implicitHeight: contentHeight
            clip: true
            model: box.popup.visible ? box.delegateModel : null
            currentIndex: box.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
        }
    }
}
