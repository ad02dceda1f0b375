pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "components/Pages.js" as Pages

// The ledger and its two registers: the chart of accounts with balances, the journal (long, so
// paged; each entry names and opens the operation it was posted for), contractors and suppliers
// with what the office owes them, the cost centres of every project, the trial balance and the
// balance sheet with the profit and loss. Manual journal entries are posted here, and contractors
// added.
Rectangle {
    id: page

    property var accounts: []
    property var contractors: []
    property var projects: []
    // Raised on every reload, so the project cards fetch their cost centres again.
    property int revision: 0
    property var trialBalance: []
    property var balanceSheet: ({})
    property var profitLoss: ({})
    // The profit and loss covers this year so far unless another period is asked for.
    property string statementFrom: Format.today().substring(0, 4) + "-01-01"
    property string statementTo: Format.today()

    // Asks the main frame to show another page (page index, see components/Pages.js).
    signal pageRequested(int index)

    function refresh() {
        accounts = Backend.accountModel.getAll();
        contractors = Backend.expenseModel.getContractors();
        loadProjects();
        ++revision;
        journalList.reload();
    }

    // The cost centres, the trial balance and the statements are on their own tabs; they are read
    // when their tab is the one shown.
    function loadProjects() {
        if (tabs.currentIndex === 3)
            projects = Backend.propertyModel.getAll();
        else if (tabs.currentIndex === 4)
            trialBalance = Backend.accountModel.getTrialBalance();
        else if (tabs.currentIndex === 5)
            loadStatements();
    }

    function loadStatements() {
        balanceSheet = Backend.accountModel.getBalanceSheet();
        profitLoss = Backend.accountModel.getProfitLoss(statementFrom, statementTo);
    }

    function showStatementsFor(from, to) {
        if (!Format.isDate(from) || !Format.isDate(to) || from > to) {
            Notifier.show("خطأ", "اكتب الفترة بتاريخين بالصيغة yyyy-MM-dd، الأول قبل الثاني", "error");
            return;
        }
        statementFrom = from;
        statementTo = to;
        loadStatements();
    }

    function openEntry(entryId) {
        originDialog.show(Backend.accountModel.getEntry(entryId));
    }

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
            labels: ["دليل الحسابات", "قيود اليومية", "المقاولون والموردون", "مراكز التكلفة", "ميزان المراجعة", "القوائم المالية"]
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

                delegate: JournalEntryRow {
                    onOpened: entryId => page.openEntry(entryId)
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

            TrialBalanceView {
                objectName: "trialBalanceView"
                rows: page.trialBalance
            }

            FinancialStatementsView {
                objectName: "statementsView"
                sheet: page.balanceSheet
                income: page.profitLoss
                from: page.statementFrom
                to: page.statementTo
                onRangeRequested: (from, to) => page.showStatementsFor(from, to)
            }
        }
    }

    EntryOriginDialog {
        id: originDialog
        onOpenPage: pageName => page.pageRequested(Pages.list.findIndex(entry => entry.name === pageName))
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
