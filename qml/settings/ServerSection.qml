import QtQuick
import QtQuick.Layouts
import Darvelinto

// Where this desk keeps the office's books: its own file, or the office's PostgreSQL server that
// several desks share. The choice is this desk's and takes effect at the next start; the password
// is never kept (it comes from ~/.pgpass or is typed at the start), so it is asked here only to try
// the connection.
SectionPanel {
    id: panel

    property var shown: Backend.serverChoice ? Backend.serverChoice.current() : ({})
    property string outcome: ""
    property bool outcomeIsError: false

    function refresh() {
        shown = Backend.serverChoice.current();
        hostField.text = shown.host;
        portField.text = String(shown.port);
        databaseField.text = shown.database;
        userField.text = shown.user;
    }

    function say(text, isError) {
        outcome = text;
        outcomeIsError = isError;
    }

    function tryConnection() {
        const why = Backend.serverChoice.tryAddress(hostField.text, Number(portField.text), databaseField.text, userField.text, passwordField.text);
        passwordField.text = "";
        say(why === "" ? "تم الاتصال بالخادم بنجاح" : why, why !== "");
    }

    function choose() {
        if (!Backend.serverChoice.choose(hostField.text, Number(portField.text), databaseField.text, userField.text))
            return say(Backend.serverChoice.lastError, true);
        refresh();
        say("سيعمل البرنامج على الخادم عند تشغيله التالي", false);
    }

    function forget() {
        if (!Backend.serverChoice.forget())
            return say(Backend.serverChoice.lastError, true);
        refresh();
        say("سيعمل البرنامج على ملف هذا الجهاز عند تشغيله التالي", false);
    }

    objectName: "serverSettingsPanel"
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.database
    title: "قاعدة بيانات المكتب"
    Component.onCompleted: refresh()

    Text {
        objectName: "serverPlaceText"
        Layout.fillWidth: true
        textFormat: Text.PlainText
        text: "يعمل البرنامج الآن على: " + (panel.shown.onServer ? "خادم المكتب (" + panel.shown.place + ")" : panel.shown.place)
        color: Theme.textSecondary
        font.pixelSize: 14
        wrapMode: Text.Wrap
    }

    GridLayout {
        Layout.fillWidth: true
        columns: 3
        columnSpacing: 12
        rowSpacing: 8

        MTextField {
            id: hostField
            objectName: "serverHostField"
            Layout.fillWidth: true
            label: "الخادم"
            placeholderText: "مثل 192.168.1.10"
        }
        MTextField {
            id: portField
            objectName: "serverPortField"
            Layout.preferredWidth: 110
            label: "المنفذ"
            inputMethodHints: Qt.ImhDigitsOnly
        }
        MTextField {
            id: databaseField
            objectName: "serverDatabaseField"
            Layout.fillWidth: true
            label: "قاعدة البيانات"
        }
        MTextField {
            id: userField
            objectName: "serverUserField"
            Layout.fillWidth: true
            label: "المستخدم"
        }
        MTextField {
            id: passwordField
            objectName: "serverPasswordField"
            Layout.columnSpan: 2
            Layout.fillWidth: true
            label: "كلمة المرور (لتجربة الاتصال فقط، لا تُحفظ)"
            echoMode: TextInput.Password
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 10

        MButton {
            objectName: "tryServerButton"
            text: "تجربة الاتصال"
            onClicked: panel.tryConnection()
        }
        MButton {
            objectName: "chooseServerButton"
            text: "العمل على هذا الخادم"
            onClicked: panel.choose()
        }
        MButton {
            objectName: "forgetServerButton"
            visible: panel.shown.host !== ""
            text: "العودة إلى ملف هذا الجهاز"
            onClicked: panel.forget()
        }
        Item {
            Layout.fillWidth: true
        }
    }

    Text {
        objectName: "serverOutcomeText"
        Layout.fillWidth: true
        visible: panel.outcome !== ""
        textFormat: Text.PlainText
        text: panel.outcome
        color: panel.outcomeIsError ? Theme.dangerColor : Theme.successColor
        font.pixelSize: 13
        wrapMode: Text.Wrap
    }
}
