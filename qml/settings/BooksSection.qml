import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The settings page's books panel: whether every operation posts its journal entry to the ledger,
// or the office keeps its books elsewhere (and the program posts nothing). Switching the posting on
// opens the books, which needs today's rate of every currency the office holds money in: a missing
// one is asked for and the switch tried again.
SectionPanel {
    id: panel

    readonly property bool posting: Backend.settingsManager ? Backend.settingsManager.autoPosting : true

    function switchPosting(on) {
        tell(Backend.settingsManager.setAutoPosting(on), on);
    }

    function tell(answer, on) {
        if (answer.ok)
            Notifier.show("نجاح", on ? "تم تشغيل الترحيل التلقائي إلى الدفاتر" : "تم إيقاف الترحيل التلقائي إلى الدفاتر", "success");
        else if (!rateGuard.askForMissing(answer, () => panel.switchPosting(on)))
            Notifier.show("خطأ", answer.message || "تعذر تغيير الإعداد", "error");
    }

    objectName: "booksSettingsPanel"
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    icon: Icons.books
    title: "الدفاتر المحاسبية"

    RowLayout {
        Layout.fillWidth: true
        spacing: 12

        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "ترحيل العمليات إلى دفتر الأستاذ تلقائياً"
            color: Theme.textPrimary
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }
        Switch {
            id: toggle
            objectName: "autoPostingSwitch"
            checked: panel.posting
            // On is gold with the knob at the start of the line (the left, right to left).
            indicator: Rectangle {
                implicitWidth: 46
                implicitHeight: 24
                x: toggle.leftPadding
                y: (toggle.height - height) / 2
                radius: 12
                color: toggle.checked ? Theme.accentGold : Theme.bgInput
                border.width: 1
                border.color: toggle.checked ? Theme.accentGold : Theme.borderColor

                Rectangle {
                    width: 20
                    height: 20
                    radius: 10
                    y: 2
                    x: toggle.checked !== toggle.mirrored ? parent.width - width - 2 : 2
                    color: toggle.checked ? Theme.textOnAccent : Theme.textMuted
                }
            }
            onToggled: {
                const wanted = checked;
                // The stored setting decides what the switch shows.
                checked = Qt.binding(() => panel.posting);
                panel.switchPosting(wanted);
            }
        }
    }
    Text {
        objectName: "autoPostingNote"
        Layout.fillWidth: true
        textFormat: Text.PlainText
        text: panel.posting ? "كل فاتورة ودفعة ومصروف وبيع وتحصيل تُرحَّل بقيد مزدوج في لحظة حفظها، فتعرض الميزانية وقائمة الدخل في صفحة المحاسبة أعمال المكتب الفعلية." : "الترحيل متوقف: لا تُرحَّل العمليات إلى الدفاتر (للمكاتب التي تمسك دفاترها في برنامج آخر). عند إعادة تشغيله تُرحَّل قيود تسوية تجعل الدفاتر مطابقة للعمليات."
        color: Theme.textSecondary
        font.pixelSize: 12
        horizontalAlignment: Text.AlignLeft
        wrapMode: Text.Wrap
    }

    MissingRateDialog {
        id: rateGuard
        evenWhenOff: true
    }
}
