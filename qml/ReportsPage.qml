pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto
import "reports/ReportRows.js" as ReportRows

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
    // The same business on the books' basis, to lay beside the accounting page's statements.
    property var books: ({})
    property var properties: []
    // Raised on every reload, so the project cards fetch their figures again.
    property int revision: 0

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
        books = Backend.reportCtrl.getAccrualSummary(fromDate, toDate);
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
            reported(Backend.printCtrl.printTable(title, ["العقار", "الوحدة", "المساحة", "السعر", "الحالة"], Backend.unitModel.getAll().map(unit => [unit.property_name, unit.unit_number, unit.area ? unit.area + " م²" : "", Format.amount(ReportRows.unitPrice(unit)), Theme.unitStatus(unit.status).label])));
            break;
        case 4:
            reported(Backend.printCtrl.printTable(title, ["المشتري", "العقار", "الوحدة", "تاريخ الاستحقاق", "المبلغ المتبقي"], Backend.reportCtrl.getOverdueInstallments().map(row => [row.buyer_name, row.property_name, row.unit_number, row.due_date, Format.amount(ReportRows.openAmount(row))])));
            break;
        default:
            reported(Backend.printCtrl.printTable(title, ["رقم الشيك", "المبلغ", "تاريخ الاستحقاق", "البنك", "الحالة"], Backend.reportCtrl.getChequeReport("", fromDate, toDate).map(row => [row.cheque_number, Format.amount(row.amount, row.currency_symbol), row.due_date, row.bank_name || "", Theme.chequeStatus(row.status).label]), [["الفترة", periodText()]]));
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
            AnalysisTab {
                comparison: reportsRoot.comparison
                smartAnalysis: reportsRoot.smartAnalysis
                onCopyRequested: reportsRoot.copyAnalysis()
                onShareRequested: reportsRoot.shareAnalysis()
            }

            // Financial summary
            FinanceTab {
                summary: reportsRoot.summary
                balance: reportsRoot.balance
                books: reportsRoot.books
                periodText: reportsRoot.periodText()
            }

            // Project performance: only the cards in view fetch their figures.
            ProjectsTab {
                properties: reportsRoot.properties
                fromDate: reportsRoot.fromDate
                toDate: reportsRoot.toDate
                revision: reportsRoot.revision
                shown: tabs.currentIndex === 2
            }

            // Unit status
            UnitStatusTab {
                id: unitList
            }

            // Overdue installments
            OverdueTab {
                id: overdueList
            }

            // Cheque report
            ChequeReportTab {
                id: chequeList
                fromDate: reportsRoot.fromDate
                toDate: reportsRoot.toDate
            }
        }
    }
}
