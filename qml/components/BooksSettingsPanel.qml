import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The books' setting on the settings page: whether every operation posts its journal entry to the
// ledger, or the office keeps its books elsewhere (and the program posts nothing).
//
// Properties:
//   posting (bool) the stored setting
// Signals: switched(bool on), the user moved the switch (the page stores it and sets `posting`)
SectionPanel {
    id: panel

    property bool posting: true

    signal switched(bool on)

    objectName: "booksSettingsPanel"
    icon: "📒"
    title: "الدفاتر المحاسبية"

    RowLayout {
        Layout.fillWidth: true
        layoutDirection: Qt.RightToLeft
        spacing: 12

        Text {
            Layout.fillWidth: true
            textFormat: Text.PlainText
            text: "ترحيل العمليات إلى دفتر الأستاذ تلقائياً"
            color: panel.theme.textPrimary
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignRight
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
                color: toggle.checked ? panel.theme.accentGold : panel.theme.bgInput
                border.width: 1
                border.color: toggle.checked ? panel.theme.accentGold : panel.theme.borderColor

                Rectangle {
                    width: 20
                    height: 20
                    radius: 10
                    y: 2
                    x: toggle.checked !== toggle.mirrored ? parent.width - width - 2 : 2
                    color: panel.theme.textPrimary
                }
            }
            onToggled: {
                const wanted = checked;
                // The stored setting decides what the switch shows; the page answers by setting it.
                checked = Qt.binding(() => panel.posting);
                panel.switched(wanted);
            }
        }
    }
    Text {
        objectName: "autoPostingNote"
        Layout.fillWidth: true
        textFormat: Text.PlainText
        text: panel.posting ? "كل فاتورة ودفعة ومصروف وبيع وتحصيل تُرحَّل بقيد مزدوج في لحظة حفظها، فتعرض الميزانية وقائمة الدخل في صفحة المحاسبة أعمال المكتب الفعلية." : "الترحيل متوقف: لا تُرحَّل العمليات إلى الدفاتر (للمكاتب التي تمسك دفاترها في برنامج آخر). عند إعادة تشغيله تُرحَّل قيود تسوية تجعل الدفاتر مطابقة للعمليات."
        color: panel.theme.textSecondary
        font.pixelSize: 12
        horizontalAlignment: Text.AlignRight
        wrapMode: Text.Wrap
    }
}
