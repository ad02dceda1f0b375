pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Reminders to the tenants and buyers in arrears: the list, the ready text of the one chosen, and
// three ways to send it (copy, the mail program, a printed letter). Each sending is recorded in the
// audit log; nobody is reminded twice in a day, so the buttons wait for tomorrow once one is sent.
MDialog {
    id: remindersDialog

    property var reminders: []
    property var reminderLog: []
    property int current: 0
    readonly property var chosen: current >= 0 && current < reminders.length ? reminders[current] : null

    function reload() {
        reminders = Backend.reminderModel.getReminders();
        reminderLog = Backend.reminderModel.getReminderLog(20);
        if (current >= reminders.length)
            current = 0;
    }

    // Records the reminder first: a refusal (already reminded today) sends nothing.
    function send(channel) {
        const reminder = chosen;
        if (!reminder)
            return;
        if (!Backend.reminderModel.markReminded(reminder.kind, reminder.party_id, channel)) {
            Notifier.show("تنبيه", Backend.reminderModel.lastError, "warning");
            return;
        }
        if (channel === "copy") {
            clipboardText.text = reminder.text;
            clipboardText.selectAll();
            clipboardText.copy();
            Notifier.show("تم", "نُسخ نص التذكير", "success");
        } else if (channel === "mail") {
            Qt.openUrlExternally(reminder.mailto);
        } else {
            Backend.printCtrl.printLetter("تذكير بالسداد", reminder.name, reminder.text);
        }
        reload();
    }

    objectName: "remindersDialog"
    title: "تذكيرات السداد"
    width: 860
    height: 580
    onAboutToShow: reload()

    TextEdit {
        id: clipboardText
        visible: false
        textFormat: TextEdit.PlainText
    }

    RowLayout {
        anchors.fill: parent
        spacing: 14

        ColumnLayout {
            Layout.preferredWidth: 300
            Layout.fillHeight: true
            spacing: 8

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: Theme.textSecondary
                text: remindersDialog.reminders.length > 0 ? "المتأخرون عن السداد: " + Format.count(remindersDialog.reminders.length) : "لا أحد متأخر عن السداد"
            }
            ListView {
                id: reminderList
                objectName: "reminderList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                clip: true
                spacing: 4
                model: remindersDialog.reminders
                delegate: Rectangle {
                    id: reminderRow

                    required property var modelData
                    required property int index

                    objectName: "reminderRow_" + index
                    width: ListView.view.width
                    height: 58
                    radius: 8
                    color: index === remindersDialog.current ? Theme.bgAccentSoft : Theme.bgElevated
                    border.color: index === remindersDialog.current ? Theme.accentGold : Theme.borderColor

                    Column {
                        anchors.fill: parent
                        anchors.margins: 8
                        spacing: 3

                        Text {
                            width: parent.width
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                            font.pixelSize: 13
                            font.bold: true
                            color: Theme.textPrimary
                            text: (reminderRow.modelData.kind === "buyer" ? "مشترٍ: " : "مستأجر: ") + reminderRow.modelData.name
                        }
                        Text {
                            width: parent.width
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                            font.pixelSize: 11
                            color: reminderRow.modelData.reminded_today ? Theme.successColor : Theme.textSecondary
                            text: reminderRow.modelData.reminded_today ? "ذُكِّر اليوم " + Format.ltr(reminderRow.modelData.last_reminded) : reminderRow.modelData.due + " منذ " + reminderRow.modelData.since_text
                        }
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: remindersDialog.current = reminderRow.index
                    }
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 10

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: 8
                color: Theme.bgInput
                border.color: Theme.borderColor

                Flickable {
                    anchors.fill: parent
                    anchors.margins: 12
                    clip: true
                    contentHeight: reminderText.implicitHeight

                    Text {
                        id: reminderText
                        objectName: "reminderText"
                        width: parent.width
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        horizontalAlignment: Text.AlignLeft
                        lineHeight: 1.3
                        font.pixelSize: 14
                        color: Theme.textPrimary
                        text: remindersDialog.chosen ? remindersDialog.chosen.text : ""
                    }
                }
            }
            Text {
                Layout.fillWidth: true
                visible: remindersDialog.chosen !== null && remindersDialog.chosen.last_reminded !== ""
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: Theme.textMuted
                text: remindersDialog.chosen ? "آخر تذكير: " + Format.ltr(remindersDialog.chosen.last_reminded) : ""
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                enabled: remindersDialog.chosen !== null && !remindersDialog.chosen.reminded_today

                MButton {
                    objectName: "copyReminder"
                    Layout.fillWidth: true
                    text: "نسخ النص"
                    iconSymbol: Icons.done
                    onClicked: remindersDialog.send("copy")
                }
                MButton {
                    objectName: "mailReminder"
                    Layout.fillWidth: true
                    enabled: remindersDialog.chosen !== null && remindersDialog.chosen.mailto !== ""
                    text: "فتح في البريد"
                    iconSymbol: Icons.received
                    outline: true
                    onClicked: remindersDialog.send("mail")
                }
                MButton {
                    objectName: "printReminder"
                    Layout.fillWidth: true
                    text: "طباعة خطاب"
                    iconSymbol: Icons.print
                    outline: true
                    onClicked: remindersDialog.send("print")
                }
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.bold: true
                color: Theme.textSecondary
                text: "سجل التذكيرات"
            }
            ListView {
                objectName: "reminderLog"
                Layout.fillWidth: true
                Layout.preferredHeight: 96
                clip: true
                model: remindersDialog.reminderLog
                delegate: Text {
                    required property var modelData

                    width: ListView.view.width
                    height: 22
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                    font.pixelSize: 12
                    color: Theme.textSecondary
                    text: Format.ltr(modelData.reminded_at) + "  " + (modelData.name || "") + " — " + ({
                            "copy": "نسخ",
                            "mail": "بريد",
                            "print": "خطاب مطبوع"
                        }[modelData.channel] || modelData.channel)
                }
            }
        }
    }
}
