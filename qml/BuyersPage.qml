pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Buyers and sales: the buyer register with each buyer's balance, and per buyer the sale of a
// unit, the installment schedule with collection and hand-added installments, a received cheque
// and the account statement with printing.
Rectangle {
    id: buyersRoot


    property var buyers: []

    readonly property var installmentStatuses: ({
            "paid": {
                "label": "مدفوع",
                "color": Theme.fixed.success,
                "background": Theme.fixed.successSoft
            },
            "partial": {
                "label": "جزئي",
                "color": Theme.fixed.warning,
                "background": Theme.fixed.warningSoft
            },
            "pending": {
                "label": "معلق",
                "color": Theme.fixed.error,
                "background": Theme.fixed.errorSoft
            }
        })

    // Balances change with every sale, collection and added installment, so the register is read
    // again after each of them, not only when the page is shown.
    function refresh() {
        buyers = Backend.buyerModel.getAll();
    }



    function primaryCurrencyId() {
        const primary = Backend.currencyModel.getPrimary();
        return primary && primary.id ? primary.id : 1;
    }

    function openFor(dialog, buyer) {
        dialog.buyerId = buyer.id;
        dialog.buyerName = buyer.full_name;
        dialog.open();
    }

    function addBuyer() {
        const name = buyerNameField.text.trim();
        if (name.length === 0) {
            Notifier.refuse("أدخل الاسم الكامل للمشتري");
            return;
        }
        const idNumber = buyerIdNumberField.text.trim();
        const id = Backend.buyerModel.add(name, idNumber, buyerPhoneField.text.trim(), "", buyerAddressField.text.trim());
        if (id <= 0) {
            Notifier.refuse("تعذرت إضافة المشتري، ربما رقم الهوية " + idNumber + " مسجل لمشترٍ آخر");
            return;
        }
        for (const field of [buyerNameField, buyerIdNumberField, buyerPhoneField, buyerAddressField])
            field.text = "";
        refresh();
        addBuyerDialog.close();
        Notifier.show("نجاح", "تمت إضافة المشتري " + name, "success");
    }

    function saveBuyerCheque() {
        const number = chequeNumber.text.trim();
        if (number.length === 0) {
            Notifier.refuse("أدخل رقم الشيك");
            return;
        }
        const amount = Format.positive(chequeAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ"));
            return;
        }
        const due = chequeDue.text.trim();
        if (!Format.isDate(due)) {
            Notifier.refuse("أدخل تاريخ الاستحقاق بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        const id = Backend.chequeModel.add(number, "received", amount, chequeBank.text.trim(), due, buyerChequeDialog.buyerName, primaryCurrencyId(), 1.0, buyerChequeDialog.buyerId, 0);
        if (id <= 0) {
            Notifier.refuse("تعذر حفظ الشيك رقم " + number);
            return;
        }
        chequeNumber.text = "";
        chequeAmount.text = "";
        buyerChequeDialog.close();
        Notifier.show("نجاح", "تم تسجيل الشيك رقم " + number + " من " + buyerChequeDialog.buyerName, "success");
    }

    function askCollection(record) {
        collectDialog.installment = record;
        const open = Number(record.installment_amount) - Number(record.paid_amount);
        collectAmount.text = String(Math.round(open * 100) / 100);
        collectDialog.open();
    }

    function collect() {
        const installment = collectDialog.installment;
        if (!installment)
            return;
        const amount = Format.positive(collectAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ المحصل"));
            return;
        }
        const open = collectDialog.openAmount;
        if (amount > open + 0.01) {
            Notifier.refuse("المبلغ " + Format.amount(amount) + " أكبر من المتبقي على القسط، وهو " + Format.amount(open));
            return;
        }
        if (!Backend.installmentModel.payInstallment(installment.id, amount)) {
            Notifier.refuse("رُفض تحصيل القسط: قد يكون المبلغ أكبر من المتبقي عليه أو تعذر حفظ البيانات");
            scheduleList.reload();
            return;
        }
        collectDialog.close();
        scheduleList.reload();
        refresh();
        Notifier.show("نجاح", "تم تحصيل " + Format.amount(amount) + " من قسط " + Format.ltr(installment.due_date), "success");
    }

    function addInstallment() {
        const unit = addInstallmentUnitBox.currentEntry;
        if (!unit) {
            Notifier.refuse(addInstallmentDialog.units.length === 0 ? "لا توجد وحدات مباعة لهذا المشتري" : "اختر الوحدة");
            return;
        }
        const amount = Format.positive(addInstallmentAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("قيمة القسط"));
            return;
        }
        const due = addInstallmentDue.text.trim();
        if (!Format.isDate(due)) {
            Notifier.refuse("أدخل تاريخ الاستحقاق بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        const id = Backend.installmentModel.add(scheduleDialog.buyerId, unit.id, 0, 0, amount, due, unit.currency_id ? unit.currency_id : primaryCurrencyId());
        if (id <= 0) {
            Notifier.refuse("تعذرت إضافة القسط");
            return;
        }
        addInstallmentAmount.text = "";
        addInstallmentDialog.close();
        scheduleList.reload();
        refresh();
        Notifier.show("نجاح", "تمت إضافة قسط بقيمة " + Format.amount(amount) + " يستحق في " + Format.ltr(due), "success");
    }

    // What the printed statement shows: one line per installment and the three totals.
    function statementDocument(rows) {
        const transactions = [];
        let owed = 0;
        let paid = 0;
        for (const row of rows) {
            const amount = Number(row.installment_amount) || 0;
            const settled = Number(row.paid_amount) || 0;
            owed += amount;
            paid += settled;
            transactions.push({
                "date": row.due_date,
                "description": "قسط وحدة " + row.unit_number + " (" + row.property_name + ")",
                "reference": "Installment #" + row.id,
                "amount": Format.amount(amount),
                "balance": Format.amount(amount - settled)
            });
        }
        return {
            "transactions": transactions,
            "totals": {
                "إجمالي قيمة الأقساط": Format.amount(owed),
                "إجمالي المسدد": Format.amount(paid),
                "المتبقي الكلي": Format.amount(owed - paid)
            }
        };
    }

    function printStatement() {
        const document = statementDocument(statementDialog.statement);
        statementDialog.printing = true;
        Backend.printCtrl.printStatement(statementDialog.buyerName, "مشتري", document.transactions, document.totals);
    }

    objectName: "buyersPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المشترون والمبيعات"
            subtitle: "إدارة المشترين وعقود التمليك والأقساط"

            MButton {
                objectName: "addBuyerButton"
                text: "مشتري جديد"
                iconSymbol: Icons.add
                onClicked: addBuyerDialog.open()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 14
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor
            clip: true

            ListView {
                id: buyerList
                objectName: "buyerList"
                anchors.fill: parent
                anchors.margins: 15
                spacing: 5
                clip: true
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: buyersRoot.buyers
                ScrollBar.vertical: ScrollBar {}

                delegate: Rectangle {
                    id: card
                    required property var modelData
                    required property int index
                    readonly property double balance: Number(modelData.balance) || 0

                    objectName: "buyer_" + modelData.id
                    width: ListView.view.width
                    height: 68
                    radius: 12
                    color: Theme.bgCard
                    border.width: 1
                    border.color: Theme.borderColor

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 12
                        anchors.leftMargin: 15
                        spacing: 12

                        Text {
                            text: Icons.user
                            color: Theme.accentGold
                            font.pixelSize: 22
                            font.family: Icons.family
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 2

                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: card.modelData.full_name
                                color: Theme.textPrimary
                                font.pixelSize: 14
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: "رقم الهوية: " + (card.modelData.id_number || "-")
                                color: Theme.textSecondary
                                font.pixelSize: 11
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                        ColumnLayout {
                            Layout.preferredWidth: 130
                            Layout.fillWidth: false
                            spacing: 2

                            Text {
                                objectName: "buyerBalance"
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: Format.amount(card.balance)
                                color: card.balance > 0 ? Theme.dangerColor : Theme.successColor
                                font.pixelSize: 14
                                font.bold: true
                                horizontalAlignment: Text.AlignHCenter
                            }
                            Text {
                                Layout.fillWidth: true
                                text: "رصيد المشتري"
                                color: Theme.textMuted
                                font.pixelSize: 10
                                horizontalAlignment: Text.AlignHCenter
                            }
                        }
                        Repeater {
                            model: [
                                {
                                    "name": "sellButton",
                                    "icon": Icons.payments,
                                    "label": "بيع"
                                },
                                {
                                    "name": "scheduleButton",
                                    "icon": Icons.history,
                                    "label": "أقساط"
                                },
                                {
                                    "name": "chequeButton",
                                    "icon": Icons.cheques,
                                    "label": "شيك"
                                },
                                {
                                    "name": "statementButton",
                                    "icon": Icons.invoices,
                                    "label": "كشف"
                                }
                            ]

                            MButton {
                                id: action
                                required property var modelData

                                objectName: modelData.name
                                Layout.preferredWidth: 92
                                Layout.preferredHeight: 32
                                implicitHeight: 32
                                leftPadding: 8
                                rightPadding: 8
                                outline: true
                                iconSymbol: modelData.icon
                                text: modelData.label
                                font.pixelSize: 12
                                onClicked: {
                                    const dialogs = {
                                        "sellButton": salesDlg,
                                        "scheduleButton": scheduleDialog,
                                        "chequeButton": buyerChequeDialog,
                                        "statementButton": statementDialog
                                    };
                                    buyersRoot.openFor(dialogs[action.modelData.name], card.modelData);
                                }
                            }
                        }
                    }
                }

                Text {
                    anchors.centerIn: parent
                    visible: buyerList.count === 0
                    text: "لا يوجد مشترون بعد"
                    color: Theme.textMuted
                    font.pixelSize: 14
                }
            }
        }
    }

    MDialog {
        id: addBuyerDialog
        objectName: "addBuyerDialog"
        title: "إضافة مشتري جديد"
        width: 450
        height: 470

        ColumnLayout {
            anchors.fill: parent
            spacing: 10

            MTextField {
                id: buyerNameField
                objectName: "buyerName"
                Layout.fillWidth: true
                label: "الاسم الكامل"
            }
            MTextField {
                id: buyerIdNumberField
                objectName: "buyerIdNumber"
                Layout.fillWidth: true
                label: "رقم الهوية"
            }
            MTextField {
                id: buyerPhoneField
                objectName: "buyerPhone"
                Layout.fillWidth: true
                label: "رقم الهاتف"
            }
            MTextField {
                id: buyerAddressField
                objectName: "buyerAddress"
                Layout.fillWidth: true
                label: "العنوان"
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "saveBuyerButton"
                Layout.fillWidth: true
                text: "حفظ البيانات"
                onClicked: buyersRoot.addBuyer()
            }
        }
    }

    MDialog {
        id: buyerChequeDialog

        property int buyerId: 0
        property string buyerName: ""

        objectName: "buyerChequeDialog"
        title: "تسجيل شيك من: " + buyerName
        width: 450
        height: 470
        onAboutToShow: {
            if (chequeDue.text.trim().length === 0)
                chequeDue.text = Format.today();
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 10

            MTextField {
                id: chequeNumber
                objectName: "buyerChequeNumber"
                Layout.fillWidth: true
                label: "رقم الشيك"
            }
            MTextField {
                id: chequeBank
                objectName: "buyerChequeBank"
                Layout.fillWidth: true
                label: "اسم البنك"
            }
            MTextField {
                id: chequeAmount
                objectName: "buyerChequeAmount"
                Layout.fillWidth: true
                label: "المبلغ"
                placeholderText: "0.00"
            }
            MTextField {
                id: chequeDue
                objectName: "buyerChequeDue"
                Layout.fillWidth: true
                label: "تاريخ الاستحقاق"
                text: Format.today()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "saveBuyerChequeButton"
                Layout.fillWidth: true
                text: "حفظ الشيك"
                onClicked: buyersRoot.saveBuyerCheque()
            }
        }
    }

    SalesDialog {
        id: salesDlg
        onSaleCompleted: buyersRoot.refresh()
    }

    MDialog {
        id: scheduleDialog

        property int buyerId: 0
        property string buyerName: ""

        objectName: "scheduleDialog"
        title: "جدول الأقساط - " + buyerName
        width: 850
        height: 650
        onAboutToShow: scheduleList.reload()

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    Layout.fillWidth: true
                    text: "الأقساط المستحقة"
                    color: Theme.accentGold
                    font.pixelSize: 15
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                MButton {
                    objectName: "addInstallmentButton"
                    Layout.preferredHeight: 32
                    implicitHeight: 32
                    text: "إضافة قسط"
                    iconSymbol: Icons.add
                    onClicked: addInstallmentDialog.open()
                }
            }

            PagedList {
                id: scheduleList
                objectName: "scheduleList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                searchPlaceholder: "بحث بتاريخ الاستحقاق أو رقم الشيك أو الوحدة..."
                emptyText: "لا توجد أقساط لهذا المشتري"
                fetch: (offset, limit, search) => scheduleDialog.buyerId > 0 ? Backend.installmentModel.getPage(scheduleDialog.buyerId, offset, limit, search) : []
                headers: ["تاريخ الاستحقاق", "البيان", "المبلغ", "الحالة", ""]
                columnWidths: [120, 0, 120, 90, 50]
                headerVisible: true
                delegate: installmentRow
                panelColor: Theme.bgInput
                rowAltColor: Theme.bgSecondary
            }
        }
    }

    Component {
        id: installmentRow

        Rectangle {
            id: row
            required property var record
            required property int index
            readonly property bool paid: record.status === "paid"

            objectName: "installment_" + record.id
            width: ListView.view.width
            height: 48
            color: index % 2 === 1 ? Theme.bgSecondary : "transparent"

            Row {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15

                Text {
                    width: scheduleList.columnWidth(0, 5)
                    leftPadding: 8
                    height: parent.height
                    textFormat: Text.PlainText
                    text: row.record.due_date || ""
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                }
                Column {
                    width: scheduleList.columnWidth(1, 5)
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2

                    Text {
                        width: parent.width
                        textFormat: Text.PlainText
                        text: "قسط شقة " + row.record.unit_number + (row.record.property_name ? " - " + row.record.property_name : "")
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        textFormat: Text.PlainText
                        text: row.record.cheque_number ? "شيك رقم: " + row.record.cheque_number + " (" + (row.record.bank_name || "-") + ")" : "دفع نقدي / دفعات"
                        color: Theme.textMuted
                        font.pixelSize: 10
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                }
                Column {
                    width: scheduleList.columnWidth(2, 5)
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 1

                    Text {
                        width: parent.width
                        textFormat: Text.PlainText
                        text: Format.amount(row.record.installment_amount)
                        color: Theme.accentGold
                        font.pixelSize: 13
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        objectName: "paidLine"
                        width: parent.width
                        visible: row.record.status === "partial"
                        textFormat: Text.PlainText
                        text: "مسدد: " + Format.amount(row.record.paid_amount)
                        color: Theme.textMuted
                        font.pixelSize: 10
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Item {
                    width: scheduleList.columnWidth(3, 5)
                    height: parent.height

                    StatusBadge {
                        objectName: "installmentStatus"
                        anchors.left: parent.left
                        anchors.verticalCenter: parent.verticalCenter
                        width: 80
                        height: 24
                        radius: 6
                        status: row.record.status || "pending"
                        mapping: buyersRoot.installmentStatuses
                        fallbackLabel: buyersRoot.installmentStatuses.pending.label
                        fallbackColor: Theme.fixed.error
                    }
                }
                Item {
                    width: scheduleList.columnWidth(4, 5)
                    height: parent.height

                    MButton {
                        objectName: "collectButton"
                        anchors.centerIn: parent
                        width: 32
                        height: 30
                        implicitHeight: 30
                        leftPadding: 0
                        rightPadding: 0
                        visible: !row.paid
                        text: Icons.done
                        font.family: Icons.family
                        btnColor: Theme.successColor
                        textColor: Theme.fixed.textPrimary
                        onClicked: buyersRoot.askCollection(row.record)
                    }
                }
            }
        }
    }

    MDialog {
        id: collectDialog

        property var installment: null
        readonly property double openAmount: installment ? Number(installment.installment_amount) - Number(installment.paid_amount) : 0

        objectName: "collectDialog"
        title: "تحصيل قسط"
        width: 400
        height: 330

        ColumnLayout {
            anchors.fill: parent
            spacing: 10

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: collectDialog.installment ? "قسط شقة " + collectDialog.installment.unit_number + " المستحق في " + Format.ltr(collectDialog.installment.due_date) : ""
                color: Theme.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            Text {
                objectName: "collectOpenAmount"
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "المتبقي على القسط: " + Format.amount(collectDialog.openAmount)
                color: Theme.textSecondary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            MTextField {
                id: collectAmount
                objectName: "collectAmount"
                Layout.fillWidth: true
                label: "المبلغ المحصل"
                placeholderText: "0.00"
                onAccepted: buyersRoot.collect()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "confirmCollectButton"
                Layout.fillWidth: true
                text: "تأكيد التحصيل"
                onClicked: buyersRoot.collect()
            }
        }
    }

    MDialog {
        id: addInstallmentDialog

        property var units: []

        objectName: "addInstallmentDialog"
        title: "إضافة قسط"
        width: 420
        height: 400
        // Only units this buyer bought: an installment on anyone else's unit would charge the
        // buyer for a sale that is not theirs.
        onAboutToShow: {
            const all = Backend.unitModel.getAll();
            units = all.filter(unit => Number(unit.buyer_id) === scheduleDialog.buyerId);
            addInstallmentUnitBox.currentIndex = units.length > 0 ? 0 : -1;
            if (addInstallmentDue.text.trim().length === 0)
                addInstallmentDue.text = Format.today();
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 10

            ChoiceBox {
                id: addInstallmentUnitBox
                objectName: "addInstallmentUnitBox"
                Layout.fillWidth: true
                model: addInstallmentDialog.units
                textFor: unit => "وحدة " + unit.unit_number + " - " + (unit.property_name || "")
                placeholder: addInstallmentDialog.units.length === 0 ? "لا توجد وحدات مباعة لهذا المشتري" : "اختر الوحدة"
            }
            MTextField {
                id: addInstallmentAmount
                objectName: "addInstallmentAmount"
                Layout.fillWidth: true
                label: "قيمة القسط"
                placeholderText: "0.00"
            }
            MTextField {
                id: addInstallmentDue
                objectName: "addInstallmentDue"
                Layout.fillWidth: true
                label: "تاريخ الاستحقاق (YYYY-MM-DD)"
                text: Format.today()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "saveInstallmentButton"
                Layout.fillWidth: true
                text: "إضافة القسط"
                onClicked: buyersRoot.addInstallment()
            }
        }
    }

    MDialog {
        id: statementDialog

        property int buyerId: 0
        property string buyerName: ""
        property var statement: []
        property bool printing: false
        readonly property var sums: {
            let owed = 0;
            let paid = 0;
            for (const row of statement) {
                owed += Number(row.installment_amount) || 0;
                paid += Number(row.paid_amount) || 0;
            }
            return {
                "owed": owed,
                "paid": paid
            };
        }

        objectName: "buyerStatementDialog"
        title: "كشف حساب المشتري - " + buyerName
        width: 800
        height: 600
        onAboutToShow: statement = buyerId > 0 ? Backend.reportCtrl.getBuyerStatement(buyerId) : []

        Connections {
            target: Backend.printCtrl
            enabled: statementDialog.printing
            function onPrintFinished(success, filePath) {
                statementDialog.printing = false;
                if (success)
                    Notifier.show("نجاح", "تم حفظ كشف الحساب في " + filePath, "success");
                else
                    Notifier.refuse("تعذر حفظ كشف الحساب في " + filePath);
            }
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: 10
                color: Theme.bgInput
                border.width: 1
                border.color: Theme.borderColor
                clip: true

                ColumnLayout {
                    anchors.fill: parent
                    anchors.margins: 1
                    spacing: 0

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 40
                        color: Theme.bgElevated

                        Row {
                            anchors.fill: parent
                            anchors.rightMargin: 15
                            anchors.leftMargin: 15

                            Repeater {
                                model: ["تاريخ الاستحقاق", "البيان", "قيمة القسط", "المدفوع", "المتبقي"]

                                Text {
                                    required property string modelData
                                    required property int index
                                    width: index === 1 ? parent.width - 4 * 110 : 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: modelData
                                    color: Theme.textSecondary
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                }
                            }
                        }
                    }

                    ListView {
                        id: statementList
                        objectName: "statementList"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        clip: true
                        reuseItems: true
                        boundsBehavior: Flickable.StopAtBounds
                        model: statementDialog.statement
                        ScrollBar.vertical: ScrollBar {}

                        delegate: Rectangle {
                            id: line
                            required property var modelData
                            required property int index

                            width: ListView.view.width
                            height: 48
                            color: index % 2 === 1 ? Theme.bgSecondary : "transparent"

                            Row {
                                anchors.fill: parent
                                anchors.rightMargin: 15
                                anchors.leftMargin: 15

                                Text {
                                    width: 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: line.modelData.due_date || ""
                                    color: Theme.textSecondary
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                }
                                Text {
                                    width: parent.width - 4 * 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: "قسط وحدة " + line.modelData.unit_number
                                    color: Theme.textPrimary
                                    font.pixelSize: 13
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                    elide: Text.ElideRight
                                }
                                Text {
                                    width: 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: Format.amount(line.modelData.installment_amount)
                                    color: Theme.dangerColor
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                }
                                Text {
                                    width: 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: Format.amount(line.modelData.paid_amount)
                                    color: Theme.successColor
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                }
                                Text {
                                    width: 110
                                    height: parent.height
                                    textFormat: Text.PlainText
                                    text: Format.amount(line.modelData.remaining_amount || 0)
                                    color: Theme.accentGold
                                    font.pixelSize: 12
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    verticalAlignment: Text.AlignVCenter
                                }
                            }
                        }

                        Text {
                            anchors.centerIn: parent
                            visible: statementList.count === 0
                            text: "لا توجد أقساط في كشف هذا المشتري"
                            color: Theme.textMuted
                            font.pixelSize: 14
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 18

                Text {
                    objectName: "statementTotals"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: "إجمالي الأقساط: " + Format.amount(statementDialog.sums.owed) + "  |  المسدد: " + Format.amount(statementDialog.sums.paid) + "  |  المتبقي: " + Format.amount(statementDialog.sums.owed - statementDialog.sums.paid)
                    color: Theme.textPrimary
                    font.pixelSize: 12
                    font.bold: true
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignLeft
                }
                MButton {
                    objectName: "printStatementButton"
                    text: "طباعة كشف الحساب"
                    iconSymbol: Icons.print
                    outline: true
                    onClicked: buyersRoot.printStatement()
                }
            }
        }
    }
}
