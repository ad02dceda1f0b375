// The twelve pages of the main frame in page-index order: the side bar lists them and the main
// frame's page stack holds them in this same order, so an index means the same page in both.
.pragma library

var list = [
    { name: "Dashboard", icon: "⎋", label: "لوحة التحكم", title: "لوحة التحكم" },
    { name: "PropertiesPage", icon: "🏢", label: "العقارات", title: "العقارات والمشاريع" },
    { name: "TenantsPage", icon: "⌘", label: "المستأجرون", title: "المستأجرون" },
    { name: "BuyersPage", icon: "⌥", label: "المشترون", title: "المشترون والمبيعات" },
    { name: "AccountingPage", icon: "≣", label: "المحاسبة", title: "المحاسبة ومراكز التكلفة" },
    { name: "PaymentsPage", icon: "⌬", label: "المدفوعات", title: "المدفوعات" },
    { name: "ChequesPage", icon: "◈", label: "الشيكات", title: "الشيكات" },
    { name: "InvoicesPage", icon: "📄", label: "الفواتير", title: "الفواتير" },
    { name: "MaintenancePage", icon: "⚙", label: "الصيانة", title: "الصيانة" },
    { name: "ReportsPage", icon: "⏚", label: "التقارير", title: "التقارير" },
    { name: "UsersPage", icon: "⌗", label: "المستخدمون", title: "المستخدمون" },
    { name: "SettingsPage", icon: "⚿", label: "الإعدادات", title: "الإعدادات" }
];

var dashboard = 0;
var properties = 1;
var tenants = 2;
var buyers = 3;
var accounting = 4;
var payments = 5;
var cheques = 6;
var invoices = 7;
var maintenance = 8;
var reports = 9;
var users = 10;
var settings = 11;
