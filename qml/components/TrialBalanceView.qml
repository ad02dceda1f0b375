pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Palette.js" as Palette
import "AdminPalette.js" as AdminPalette
import "Formats.js" as Formats

// The trial balance: every account with its balance on the debit or the credit side, and the two
// totals, which are equal when the books balance (a line under them says so).
//
// Properties:
//   rows (list) AccountModel::getTrialBalance(): accounts (`code`, `name_ar`, `type`, `parent_id`,
//        `debit`, `credit`), then the totals as a last row with an empty `code`
Rectangle {
    id: view

    property var rows: []

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var theme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light
    readonly property var accounts: rows.slice(0, Math.max(0, rows.length - 1))
    readonly property var totals: rows.length > 0 ? rows[rows.length - 1] : ({})
    readonly property bool balanced: Math.round(Number(totals.debit || 0) * 100) === Math.round(Number(totals.credit || 0) * 100)

    function amount(value) {
        return Number(value) > 0 ? Formats.money(value) : "";
    }

    radius: 14
    color: theme.bgSecondary
    border.width: 1
    border.color: theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 6

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 15
            Layout.rightMargin: 15
            layoutDirection: Qt.RightToLeft
            spacing: 12

            Repeater {
                model: [
                    {
                        "text": "الرمز",
                        "width": 70
                    },
                    {
                        "text": "الحساب",
                        "width": -1
                    },
                    {
                        "text": "مدين",
                        "width": 150
                    },
                    {
                        "text": "دائن",
                        "width": 150
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
                    horizontalAlignment: modelData.width === 150 ? Text.AlignLeft : Text.AlignRight
                }
            }
        }

        ListView {
            objectName: "trialBalanceList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            model: view.accounts
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: accountRow
                required property var modelData
                required property int index
                // Group accounts (no parent) stand out; the posting accounts are indented under them.
                readonly property bool isGroup: modelData.parent_id === null || modelData.parent_id === undefined || modelData.parent_id === ""

                objectName: "trial_" + modelData.code
                width: ListView.view.width
                height: 36
                radius: 6
                color: index % 2 === 1 ? AdminPalette.stripe(view.theme) : "transparent"

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 15
                    anchors.rightMargin: 15
                    layoutDirection: Qt.RightToLeft
                    spacing: 12

                    Text {
                        Layout.preferredWidth: 70
                        textFormat: Text.PlainText
                        text: accountRow.modelData.code
                        color: view.theme.accentGold
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignRight
                    }
                    Text {
                        Layout.fillWidth: true
                        Layout.rightMargin: accountRow.isGroup ? 0 : 18
                        textFormat: Text.PlainText
                        text: accountRow.modelData.name_ar
                        color: view.theme.textPrimary
                        font.pixelSize: 13
                        font.bold: accountRow.isGroup
                        horizontalAlignment: Text.AlignRight
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "trialDebit"
                        Layout.preferredWidth: 150
                        textFormat: Text.PlainText
                        text: view.amount(accountRow.modelData.debit)
                        color: view.theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        objectName: "trialCredit"
                        Layout.preferredWidth: 150
                        textFormat: Text.PlainText
                        text: view.amount(accountRow.modelData.credit)
                        color: view.theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 44
            radius: 8
            color: view.theme.bgElevated
            border.width: 1
            border.color: view.balanced ? view.theme.borderStrong : AdminPalette.negative

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 15
                anchors.rightMargin: 15
                layoutDirection: Qt.RightToLeft
                spacing: 12

                Text {
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: view.balanced ? "الإجمالي - الميزان متوازن" : "الإجمالي - الميزان غير متوازن"
                    color: view.balanced ? AdminPalette.positive : AdminPalette.negative
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
                }
                Text {
                    objectName: "totalDebit"
                    Layout.preferredWidth: 150
                    textFormat: Text.PlainText
                    text: Formats.money(view.totals.debit || 0)
                    color: view.theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    objectName: "totalCredit"
                    Layout.preferredWidth: 150
                    textFormat: Text.PlainText
                    text: Formats.money(view.totals.credit || 0)
                    color: view.theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }
    }
}
