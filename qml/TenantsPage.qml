import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Tenants with their contracts and statements.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "tenantsPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة المستأجرين"
            subtitle: "إدارة وتتبع جميع المستأجرين وعقودهم"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
