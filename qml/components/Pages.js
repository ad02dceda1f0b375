// The twelve pages of the main frame in page-index order: the side bar lists them and the main
// frame's page stack holds them in this same order, so an index means the same page in both.
// `icon` names an icon of singletons/Icons.qml.
.pragma library

var list = [
    { name: "Dashboard", icon: "dashboard", label: "لوحة التحكم", title: "لوحة التحكم" },
    { name: "PropertiesPage", icon: "properties", label: "العقارات", title: "العقارات والمشاريع" },
    { name: "TenantsPage", icon: "tenants", label: "المستأجرون", title: "المستأجرون" },
    { name: "BuyersPage", icon: "buyers", label: "المشترون", title: "المشترون والمبيعات" },
    { name: "AccountingPage", icon: "accounting", label: "المحاسبة", title: "المحاسبة ومراكز التكلفة" },
    { name: "PaymentsPage", icon: "payments", label: "المدفوعات", title: "المدفوعات" },
    { name: "ChequesPage", icon: "cheques", label: "الشيكات", title: "الشيكات" },
    { name: "InvoicesPage", icon: "invoices", label: "الفواتير", title: "الفواتير" },
    { name: "MaintenancePage", icon: "maintenance", label: "الصيانة", title: "الصيانة" },
    { name: "ReportsPage", icon: "reports", label: "التقارير", title: "التقارير" },
    { name: "UsersPage", icon: "users", label: "المستخدمون", title: "المستخدمون" },
    { name: "SettingsPage", icon: "settings", label: "الإعدادات", title: "الإعدادات" }
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
