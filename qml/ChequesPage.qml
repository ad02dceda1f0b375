pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The cheque register: five cuts (all, received, issued, post-dated, to collect today), the count
// and sum of every status, cashing a pending cheque and returning a pending or cashed one (each
// asked first) and recording a cheque, linked to a tenant or a buyer or to nobody.
Rectangle {
    id: chequesRoot


    readonly property var cuts: [
        {
            "label": "الكل",
            "cut": "all"
        },
        {
            "label": "واردة",
            "cut": "received"
        },
        {
            "label": "صادرة",
            "cut": "issued"
        },
        {
            "label": "مؤجلة",
            "cut": "postdated"
        },
        {
            "label": "للتحصيل اليوم",
            "cut": "due"
        }
    ]
    property var totals: ({})

    readonly property var statusBoxes: [
        {
            "status": "pending",
            "label": "معلق",
            "color": Theme.warningColor,
            "background": Theme.bgAccentSoft
        },
        {
            "status": "paid",
            "label": "تم الصرف",
            "color": Theme.successColor,
            "background": Theme.fixed.successSoft
        },
        {
            "status": "bounced",
            "label": "مرتجع",
            "color": Theme.dangerColor,
            "background": Theme.fixed.errorSoft
        }
    ]
    readonly property var chequeStatuses: ({
            "paid": {
                "label": "تم الصرف",
                "color": Theme.successColor,
                "background": Theme.fixed.successSoft
            },
            "pending": {
                "label": "مؤجل",
                "color": Theme.warningColor,
                "background": Theme.bgAccentSoft
            },
            "bounced": {
                "label": "مرتجع",
                "color": Theme.dangerColor,
                "background": Theme.fixed.errorSoft
            }
        })

    // Every action changes the totals and may move a cheque between cuts: both are read again.
    property int currentTab: 0

    function currentCut() {
        return cuts[currentTab].cut;
    }

    function showCut(index) {
        currentTab = index;
        chequeList.reload();
    }

    function refresh() {
        totals = Backend.chequeModel.getStatusTotals();
        chequeList.reload();
    }



    function totalOf(status) {
        const entry = totals[status];
        return entry ? entry : {
            "count": 0,
            "total": 0
        };
    }

    function partyOf(record) {
        const names = [record.buyer_name, record.tenant_name, record.payer_name, record.payee_name];
        for (const name of names)
            if (name)
                return name;
        return "-";
    }

    // A cheque of an installment moves the installment's money with it: cashing collects it, the
    // return of a cashed one takes that collection back. The back end says why it refuses.
    function askStatus(record, status) {
        const cashing = status === "paid";
        const ofInstallment = !!record.installment_id;
        const effect = !ofInstallment ? "" : cashing ? " وسيُحصَّل به القسط المرتبط به." : record.status === "paid" ? " وسيُلغى ما حُصِّل به من القسط المرتبط به." : "";
        const message = "سيتم تعليم الشيك رقم " + record.cheque_number + " بمبلغ " + Format.amount(record.amount, record.currency_symbol) + (cashing ? " على أنه تم صرفه." : " على أنه مرتجع.") + effect + " هل تريد المتابعة؟";
        confirm.destructive = !cashing;
        confirm.confirmText = cashing ? "تأكيد الصرف" : "تأكيد الارتجاع";
        confirm.ask(cashing ? "صرف شيك" : "ارتجاع شيك", message, function () {
            const done = Backend.chequeModel.updateStatus(record.id, status);
            chequesRoot.refresh();
            if (!done) {
                Notifier.refuse(Backend.chequeModel.lastError || "تعذر تغيير حالة الشيك رقم " + record.cheque_number);
                return;
            }
            Notifier.show("نجاح", cashing ? "تم صرف الشيك رقم " + record.cheque_number : "تم تسجيل الشيك رقم " + record.cheque_number + " مرتجعاً", "success");
        });
    }

    function saveCheque() {
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
            Notifier.refuse("تعذر حفظ الشيك رقم " + number);
            return;
        }
        for (const field of [addNumber, addAmount, addDrawer])
            field.text = "";
        refresh();
        addDialog.close();
        Notifier.show("نجاح", "تم تسجيل الشيك رقم " + number, "success");
    }

    objectName: "chequesPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة الشيكات"
            subtitle: "الشيكات الواردة والصادرة والمرتبطة بالأقساط والتحصيل اليومي"

            MButton {
                objectName: "addChequeButton"
                text: "تسجيل شيك"
                iconSymbol: Icons.add
                onClicked: addDialog.open()
            }
        }

        // The five cuts, the first at the right as the page reads.
        Rectangle {
            objectName: "chequeTabs"
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            radius: 10
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.margins: 4
                spacing: 4

                Repeater {
                    model: chequesRoot.cuts

                    AbstractButton {
                        id: tab
                        required property var modelData
                        required property int index
                        readonly property bool chosen: chequesRoot.currentTab === index

                        objectName: "tab_" + modelData.cut
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        hoverEnabled: true
                        text: modelData.label
                        onClicked: chequesRoot.showCut(index)

                        contentItem: Text {
                            text: tab.text
                            color: tab.chosen ? Theme.accentGold : Theme.textSecondary
                            font.pixelSize: 13
                            font.bold: tab.chosen
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                        background: Rectangle {
                            radius: 8
                            color: tab.chosen ? Theme.bgElevated : (tab.hovered ? Qt.rgba(0.5, 0.5, 0.5, 0.08) : "transparent")

                            Rectangle {
                                anchors.right: parent.right
                                anchors.left: parent.left
                                anchors.bottom: parent.bottom
                                anchors.rightMargin: 14
                                anchors.leftMargin: 14
                                height: 2
                                radius: 1
                                visible: tab.chosen
                                color: Theme.accentGold
                            }
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 15

            Repeater {
                model: chequesRoot.statusBoxes

                Rectangle {
                    id: statusBox
                    required property var modelData
                    readonly property var figures: chequesRoot.totalOf(modelData.status)

                    objectName: "statusBox_" + modelData.status
                    Layout.fillWidth: true
                    Layout.preferredHeight: 58
                    radius: 10
                    color: modelData.background
                    border.width: 1
                    border.color: modelData.color

                    Column {
                        anchors.centerIn: parent
                        spacing: 2

                        Text {
                            objectName: "statusCount"
                            anchors.horizontalCenter: parent.horizontalCenter
                            textFormat: Text.PlainText
                            text: statusBox.modelData.label + ": " + statusBox.figures.count
                            color: statusBox.modelData.color
                            font.pixelSize: 13
                            font.bold: true
                        }
                        Text {
                            objectName: "statusSum"
                            anchors.horizontalCenter: parent.horizontalCenter
                            textFormat: Text.PlainText
                            text: Format.amount(statusBox.figures.total)
                            color: statusBox.modelData.color
                            font.pixelSize: 11
                        }
                    }
                }
            }
        }

        PagedList {
            id: chequeList
            objectName: "chequeList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            searchPlaceholder: "بحث برقم الشيك أو البنك أو الاسم أو تاريخ الاستحقاق..."
            emptyText: "لا توجد شيكات في هذا القسم"
            fetch: (offset, limit, search) => Backend.chequeModel.getPage(chequesRoot.currentCut(), offset, limit, search)
            delegate: chequeCard
            panelColor: Theme.bgSecondary
        }
    }

    Component {
        id: chequeCard

        Item {
            id: card
            required property var record
            required property int index
            readonly property bool received: record.type === "received"
            readonly property bool pending: record.status === "pending"
            // The bank can still return a cheque after it was cashed.
            readonly property bool returnable: pending || record.status === "paid"

            objectName: "cheque_" + record.cheque_number
            width: ListView.view.width
            height: 90

            Rectangle {
                anchors.fill: parent
                anchors.rightMargin: 10
                anchors.leftMargin: 10
                anchors.topMargin: 4
                anchors.bottomMargin: 4
                radius: 10
                color: Theme.bgCard
                border.width: 1
                border.color: Theme.borderColor

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 14
                    anchors.leftMargin: 14
                    spacing: 14

                    Rectangle {
                        Layout.preferredWidth: 42
                        Layout.preferredHeight: 42
                        radius: 21
                        color: card.received ? Theme.fixed.successSoft : Theme.fixed.errorSoft

                        Text {
                            anchors.centerIn: parent
                            textFormat: Text.PlainText
                            text: card.received ? Icons.received : Icons.issued
                            color: card.received ? Theme.fixed.success : Theme.fixed.error
                            font.pixelSize: 22
                            font.family: Icons.family
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 3

                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: "رقم: " + card.record.cheque_number
                            color: Theme.textPrimary
                            font.pixelSize: 14
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            objectName: "partyLine"
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: chequesRoot.partyOf(card.record) + (card.record.unit_number ? " | " + (card.record.property_name || "") + " - وحدة " + card.record.unit_number : "")
                            color: Theme.textSecondary
                            font.pixelSize: 11
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: (card.record.bank_name || "-") + " | استحقاق: " + Format.ltr(card.record.due_date || "")
                            color: Theme.textMuted
                            font.pixelSize: 11
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                    }
                    RowLayout {
                        visible: card.returnable
                        spacing: 8

                        MButton {
                            objectName: "cashButton"
                            visible: card.pending
                            Layout.preferredHeight: 30
                            implicitHeight: 30
                            leftPadding: 10
                            rightPadding: 10
                            text: "صرف"
                            iconSymbol: Icons.done
                            font.pixelSize: 12
                            onClicked: chequesRoot.askStatus(card.record, "paid")
                        }
                        MButton {
                            objectName: "bounceButton"
                            Layout.preferredHeight: 30
                            implicitHeight: 30
                            leftPadding: 10
                            rightPadding: 10
                            text: "ارتجاع"
                            iconSymbol: Icons.close
                            font.pixelSize: 12
                            outline: true
                            btnColor: Theme.dangerColor
                            onClicked: chequesRoot.askStatus(card.record, "bounced")
                        }
                    }
                    ColumnLayout {
                        Layout.preferredWidth: 130
                        Layout.fillWidth: false
                        spacing: 4

                        Text {
                            objectName: "chequeAmount"
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: Format.amount(card.record.amount, card.record.currency_symbol)
                            color: Theme.accentGold
                            font.pixelSize: 15
                            font.bold: true
                            horizontalAlignment: Text.AlignRight
                        }
                        StatusBadge {
                            objectName: "chequeStatus"
                            Layout.alignment: Qt.AlignRight
                            Layout.preferredWidth: 92
                            Layout.preferredHeight: 22
                            radius: 6
                            status: card.record.status || ""
                            mapping: chequesRoot.chequeStatuses
                            fallbackLabel: chequesRoot.chequeStatuses.bounced.label
                            fallbackColor: Theme.dangerColor
                        }
                    }
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "chequeConfirm"
    }

    MDialog {
        id: addDialog

        property var tenants: []
        property var buyers: []
        property var currencyList: []

        objectName: "addChequeDialog"
        title: "تسجيل شيك جديد"
        width: 540
        height: 620
        onAboutToShow: {
            tenants = Backend.tenantModel.getAll();
            buyers = Backend.buyerModel.getAll();
            addLinkBox.currentIndex = 0;
            addPartyBox.currentIndex = -1;
            const chosen = addCurrencyBox.currentEntry ? addCurrencyBox.currentEntry.id : undefined;
            currencyList = Backend.currencyModel.getAll();
            const again = chosen === undefined ? -1 : addCurrencyBox.indexWhere(row => row.id === chosen);
            addCurrencyBox.currentIndex = again >= 0 ? again : (currencyList.length > 0 ? 0 : -1);
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
                            model: addDialog.currencyList
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
                onClicked: chequesRoot.saveCheque()
            }
        }
    }
}
