// How the pages write amounts, counts and rates, so a figure reads the same on every page.
.pragma library

// An amount with the locale's digit grouping: whole amounts without decimals, others with two.
function money(value) {
    const n = Number(value);
    if (!isFinite(n))
        return "0";
    const whole = Math.abs(n - Math.round(n)) < 0.005;
    return n.toLocaleString(Qt.locale(), "f", whole ? 0 : 2);
}

// An amount followed by the shekel sign.
function shekels(value) {
    return money(value) + " ₪";
}

// A percentage with at most one decimal ("66.7%", "50%").
function percent(value) {
    const n = Number(value);
    if (!isFinite(n))
        return "0%";
    const tenths = Math.round(n * 10) / 10;
    return (tenths % 1 === 0 ? tenths.toFixed(0) : tenths.toFixed(1)) + "%";
}

// A whole number from a record field that may be missing or null.
function count(value) {
    const n = Number(value);
    return isFinite(n) ? Math.round(n) : 0;
}

// What a user types into a number field, with digits typed on an Arabic keyboard (٠-٩, ۰-۹), the
// Arabic decimal separator and digit-grouping commas accepted.
function normalizedNumberText(text) {
    let s = String(text === undefined || text === null ? "" : text).trim();
    s = s.replace(/[\u0660-\u0669]/g, d => String(d.charCodeAt(0) - 0x0660));
    s = s.replace(/[\u06F0-\u06F9]/g, d => String(d.charCodeAt(0) - 0x06F0));
    s = s.replace(/\u066B/g, ".").replace(/[,\u066C]/g, "");
    return s;
}

// A non-negative amount from a field, or NaN when the field is empty or not such a number.
function parseAmount(text) {
    const s = normalizedNumberText(text);
    return /^\d+(\.\d+)?$/.test(s) ? Number(s) : NaN;
}

// A whole number from a field (negative only when allowed), or NaN when empty or not whole.
function parseWhole(text, allowNegative) {
    const s = normalizedNumberText(text);
    const pattern = allowNegative ? /^-?\d+$/ : /^\d+$/;
    return pattern.test(s) ? parseInt(s, 10) : NaN;
}

// True for an existing calendar day written "yyyy-MM-dd".
function isIsoDate(text) {
    const s = String(text || "").trim();
    if (!/^\d{4}-\d{2}-\d{2}$/.test(s))
        return false;
    const parts = s.split("-").map(Number);
    const day = new Date(Date.UTC(parts[0], parts[1] - 1, parts[2]));
    return day.getUTCFullYear() === parts[0] && day.getUTCMonth() === parts[1] - 1 && day.getUTCDate() === parts[2];
}

// Today's date on this computer, "yyyy-MM-dd".
function todayIso() {
    const now = new Date();
    const pad = n => (n < 10 ? "0" : "") + n;
    return now.getFullYear() + "-" + pad(now.getMonth() + 1) + "-" + pad(now.getDate());
}

// Keeps every "yyyy-MM-dd" in an Arabic line in its written order: after an Arabic word the
// bidirectional algorithm treats a date's digits as Arabic numbers and would show 2026-12-18 as
// 18-12-2026. The leading right-to-left mark keeps the line itself right to left even when it
// starts with a date.
function isolateDates(text) {
    return "\u200F" + String(text === undefined || text === null ? "" : text).replace(/\d{4}-\d{2}-\d{2}/g, date => "\u200E" + date + "\u200E");
}
