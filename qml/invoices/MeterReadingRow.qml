pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// One unit of the readings sheet: the unit and its tenant, the last reading, the field for this
// month's reading, the use it gives and whether the meter was changed. Enter in the field submits
// the reading; the sheet then moves on to the next unit. A billed reading is shown, not edited.
//
// Properties:
//   row     (var)    the sheet row (MeterReadingModel::getSheet), with `note` (Arabic) when the
//                    last attempt was refused
//   striped (bool)   the darker stripe of odd rows
// Signals: submitted(text, meterChange) when Enter is pressed in the reading field.
// Functions: focusReading() puts the cursor in the reading field, its text selected.
Rectangle {
    id: readingRow

    property var row: ({})
    property bool striped: false
    readonly property bool billed: Number(row.billed) === 1
    readonly property bool kept: Number(row.kept) === 1
    readonly property bool hasLast: Number(row.read_before) === 1
    readonly property string note: row.note || ""

    signal submitted(string text, bool meterChange)

    function focusReading() {
        readingField.forceActiveFocus();
        readingField.selectAll();
    }

    function submit() {
        submitted(readingField.text, changeBox.checked);
    }

    implicitHeight: note.length > 0 ? 62 : 44
    color: readingField.activeFocus ? Theme.fixed.rowSelected : (striped ? Theme.fixed.rowBg : "transparent")

    RowLayout {
        id: cells
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        height: 44
        spacing: 10

        Text {
            Layout.preferredWidth: 150
            textFormat: Text.PlainText
            text: (readingRow.row.property_name || "") + " / " + (readingRow.row.unit_number || "")
            color: Theme.fixed.textCell
            font.pixelSize: 13
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: readingRow.row.tenant_name || "شاغرة"
            color: readingRow.row.tenant_name ? Theme.fixed.textCell : Theme.fixed.textMuted
            font.pixelSize: 13
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
        Text {
            Layout.preferredWidth: 90
            textFormat: Text.PlainText
            text: readingRow.hasLast ? Format.number(readingRow.row.last_reading, 0) : "—"
            color: Theme.fixed.textSecondary
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        TextField {
            id: readingField
            objectName: "readingField"
            Layout.preferredWidth: 110
            Layout.preferredHeight: 34
            readOnly: readingRow.billed
            // Set once, not bound: a refused reading stays in the field to be mended.
            Component.onCompleted: text = readingRow.kept ? String(readingRow.row.current_reading) : ""
            placeholderText: readingRow.hasLast ? "" : "افتتاحية"
            color: Theme.fixed.textPrimary
            placeholderTextColor: Theme.fixed.textMuted
            font.pixelSize: 14
            horizontalAlignment: TextInput.AlignHCenter
            inputMethodHints: Qt.ImhFormattedNumbersOnly
            selectByMouse: true
            Keys.onReturnPressed: event => {
                event.accepted = true;
                readingRow.submit();
            }
            Keys.onEnterPressed: event => {
                event.accepted = true;
                readingRow.submit();
            }
            background: Rectangle {
                radius: 6
                color: Theme.fixed.pageBg
                border.width: 1
                border.color: readingRow.note.length > 0 ? Theme.fixed.error : (readingField.activeFocus ? Theme.fixed.gold : Theme.fixed.cardBorder)
            }
        }
        Text {
            objectName: "useText"
            Layout.preferredWidth: 140
            textFormat: Text.PlainText
            text: readingRow.kept ? Format.number(readingRow.row.consumption, Number(readingRow.row.consumption) % 1 === 0 ? 0 : 3) + "   " + Format.money(readingRow.row.cost) + (readingRow.billed ? "  مفوترة" : "") : ""
            color: readingRow.billed ? Theme.fixed.success : Theme.fixed.goldText
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        CheckBox {
            id: changeBox
            objectName: "meterChangeBox"
            Layout.preferredWidth: 70
            enabled: !readingRow.billed
            Component.onCompleted: checked = Number(readingRow.row.meter_change) === 1
            focusPolicy: Qt.NoFocus
            indicator: Rectangle {
                x: (changeBox.width - width) / 2
                anchors.verticalCenter: parent.verticalCenter
                width: 18
                height: 18
                radius: 4
                color: changeBox.checked ? Theme.fixed.gold : Theme.fixed.pageBg
                border.width: 1
                border.color: changeBox.checked ? Theme.fixed.gold : Theme.fixed.textMuted
                opacity: changeBox.enabled ? 1 : 0.4

                Text {
                    anchors.centerIn: parent
                    visible: changeBox.checked
                    text: Icons.done
                    font.family: Icons.family
                    font.pixelSize: 14
                    color: Theme.fixed.pageBg
                }
            }
            contentItem: Item {}
        }
    }
    Text {
        objectName: "rowNote"
        anchors.top: cells.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        visible: readingRow.note.length > 0
        textFormat: Text.PlainText
        text: readingRow.note
        color: Theme.fixed.error
        font.pixelSize: 12
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignLeft
    }
}
