pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Darvelinto

// A drop-down list in the theme's input colours, right to left.
//
// Properties: ComboBox's own (model, textRole, currentIndex, displayText, activated()), plus
//   placeholder (string) shown while nothing is chosen (currentIndex -1)
ComboBox {
    id: control

    property string placeholder: ""

    implicitHeight: 42
    font.pixelSize: 14
    displayText: currentIndex < 0 && placeholder.length > 0 ? placeholder : currentText

    contentItem: Text {
        leftPadding: 36
        rightPadding: 12
        text: control.displayText
        color: control.currentIndex < 0 ? Theme.textMuted : Theme.textPrimary
        font: control.font
        horizontalAlignment: Text.AlignLeft
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: Text {
        x: 12
        y: (control.height - height) / 2
        text: Icons.dropDown
        font.family: Icons.family
        color: Theme.textSecondary
        font.pixelSize: 14
    }

    background: Rectangle {
        radius: 10
        color: Theme.bgInput
        border.width: control.activeFocus || control.popup.visible ? 1.5 : 1
        border.color: control.activeFocus || control.popup.visible ? Theme.accentGold : Theme.borderColor
    }

    delegate: ItemDelegate {
        id: entry
        required property int index
        required property var modelData

        width: ListView.view ? ListView.view.width : control.width
        highlighted: control.highlightedIndex === index
        contentItem: Text {
            text: control.textRole && entry.modelData && typeof entry.modelData === "object" ? entry.modelData[control.textRole] : entry.modelData
            color: Theme.textPrimary
            font.pixelSize: 14
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        background: Rectangle {
            color: entry.highlighted ? Theme.bgElevated : "transparent"
        }
    }

    popup: Popup {
        y: control.height + 4
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + 2, 300)
        padding: 1

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
            ScrollIndicator.vertical: ScrollIndicator {}
        }
        background: Rectangle {
            radius: 10
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor
        }
    }
}
