pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Invoices: the list (newest first, page by page, with a search), the monthly rent run, a custom
// invoice with line items and a service charge to every tenant of a property. Drawn in fixed dark
// colours whatever the theme; the dialogs follow the theme.
Rectangle {
    id: page


    readonly property var statuses: ({
            "paid": {
                "label": "مدفوعة",
                "color": Theme.fixed.success,
                "background": Theme.fixed.successSoft
            },
            "partial": {
                "label": "جزئي",
                "color": Theme.fixed.warning,
                "background": Theme.fixed.warningSoft
            },
            "void": {
                "label": "ملغاة",
                "color": Theme.fixed.textMuted,
                "background": Theme.fixed.cardBorder
            },
            "pending": {
                "label": "معلقة",
                "color": Theme.fixed.error,
                "background": Theme.fixed.errorSoft
            }
        })
    readonly property var lineKinds: ["إيجار", "مياه", "كهرباء", "صيانة", "مصعد", "تنظيف", "خدمة أخرى"]
    readonly property var serviceKinds: ["مياه", "كهرباء", "صيانة عامة", "تنظيف", "مصعد", "حراسة", "خدمة أخرى"]

    function refresh() {
        invoiceList.reload();
    }



    // A run's outcome as the back end reports it: invoices made, invoices that could not be
    // written, and whether the run could start at all.
    function showResult(outcome) {
        resultDialog.count = outcome.made || 0;
        resultDialog.failed = outcome.failed || 0;
        resultDialog.refused = outcome.refused === true;
        resultDialog.open();
    }

    // The choice lists of a dialog come from the back end each time it opens, so tenants,
    // properties and currencies added meanwhile are offered; a choice made before is kept.
    function reloadChoices(box, rows) {
        const chosen = box.currentEntry ? box.currentEntry.id : undefined;
        box.model = rows;
        const again = chosen === undefined ? -1 : box.indexWhere(row => row.id === chosen);
        box.currentIndex = again >= 0 ? again : (rows.length > 0 ? 0 : -1);
    }

    function runRent() {
        const period = rentPeriod.text.trim();
        if (!Format.isPeriod(period)) {
            Notifier.refuse("أدخل الفترة بالشكل YYYY-MM، مثل " + Format.ltr(Format.currentPeriod()));
            return;
        }
        const outcome = Backend.invoiceModel.issueRent(period);
        refresh();
        rentDialog.close();
        showResult(outcome);
    }

    function addLineItem() {
        const amount = Format.positive(lineAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ"));
            return;
        }
        const kind = lineKindBox.textAt(lineKindBox.currentIndex);
        customDialog.lineItems = customDialog.lineItems.concat([
            {
                "description": kind,
                "type": "service",
                "quantity": 1,
                "unit_price": amount,
                "total": amount
            }
        ]);
        lineAmount.text = "";
    }

    function removeLineItem(index) {
        const items = customDialog.lineItems.slice();
        items.splice(index, 1);
        customDialog.lineItems = items;
    }

    function issueCustomInvoice() {
        const tenant = customTenantBox.currentEntry;
        if (!tenant) {
            Notifier.refuse("اختر المستأجر");
            return;
        }
        const period = customPeriod.text.trim();
        if (!Format.isPeriod(period)) {
            Notifier.refuse("أدخل الفترة بالشكل YYYY-MM، مثل " + Format.ltr(Format.currentPeriod()));
            return;
        }
        if (customDialog.lineItems.length === 0) {
            Notifier.refuse("أضف بنداً واحداً على الأقل إلى الفاتورة");
            return;
        }
        const currency = customCurrencyBox.currentEntry;
        if (!currency) {
            Notifier.refuse("اختر العملة");
            return;
        }
        const id = Backend.invoiceModel.createInvoice(tenant.id, 0, period, customDialog.lineItems, currency.id);
        if (id <= 0) {
            Notifier.refuse("لم تصدر الفاتورة: للمستأجر " + tenant.full_name + " فاتورة قائمة عن الفترة " + Format.ltr(period) + "، أو تعذر حفظها");
            return;
        }
        const invoice = Backend.invoiceModel.getById(id);
        customDialog.lineItems = [];
        refresh();
        customDialog.close();
        Notifier.show("نجاح", "تم إصدار الفاتورة " + (invoice.invoice_number || "") + " للمستأجر " + tenant.full_name, "success");
    }

    function issueServiceCharge() {
        const property = servicePropertyBox.currentEntry;
        if (!property) {
            Notifier.refuse("اختر العقار أو المشروع");
            return;
        }
        const amount = Format.positive(serviceAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ لكل مستأجر"));
            return;
        }
        const period = servicePeriod.text.trim();
        if (!Format.isPeriod(period)) {
            Notifier.refuse("أدخل الفترة بالشكل YYYY-MM، مثل " + Format.ltr(Format.currentPeriod()));
            return;
        }
        const currency = serviceCurrencyBox.currentEntry;
        if (!currency) {
            Notifier.refuse("اختر العملة");
            return;
        }
        const outcome = Backend.invoiceModel.issuePropertyService(property.id, serviceKindBox.textAt(serviceKindBox.currentIndex), amount, period, currency.id);
        refresh();
        serviceDialog.close();
        showResult(outcome);
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
                MButton {
                    objectName: "serviceChargeButton"
                    text: "فاتورة خدمة جماعية"
                    iconSymbol: Icons.run
                    outline: true
                    onClicked: serviceDialog.open()
                }
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
            columnWidths: [120, 140, 100, 0, 90, 90, 70]
            headerVisible: true
            delegate: invoiceRow
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

    Component {
        id: invoiceRow

        Rectangle {
            id: row
            required property var record
            required property int index
            readonly property double balance: Number(record.balance)

            objectName: "invoiceRow_" + record.invoice_number
            width: ListView.view.width
            height: 48
            color: index % 2 === 1 ? Theme.fixed.rowBg : "transparent"

            Row {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Text {
                    width: invoiceList.columnWidth(0, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: row.record.invoice_number || ""
                    color: Theme.fixed.gold
                    font.pixelSize: 12
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                Text {
                    width: invoiceList.columnWidth(1, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: row.record.tenant_name || ""
                    color: Theme.fixed.textCell
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                Text {
                    width: invoiceList.columnWidth(2, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: row.record.period || ""
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Text {
                    objectName: "propertyCell"
                    width: invoiceList.columnWidth(3, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: (row.record.property_name || "") + (row.record.unit_number ? " - " + row.record.unit_number : "")
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                Text {
                    width: invoiceList.columnWidth(4, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: Format.amount(row.record.total_amount)
                    color: Theme.fixed.textPrimary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Text {
                    objectName: "balanceCell"
                    width: invoiceList.columnWidth(5, 7)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: Format.amount(row.balance)
                    color: row.balance > 0 ? Theme.fixed.error : Theme.fixed.success
                    font.pixelSize: 12
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Item {
                    width: invoiceList.columnWidth(6, 7)
                    height: parent.height

                    StatusBadge {
                        objectName: "statusBadge"
                        anchors.left: parent.left
                        anchors.verticalCenter: parent.verticalCenter
                        width: 70
                        height: 24
                        radius: 6
                        status: row.record.status || "pending"
                        mapping: page.statuses
                        fallbackLabel: page.statuses.pending.label
                        fallbackColor: Theme.fixed.error
                    }
                }
            }
        }
    }

    MDialog {
        id: rentDialog
        objectName: "rentDialog"
        title: "إصدار فواتير الإيجار الشهرية"
        width: 400
        height: 300
        onAboutToShow: {
            if (rentPeriod.text.trim().length === 0)
                rentPeriod.text = Format.currentPeriod();
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 15

            Text {
                Layout.fillWidth: true
                text: "سيتم إصدار فواتير لجميع العقود النشطة تلقائياً"
                color: Theme.fixed.textSecondary
                font.pixelSize: 13
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
            }
            MTextField {
                id: rentPeriod
                objectName: "rentPeriod"
                Layout.fillWidth: true
                label: "الفترة (YYYY-MM)"
                text: Format.currentPeriod()
                onAccepted: page.runRent()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "rentRunConfirm"
                Layout.fillWidth: true
                text: "إصدار الفواتير"
                onClicked: page.runRent()
            }
        }
    }

    MDialog {
        id: customDialog

        property var lineItems: []
        readonly property double total: lineItems.reduce((sum, item) => sum + Number(item.total), 0)

        objectName: "customInvoiceDialog"
        title: "إنشاء فاتورة مخصصة"
        width: 600
        height: 650
        onAboutToShow: {
            page.reloadChoices(customTenantBox, Backend.tenantModel.getAll());
            page.reloadChoices(customCurrencyBox, Backend.currencyModel.getAll());
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "المستأجر:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: customTenantBox
                    objectName: "customTenantBox"
                    Layout.fillWidth: true
                    textRole: "full_name"
                    placeholder: "اختر مستأجراً..."
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                MTextField {
                    id: customPeriod
                    objectName: "customPeriod"
                    Layout.fillWidth: true
                    label: "الفترة"
                    text: Format.currentPeriod()
                }
                Text {
                    Layout.alignment: Qt.AlignBottom
                    Layout.bottomMargin: 12
                    text: "العملة:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: customCurrencyBox
                    objectName: "customCurrencyBox"
                    Layout.alignment: Qt.AlignBottom
                    Layout.preferredWidth: 120
                    textRole: "code"
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 50
                radius: 10
                color: Theme.fixed.pageBg

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: 8
                    spacing: 8

                    ChoiceBox {
                        id: lineKindBox
                        objectName: "lineKindBox"
                        Layout.preferredWidth: 140
                        Layout.preferredHeight: 34
                        model: page.lineKinds
                    }
                    TextField {
                        id: lineAmount
                        objectName: "lineAmount"
                        Layout.preferredWidth: 100
                        Layout.preferredHeight: 34
                        placeholderText: "المبلغ"
                        placeholderTextColor: Theme.fixed.textMuted
                        color: Theme.fixed.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: TextInput.AlignHCenter
                        verticalAlignment: TextInput.AlignVCenter
                        selectByMouse: true
                        onAccepted: page.addLineItem()

                        background: Rectangle {
                            radius: 8
                            color: Theme.fixed.card
                            border.width: lineAmount.activeFocus ? 1.5 : 1
                            border.color: lineAmount.activeFocus ? Theme.fixed.gold : Theme.fixed.cardBorder
                        }
                    }
                    MButton {
                        objectName: "addLineButton"
                        Layout.preferredWidth: 40
                        Layout.preferredHeight: 34
                        leftPadding: 0
                        rightPadding: 0
                        text: Icons.add
                        font.family: Icons.family
                        onClicked: page.addLineItem()
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: 10
                color: Theme.fixed.pageBg

                ListView {
                    id: lineList
                    objectName: "lineList"
                    anchors.fill: parent
                    anchors.margins: 8
                    spacing: 6
                    clip: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: customDialog.lineItems
                    ScrollBar.vertical: ScrollBar {}

                    delegate: Rectangle {
                        id: line
                        required property var modelData
                        required property int index

                        objectName: "lineItem_" + index
                        width: ListView.view.width
                        height: 36
                        radius: 6
                        color: Theme.fixed.card

                        RowLayout {
                            anchors.fill: parent
                            anchors.rightMargin: 8
                            anchors.leftMargin: 12
                            spacing: 10

                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: line.modelData.description
                                color: Theme.fixed.textCell
                                font.pixelSize: 13
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                textFormat: Text.PlainText
                                text: Format.amount(line.modelData.total)
                                color: Theme.fixed.gold
                                font.pixelSize: 13
                                font.bold: true
                            }
                            MButton {
                                objectName: "removeLineButton"
                                Layout.preferredWidth: 24
                                Layout.preferredHeight: 24
                                implicitHeight: 24
                                leftPadding: 0
                                rightPadding: 0
                                topPadding: 0
                                bottomPadding: 0
                                text: Icons.close
                                font.family: Icons.family
                                outline: true
                                btnColor: Theme.fixed.error
                                onClicked: page.removeLineItem(line.index)
                            }
                        }
                    }

                    Text {
                        anchors.centerIn: parent
                        visible: lineList.count === 0
                        text: "لم تضف بنوداً بعد: اختر النوع واكتب المبلغ ثم اضغط +"
                        color: Theme.fixed.textMuted
                        font.pixelSize: 12
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "الإجمالي:"
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 15
                }
                Text {
                    objectName: "customTotal"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: Format.amount(customDialog.total)
                    color: Theme.fixed.gold
                    font.pixelSize: 20
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }

            MButton {
                objectName: "issueInvoiceButton"
                Layout.fillWidth: true
                text: "إصدار الفاتورة"
                onClicked: page.issueCustomInvoice()
            }
        }
    }

    MDialog {
        id: serviceDialog
        objectName: "serviceDialog"
        title: "فاتورة خدمة جماعية"
        width: 500
        height: 560
        onAboutToShow: {
            page.reloadChoices(servicePropertyBox, Backend.propertyModel.getAll());
            page.reloadChoices(serviceCurrencyBox, Backend.currencyModel.getAll());
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Text {
                Layout.fillWidth: true
                text: "اختيار نطاق الفاتورة"
                color: Theme.fixed.gold
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "العقار/المشروع:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: servicePropertyBox
                    objectName: "servicePropertyBox"
                    Layout.fillWidth: true
                    textRole: "name"
                    placeholder: "اختر عقاراً..."
                }
            }
            ChoiceBox {
                id: serviceKindBox
                objectName: "serviceKindBox"
                Layout.fillWidth: true
                model: page.serviceKinds
            }
            MTextField {
                id: serviceAmount
                objectName: "serviceAmount"
                Layout.fillWidth: true
                label: "المبلغ لكل مستأجر"
                placeholderText: "0.00"
            }
            MTextField {
                id: servicePeriod
                objectName: "servicePeriod"
                Layout.fillWidth: true
                label: "الفترة (YYYY-MM)"
                text: Format.currentPeriod()
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "العملة:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: serviceCurrencyBox
                    objectName: "serviceCurrencyBox"
                    Layout.preferredWidth: 120
                    textRole: "code"
                }
                Item {
                    Layout.fillWidth: true
                }
            }
            Text {
                Layout.fillWidth: true
                text: "سيتم إصدار فاتورة منفصلة لكل مستأجر في العقار تلقائياً"
                color: Theme.fixed.warning
                font.pixelSize: 11
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "serviceChargeConfirm"
                Layout.fillWidth: true
                text: "إصدار فواتير لجميع مستأجري العقار"
                onClicked: page.issueServiceCharge()
            }
        }
    }

    MDialog {
        id: resultDialog

        property int count: 0
        property int failed: 0
        property bool refused: false
        // A partial run is never told as a success, nor a failed one as having nothing to do.
        readonly property string kind: refused || (failed > 0 && count === 0) ? "error" : (failed > 0 || count === 0 ? "warning" : "success")
        readonly property string verdict: {
            if (refused)
                return "تعذر تشغيل الإصدار، ولم تصدر أي فاتورة";
            if (failed > 0 && count > 0)
                return "تم إصدار " + count + " فاتورة، وتعذر إصدار " + failed + " (التفاصيل في سجل البرنامج)";
            if (failed > 0)
                return "تعذر إصدار " + failed + " فاتورة (التفاصيل في سجل البرنامج)";
            if (count > 0)
                return "تم إصدار " + count + " فاتورة بنجاح";
            return "لا توجد فواتير جديدة (قد تكون مكررة)";
        }

        objectName: "generationResultDialog"
        title: "نتيجة الإصدار"
        width: 340
        height: 230

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Item {
                id: resultArea
                Layout.fillWidth: true
                Layout.fillHeight: true

                Row {
                    anchors.centerIn: parent
                    spacing: 8

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        textFormat: Text.PlainText
                        text: resultDialog.kind === "success" ? Icons.success : (resultDialog.kind === "error" ? Icons.error : Icons.warning)
                        color: resultDialog.kind === "success" ? Theme.successColor : (resultDialog.kind === "error" ? Theme.dangerColor : Theme.warningColor)
                        font.pixelSize: 22
                        font.family: Icons.family
                    }
                    Text {
                        objectName: "resultText"
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, resultArea.width - 36)
                        textFormat: Text.PlainText
                        text: resultDialog.verdict
                        color: resultDialog.kind === "success" ? Theme.fixed.success : (resultDialog.kind === "error" ? Theme.fixed.error : Theme.fixed.warning)
                        font.pixelSize: 15
                        wrapMode: Text.Wrap
                        horizontalAlignment: Text.AlignHCenter
                    }
                }
            }
            MButton {
                objectName: "resultOkButton"
                Layout.fillWidth: true
                text: "حسناً"
                onClicked: resultDialog.close()
            }
        }
    }
}
