pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Office-wide settings: theme, exchange rates against the primary currency, the company profile
// printed on documents, the CSV export, and the backup folder, backups and restore. Every action
// says how it went.
Rectangle {
    id: page


    property var currencies: []
    readonly property var primary: currencies.find(currency => Number(currency.is_primary) === 1) || null
    readonly property var secondaryCurrencies: currencies.filter(currency => Number(currency.is_primary) !== 1)

    readonly property alias restoreQuestion: confirm

    // The profile texts last put into the fields.
    property var shownProfile: []
    property bool exported: false
    property string backupMessage: ""
    property color backupMessageColor: Theme.fixed.success


    function refresh() {
        currencies = Backend.currencyModel.getAll();
        loadProfile();
    }

    // The stored profile, into every field the user has not edited since it was last filled: a
    // profile written elsewhere shows, typing not yet saved stays.
    function loadProfile() {
        const stored = [Backend.settingsManager.companyName, Backend.settingsManager.companyPhone, Backend.settingsManager.companyAddress, Backend.settingsManager.companyEmail];
        const fields = [companyNameField, companyPhoneField, companyAddressField, companyEmailField];
        for (let i = 0; i < fields.length; ++i) {
            if (shownProfile.length === 0 || fields[i].text === shownProfile[i])
                fields[i].text = stored[i];
        }
        shownProfile = stored;
    }

    // The stored rate of one unit of a currency in the primary currency, as the field shows it.
    function rateText(currencyId) {
        return page.primary ? Backend.settingsManager.getExchangeRate(currencyId, page.primary.id).toFixed(4) : "";
    }

    // Returns the text the rate field should show afterwards.
    function updateRate(currency, typed) {
        // Arabic-Indic digits and the Arabic decimal mark read as well; anything that is not a
        // plain decimal number gives NaN.
        const rate = Format.notNegative(typed);
        if (isNaN(rate) || rate <= 0) {
            Notifier.show("خطأ", "أدخل سعر صرف صحيحاً أكبر من صفر لـ " + currency.name_ar, "error");
            return typed;
        }
        if (!page.primary) {
            Notifier.refuse("لا توجد عملة أساسية");
            return typed;
        }
        if (!Backend.currencyModel.setRate(currency.id, page.primary.id, rate)) {
            Notifier.refuse("تعذر تحديث سعر صرف " + currency.name_ar + ": " + Backend.currencyModel.lastError);
            return typed;
        }
        Notifier.show("نجاح", "تم تحديث سعر صرف " + currency.name_ar, "success");
        return rateText(currency.id);
    }

    function saveProfile() {
        if (Backend.settingsManager.updateCompanyProfile(companyNameField.text.trim(), companyPhoneField.text.trim(), companyAddressField.text.trim(), companyEmailField.text.trim())) {
            shownProfile = [];
            loadProfile();
            Notifier.show("نجاح", "تم حفظ بيانات الشركة", "success");
        } else
            Notifier.show("خطأ", "تعذر حفظ بيانات الشركة", "error");
    }

    function exportData() {
        if (Backend.backupManager.exportAllToCSV()) {
            exported = true;
            Notifier.show("نجاح", "تم التصدير بنجاح بصيغة CSV متوافقة مع Excel", "success");
        } else {
            Notifier.show("خطأ", "تعذر تصدير البيانات", "error");
        }
    }

    function changeBackupFolder() {
        const folder = Backend.backupManager.browseBackupPath();
        if (folder.length === 0)
            return;
        Backend.backupManager.backupPath = folder;
        if (Backend.backupManager.backupPath === folder)
            Notifier.show("نجاح", "تم تغيير مسار النسخ الاحتياطي", "success");
        else
            Notifier.show("خطأ", "تعذر استخدام المجلد المختار للنسخ الاحتياطي", "error");
    }

    function createBackup() {
        if (Backend.backupManager.createBackup()) {
            backupMessage = "✅ تم إنشاء النسخة بنجاح";
            backupMessageColor = Theme.fixed.success;
            Notifier.show("نجاح", "تم إنشاء النسخة الاحتياطية", "success");
        } else {
            backupMessage = "❌ فشل في إنشاء النسخة";
            backupMessageColor = Theme.fixed.error;
            Notifier.show("خطأ", "فشل في إنشاء النسخة الاحتياطية", "error");
        }
    }

    function askRestore() {
        const file = Backend.backupManager.browseRestoreFile();
        if (file.length > 0)
            confirmRestore(file);
    }

    function confirmRestore(file) {
        confirm.ask("استعادة نسخة احتياطية", "سيتم استبدال جميع البيانات الحالية بمحتوى النسخة:\n" + Format.ltr(file) + "\nتُحفظ نسخة من البيانات الحالية قبل الاستعادة، ويجب إعادة تشغيل البرنامج بعدها.", function () {
            page.restore(file);
        });
    }

    function restore(file) {
        if (Backend.backupManager.restoreBackup(file)) {
            backupMessage = "✅ تم استعادة النسخة بنجاح. يرجى إعادة تشغيل البرنامج.";
            backupMessageColor = Theme.fixed.gold;
            Notifier.show("نجاح", "تمت استعادة النسخة. أعد تشغيل البرنامج لاستخدام البيانات المستعادة.", "success");
        } else {
            backupMessage = "❌ فشل في استعادة النسخة";
            backupMessageColor = Theme.fixed.error;
            Notifier.show("خطأ", "فشل في استعادة النسخة، لم تتغير البيانات الحالية", "error");
        }
    }

    objectName: "settingsPage"
    color: Theme.bgPrimary

    ScrollView {
        id: scroller
        objectName: "settingsScroll"
        anchors.fill: parent
        contentWidth: availableWidth
        clip: true

        ColumnLayout {
            width: scroller.availableWidth
            spacing: 20

            Item {
                Layout.preferredHeight: 5
            }

            ColumnLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                spacing: 4

                Text {
                    Layout.fillWidth: true
                    text: "الإعدادات"
                    color: Theme.textPrimary
                    font.pixelSize: 24
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    Layout.fillWidth: true
                    text: "إعدادات النظام والمظهر والنسخ الاحتياطي"
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
            }

            ThemeSection {}

            SectionPanel {
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                icon: Icons.currency
                title: "العملات وأسعار الصرف"

                Text {
                    objectName: "primaryCurrencyLine"
                    Layout.fillWidth: true
                    textFormat: Text.PlainText
                    text: "العملة الأساسية: " + Backend.settingsManager.primaryCurrency + (page.primary ? " (" + page.primary.symbol + ")" : "")
                    color: Theme.textSecondary
                    font.pixelSize: 14
                    horizontalAlignment: Text.AlignLeft
                }

                Repeater {
                    model: page.secondaryCurrencies

                    RowLayout {
                        id: rateRow
                        required property var modelData

                        objectName: "rateRow_" + modelData.code
                        Layout.fillWidth: true
                        spacing: 10

                        Text {
                            Layout.preferredWidth: 150
                            textFormat: Text.PlainText
                            text: rateRow.modelData.name_ar + " (" + rateRow.modelData.symbol + ")"
                            color: Theme.textPrimary
                            font.pixelSize: 14
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                        }
                        Text {
                            text: "سعر الصرف:"
                            color: Theme.textSecondary
                            font.pixelSize: 13
                        }
                        TextField {
                            id: rateField
                            objectName: "rateField"
                            Layout.preferredWidth: 120
                            Layout.preferredHeight: 36
                            text: page.rateText(rateRow.modelData.id)
                            placeholderText: "0.00"
                            placeholderTextColor: Theme.textMuted
                            color: Theme.textPrimary
                            font.pixelSize: 13
                            horizontalAlignment: TextInput.AlignHCenter
                            verticalAlignment: TextInput.AlignVCenter
                            selectByMouse: true
                            onAccepted: text = page.updateRate(rateRow.modelData, text)

                            background: Rectangle {
                                radius: 8
                                color: Theme.bgInput
                                border.width: rateField.activeFocus ? 1.5 : 1
                                border.color: rateField.activeFocus ? Theme.accentGold : Theme.borderColor
                            }
                        }
                        Text {
                            textFormat: Text.PlainText
                            text: page.primary ? page.primary.symbol : ""
                            color: Theme.textSecondary
                            font.pixelSize: 13
                        }
                        MButton {
                            objectName: "rateButton"
                            Layout.preferredWidth: 80
                            Layout.preferredHeight: 36
                            implicitHeight: 36
                            text: "تحديث"
                            onClicked: rateField.text = page.updateRate(rateRow.modelData, rateField.text)
                        }
                        Item {
                            Layout.fillWidth: true
                        }
                    }
                }
            }

            BooksSection {}

            LateFeeSection {}
            RenewalSection {}
            ServerSection {}

            SectionPanel {
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                icon: Icons.company
                title: "بيانات الشركة (للمستندات)"

                GridLayout {
                    Layout.fillWidth: true
                    columns: 2
                    columnSpacing: 15
                    rowSpacing: 10

                    MTextField {
                        id: companyNameField
                        objectName: "companyNameField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "اسم الشركة"
                    }
                    MTextField {
                        id: companyPhoneField
                        objectName: "companyPhoneField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "رقم الهاتف"
                    }
                    MTextField {
                        id: companyAddressField
                        objectName: "companyAddressField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "العنوان"
                    }
                    MTextField {
                        id: companyEmailField
                        objectName: "companyEmailField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "البريد الإلكتروني"
                    }
                }

                MButton {
                    objectName: "saveProfileButton"
                    Layout.alignment: Qt.AlignRight
                    text: "حفظ بيانات الشركة"
                    onClicked: page.saveProfile()
                }
            }

            SectionPanel {
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                title: "إدارة البيانات"

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 15

                    MButton {
                        objectName: "exportButton"
                        text: "تصدير البيانات إلى Excel (CSV)"
                        iconSymbol: Icons.exportFile
                        onClicked: page.exportData()
                    }
                    Text {
                        objectName: "exportMessage"
                        Layout.fillWidth: true
                        visible: page.exported
                        text: "تم التصدير بنجاح بصيغة CSV متوافقة مع Excel"
                        color: Theme.successColor
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                    }
                }
            }

            BackupSection {
                backupMessage: page.backupMessage
                backupMessageColor: page.backupMessageColor
                onChangeFolderRequested: page.changeBackupFolder()
                onBackupRequested: page.createBackup()
                onRestoreRequested: page.askRestore()
            }

            Item {
                Layout.preferredHeight: 30
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
        confirmText: "استعادة"
        height: 290
    }
}
