pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Darvelinto

// A drop-down choice in the theme's colours, right to left, for lists of records (tenants, units,
// currencies) or plain texts. The model is a JavaScript array; each entry is shown by `textFor`
// when given, else by its `textRole` key, else as it is.
//
//     ChoiceBox {
//         id: tenantBox
//         model: page.tenants                       // e.g. Backend.tenantModel.getAll()
//         textRole: "full_name"
//         placeholder: "اختر مستأجراً..."           // shown while nothing is chosen (index -1)
//         onActivated: page.loadInvoices()
//     }
//     ... tenantBox.currentEntry.id
//
// Properties:
//   placeholder  (string)   text while currentIndex is -1
//   textFor      (function) entry => text, for entries shown from several keys
//   currentEntry (read-only) the chosen entry, or null
// Functions: entryAt(index), textAt(index), indexWhere(predicate) (first index whose entry
// satisfies it, or -1), reload(rows) (new records, the chosen one kept by its id, else the first). In a handler of currentIndexChanged read entryAt(currentIndex): the
// currentEntry binding may not have followed yet.
ComboBox {
    id: box


    property string placeholder: ""
    property var textFor: null
    readonly property var entries: Array.isArray(model) ? model : []
    readonly property var currentEntry: currentIndex >= 0 && currentIndex < entries.length ? entries[currentIndex] : null

    function entryAt(index) {
        const all = Array.isArray(model) ? model : [];
        return index >= 0 && index < all.length ? all[index] : null;
    }

    function textAt(index) {
        if (index < 0 || index >= entries.length)
            return "";
        const entry = entries[index];
        const describe = box.textFor;
        if (typeof describe === "function")
            return String(describe(entry));
        if (entry !== null && typeof entry === "object")
            return textRole.length > 0 && entry[textRole] !== undefined && entry[textRole] !== null ? String(entry[textRole]) : "";
        return entry === undefined || entry === null ? "" : String(entry);
    }

    function indexWhere(predicate) {
        for (let i = 0; i < entries.length; ++i)
            if (predicate(entries[i]))
                return i;
        return -1;
    }

    // Records read afresh (a dialog opening), so that ones added meanwhile are offered; the
    // record chosen before stays chosen.
    function reload(rows) {
        const chosen = currentEntry ? currentEntry.id : undefined;
        model = rows;
        const again = chosen === undefined ? -1 : indexWhere(row => row.id === chosen);
        currentIndex = again >= 0 ? again : (rows.length > 0 ? 0 : -1);
    }

    implicitHeight: 40
    implicitWidth: 160
    font.pixelSize: 13
    displayText: currentIndex < 0 ? placeholder : textAt(currentIndex)

    background: Rectangle {
        radius: 8
        color: Theme.bgInput
        border.width: box.activeFocus || box.popup.visible ? 1.5 : 1
        border.color: box.activeFocus || box.popup.visible ? Theme.accentGold : Theme.borderColor
    }

    contentItem: Text {
        leftPadding: 28
        rightPadding: 12
        text: box.displayText
        color: box.currentIndex < 0 ? Theme.textMuted : Theme.textPrimary
        font: box.font
        horizontalAlignment: Text.AlignLeft
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: Text {
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        text: Icons.dropDown
        font.family: Icons.family
        color: Theme.textSecondary
        font.pixelSize: 14
    }

    delegate: ItemDelegate {
        id: choice
        required property int index

        width: ListView.view ? ListView.view.width : box.width
        height: 38
        highlighted: box.highlightedIndex === index

        contentItem: Text {
            text: box.textAt(choice.index)
            color: box.currentIndex === choice.index ? Theme.accentGold : Theme.textPrimary
            font.pixelSize: 13
            font.bold: box.currentIndex === choice.index
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        background: Rectangle {
            color: choice.highlighted ? Theme.bgElevated : "transparent"
        }
    }

    popup: Popup {
        y: box.height + 2
        width: box.width
        implicitHeight: Math.min(contentItem.implicitHeight + 2, 300)
        padding: 1

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: box.popup.visible ? box.delegateModel : null
            currentIndex: box.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
            ScrollIndicator.vertical: ScrollIndicator {}
        }

        background: Rectangle {
            radius: 8
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderStrong
        }
    }
}
