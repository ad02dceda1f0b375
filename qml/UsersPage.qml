pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// User accounts: the list with each user's latest log-in; an administrator adds and removes users,
// and every user can change their own password. Drawn in fixed dark colours whatever the theme.
Rectangle {
    id: page

    property var users: []
    readonly property bool isAdmin: Backend.authCtrl.currentRole === "admin"

    function refresh() {
        users = Backend.authCtrl.getUsers();
    }



    // The built-in administrator can never be removed, whatever the letter case.
    function isBuiltInAdmin(username) {
        return String(username).toLowerCase() === "admin";
    }

    // Log-in trims what is typed, so a name or password stored with blanks around it could never
    // be matched: store them trimmed.
    function addUser() {
        const name = newUserName.text.trim();
        const password = newUserPassword.text.trim();
        if (name.length === 0 || password.length === 0) {
            Notifier.show("خطأ", "أدخل اسم المستخدم وكلمة المرور", "error");
            return;
        }
        const role = roleBox.currentIndex === 1 ? "admin" : "user";
        if (!Backend.authCtrl.registerUser(name, password, role)) {
            Notifier.refuse(Backend.authCtrl.lastError);
            return;
        }
        refresh();
        addDialog.close();
        newUserName.text = "";
        newUserPassword.text = "";
        Notifier.show("نجاح", "تمت إضافة المستخدم " + name, "success");
    }

    function askRemove(username) {
        confirmDialog.ask("حذف مستخدم", "سيتم حذف المستخدم \"" + username + "\" نهائياً ولن يتمكن من الدخول إلى النظام. هل تريد المتابعة؟", function () {
            if (Backend.authCtrl.removeUser(username)) {
                page.refresh();
                Notifier.show("نجاح", "تم حذف المستخدم " + username, "success");
            } else {
                Notifier.refuse(Backend.authCtrl.lastError);
            }
        });
    }

    function changeOwnPassword() {
        const newPassword = newPasswordField.text.trim();
        if (oldPasswordField.text.length === 0 || newPassword.length === 0) {
            Notifier.show("خطأ", "أدخل كلمة المرور الحالية والجديدة", "error");
            return;
        }
        if (newPassword !== repeatPasswordField.text.trim()) {
            Notifier.show("خطأ", "كلمة المرور الجديدة وتأكيدها غير متطابقين", "error");
            return;
        }
        if (!Backend.authCtrl.changePassword(oldPasswordField.text, newPassword)) {
            Notifier.refuse(Backend.authCtrl.lastError);
            return;
        }
        passwordDialog.close();
        oldPasswordField.text = "";
        newPasswordField.text = "";
        repeatPasswordField.text = "";
        Notifier.show("نجاح", "تم تغيير كلمة المرور", "success");
    }

    objectName: "usersPage"
    color: Theme.fixed.pageBg

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 4

                Text {
                    Layout.fillWidth: true
                    text: "إدارة المستخدمين"
                    color: Theme.fixed.textPrimary
                    font.pixelSize: 24
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    Layout.fillWidth: true
                    text: "التحكم في صلاحيات الوصول للنظام"
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
            }

            MButton {
                objectName: "changePasswordButton"
                text: "تغيير كلمة المرور"
                iconSymbol: Icons.password
                outline: true
                onClicked: passwordDialog.open()
            }
            MButton {
                objectName: "addUserButton"
                visible: page.isAdmin
                text: "مستخدم جديد"
                iconSymbol: Icons.add
                onClicked: addDialog.open()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 14
            color: Theme.fixed.card
            border.width: 1
            border.color: Theme.fixed.cardBorder
            clip: true

            ListView {
                id: userList
                objectName: "userList"
                anchors.fill: parent
                anchors.margins: 15
                spacing: 5
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: page.users
                ScrollBar.vertical: ScrollBar {}

                delegate: Rectangle {
                    id: entry
                    required property var modelData
                    required property int index

                    objectName: "userEntry_" + modelData.username
                    width: ListView.view.width
                    height: 50
                    radius: 8
                    color: Theme.fixed.rowBg

                    RowLayout {
                        anchors.fill: parent
                        anchors.margins: 10
                        spacing: 12

                        Text {
                            text: Icons.user
                            color: Theme.fixed.gold
                            font.pixelSize: 20
                            font.family: Icons.family
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 0

                            Text {
                                Layout.fillWidth: true
                                text: entry.modelData.username
                                color: Theme.fixed.textPrimary
                                font.bold: true
                                font.pixelSize: 14
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.fillWidth: true
                                text: entry.modelData.role === "admin" ? "مدير نظام" : "موظف"
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 11
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                        Text {
                            objectName: "lastLogin"
                            text: "آخر دخول: " + (entry.modelData.last_login ? entry.modelData.last_login : "أبداً")
                            color: Theme.fixed.textMuted
                            font.pixelSize: 11
                        }
                        MButton {
                            objectName: "removeUserButton"
                            Layout.preferredWidth: 32
                            Layout.preferredHeight: 32
                            implicitHeight: 32
                            leftPadding: 0
                            rightPadding: 0
                            // Neither the built-in administrator nor the account in use can be removed.
                            visible: page.isAdmin && !page.isBuiltInAdmin(entry.modelData.username) && entry.modelData.username !== Backend.authCtrl.currentUsername
                            text: Icons.remove
                            font.family: Icons.family
                            outline: true
                            btnColor: Theme.fixed.error
                            onClicked: page.askRemove(entry.modelData.username)
                        }
                    }
                }
            }
        }
    }

    MDialog {
        id: addDialog
        objectName: "addUserDialog"
        title: "إضافة مستخدم"
        width: 350
        height: 350

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            MTextField {
                id: newUserName
                objectName: "newUserName"
                Layout.fillWidth: true
                label: "اسم المستخدم"
            }
            MTextField {
                id: newUserPassword
                objectName: "newUserPassword"
                Layout.fillWidth: true
                label: "كلمة المرور"
                echoMode: TextInput.Password
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "الصلاحية:"
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 13
                }
                ComboBox {
                    id: roleBox
                    objectName: "roleBox"
                    Layout.fillWidth: true
                    model: ["موظف", "مدير نظام"]

                    background: Rectangle {
                        implicitHeight: 40
                        radius: 10
                        color: Theme.fixed.pageBg
                        border.width: 1
                        border.color: Theme.fixed.cardBorder
                    }
                    contentItem: Text {
                        rightPadding: 10
                        leftPadding: 30
                        text: roleBox.displayText
                        color: Theme.fixed.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "saveUserButton"
                Layout.fillWidth: true
                text: "حفظ"
                onClicked: page.addUser()
            }
        }
    }

    MDialog {
        id: passwordDialog
        objectName: "passwordDialog"
        title: "تغيير كلمة المرور"
        width: 380
        height: 410

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            MTextField {
                id: oldPasswordField
                objectName: "oldPasswordField"
                Layout.fillWidth: true
                label: "كلمة المرور الحالية"
                echoMode: TextInput.Password
            }
            MTextField {
                id: newPasswordField
                objectName: "newPasswordField"
                Layout.fillWidth: true
                label: "كلمة المرور الجديدة"
                echoMode: TextInput.Password
            }
            MTextField {
                id: repeatPasswordField
                objectName: "repeatPasswordField"
                Layout.fillWidth: true
                label: "تأكيد كلمة المرور الجديدة"
                echoMode: TextInput.Password
                onAccepted: page.changeOwnPassword()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "savePasswordButton"
                Layout.fillWidth: true
                text: "حفظ كلمة المرور"
                onClicked: page.changeOwnPassword()
            }
        }
    }

    ConfirmDialog {
        id: confirmDialog
        objectName: "confirmDialog"
        confirmText: "حذف المستخدم"
    }
}
