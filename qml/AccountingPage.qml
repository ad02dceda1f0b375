import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Chart of accounts, journal and cost centres.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "accountingPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المحاسبة"
            subtitle: "نظام القيد المزدوج - دليل الحسابات وقيود اليومية"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
