pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// A buyer's installment schedule: collect an installment or add one by hand.
MDialog {
    signal collectRequested(var record)
    signal addInstallmentRequested

    function reload() {
        scheduleList.reload();
    }


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
                onClicked: scheduleDialog.addInstallmentRequested()
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
            columnWidths: [120, 0, 120, 90, 80]
            headerVisible: true
            delegate: Component {
            InstallmentRow {
                list: scheduleList
                onCollectRequested: record => scheduleDialog.collectRequested(record)
            }
        }
            panelColor: Theme.bgInput
            rowAltColor: Theme.bgSecondary
        }
    }
}
