pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Payments: every payment received, tenants' and buyers' alike (latest first, page by page, with
// a search), and recording a tenant's payment against one of their open invoices.
Rectangle {
    id: paymentsRoot

    readonly property var methods: [
        {
            "label": "نقدي",
            "value": "cash"
        },
        {
            "label": "تحويل بنكي",
            "value": "bank"
        },
        {
            "label": "شيك",
            "value": "cheque"
        }
    ]

    function refresh() {
        paymentList.reload();
    }



    function methodLabel(method) {
        return method === "cash" ? "نقدي" : method === "bank" ? "تحويل" : "شيك";
    }

    function partyOf(record) {
        return record.tenant_name || record.buyer_name || "-";
    }

    function placeOf(record) {
        return (record.property_name || "-") + (record.unit_number ? " - " + record.unit_number : "");
    }

    function recordPayment() {
        const tenant = tenantBox.currentEntry;
        if (!tenant) {
            Notifier.refuse("اختر المستأجر");
            return;
        }
        const invoice = invoiceBox.currentEntry;
        if (!invoice) {
            Notifier.refuse(payDialog.pendingInvoices.length === 0 ? "لا توجد فواتير مستحقة على " + tenant.full_name : "اختر الفاتورة المستحقة");
            return;
        }
        const amount = Format.positive(amountField.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ المدفوع"));
            return;
        }
        const balance = Number(invoice.balance);
        if (amount > balance + 0.000001) {
            Notifier.refuse("المبلغ " + Format.amount(amount) + " أكبر من المتبقي على الفاتورة " + invoice.invoice_number + "، وهو " + Format.amount(balance));
            return;
        }
        // The money is in the invoice's own currency.
        const stored = Backend.invoiceModel.getById(invoice.id);
        const currencyId = stored.currency_id ? stored.currency_id : (Backend.currencyModel.getPrimary().id || 1);
        if (!rateGuard.clear(currencyId, Format.today(), () => paymentsRoot.recordPayment()))
            return;
        const method = paymentsRoot.methods[Math.max(0, methodBox.currentIndex)].value;
        const bank = method === "cheque" ? bankField.text.trim() : "";
        const id = Backend.paymentModel.add(invoice.id, tenant.id, amount, method, Format.today(), referenceField.text.trim(), currencyId, bank);
        if (id <= 0) {
            Notifier.refuse("لم تُسجل الدفعة على الفاتورة " + invoice.invoice_number + ": " + Backend.paymentModel.lastError);
            payDialog.loadInvoices();
            return;
        }
        // A reference belongs to one payment; the next one starts blank.
        referenceField.text = "";
        bankField.text = "";
        amountField.text = "";
        refresh();
        payDialog.close();
        const done = "تم تسجيل دفعة بمبلغ " + Format.amount(amount) + " على الفاتورة " + invoice.invoice_number;
        Notifier.show("نجاح", done, "success");
        receiptOffer.offer(id, done);
    }

    objectName: "paymentsPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المدفوعات"
            subtitle: "تحصيل دفعات الإيجارات والفواتير ومتابعة المبالغ المسددة"

            MButton {
                objectName: "addPaymentButton"
                text: "تسجيل دفعة"
                iconSymbol: Icons.add
                onClicked: payDialog.open()
            }
        }

        PagedList {
            id: paymentList
            objectName: "paymentList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            searchPlaceholder: "بحث باسم المستأجر أو المشتري أو رقم الفاتورة أو المرجع أو التاريخ..."
            emptyText: "لا توجد دفعات"
            fetch: (offset, limit, search) => Backend.paymentModel.getPage(offset, limit, search)
            headers: ["العميل", "العقار / الوحدة", "الطريقة", "المبلغ", "التاريخ", ""]
            columnWidths: [160, 0, 110, 110, 110, 50]
            headerVisible: true
            delegate: paymentRow
            panelColor: Theme.bgSecondary
            headerColor: Theme.bgElevated
            rowAltColor: Theme.bgCard
        }
    }

    Component {
        id: paymentRow

        Rectangle {
            id: row
            required property var record
            required property int index

            objectName: "paymentRow_" + record.id
            width: ListView.view.width
            height: 50
            color: index % 2 === 1 ? Theme.bgCard : "transparent"

            Row {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Text {
                    objectName: "partyCell"
                    width: paymentList.columnWidth(0, 6)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: paymentsRoot.partyOf(row.record)
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                Text {
                    width: paymentList.columnWidth(1, 6)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: paymentsRoot.placeOf(row.record)
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                Text {
                    width: paymentList.columnWidth(2, 6)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: paymentsRoot.methodLabel(row.record.payment_method)
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Text {
                    objectName: "amountCell"
                    width: paymentList.columnWidth(3, 6)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: Format.amount(row.record.amount)
                    color: Theme.successColor
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Text {
                    width: paymentList.columnWidth(4, 6)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: row.record.payment_date || ""
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Item {
                    width: paymentList.columnWidth(5, 6)
                    height: parent.height

                    // Money taken back (a returned cheque) is no sum received: it has no receipt.
                    ReceiptButton {
                        objectName: "receiptButton"
                        anchors.centerIn: parent
                        visible: Number(row.record.amount) > 0
                        paymentId: row.record.id
                    }
                }
            }
        }
    }

    ReceiptOfferDialog {
        id: receiptOffer
    }

    MDialog {
        id: payDialog

        property var tenants: []
        property var pendingInvoices: []

        // The tenant's open invoices, earliest due first; the first is offered with its balance.
        function loadInvoices() {
            const tenant = tenantBox.currentEntry;
            pendingInvoices = tenant ? Backend.invoiceModel.getPendingByTenant(tenant.id) : [];
            invoiceBox.currentIndex = pendingInvoices.length > 0 ? 0 : -1;
            amountField.text = pendingInvoices.length > 0 ? String(pendingInvoices[0].balance) : "";
        }

        objectName: "paymentDialog"
        title: "تسجيل دفعة جديدة"
        width: 540
        height: 640
        onAboutToShow: {
            tenants = Backend.tenantModel.getAll();
            pendingInvoices = [];
            tenantBox.currentIndex = -1;
            invoiceBox.currentIndex = -1;
            amountField.text = "";
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Text {
                Layout.fillWidth: true
                text: "المستأجر"
                color: Theme.textSecondary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            ChoiceBox {
                id: tenantBox
                objectName: "paymentTenantBox"
                Layout.fillWidth: true
                model: payDialog.tenants
                textRole: "full_name"
                placeholder: "اختر مستأجراً..."
                onActivated: payDialog.loadInvoices()
            }
            Text {
                Layout.fillWidth: true
                text: "الفاتورة المستحقة"
                color: Theme.textSecondary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            ChoiceBox {
                id: invoiceBox
                objectName: "paymentInvoiceBox"
                Layout.fillWidth: true
                model: payDialog.pendingInvoices
                // Led by a right-to-left mark so the parts read from the right, the number first.
                textFor: invoice => "\u200F" + invoice.invoice_number + " | الفترة: " + Format.ltr(invoice.period) + " | المتبقي: " + Format.amount(invoice.balance)
                placeholder: tenantBox.currentIndex >= 0 && payDialog.pendingInvoices.length === 0 ? "لا توجد فواتير مستحقة" : "اختر فاتورة..."
                onActivated: amountField.text = currentEntry ? String(currentEntry.balance) : ""
            }
            Rectangle {
                objectName: "invoiceSummary"
                Layout.fillWidth: true
                Layout.preferredHeight: 74
                visible: invoiceBox.currentEntry !== null
                radius: 12
                color: Theme.bgElevated
                border.width: 1
                border.color: Theme.borderColor

                ColumnLayout {
                    anchors.fill: parent
                    anchors.margins: 10
                    spacing: 2

                    Text {
                        objectName: "summaryDue"
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: "موعد الاستحقاق: " + Format.ltr(invoiceBox.currentEntry ? invoiceBox.currentEntry.due_date : "")
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: "الإجمالي: " + Format.amount(invoiceBox.currentEntry ? invoiceBox.currentEntry.total_amount : 0)
                        color: Theme.textPrimary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        objectName: "summaryPaid"
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: "المدفوع سابقاً: " + Format.amount(invoiceBox.currentEntry ? invoiceBox.currentEntry.paid_amount : 0)
                        color: Theme.successColor
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                }
            }
            MTextField {
                id: amountField
                objectName: "paymentAmount"
                Layout.fillWidth: true
                label: "المبلغ المدفوع"
                placeholderText: "0.00"
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                MTextField {
                    id: referenceField
                    objectName: "paymentReference"
                    Layout.fillWidth: true
                    label: "رقم المرجع / الشيك"
                }
                // A cheque's bank, which its receipt names.
                MTextField {
                    id: bankField
                    objectName: "paymentBank"
                    Layout.fillWidth: true
                    visible: methodBox.currentIndex >= 0 && paymentsRoot.methods[methodBox.currentIndex].value === "cheque"
                    label: "البنك"
                }
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "طريقة الدفع:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: methodBox
                    objectName: "paymentMethodBox"
                    Layout.fillWidth: true
                    model: paymentsRoot.methods
                    textRole: "label"
                }
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "confirmPaymentButton"
                Layout.fillWidth: true
                text: "تأكيد الدفع"
                onClicked: paymentsRoot.recordPayment()
            }
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
