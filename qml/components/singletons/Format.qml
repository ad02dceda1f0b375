pragma Singleton
import QtQuick
import Darvelinto

// How the interface writes and reads figures, one way for every page: amounts with their currency
// symbol, counts, percentages, dates and billing periods, and the numbers a user types. "Today"
// is the back end's business date (Backend.today()), which tests and the data generator pin.
//
//     Format.amount(1250)                       "1,250.00 ₪" (the primary currency)
//     Format.amount(row.amount, row.currency_id) in the row's currency (an id or a symbol)
//     Format.date("2026-12-06")                 kept in its written order inside Arabic text
//     Format.positive(field.text)               the typed number when above zero, else NaN
QtObject {
    id: format

    // The currencies of the file: id -> symbol, and the primary currency's symbol. Reloaded when
    // the back end is replaced or the settings (the primary currency) change.
    property var symbols: ({})
    property string primarySymbol: ""
    property int primaryId: 0

    function reloadCurrencies() {
        const table = {};
        let primary = "";
        let primaryCurrency = 0;
        const rows = Backend.currencyModel ? Backend.currencyModel.getAll() : [];
        for (let i = 0; i < rows.length; ++i) {
            table[rows[i].id] = rows[i].symbol;
            if (Number(rows[i].is_primary) === 1) {
                primary = rows[i].symbol;
                primaryCurrency = Number(rows[i].id);
            }
        }
        symbols = table;
        primarySymbol = primary;
        primaryId = primaryCurrency;
    }

    // The id of the primary currency, for a record that names no other (1, the seeded primary
    // currency, when none is marked).
    function primaryCurrencyId() {
        return primaryId > 0 ? primaryId : 1;
    }

    // Digits and separators are the same on every computer ("1,250.00"), as dates and periods are.
    readonly property var numberLocale: Qt.locale("en_US")

    // The symbol of a currency given by id, or a symbol given as it is; the primary currency's
    // symbol when nothing (or an unknown id) is given.
    function symbolOf(currency) {
        if (typeof currency === "string" && currency.length > 0 && isNaN(Number(currency)))
            return currency;
        const id = Number(currency);
        if (id > 0 && symbols[id] !== undefined)
            return symbols[id];
        return primarySymbol;
    }

    // An amount with digit grouping and two decimals, without a symbol ("-1,250.00"), isolated
    // left to right so a minus sign stays in front of its digits inside Arabic text. The back end
    // writes amounts in its sentences by the same rules (Money::display).
    function money(value) {
        const number = Number(value);
        return ltr((isFinite(number) ? number : 0).toLocaleString(numberLocale, "f", 2));
    }

    // An amount followed by the symbol of its currency ("1,250.00 ₪").
    function amount(value, currency) {
        const symbol = symbolOf(currency);
        return symbol.length > 0 ? money(value) + " " + symbol : money(value);
    }

    // A plain number with digit grouping and the given decimals (default none).
    function number(value, decimals) {
        const n = Number(value);
        return (isFinite(n) ? n : 0).toLocaleString(numberLocale, "f", decimals === undefined ? 0 : decimals);
    }

    // A whole number from a record field that may be missing or null.
    function count(value) {
        const n = Number(value);
        return isFinite(n) ? Math.round(n) : 0;
    }

    // A percentage with at most one decimal ("66.7%", "50%").
    function percent(value) {
        const n = Number(value);
        if (!isFinite(n))
            return "0%";
        const tenths = Math.round(n * 10) / 10;
        return (tenths % 1 === 0 ? tenths.toFixed(0) : tenths.toFixed(1)) + "%";
    }

    // A date, period or other figure with separators, kept in its written order inside Arabic
    // text: after Arabic letters "2025-01-28" would otherwise show as 28-01-2025 (marks on either
    // side are not enough). The figure is isolated left to right (LRI ... PDI): unlike an
    // embedding it leaves the text around it as it was.
    function ltr(text) {
        return "\u2066" + (text === undefined || text === null ? "" : text) + "\u2069";
    }

    // A date inside a sentence: "استحق في " + Format.date(row.due_date).
    function date(isoDate) {
        return ltr(isoDate);
    }

    // Every run of digits joined by - / : . inside a line (a date or a reference written into a
    // stored text) kept in its written order, and the line itself right to left even when it
    // starts with such a run.
    function inOrder(text) {
        return "\u200F" + String(text === undefined || text === null ? "" : text).replace(/\d+(?:[-\/:.]\d+)+/g, run => ltr(run));
    }

    // Today, "yyyy-MM-dd", and the current billing period "yyyy-MM", from the back end's clock.
    function today() {
        return Backend.today();
    }

    // A day as the heading of the window writes it: "الأحد 06/12/2026".
    function weekdayDate(isoDate) {
        if (!isDate(isoDate))
            return "";
        const days = ["الأحد", "الاثنين", "الثلاثاء", "الأربعاء", "الخميس", "الجمعة", "السبت"];
        const parts = isoDate.split("-").map(Number);
        const day = new Date(Date.UTC(parts[0], parts[1] - 1, parts[2]));
        return days[day.getUTCDay()] + " " + ltr(isoDate.substring(8, 10) + "/" + isoDate.substring(5, 7) + "/" + isoDate.substring(0, 4));
    }

    function currentPeriod() {
        return today().substring(0, 7);
    }

    // A real calendar day written "yyyy-MM-dd".
    function isDate(text) {
        const match = /^(\d{4})-(\d{2})-(\d{2})$/.exec(String(text === undefined || text === null ? "" : text).trim());
        if (!match)
            return false;
        const year = Number(match[1]);
        const month = Number(match[2]);
        const day = Number(match[3]);
        const calendar = new Date(Date.UTC(year, month - 1, day));
        return year >= 1 && calendar.getUTCFullYear() === year && calendar.getUTCMonth() === month - 1 && calendar.getUTCDate() === day;
    }

    // A billing period written "yyyy-MM".
    function isPeriod(text) {
        const match = /^(\d{4})-(\d{2})$/.exec(String(text === undefined || text === null ? "" : text).trim());
        return match !== null && Number(match[2]) >= 1 && Number(match[2]) <= 12;
    }

    // What a user typed, with Arabic-Indic digits, the Arabic decimal mark, digit grouping and
    // direction marks (as a pasted figure brings them) turned into a plain number text.
    function plainNumberText(text) {
        let typed = String(text === undefined || text === null ? "" : text).replace(/[\u200E\u200F\u202A-\u202E\u2066-\u2069]/g, "").trim();
        typed = typed.replace(/[\u0660-\u0669]/g, d => String(d.charCodeAt(0) - 0x0660));
        typed = typed.replace(/[\u06F0-\u06F9]/g, d => String(d.charCodeAt(0) - 0x06F0));
        return typed.replace(/\u066B/g, ".").replace(/[,\u066C]/g, "");
    }

    // The number typed in a field, or NaN when the text is empty or not a plain number.
    function parse(text) {
        const typed = plainNumberText(text);
        return /^[+-]?(\d+(\.\d*)?|\.\d+)$/.test(typed) ? Number(typed) : NaN;
    }

    // The typed number when it is above zero, else NaN.
    function positive(text) {
        const n = parse(text);
        return n > 0 ? n : NaN;
    }

    // The typed number when it is zero or more, else NaN.
    function notNegative(text) {
        const n = parse(text);
        return n >= 0 ? n : NaN;
    }

    // The typed whole number (negative only when allowed), else NaN.
    function whole(text, allowNegative) {
        const n = parse(text);
        return Number.isInteger(n) && (allowNegative === true || n >= 0) ? n : NaN;
    }

    // The typed whole number when it is at least 1, else NaN.
    function atLeastOne(text) {
        const n = whole(text, false);
        return n >= 1 ? n : NaN;
    }

    // What the notice says about a field whose number was refused.
    function positiveRequired(label) {
        return "أدخل في حقل «" + label + "» رقماً أكبر من صفر";
    }

    function notNegativeRequired(label) {
        return "أدخل في حقل «" + label + "» رقماً صحيحاً (صفر أو أكثر)";
    }

    function countRequired(label) {
        return "أدخل في حقل «" + label + "» عدداً صحيحاً من 1 فأكثر";
    }

    property Connections backendWatch: Connections {
        target: Backend
        function onObjectsChanged() {
            format.reloadCurrencies();
        }
    }
    property Connections settingsWatch: Connections {
        target: Backend.settingsManager
        function onSettingsChanged() {
            format.reloadCurrencies();
        }
    }
    property Connections currencyWatch: Connections {
        target: Backend.currencyModel
        function onDataChanged() {
            format.reloadCurrencies();
        }
    }

    Component.onCompleted: reloadCurrencies()
}
