pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Darvelinto

// The one application window: theme, background, the notice, and the flow from the log-in page
// through the first-run setup page to the main frame (and back to the log-in page on log-out).
ApplicationWindow {
    id: root

    readonly property alias notice: notice

    // Tells the user how an action went; see components/Notice.qml.
    function showNotice(title, text, kind) {
        notice.show(title, text, kind);
    }

    // The page the stack shows now: the log-in page, the setup page or the main frame.
    function currentScreen() {
        return mainStack.currentItem;
    }

    function enterAfterLogin() {
        mainStack.replace(Backend.settingsManager.isFirstRun ? setupScreen : mainScreen);
    }

    // A log-out drops the main frame with all its pages and dialogs; the next log-in builds a new
    // one, so nothing of the previous user's session is left on screen.
    function returnToLogin() {
        notice.dismiss();
        if (mainStack.currentItem && mainStack.currentItem.objectName !== "loginPage")
            mainStack.replace(loginScreen);
    }

    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 700
    visible: true
    title: "Darvelinto - نظام إدارة العقارات والمحاسبة"
    color: Theme.bgPrimary

    // The interface is Arabic: everything in the window, popups included, is laid out right to
    // left. Files are written left to right (anchors, rows, text alignment) and mirrored here.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    Binding {
        target: Theme
        property: "mode"
        value: Backend.settingsManager ? Backend.settingsManager.themeMode : "dark"
    }


    Connections {
        target: Notifier
        function onRequested(title, text, kind) {
            notice.show(title, text, kind);
        }
    }

    Connections {
        target: Backend.authCtrl
        function onAuthChanged() {
            if (!Backend.authCtrl.isLoggedIn)
                root.returnToLogin();
        }
    }

    background: Rectangle {
        gradient: Gradient {
            GradientStop {
                position: 0.0
                color: Theme.gradientTop
            }
            GradientStop {
                position: 0.55
                color: Theme.bgPrimary
            }
            GradientStop {
                position: 1.0
                color: Theme.gradientBottom
            }
        }

        Rectangle {
            readonly property real diameter: 0.42 * root.width
            x: -0.12 * diameter
            y: -0.28 * diameter
            width: diameter
            height: diameter
            radius: diameter / 2
            color: Theme.glowOne
            opacity: Theme.glowOneOpacity
        }
        Rectangle {
            readonly property real diameter: 0.32 * root.width
            x: parent.width - width + 0.08 * diameter
            y: parent.height - height + 0.22 * diameter
            width: diameter
            height: diameter
            radius: diameter / 2
            color: Theme.glowTwo
            opacity: Theme.glowTwoOpacity
        }
    }

    StackView {
        id: mainStack
        objectName: "mainStack"
        anchors.fill: parent
        initialItem: loginScreen

        pushEnter: Transition {
            NumberAnimation {
                property: "opacity"
                from: 0
                to: 1
                duration: 300
                easing.type: Easing.InOutQuad
            }
            NumberAnimation {
                property: "x"
                from: -50
                to: 0
                duration: 300
                easing.type: Easing.OutCubic
            }
        }
        pushExit: Transition {
            NumberAnimation {
                property: "opacity"
                from: 1
                to: 0
                duration: 200
            }
        }
        popEnter: Transition {
            NumberAnimation {
                property: "opacity"
                from: 0
                to: 1
                duration: 300
            }
        }
        popExit: Transition {
            NumberAnimation {
                property: "opacity"
                from: 1
                to: 0
                duration: 200
            }
        }
        replaceEnter: Transition {
            NumberAnimation {
                property: "opacity"
                from: 0
                to: 1
                duration: 300
                easing.type: Easing.InOutQuad
            }
        }
        replaceExit: Transition {
            NumberAnimation {
                property: "opacity"
                from: 1
                to: 0
                duration: 200
            }
        }
    }

    Component {
        id: loginScreen
        LoginPage {
            onLoginSuccess: root.enterAfterLogin()
        }
    }
    Component {
        id: setupScreen
        SetupPage {
            onSetupComplete: mainStack.replace(mainScreen)
        }
    }
    Component {
        id: mainScreen
        MainApp {}
    }

    Notice {
        id: notice
        objectName: "notice"
        parent: Overlay.overlay
        z: 10000
        anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
        anchors.bottom: parent ? parent.bottom : undefined
        anchors.bottomMargin: 32
    }
}
