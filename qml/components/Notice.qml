import QtQuick
import QtQuick.Layouts
import Darvelinto

// The short message over the window that tells the user how an action went, then fades.
// The window holds the one instance (above every page and dialog); pages and dialogs reach it
// through the window:
//
//     Notifier.show("نجاح", "تم حفظ البيانات", "success")
//     Notifier.show("خطأ", "تعذر حفظ البيانات", "error")
//
// Properties (read them in tests; set them through show()):
//   title, text (string)  what the notice says
//   kind        (string)  "success" (green), "error" (red) or "warning" (amber)
//   active      (bool)    true from show() until it fades (4 s, errors 6 s) or is clicked away
// Functions: show(title, text, kind), dismiss().
Rectangle {
    id: notice


    property string title: ""
    property string text: ""
    property string kind: "success"
    property bool active: false

    readonly property color kindColor: kind === "error" ? Theme.dangerColor : kind === "warning" ? Theme.warningColor : Theme.successColor

    function show(noticeTitle, noticeText, noticeKind) {
        title = noticeTitle || "";
        text = noticeText || "";
        kind = noticeKind || "success";
        active = true;
        hideTimer.restart();
    }

    function dismiss() {
        hideTimer.stop();
        active = false;
    }

    width: Math.min(560, Math.max(300, body.implicitWidth + 48))
    height: body.implicitHeight + 28
    radius: 12
    color: kindColor
    border.width: 1
    border.color: Qt.darker(kindColor, 1.25)
    opacity: active ? 1.0 : 0.0
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation {
            duration: 250
            easing.type: Easing.InOutQuad
        }
    }

    Timer {
        id: hideTimer
        interval: notice.kind === "error" ? 6000 : 4000
        onTriggered: notice.active = false
    }

    RowLayout {
        id: body
        anchors.fill: parent
        anchors.rightMargin: 24
        anchors.leftMargin: 24
        spacing: 12

        Text {
            textFormat: Text.PlainText
            text: notice.kind === "success" ? Icons.success : Icons.warning
            font.family: Icons.family
            color: Theme.fixed.textPrimary
            font.pixelSize: 22
            font.bold: true
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Text {
                Layout.fillWidth: true
                visible: notice.title.length > 0
                textFormat: Text.PlainText
                text: notice.title
                color: Theme.fixed.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            Text {
                Layout.fillWidth: true
                Layout.maximumWidth: 460
                textFormat: Text.PlainText
                text: notice.text
                color: Theme.fixed.textPrimary
                font.pixelSize: 13
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: notice.dismiss()
    }
}
