pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Records a pending cheque: received or issued, linked to a tenant, a buyer or nobody, in a
// currency with its rate. The parties and currencies are read afresh each time it opens; emits
// saved() once the back end took it.
MDialog {
    id: addDialog

    property var tenants: []
    property var buyers: []

    signal saved()

    function save() {
        const number = addNumber.text.trim();
        if (number.length === 0) {
            Notifier.refuse("أدخل رقم الشيك");
            return;
        }
        const amount = Format.positive(addAmount.text);
        if (isNaN(amount)) {
            Notifier.refuse(Format.positiveRequired("المبلغ"));
            return;
        }
        const currency = addCurrencyBox.currentEntry;
        if (!currency) {
            Notifier.refuse("اختر العملة");
            return;
        }
        const rate = Format.positive(addRate.text);
        if (isNaN(rate)) {
            Notifier.refuse(Format.positiveRequired("سعر الصرف"));
            return;
        }
        const due = addDue.text.trim();
        if (!Format.isDate(due)) {
            Notifier.refuse("أدخل تاريخ الاستحقاق بالشكل YYYY-MM-DD، مثل " + Format.ltr(Format.today()));
            return;
        }
        const link = addLinkBox.currentIndex;
        const party = addPartyBox.currentEntry;
        if (link > 0 && !party) {
            Notifier.refuse(link === 1 ? "اختر المستأجر أو اختر «بدون ربط»" : "اختر المشتري أو اختر «بدون ربط»");
            return;
        }
        const type = addTypeBox.currentIndex === 1 ? "issued" : "received";
        const buyerId = link === 2 && party ? party.id : 0;
        const tenantId = link === 1 && party ? party.id : 0;
        const id = Backend.chequeModel.add(number, type, amount, addBank.text.trim(), due, addDrawer.text.trim(), currency.id, rate, buyerId, tenantId);
        if (id <= 0) {
            Notifier.refuse("تعذر حفظ الشيك رقم " + number + ": " + Backend.chequeModel.lastError);
            return;
        }
        for (const field of [addNumber, addAmount, addDrawer])
            field.text = "";
        refresh();
        addDialog.close();
        Notifier.show("نجاح", "تم تسجيل الشيك رقم " + number, "success");
    }

    objectName: "addChequeDialog"
    title: "تسجيل شيك جديد"
    width: 540
    height: 620
    onAboutToShow: {
        tenants = Backend.tenantModel.getAll();
        buyers = Backend.buyerModel.getAll();
        addLinkBox.currentIndex = 0;
        addPartyBox.currentIndex = -1;
        addCurrencyBox.reload(Backend.currencyModel.getAll());
        if (addDue.text.trim().length === 0)
            addDue.text = Format.today();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        ScrollView {
            id: addScroller
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth
            clip: true

            ColumnLayout {
                width: addScroller.availableWidth
                spacing: 10

                ChoiceBox {
                    id: addTypeBox
                    objectName: "chequeTypeBox"
                    Layout.fillWidth: true
                    model: ["شيك مقبوض (وارد)", "شيك مدفوع (صادر)"]
                }
                ChoiceBox {
                    id: addLinkBox
                    objectName: "chequeLinkBox"
                    Layout.fillWidth: true
                    model: ["بدون ربط", "ربط بمستأجر", "ربط بمشتري"]
                    onActivated: addPartyBox.currentIndex = -1
                }
                ChoiceBox {
                    id: addPartyBox
                    objectName: "chequePartyBox"
                    Layout.fillWidth: true
                    visible: addLinkBox.currentIndex > 0
                    model: addLinkBox.currentIndex === 1 ? addDialog.tenants : addLinkBox.currentIndex === 2 ? addDialog.buyers : []
                    textRole: "full_name"
                    placeholder: "اختر الاسم..."
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    MTextField {
                        id: addNumber
                        objectName: "chequeNumberField"
                        Layout.fillWidth: true
                        label: "رقم الشيك"
                    }
                    MTextField {
                        id: addBank
                        objectName: "chequeBankField"
                        Layout.fillWidth: true
                        label: "اسم البنك"
                    }
                }
                MTextField {
                    id: addAmount
                    objectName: "chequeAmountField"
                    Layout.fillWidth: true
                    label: "المبلغ"
                    placeholderText: "0.00"
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    Text {
                        Layout.alignment: Qt.AlignBottom
                        Layout.bottomMargin: 12
                        text: "العملة:"
                        color: Theme.textSecondary
                        font.pixelSize: 13
                    }
                    ChoiceBox {
                        id: addCurrencyBox
                        objectName: "chequeCurrencyBox"
                        Layout.alignment: Qt.AlignBottom
                        Layout.preferredWidth: 130
                        textRole: "code"
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                    MTextField {
                        id: addRate
                        objectName: "chequeRateField"
                        Layout.preferredWidth: 110
                        Layout.fillWidth: false
                        label: "سعر الصرف"
                        text: "1.0"
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    MTextField {
                        id: addDue
                        objectName: "chequeDueField"
                        Layout.preferredWidth: 200
                        Layout.fillWidth: false
                        label: "تاريخ الاستحقاق (YYYY-MM-DD)"
                        text: Format.today()
                    }
                    MTextField {
                        id: addDrawer
                        objectName: "chequeDrawerField"
                        Layout.fillWidth: true
                        label: "اسم الساحب / المستفيد"
                    }
                }
            }
        }
        MButton {
            objectName: "saveChequeButton"
            Layout.fillWidth: true
            text: "حفظ الشيك"
            onClicked: addDialog.save()
        }
    }
}
