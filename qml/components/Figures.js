// Reading and writing the figures of the forms: amounts as the pages show them, numbers typed by
// the user, and today's date and billing period. The pages check every number with these before
// they call the back end, so a wrong field is named and nothing is sent.
.pragma library

// An amount with the locale's digit grouping and two decimals ("1,250.00").
function money(value) {
    const number = Number(value);
    return (isFinite(number) ? number : 0).toLocaleString(Qt.locale(), "f", 2);
}

// The number typed in a field, or NaN when the text is empty or not a plain number. Arabic-Indic
// digits, the Arabic decimal mark and digit grouping are accepted, as a keyboard or a pasted
// figure gives them.
function parse(text) {
    let typed = String(text === undefined || text === null ? "" : text).trim();
    typed = typed.replace(/[\u0660-\u0669]/g, d => String(d.charCodeAt(0) - 0x0660));
    typed = typed.replace(/[\u06F0-\u06F9]/g, d => String(d.charCodeAt(0) - 0x06F0));
    typed = typed.replace(/\u066B/g, ".").replace(/[,\u066C]/g, "");
    if (!/^[+-]?(\d+(\.\d*)?|\.\d+)$/.test(typed))
        return NaN;
    return Number(typed);
}

// The typed number when it is above zero, else NaN.
function positive(text) {
    const number = parse(text);
    return number > 0 ? number : NaN;
}

// The typed number when it is zero or more, else NaN.
function notNegative(text) {
    const number = parse(text);
    return number >= 0 ? number : NaN;
}

// The typed whole number when it is at least 1, else NaN.
function count(text) {
    const number = parse(text);
    return Number.isInteger(number) && number >= 1 ? number : NaN;
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

function pad(number) {
    return number < 10 ? "0" + number : String(number);
}

// A date, period or other figure with hyphens kept in its own reading order inside an Arabic
// sentence: after Arabic letters its parts would otherwise be laid out right to left
// ("2025-01-28" shown as 28-01-2025).
function ltr(text) {
    return "\u200E" + text + "\u200E";
}

// Today as "yyyy-MM-dd" on the computer's own calendar, the day the back end records too.
function today() {
    const now = new Date();
    return now.getFullYear() + "-" + pad(now.getMonth() + 1) + "-" + pad(now.getDate());
}

// The current billing period, "yyyy-MM".
function currentPeriod() {
    return today().substring(0, 7);
}

// A real calendar day written "yyyy-MM-dd".
function isDate(text) {
    const match = /^(\d{4})-(\d{2})-(\d{2})$/.exec(String(text).trim());
    if (!match)
        return false;
    const year = Number(match[1]);
    const month = Number(match[2]);
    const day = Number(match[3]);
    const date = new Date(year, month - 1, day);
    return month >= 1 && month <= 12 && date.getFullYear() === year && date.getMonth() === month - 1 && date.getDate() === day;
}

// A billing period written "yyyy-MM".
function isPeriod(text) {
    const match = /^(\d{4})-(\d{2})$/.exec(String(text).trim());
    return match !== null && Number(match[2]) >= 1 && Number(match[2]) <= 12;
}
