import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Buyers, unit sales and installments.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "buyersPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المشترون والمبيعات"
            subtitle: "إدارة المشترين وعقود التمليك والأقساط"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
