import QtQuick
import QtQuick.Layouts
import Darvelinto

// Asks before a destructive action (removing a user, deleting a record, restoring a backup).
// One instance per page is enough:
//
//     ConfirmDialog { id: confirm }
//     ...
//     confirm.ask("حذف المستخدم", "سيتم حذف المستخدم \"" + name + "\" نهائياً.", function() {
//         if (Backend.authCtrl.removeUser(name)) { ... } else { ... }
//     })
//
// Properties:
//   title        (string) dialog title, default "تأكيد العملية"
//   message      (string) what will happen, in plain words
//   confirmText  (string) the confirming button, default "تأكيد الحذف"
//   cancelText   (string) the other button, default "إلغاء"
//   destructive  (bool)   the confirming button is red (true, default) or gold
// Functions: ask(title, message, onConfirm) sets the texts, remembers the callback and opens.
// Signals: confirmed() after the confirming button (the callback runs right after it),
//          cancelled() when the dialog is closed any other way.
MDialog {
    id: dialog

    property string message: ""
    property string confirmText: "تأكيد الحذف"
    property string cancelText: "إلغاء"
    property bool destructive: true
    property var pendingAction: null
    property bool answered: false

    signal confirmed
    signal cancelled

    function ask(askTitle, askMessage, onConfirm) {
        if (askTitle)
            title = askTitle;
        message = askMessage || "";
        pendingAction = onConfirm || null;
        answered = false;
        open();
    }

    function accept() {
        const action = pendingAction;
        pendingAction = null;
        answered = true;
        close();
        confirmed();
        if (typeof action === "function")
            action();
    }

    title: "تأكيد العملية"
    width: 440
    height: 250
    onAboutToShow: answered = false
    onClosed: {
        if (!answered) {
            pendingAction = null;
            cancelled();
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 16

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            Text {
                Layout.alignment: Qt.AlignTop
                text: Icons.warning
                color: Theme.warningColor
                font.pixelSize: 28
                font.family: Icons.family
            }
            Text {
                objectName: "confirmMessage"
                Layout.fillWidth: true
                Layout.fillHeight: true
                textFormat: Text.PlainText
                text: dialog.message
                color: Theme.textPrimary
                font.pixelSize: 14
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignTop
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            MButton {
                objectName: "confirmButton"
                Layout.fillWidth: true
                text: dialog.confirmText
                btnColor: dialog.destructive ? Theme.dangerColor : Theme.accentGold
                textColor: dialog.destructive ? Theme.fixed.textPrimary : Theme.textOnAccent
                onClicked: dialog.accept()
            }
            MButton {
                objectName: "cancelButton"
                Layout.fillWidth: true
                text: dialog.cancelText
                outline: true
                btnColor: Theme.textSecondary
                onClicked: dialog.close()
            }
        }
    }
}
