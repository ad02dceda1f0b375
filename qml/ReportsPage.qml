pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Reports and the written analysis in six tabs. The date range in the header drives the
// financial summary, the project cards and the cheque report; the balance figures, the unit list
// and the overdue installments do not depend on it. "طباعة" writes the current tab to a PDF.
Rectangle {
    id: reportsRoot


    readonly property var tabLabels: ["الذكاء الاصطناعي", "الملخص المالي", "أداء المشاريع", "حالة الوحدات", "الأقساط المتأخرة", "تقرير الشيكات"]

    property string fromDate: Format.today().substring(0, 4) + "-01-01"
    // Today in the office's own calendar (local time).
    property string toDate: Format.today()

    property var comparison: []
    // The comparison walks every payment ever received, so it is worked out beside the interface:
    // the page shows at once and the chart fills in when the answer to the latest request comes.
    property int comparisonRequest: 0
    property var smartAnalysis: ({})
    property var summary: ({})
    property var balance: ({})
    property var properties: []
    // Raised on every reload, so the project cards fetch their figures again.
    property int revision: 0

    // The five largest incomes fit the chart's width with their labels (the comparison comes
    // ordered by income, largest first); the tallest bar fills the chart, whatever the amounts.
    readonly property var chartBars: comparison.slice(0, 5).map(row => ({
                "label": chartLabel(row.name),
                "value": Number(row.income) || 0,
                "color": Theme.accentGold
            }))
    readonly property real chartMax: Math.max(1, ...chartBars.map(bar => bar.value))

    // A short bar label that tells the properties apart: names are mostly a kind and a name
    // ("عمارة الأمل", "برج الياسمين"), whose first characters would be the same for every bar, so
    // the second word is taken when there is one.
    function chartLabel(name) {
        const words = String(name || "").trim().split(/\s+/);
        const word = words.length > 1 ? words[1] : words[0];
        return word.length > 9 ? word.substring(0, 8) + "…" : word;
    }

    // The analysis as shown: its emoji set in the colour emoji font, which a Markdown text cannot
    // choose per character otherwise (a text font would draw some of them in black and white).
    function withColourEmoji(markdown) {
        return String(markdown).replace(/([\u2600-\u27BF]\uFE0F?|[\uD83C-\uD83E][\uDC00-\uDFFF]\uFE0F?)/g, "<span style=\"font-family:'" + Theme.emojiFont + "'\">$1</span>");
    }


    // Everything, each time the page is shown.
    function refresh() {
        comparisonRequest = Backend.reportCtrl.requestPropertyComparison();
        smartAnalysis = Backend.reportCtrl.getSmartAIAnalysis();
        balance = Backend.reportCtrl.getBalanceSheet();
        loadProjects();
        unitList.reload();
        overdueList.reload();
        reloadRange();
    }

    // The project cards are on their own tab; their properties are read when it is the one shown.
    function loadProjects() {
        if (tabs.currentIndex === 2)
            properties = Backend.propertyModel.getAll();
    }

    // Only what the date range drives: a new range leaves the whole-history figures as they are
    // (the property comparison alone walks every payment ever received).
    function reloadRange() {
        summary = Backend.reportCtrl.getProfitLoss(fromDate, toDate);
        ++revision;
        chequeList.reload();
    }

    // Amounts in the locale's number format, decimals only where there are some. A negative
    // amount starts with a left-to-right mark: in a right-to-left line its minus sign would
    // otherwise be drawn after the digits.

    // Empty, or a real calendar day written "yyyy-MM-dd".
    function isDateOrEmpty(text) {
        return text.length === 0 || Format.isDate(text);
    }

    function applyDates() {
        const from = fromField.text.trim();
        const to = toField.text.trim();
        if (!isDateOrEmpty(from) || !isDateOrEmpty(to)) {
            Notifier.show("خطأ", "اكتب التاريخ بالصيغة yyyy-MM-dd (مثال: 2024-01-31) أو اتركه فارغاً", "error");
            return;
        }
        if (from.length > 0 && to.length > 0 && from > to) {
            Notifier.show("خطأ", "تاريخ البداية بعد تاريخ النهاية", "error");
            return;
        }
        fromDate = from;
        toDate = to;
        reloadRange();
    }

    function periodText() {
        return fromDate.length > 0 && toDate.length > 0 ? Format.inOrder("من " + fromDate + " إلى " + toDate) : "كل الفترات";
    }

    function reported(path) {
        if (path.length > 0)
            Notifier.show("نجاح", "تم حفظ التقرير: " + path, "success");
        else
            Notifier.show("خطأ", "تعذر إنشاء ملف PDF للتقرير", "error");
    }

    function printCurrentTab() {
        const index = tabs.currentIndex;
        const title = tabLabels[index];
        switch (index) {
        case 0:
            reported(Backend.printCtrl.printText(title, smartAnalysis.text || ""));
            break;
        case 1:
            reported(Backend.printCtrl.printTable(title, ["البند", "المبلغ"], [["إجمالي الإيرادات", Format.amount(summary.revenue)], ["إجمالي المصروفات", Format.amount(summary.expenses)], ["صافي الربح", Format.amount(summary.net_profit)], ["مستحقات الإيجار", Format.amount(balance.receivables)], ["مستحقات الأقساط", Format.amount(balance.installment_receivables)], ["إجمالي الأصول", Format.amount(balance.total_assets)], ["النقد المتوفر", Format.amount(balance.cash)]], [["الفترة", periodText()]]));
            break;
        case 2:
            reported(Backend.printCtrl.printTable(title, ["المشروع", "الوحدات المباعة", "قيمة المبيعات", "المصروفات", "الربح المتوقع"], properties.map(property => {
                const figures = Backend.reportCtrl.getProjectDetailedFinancials(property.id, fromDate, toDate);
                return [property.name, (figures.sold_units || 0) + " / " + (figures.total_units || 0), Format.amount(figures.total_revenue), Format.amount(figures.total_expenses), Format.amount(figures.expected_profit)];
            })));
            break;
        case 3:
            reported(Backend.printCtrl.printTable(title, ["العقار", "الوحدة", "المساحة", "السعر", "الحالة"], Backend.unitModel.getAll().map(unit => [unit.property_name, unit.unit_number, unit.area ? unit.area + " م²" : "", Format.amount(unitPrice(unit)), unitStatus(unit.status).label])));
            break;
        case 4:
            reported(Backend.printCtrl.printTable(title, ["المشتري", "العقار", "الوحدة", "تاريخ الاستحقاق", "المبلغ المتبقي"], Backend.reportCtrl.getOverdueInstallments().map(row => [row.buyer_name, row.property_name, row.unit_number, row.due_date, Format.amount(openAmount(row))])));
            break;
        default:
            reported(Backend.printCtrl.printTable(title, ["رقم الشيك", "المبلغ", "تاريخ الاستحقاق", "البنك", "الحالة"], Backend.reportCtrl.getChequeReport("", fromDate, toDate).map(row => [row.cheque_number, Format.amount(row.amount, row.currency_symbol), row.due_date, row.bank_name || "", chequeStatus(row.status).label]), [["الفترة", periodText()]]));
        }
    }

    function copyAnalysis() {
        if (Backend.printCtrl.copyToClipboard(smartAnalysis.text || ""))
            Notifier.show("نجاح", "تم نسخ التحليل", "success");
        else
            Notifier.show("خطأ", "تعذر نسخ التحليل", "error");
    }

    function shareAnalysis() {
        reported(Backend.printCtrl.printText("تقرير الذكاء الاصطناعي", smartAnalysis.text || ""));
    }

    function unitPrice(unit) {
        const sale = Number(unit.sale_price) || 0;
        return sale !== 0 ? sale : Number(unit.rent_monthly) || 0;
    }

    function unitStatus(status) {
        return Theme.unitStatuses[status] || Theme.unitStatuses.sold;
    }

    function chequeStatus(status) {
        return Theme.chequeStatuses[status] || Theme.chequeStatuses.bounced;
    }

    function openAmount(row) {
        return (Number(row.installment_amount) || 0) - (Number(row.paid_amount) || 0);
    }

    objectName: "reportsPage"
    color: Theme.bgPrimary

    Connections {
        target: Backend.reportCtrl

        function onPropertyComparisonReady(request, rows) {
            if (request === reportsRoot.comparisonRequest)
                reportsRoot.comparison = rows;
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "التقارير والتحليلات الذكية"
            subtitle: "تحليلات الأداء المالي المدعومة بالذكاء الاصطناعي"

            MTextField {
                id: fromField
                objectName: "fromField"
                width: 110
                placeholderText: "من"
                text: reportsRoot.fromDate
                onAccepted: reportsRoot.applyDates()
            }
            MTextField {
                id: toField
                objectName: "toField"
                width: 110
                placeholderText: "إلى"
                text: reportsRoot.toDate
                onAccepted: reportsRoot.applyDates()
            }
            MButton {
                objectName: "refreshButton"
                implicitHeight: 38
                text: "تحديث"
                btnColor: Theme.bgElevated
                textColor: Theme.textPrimary
                onClicked: reportsRoot.applyDates()
            }
            MButton {
                objectName: "printButton"
                implicitHeight: 38
                text: "طباعة"
                iconSymbol: Icons.print
                outline: true
                onClicked: reportsRoot.printCurrentTab()
            }
        }

        SectionTabs {
            id: tabs
            objectName: "reportTabs"
            Layout.fillWidth: true
            filled: true
            tabPrefix: "reportTab"
            labels: reportsRoot.tabLabels
            onCurrentIndexChanged: reportsRoot.loadProjects()
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabs.currentIndex

            // The written analysis, the revenue chart and the occupancy figure
            ScrollView {
                id: analysisScroller
                contentWidth: availableWidth
                clip: true

                RowLayout {
                    width: analysisScroller.availableWidth
                    spacing: 20

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.alignment: Qt.AlignTop
                        Layout.preferredHeight: analysisColumn.implicitHeight + 50
                        radius: 14
                        color: Theme.bgSecondary
                        border.width: 1
                        border.color: Theme.borderColor

                        ColumnLayout {
                            id: analysisColumn
                            anchors.right: parent.right
                            anchors.left: parent.left
                            anchors.top: parent.top
                            anchors.margins: 25
                            spacing: 15

                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 10

                                Text {
                                    text: Icons.analysis
                                    color: Theme.accentGold
                                    font.pixelSize: 24
                                    font.family: Icons.family
                                }
                                Text {
                                    Layout.fillWidth: true
                                    text: "تقرير الذكاء الاصطناعي (Darvelinto AI)"
                                    color: Theme.accentGold
                                    font.pixelSize: 18
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                }
                            }
                            Rectangle {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 1
                                color: Theme.borderColor
                            }
                            Text {
                                objectName: "analysisText"
                                Layout.fillWidth: true
                                readonly property string markdown: reportsRoot.smartAnalysis.text || ""
                                text: markdown.length > 0 ? reportsRoot.withColourEmoji(markdown) : "جاري تحليل البيانات..."
                                textFormat: Text.MarkdownText
                                color: Theme.textPrimary
                                font.pixelSize: 15
                                lineHeight: 1.6
                                wrapMode: Text.Wrap
                                horizontalAlignment: Text.AlignLeft
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 10

                                MButton {
                                    objectName: "copyAnalysisButton"
                                    implicitHeight: 32
                                    text: "نسخ التحليل"
                                    outline: true
                                    onClicked: reportsRoot.copyAnalysis()
                                }
                                MButton {
                                    objectName: "shareAnalysisButton"
                                    implicitHeight: 32
                                    text: "مشاركة التقرير"
                                    outline: true
                                    onClicked: reportsRoot.shareAnalysis()
                                }
                                Item {
                                    Layout.fillWidth: true
                                }
                            }
                        }
                    }

                    ColumnLayout {
                        Layout.preferredWidth: 350
                        Layout.maximumWidth: 350
                        Layout.alignment: Qt.AlignTop
                        spacing: 20

                        AnalyticsWidget {
                            objectName: "revenueChart"
                            title: "توزيع الإيرادات"
                            data: reportsRoot.chartBars
                            maxValue: reportsRoot.chartMax
                        }

                        Rectangle {
                            id: occupancyBox

                            readonly property real occupancy: Number(reportsRoot.smartAnalysis.occupancy) || 0

                            Layout.fillWidth: true
                            Layout.preferredHeight: 200
                            radius: 14
                            color: Theme.bgCard
                            border.width: 1
                            border.color: Theme.accentGold

                            Column {
                                anchors.centerIn: parent
                                spacing: 8

                                Text {
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: "مؤشر الإشغال"
                                    color: Theme.textSecondary
                                    font.pixelSize: 14
                                }
                                Text {
                                    objectName: "occupancyValue"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    textFormat: Text.PlainText
                                    text: occupancyBox.occupancy.toFixed(1) + "%"
                                    color: Theme.accentGold
                                    font.pixelSize: 42
                                    font.bold: true
                                }
                                Text {
                                    objectName: "occupancyVerdict"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    textFormat: Text.PlainText
                                    text: occupancyBox.occupancy > 70 ? "إشغال ممتاز" : "معدل متوسط"
                                    color: Theme.fixed.success
                                    font.pixelSize: 14
                                    font.bold: true
                                }
                            }
                        }
                    }
                }
            }

            // Financial summary
            ScrollView {
                id: financeScroller
                objectName: "finTab"
                contentWidth: availableWidth
                clip: true

                ColumnLayout {
                    width: financeScroller.availableWidth
                    spacing: 25

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 20

                        StatsCard {
                            objectName: "revenueCard"
                            title: "إجمالي الإيرادات"
                            value: Format.amount(reportsRoot.summary.revenue)
                            subtitle: reportsRoot.periodText()
                            icon: Icons.payments
                            iconColor: Theme.fixed.success
                        }
                        StatsCard {
                            objectName: "expensesCard"
                            title: "إجمالي المصروفات"
                            value: Format.amount(reportsRoot.summary.expenses)
                            subtitle: reportsRoot.periodText()
                            icon: Icons.expenses
                            iconColor: Theme.fixed.error
                        }
                        StatsCard {
                            objectName: "profitCard"
                            title: "صافي الربح"
                            value: Format.amount(reportsRoot.summary.net_profit)
                            subtitle: reportsRoot.periodText()
                            icon: Icons.profit
                            iconColor: Theme.fixed.goldText
                        }
                    }

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: balanceColumn.implicitHeight + 60
                        radius: 14
                        color: Theme.bgSecondary
                        border.width: 1
                        border.color: Theme.borderColor

                        ColumnLayout {
                            id: balanceColumn
                            anchors.right: parent.right
                            anchors.left: parent.left
                            anchors.top: parent.top
                            anchors.margins: 30
                            spacing: 20

                            Text {
                                Layout.fillWidth: true
                                text: "الميزانية العمومية والمديونيات"
                                color: Theme.accentGold
                                font.pixelSize: 18
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }

                            GridLayout {
                                Layout.alignment: Qt.AlignHCenter
                                columns: 2
                                columnSpacing: 40
                                rowSpacing: 30

                                Repeater {
                                    model: [
                                        {
                                            "name": "receivables",
                                            "label": "مستحقات الإيجار",
                                            "icon": Icons.statement,
                                            "color": Theme.fixed.warning
                                        },
                                        {
                                            "name": "installment_receivables",
                                            "label": "مستحقات الأقساط",
                                            "icon": Icons.history,
                                            "color": Theme.fixed.installments
                                        },
                                        {
                                            "name": "total_assets",
                                            "label": "إجمالي الأصول",
                                            "icon": Icons.cheques,
                                            "color": Theme.fixed.assets
                                        },
                                        {
                                            "name": "cash",
                                            "label": "النقد المتوفر",
                                            "icon": Icons.payments,
                                            "color": Theme.fixed.success
                                        }
                                    ]

                                    ColumnLayout {
                                        id: figure
                                        required property var modelData

                                        objectName: "balance_" + modelData.name
                                        Layout.minimumWidth: 220
                                        spacing: 6

                                        RowLayout {
                                            Layout.alignment: Qt.AlignHCenter
                                            spacing: 6

                                            Text {
                                                textFormat: Text.PlainText
                                                text: figure.modelData.icon
                                                color: figure.modelData.color
                                                font.pixelSize: 16
                                                font.family: Icons.family
                                            }
                                            Text {
                                                textFormat: Text.PlainText
                                                text: figure.modelData.label
                                                color: Theme.textSecondary
                                                font.pixelSize: 14
                                            }
                                        }
                                        Text {
                                            objectName: "figureValue"
                                            Layout.alignment: Qt.AlignHCenter
                                            textFormat: Text.PlainText
                                            text: Format.amount(reportsRoot.balance[figure.modelData.name])
                                            color: figure.modelData.color
                                            font.pixelSize: 32
                                            font.bold: true
                                        }
                                    }
                                }
                            }
                        }
                    }
                }
            }

            // Project performance: only the cards in view fetch their figures.
            ListView {
                objectName: "projectList"
                clip: true
                spacing: 15
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: tabs.currentIndex === 2 ? reportsRoot.properties : []
                ScrollBar.vertical: ScrollBar {}

                Text {
                    anchors.centerIn: parent
                    visible: reportsRoot.properties.length === 0
                    text: "لا توجد مشاريع بعد"
                    color: Theme.textMuted
                    font.pixelSize: 14
                }

                delegate: Rectangle {
                    id: projectCard
                    required property var modelData
                    readonly property var figures: reportsRoot.revision >= 0 ? Backend.reportCtrl.getProjectDetailedFinancials(modelData.id, reportsRoot.fromDate, reportsRoot.toDate) : ({})
                    readonly property int soldUnits: Number(figures.sold_units) || 0
                    readonly property int totalUnits: Number(figures.total_units) || 0

                    objectName: "projectCard_" + modelData.id
                    width: ListView.view.width
                    height: 180
                    radius: 14
                    color: Theme.bgSecondary
                    border.width: 1
                    border.color: Theme.borderColor

                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 20
                        spacing: 15

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 12

                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: projectCard.modelData.name
                                color: Theme.textPrimary
                                font.pixelSize: 18
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Rectangle {
                                Layout.preferredWidth: Math.max(120, pill.implicitWidth + 20)
                                Layout.preferredHeight: 28
                                radius: 14
                                color: Theme.bgElevated

                                Text {
                                    id: pill
                                    objectName: "soldPill"
                                    anchors.centerIn: parent
                                    textFormat: Text.PlainText
                                    text: projectCard.soldUnits + " / " + projectCard.totalUnits + " وحدة مباعة"
                                    color: Theme.accentGold
                                    font.pixelSize: 11
                                    font.bold: true
                                }
                            }
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 40

                            Repeater {
                                model: [
                                    {
                                        "caption": "قيمة المبيعات",
                                        "value": projectCard.figures.total_revenue,
                                        "color": Theme.successColor
                                    },
                                    {
                                        "caption": "المصروفات",
                                        "value": projectCard.figures.total_expenses,
                                        "color": Theme.dangerColor
                                    },
                                    {
                                        "caption": "الربح المتوقع",
                                        "value": projectCard.figures.expected_profit,
                                        "color": Theme.accentGold
                                    }
                                ]

                                ColumnLayout {
                                    id: projectFigure
                                    required property var modelData
                                    spacing: 2

                                    Text {
                                        Layout.alignment: Qt.AlignLeft
                                        textFormat: Text.PlainText
                                        text: projectFigure.modelData.caption
                                        color: Theme.textMuted
                                        font.pixelSize: 12
                                    }
                                    Text {
                                        Layout.alignment: Qt.AlignLeft
                                        textFormat: Text.PlainText
                                        text: Format.amount(projectFigure.modelData.value)
                                        color: projectFigure.modelData.color
                                        font.pixelSize: 20
                                        font.bold: true
                                    }
                                }
                            }
                            Item {
                                Layout.fillWidth: true
                            }
                        }

                        Rectangle {
                            Layout.fillWidth: true
                            Layout.preferredHeight: 8
                            radius: 4
                            color: Theme.borderColor

                            Rectangle {
                                anchors.left: parent.left
                                anchors.top: parent.top
                                anchors.bottom: parent.bottom
                                width: parent.width * Math.min(1, projectCard.soldUnits / Math.max(1, projectCard.totalUnits))
                                radius: 4
                                color: Theme.accentGold
                            }
                        }
                    }
                }
            }

            // Unit status
            PagedList {
                id: unitList
                objectName: "unitList"
                panelColor: Theme.bgSecondary
                searchPlaceholder: "بحث باسم العقار أو رقم الوحدة..."
                emptyText: "لا توجد وحدات"
                fetch: (offset, limit, search) => Backend.reportCtrl.getUnitStatusPage(offset, limit, search)

                delegate: Item {
                    id: unitRow
                    required property var record
                    required property int index
                    readonly property var status: reportsRoot.unitStatus(record.status)

                    objectName: "unit_" + record.id
                    width: ListView.view.width
                    height: 51

                    Rectangle {
                        anchors.fill: parent
                        anchors.rightMargin: 10
                        anchors.leftMargin: 10
                        anchors.topMargin: 6
                        radius: 8
                        color: Theme.bgCard
                        border.width: 1
                        border.color: Theme.borderColor

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15
                            spacing: 12

                            Text {
                                Layout.preferredWidth: 200
                                textFormat: Text.PlainText
                                text: (unitRow.record.property_name || "") + " - " + (unitRow.record.unit_number || "")
                                color: Theme.textPrimary
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 100
                                textFormat: Text.PlainText
                                text: (unitRow.record.area || 0) + " م²"
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                horizontalAlignment: Text.AlignHCenter
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: Format.amount(reportsRoot.unitPrice(unitRow.record))
                                color: Theme.accentGold
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignHCenter
                            }
                            Rectangle {
                                Layout.preferredWidth: 100
                                Layout.preferredHeight: 24
                                radius: 12
                                color: unitRow.status.color

                                Text {
                                    objectName: "unitStatus"
                                    anchors.centerIn: parent
                                    textFormat: Text.PlainText
                                    text: unitRow.status.label
                                    color: Theme.fixed.textPrimary
                                    font.pixelSize: 10
                                    font.bold: true
                                }
                            }
                        }
                    }
                }
            }

            // Overdue installments
            PagedList {
                id: overdueList
                objectName: "overdueList"
                panelColor: Theme.bgSecondary
                searchPlaceholder: "بحث باسم المشتري أو العقار أو الوحدة..."
                emptyText: "لا توجد أقساط متأخرة"
                fetch: (offset, limit, search) => Backend.reportCtrl.getOverdueInstallmentsPage(offset, limit, search)

                delegate: Item {
                    id: overdueRow
                    required property var record
                    required property int index

                    objectName: "overdue_" + record.id
                    width: ListView.view.width
                    height: 68

                    Rectangle {
                        anchors.fill: parent
                        anchors.rightMargin: 10
                        anchors.leftMargin: 10
                        anchors.topMargin: 8
                        radius: 10
                        color: Theme.fixed.overdueCard
                        border.width: 1
                        border.color: Theme.fixed.error

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15
                            spacing: 16

                            ColumnLayout {
                                Layout.fillWidth: true
                                spacing: 2

                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: overdueRow.record.buyer_name || ""
                                    color: Theme.fixed.textPrimary
                                    font.pixelSize: 14
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideRight
                                }
                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: (overdueRow.record.property_name || "") + " - وحدة " + (overdueRow.record.unit_number || "")
                                    color: Theme.fixed.textSecondary
                                    font.pixelSize: 11
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideRight
                                }
                            }
                            Text {
                                textFormat: Text.PlainText
                                text: overdueRow.record.due_date || ""
                                color: Theme.fixed.error
                                font.pixelSize: 13
                                font.bold: true
                            }
                            Text {
                                objectName: "openAmount"
                                Layout.preferredWidth: 130
                                textFormat: Text.PlainText
                                text: Format.amount(reportsRoot.openAmount(overdueRow.record))
                                color: Theme.fixed.textPrimary
                                font.pixelSize: 16
                                font.bold: true
                                horizontalAlignment: Text.AlignRight
                            }
                        }
                    }
                }
            }

            // Cheque report
            PagedList {
                id: chequeList
                objectName: "chequeList"
                panelColor: Theme.bgSecondary
                searchPlaceholder: "بحث برقم الشيك أو الساحب أو البنك..."
                emptyText: "لا توجد شيكات في هذه الفترة"
                fetch: (offset, limit, search) => Backend.reportCtrl.getChequeReportPage("", reportsRoot.fromDate, reportsRoot.toDate, offset, limit, search)

                delegate: Item {
                    id: chequeRow
                    required property var record
                    required property int index
                    readonly property var status: reportsRoot.chequeStatus(record.status)

                    objectName: "cheque_" + record.id
                    width: ListView.view.width
                    height: 56

                    Rectangle {
                        anchors.fill: parent
                        anchors.rightMargin: 10
                        anchors.leftMargin: 10
                        anchors.topMargin: 6
                        radius: 8
                        color: Theme.bgCard
                        border.width: 1
                        border.color: Theme.borderColor

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15
                            spacing: 12

                            Text {
                                Layout.preferredWidth: 140
                                textFormat: Text.PlainText
                                text: "رقم: " + (chequeRow.record.cheque_number || "")
                                color: Theme.accentGold
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.preferredWidth: 110
                                textFormat: Text.PlainText
                                text: chequeRow.record.due_date || ""
                                color: Theme.textSecondary
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: Format.amount(chequeRow.record.amount, chequeRow.record.currency_symbol)
                                color: Theme.textPrimary
                                font.pixelSize: 13
                                horizontalAlignment: Text.AlignLeft
                            }
                            Rectangle {
                                Layout.preferredWidth: 100
                                Layout.preferredHeight: 24
                                radius: 12
                                color: chequeRow.status.color

                                Text {
                                    objectName: "chequeStatus"
                                    anchors.centerIn: parent
                                    textFormat: Text.PlainText
                                    text: chequeRow.status.label
                                    color: Theme.fixed.textPrimary
                                    font.pixelSize: 10
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
