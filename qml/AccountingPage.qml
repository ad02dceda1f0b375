pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The ledger and its two registers: the chart of accounts with balances, the journal (long, so
// paged), contractors and suppliers with what the office owes them, and the cost centres of every
// project. Manual journal entries are posted here, and contractors added.
Rectangle {
    id: page


    property var accounts: []
    property var contractors: []
    property var projects: []
    // Raised on every reload, so the project cards fetch their cost centres again.
    property int revision: 0

    readonly property var referenceTypes: ({
            "manual": "يدوي"
        })

    function refresh() {
        accounts = Backend.accountModel.getAll();
        contractors = Backend.expenseModel.getContractors();
        loadProjects();
        ++revision;
        journalList.reload();
    }

    // The cost centres are on their own tab; their projects are read when it is the one shown.
    function loadProjects() {
        if (tabs.currentIndex === 3)
            projects = Backend.propertyModel.getAll();
    }

    // Amounts in the locale's number format, decimals only where there are some. A negative
    // amount starts with a left-to-right mark: in a right-to-left line its minus sign would
    // otherwise be drawn after the digits.


    objectName: "accountingPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المحاسبة"
            subtitle: "نظام القيد المزدوج - دليل الحسابات وقيود اليومية"

            MButton {
                objectName: "newEntryButton"
                text: "تسجيل قيد يدوي"
                iconSymbol: Icons.add
                onClicked: entryDialog.open()
            }
        }

        SectionTabs {
            id: tabs
            objectName: "accountingTabs"
            Layout.fillWidth: true
            tabPrefix: "accountingTab"
            labels: ["دليل الحسابات", "قيود اليومية", "المقاولون والموردون", "مراكز التكلفة"]
            onCurrentIndexChanged: page.loadProjects()
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabs.currentIndex

            // Chart of accounts
            Rectangle {
                radius: 14
                color: Theme.bgSecondary
                border.width: 1
                border.color: Theme.borderColor

                ListView {
                    id: accountList
                    objectName: "accountList"
                    anchors.fill: parent
                    anchors.margins: 10
                    clip: true
                    spacing: 4
                    reuseItems: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: page.accounts
                    ScrollBar.vertical: ScrollBar {}

                    delegate: Rectangle {
                        id: accountRow
                        required property var modelData
                        readonly property real balance: Number(modelData.balance) || 0
                        readonly property var badge: Theme.accountTypes[modelData.type] || Theme.accountTypes.expense

                        objectName: "account_" + modelData.code
                        width: ListView.view.width
                        height: 44
                        radius: 8
                        color: rowHover.hovered ? Theme.bgElevated : "transparent"

                        HoverHandler {
                            id: rowHover
                        }

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15
                            spacing: 12

                            Text {
                                Layout.preferredWidth: 80
                                textFormat: Text.PlainText
                                text: accountRow.modelData.code
                                color: Theme.accentGold
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: accountRow.modelData.name_ar
                                color: Theme.textPrimary
                                font.pixelSize: 13
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Rectangle {
                                objectName: "typeBadge"
                                Layout.preferredWidth: Math.max(60, badgeLabel.implicitWidth + 14)
                                Layout.preferredHeight: 24
                                radius: 6
                                color: accountRow.badge.color

                                Text {
                                    id: badgeLabel
                                    objectName: "typeLabel"
                                    anchors.centerIn: parent
                                    textFormat: Text.PlainText
                                    text: accountRow.badge.label
                                    color: Theme.accentGold
                                    font.pixelSize: 10
                                    font.bold: true
                                }
                            }
                            Text {
                                objectName: "balance"
                                Layout.preferredWidth: 100
                                textFormat: Text.PlainText
                                text: Format.amount(accountRow.balance)
                                color: accountRow.balance >= 0 ? Theme.fixed.success : Theme.fixed.error
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignRight
                            }
                        }
                    }
                }
            }

            // Journal
            PagedList {
                id: journalList
                objectName: "journalList"
                panelColor: Theme.bgSecondary
                searchPlaceholder: "بحث في القيود بالوصف أو المرجع أو التاريخ أو الرقم..."
                emptyText: "لا توجد قيود بعد"
                fetch: (offset, limit, search) => Backend.accountModel.getJournalPage(offset, limit, search)

                delegate: Rectangle {
                    id: entryRow
                    required property var record
                    required property int index

                    objectName: "entry_" + record.id
                    width: ListView.view.width
                    height: 50
                    radius: 8
                    color: index % 2 === 1 ? Theme.stripe : "transparent"

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 15
                        anchors.leftMargin: 15
                        spacing: 12

                        Text {
                            Layout.preferredWidth: 100
                            textFormat: Text.PlainText
                            text: entryRow.record.entry_date || ""
                            color: Theme.textSecondary
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            objectName: "journalDescription"
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: Format.inOrder(entryRow.record.description)
                            color: Theme.textPrimary
                            font.pixelSize: 13
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.preferredWidth: 80
                            textFormat: Text.PlainText
                            text: page.referenceTypes[entryRow.record.reference_type] || entryRow.record.reference_type || ""
                            color: Theme.accentGold
                            font.pixelSize: 12
                            horizontalAlignment: Text.AlignRight
                            elide: Text.ElideRight
                        }
                    }
                }
            }

            // Contractors and suppliers
            ContractorsTab {
                contractors: page.contractors
                onAddRequested: contractorDialog.open()
            }

            // Cost centres, one card per project; only the cards in view fetch their figures.
            CostCentresTab {
                projects: page.projects
                revision: page.revision
                shown: tabs.currentIndex === 3
            }
        }
    }

    JournalEntryDialog {
        id: entryDialog
        accounts: page.accounts
        onPosted: page.refresh()
    }

    ContractorDialog {
        id: contractorDialog
        onAdded: {
            page.contractors = Backend.expenseModel.getContractors();
        }
    }
}
