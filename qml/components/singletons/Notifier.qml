pragma Singleton
import QtQuick

// The one way a page or dialog tells the user how an action went. The window shows each request
// in its notice (components/Notice.qml) over every page and dialog.
//
//     Notifier.show("نجاح", "تم حفظ البيانات", "success")
//     Notifier.show("خطأ", "تعذر حفظ البيانات", "error")     // also "warning"
//     return Notifier.refuse("أدخل رقم الوحدة", numberField)
QtObject {
    signal requested(string title, string text, string kind)

    function show(title, text, kind) {
        requested(title, text, kind);
    }

    // Refuses a form: says why, puts the cursor in the field to mend (an MTextField), if one is
    // named, and returns false for the caller to return.
    function refuse(message, field) {
        show("خطأ", message, "error");
        if (field && field.input)
            field.input.forceActiveFocus();
        return false;
    }
}
