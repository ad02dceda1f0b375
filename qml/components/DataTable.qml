pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Darvelinto

// A simple read-only table on a fixed dark panel: a header row and a scrolling list of rows,
// columns laid out right to left. For lists that can grow without bound use PagedList.
//
// Properties:
//   headers      (list of strings) one header cell each
//   rows         (list of lists)   one list of cell values per row; a row may have fewer cells
//   columnWidths (list of numbers) width of column i; columns without an entry share the rest
// Cells show their value as text; a missing, null or empty value shows as an empty cell.
Rectangle {
    id: table

    property var headers: []
    property var rows: []
    property var columnWidths: []

    readonly property int columnCount: {
        let n = headers ? headers.length : 0;
        for (let i = 0; rows && i < rows.length; ++i)
            n = Math.max(n, rows[i] ? rows[i].length : 0);
        return n;
    }
    readonly property real innerWidth: width - 30

    function columnWidth(i) {
        const widths = columnWidths || [];
        if (i < widths.length && widths[i] !== undefined && widths[i] !== null)
            return Number(widths[i]);
        let fixed = 0;
        let fixedCount = 0;
        for (let c = 0; c < Math.min(widths.length, columnCount); ++c) {
            if (widths[c] !== undefined && widths[c] !== null) {
                fixed += Number(widths[c]);
                ++fixedCount;
            }
        }
        const shared = columnCount - fixedCount;
        return shared > 0 ? Math.max(0, (innerWidth - fixed) / shared) : 0;
    }

    function cellText(value) {
        return value === undefined || value === null ? "" : String(value);
    }

    radius: 14
    color: Theme.fixed.card
    border.width: 1
    border.color: Theme.fixed.cardBorder
    clip: true

    Rectangle {
        id: headerRow
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.top: parent.top
        height: 48
        radius: 14
        color: Theme.fixed.tableHeader

        Row {
            anchors.fill: parent
            anchors.rightMargin: 15
            anchors.leftMargin: 15

            Repeater {
                model: table.headers

                Text {
                    required property var modelData
                    required property int index
                    width: table.columnWidth(index)
                    height: parent.height
                    text: table.cellText(modelData)
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
    }

    ListView {
        id: body
        objectName: "dataTableBody"
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.top: headerRow.bottom
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 1
        clip: true
        reuseItems: true
        boundsBehavior: Flickable.StopAtBounds
        model: table.rows
        ScrollBar.vertical: ScrollBar {}

        delegate: Rectangle {
            id: row
            required property var modelData
            required property int index

            width: ListView.view.width
            height: 50
            color: index % 2 === 1 ? Theme.fixed.rowBg : "transparent"

            Rectangle {
                anchors.fill: parent
                color: Theme.fixed.rowSelected
                opacity: rowHover.hovered ? 1 : 0
                Behavior on opacity {
                    NumberAnimation {
                        duration: 100
                    }
                }
            }
            HoverHandler {
                id: rowHover
            }

            Row {
                objectName: "cells"
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Repeater {
                    model: row.modelData

                    Text {
                        required property var modelData
                        required property int index
                        width: table.columnWidth(index)
                        height: parent.height
                        text: table.cellText(modelData)
                        // Stored text, shown as typed: a name holding markup must not be rendered as markup.
                        textFormat: Text.PlainText
                        color: Theme.fixed.textCell
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                    }
                }
            }

            Rectangle {
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.bottom: parent.bottom
                height: 1
                color: Theme.fixed.cardBorder
                opacity: 0.5
            }
        }
    }
}
