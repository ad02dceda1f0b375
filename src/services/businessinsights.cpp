#include "businessinsights.h"

#include "clock.h"
#include "database.h"
#include "money.h"

#include <QLocale>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kIconGood = u"✅"_s;
const QString kIconWarning = u"⚠️"_s;
const QString kIconBad = u"🔴"_s;
const QString kIconCheque = u"🎫"_s;

QVariantMap card(const QString& icon, const QString& title, const QString& description)
{
    return { { u"icon"_s, icon }, { u"title"_s, title }, { u"description"_s, description } };
}

// Cheques to collect by the coming week: received, still pending (already past due included), and
// not of an installment that other money has settled (such a cheque goes back to the buyer). The
// unary plus keeps SQLite on the status index instead of walking every received cheque by type.
const QString kToCollect = uR"(status = 'pending' AND +type = 'received' AND due_date <= ?
    AND NOT EXISTS (SELECT 1 FROM installments i WHERE i.id = cheques.installment_id AND i.status = 'paid'))"_s;

QString weekAheadText()
{
    return Clock::today().addDays(7).toString(u"yyyy-MM-dd"_s);
}

} // namespace

BusinessInsights::BusinessInsights(Database* db)
    : m_db(db)
{ }

QString BusinessInsights::whole(double value)
{
    return QString::number(value, 'f', 0);
}

QString BusinessInsights::oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

QString BusinessInsights::money(double value) const
{
    // The sums are of the primary currency, the one every page writes an amount in when it names none.
    const QString symbol
        = m_db->scalar(u"SELECT symbol FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1"_s).toString();
    return Money::display(value, symbol);
}

QVariantList BusinessInsights::cards() const
{
    QVariantList result;
    for (const QVariantMap& next :
        { occupancyCard(), overdueInvoicesCard(), overdueInstallmentsCard(), chequesDueCard() }) {
        if (!next.isEmpty())
            result.append(next);
    }
    return result;
}

QVariantMap BusinessInsights::occupancyCard() const
{
    // Occupied here means rented: sold units are as empty as available ones for a landlord. Units
    // out of service can be let by nobody; they are counted apart, not as empty.
    static const QString sql = uR"(SELECT COUNT(*) AS total,
            SUM(CASE WHEN status = 'rented' THEN 1 ELSE 0 END) AS rented,
            SUM(CASE WHEN status = 'maintenance' THEN 1 ELSE 0 END) AS out_of_service
        FROM units)"_s;
    const QVariantList rows = m_db->execQuery(sql);
    if (rows.isEmpty())
        return {};
    const QVariantMap row = rows.first().toMap();
    const qint64 outOfService = row.value(u"out_of_service"_s).toLongLong();
    const qint64 total = row.value(u"total"_s).toLongLong() - outOfService;
    const qint64 rented = row.value(u"rented"_s).toLongLong();
    const double rate = total < 1 ? 0.0 : double(rented) / double(total) * 100;

    const QString icon = rate > 80 ? kIconGood : rate > 50 ? kIconWarning : kIconBad;
    QString description = u"نسبة الإشغال %1% (%2/%3 وحدة). "_s.arg(
        whole(rate), QString::number(rented), QString::number(total));
    if (outOfService > 0)
        description += u"%1 وحدة خارج الخدمة. "_s.arg(outOfService);
    description += rate > 80 ? u"أداء ممتاز!"_s : u"يمكن تحسين الإشغال."_s;
    return card(icon, u"تحليل الإشغال"_s, description);
}

QVariantMap BusinessInsights::overdueInvoicesCard() const
{
    // "Neither paid nor void", written as the three ranges around those two words: the same rows,
    // but SQLite reaches them through the status index instead of reading the whole history.
    static const QString sql = uR"(SELECT COALESCE(SUM(balance), 0) AS overdue FROM invoices
        WHERE (status < 'paid' OR (status > 'paid' AND status < 'void') OR status > 'void') AND due_date < ?)"_s;
    const QVariantList rows = m_db->execQuery(sql, { Clock::todayText() });
    if (rows.isEmpty())
        return {};
    // The icon follows the exact sum, the text its rounding: 999.6 is still below the mark of
    // 1000 although it reads as 1000.
    const double overdue = rows.first().toMap().value(u"overdue"_s).toDouble();
    return card(overdue < 1000 ? kIconGood : kIconBad, u"المستحقات المتأخرة"_s,
        u"إجمالي المتأخرات: %1"_s.arg(money(overdue)));
}

QVariantMap BusinessInsights::overdueInstallmentsCard() const
{
    static const QString sql
        = uR"(SELECT COUNT(*) AS c, COALESCE(SUM(installment_amount - paid_amount), 0) AS t
        FROM installments WHERE status != 'paid' AND due_date < ?)"_s;
    const QVariantMap row = m_db->execQuery(sql, { Clock::todayText() }).value(0).toMap();
    const qint64 count = row.value(u"c"_s).toLongLong();
    if (count < 1)
        return {};
    return card(kIconWarning, u"أقساط متأخرة"_s,
        u"%1 قسط متأخر بقيمة %2"_s.arg(QString::number(count), money(row.value(u"t"_s).toDouble())));
}

QVariantMap BusinessInsights::chequesDueCard() const
{
    static const QString sql = uR"(SELECT COUNT(*) AS c, COALESCE(SUM(amount), 0) AS t
        FROM cheques WHERE )"_s
        + kToCollect;
    const QVariantMap row = m_db->execQuery(sql, { weekAheadText() }).value(0).toMap();
    const qint64 count = row.value(u"c"_s).toLongLong();
    if (count < 1)
        return {};
    return card(kIconCheque, u"شيكات مستحقة"_s,
        u"%1 شيك مستحق خلال 7 أيام بقيمة %2"_s.arg(
            QString::number(count), money(row.value(u"t"_s).toDouble())));
}

QVariantMap BusinessInsights::placement() const
{
    // Unlike the occupancy card, the portfolio counts a sold unit as placed as well as a rented one;
    // units out of service are counted apart and left out of the rate, as there.
    static const QString sql = uR"(SELECT COUNT(*) AS total,
            COALESCE(SUM(CASE WHEN status IN ('rented', 'sold') THEN 1 ELSE 0 END), 0) AS placed_units,
            COALESCE(SUM(CASE WHEN status = 'available' THEN 1 ELSE 0 END), 0) AS available_units,
            COALESCE(SUM(CASE WHEN status = 'maintenance' THEN 1 ELSE 0 END), 0) AS out_of_service_units
        FROM units)"_s;
    QVariantMap row = m_db->execQuery(sql).value(0).toMap();
    const qint64 inService
        = row.take(u"total"_s).toLongLong() - row.value(u"out_of_service_units"_s).toLongLong();
    row.insert(u"occupancy"_s,
        inService < 1 ? 0.0 : double(row.value(u"placed_units"_s).toLongLong()) / double(inService) * 100);
    return row;
}

int BusinessInsights::chequesDueWithinAWeek() const
{
    static const QString sql = u"SELECT COUNT(*) AS cnt FROM cheques WHERE "_s + kToCollect;
    return m_db->scalar(sql, { weekAheadText() }).toInt();
}

QVariantMap BusinessInsights::analysis(double revenue, double netProfit, int overdueInstallments) const
{
    QVariantMap result = placement();
    const double placed = result.value(u"occupancy"_s).toDouble();
    QString text = u"### تحليل ذكاء الأعمال (Darvelinto AI)\n\n"_s;

    if (revenue <= 0) {
        text
            += u"⚠️ لا توجد بيانات مالية كافية لتحليل الإيرادات حالياً.\n\n"_s;
    } else {
        const double margin = netProfit / revenue * 100;
        text += u"✅ **الأداء المالي:** تحقق المنظومة حالياً إيرادات إجمالية قدرها **%1**. "_s.arg(
            money(revenue));
        text += u"بهامش ربح صافي يقدر بـ **%1%**. "_s.arg(oneDecimal(margin));
        text += margin > 30 ? u"هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية."_s
                            : u"يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح."_s;
        text += u"\n\n"_s;
    }

    text
        += u"📊 **حالة المحفظة العقارية:** نسبة الإشغال والبيع الحالية هي **%1%**. "_s.arg(oneDecimal(placed));
    text += placed >= 70 ? u"المحفظة في حالة صحية جيدة جداً من حيث الإشغال."_s
                         : u"هناك مساحة كبيرة للنمو، يُنصح بتكثيف النشاط التسويقي للوحدات المتاحة."_s;
    text += u"\n\n"_s;

    text += u"💡 **توصيات ذكية:**\n"_s;
    if (overdueInstallments >= 1) {
        text
            += u"- هناك **%1** دفعات متأخرة. يُفضل التواصل مع العملاء لتحصيلها لضمان تدفق نقدي مستقر.\n"_s.arg(
                overdueInstallments);
    }
    const int chequesDue = chequesDueWithinAWeek();
    if (chequesDue >= 1)
        text
            += u"- تنبيه: يوجد **%1** شيكات تستحق خلال الأسبوع القادم. تأكد من توفر السيولة أو متابعة التحصيل.\n"_s
                   .arg(chequesDue);

    result.insert(u"text"_s, text);
    return result;
}
