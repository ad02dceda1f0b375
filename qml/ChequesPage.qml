import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// The cheque register.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "chequesPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة الشيكات"
            subtitle: "الشيكات الواردة والصادرة والمرتبطة بالأقساط والتحصيل اليومي"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
