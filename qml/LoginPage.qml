pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The first screen: user name and password. Drawn in fixed dark colours whatever the theme.
// The default credentials are filled in and shown only while the administrator still has the
// default password; once it is changed they would only mislead (and advertise a stale secret).
Rectangle {
    id: page

    readonly property bool showDefaults: Backend.authCtrl.usingDefaultPassword === true
    readonly property string defaultUser: "admin"
    readonly property string defaultPassword: "qorvu"
    property bool failed: false

    signal loginSuccess

    // Texts are passed as they stand; the back end trims and checks them.
    function attemptLogin() {
        if (Backend.authCtrl.login(userField.text, passwordField.text)) {
            loginSuccess();
        } else {
            failed = true;
        }
    }

    // Fills both fields and logs in, as a user typing them would.
    function submit(user, password) {
        userField.text = user;
        passwordField.text = password;
        attemptLogin();
    }

    objectName: "loginPage"
    color: Theme.fixed.pageBg

    // Drifting gold dots. Positions are fractions of the page, so they spread over the whole
    // page whatever its size when the dots are made.
    Repeater {
        model: 20

        Rectangle {
            id: dot
            readonly property real size: 2 + Math.random() * 4
            readonly property real fromY: Math.random()
            readonly property real toY: Math.random()
            readonly property real xFraction: Math.random()
            property real yFraction: fromY

            x: xFraction * page.width
            y: yFraction * page.height
            width: size
            height: size
            radius: size / 2
            color: Theme.fixed.gold
            opacity: 0.05 + Math.random() * 0.15

            SequentialAnimation on yFraction {
                loops: Animation.Infinite
                NumberAnimation {
                    to: dot.toY
                    duration: 5000 + Math.random() * 8000
                    easing.type: Easing.InOutSine
                }
                NumberAnimation {
                    to: dot.fromY
                    duration: 5000 + Math.random() * 8000
                    easing.type: Easing.InOutSine
                }
            }
            SequentialAnimation on opacity {
                loops: Animation.Infinite
                NumberAnimation {
                    to: Math.random() * 0.2
                    duration: 3000
                }
                NumberAnimation {
                    to: 0.05
                    duration: 3000
                }
            }
        }
    }

    ColumnLayout {
        anchors.centerIn: parent
        width: 420
        spacing: 20

        Image {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 80
            Layout.preferredHeight: 80
            source: "qrc:/assets/logo.ico"
            sourceSize.width: 160
            sourceSize.height: 160
            fillMode: Image.PreserveAspectFit
            smooth: true

            SequentialAnimation on scale {
                loops: Animation.Infinite
                NumberAnimation {
                    from: 1.0
                    to: 1.05
                    duration: 2000
                    easing.type: Easing.InOutSine
                }
                NumberAnimation {
                    from: 1.05
                    to: 1.0
                    duration: 2000
                    easing.type: Easing.InOutSine
                }
            }
        }

        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "Darvelinto"
            color: Theme.fixed.gold
            font.pixelSize: 36
            font.bold: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "نظام إدارة العقارات والمحاسبة"
            color: Theme.fixed.textSecondary
            font.pixelSize: 14
        }
        Item {
            Layout.preferredHeight: 20
        }

        Rectangle {
            id: card
            Layout.fillWidth: true
            Layout.preferredHeight: form.implicitHeight + 60
            radius: 16
            color: Theme.fixed.card
            border.width: 1
            border.color: Theme.fixed.cardBorder

            Rectangle {
                anchors.fill: parent
                anchors.margins: -1
                radius: 17
                color: "transparent"
                border.width: 1
                border.color: Theme.fixed.gold
                opacity: 0.2
            }

            ColumnLayout {
                id: form
                anchors.fill: parent
                anchors.margins: 30
                spacing: 20

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 8

                    Text {
                        Layout.fillWidth: true
                        text: "اسم المستخدم"
                        color: Theme.fixed.textSecondary
                        font.pixelSize: 14
                        horizontalAlignment: Text.AlignLeft
                    }
                    LoginField {
                        id: userField
                        objectName: "userField"
                        Layout.fillWidth: true
                        symbol: Icons.user
                        placeholderText: "admin"
                        text: page.showDefaults ? page.defaultUser : ""
                        onAccepted: passwordField.forceActiveFocus()
                    }
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 8

                    Text {
                        Layout.fillWidth: true
                        text: "كلمة المرور"
                        color: Theme.fixed.textSecondary
                        font.pixelSize: 14
                        horizontalAlignment: Text.AlignLeft
                    }
                    LoginField {
                        id: passwordField
                        objectName: "passwordField"
                        Layout.fillWidth: true
                        symbol: Icons.lock
                        placeholderText: "••••••"
                        text: page.showDefaults ? page.defaultPassword : ""
                        echoMode: revealButton.checked ? TextInput.Normal : TextInput.Password
                        onAccepted: page.attemptLogin()

                        AbstractButton {
                            id: revealButton
                            objectName: "revealButton"
                            anchors.right: parent.right
                            anchors.rightMargin: 5
                            anchors.verticalCenter: parent.verticalCenter
                            width: 30
                            height: 30
                            checkable: true
                            focusPolicy: Qt.NoFocus
                            contentItem: Text {
                                text: revealButton.checked ? Icons.show : Icons.hide
                                color: Theme.fixed.textSecondary
                                font.pixelSize: 20
                                font.family: Icons.family
                                horizontalAlignment: Text.AlignHCenter
                                verticalAlignment: Text.AlignVCenter
                            }
                        }
                    }
                }

                Text {
                    objectName: "loginError"
                    Layout.fillWidth: true
                    visible: page.failed
                    text: "اسم المستخدم أو كلمة المرور غير صحيحة"
                    color: Theme.fixed.error
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignHCenter
                }

                Button {
                    id: loginButton
                    objectName: "loginButton"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 50
                    hoverEnabled: true
                    text: "تسجيل الدخول"
                    scale: pressed ? 0.97 : 1.0
                    onClicked: page.attemptLogin()

                    Behavior on scale {
                        NumberAnimation {
                            duration: 100
                        }
                    }

                    contentItem: Text {
                        text: loginButton.text
                        color: Theme.fixed.pageBg
                        font.pixelSize: 16
                        font.bold: true
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                    background: Rectangle {
                        radius: 10
                        gradient: Gradient {
                            GradientStop {
                                position: 0.0
                                color: loginButton.hovered ? Theme.fixed.goldLight : Theme.fixed.gold
                            }
                            GradientStop {
                                position: 1.0
                                color: loginButton.hovered ? Theme.fixed.gold : Theme.fixed.goldDark
                            }
                        }
                    }
                }

                Text {
                    objectName: "defaultsHint"
                    Layout.fillWidth: true
                    visible: page.showDefaults
                    text: "بيانات الدخول الافتراضية: " + page.defaultUser + " / " + page.defaultPassword
                    color: Theme.fixed.textMuted
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignHCenter
                }
            }
        }

        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "Darvelinto © " + Format.today().substring(0, 4)
            color: Theme.fixed.textFaint
            font.pixelSize: 11
        }
    }
}
