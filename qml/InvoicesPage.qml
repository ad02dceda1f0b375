pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Invoices: the list (newest first, page by page, with a search), the monthly rent run, a custom
// invoice with line items, a service charge to every tenant of a property, the late-fee run (a fee
// is waived from its row) and the reminders to those in arrears. Drawn in fixed dark
// colours whatever the theme; the dialogs follow the theme.
Rectangle {
    id: page

    function refresh() {
        invoiceList.reload();
    }

    // The late-fee run, after saying how many fees it will charge; all or nothing.
    function offerLateFees() {
        const due = Backend.invoiceModel.lateFeesDue();
        if (due === 0) {
            lateFeeResult.show(Backend.invoiceModel.issueLateFees());
            return;
        }
        lateFeeConfirm.ask("غرامات التأخير", "ستُضاف " + Format.count(due) + " غرامة تأخير على الفواتير المتأخرة بعد مهلة السماح، غرامة واحدة لكل فاتورة في الشهر.", () => page.runLateFees());
    }

    function runLateFees() {
        const outcome = Backend.invoiceModel.issueLateFees();
        page.refresh();
        lateFeeResult.show(outcome);
        rateGuard.askForMissing(outcome, () => page.runLateFees());
    }

    objectName: "invoicesPage"
    color: Theme.fixed.pageBg

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "الفواتير"
            subtitle: "إدارة الفواتير والمستحقات - متعددة الخدمات والعملات"
            titleColor: Theme.fixed.textPrimary
            subtitleColor: Theme.fixed.textSecondary

            Row {
                spacing: 10

                MButton {
                    objectName: "customInvoiceButton"
                    text: "فاتورة مخصصة"
                    iconSymbol: Icons.add
                    onClicked: customDialog.open()
                }
                MButton {
                    objectName: "rentRunButton"
                    text: "إصدار إيجارات الشهر"
                    iconSymbol: Icons.invoices
                    onClicked: rentDialog.open()
                }
            }
        }

        // The month's work beside the list: fees, reminders, meters and charges to many at once.
        Row {
            Layout.alignment: Qt.AlignLeft
            spacing: 10

            MButton {
                objectName: "lateFeeButton"
                text: "غرامات التأخير"
                iconSymbol: Icons.warning
                outline: true
                onClicked: page.offerLateFees()
            }
            MButton {
                objectName: "remindersButton"
                text: "تذكيرات السداد"
                iconSymbol: Icons.alerts
                outline: true
                onClicked: remindersDialog.open()
            }
            MButton {
                objectName: "meterReadingsButton"
                text: "قراءات العدادات"
                iconSymbol: Icons.history
                outline: true
                onClicked: readingsDialog.open()
            }
            MButton {
                objectName: "serviceChargeButton"
                text: "فاتورة خدمة جماعية"
                iconSymbol: Icons.run
                outline: true
                onClicked: serviceDialog.open()
            }
        }

        PagedList {
            id: invoiceList
            objectName: "invoiceList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            searchPlaceholder: "بحث برقم الفاتورة أو المستأجر أو العقار أو الفترة..."
            emptyText: "لا توجد فواتير"
            fetch: (offset, limit, search) => Backend.invoiceModel.getPage(offset, limit, search)
            headers: ["رقم الفاتورة", "المستأجر", "الفترة", "العقار / الوحدة", "المبلغ", "المتبقي", "الحالة"]
            columnWidths: [120, 140, 100, 0, 90, 90, 110]
            headerVisible: true
            delegate: InvoiceRow {
                list: invoiceList
                onWaiveRequested: record => waiveDialog.ask(record)
            }
            fieldColor: Theme.fixed.pageBg
            panelColor: Theme.fixed.card
            headerColor: Theme.fixed.tableHeader
            rowAltColor: Theme.fixed.rowBg
            hoverColor: Theme.fixed.rowSelected
            lineColor: Theme.fixed.cardBorder
            textColor: Theme.fixed.textCell
            headerTextColor: Theme.fixed.textSecondary
            mutedTextColor: Theme.fixed.textMuted
        }
    }

    RentRunDialog {
        id: rentDialog
        onRan: outcome => {
            page.refresh();
            resultDialog.show(outcome);
            // Invoices in another currency wait for the rate of the day; the run then makes the rest.
            rateGuard.askForMissing(outcome, () => rentDialog.run());
        }
    }
    CustomInvoiceDialog {
        id: customDialog
        onIssued: page.refresh()
    }
    ServiceChargeDialog {
        id: serviceDialog
        onRan: outcome => {
            page.refresh();
            resultDialog.show(outcome);
        }
    }
    MeterReadingsDialog {
        id: readingsDialog
        onBilled: outcome => {
            page.refresh();
            resultDialog.show(outcome);
            rateGuard.askForMissing(outcome, () => readingsDialog.billUsage());
        }
    }
    RunResultDialog {
        id: resultDialog
    }
    ConfirmDialog {
        id: lateFeeConfirm
        objectName: "lateFeeConfirm"
        confirmText: "احتساب الغرامات"
        destructive: false
    }
    LateFeeResultDialog {
        id: lateFeeResult
    }
    WaiveFeeDialog {
        id: waiveDialog
        onWaived: page.refresh()
    }
    RemindersDialog {
        id: remindersDialog
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
