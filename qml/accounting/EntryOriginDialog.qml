pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// One journal entry opened from the journal: what it was posted for (the invoice, payment, sale...
// with its main figures), the amount in the operation's own currency and the rate it was converted
// at, and its lines, debit and credit per account. The button under them goes to the page of that
// operation.
//
// Properties:
//   entry (map) AccountModel::getEntry(): the entry's columns, `lines`, `origin_kind`, `origin`
//         (label and value pairs) and `origin_page`
// Signals: openPage(string pageName)
MDialog {
    id: dialog

    property var entry: ({})
    readonly property var origin: Theme.entryOrigin(entry.reference_type)
    readonly property bool foreign: !!entry.currency_code && Number(entry.exchange_rate) !== 1

    signal openPage(string pageName)

    function show(record) {
        entry = record || {};
        open();
    }

    // A field of the operation: amounts come as numbers, everything else as text.
    function fieldText(value) {
        return typeof value === "number" ? Format.money(value) : Format.inOrder(value);
    }

    objectName: "entryOriginDialog"
    title: "القيد رقم " + (entry.id || "")
    width: 640
    height: 560

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            Rectangle {
                Layout.preferredWidth: kindLabel.implicitWidth + 16
                Layout.preferredHeight: 26
                radius: 6
                color: dialog.origin.color

                Text {
                    id: kindLabel
                    objectName: "originKind"
                    anchors.centerIn: parent
                    textFormat: Text.PlainText
                    text: dialog.entry.origin_kind || dialog.origin.label
                    color: Theme.accentGold
                    font.pixelSize: 12
                    font.bold: true
                }
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: Format.inOrder(dialog.entry.description || "")
                color: Theme.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                textFormat: Text.PlainText
                text: Format.date(dialog.entry.entry_date || "")
                color: Theme.textSecondary
                font.pixelSize: 12
            }
        }

        Text {
            objectName: "originalAmount"
            Layout.fillWidth: true
            visible: dialog.foreign
            textFormat: Text.PlainText
            text: "المبلغ الأصلي " + Format.amount(dialog.entry.original_amount, dialog.entry.currency_code) + " بسعر صرف " + Format.ltr(Number(dialog.entry.exchange_rate || 0).toFixed(4))
            color: Theme.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
        }

        // The operation behind the entry, as its own page shows it.
        Flow {
            objectName: "originFields"
            Layout.fillWidth: true
            spacing: 8

            Repeater {
                model: dialog.entry.origin || []

                Rectangle {
                    id: field
                    required property var modelData
                    width: fieldText.implicitWidth + 18
                    height: 28
                    radius: 6
                    color: Theme.bgCard
                    border.width: 1
                    border.color: Theme.borderColor

                    Text {
                        id: fieldText
                        anchors.centerIn: parent
                        textFormat: Text.PlainText
                        text: field.modelData.label + ": " + dialog.fieldText(field.modelData.value)
                        color: Theme.textPrimary
                        font.pixelSize: 12
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 10
            color: Theme.bgCard
            border.width: 1
            border.color: Theme.borderColor

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 10
                spacing: 4

                LedgerColumns {
                    Layout.fillWidth: true
                    columns: [["الحساب", -1, false], ["مدين", 110, true], ["دائن", 110, true]]
                }

                ListView {
                    objectName: "entryLines"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    clip: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: dialog.entry.lines || []
                    ScrollBar.vertical: ScrollBar {}

                    delegate: RowLayout {
                        id: line
                        required property var modelData
                        width: ListView.view.width
                        height: 32
                        spacing: 10

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: line.modelData.code + " - " + line.modelData.name_ar
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.preferredWidth: 110
                            textFormat: Text.PlainText
                            text: Number(line.modelData.debit) > 0 ? Format.money(line.modelData.debit) : ""
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignRight
                        }
                        Text {
                            Layout.preferredWidth: 110
                            textFormat: Text.PlainText
                            text: Number(line.modelData.credit) > 0 ? Format.money(line.modelData.credit) : ""
                            color: Theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignRight
                        }
                    }
                }
            }
        }

        MButton {
            objectName: "openOriginButton"
            Layout.alignment: Qt.AlignRight
            visible: !!dialog.entry.origin_page
            text: "فتح صفحة " + (dialog.entry.origin_kind || "العملية")
            iconSymbol: Icons.openOrigin
            onClicked: {
                dialog.close();
                dialog.openPage(dialog.entry.origin_page);
            }
        }
    }
}
