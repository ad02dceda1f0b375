pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Palette.js" as Palette
import "AdminPalette.js" as AdminPalette
import "Bidi.js" as Bidi
import "Formats.js" as Formats

// One row of the journal: the entry's date and description, a badge naming the operation it was
// posted for (invoice, payment, sale...) and the amount it moved, in the operation's own currency
// too when that was another one. A click opens the entry.
//
// A delegate of PagedList (its `record` and `index`).
// Signals: opened(int entryId)
Rectangle {
    id: row

    required property var record
    required property int index

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light
    readonly property var origin: AdminPalette.entryOrigins[record.reference_type] || AdminPalette.entryOrigins.manual
    readonly property bool foreign: !!record.currency_code && Number(record.exchange_rate) !== 1

    signal opened(int entryId)

    objectName: "entry_" + record.id
    width: ListView.view ? ListView.view.width : implicitWidth
    height: 50
    radius: 8
    color: hover.hovered ? theme.bgElevated : index % 2 === 1 ? AdminPalette.stripe(theme) : "transparent"

    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    TapHandler {
        onTapped: row.opened(row.record.id)
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 15
        anchors.rightMargin: 15
        layoutDirection: Qt.RightToLeft
        spacing: 12

        Text {
            Layout.preferredWidth: 90
            textFormat: Text.PlainText
            text: row.record.entry_date || ""
            color: row.theme.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignRight
        }
        Rectangle {
            objectName: "originBadge"
            Layout.preferredWidth: originLabel.implicitWidth + 16
            Layout.preferredHeight: 24
            radius: 6
            color: row.origin.color

            Text {
                id: originLabel
                objectName: "originLabel"
                anchors.centerIn: parent
                textFormat: Text.PlainText
                text: row.origin.label
                color: row.theme.accentGold
                font.pixelSize: 11
                font.bold: true
            }
        }
        Text {
            objectName: "journalDescription"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: Bidi.numbersInOrder(row.record.description)
            color: row.theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignRight
            elide: Text.ElideRight
        }
        Text {
            objectName: "entryAmount"
            Layout.preferredWidth: 190
            textFormat: Text.PlainText
            // What the books hold in the primary currency, then the operation's own amount and
            // currency; kept left to right as written.
            text: "\u202A" + Formats.money(row.record.amount) + (row.foreign ? " (" + Formats.money(row.record.original_amount) + " " + row.record.currency_code + ")" : "") + "\u202C"
            color: row.theme.textPrimary
            font.pixelSize: 12
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideLeft
        }
    }
}
