// A stand-in for the office at work, for the crash test: opens the database file it is given
// and keeps doing what the office does all day (new contracts, rent runs, payments, voids, service
// charges, unit sales with long schedules, installment collections, installment cheques cashed and
// bounced) until it is killed.
//
//     reliability-worker <database file> <seed>
//
// It reports on standard output, one line each, flushed at once:
//     READY                      the database is open
//     B <operation>              an operation starts
//     C <kind> <id> [<figure>]   an operation was committed (what the test then expects to find)
// A bounce names its cheque, installment and the amount it takes back on its B line too, since a
// kill between its commit and its C line leaves the test to find out from the cheque's status.
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "database.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QCoreApplication>
#include <QDate>
#include <QRandomGenerator>
#include <cmath>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// The worker never outlives a test that lost track of it.
constexpr int kLifetimeMs = 60000;

void say(const QString& line)
{
    // One write per line: a kill never leaves half of a line that looks whole.
    const QByteArray bytes = line.toUtf8() + '\n';
    [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size()));
}

class Office
{
public:
    Office(Database* db, quint32 seed)
        : m_db(db)
        , m_random(seed)
        , m_properties(db)
        , m_units(db)
        , m_tenants(db)
        , m_contracts(db)
        , m_invoices(db)
        , m_payments(db)
        , m_buyers(db)
        , m_installments(db)
        , m_cheques(db)
    { }

    void work()
    {
        m_property = propertyId();
        if (m_property <= 0)
            return;
        for (;;) {
            const int roll = m_random.bounded(100);
            if (roll < 16)
                letUnit();
            else if (roll < 32)
                rentRun();
            else if (roll < 50)
                pay();
            else if (roll < 55)
                voidInvoice();
            else if (roll < 60)
                serviceCharge();
            else if (roll < 76)
                sell();
            else if (roll < 86)
                collect();
            else if (roll < 91)
                cashCheque();
            else if (roll < 96)
                bounceCheque();
            else
                oneOffInvoice();
        }
    }

private:
    int propertyId()
    {
        const QVariant existing
            = m_db->scalar(QStringLiteral("SELECT id FROM properties ORDER BY id LIMIT 1"));
        if (existing.isValid())
            return existing.toInt();
        say(QStringLiteral("B property"));
        const int id = m_properties.add(QStringLiteral("برج الاختبار"), QStringLiteral("mixed"),
            QStringLiteral("شارع القدس"), QStringLiteral("رام الله"), QString());
        if (id > 0)
            say(QStringLiteral("C property %1").arg(id));
        return id;
    }

    QString month(int offset) const
    {
        return QDate(2023, 1, 1).addMonths(offset).toString(QStringLiteral("yyyy-MM"));
    }

    /** A unit number nobody has used yet, also across restarts. */
    QString freshNumber(const QString& prefix)
    {
        return prefix + QString::number(QDateTime::currentMSecsSinceEpoch() % 100000000) + QLatin1Char('-')
            + QString::number(m_random.bounded(1000000));
    }

    QVariantMap randomRow(const QString& sql)
    {
        const QVariantList rows = m_db->execQuery(sql);
        return rows.isEmpty() ? QVariantMap() : rows.first().toMap();
    }

    double cents(double amount) const { return std::round(amount * 100.0) / 100.0; }

    void letUnit()
    {
        say(QStringLiteral("B let"));
        const QString number = freshNumber(QStringLiteral("R"));
        const int unit = m_units.add(m_property, number, 1 + m_random.bounded(12), 80 + m_random.bounded(120),
            1 + m_random.bounded(5), 1000, 12000, 0, 1);
        if (unit <= 0)
            return;
        say(QStringLiteral("C unit %1").arg(unit));
        const int tenant = m_tenants.add(QStringLiteral("مستأجر ") + number, QString(),
            QStringLiteral("0599000000"), QString(), QString());
        if (tenant <= 0)
            return;
        say(QStringLiteral("C tenant %1").arg(tenant));
        const QDate start = QDate(2023, 1, 1).addMonths(m_random.bounded(36)).addDays(m_random.bounded(28));
        const QDate end = start.addMonths(12 + m_random.bounded(25)).addDays(-1);
        const bool yearly = m_random.bounded(5) == 0;
        const int contract = m_contracts.add(unit, tenant, start.toString(Qt::ISODate),
            end.toString(Qt::ISODate), cents(500 + m_random.generateDouble() * 4000),
            yearly ? QStringLiteral("yearly") : QStringLiteral("monthly"), 1000, 1);
        if (contract > 0)
            say(QStringLiteral("C contract %1").arg(contract));
    }

    void rentRun()
    {
        const QString period = month(m_random.bounded(60));
        say(QStringLiteral("B rent %1").arg(period));
        const int made = m_invoices.generateAllRent(period);
        say(QStringLiteral("C rent %1 %2").arg(period).arg(made));
    }

    void pay()
    {
        const QVariantMap invoice
            = randomRow(QStringLiteral("SELECT id, tenant_id, balance FROM invoices WHERE status IN "
                                       "('pending','partial') AND balance > 0.01 ORDER BY random() LIMIT 1"));
        if (invoice.isEmpty())
            return rentRun();
        const double open = invoice.value(QStringLiteral("balance")).toDouble();
        const double amount
            = m_random.bounded(3) == 0 ? open : std::max(0.01, cents(open * m_random.generateDouble()));
        say(QStringLiteral("B pay"));
        const int id = m_payments.add(invoice.value(QStringLiteral("id")).toInt(),
            invoice.value(QStringLiteral("tenant_id")).toInt(), std::min(amount, open),
            QStringLiteral("cash"), QStringLiteral("2025-06-01"),
            QStringLiteral("R-%1").arg(m_random.bounded(100000)), 1);
        if (id > 0)
            say(QStringLiteral("C payment %1").arg(id));
    }

    void voidInvoice()
    {
        const QVariantMap invoice = randomRow(
            QStringLiteral("SELECT id FROM invoices WHERE status != 'void' ORDER BY random() LIMIT 1"));
        if (invoice.isEmpty())
            return;
        say(QStringLiteral("B void"));
        if (m_invoices.voidInvoice(invoice.value(QStringLiteral("id")).toInt()))
            say(QStringLiteral("C void %1").arg(invoice.value(QStringLiteral("id")).toInt()));
    }

    void serviceCharge()
    {
        const QVariantList tenants
            = m_db->execQuery(QStringLiteral("SELECT id FROM tenants ORDER BY random() LIMIT 20"));
        QVariantList ids;
        for (const QVariant& row : tenants)
            ids.append(row.toMap().value(QStringLiteral("id")));
        say(QStringLiteral("B service"));
        const int made = m_invoices.generateServiceInvoice(ids, QStringLiteral("تنظيف"),
            cents(20 + m_random.generateDouble() * 200), month(m_random.bounded(60)), 1);
        say(QStringLiteral("C service 0 %1").arg(made));
    }

    void oneOffInvoice()
    {
        const QVariantMap tenant
            = randomRow(QStringLiteral("SELECT id FROM tenants ORDER BY random() LIMIT 1"));
        if (tenant.isEmpty())
            return;
        QVariantList items;
        for (int i = 0, n = 1 + m_random.bounded(5); i < n; ++i) {
            const double price = cents(10 + m_random.generateDouble() * 300);
            items.append(QVariantMap { { QStringLiteral("description"), QStringLiteral("بند %1").arg(i) },
                { QStringLiteral("type"), QStringLiteral("service") }, { QStringLiteral("quantity"), 1 },
                { QStringLiteral("unit_price"), price }, { QStringLiteral("total"), price } });
        }
        say(QStringLiteral("B invoice"));
        const int id = m_invoices.createInvoice(
            tenant.value(QStringLiteral("id")).toInt(), 0, month(m_random.bounded(60)), items, 1);
        if (id > 0)
            say(QStringLiteral("C invoice %1").arg(id));
    }

    void sell()
    {
        say(QStringLiteral("B sale"));
        const QString number = freshNumber(QStringLiteral("S"));
        const int unit = m_units.add(m_property, number, m_random.bounded(20), 120, 3, 0, 0, 500000, 1);
        if (unit <= 0)
            return;
        say(QStringLiteral("C unit %1").arg(unit));
        const int buyer = m_buyers.add(
            QStringLiteral("مشتري ") + number, QString(), QStringLiteral("0598000000"), QString(), QString());
        if (buyer <= 0)
            return;
        say(QStringLiteral("C buyer %1").arg(buyer));
        const double total = cents(50000 + m_random.generateDouble() * 850000);
        const double down = m_random.bounded(4) == 0 ? 0.0 : cents(total * m_random.generateDouble() * 0.3);
        // Long schedules make the sale a long transaction, so kills land inside it.
        const int count = 12 + m_random.bounded(229);
        const QString start = QDate(2024, 1, 1).addDays(m_random.bounded(900)).toString(Qt::ISODate);
        const int book = m_random.bounded(4);
        const QString firstCheque = book == 0 ? QString()
            : book == 1                       ? QStringLiteral("A-7")
                                              : QString::number(1000 + m_random.bounded(100000));
        if (m_installments.sellUnit(
                buyer, unit, total, down, count, start, 1, firstCheque, QStringLiteral("بنك فلسطين"))
            == 1)
            say(QStringLiteral("C sale %1").arg(unit));
    }

    void collect()
    {
        const QVariantMap installment
            = randomRow(QStringLiteral("SELECT id, installment_amount - paid_amount AS open FROM "
                                       "installments WHERE status != 'paid' ORDER BY random() LIMIT 1"));
        if (installment.isEmpty())
            return sell();
        const double open = installment.value(QStringLiteral("open")).toDouble();
        const double amount
            = m_random.bounded(2) == 0 ? open : std::max(0.01, cents(open * m_random.generateDouble()));
        if (amount <= 0)
            return;
        say(QStringLiteral("B collect"));
        const int id = installment.value(QStringLiteral("id")).toInt();
        if (m_installments.payInstallment(id, amount))
            say(QStringLiteral("C collect %1 %2").arg(id).arg(amount, 0, 'f', 2));
    }

    double paidOn(int installment) const
    {
        return m_db
            ->scalar(QStringLiteral("SELECT paid_amount FROM installments WHERE id = ?"), { installment })
            .toDouble();
    }

    /** Cashes a pending cheque of an open installment: the installment is collected through it. */
    void cashCheque()
    {
        const QVariantMap cheque = randomRow(QStringLiteral(
            "SELECT c.id, c.installment_id FROM cheques c JOIN installments i ON i.id = c.installment_id "
            "WHERE c.status = 'pending' AND i.status != 'paid' ORDER BY random() LIMIT 1"));
        if (cheque.isEmpty())
            return sell();
        const int id = cheque.value(QStringLiteral("id")).toInt();
        const int installment = cheque.value(QStringLiteral("installment_id")).toInt();
        const double before = paidOn(installment);
        say(QStringLiteral("B cash"));
        if (m_cheques.updateStatus(id, QStringLiteral("paid")))
            say(QStringLiteral("C cash %1 %2").arg(installment).arg(paidOn(installment) - before, 0, 'f', 2));
    }

    /** A cashed installment cheque comes back from the bank: its collection is taken back. */
    void bounceCheque()
    {
        const QVariantMap cheque = randomRow(
            QStringLiteral("SELECT c.id, c.installment_id, (SELECT COALESCE(SUM(amount), 0) FROM payments p "
                           "WHERE p.cheque_id = c.id) AS held FROM cheques c WHERE c.status = 'paid' "
                           "AND c.installment_id IS NOT NULL ORDER BY random() LIMIT 1"));
        if (cheque.isEmpty())
            return cashCheque();
        const QString what = QStringLiteral("bounce %1 %2 %3")
                                 .arg(cheque.value(QStringLiteral("id")).toInt())
                                 .arg(cheque.value(QStringLiteral("installment_id")).toInt())
                                 .arg(cheque.value(QStringLiteral("held")).toDouble(), 0, 'f', 2);
        say(QStringLiteral("B ") + what);
        if (m_cheques.updateStatus(cheque.value(QStringLiteral("id")).toInt(), QStringLiteral("bounced")))
            say(QStringLiteral("C ") + what);
    }

    Database* m_db;
    QRandomGenerator m_random;
    PropertyModel m_properties;
    UnitModel m_units;
    TenantModel m_tenants;
    ContractModel m_contracts;
    InvoiceModel m_invoices;
    PaymentModel m_payments;
    BuyerModel m_buyers;
    InstallmentModel m_installments;
    ChequeModel m_cheques;
    int m_property = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    // Dies with the test that started it, whatever happens to the test.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        say(QStringLiteral("usage: reliability-worker <database file> <seed>"));
        return 2;
    }
    ::alarm(kLifetimeMs / 1000);

    Database database;
    if (!database.initialize(args.at(1)))
        return 1;
    say(QStringLiteral("READY"));
    Office office(&database, args.at(2).toUInt());
    office.work();
    return 0;
}
