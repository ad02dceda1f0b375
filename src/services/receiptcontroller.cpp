#include "receiptcontroller.h"

#include "arabicamountwords.h"
#include "clock.h"
#include "database.h"
#include "money.h"
#include "printcontroller.h"
#include "settingsmanager.h"
#include "transactionguard.h"

#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcReceiptPrint, "darvelinto.receipts.print")

namespace {

const QString kReceiptStyle
    = QStringLiteral("body { font-family: 'Arial'; color: #1e293b; }"
                     ".header-table { border-bottom: 3px solid #C5A059; margin-bottom: 12px; }"
                     "h1 { color: #C5A059; margin: 0; font-size: 20pt; }"
                     "h2 { margin: 0; font-size: 20pt; color: #1e293b; }"
                     "table.fields td { padding: 9px; font-size: 12pt; border-bottom: 1px solid #e2e8f0; }");

QString text(const QVariant& value)
{
    return PrintController::plainText(value.toString());
}

/** Cells in reading order, written last first: the engine places the first cell on the left. */
QString rightToLeftRow(QStringList cells)
{
    std::reverse(cells.begin(), cells.end());
    return QStringLiteral("<tr>") + cells.join(QString()) + QStringLiteral("</tr>");
}

QString figures(double amount, const QString& symbol)
{
    return QLocale(QLocale::English).toString(Money::roundToCents(amount), 'f', 2)
        + (symbol.isEmpty() ? QString() : QLatin1Char(' ') + symbol);
}

QString methodText(const QVariantMap& row)
{
    const QString method = row.value(QStringLiteral("payment_method")).toString();
    const QString reference = row.value(QStringLiteral("reference")).toString().trimmed();
    const QString bank = row.value(QStringLiteral("bank_name")).toString().trimmed();
    if (method == QLatin1String("cheque")) {
        QString text = QStringLiteral("شيك");
        if (!reference.isEmpty())
            text += QStringLiteral(" رقم ") + reference;
        if (!bank.isEmpty())
            text += (bank.startsWith(QStringLiteral("بنك")) ? QStringLiteral(" - ")
                                                            : QStringLiteral(" - بنك "))
                + bank;
        return text;
    }
    if (method == QLatin1String("bank"))
        return QStringLiteral("تحويل بنكي")
            + (reference.isEmpty() ? QString() : QStringLiteral(" - مرجع ") + reference);
    return QStringLiteral("نقداً");
}

QString place(const QVariantMap& row)
{
    const QString unit = row.value(QStringLiteral("unit_number")).toString();
    const QString property = row.value(QStringLiteral("property_name")).toString();
    if (unit.isEmpty())
        return property;
    return QStringLiteral("الوحدة ") + unit
        + (property.isEmpty() ? QString() : QStringLiteral(" - ") + property);
}

/** What the money paid, and the label of the balance it left there. */
QPair<QString, QString> paysAndBalanceLabel(const QVariantMap& row)
{
    const QString where = place(row);
    const QString suffix = where.isEmpty() ? QString() : QStringLiteral("، ") + where;
    if (!row.value(QStringLiteral("invoice_number")).toString().isEmpty()) {
        const QString period = row.value(QStringLiteral("period")).toString();
        return { QStringLiteral("الفاتورة رقم ") + row.value(QStringLiteral("invoice_number")).toString()
                + (period.isEmpty() ? QString() : QStringLiteral(" عن الفترة ") + period) + suffix,
            QStringLiteral("المتبقي على الفاتورة") };
    }
    if (!row.value(QStringLiteral("installment_due")).toString().isEmpty())
        return { QStringLiteral("القسط المستحق في ") + row.value(QStringLiteral("installment_due")).toString()
                + suffix,
            QStringLiteral("المتبقي على القسط") };
    if (row.value(QStringLiteral("is_down_payment")).toInt() == 1)
        return { QStringLiteral("دفعة مقدمة من ثمن ") + (where.isEmpty() ? QStringLiteral("الوحدة") : where),
            QStringLiteral("المتبقي من ثمن الوحدة") };
    return { row.value(QStringLiteral("notes")).toString(), QStringLiteral("المتبقي") };
}

} // namespace

ReceiptController::ReceiptController(
    Database* db, SettingsManager* settings, PrintController* print, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_settings(settings)
    , m_print(print)
{ }

QVariantMap ReceiptController::getReceipt(int paymentId) const
{
    // A payment that names no currency (older files) is in the primary one.
    const QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT r.receipt_number, r.balance_after, r.issued_by, r.print_count, r.installment_id,
               p.id AS payment_id, p.amount, p.payment_method, p.payment_date, p.reference, p.notes,
               p.is_down_payment, COALESCE(p.bank_name, ch.bank_name) AS bank_name, ch.status AS cheque_status,
               COALESCE(t.full_name, b.full_name) AS payer, i.invoice_number, i.period,
               ins.due_date AS installment_due,
               COALESCE(pu.unit_number, iu.unit_number) AS unit_number,
               COALESCE(pp.name, ip.name) AS property_name,
               c.code AS currency_code, c.name_ar AS currency_name, c.symbol AS currency_symbol
        FROM receipts r JOIN payments p ON p.id = r.payment_id
        LEFT JOIN cheques ch ON ch.id = p.cheque_id
        LEFT JOIN tenants t ON t.id = p.tenant_id
        LEFT JOIN buyers b ON b.id = p.buyer_id
        LEFT JOIN invoices i ON i.id = p.invoice_id
        LEFT JOIN installments ins ON ins.id = r.installment_id
        LEFT JOIN units pu ON pu.id = p.unit_id
        LEFT JOIN properties pp ON pp.id = pu.property_id
        LEFT JOIN units iu ON iu.id = i.unit_id
        LEFT JOIN properties ip ON ip.id = iu.property_id
        LEFT JOIN currencies c ON c.id = COALESCE(p.currency_id,
            (SELECT id FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1))
        WHERE r.payment_id = ?)"),
        { paymentId });
    if (rows.isEmpty())
        return {};
    QVariantMap receipt = rows.first().toMap();
    const qint64 number = receipt.value(QStringLiteral("receipt_number")).toLongLong();
    const double amount = receipt.value(QStringLiteral("amount")).toDouble();
    const QString symbol = receipt.value(QStringLiteral("currency_symbol")).toString();
    receipt.insert(QStringLiteral("number_text"), QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0')));
    receipt.insert(QStringLiteral("amount_text"), figures(amount, symbol));
    receipt.insert(QStringLiteral("amount_words"),
        ArabicAmountWords::fromCents(Money::toCents(amount),
            receipt.value(QStringLiteral("currency_code")).toString(),
            receipt.value(QStringLiteral("currency_name")).toString()));
    receipt.insert(QStringLiteral("method_text"), methodText(receipt));
    const auto [pays, balanceLabel] = paysAndBalanceLabel(receipt);
    receipt.insert(QStringLiteral("pays"), pays);
    receipt.insert(QStringLiteral("balance_label"), balanceLabel);
    const QVariant balance = receipt.value(QStringLiteral("balance_after"));
    receipt.insert(
        QStringLiteral("balance_text"), balance.isNull() ? QString() : figures(balance.toDouble(), symbol));
    receipt.insert(QStringLiteral("cancelled"),
        receipt.value(QStringLiteral("cheque_status")).toString() == QLatin1String("bounced"));
    return receipt;
}

QVariantList ReceiptController::getInstallmentReceipts(int installmentId) const
{
    QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT r.payment_id, r.receipt_number, p.amount, p.payment_date
        FROM receipts r JOIN payments p ON p.id = r.payment_id
        WHERE r.installment_id = ? ORDER BY r.receipt_number DESC)"),
        { installmentId });
    for (QVariant& row : rows) {
        QVariantMap map = row.toMap();
        map.insert(QStringLiteral("number_text"),
            QStringLiteral("%1").arg(
                map.value(QStringLiteral("receipt_number")).toLongLong(), 6, 10, QLatin1Char('0')));
        row = map;
    }
    return rows;
}

QString ReceiptController::receiptHtml(const QVariantMap& receipt, bool copy, const QString& printedBy) const
{
    const auto value = [&receipt](const char* key) { return receipt.value(QLatin1String(key)); };
    QString html
        = QStringLiteral("<html><head><style>") + kReceiptStyle + QStringLiteral("</style></head><body>");

    QString office = QStringLiteral("<td style='text-align:right;'><h1>") + text(m_settings->companyName())
        + QStringLiteral("</h1><p>") + text(m_settings->companyAddress()) + QStringLiteral("<br>")
        + text(m_settings->companyPhone());
    if (!m_settings->companyEmail().isEmpty())
        office += QStringLiteral("<br>") + text(m_settings->companyEmail());
    office += QStringLiteral("</p></td>");
    const QString title
        = QStringLiteral("<td style='text-align:left; vertical-align:top;'><h2>سند قبض</h2><p>رقم: <b>")
        + text(value("number_text")) + QStringLiteral("</b><br>التاريخ: ") + text(value("payment_date"))
        + QStringLiteral("</p></td>");
    html += QStringLiteral("<table class='header-table' width='100%'>") + rightToLeftRow({ office, title })
        + QStringLiteral("</table>");

    if (copy)
        html += QStringLiteral(
            "<p style='text-align:center; font-size:18pt; font-weight:bold; color:#b91c1c;'>"
            "نسخة</p>");
    if (value("cancelled").toBool())
        html += QStringLiteral(
            "<p style='text-align:center; font-size:13pt; font-weight:bold; color:#b91c1c;'>"
            "ملغى: أُعيد الشيك الذي دُفع به هذا المبلغ</p>");

    QList<QPair<QString, QString>> fields = {
        { QStringLiteral("استلمنا من"), text(value("payer")) },
        { QStringLiteral("مبلغاً وقدره"),
            QStringLiteral("<b>") + text(value("amount_text")) + QStringLiteral("</b>") },
        { QStringLiteral("المبلغ كتابةً"),
            QStringLiteral("<b>فقط ") + text(value("amount_words")) + QStringLiteral(" لا غير</b>") },
        { QStringLiteral("العملة"), text(value("currency_name")) },
        { QStringLiteral("طريقة الدفع"), text(value("method_text")) },
        { QStringLiteral("وذلك عن"), text(value("pays")) },
    };
    if (!value("balance_text").toString().isEmpty())
        fields.append({ value("balance_label").toString().toHtmlEscaped(), text(value("balance_text")) });
    html += QStringLiteral("<table class='fields' width='100%' cellspacing='0'>");
    for (const auto& [label, field] : std::as_const(fields))
        html += rightToLeftRow(
            { QStringLiteral("<td width='27%' style='color:#64748b;'>") + label + QStringLiteral(":</td>"),
                QStringLiteral("<td>") + field + QStringLiteral("</td>") });
    html += QStringLiteral("</table>");

    const QString clerk = value("issued_by").toString();
    html += QStringLiteral("<table width='100%' style='margin-top:40px;'>")
        + rightToLeftRow({ QStringLiteral("<td style='text-align:center;'>المحاسب: ")
                + (clerk.isEmpty() ? QStringLiteral("—") : text(clerk))
                + QStringLiteral("<br><br>التوقيع: _________________</td>"),
            QStringLiteral("<td style='text-align:center;'>الختم<br><br>_________________</td>") })
        + QStringLiteral("</table>");
    html
        += QStringLiteral("<p style='text-align:center; margin-top:30px; font-size:9pt; color:#94a3b8;'>طُبع ")
        + (printedBy.isEmpty() ? QString() : QStringLiteral("بواسطة ") + text(printedBy) + QLatin1Char(' '))
        + QStringLiteral("في ") + text(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        + QStringLiteral(" - نظام Darvelinto</p></body></html>");
    return html;
}

QString ReceiptController::printReceipt(int paymentId)
{
    // The print is counted in the same transaction that is committed only once the document is
    // written: a failed print counts nothing, and no second document calls itself the original.
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return QString();
    if (!m_db->execNonQuery(
            QStringLiteral("UPDATE receipts SET print_count = print_count + 1 WHERE payment_id = ?"),
            { paymentId }))
        return QString();
    const QVariantMap receipt = getReceipt(paymentId);
    if (receipt.isEmpty()) {
        qCWarning(lcReceiptPrint) << "payment" << paymentId << "has no receipt";
        return QString();
    }
    const int prints = receipt.value(QStringLiteral("print_count")).toInt();
    const bool copy = prints > 1;
    QString fileName = QStringLiteral("Receipt_") + receipt.value(QStringLiteral("number_text")).toString();
    if (copy)
        fileName += QStringLiteral("_copy_%1").arg(prints - 1);
    const QString path = m_print->writeDocument(
        receiptHtml(receipt, copy, m_db->actingUser()), fileName + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return QString();
    if (!transaction.commit()) {
        qCWarning(lcReceiptPrint) << "could not count the print of receipt" << fileName;
        QFile::remove(path);
        return QString();
    }
    m_print->openDocument(path);
    return path;
}
