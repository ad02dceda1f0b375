pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// An invoice of line items for one tenant and period, in a chosen currency, with its running
// total. Tenants and currencies are read afresh each time it opens; emits issued() once the back
// end wrote it.
MDialog {
    id: customDialog

    property var lineItems: []
    readonly property double total: lineItems.reduce((sum, item) => sum + Number(item.total), 0)

    readonly property var lineKinds: ["إيجار", "مياه", "كهرباء", "صيانة", "مصعد", "تنظيف", "خدمة أخرى"]

    signal issued()

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

    function issue() {
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
        if (!rateGuard.clear(currency.id, Format.today(), () => customDialog.issue()))
            return;
        const id = Backend.invoiceModel.createInvoice(tenant.id, 0, period, customDialog.lineItems, currency.id);
        if (id <= 0) {
            Notifier.refuse("لم تصدر فاتورة " + tenant.full_name + ": " + Backend.invoiceModel.lastError);
            return;
        }
        const invoice = Backend.invoiceModel.getById(id);
        customDialog.lineItems = [];
        close();
        issued();
        Notifier.show("نجاح", "تم إصدار الفاتورة " + (invoice.invoice_number || "") + " للمستأجر " + tenant.full_name, "success");
    }

    objectName: "customInvoiceDialog"
    title: "إنشاء فاتورة مخصصة"
    width: 600
    height: 650
    onAboutToShow: {
        customTenantBox.reload(Backend.tenantModel.getAll());
        customCurrencyBox.reload(Backend.currencyModel.getAll());
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
                    model: customDialog.lineKinds
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
                    onAccepted: customDialog.addLineItem()

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
                    onClicked: customDialog.addLineItem()
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
                            onClicked: customDialog.removeLineItem(line.index)
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
            onClicked: customDialog.issue()
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
