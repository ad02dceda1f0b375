pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// A list for tables that grow without bound (invoices, payments, installments, cheques, journal,
// audit): it never binds the whole table into the view. It asks the page for one page of rows at a
// time, newest first, shows a search box, and offers "تحميل المزيد" (bottom strip) while more rows exist.
//
// The page supplies the rows through `fetch`, a function (offset, limit, searchText) that returns
// a record list ordered newest first (the back end does the LIMIT/OFFSET and the search, using its
// indexes). The list asks for limit = pageSize + 1 rows to learn whether another page exists.
//
//     PagedList {
//         id: invoiceList
//         Layout.fillWidth: true
//         Layout.fillHeight: true
//         searchPlaceholder: "بحث برقم الفاتورة أو اسم المستأجر..."
//         fetch: (offset, limit, search) => Backend.invoiceModel.getPage(offset, limit, search)
//         headers: ["رقم الفاتورة", "المستأجر", "المبلغ", "الحالة"]
//         columnWidths: [140, 0, 120, 100]          // 0 or missing: share the rest
//         cells: record => [record.invoice_number, record.tenant_name, record.total_amount, record.status]
//     }
//     function refresh() { invoiceList.reload() }   // the page's reload function
//
// Rows: by default each row shows cells(record) as text cells in the header's columns. For
// badges or buttons give a `delegate` Component instead; it is created with the roles
//     required property var record     // the record map of the row
//     required property int index
// and should be `width: ListView.view.width`. Keep no state in a delegate: it is reused.
//
// Properties:
//   fetch             (function) see above; reload() does nothing until it is set
//   pageSize          (int)      rows per page, default 50
//   searchable        (bool)     show the search box (default true)
//   searchPlaceholder (string)
//   headers, columnWidths, cells   the default table row (see above)
//   delegate          (Component) a custom row instead of the default
//   headerVisible     (bool)     show the column headers; by default only over default rows
//                                (set it to true to head a custom delegate that lays its cells
//                                out with columnWidth(i, columns))
//   rowHeight         (int)      height of a default row, default 48
//   emptyText         (string)   shown when there are no rows
//   fieldColor        (color)    background of the search box
//   panelColor, headerColor, rowAltColor, hoverColor, lineColor, textColor, headerTextColor,
//   mutedTextColor    (color)    theme colours by default; pages with fixed dark colours set them
// Read-only: count, hasMore, searchText, view (the ListView).
// Functions: reload() (first page again, e.g. after an action or when the page is shown),
//            loadMore(), recordAt(index), search(text) (types the search and reloads).
// Signals: rowClicked(record, index) from the default row.
Rectangle {
    id: list


    property var fetch: null
    property int pageSize: 50
    property bool searchable: true
    property string searchPlaceholder: "بحث..."
    property var headers: []
    property var columnWidths: []
    property var cells: null
    property Component delegate: null
    property bool headerVisible: delegate === null && headers.length > 0
    property int rowHeight: 48
    property string emptyText: "لا توجد سجلات"

    property color fieldColor: Theme.bgInput
    property color panelColor: Theme.bgCard
    property color headerColor: Theme.bgElevated
    property color rowAltColor: Theme.bgSecondary
    property color hoverColor: Theme.bgElevated
    property color lineColor: Theme.borderColor
    property color textColor: Theme.textPrimary
    property color headerTextColor: Theme.textSecondary
    property color mutedTextColor: Theme.textMuted

    readonly property int count: rows.count
    property bool hasMore: false
    readonly property alias searchText: searchField.text
    readonly property alias view: listView

    signal rowClicked(var record, int index)

    function reload() {
        rows.clear();
        hasMore = false;
        fetchFrom(0);
        listView.positionViewAtBeginning();
    }

    function loadMore() {
        if (hasMore)
            fetchFrom(rows.count);
    }

    function search(text) {
        searchDelay.stop();
        searchField.text = text;
        reload();
    }

    function recordAt(index) {
        return index >= 0 && index < rows.count ? rows.get(index).record : null;
    }

    function fetchFrom(offset) {
        const fetchPage = list.fetch;
        if (typeof fetchPage !== "function")
            return;
        const page = fetchPage(offset, pageSize + 1, searchField.text.trim()) || [];
        const shown = Math.min(page.length, pageSize);
        for (let i = 0; i < shown; ++i)
            rows.append({
                "record": page[i]
            });
        hasMore = page.length > pageSize;
    }

    function columnWidth(i, columns) {
        const widths = columnWidths || [];
        const given = w => w !== undefined && w !== null && Number(w) > 0;
        if (i < widths.length && given(widths[i]))
            return Number(widths[i]);
        let fixed = 0;
        let fixedCount = 0;
        for (let c = 0; c < Math.min(widths.length, columns); ++c) {
            if (given(widths[c])) {
                fixed += Number(widths[c]);
                ++fixedCount;
            }
        }
        const shared = columns - fixedCount;
        return shared > 0 ? Math.max(0, (listView.width - 30 - fixed) / shared) : 0;
    }

    function cellText(value) {
        return value === undefined || value === null ? "" : String(value);
    }

    color: panelColor
    radius: 14
    border.width: 1
    border.color: lineColor
    clip: true

    ListModel {
        id: rows
    }

    Timer {
        id: searchDelay
        interval: 300
        onTriggered: list.reload()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 1
        spacing: 0

        Item {
            Layout.fillWidth: true
            Layout.preferredHeight: 58
            visible: list.searchable

            TextField {
                id: searchField
                objectName: "pagedListSearch"
                anchors.fill: parent
                anchors.margins: 10
                placeholderText: list.searchPlaceholder
                placeholderTextColor: list.mutedTextColor
                color: list.textColor
                font.pixelSize: 13
                horizontalAlignment: TextInput.AlignLeft
                verticalAlignment: TextInput.AlignVCenter
                selectByMouse: true
                rightPadding: 38
                leftPadding: 12
                onTextEdited: searchDelay.restart()
                onAccepted: {
                    searchDelay.stop();
                    list.reload();
                }

                background: Rectangle {
                    radius: 8
                    color: list.fieldColor
                    border.width: searchField.activeFocus ? 1.5 : 1
                    border.color: searchField.activeFocus ? Theme.accentGold : list.lineColor
                }

                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: Icons.search
                    color: list.mutedTextColor
                    font.pixelSize: 18
                    font.family: Icons.family
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 44
            visible: list.headerVisible
            color: list.headerColor

            Row {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Repeater {
                    model: list.headers

                    Text {
                        required property var modelData
                        required property int index
                        width: list.columnWidth(index, list.headers.length)
                        height: parent.height
                        text: list.cellText(modelData)
                        color: list.headerTextColor
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                    }
                }
            }
        }

        ListView {
            id: listView
            objectName: "pagedListView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            model: rows
            delegate: list.delegate !== null ? list.delegate : defaultRow
            ScrollBar.vertical: ScrollBar {}

            Text {
                anchors.centerIn: parent
                visible: rows.count === 0
                text: list.emptyText
                color: list.mutedTextColor
                font.pixelSize: 14
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            color: list.headerColor

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 12
                anchors.leftMargin: 15
                spacing: 12

                Text {
                    objectName: "pagedListCount"
                    Layout.fillWidth: true
                    text: list.hasMore ? "عرض أحدث " + rows.count + " سجل" : "عدد السجلات: " + rows.count
                    color: list.mutedTextColor
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                MButton {
                    objectName: "loadMoreButton"
                    Layout.preferredHeight: 34
                    visible: list.hasMore
                    text: "تحميل المزيد"
                    iconSymbol: Icons.more
                    outline: true
                    onClicked: list.loadMore()
                }
            }
        }
    }

    Component {
        id: defaultRow

        Rectangle {
            id: row
            required property var record
            required property int index
            readonly property var values: {
                const cellsOf = list.cells;
                return typeof cellsOf === "function" ? cellsOf(record) || [] : [];
            }

            width: ListView.view.width
            height: list.rowHeight
            color: index % 2 === 1 ? list.rowAltColor : "transparent"

            Rectangle {
                anchors.fill: parent
                color: list.hoverColor
                opacity: rowHover.hovered ? 0.8 : 0
            }
            HoverHandler {
                id: rowHover
            }
            TapHandler {
                onTapped: list.rowClicked(row.record, row.index)
            }

            Row {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Repeater {
                    model: row.values

                    Text {
                        required property var modelData
                        required property int index
                        width: list.columnWidth(index, Math.max(list.headers.length, row.values.length))
                        height: parent.height
                        text: list.cellText(modelData)
                        // Stored text, shown as typed: a name holding markup must not be rendered as markup.
                        textFormat: Text.PlainText
                        color: list.textColor
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
                color: list.lineColor
                opacity: 0.5
            }
        }
    }
}
