pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "AdminPalette.js" as AdminPalette
import "Bidi.js" as Bidi
import "Formats.js" as Formats

// One journal entry opened from the journal: what it was posted for (the invoice, payment, sale...
// with its main figures), the amount in the operation's own currency and the rate it was converted
// at, and its lines, debit and credit per account. "فتح الصفحة" goes to the page of that operation.
//
// Properties:
//   entry (map) AccountModel::getEntry(): the entry's columns, `lines`, `origin_kind`, `origin`
//         (label and value pairs) and `origin_page`
// Signals: openPage(string pageName)
MDialog {
    id: dialog

    property var entry: ({})
    readonly property var origin: AdminPalette.entryOrigins[entry.reference_type] || AdminPalette.entryOrigins.manual
    readonly property bool foreign: !!entry.currency_code && Number(entry.exchange_rate) !== 1

    signal openPage(string pageName)

    function show(record) {
        entry = record || {};
        open();
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
            layoutDirection: Qt.RightToLeft
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
                    color: dialog.theme.accentGold
                    font.pixelSize: 12
                    font.bold: true
                }
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: Bidi.numbersInOrder(dialog.entry.description || "")
                color: dialog.theme.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignRight
                elide: Text.ElideRight
            }
            Text {
                textFormat: Text.PlainText
                text: dialog.entry.entry_date || ""
                color: dialog.theme.textSecondary
                font.pixelSize: 12
            }
        }

        Text {
            objectName: "originalAmount"
            Layout.fillWidth: true
            visible: dialog.foreign
            textFormat: Text.PlainText
            text: "المبلغ الأصلي " + "\u202A" + Formats.money(dialog.entry.original_amount) + " " + (dialog.entry.currency_code || "") + "\u202C" + " بسعر صرف " + "\u202A" + Number(dialog.entry.exchange_rate || 0).toFixed(4) + "\u202C"
            color: dialog.theme.textSecondary
            font.pixelSize: 12
            horizontalAlignment: Text.AlignRight
        }

        // The operation behind the entry, as its own page shows it.
        Flow {
            objectName: "originFields"
            Layout.fillWidth: true
            layoutDirection: Qt.RightToLeft
            spacing: 8

            Repeater {
                model: dialog.entry.origin || []

                Rectangle {
                    id: field
                    required property var modelData
                    width: fieldText.implicitWidth + 18
                    height: 28
                    radius: 6
                    color: dialog.theme.bgCard
                    border.width: 1
                    border.color: dialog.theme.borderColor

                    Text {
                        id: fieldText
                        anchors.centerIn: parent
                        textFormat: Text.PlainText
                        text: field.modelData.label + ": " + Bidi.numbersInOrder(typeof field.modelData.value === "number" ? Formats.money(field.modelData.value) : field.modelData.value)
                        color: dialog.theme.textPrimary
                        font.pixelSize: 12
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 10
            color: dialog.theme.bgCard
            border.width: 1
            border.color: dialog.theme.borderColor

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 10
                spacing: 4

                RowLayout {
                    Layout.fillWidth: true
                    layoutDirection: Qt.RightToLeft
                    spacing: 10

                    Repeater {
                        model: [
                            {
                                "text": "الحساب",
                                "width": -1
                            },
                            {
                                "text": "مدين",
                                "width": 110
                            },
                            {
                                "text": "دائن",
                                "width": 110
                            }
                        ]

                        Text {
                            required property var modelData
                            Layout.preferredWidth: modelData.width > 0 ? modelData.width : -1
                            Layout.fillWidth: modelData.width < 0
                            textFormat: Text.PlainText
                            text: modelData.text
                            color: AdminPalette.columnHeader
                            font.pixelSize: 11
                            font.bold: true
                            horizontalAlignment: modelData.width < 0 ? Text.AlignRight : Text.AlignLeft
                        }
                    }
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
                        layoutDirection: Qt.RightToLeft
                        spacing: 10

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: line.modelData.code + " - " + line.modelData.name_ar
                            color: dialog.theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignRight
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.preferredWidth: 110
                            textFormat: Text.PlainText
                            text: Number(line.modelData.debit) > 0 ? Formats.money(line.modelData.debit) : ""
                            color: dialog.theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            Layout.preferredWidth: 110
                            textFormat: Text.PlainText
                            text: Number(line.modelData.credit) > 0 ? Formats.money(line.modelData.credit) : ""
                            color: dialog.theme.textPrimary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                }
            }
        }

        MButton {
            objectName: "openOriginButton"
            Layout.alignment: Qt.AlignLeft
            visible: !!dialog.entry.origin_page
            text: "فتح صفحة " + (dialog.entry.origin_kind || "العملية")
            onClicked: {
                dialog.close();
                dialog.openPage(dialog.entry.origin_page);
            }
        }
    }
}
