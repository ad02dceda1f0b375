pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The trial balance: every account with its balance on the debit or the credit side, and the two
// totals, which are equal when the books balance (the line under them says so).
//
// Properties:
//   rows (list) AccountModel::getTrialBalance(): accounts (`code`, `name_ar`, `type`, `parent_id`,
//        `debit`, `credit`), then the totals as a last row with an empty `code`
Rectangle {
    id: view

    property var rows: []

    readonly property var accounts: rows.slice(0, Math.max(0, rows.length - 1))
    readonly property var totals: rows.length > 0 ? rows[rows.length - 1] : ({})
    readonly property bool balanced: Math.round(Number(totals.debit || 0) * 100) === Math.round(Number(totals.credit || 0) * 100)

    function amount(value) {
        return Number(value) > 0 ? Format.money(value) : "";
    }

    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 6

        LedgerColumns {
            Layout.fillWidth: true
            Layout.leftMargin: 15
            Layout.rightMargin: 15
            columns: [["الرمز", 70, false], ["الحساب", -1, false], ["مدين", 150, true], ["دائن", 150, true]]
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
                readonly property bool isGroup: !modelData.parent_id

                objectName: "trial_" + modelData.code
                width: ListView.view.width
                height: 36
                radius: 6
                color: index % 2 === 1 ? Theme.stripe : "transparent"

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 15
                    anchors.leftMargin: 15
                    spacing: 12

                    Text {
                        Layout.preferredWidth: 70
                        textFormat: Text.PlainText
                        text: accountRow.modelData.code
                        color: Theme.accentGold
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        Layout.fillWidth: true
                        Layout.leftMargin: accountRow.isGroup ? 0 : 18
                        textFormat: Text.PlainText
                        text: accountRow.modelData.name_ar
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        font.bold: accountRow.isGroup
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "trialDebit"
                        Layout.preferredWidth: 150
                        textFormat: Text.PlainText
                        text: view.amount(accountRow.modelData.debit)
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignRight
                    }
                    Text {
                        objectName: "trialCredit"
                        Layout.preferredWidth: 150
                        textFormat: Text.PlainText
                        text: view.amount(accountRow.modelData.credit)
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignRight
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 44
            radius: 8
            color: Theme.bgElevated
            border.width: 1
            border.color: view.balanced ? Theme.borderStrong : Theme.fixed.error

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15
                spacing: 12

                Text {
                    objectName: "trialBalanceVerdict"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: view.balanced ? "الإجمالي - الميزان متوازن" : "الإجمالي - الميزان غير متوازن"
                    color: view.balanced ? Theme.fixed.success : Theme.fixed.error
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    objectName: "totalDebit"
                    Layout.preferredWidth: 150
                    textFormat: Text.PlainText
                    text: Format.money(view.totals.debit || 0)
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
                }
                Text {
                    objectName: "totalCredit"
                    Layout.preferredWidth: 150
                    textFormat: Text.PlainText
                    text: Format.money(view.totals.credit || 0)
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignRight
                }
            }
        }
    }
}
