pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The settings page's theme panel: the dark and the light theme side by side.
SectionPanel {
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.theme
    title: "المظهر الداخلي"

    Text {
        Layout.fillWidth: true
        text: "بدّل بين الوضع الليلي والنهاري، ويتم حفظ الاختيار داخل النظام."
        color: Theme.textSecondary
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
        wrapMode: Text.Wrap
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12

        Repeater {
            model: [
                {
                    "mode": "dark",
                    "label": "الوضع الليلي",
                    "description": "مناسب للعمل الطويل والتركيز العالي"
                },
                {
                    "mode": "light",
                    "label": "الوضع النهاري",
                    "description": "ألوان فاتحة للطباعة والعرض المكتبي"
                }
            ]

            AbstractButton {
                id: themeCard
                required property var modelData
                readonly property bool selected: Backend.settingsManager.themeMode === modelData.mode

                objectName: "themeCard_" + modelData.mode
                Layout.fillWidth: true
                Layout.preferredHeight: 86
                onClicked: Backend.settingsManager.setThemeMode(modelData.mode)

                background: Rectangle {
                    radius: 12
                    color: themeCard.selected ? Theme.bgElevated : Theme.bgCard
                    border.width: themeCard.selected ? 1.5 : 1
                    border.color: themeCard.selected ? Theme.accentGold : Theme.borderColor
                }
                contentItem: ColumnLayout {
                    spacing: 6

                    Text {
                        Layout.fillWidth: true
                        Layout.leftMargin: 14
                        Layout.rightMargin: 14
                        textFormat: Text.PlainText
                        text: themeCard.modelData.label
                        color: Theme.textPrimary
                        font.pixelSize: 14
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        Layout.fillWidth: true
                        Layout.leftMargin: 14
                        Layout.rightMargin: 14
                        textFormat: Text.PlainText
                        text: themeCard.modelData.description
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        wrapMode: Text.Wrap
                    }
                }
            }
        }
    }
}
