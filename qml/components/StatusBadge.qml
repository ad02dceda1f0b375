import QtQuick
import QtQuick.Controls
import Darvelinto
import "Palette.js" as Palette

// A small pill that shows a status in its colour. One component for every status vocabulary: the
// page hands it the status and a mapping from status to label and colour, e.g.
//
//     readonly property var invoiceStatuses: ({
//         "paid": { label: "مدفوعة", color: "#16a34a" },
//         "partial": { label: "جزئية", color: "#d97706" },
//         "pending": { label: "معلقة", color: "#dc2626" }
//     })
//     StatusBadge { status: record.status; mapping: page.invoiceStatuses }
//
// Properties:
//   status        (string) the stored status word
//   mapping       (var)    { status: { label, color } }; an entry may add `background`, a colour
//                          drawn behind the label instead of the tinted one
//   fallbackLabel (string) shown for a status missing from the mapping (default: the status itself)
//   fallbackColor (color)  colour of such a status (default the theme's textMuted)
//   label, badgeColor (read-only) what is shown
//   theme         (object) the window's appTheme, or the light colours outside a themed window
Rectangle {
    id: badge

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    property string status: ""
    property var mapping: ({})
    property string fallbackLabel: status
    property color fallbackColor: theme.textMuted

    readonly property var entry: mapping && mapping[status] ? mapping[status] : null
    readonly property string label: entry && entry.label !== undefined ? entry.label : fallbackLabel
    readonly property color badgeColor: entry && entry.color ? entry.color : fallbackColor

    implicitWidth: caption.implicitWidth + 22
    implicitHeight: 24
    radius: height / 2
    color: entry && entry.background ? entry.background : Qt.rgba(badgeColor.r, badgeColor.g, badgeColor.b, 0.16)
    border.width: 1
    border.color: Qt.rgba(badgeColor.r, badgeColor.g, badgeColor.b, 0.45)

    Text {
        id: caption
        anchors.centerIn: parent
        text: badge.label
        color: badge.badgeColor
        font.pixelSize: 11
        font.bold: true
    }
}
