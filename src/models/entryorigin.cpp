#include "entryorigin.h"

#include "database.h"

#include <QVariantList>

namespace {

struct Kind
{
    const char* type;
    const char* label;
    const char* page;
    /** The operation's row with its figures, by id; columns in the order shown, aliases as labels. */
    const char* sql;
};

// The labels are the aliases of the selection: the dialog shows them as they come.
const Kind kKinds[] = {
    { "invoice", "فاتورة", "InvoicesPage", R"(
        SELECT i.invoice_number AS "رقم الفاتورة", t.full_name AS "المستأجر", i.period AS "الفترة",
               u.unit_number AS "الوحدة", i.total_amount AS "الإجمالي", i.paid_amount AS "المدفوع",
               i.balance AS "المتبقي", c.code AS "العملة",
               CASE i.status WHEN 'pending' THEN 'غير مدفوعة' WHEN 'partial' THEN 'مدفوعة جزئياً'
                             WHEN 'paid' THEN 'مدفوعة' WHEN 'void' THEN 'ملغاة' ELSE i.status END AS "الحالة"
        FROM invoices i LEFT JOIN tenants t ON t.id = i.tenant_id LEFT JOIN units u ON u.id = i.unit_id
        LEFT JOIN currencies c ON c.id = i.currency_id WHERE i.id = ?)" },
    { "void", "إلغاء فاتورة", "InvoicesPage", R"(
        SELECT i.invoice_number AS "رقم الفاتورة", t.full_name AS "المستأجر", i.period AS "الفترة",
               i.total_amount AS "الإجمالي", i.paid_amount AS "المدفوع قبل الإلغاء",
               i.total_amount - i.paid_amount AS "ما أُلغي", c.code AS "العملة", i.voided_at AS "وقت الإلغاء"
        FROM invoices i LEFT JOIN tenants t ON t.id = i.tenant_id
        LEFT JOIN currencies c ON c.id = i.currency_id WHERE i.id = ?)" },
    { "payment", "دفعة مستأجر", "PaymentsPage", R"(
        SELECT p.payment_date AS "التاريخ", t.full_name AS "المستأجر", i.invoice_number AS "الفاتورة",
               p.amount AS "المبلغ", c.code AS "العملة", CASE p.payment_method WHEN 'cash' THEN 'نقداً' WHEN 'bank' THEN 'تحويل بنكي'
                                   WHEN 'cheque' THEN 'شيك' ELSE p.payment_method END AS "طريقة الدفع",
               p.reference AS "المرجع"
        FROM payments p LEFT JOIN tenants t ON t.id = p.tenant_id LEFT JOIN invoices i ON i.id = p.invoice_id
        LEFT JOIN currencies c ON c.id = p.currency_id WHERE p.id = ?)" },
    { "collection", "تحصيل قسط", "BuyersPage", R"(
        SELECT p.payment_date AS "التاريخ", b.full_name AS "المشتري", u.unit_number AS "الوحدة",
               p.amount AS "المبلغ", c.code AS "العملة", CASE p.payment_method WHEN 'cash' THEN 'نقداً' WHEN 'bank' THEN 'تحويل بنكي'
                                   WHEN 'cheque' THEN 'شيك' ELSE p.payment_method END AS "طريقة الدفع",
               p.reference AS "رقم الشيك", p.notes AS "البيان"
        FROM payments p LEFT JOIN buyers b ON b.id = p.buyer_id LEFT JOIN units u ON u.id = p.unit_id
        LEFT JOIN currencies c ON c.id = p.currency_id WHERE p.id = ?)" },
    { "cheque_return", "ارتجاع شيك", "ChequesPage", R"(
        SELECT p.payment_date AS "التاريخ", b.full_name AS "المشتري", u.unit_number AS "الوحدة",
               p.reference AS "رقم الشيك", -p.amount AS "المبلغ المسترد", c.code AS "العملة",
               p.notes AS "البيان"
        FROM payments p LEFT JOIN buyers b ON b.id = p.buyer_id LEFT JOIN units u ON u.id = p.unit_id
        LEFT JOIN currencies c ON c.id = p.currency_id WHERE p.id = ?)" },
    { "expense", "مصروف", "AccountingPage", R"(
        SELECT e.expense_date AS "التاريخ", e.category AS "البند", e.description AS "الوصف",
               pr.name AS "العقار", u.unit_number AS "الوحدة", k.name AS "المقاول", e.amount AS "المبلغ",
               COALESCE(c.code, (SELECT code FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1)) AS "العملة"
        FROM expenses e LEFT JOIN properties pr ON pr.id = e.property_id LEFT JOIN units u ON u.id = e.unit_id
        LEFT JOIN contractors k ON k.id = e.contractor_id LEFT JOIN currencies c ON c.id = e.currency_id
        WHERE e.id = ?)" },
    { "sale", "بيع وحدة", "BuyersPage", R"(
        SELECT u.unit_number AS "الوحدة", pr.name AS "العقار", b.full_name AS "المشتري",
               u.sale_date AS "تاريخ البيع", u.sale_price_actual AS "السعر",
               (SELECT amount FROM payments WHERE unit_id = u.id AND is_down_payment = 1 LIMIT 1) AS "الدفعة المقدمة",
               CAST((SELECT COUNT(*) FROM installments WHERE unit_id = u.id AND added_by_hand = 0) AS TEXT) AS "عدد الأقساط"
        FROM units u LEFT JOIN properties pr ON pr.id = u.property_id LEFT JOIN buyers b ON b.id = u.buyer_id
        WHERE u.id = ?)" },
    { "installment", "قسط مضاف يدوياً", "BuyersPage", R"(
        SELECT b.full_name AS "المشتري", u.unit_number AS "الوحدة", i.installment_amount AS "المبلغ",
               i.due_date AS "تاريخ الاستحقاق", c.code AS "العملة",
               CASE i.status WHEN 'paid' THEN 'مدفوع' WHEN 'partial' THEN 'مدفوع جزئياً' ELSE 'معلق' END AS "الحالة"
        FROM installments i LEFT JOIN buyers b ON b.id = i.buyer_id LEFT JOIN units u ON u.id = i.unit_id
        LEFT JOIN currencies c ON c.id = i.currency_id WHERE i.id = ?)" },
    { "opening", "رصيد افتتاحي", "", R"(
        SELECT code AS "رمز الحساب", name_ar AS "الحساب" FROM accounts WHERE id = ?)" },
};

} // namespace

QVariantMap EntryOrigin::describe(Database* db, const QString& referenceType, int referenceId)
{
    for (const Kind& kind : kKinds) {
        if (referenceType != QLatin1String(kind.type))
            continue;
        QVariantList fields;
        const QString sql = QString::fromUtf8(kind.sql);
        const QVariantList rows = db->execQuery(sql, { referenceId });
        if (!rows.isEmpty()) {
            // The row comes back as a map in key order; the fields are listed in the order of the
            // selection's aliases, empty ones left out.
            const QVariantMap row = rows.first().toMap();
            qsizetype from = 0;
            while ((from = sql.indexOf(QStringLiteral("AS \""), from)) >= 0) {
                const qsizetype start = from + 4;
                const qsizetype end = sql.indexOf(QLatin1Char('"'), start);
                const QString label = sql.mid(start, end - start);
                from = end + 1;
                const QVariant value = row.value(label);
                if (!value.isNull() && !value.toString().isEmpty())
                    fields.append(QVariantMap {
                        { QStringLiteral("label"), label }, { QStringLiteral("value"), value } });
            }
        }
        return { { QStringLiteral("origin_kind"), QString::fromUtf8(kind.label) },
            { QStringLiteral("origin"), fields },
            { QStringLiteral("origin_page"), QString::fromUtf8(kind.page) } };
    }
    return { { QStringLiteral("origin_kind"), QStringLiteral("قيد يدوي") },
        { QStringLiteral("origin"), QVariantList() }, { QStringLiteral("origin_page"), QString() } };
}
