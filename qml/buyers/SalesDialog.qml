pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The sale of a unit to a buyer: price, cash or installments (down payment, count, the first
// cheque of the buyer's book and its bank), sale date and currency, with a preview of the monthly
// installment. The available units and the currencies are read afresh each time it opens.
//
// Set `buyerId` and `buyerName`, then open(). Emits saleCompleted(unitId) after a sale.
MDialog {
    id: salesDlg

    property int buyerId: 0
    property string buyerName: ""
    property var availableUnits: []

    readonly property bool cash: saleTypeBox.currentIndex === 1
    readonly property int count: {
        const typed = Format.atLeastOne(countField.text);
        return cash || isNaN(typed) ? 1 : typed;
    }
    readonly property double monthly: {
        const total = Format.parse(priceField.text);
        const now = Format.parse(paidField.text);
        // Nothing is left to spread while the price is missing or covered.
        return Math.max(0, ((isNaN(total) ? 0 : total) - (isNaN(now) ? 0 : now)) / count);
    }

    signal saleCompleted(int unitId)

    function fillPrice() {
        const unit = unitBox.entryAt(unitBox.currentIndex);
        if (!unit)
            return;
        priceField.text = Number(unit.sale_price) > 0 ? String(unit.sale_price) : "";
        if (cash)
            paidField.text = priceField.text;
    }

    function confirmSale() {
        const unit = unitBox.currentEntry;
        if (!unit) {
            Notifier.refuse("اختر الوحدة المباعة");
            return;
        }
        const currency = currencyBox.currentEntry;
        if (!currency) {
            Notifier.refuse("اختر العملة");
            return;
        }
        const total = Format.positive(priceField.text);
        if (isNaN(total)) {
            Notifier.refuse(Format.positiveRequired("سعر البيع الإجمالي"));
            return;
        }
        const paidLabel = cash ? "المبلغ المدفوع كاش" : "الدفعة الأولى (مقدم)";
        // An empty down payment on an installment sale means none.
        const paidNow = cash ? Format.positive(paidField.text) : (paidField.text.trim().length === 0 ? 0 : Format.notNegative(paidField.text));
        if (isNaN(paidNow)) {
            Notifier.refuse(cash ? Format.positiveRequired(paidLabel) : Format.notNegativeRequired(paidLabel));
            return;
        }
        if (paidNow > total) {
            Notifier.refuse("قيمة «" + paidLabel + "» أكبر من سعر البيع الإجمالي");
            return;
        }
        const installments = cash ? 0 : Format.atLeastOne(countField.text);
        if (isNaN(installments) || installments > 1200) {
            Notifier.refuse(Format.countRequired("عدد الأقساط") + " (حتى 1200)");
            return;
        }
        const date = saleDateField.text.trim();
        if (!Format.isDate(date)) {
            Notifier.refuse("أدخل تاريخ البيع بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        // The back end keeps a refused sale in the audit log under the signed-in user.
        // The cheque book belongs to the installments: a cash sale records no cheques.
        const firstCheque = cash ? "" : firstChequeField.text.trim();
        const bank = cash ? "" : bankField.text.trim();
        if (!rateGuard.clear(currency.id, date, () => salesDlg.confirmSale()))
            return;
        const result = Backend.installmentModel.sellUnit(buyerId, unit.id, total, paidNow, installments, date, currency.id, firstCheque, bank);
        if (result <= 0) {
            Notifier.refuse("لم تتم عملية البيع: " + Backend.installmentModel.lastError);
            return;
        }
        const unitId = unit.id;
        Notifier.show("نجاح", "تم بيع الوحدة " + unit.unit_number + " إلى " + buyerName, "success");
        close();
        saleCompleted(unitId);
    }

    objectName: "salesDialog"
    title: "إتمام عملية بيع وحدة عقارية"
    width: 560
    height: 660
    onAboutToShow: {
        const chosen = unitBox.currentEntry ? unitBox.currentEntry.id : undefined;
        availableUnits = Backend.unitModel.getAvailable();
        const again = chosen === undefined ? -1 : unitBox.indexWhere(unit => unit.id === chosen);
        unitBox.currentIndex = again;
        currencyBox.reload(Backend.currencyModel.getAll());
        if (saleDateField.text.trim().length === 0)
            saleDateField.text = Format.today();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 12

        ScrollView {
            id: scroller
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth
            clip: true

            ColumnLayout {
                width: scroller.availableWidth
                spacing: 12

                Text {
                    objectName: "saleBuyerName"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: "المشتري: " + salesDlg.buyerName
                    color: Theme.textPrimary
                    font.pixelSize: 16
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.fillWidth: true
                    text: "اختر الوحدة المباعة"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                ChoiceBox {
                    id: unitBox
                    objectName: "saleUnitBox"
                    Layout.fillWidth: true
                    model: salesDlg.availableUnits
                    textFor: unit => (unit.property_name || "") + " - وحدة " + unit.unit_number
                    placeholder: salesDlg.availableUnits.length === 0 ? "لا توجد وحدات متاحة للبيع" : "اختر وحدة..."
                    onCurrentIndexChanged: salesDlg.fillPrice()
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    MTextField {
                        id: priceField
                        objectName: "salePrice"
                        Layout.fillWidth: true
                        label: "سعر البيع الإجمالي"
                        placeholderText: "0.00"
                        onTextChanged: {
                            if (salesDlg.cash)
                                paidField.text = text;
                        }
                    }
                    ColumnLayout {
                        Layout.preferredWidth: 170
                        spacing: 6

                        Text {
                            Layout.fillWidth: true
                            text: "نوع البيع:"
                            color: Theme.textSecondary
                            font.pixelSize: 12
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        ChoiceBox {
                            id: saleTypeBox
                            objectName: "saleTypeBox"
                            Layout.fillWidth: true
                            Layout.preferredHeight: 42
                            model: ["أقساط", "كاش (نقدي)"]
                            // Cash pays the price; back on installments the down payment
                            // starts empty again rather than covering the whole price.
                            onCurrentIndexChanged: {
                                if (currentIndex === 1)
                                    paidField.text = priceField.text;
                                else if (paidField.text === priceField.text)
                                    paidField.text = "";
                            }
                        }
                    }
                }
                MTextField {
                    id: paidField
                    objectName: "salePaidNow"
                    Layout.fillWidth: true
                    label: salesDlg.cash ? "المبلغ المدفوع كاش" : "الدفعة الأولى (مقدم)"
                    placeholderText: "0.00"
                }
                RowLayout {
                    Layout.fillWidth: true
                    visible: !salesDlg.cash
                    spacing: 10

                    MTextField {
                        id: countField
                        objectName: "saleCount"
                        Layout.preferredWidth: 110
                        label: "عدد الأقساط"
                        placeholderText: "12"
                        text: "12"
                    }
                    MTextField {
                        id: firstChequeField
                        objectName: "saleFirstCheque"
                        Layout.fillWidth: true
                        label: "رقم أول شيك"
                        placeholderText: "1001"
                    }
                    MTextField {
                        id: bankField
                        objectName: "saleBank"
                        Layout.fillWidth: true
                        label: "اسم البنك"
                        placeholderText: "بنك فلسطين"
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    MTextField {
                        id: saleDateField
                        objectName: "saleDate"
                        Layout.fillWidth: true
                        label: "تاريخ البيع / بدء الأقساط"
                        text: Format.today()
                    }
                    ColumnLayout {
                        Layout.preferredWidth: 140
                        spacing: 6

                        Text {
                            Layout.fillWidth: true
                            text: "العملة:"
                            color: Theme.textSecondary
                            font.pixelSize: 12
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        ChoiceBox {
                            id: currencyBox
                            objectName: "saleCurrencyBox"
                            Layout.fillWidth: true
                            Layout.preferredHeight: 42
                            textRole: "code"
                            placeholder: "اختر العملة"
                        }
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 50
            radius: 10
            color: Theme.bgElevated
            border.width: 1
            border.color: Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15
                spacing: 10

                Text {
                    textFormat: Text.PlainText
                    text: salesDlg.cash ? "المتبقي بعد الدفع:" : "القسط الشهري:"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                }
                Text {
                    objectName: "installmentPreview"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: Format.amount(salesDlg.monthly)
                    color: Theme.accentGold
                    font.pixelSize: 18
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }
        MButton {
            objectName: "confirmSaleButton"
            Layout.fillWidth: true
            text: "تأكيد البيع وحفظ البيانات"
            onClicked: salesDlg.confirmSale()
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
