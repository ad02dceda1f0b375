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

    function centreKind(type) {
        return type === "project" ? "المشروع" : type === "floor" ? "الطابق" : "الوحدة";
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
            Rectangle {
                radius: 14
                color: Theme.bgSecondary
                border.width: 1
                border.color: Theme.borderColor

                ColumnLayout {
                    anchors.fill: parent
                    anchors.margins: 15
                    spacing: 10

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 12

                        Text {
                            Layout.fillWidth: true
                            text: "تتبع المقاولين والموردين حسب بنود العمل"
                            color: Theme.accentGold
                            font.pixelSize: 15
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        MButton {
                            objectName: "addContractorButton"
                            Layout.preferredHeight: 32
                            implicitHeight: 32
                            text: "إضافة مورد"
                            iconSymbol: Icons.add
                            onClicked: contractorDialog.open()
                        }
                    }

                    RowLayout {
                        Layout.fillWidth: true
                        Layout.leftMargin: 15
                        Layout.rightMargin: 15
                        spacing: 12

                        Repeater {
                            model: [
                                {
                                    "text": "الاسم",
                                    "width": 160
                                },
                                {
                                    "text": "التخصص",
                                    "width": 100
                                },
                                {
                                    "text": "الهاتف",
                                    "width": -1
                                },
                                {
                                    "text": "الرصيد المستحق",
                                    "width": 120
                                }
                            ]

                            Text {
                                required property var modelData
                                Layout.preferredWidth: modelData.width > 0 ? modelData.width : -1
                                Layout.fillWidth: modelData.width < 0
                                textFormat: Text.PlainText
                                text: modelData.text
                                color: Theme.fixed.textMuted
                                font.pixelSize: 11
                                font.bold: true
                                horizontalAlignment: modelData.width === 120 ? Text.AlignRight : Text.AlignLeft
                            }
                        }
                    }

                    ListView {
                        objectName: "contractorList"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        clip: true
                        reuseItems: true
                        boundsBehavior: Flickable.StopAtBounds
                        model: page.contractors
                        ScrollBar.vertical: ScrollBar {}

                        Text {
                            anchors.centerIn: parent
                            visible: page.contractors.length === 0
                            text: "لا يوجد مقاولون أو موردون بعد"
                            color: Theme.textMuted
                            font.pixelSize: 14
                        }

                        delegate: Rectangle {
                            id: contractorRow
                            required property var modelData
                            required property int index
                            readonly property real balance: Number(modelData.balance) || 0

                            objectName: "contractor_" + modelData.id
                            width: ListView.view.width
                            height: 48
                            radius: 8
                            color: index % 2 === 1 ? Theme.stripe : "transparent"

                            RowLayout {
                                anchors.fill: parent
                                anchors.rightMargin: 15
                                anchors.leftMargin: 15
                                spacing: 12

                                Text {
                                    objectName: "contractorNameText"
                                    Layout.preferredWidth: 160
                                    textFormat: Text.PlainText
                                    text: contractorRow.modelData.name || ""
                                    color: Theme.textPrimary
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideRight
                                }
                                Text {
                                    Layout.preferredWidth: 100
                                    textFormat: Text.PlainText
                                    text: contractorRow.modelData.trade || ""
                                    color: Theme.accentGold
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideRight
                                }
                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: contractorRow.modelData.phone || ""
                                    color: Theme.textSecondary
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideRight
                                }
                                Text {
                                    objectName: "contractorBalance"
                                    Layout.preferredWidth: 120
                                    textFormat: Text.PlainText
                                    text: Format.amount(contractorRow.balance)
                                    color: contractorRow.balance > 0 ? Theme.fixed.error : Theme.fixed.success
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignRight
                                }
                            }
                        }
                    }
                }
            }

            // Cost centres, one card per project; only the cards in view fetch their figures.
            ListView {
                id: projectList
                objectName: "costCentreList"
                clip: true
                spacing: 14
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: tabs.currentIndex === 3 ? page.projects : []
                ScrollBar.vertical: ScrollBar {}

                Text {
                    anchors.centerIn: parent
                    visible: page.projects.length === 0
                    text: "لا توجد مشاريع بعد"
                    color: Theme.textMuted
                    font.pixelSize: 14
                }

                delegate: Rectangle {
                    id: projectCard
                    required property var modelData
                    readonly property var centres: page.revision >= 0 ? Backend.reportCtrl.getProjectCostCenters(modelData.id) : []

                    objectName: "project_" + modelData.id
                    width: ListView.view.width
                    height: cardColumn.implicitHeight + 28
                    radius: 12
                    color: Theme.bgCard
                    border.width: 1
                    border.color: Theme.borderColor

                    ColumnLayout {
                        id: cardColumn
                        anchors.right: parent.right
                        anchors.left: parent.left
                        anchors.top: parent.top
                        anchors.margins: 14
                        spacing: 8

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: "مركز تكلفة المشروع: " + projectCard.modelData.name
                            color: Theme.textPrimary
                            font.pixelSize: 15
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }

                        Repeater {
                            model: projectCard.centres

                            Rectangle {
                                id: centreRow
                                required property var modelData
                                readonly property bool isProject: modelData.type === "project"

                                objectName: "centre_" + modelData.id
                                Layout.fillWidth: true
                                Layout.preferredHeight: 44
                                radius: 10
                                color: isProject ? Theme.bgElevated : "transparent"
                                border.width: 1
                                border.color: isProject ? Theme.borderStrong : Theme.borderColor

                                RowLayout {
                                    anchors.fill: parent
                                    anchors.rightMargin: 14
                                    anchors.leftMargin: 14
                                    spacing: 16

                                    Text {
                                        Layout.fillWidth: true
                                        textFormat: Text.PlainText
                                        text: page.centreKind(centreRow.modelData.type) + " - " + (centreRow.modelData.name || "")
                                        color: Theme.textPrimary
                                        font.pixelSize: 12
                                        font.bold: centreRow.modelData.type === "project" || centreRow.modelData.type === "floor"
                                        horizontalAlignment: Text.AlignLeft
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        textFormat: Text.PlainText
                                        text: "الإيراد " + Format.amount(centreRow.modelData.revenue)
                                        color: Theme.successColor
                                        font.pixelSize: 12
                                    }
                                    Text {
                                        textFormat: Text.PlainText
                                        text: "التكلفة " + Format.amount(centreRow.modelData.expenses)
                                        color: Theme.dangerColor
                                        font.pixelSize: 12
                                    }
                                    Text {
                                        textFormat: Text.PlainText
                                        text: "الربح " + Format.amount(centreRow.modelData.profit)
                                        color: Theme.accentGold
                                        font.pixelSize: 12
                                        font.bold: true
                                    }
                                }
                            }
                        }
                    }
                }
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
