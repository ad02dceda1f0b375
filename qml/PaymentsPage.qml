import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Payments received against invoices.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "paymentsPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المدفوعات"
            subtitle: "تحصيل دفعات الإيجارات والفواتير ومتابعة المبالغ المسددة"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
