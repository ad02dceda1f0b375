import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Invoices, the monthly rent run and service charges.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "invoicesPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "الفواتير"
            subtitle: "إدارة الفواتير والمستحقات - متعددة الخدمات والعملات"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
