#include "chequemodel.h"
#include "clock.h"
#include "installmentmodel.h"
#include "salesfixtures.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace SalesFixtures;

class TestChequeModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<ChequeModel>(m_db->db());
        m_installments = std::make_unique<InstallmentModel>(m_db->db());
        m_buyer = addBuyer(db(), QStringLiteral("سامي خليل"));
        m_tenant = addTenant(db(), QStringLiteral("ليلى حسن"));
    }
    void cleanup()
    {
        m_installments.reset();
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void payerAndPayeeFollowTheType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("payer");
        QTest::addColumn<QString>("payee");

        QTest::newRow("received") << QStringLiteral("received") << QStringLiteral("شركة النور")
                                  << QStringLiteral("");
        QTest::newRow("issued") << QStringLiteral("issued") << QStringLiteral("")
                                << QStringLiteral("شركة النور");
        QTest::newRow("neither") << QStringLiteral("Received") << QStringLiteral("") << QStringLiteral("");
    }
    void payerAndPayeeFollowTheType()
    {
        QFETCH(QString, type);
        QFETCH(QString, payer);
        QFETCH(QString, payee);
        const int id = m_model->add(QStringLiteral("5001"), type, 1200, QStringLiteral("بنك القاهرة عمان"),
            QStringLiteral("2025-06-01"), QStringLiteral("شركة النور"), kPrimaryCurrency, 1.0);
        QVERIFY(id > 0);
        const QVariantMap row = db()->getById(QStringLiteral("cheques"), id);
        QCOMPARE(row.value(QStringLiteral("type")).toString(), type);
        QVERIFY(!row.value(QStringLiteral("payer_name")).isNull());
        QVERIFY(!row.value(QStringLiteral("payee_name")).isNull());
        QCOMPARE(row.value(QStringLiteral("payer_name")).toString(), payer);
        QCOMPARE(row.value(QStringLiteral("payee_name")).toString(), payee);
    }

    void addStoresAPendingChequeIssuedToday()
    {
        QSignalSpy changed(m_model.get(), &ChequeModel::dataChanged);
        const int id = m_model->add(QStringLiteral("000123"), QStringLiteral("received"), 2500.75,
            QStringLiteral("بنك فلسطين"), QStringLiteral("2025-07-15"), QStringLiteral("سامي"), 2, 3.65,
            m_buyer, m_tenant);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = db()->getById(QStringLiteral("cheques"), id);
        QCOMPARE(row.value(QStringLiteral("cheque_number")).toString(), QStringLiteral("000123"));
        QCOMPARE(row.value(QStringLiteral("amount")).toDouble(), 2500.75);
        QCOMPARE(row.value(QStringLiteral("bank_name")).toString(), QStringLiteral("بنك فلسطين"));
        QCOMPARE(row.value(QStringLiteral("issue_date")).toString(), QStringLiteral("2025-03-10"));
        QCOMPARE(row.value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-07-15"));
        QCOMPARE(row.value(QStringLiteral("status")).toString(), QStringLiteral("pending"));
        QCOMPARE(row.value(QStringLiteral("currency_id")).toInt(), 2);
        QCOMPARE(row.value(QStringLiteral("buyer_id")).toInt(), m_buyer);
        QCOMPARE(row.value(QStringLiteral("tenant_id")).toInt(), m_tenant);
        QVERIFY(row.value(QStringLiteral("installment_id")).isNull());
        QCOMPARE(row.value(QStringLiteral("notes")).toString(), QStringLiteral("exchange_rate=3.65"));
        // A register entry moves no money.
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("audit_logs")), 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT balance FROM buyers WHERE id=?"), { m_buyer }).toDouble(),
            0.0);
    }

    void linksOfZeroStayEmpty()
    {
        const int id = m_model->add(QStringLiteral("9"), QStringLiteral("issued"), 100, QString(),
            QStringLiteral("2025-04-01"), QStringLiteral("مقاول"), kPrimaryCurrency, 1);
        const QVariantMap row = db()->getById(QStringLiteral("cheques"), id);
        QVERIFY(row.value(QStringLiteral("buyer_id")).isNull());
        QVERIFY(row.value(QStringLiteral("tenant_id")).isNull());
        QCOMPARE(row.value(QStringLiteral("notes")).toString(), QStringLiteral("exchange_rate=1"));
    }

    void valuesAreStoredAsGivenAmountsInCents()
    {
        const int id = m_model->add(QStringLiteral(""), QStringLiteral("received"), 40.004,
            QStringLiteral(""), QStringLiteral("soon"), QStringLiteral(""), kPrimaryCurrency, 0);
        QVERIFY(id > 0);
        const QVariantMap row = db()->getById(QStringLiteral("cheques"), id);
        QCOMPARE(row.value(QStringLiteral("cheque_number")).toString(), QStringLiteral(""));
        QCOMPARE(row.value(QStringLiteral("amount")).toDouble(), 40.0);
        QCOMPARE(row.value(QStringLiteral("due_date")).toString(), QStringLiteral("soon"));
    }

    void unusableFiguresAreRefused_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<double>("rate");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite amount") << inf << 1.0;
        QTest::newRow("NaN amount") << nan << 1.0;
        QTest::newRow("negative amount") << -40.0 << 1.0;
        QTest::newRow("less than a cent") << 0.004 << 1.0;
        QTest::newRow("absurd amount") << 1e308 << 1.0;
        QTest::newRow("infinite rate") << 100.0 << inf;
        QTest::newRow("NaN rate") << 100.0 << nan;
    }
    void unusableFiguresAreRefused()
    {
        QFETCH(double, amount);
        QFETCH(double, rate);
        QSignalSpy changed(m_model.get(), &ChequeModel::dataChanged);
        QCOMPARE(m_model->add(QStringLiteral("1"), QStringLiteral("received"), amount, QString(),
                     QStringLiteral("2025-04-01"), QStringLiteral("x"), kPrimaryCurrency, rate),
            -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 0);
    }

    void failedInsertReturnsMinusOne()
    {
        QSignalSpy changed(m_model.get(), &ChequeModel::dataChanged);
        QCOMPARE(m_model->add(QStringLiteral("1"), QStringLiteral("received"), 10, QString(),
                     QStringLiteral("2025-04-01"), QStringLiteral("x"), 99, 1),
            -1);
        QCOMPARE(changed.count(), 0);
    }

    void listOrders()
    {
        addCheque(QStringLiteral("B"), QStringLiteral("2025-05-01"), QStringLiteral("issued"));
        addCheque(QStringLiteral("A"), QStringLiteral("2025-01-01"), QStringLiteral("received"));
        addCheque(QStringLiteral("C"), QStringLiteral("2025-09-01"), QStringLiteral("received"));
        const int paid
            = addCheque(QStringLiteral("D"), QStringLiteral("2025-07-01"), QStringLiteral("received"));
        QVERIFY(m_model->updateStatus(paid, QStringLiteral("paid")));

        QCOMPARE(numbers(m_model->getAll()), QStringLiteral("C,D,B,A"));
        QCOMPARE(numbers(m_model->getPending()), QStringLiteral("A,B,C"));
        QCOMPARE(numbers(m_model->getByType(QStringLiteral("received"))), QStringLiteral("C,D,A"));
        QCOMPARE(numbers(m_model->getByType(QStringLiteral("issued"))), QStringLiteral("B"));
        QCOMPARE(numbers(m_model->getByStatus(QStringLiteral("pending"))), QStringLiteral("A,B,C"));
        QCOMPARE(numbers(m_model->getByStatus(QStringLiteral("paid"))), QStringLiteral("D"));
        QVERIFY(m_model->getByStatus(QStringLiteral("bounced")).isEmpty());
    }

    void postDatedIsPendingAndDueAfterToday()
    {
        addCheque(QStringLiteral("yesterday"), QStringLiteral("2025-03-09"), QStringLiteral("received"));
        addCheque(QStringLiteral("today"), QStringLiteral("2025-03-10"), QStringLiteral("received"));
        addCheque(QStringLiteral("later"), QStringLiteral("2025-04-30"), QStringLiteral("issued"));
        addCheque(QStringLiteral("tomorrow"), QStringLiteral("2025-03-11"), QStringLiteral("received"));
        const int bounced
            = addCheque(QStringLiteral("bounced"), QStringLiteral("2025-05-01"), QStringLiteral("received"));
        QVERIFY(m_model->updateStatus(bounced, QStringLiteral("bounced")));

        QCOMPARE(numbers(m_model->getPostDated()), QStringLiteral("tomorrow,later"));
        QCOMPARE(numbers(m_model->getPending()), QStringLiteral("yesterday,today,tomorrow,later"));
        Clock::setToday(QDate(2025, 3, 11));
        QCOMPARE(numbers(m_model->getPostDated()), QStringLiteral("later"));
    }

    void listsCarryTheirLinks()
    {
        const int property = addProperty(db(), QStringLiteral("برج الياسمين"));
        const int unit = addUnit(db(), property, QStringLiteral("A-101"));
        InstallmentModel installments(db());
        QCOMPARE(installments.sellUnit(
                     m_buyer, unit, 200, 0, 1, QStringLiteral("2025-02-01"), 2, QStringLiteral("700")),
            1);
        m_model->add(QStringLiteral("800"), QStringLiteral("received"), 50, QString(),
            QStringLiteral("2025-01-01"), QStringLiteral("ليلى"), kPrimaryCurrency, 1, 0, m_tenant);
        m_model->add(QStringLiteral("900"), QStringLiteral("issued"), 75, QString(),
            QStringLiteral("2025-03-01"), QStringLiteral("مقاول"), kPrimaryCurrency, 1);

        const QVariantList all = m_model->getAll();
        QCOMPARE(numbers(all), QStringLiteral("900,700,800"));
        const QVariantMap sale = all.at(1).toMap();
        QCOMPARE(sale.value(QStringLiteral("buyer_name")).toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(sale.value(QStringLiteral("unit_number")).toString(), QStringLiteral("A-101"));
        QCOMPARE(sale.value(QStringLiteral("property_name")).toString(), QStringLiteral("برج الياسمين"));
        QCOMPARE(sale.value(QStringLiteral("currency_symbol")).toString(), QStringLiteral("$"));
        QCOMPARE(sale.value(QStringLiteral("currency_code")).toString(), QStringLiteral("USD"));
        QVERIFY(sale.value(QStringLiteral("tenant_name")).isNull());

        const QVariantMap tenantOnly = all.at(2).toMap();
        QVERIFY(tenantOnly.value(QStringLiteral("buyer_id")).isNull());
        QVERIFY(tenantOnly.value(QStringLiteral("buyer_name")).isNull());
        QCOMPARE(tenantOnly.value(QStringLiteral("tenant_name")).toString(), QStringLiteral("ليلى حسن"));
        QVERIFY(tenantOnly.contains(QStringLiteral("unit_number")));
        QVERIFY(tenantOnly.value(QStringLiteral("unit_number")).isNull());
        QVERIFY(tenantOnly.value(QStringLiteral("property_name")).isNull());
        QCOMPARE(tenantOnly.value(QStringLiteral("currency_symbol")).toString(), QStringLiteral("₪"));

        // Sale cheques and hand-recorded received cheques are one register.
        QCOMPARE(numbers(m_model->getByType(QStringLiteral("received"))), QStringLiteral("700,800"));
        const QVariantMap pending = m_model->getPending().first().toMap();
        QVERIFY(pending.contains(QStringLiteral("currency_symbol")));
        QVERIFY(!pending.contains(QStringLiteral("currency_code")));
    }

    void statusChangesFollowTheRegister()
    {
        const int id
            = addCheque(QStringLiteral("1"), QStringLiteral("2025-04-01"), QStringLiteral("received"));
        QSignalSpy changed(m_model.get(), &ChequeModel::dataChanged);
        QVERIFY(!m_model->updateStatus(id, QStringLiteral("pending")));
        QVERIFY(!m_model->updateStatus(id, QStringLiteral("cashed")));
        QVERIFY(!m_model->updateStatus(4242, QStringLiteral("paid")));
        QVERIFY(!lastError().isEmpty());
        QVERIFY(m_model->updateStatus(id, QStringLiteral("bounced")));
        QVERIFY(lastError().isEmpty());
        // A returned cheque is never cashed, nor returned twice.
        QVERIFY(!m_model->updateStatus(id, QStringLiteral("paid")));
        QVERIFY(!m_model->updateStatus(id, QStringLiteral("bounced")));
        QCOMPARE(m_db->value(QStringLiteral("SELECT status FROM cheques WHERE id=?"), { id }).toString(),
            QStringLiteral("bounced"));
        QCOMPARE(changed.count(), 1);
        // A cheque that pays no installment moves no money.
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
    }

    void cashingAnInstallmentChequeCollectsIt_data()
    {
        QTest::addColumn<QList<double>>("byHand"); // collected before, none covering the cheque
        QTest::addColumn<double>("collected"); // through the cheque; 0: refused
        QTest::newRow("nothing paid yet") << QList<double> {} << 500.0;
        QTest::newRow("partly paid by hand") << QList<double> { 200 } << 300.0;
        QTest::newRow("settled by hand") << QList<double> { 200, 300 } << 0.0;
    }
    void cashingAnInstallmentChequeCollectsIt()
    {
        QFETCH(QList<double>, byHand);
        QFETCH(double, collected);
        const auto [installment, cheque] = sellWithCheque(500);
        for (const double amount : byHand)
            QVERIFY(m_installments->payInstallment(installment, amount));

        QCOMPARE(m_model->updateStatus(cheque, QStringLiteral("paid")), collected > 0);
        QCOMPARE(lastError().isEmpty(), collected > 0);
        QCOMPARE(chequeStatus(cheque), collected > 0 ? QStringLiteral("paid") : QStringLiteral("pending"));
        // Every case ends with the installment settled once, and as many payments as collections.
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT paid_amount FROM installments WHERE id=?"), { installment })
                .toDouble(),
            500.0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT status FROM installments WHERE id=?"), { installment })
                     .toString(),
            QStringLiteral("paid"));
        QCOMPARE(balance(), 0.0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT SUM(amount) FROM payments")).toDouble(), 500.0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT COALESCE(SUM(amount), 0) FROM payments WHERE cheque_id=?"),
                    { cheque })
                .toDouble(),
            collected);
        QVERIFY(m_installments->getOverdue().isEmpty());
    }

    void bounceTakesBackWhatTheChequeCollected_data()
    {
        QTest::addColumn<double>("byHand"); // collected by hand before the cheque
        QTest::addColumn<bool>("onTheRegister"); // cashed here, or by a collection that covers it
        QTest::newRow("cashed on the register") << 0.0 << true;
        QTest::newRow("covered by a collection") << 0.0 << false;
        QTest::newRow("the rest of a partly paid installment") << 200.0 << true;
    }
    void bounceTakesBackWhatTheChequeCollected()
    {
        QFETCH(double, byHand);
        QFETCH(bool, onTheRegister);
        const auto [installment, cheque] = sellWithCheque(500);
        if (byHand > 0)
            QVERIFY(m_installments->payInstallment(installment, byHand));
        QVERIFY(onTheRegister ? m_model->updateStatus(cheque, QStringLiteral("paid"))
                              : m_installments->payInstallment(installment, 500));
        QCOMPARE(chequeStatus(cheque), QStringLiteral("paid"));

        QVERIFY(m_model->updateStatus(cheque, QStringLiteral("bounced")));
        QCOMPARE(chequeStatus(cheque), QStringLiteral("bounced"));
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT paid_amount FROM installments WHERE id=?"), { installment })
                .toDouble(),
            byHand);
        QCOMPARE(m_db->value(QStringLiteral("SELECT status FROM installments WHERE id=?"), { installment })
                     .toString(),
            byHand > 0 ? QStringLiteral("partial") : QStringLiteral("pending"));
        QCOMPARE(balance(), 500 - byHand);
        // The collection stays on the books and is taken back by a payment of the opposite amount.
        QCOMPARE(m_db->value(QStringLiteral("SELECT SUM(amount) FROM payments")).toDouble(), byHand);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM payments WHERE cheque_id=? AND amount=?"),
                     { cheque, -(500 - byHand) }),
            1);
        QCOMPARE(m_installments->getOverdue().size(), 1);
    }

    void failedStepChangesNothing_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");
        for (const char* status : { "paid", "bounced" }) {
            const auto row = [&](const char* event, const char* table) {
                QTest::addRow("%s, %s %s", status, event, table) << QString::fromLatin1(
                    status) << QString::fromLatin1(event) << QString::fromLatin1(table);
            };
            row("UPDATE", "installments");
            row("UPDATE", "cheques");
            row("INSERT", "payments");
            row("UPDATE", "buyers");
            row("INSERT", "audit_logs");
        }
    }
    void failedStepChangesNothing()
    {
        QFETCH(QString, status);
        QFETCH(QString, event);
        QFETCH(QString, table);
        const auto [installment, cheque] = sellWithCheque(500);
        if (status == QLatin1String("bounced"))
            QVERIFY(m_model->updateStatus(cheque, QStringLiteral("paid")));
        const auto state = [&, installment = installment] {
            return m_db
                ->value(
                    QStringLiteral(
                        R"(SELECT (SELECT GROUP_CONCAT(status) FROM cheques) || (SELECT paid_amount || status FROM installments WHERE id=?)
                    || (SELECT balance FROM buyers) || (SELECT COUNT(*) || COALESCE(SUM(amount), 0) FROM payments)
                    || (SELECT COUNT(*) FROM audit_logs))"),
                    { installment })
                .toString();
        };
        const QString before = state();
        failOn(db(), event, table);
        QVERIFY(!m_model->updateStatus(cheque, status));
        QCOMPARE(state(), before);
        QVERIFY(!lastError().isEmpty());
    }

    void failedStatusUpdateReportsFalse()
    {
        const int id
            = addCheque(QStringLiteral("1"), QStringLiteral("2025-04-01"), QStringLiteral("received"));
        failOn(db(), QStringLiteral("UPDATE"), QStringLiteral("cheques"));
        QSignalSpy changed(m_model.get(), &ChequeModel::dataChanged);
        QVERIFY(!m_model->updateStatus(id, QStringLiteral("paid")));
        QCOMPARE(changed.count(), 0);
    }

private:
    Database* db() const { return m_db->db(); }
    QString lastError() const { return m_model->property("lastError").toString(); }
    QString chequeStatus(int id) const
    {
        return m_db->value(QStringLiteral("SELECT status FROM cheques WHERE id=?"), { id }).toString();
    }
    double balance() const
    {
        return m_db->value(QStringLiteral("SELECT balance FROM buyers WHERE id=?"), { m_buyer }).toDouble();
    }
    /** A unit sold in one installment due 2025-01-15, paid by cheque 1001: its installment and cheque. */
    std::pair<int, int> sellWithCheque(double amount)
    {
        const int unit = addUnit(db(), addProperty(db()), QStringLiteral("A-101"));
        if (m_installments->sellUnit(m_buyer, unit, amount, 0, 1, QStringLiteral("2025-01-15"),
                kPrimaryCurrency, QStringLiteral("1001"), QStringLiteral("بنك فلسطين"))
            != 1)
            return { -1, -1 };
        return { m_db->value(QStringLiteral("SELECT MAX(id) FROM installments")).toInt(),
            m_db->value(QStringLiteral("SELECT MAX(id) FROM cheques")).toInt() };
    }
    int addCheque(const QString& number, const QString& due, const QString& type)
    {
        return m_model->add(
            number, type, 100, QStringLiteral("بنك"), due, QStringLiteral("طرف"), kPrimaryCurrency, 1);
    }
    static QString numbers(const QVariantList& cheques)
    {
        QStringList result;
        for (const QVariant& cheque : cheques)
            result.append(cheque.toMap().value(QStringLiteral("cheque_number")).toString());
        return result.join(QLatin1Char(','));
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ChequeModel> m_model;
    std::unique_ptr<InstallmentModel> m_installments;
    int m_buyer = 0;
    int m_tenant = 0;
};

QTEST_GUILESS_MAIN(TestChequeModel)
#include "tst_chequemodel.moc"
