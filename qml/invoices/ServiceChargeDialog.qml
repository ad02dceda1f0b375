pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// A service charge (water, power, cleaning...) to every tenant of a property for one period;
// emits ran(outcome) with what the back end reports.
MDialog {
    id: serviceDialog

    readonly property var serviceKinds: ["مياه", "كهرباء", "صيانة عامة", "تنظيف", "مصعد", "حراسة", "خدمة أخرى"]

    signal ran(var outcome)

    function issue() {
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
        if (!rateGuard.clear(currency.id, Format.today(), () => serviceDialog.issue()))
            return;
        const outcome = Backend.invoiceModel.issuePropertyService(property.id, serviceKindBox.textAt(serviceKindBox.currentIndex), amount, period, currency.id);
        close();
        ran(outcome);
    }

    objectName: "serviceDialog"
    title: "فاتورة خدمة جماعية"
    width: 500
    height: 560
    onAboutToShow: {
        servicePropertyBox.reload(Backend.propertyModel.getAll());
        serviceCurrencyBox.reload(Backend.currencyModel.getAll());
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
            model: serviceDialog.serviceKinds
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
            onClicked: serviceDialog.issue()
        }
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
