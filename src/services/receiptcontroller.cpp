#include "receiptcontroller.h"

#include "arabicamountwords.h"
#include "clock.h"
#include "database.h"
#include "depositmodel.h"
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
    if (method == QLatin1String("deposit"))
        return QStringLiteral("خصماً من التأمين المحتجز");
    if (method == QLatin1String("bank"))
        return QStringLiteral("تحويل بنكي")
            + (reference.isEmpty() ? QString() : QStringLiteral(" - مرجع ") + reference);
    return QStringLiteral("نقداً");
}

/** What every receipt says of its sum: the number, the amount in figures and in words, the method. */
void addAmountTexts(QVariantMap* receipt)
{
    const double amount = receipt->value(QStringLiteral("amount")).toDouble();
    receipt->insert(QStringLiteral("number_text"),
        QStringLiteral("%1").arg(
            receipt->value(QStringLiteral("receipt_number")).toLongLong(), 6, 10, QLatin1Char('0')));
    receipt->insert(QStringLiteral("amount_text"),
        figures(amount, receipt->value(QStringLiteral("currency_symbol")).toString()));
    receipt->insert(QStringLiteral("amount_words"),
        ArabicAmountWords::fromCents(Money::toCents(amount),
            receipt->value(QStringLiteral("currency_code")).toString(),
            receipt->value(QStringLiteral("currency_name")).toString()));
    receipt->insert(QStringLiteral("method_text"), methodText(*receipt));
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
    addAmountTexts(&receipt);
    const QString symbol = receipt.value(QStringLiteral("currency_symbol")).toString();
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
    QString html = letterhead(
        QStringLiteral("سند قبض"), value("number_text").toString(), value("payment_date").toString());

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
    return html + footer(printedBy);
}

QString ReceiptController::letterhead(const QString& title, const QString& number, const QString& date) const
{
    QString html
        = QStringLiteral("<html><head><style>") + kReceiptStyle + QStringLiteral("</style></head><body>");
    QString office = QStringLiteral("<td style='text-align:right;'><h1>") + text(m_settings->companyName())
        + QStringLiteral("</h1><p>") + text(m_settings->companyAddress()) + QStringLiteral("<br>")
        + text(m_settings->companyPhone());
    if (!m_settings->companyEmail().isEmpty())
        office += QStringLiteral("<br>") + text(m_settings->companyEmail());
    office += QStringLiteral("</p></td>");
    const QString heading = QStringLiteral("<td style='text-align:left; vertical-align:top;'><h2>") + title
        + QStringLiteral("</h2><p>رقم: <b>") + text(number) + QStringLiteral("</b><br>التاريخ: ") + text(date)
        + QStringLiteral("</p></td>");
    return html + QStringLiteral("<table class='header-table' width='100%'>")
        + rightToLeftRow({ office, heading }) + QStringLiteral("</table>");
}

QString ReceiptController::footer(const QString& printedBy) const
{
    return QStringLiteral("<p style='text-align:center; margin-top:30px; font-size:9pt; color:#94a3b8;'>طُبع ")
        + (printedBy.isEmpty() ? QString() : QStringLiteral("بواسطة ") + text(printedBy) + QLatin1Char(' '))
        + QStringLiteral("في ") + text(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        + QStringLiteral(" - نظام Darvelinto</p></body></html>");
}

QString ReceiptController::printReceipt(int paymentId)
{
    return printCounted(
        QStringLiteral("UPDATE receipts SET print_count = print_count + 1 WHERE payment_id = ?"), paymentId,
        [this, paymentId] { return getReceipt(paymentId); });
}

QString ReceiptController::printDepositReceipt(int movementId)
{
    return printCounted(QStringLiteral("UPDATE deposit_movements SET print_count = print_count + 1 "
                                       "WHERE id = ? AND receipt_number IS NOT NULL"),
        movementId, [this, movementId] { return getDepositReceipt(movementId); });
}

QString ReceiptController::printCounted(
    const QString& countSql, int id, const std::function<QVariantMap()>& read)
{
    // The print is counted in the same transaction that is committed only once the document is
    // written: a failed print counts nothing, and no second document calls itself the original.
    TransactionGuard transaction(m_db);
    if (!transaction.isActive())
        return QString();
    if (!m_db->execNonQuery(countSql, { id }))
        return QString();
    const QVariantMap receipt = read();
    if (receipt.isEmpty()) {
        qCWarning(lcReceiptPrint) << "no receipt for" << id;
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

QVariantMap ReceiptController::getDepositReceipt(int movementId) const
{
    const QVariantList rows = m_db->execQuery(QStringLiteral(R"(
        SELECT m.receipt_number, m.issued_by, m.print_count, m.amount, m.payment_method, m.movement_date AS payment_date,
               m.reference, m.bank_name, m.contract_id, t.full_name AS payer, u.unit_number, p.name AS property_name,
               c.start_date, c.end_date,
               (SELECT SUM(CASE WHEN o.kind IN ('received', 'carried_in') THEN 1 ELSE -1 END * ROUND(o.amount * 100))
                FROM deposit_movements o WHERE o.contract_id = m.contract_id AND o.id <= m.id) / 100.0 AS balance_after,
               cur.code AS currency_code, cur.name_ar AS currency_name, cur.symbol AS currency_symbol
        FROM deposit_movements m
        JOIN contracts c ON c.id = m.contract_id
        JOIN tenants t ON t.id = c.tenant_id
        JOIN units u ON u.id = c.unit_id
        JOIN properties p ON p.id = u.property_id
        LEFT JOIN currencies cur ON cur.id = COALESCE(m.currency_id,
            (SELECT id FROM currencies WHERE is_primary = 1 ORDER BY id LIMIT 1))
        WHERE m.id = ? AND m.kind = 'received' AND m.receipt_number IS NOT NULL)"),
        { movementId });
    if (rows.isEmpty())
        return {};
    QVariantMap receipt = rows.first().toMap();
    addAmountTexts(&receipt);
    const QString symbol = receipt.value(QStringLiteral("currency_symbol")).toString();
    receipt.insert(QStringLiteral("pays"),
        QStringLiteral("تأمين عقد إيجار %1 من %2 إلى %3")
            .arg(place(receipt), receipt.value(QStringLiteral("start_date")).toString(),
                receipt.value(QStringLiteral("end_date")).toString()));
    receipt.insert(QStringLiteral("balance_label"), QStringLiteral("التأمين المحتجز بعده"));
    receipt.insert(QStringLiteral("balance_text"),
        figures(receipt.value(QStringLiteral("balance_after")).toDouble(), symbol));
    receipt.insert(QStringLiteral("cancelled"), false);
    return receipt;
}

QString ReceiptController::settlementHtml(const QVariantMap& settlement, const QString& printedBy) const
{
    const auto value = [&settlement](const char* key) { return settlement.value(QLatin1String(key)); };
    const QString symbol = value("currency_symbol").toString();
    QString html = letterhead(QStringLiteral("تسوية تأمين"),
        QStringLiteral("%1").arg(value("id").toLongLong(), 6, 10, QLatin1Char('0')),
        value("settlement_date").toString());
    const QList<QPair<QString, QString>> fields = {
        { QStringLiteral("المستأجر"), text(value("tenant_name")) },
        { QStringLiteral("العقار والوحدة"),
            text(value("property_name")) + QStringLiteral(" - الوحدة ") + text(value("unit_number")) },
        { QStringLiteral("مدة العقد"),
            text(value("start_date")) + QStringLiteral(" إلى ") + text(value("end_date")) },
        { QStringLiteral("التأمين المحتجز"),
            QStringLiteral("<b>") + text(figures(value("held").toDouble(), symbol))
                + QStringLiteral("</b>") },
    };
    html += QStringLiteral("<table class='fields' width='100%' cellspacing='0'>");
    for (const auto& [label, field] : fields)
        html += rightToLeftRow(
            { QStringLiteral("<td width='27%' style='color:#64748b;'>") + label + QStringLiteral(":</td>"),
                QStringLiteral("<td>") + field + QStringLiteral("</td>") });
    html += QStringLiteral("</table><h3 style='margin-top:18px;'>الخصومات</h3>");
    html += QStringLiteral("<table class='fields' width='100%' cellspacing='0'>")
        + rightToLeftRow({ QStringLiteral("<td width='8%'><b>#</b></td>"),
            QStringLiteral("<td><b>السبب</b></td>"), QStringLiteral("<td width='25%'><b>المبلغ</b></td>") });
    int row = 0;
    QString refundMethod;
    for (const QVariant& item : value("lines").toList()) {
        const QVariantMap line = item.toMap();
        const QString kind = line.value(QStringLiteral("kind")).toString();
        if (kind == QLatin1String("refund")) {
            refundMethod = line.value(QStringLiteral("payment_method")).toString();
            continue;
        }
        QString reason = line.value(QStringLiteral("reason")).toString();
        if (kind == QLatin1String("unpaid")) {
            const QString number = line.value(QStringLiteral("invoice_number")).toString();
            reason = QStringLiteral("فاتورة غير مسددة ") + number
                + (reason.isEmpty() || reason.startsWith(QStringLiteral("خصم من التأمين"))
                        ? QString()
                        : QStringLiteral(" - ") + reason);
        }
        html += rightToLeftRow({ QStringLiteral("<td>%1</td>").arg(++row),
            QStringLiteral("<td>") + text(reason) + QStringLiteral("</td>"),
            QStringLiteral("<td>") + text(figures(line.value(QStringLiteral("amount")).toDouble(), symbol))
                + QStringLiteral("</td>") });
    }
    if (row == 0)
        html += rightToLeftRow({ QStringLiteral("<td></td>"), QStringLiteral("<td>لا خصومات</td>"),
            QStringLiteral("<td></td>") });
    html += QStringLiteral("</table>");
    const double refunded = value("refunded").toDouble();
    const QString how = refundMethod == QLatin1String("bank") ? QStringLiteral("تحويل بنكي")
        : refundMethod == QLatin1String("cheque")             ? QStringLiteral("شيك")
                                                              : QStringLiteral("نقداً");
    html += QStringLiteral("<table class='fields' width='100%' cellspacing='0' style='margin-top:12px;'>")
        + rightToLeftRow({ QStringLiteral("<td width='27%' style='color:#64748b;'>مجموع الخصومات:</td>"),
            QStringLiteral("<td>") + text(figures(value("deducted").toDouble(), symbol))
                + QStringLiteral("</td>") })
        + rightToLeftRow({ QStringLiteral("<td style='color:#64748b;'>المبلغ المردود:</td>"),
            QStringLiteral("<td><b>") + text(figures(refunded, symbol)) + QStringLiteral("</b>")
                + (refunded > 0 ? QStringLiteral(" (") + how + QStringLiteral(")") : QString())
                + QStringLiteral("</td>") })
        + rightToLeftRow({ QStringLiteral("<td style='color:#64748b;'>المبلغ المردود كتابةً:</td>"),
            QStringLiteral("<td>فقط ")
                + text(ArabicAmountWords::fromCents(Money::toCents(refunded),
                    value("currency_code").toString(), value("currency_name").toString()))
                + QStringLiteral(" لا غير</td>") })
        + QStringLiteral("</table>");
    const QString clerk = value("issued_by").toString();
    html += QStringLiteral("<table width='100%' style='margin-top:40px;'>")
        + rightToLeftRow({ QStringLiteral("<td style='text-align:center;'>المحاسب: ")
                + (clerk.isEmpty() ? QStringLiteral("—") : text(clerk))
                + QStringLiteral("<br><br>التوقيع: _________________</td>"),
            QStringLiteral(
                "<td style='text-align:center;'>توقيع المستأجر بالاستلام<br><br>_________________</td>") })
        + QStringLiteral("</table>");
    return html + footer(printedBy);
}

QString ReceiptController::printSettlement(int contractId)
{
    const QVariantMap settlement = DepositModel(m_db).getSettlement(contractId);
    if (settlement.isEmpty()) {
        qCWarning(lcReceiptPrint) << "contract" << contractId << "has no deposit settlement";
        return QString();
    }
    const QString path = m_print->writeDocument(settlementHtml(settlement, m_db->actingUser()),
        QStringLiteral("Deposit_Settlement_%1.pdf").arg(contractId));
    if (!path.isEmpty())
        m_print->openDocument(path);
    return path;
}
