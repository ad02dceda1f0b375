pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

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

    readonly property var origin: Theme.entryOrigin(record.reference_type)
    readonly property bool foreign: !!record.currency_code && Number(record.exchange_rate) !== 1

    signal opened(int entryId)

    objectName: "entry_" + record.id
    width: ListView.view ? ListView.view.width : implicitWidth
    height: 50
    radius: 8
    color: hover.hovered ? Theme.bgElevated : index % 2 === 1 ? Theme.stripe : "transparent"

    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    TapHandler {
        onTapped: row.opened(row.record.id)
    }

    RowLayout {
        anchors.fill: parent
        anchors.rightMargin: 15
        anchors.leftMargin: 15
        spacing: 12

        Text {
            Layout.preferredWidth: 90
            textFormat: Text.PlainText
            text: Format.date(row.record.entry_date || "")
            color: Theme.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
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
                color: Theme.accentGold
                font.pixelSize: 11
                font.bold: true
            }
        }
        Text {
            objectName: "journalDescription"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: Format.inOrder(row.record.description)
            color: Theme.textPrimary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }
        Text {
            objectName: "entryAmount"
            Layout.preferredWidth: 210
            textFormat: Text.PlainText
            // What the books hold in the primary currency, then the operation's own amount.
            text: Format.amount(row.record.amount) + (row.foreign ? " (" + Format.amount(row.record.original_amount, row.record.currency_code) + ")" : "")
            color: Theme.textPrimary
            font.pixelSize: 12
            font.bold: true
            horizontalAlignment: Text.AlignRight
            elide: Text.ElideLeft
        }
    }
}
