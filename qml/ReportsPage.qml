import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Palette.js" as Palette

// Statements, reports and the written analysis.
Rectangle {
    id: page

    readonly property var hostWindow: ApplicationWindow.window
    readonly property var appTheme: hostWindow && hostWindow.appTheme ? hostWindow.appTheme : Palette.light

    objectName: "reportsPage"
    color: appTheme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "التقارير والتحليلات الذكية"
            subtitle: "تحليلات الأداء المالي المدعومة بالذكاء الاصطناعي"
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
