import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Theme, exchange rates, company profile, export and backups.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "settingsPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "الإعدادات"
            subtitle: "إعدادات النظام والنسخ الاحتياطي"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
