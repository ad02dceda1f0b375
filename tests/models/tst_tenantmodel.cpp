#include "contractmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rentalfixtures.h"
#include "reportcontroller.h"
#include "tenantmodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

using namespace RentalFixtures;

class TestTenantModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TenantModel> m_tenants;

    Database* db() const { return m_db->db(); }

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_tenants = std::make_unique<TenantModel>(db());
    }
    void cleanup()
    {
        m_tenants.reset();
        m_db.reset();
    }

    void addStoresTheTenant()
    {
        QSignalSpy changed(m_tenants.get(), &TenantModel::dataChanged);
        const int id = m_tenants->add(QStringLiteral("أحمد يوسف"), QStringLiteral("401234567"),
            QStringLiteral("0599123456"), QStringLiteral("ahmad@example.com"), QStringLiteral("البيرة"));
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = m_tenants->getById(id);
        QCOMPARE(row.value(QStringLiteral("full_name")).toString(), QStringLiteral("أحمد يوسف"));
        QCOMPARE(row.value(QStringLiteral("id_number")).toString(), QStringLiteral("401234567"));
        QCOMPARE(row.value(QStringLiteral("phone")).toString(), QStringLiteral("0599123456"));
        QCOMPARE(row.value(QStringLiteral("email")).toString(), QStringLiteral("ahmad@example.com"));
        QCOMPARE(row.value(QStringLiteral("address")).toString(), QStringLiteral("البيرة"));
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 0.0);
    }

    void tenantsWithoutIdentityNumberDoNotCollide()
    {
        const int first = m_tenants->add(QStringLiteral("سعاد"), QString(), {}, {}, {});
        const int second = m_tenants->add(QStringLiteral("منى"), QStringLiteral("  "), {}, {}, {});
        QVERIFY(first > 0 && second > 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM tenants WHERE id_number IS NULL")), 2);
        QVERIFY(m_tenants->update(first, QStringLiteral("سعاد"), QString(), {}, {}, {}));
        QVERIFY(m_tenants->getById(first).value(QStringLiteral("id_number")).isNull());
    }

    void duplicateIdentityOrBlankNameIsRefused()
    {
        QVERIFY(m_tenants->add(QStringLiteral("سليم"), QStringLiteral("900"), {}, {}, {}) > 0);
        QSignalSpy changed(m_tenants.get(), &TenantModel::dataChanged);
        QCOMPARE(m_tenants->add(QStringLiteral("كريم"), QStringLiteral("900"), {}, {}, {}), -1);
        QVERIFY(m_tenants->lastError().contains(QStringLiteral("رقم الهوية 900")));
        QCOMPARE(m_tenants->add(QStringLiteral(" "), QStringLiteral("901"), {}, {}, {}), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
    }

    void getAllCountsActiveContractsOnly()
    {
        const int property = addProperty(db());
        const int u1 = addUnit(db(), property, QStringLiteral("1"));
        const int u2 = addUnit(db(), property, QStringLiteral("2"));
        const int zaid = addTenant(db(), QStringLiteral("زيد"));
        const int bassam = addTenant(db(), QStringLiteral("بسام"));
        addContract(db(), u1, zaid, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 900);
        ContractModel contracts(db());
        QVERIFY(contracts.terminate(
            addContract(db(), u2, zaid, QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"), 900)));

        const QVariantList all = m_tenants->getAll();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).toMap().value(QStringLiteral("id")).toInt(), bassam); // by name
        QCOMPARE(all.at(0).toMap().value(QStringLiteral("active_contracts")).toInt(), 0);
        QCOMPARE(all.at(1).toMap().value(QStringLiteral("active_contracts")).toInt(), 1);
    }

    void updateStoresOrRefuses()
    {
        const int id = addTenant(db(), QStringLiteral("وليد"), QStringLiteral("111"));
        addTenant(db(), QStringLiteral("فادي"), QStringLiteral("222"));
        QSignalSpy changed(m_tenants.get(), &TenantModel::dataChanged);
        QVERIFY(m_tenants->update(id, QStringLiteral("وليد حسن"), QStringLiteral("333"),
            QStringLiteral("0560000000"), QStringLiteral("w@example.com"), QStringLiteral("جنين")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(
            m_tenants->getById(id).value(QStringLiteral("full_name")).toString(), QStringLiteral("وليد حسن"));

        QVERIFY(!m_tenants->update(id, QStringLiteral("وليد"), QStringLiteral("222"), {}, {}, {}));
        QVERIFY(!m_tenants->update(9999, QStringLiteral("أي"), {}, {}, {}, {}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_tenants->getById(id).value(QStringLiteral("id_number")).toString(), QStringLiteral("333"));
    }

    void removeOfATenantWithoutHistory()
    {
        const int id = addTenant(db(), QStringLiteral("جديد"));
        QSignalSpy changed(m_tenants.get(), &TenantModel::dataChanged);
        QVERIFY(m_tenants->remove(id));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
    }

    void removeRefusedWithHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::newRow("active contract") << QStringLiteral("active");
        QTest::newRow("terminated contract") << QStringLiteral("terminated");
        QTest::newRow("invoice") << QStringLiteral("invoice");
        QTest::newRow("payment") << QStringLiteral("payment");
        QTest::newRow("cheque") << QStringLiteral("cheque");
    }
    void removeRefusedWithHistory()
    {
        QFETCH(QString, history);
        const int tenant = addTenant(db(), QStringLiteral("قديم"));
        const int unit = addUnit(db(), addProperty(db()), QStringLiteral("1"));
        if (history == QLatin1String("active") || history == QLatin1String("terminated")) {
            const int contract = addContract(
                db(), unit, tenant, QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 800);
            ContractModel contracts(db());
            QVERIFY(history == QLatin1String("active") || contracts.terminate(contract));
        } else if (history == QLatin1String("invoice")) {
            QVERIFY(db()->execInsert(QStringLiteral(R"(
                INSERT INTO invoices (invoice_number,tenant_id,unit_id,period,total_amount,balance,due_date)
                VALUES ('INV-202501-0001',?,?,'2025-01',800,800,'2025-01-28'))"),
                        { tenant, unit })
                > 0);
        } else if (history == QLatin1String("payment")) {
            QVERIFY(db()->execInsert(QStringLiteral(R"(
                INSERT INTO payments (tenant_id,amount,payment_method,payment_date) VALUES (?,100,'cash','2025-01-05'))"),
                        { tenant })
                > 0);
        } else {
            QVERIFY(db()->execInsert(
                        QStringLiteral(
                            "INSERT INTO cheques (cheque_number,amount,tenant_id) VALUES ('5001',800,?)"),
                        { tenant })
                > 0);
        }
        // The model's own checks must hold where the file's foreign keys do not: columns added
        // to older files carry none.
        QVERIFY(db()->execNonQuery(QStringLiteral("PRAGMA foreign_keys=OFF")));
        QSignalSpy changed(m_tenants.get(), &TenantModel::dataChanged);
        QVERIFY(!m_tenants->remove(tenant));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM tenants WHERE id=?"), { tenant }), 1);
    }

    void statementListsInvoicesAndPaymentsByDate()
    {
        const int tenant = addTenant(db(), QStringLiteral("عمر"));
        const int other = addTenant(db(), QStringLiteral("غيره"));
        const QString invoiceSql = QStringLiteral(R"(
            INSERT INTO invoices (invoice_number,tenant_id,period,total_amount,balance,status,due_date,notes,created_at)
            VALUES (?,?,?,?,?,?,?,?,?))");
        QVERIFY(db()->execInsert(invoiceSql,
                    { QStringLiteral("INV-202503-0001"), tenant, QStringLiteral("2025-03"), 1000.0, 1000.0,
                        QStringLiteral("pending"), QStringLiteral("2025-03-28"), QStringLiteral("إيجار آذار"),
                        QStringLiteral("2025-03-01 09:30:00") })
            > 0);
        QVERIFY(db()->execInsert(invoiceSql,
                    { QStringLiteral("INV-202502-0007"), tenant, QStringLiteral("2025-02"), 500.0, 0.0,
                        QStringLiteral("void"), QStringLiteral("2025-02-28"), QVariant(),
                        QStringLiteral("2025-02-03 10:00:00") })
            > 0);
        QVERIFY(db()->execInsert(invoiceSql,
                    { QStringLiteral("INV-202503-0002"), other, QStringLiteral("2025-03"), 70.0, 70.0,
                        QStringLiteral("pending"), QStringLiteral("2025-03-28"), QVariant(),
                        QStringLiteral("2025-03-01 09:00:00") })
            > 0);
        QVERIFY(db()->execInsert(QStringLiteral(R"(
            INSERT INTO payments (tenant_id,amount,payment_method,payment_date,reference,notes)
            VALUES (?,400,'bank','2025-03-01','TRX-9','دفعة أولى'))"),
                    { tenant })
            > 0);

        const QVariantList rows = m_tenants->getStatement(tenant);
        QCOMPARE(rows.size(), 4);
        const QVariantMap voided = rows.at(0).toMap();
        QCOMPARE(voided.value(QStringLiteral("ref")).toString(), QStringLiteral("INV-202502-0007"));
        // Its void, of an unknown day, follows it and takes back what was open.
        const QVariantMap takenBack = rows.at(1).toMap();
        QCOMPARE(takenBack.value(QStringLiteral("type")).toString(), QStringLiteral("void"));
        QCOMPARE(takenBack.value(QStringLiteral("ref")).toString(), QStringLiteral("INV-202502-0007"));
        QCOMPARE(takenBack.value(QStringLiteral("credit")).toDouble(), 500.0);
        // Same day: the bare payment date sorts before the invoice's timestamp.
        const QVariantMap payment = rows.at(2).toMap();
        QCOMPARE(payment.value(QStringLiteral("type")).toString(), QStringLiteral("payment"));
        QCOMPARE(payment.value(QStringLiteral("date")).toString(), QStringLiteral("2025-03-01"));
        QCOMPARE(payment.value(QStringLiteral("ref")).toString(), QStringLiteral("TRX-9"));
        QCOMPARE(payment.value(QStringLiteral("debit")).toDouble(), 0.0);
        QCOMPARE(payment.value(QStringLiteral("credit")).toDouble(), 400.0);
        QCOMPARE(payment.value(QStringLiteral("description")).toString(), QStringLiteral("دفعة أولى"));
        const QVariantMap invoice = rows.at(3).toMap();
        QCOMPARE(invoice.value(QStringLiteral("type")).toString(), QStringLiteral("invoice"));
        QCOMPARE(invoice.value(QStringLiteral("date")).toString(), QStringLiteral("2025-03-01 09:30:00"));
        QCOMPARE(invoice.value(QStringLiteral("debit")).toDouble(), 1000.0);
        QCOMPARE(invoice.value(QStringLiteral("credit")).toDouble(), 0.0);
        QCOMPARE(invoice.value(QStringLiteral("description")).toString(), QStringLiteral("إيجار آذار"));
        QCOMPARE(invoice.keys().size(), 6);
    }

    // The stored balance and both statements tell one story: a void takes back what was still
    // open, and what was paid stays paid, its payment on the statement.
    void statementsCloseAtTheStoredBalance_data()
    {
        QTest::addColumn<double>("paid");
        QTest::addColumn<bool>("voided");
        QTest::addColumn<double>("owed");
        QTest::newRow("partly paid, then voided") << 400.0 << true << 250.0;
        QTest::newRow("voided unpaid") << 0.0 << true << 250.0;
        QTest::newRow("paid, then voided") << 1000.0 << true << 250.0;
        QTest::newRow("partly paid") << 400.0 << false << 850.0;
    }
    void statementsCloseAtTheStoredBalance()
    {
        QFETCH(double, paid);
        QFETCH(bool, voided);
        QFETCH(double, owed);
        const int tenant = addTenant(db(), QStringLiteral("وفاء"));
        InvoiceModel invoices(db());
        PaymentModel payments(db());
        const auto line = [](double total) {
            return QVariantList { QVariantMap { { QStringLiteral("description"), QStringLiteral("إيجار") },
                { QStringLiteral("unit_price"), total }, { QStringLiteral("total"), total } } };
        };
        const int first = invoices.createInvoice(tenant, 0, QStringLiteral("2025-03"), line(1000), 1);
        QVERIFY(invoices.createInvoice(tenant, 0, QStringLiteral("2025-04"), line(250), 1) > 0);
        if (paid > 0)
            QVERIFY(payments.add(first, tenant, paid, QStringLiteral("cash"), QStringLiteral("2025-03-10"),
                        QStringLiteral("R-1"), 1)
                > 0);
        if (voided)
            QVERIFY(invoices.voidInvoice(first));

        const auto closing = [](const QVariantList& rows) {
            double sum = 0;
            for (const QVariant& row : rows)
                sum += row.toMap().value(QStringLiteral("debit")).toDouble()
                    - row.toMap().value(QStringLiteral("credit")).toDouble();
            return sum;
        };
        QCOMPARE(m_tenants->getById(tenant).value(QStringLiteral("balance")).toDouble(), owed);
        QCOMPARE(closing(m_tenants->getStatement(tenant)), owed);
        const QVariantList shown = ReportController(db()).getTenantStatement(tenant);
        QCOMPARE(closing(shown), owed);
        // The payment stays on the statement shown to the tenant.
        QCOMPARE(std::count_if(shown.cbegin(), shown.cend(),
                     [](const QVariant& row) { return row.toMap().value(QStringLiteral("ref")) == "R-1"; }),
            paid > 0 ? 1 : 0);
    }

    void searchMatchesNamePhoneOrIdentity_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("matches");
        QTest::newRow("empty") << QString() << 3;
        QTest::newRow("name") << QStringLiteral("خالد") << 2;
        QTest::newRow("phone") << QStringLiteral("0597") << 1;
        QTest::newRow("identity") << QStringLiteral("8765") << 1;
        QTest::newRow("none") << QStringLiteral("zzz") << 0;
    }
    void searchMatchesNamePhoneOrIdentity()
    {
        QFETCH(QString, query);
        QFETCH(int, matches);
        m_tenants->add(
            QStringLiteral("خالد عمر"), QStringLiteral("9876543"), QStringLiteral("0591111111"), {}, {});
        m_tenants->add(QStringLiteral("عمر خالد"), QString(), QStringLiteral("0597222222"), {}, {});
        m_tenants->add(QStringLiteral("رنا"), QStringLiteral("123"), QStringLiteral("0563333333"), {}, {});
        QCOMPARE(m_tenants->search(query).size(), matches);
    }
};

QTEST_GUILESS_MAIN(TestTenantModel)
#include "tst_tenantmodel.moc"
