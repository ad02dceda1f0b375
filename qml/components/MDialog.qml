import QtQuick
import QtQuick.Controls
import Darvelinto

// The modal popup every dialog is built on: a header bar with the title and a close button, and a
// content area under it (margins 25). Items declared inside an MDialog go into the content area;
// give the top one `anchors.fill: parent`.
// Keyboard: Escape closes the dialog; Enter (outside a multi-line text) presses its accept button.
// Properties:
//   title        (string) shown in the header bar
//   contentArea  (alias, default) the children of the content area
//   acceptButton (AbstractButton) what Enter presses; by default the last filled (not outlined)
//                MButton of the content that is shown and enabled when Enter is pressed
// Plus Popup's own: width, height (default 500 x 400), open(), close(), opened(), closed().
Popup {
    id: dialog

    property string title: ""
    default property alias contentArea: content.data
    property AbstractButton acceptButton: null

    // The last shown, enabled, filled MButton under `item`, in the order the form is written.
    function lastFilledButton(item) {
        let found = null;
        const children = item.children;
        for (let i = 0; i < children.length; ++i) {
            const child = children[i];
            if (!child.visible)
                continue;
            const inner = lastFilledButton(child);
            if (inner)
                found = inner;
            else if (child instanceof MButton && !child.outline && child.enabled)
                found = child;
        }
        return found;
    }

    // Presses the accept button, as a click would; false when there is none to press.
    function acceptByKeyboard() {
        const button = acceptButton ? acceptButton : lastFilledButton(content);
        if (!button || !button.visible || !button.enabled)
            return false;
        button.clicked();
        return true;
    }

    width: 500
    height: 400
    modal: true
    focus: true
    padding: 0
    anchors.centerIn: Overlay.overlay
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: Theme.bgSecondary
        radius: 16
        border.width: 1
        border.color: Theme.borderColor
    }

    Rectangle {
        id: headerBar
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 1
        height: 56
        radius: 16
        color: Theme.bgElevated

        // Squares off the bottom corners of the rounded bar.
        Rectangle {
            anchors.right: parent.right
            anchors.left: parent.left
            anchors.bottom: parent.bottom
            height: parent.radius
            color: parent.color
        }

        Text {
            anchors.left: parent.left
            anchors.leftMargin: 20
            anchors.right: closeButton.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            text: dialog.title
            color: Theme.textPrimary
            font.pixelSize: 18
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }

        AbstractButton {
            id: closeButton
            objectName: "dialogCloseButton"
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 32
            height: 32
            hoverEnabled: true
            onClicked: dialog.close()

            background: Rectangle {
                radius: 16
                color: closeButton.hovered ? Theme.bgCard : "transparent"
            }
            contentItem: Text {
                text: Icons.close
                font.family: Icons.family
                color: Theme.textSecondary
                font.pixelSize: 24
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
        }

        Rectangle {
            anchors.right: parent.right
            anchors.left: parent.left
            anchors.bottom: parent.bottom
            height: 2
            color: Theme.accentGold
        }
    }

    // Key presses of the fields that they do not use themselves (a one-line field leaves Enter)
    // come up to here.
    FocusScope {
        id: content
        focus: true
        Keys.onReturnPressed: event => event.accepted = dialog.acceptByKeyboard()
        Keys.onEnterPressed: event => event.accepted = dialog.acceptByKeyboard()
        anchors.top: headerBar.bottom
        anchors.right: parent.right
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: 25
    }

    enter: Transition {
        NumberAnimation {
            property: "opacity"
            from: 0.0
            to: 1.0
            duration: 200
        }
        NumberAnimation {
            property: "scale"
            from: 0.9
            to: 1.0
            duration: 200
            easing.type: Easing.OutBack
        }
    }

    exit: Transition {
        NumberAnimation {
            property: "opacity"
            from: 1.0
            to: 0.0
            duration: 150
        }
        NumberAnimation {
            property: "scale"
            from: 1.0
            to: 0.85
            duration: 150
        }
    }
}
