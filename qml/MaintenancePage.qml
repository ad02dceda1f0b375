import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Maintenance requests and their completion.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "maintenancePage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "الصيانة"
            subtitle: "إدارة طلبات الصيانة والإصلاحات"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
