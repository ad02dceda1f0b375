pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "Pages.js" as Pages

// The navigation column at the right of the main frame: logo, the twelve pages, and the logged-in
// user with the log-out button.
//
// Properties:
//   currentIndex (int)    the highlighted page (page index, see Pages.js)
//   userName     (string) shown under the initial circle; its first character is the initial
//   isAdmin      (bool)   role line "مدير النظام" instead of "مستخدم"
// Signals: menuSelected(index) after a click on an entry (currentIndex already set),
//          logoutRequested() from the log-out button.
Rectangle {
    id: sideBar


    property int currentIndex: 0
    property string userName: ""
    property bool isAdmin: false

    signal menuSelected(int index)
    signal logoutRequested

    implicitWidth: 240
    color: Theme.bgSidebar
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 1
        spacing: 0

        Item {
            Layout.fillWidth: true
            Layout.preferredHeight: 100

            Row {
                anchors.centerIn: parent
                spacing: 12

                Rectangle {
                    width: 40
                    height: 40
                    radius: 10
                    color: Theme.bgElevated
                    border.width: 1.5
                    border.color: Theme.accentGold

                    Image {
                        anchors.centerIn: parent
                        width: 24
                        height: 24
                        source: "qrc:/assets/logo.ico"
                        sourceSize.width: 48
                        sourceSize.height: 48
                        fillMode: Image.PreserveAspectFit
                        smooth: true
                    }
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Darvelinto"
                    color: Theme.textPrimary
                    font.pixelSize: 22
                    font.bold: true
                    font.letterSpacing: 1
                }
            }
        }

        ListView {
            id: menu
            objectName: "sideBarMenu"
            Layout.fillWidth: true
            Layout.fillHeight: true
            topMargin: 10
            bottomMargin: 8
            spacing: 4
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: Pages.list

            // Entries are 48 high where the window is tall enough; on a shorter window they
            // close up so that all twelve stay in view without scrolling.
            readonly property real entryHeight: Math.max(30, Math.min(48, (height - topMargin - bottomMargin - (count - 1) * spacing) / Math.max(1, count)))

            delegate: Item {
                id: entry
                required property var modelData
                required property int index
                readonly property bool selected: index === sideBar.currentIndex

                objectName: "sideBarEntry" + index
                width: ListView.view.width
                height: menu.entryHeight

                Rectangle {
                    anchors.fill: parent
                    anchors.rightMargin: 12
                    anchors.leftMargin: 12
                    radius: 8
                    color: entry.selected ? Theme.bgElevated : entryHover.hovered ? Theme.bgSecondary : "transparent"

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 15
                        anchors.leftMargin: 15
                        spacing: 12

                        Text {
                            Layout.preferredWidth: 24
                            text: Icons[entry.modelData.icon]
                            font.family: Icons.family
                            color: entry.selected ? Theme.accentGold : Theme.textSecondary
                            font.pixelSize: 18
                            horizontalAlignment: Text.AlignHCenter
                        }
                        Text {
                            Layout.fillWidth: true
                            text: entry.modelData.label
                            color: entry.selected ? Theme.textPrimary : Theme.textSecondary
                            font.pixelSize: 14
                            font.bold: entry.selected
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                    }
                }

                Rectangle {
                    visible: entry.selected
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    width: 4
                    height: 24
                    radius: 2
                    color: Theme.accentGold
                }

                HoverHandler {
                    id: entryHover
                    cursorShape: Qt.PointingHandCursor
                }
                TapHandler {
                    onTapped: {
                        sideBar.currentIndex = entry.index;
                        sideBar.menuSelected(entry.index);
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 1
            color: Theme.borderColor
        }

        Item {
            Layout.fillWidth: true
            Layout.preferredHeight: 80

            Rectangle {
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.top: parent.top
                height: 1
                color: Theme.borderColor
            }

            RowLayout {
                anchors.fill: parent
                anchors.margins: 15
                spacing: 12

                Rectangle {
                    Layout.preferredWidth: 40
                    Layout.preferredHeight: 40
                    radius: 20
                    color: Theme.accentGold

                    Text {
                        objectName: "userInitial"
                        anchors.centerIn: parent
                        text: sideBar.userName.length > 0 ? sideBar.userName.charAt(0).toUpperCase() : ""
                        color: Theme.textOnAccent
                        font.pixelSize: 18
                        font.bold: true
                    }
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2

                    Text {
                        objectName: "userNameText"
                        Layout.fillWidth: true
                        text: sideBar.userName
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "userRoleText"
                        Layout.fillWidth: true
                        text: sideBar.isAdmin ? "مدير النظام" : "مستخدم"
                        color: Theme.textMuted
                        font.pixelSize: 11
                        horizontalAlignment: Text.AlignLeft
                    }
                }

                AbstractButton {
                    id: logoutButton
                    objectName: "logoutButton"
                    Layout.preferredWidth: 32
                    Layout.preferredHeight: 32
                    hoverEnabled: true
                    onClicked: sideBar.logoutRequested()

                    ToolTip.visible: hovered
                    ToolTip.text: "تسجيل الخروج"
                    ToolTip.delay: 500

                    background: Rectangle {
                        radius: 8
                        color: logoutButton.hovered ? Theme.bgElevated : "transparent"
                    }
                    contentItem: Text {
                        text: Icons.logout
                        font.family: Icons.family
                        color: Theme.textSecondary
                        font.pixelSize: 20
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }
        }
    }
}
