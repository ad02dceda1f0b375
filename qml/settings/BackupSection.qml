pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The settings page's backup panel: the backup folder, a backup now, a restore, and how the last went.
SectionPanel {
    id: backupSection
    property string backupMessage: ""
    property color backupMessageColor: Theme.textSecondary

    signal changeFolderRequested
    signal backupRequested
    signal restoreRequested


    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.backup
    title: "النسخ الاحتياطي"

    RowLayout {
        Layout.fillWidth: true
        spacing: 10

        Text {
            text: "مسار النسخ:"
            color: Theme.textSecondary
            font.pixelSize: 14
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 36
            radius: 8
            color: Theme.bgInput
            border.width: 1
            border.color: Theme.borderColor

            Text {
                objectName: "backupPathText"
                anchors.fill: parent
                anchors.rightMargin: 10
                anchors.leftMargin: 10
                textFormat: Text.PlainText
                text: Backend.backupManager.backupPath
                color: Theme.textPrimary
                font.pixelSize: 12
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignRight
                elide: Text.ElideLeft
            }
        }
        MButton {
            objectName: "changeBackupPathButton"
            Layout.preferredWidth: 80
            Layout.preferredHeight: 36
            implicitHeight: 36
            text: "تغيير"
            onClicked: backupSection.changeFolderRequested()
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 10

        MButton {
            objectName: "backupNowButton"
            Layout.preferredWidth: 160
            text: "إنشاء نسخة الآن"
            onClicked: backupSection.backupRequested()
        }
        MButton {
            objectName: "restoreButton"
            Layout.preferredWidth: 140
            text: "استعادة نسخة"
            outline: true
            onClicked: backupSection.restoreRequested()
        }
        Item {
            Layout.fillWidth: true
        }
    }

    Text {
        objectName: "backupMessage"
        Layout.fillWidth: true
        visible: backupSection.backupMessage.length > 0
        textFormat: Text.PlainText
        text: backupSection.backupMessage
        color: backupSection.backupMessageColor
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }
}
