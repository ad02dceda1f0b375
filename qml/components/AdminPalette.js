// Fixed colours and status tables of the accounting, settings and reports pages, kept in one
// place: account-type badges, signed figures, unit and cheque status badges, the figure colours
// of the reports and the overdue-installment cards.
.pragma library

// Badge of an account type: dark fill, gold label.
var accountTypes = {
    "asset": { label: "أصول", color: "#1a2340" },
    "liability": { label: "خصوم", color: "#2e1a2a" },
    "equity": { label: "حقوق ملكية", color: "#1a2a2e" },
    "revenue": { label: "إيرادات", color: "#1a2e1a" },
    "expense": { label: "مصروفات", color: "#2e2a1a" }
};

// What a journal entry was posted for (its reference type), as the journal shows it.
var entryOrigins = {
    "invoice" : { label : "فاتورة", color : "#1a2340" },
    "void" : { label : "إلغاء فاتورة", color : "#2e1a2a" },
    "payment" : { label : "دفعة مستأجر", color : "#1a2e1a" },
    "collection" : { label : "تحصيل قسط", color : "#1a2e1a" },
    "cheque_return" : { label : "شيك مرتجع", color : "#2e1a2a" },
    "expense" : { label : "مصروف", color : "#2e2a1a" },
    "sale" : { label : "بيع وحدة", color : "#1a2a2e" },
    "installment" : { label : "قسط مضاف", color : "#1a2a2e" },
    "opening" : { label : "رصيد افتتاحي", color : "#2a2a2a" },
    "manual" : { label : "قيد يدوي", color : "#2a2a2a" }
};

var positive = "#22c55e";   // a balance of 0 or more, a good figure
var negative = "#ef4444";   // a negative balance, an amount owed, a failure
var columnHeader = "#64748b";
var restored = "#d4a843";   // the outcome line of a restore
var stripeDark = "#0d1120"; // every other list row in the dark theme

// Every other row of a list: the fixed dark stripe in the dark theme; a dark stripe would swallow
// the dark text of the light theme, so that one takes its own raised colour.
function stripe(theme) {
    return theme && theme.dark ? stripeDark : (theme ? theme.bgElevated : "#eef3f9");
}

// White-on-colour badges of the reports.
var unitStatuses = {
    "available": { label: "متاحة", color: "#064e3b" },
    "rented": { label: "مؤجرة", color: "#78350f" },
    "sold": { label: "مباعة", color: "#7f1d1d" },
    "maintenance": { label: "خارج الخدمة", color: "#334155" }
};
var chequeStatuses = {
    "paid": { label: "تم الصرف", color: "#064e3b" },
    "pending": { label: "معلق", color: "#78350f" },
    "bounced": { label: "مرتجع", color: "#7f1d1d" }
};

// Report figures.
var revenue = "#22c55e";
var expenses = "#ef4444";
var profit = "#C5A059";
var receivables = "#f59e0b";
var installments = "#818cf8";
var assets = "#06b6d4";
var cash = "#22c55e";

// Overdue-installment cards.
var overdueCard = "#1e1a1a";
var overdueBorder = "#ef4444";
var overdueTitle = "#ffffff";
var overdueSubtitle = "#94a3b8";
var badgeText = "#ffffff";
