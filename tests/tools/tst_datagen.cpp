// The generated office must be one the program itself could have written: the books pass the
// same consistency checks as after a crash or a full disk, and the history covers what the pages
// show, dated by the simulated clock.
#include "accountmodel.h"
#include "consistency.h"
#include "datagenerator.h"
#include "reportcontroller.h"
#include "simulatedclock.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2025, 6, 15);

OfficeProfile tinyProfile()
{
    OfficeProfile p;
    p.name = u"tiny"_s;
    p.rentalProperties = 2;
    p.saleProjects = 1;
    p.floors = 2;
    p.unitsPerFloor = 3;
    p.months = 4;
    p.occupiedUnits = 10;
    p.sales = 4;
    p.contractors = 2;
    p.maintenancePerMonth = 2;
    p.expensesPerMonth = 2;
    p.serviceChargesPerMonth = 1;
    p.manualChequesPerMonth = 2;
    return p;
}

bool generate(Database* db, const OfficeProfile& profile, quint32 seed = 7)
{
    DataGenerator::Options options;
    options.profile = profile;
    options.today = kToday;
    options.seed = seed;
    DataGenerator generator(db);
    const bool ok = generator.generate(options);
    if (!ok)
        qWarning() << generator.errorString();
    return ok;
}

/** Every row of the tables the history writes, time stamps included, as one text. */
QString tinyOffice(quint32 seed)
{
    TestDatabase db;
    if (!generate(db.db(), tinyProfile(), seed))
        return {};
    QString text;
    for (const char* table :
        { "tenants", "contracts", "invoices", "invoice_items", "payments", "installments", "cheques",
            "expenses", "maintenance_requests", "journal_lines", "usage_records" }) {
        for (const QVariant& row :
            db->execQuery(u"SELECT * FROM %1 ORDER BY id"_s.arg(QLatin1String(table)))) {
            const QVariantMap map = row.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                text += it.key() + u'=' + it.value().toString() + u';';
        }
    }
    return text;
}

} // namespace

class TestDatagen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QVERIFY(SimulatedClock::install());
    }

    void demoOfficeHasItsShapeAndSoundBooks()
    {
        TestDatabase db;
        QVERIFY(generate(db.db(), OfficeProfile::demo()));
        QCOMPARE(Consistency::problems(db->getDb()), QStringList());
        // A year of rent runs over 60 units in 4 properties, each in the cost-centre tree; the
        // office keeps its 38 contracts, less the tenants who left early this month; 9 sales.
        const QString shape
            = db.value(u"SELECT (SELECT COUNT(*) FROM properties) || ',' || (SELECT COUNT(*) FROM "
                       "units) || ',' || (SELECT COUNT(*) FROM cost_centers WHERE type='unit') || ',' "
                       "|| (SELECT COUNT(DISTINCT period) FROM invoices WHERE contract_id IS NOT NULL) "
                       "|| ',' || (SELECT MIN(period) FROM invoices) || ',' || (SELECT COUNT(*) FROM "
                       "units WHERE status='sold') || ',' || (SELECT COUNT(*) FROM users)"_s)
                  .toString();
        QCOMPARE(shape, u"4,60,60,12,2024-07,9,3"_s);
        const int active = db.count(u"SELECT id FROM contracts WHERE status='active'"_s);
        QVERIFY2(active >= 34 && active <= 38, qPrintable(QString::number(active)));
        QCOMPARE(db.count(u"SELECT id FROM units WHERE status='rented'"_s), active);

        // Something to show on every page and for the checks above to bite on: every status, money
        // still owed, sales with schedules and cheques, news for the dashboard.
        QCOMPARE(
            db.value(u"SELECT group_concat(status) FROM (SELECT DISTINCT status FROM invoices ORDER BY 1)"_s)
                .toString(),
            u"paid,partial,pending,void"_s);
        QCOMPARE(
            db.value(u"SELECT group_concat(status) FROM (SELECT DISTINCT status FROM cheques ORDER BY 1)"_s)
                .toString(),
            u"bounced,paid,pending"_s);
        for (const QString& sql : { u"SELECT id FROM tenants WHERE balance > 0"_s,
                 u"SELECT id FROM installments WHERE status='pending' AND cheque_number != ''"_s,
                 u"SELECT id FROM invoice_items WHERE type='usage'"_s,
                 u"SELECT id FROM contracts WHERE status='terminated'"_s,
                 u"SELECT id FROM maintenance_requests WHERE status='completed'"_s,
                 u"SELECT id FROM expenses WHERE contractor_id IS NOT NULL"_s })
            QVERIFY2(db.count(sql) > 0, qPrintable(sql));
        QVERIFY(db.count(u"SELECT id FROM contracts WHERE status='active' AND end_date <= ?"_s,
                    { kToday.addDays(60).toString(Qt::ISODate) })
            > 0);
        QVERIFY(db.count(u"SELECT id FROM cheques WHERE status='pending' AND due_date > ?"_s,
                    { kToday.toString(Qt::ISODate) })
            > 0);

        // Dated by the simulated clock: a rent run on the first of its period, payments on their
        // day and never after today.
        QCOMPARE(
            db.count(u"SELECT id FROM invoices WHERE contract_id IS NOT NULL AND substr(created_at,1,10) != "
                     "period || '-01'"_s),
            0);
        QCOMPARE(db.count(u"SELECT id FROM payments WHERE substr(created_at,1,10) != payment_date"_s), 0);
        QCOMPARE(
            db.value(u"SELECT MAX(payment_date) FROM payments"_s).toString(), kToday.toString(Qt::ISODate));

        // The books the operations posted say what the reports page works out on the same basis,
        // in shekels, dollar contracts and sales included: account by account, to the cent, and
        // last month's revenue (less exchange differences) and expenses.
        QVERIFY(db.count(u"SELECT id FROM invoices WHERE currency_id != 1"_s) > 0);
        const auto books = [&](const char* codes) {
            return db
                .value(u"SELECT SUM(balance) FROM accounts WHERE instr(?, code)"_s, { QLatin1String(codes) })
                .toDouble();
        };
        const QVariantMap reports = ReportController(db.db()).getAccrualSummary();
        QCOMPARE(reports.value(u"unconverted"_s).toInt(), 0);
        QCOMPARE(books("1100"), reports.value(u"cash"_s).toDouble());
        QCOMPARE(books("1110"), reports.value(u"bank"_s).toDouble());
        QCOMPARE(books("1200"), reports.value(u"tenant_receivables"_s).toDouble());
        QCOMPARE(books("1210"), reports.value(u"buyer_receivables"_s).toDouble());
        QCOMPARE(-books("2100"), reports.value(u"payables"_s).toDouble());
        QCOMPARE(-books("4100 4200"), reports.value(u"rental_revenue"_s).toDouble());
        QCOMPARE(-books("4300"), reports.value(u"sales_revenue"_s).toDouble());
        QCOMPARE(books("5100 5200"), reports.value(u"expenses"_s).toDouble());
        const QString from = kToday.addMonths(-1).toString(u"yyyy-MM-01"_s);
        const QString to
            = QDate::fromString(from, Qt::ISODate).addMonths(1).addDays(-1).toString(Qt::ISODate);
        const QVariantMap month = ReportController(db.db()).getAccrualSummary(from, to);
        const QVariantMap statement = AccountModel(db.db()).getProfitLoss(from, to);
        const double exchange
            = db.value(u"SELECT COALESCE(SUM(jl.credit - jl.debit), 0) FROM journal_lines jl "
                       "JOIN journal_entries je ON je.id = jl.entry_id WHERE jl.account_id = "
                       "(SELECT id FROM accounts WHERE code = '4400') AND je.entry_date BETWEEN ? AND ?"_s,
                    { from, to })
                  .toDouble();
        QCOMPARE(statement.value(u"revenue"_s).toDouble() - exchange, month.value(u"revenue"_s).toDouble());
        QCOMPARE(statement.value(u"expenses"_s).toDouble(), month.value(u"expenses"_s).toDouble());
    }

    void sameSeedWritesTheSameOffice()
    {
        const QString expected = tinyOffice(7);
        QVERIFY(expected.size() > 1000);
        QCOMPARE(tinyOffice(7), expected);
        QVERIFY(tinyOffice(8) != expected);
    }

    void refusesAFileThatHoldsAnOffice()
    {
        TestDatabase db;
        QVERIFY(generate(db.db(), tinyProfile()));
        const QByteArray before = Consistency::contentHash(db->getDb());
        DataGenerator generator(db.db());
        DataGenerator::Options options;
        options.profile = tinyProfile();
        options.today = kToday;
        QVERIFY(!generator.generate(options));
        QCOMPARE(Consistency::contentHash(db->getDb()), before);
    }
};

QTEST_GUILESS_MAIN(TestDatagen)
#include "tst_datagen.moc"
