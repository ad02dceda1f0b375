import QtQuick
import Darvelinto

// A small pill that shows a status in its colour. One component for every status vocabulary: the
// page hands it the status and a mapping from status to label and colour, e.g.
//
//     readonly property var invoiceStatuses: ({
//         "paid": { label: "مدفوعة", color: Theme.successColor },
//         "partial": { label: "جزئية", color: Theme.warningColor },
//         "pending": { label: "معلقة", color: Theme.dangerColor }
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
Rectangle {
    id: badge


    property string status: ""
    property var mapping: ({})
    property string fallbackLabel: status
    property color fallbackColor: Theme.textMuted

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
