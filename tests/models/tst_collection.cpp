#include "clock.h"
#include "installmentmodel.h"
#include "salesfixtures.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace SalesFixtures;

class TestCollection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        Clock::setToday(QDate(2025, 3, 10));
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<InstallmentModel>(m_db->db());
        m_property = addProperty(db(), QStringLiteral("برج الياسمين"));
        m_unit = addUnit(db(), m_property, QStringLiteral("A-101"));
        m_costCenter = addUnitCostCenter(db(), m_unit);
        m_buyer = addBuyer(db(), QStringLiteral("سامي خليل"));
    }
    void cleanup()
    {
        m_model.reset();
        m_db.reset();
        Clock::setToday(QDate());
    }

    void fullCollection()
    {
        const int id = sellOneInstallment(500, QStringLiteral("1001"));
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QVERIFY(m_model->payInstallment(id, 500));
        QCOMPARE(changed.count(), 1);

        const QVariantMap installment = db()->getById(QStringLiteral("installments"), id);
        QCOMPARE(installment.value(QStringLiteral("status")).toString(), QStringLiteral("paid"));
        QCOMPARE(installment.value(QStringLiteral("paid_amount")).toDouble(), 500.0);
        QCOMPARE(chequeStatus(id), QStringLiteral("paid"));
        QCOMPARE(balance(), 0.0);

        const QVariantList payments = db()->execQuery(QStringLiteral("SELECT * FROM payments"));
        QCOMPARE(payments.size(), 1);
        const QVariantMap payment = payments.first().toMap();
        QCOMPARE(payment.value(QStringLiteral("buyer_id")).toInt(), m_buyer);
        QCOMPARE(payment.value(QStringLiteral("unit_id")).toInt(), m_unit);
        QCOMPARE(payment.value(QStringLiteral("amount")).toDouble(), 500.0);
        // The collection covers the installment's cheque: that cheque is taken as cashed, the payment is its.
        QCOMPARE(payment.value(QStringLiteral("payment_method")).toString(), QStringLiteral("cheque"));
        QCOMPARE(payment.value(QStringLiteral("reference")).toString(), QStringLiteral("1001"));
        QCOMPARE(payment.value(QStringLiteral("cheque_id")),
            m_db->value(QStringLiteral("SELECT id FROM cheques WHERE installment_id=?"), { id }));
        QCOMPARE(payment.value(QStringLiteral("payment_date")).toString(), QStringLiteral("2025-03-10"));
        QCOMPARE(payment.value(QStringLiteral("currency_id")).toInt(), 3);
        QCOMPARE(payment.value(QStringLiteral("cost_center_id")).toInt(), m_costCenter);
        QCOMPARE(payment.value(QStringLiteral("notes")).toString(),
            QStringLiteral("تحصيل قسط - معرف: %1").arg(id));
        QVERIFY(payment.value(QStringLiteral("invoice_id")).isNull());
        QVERIFY(payment.value(QStringLiteral("tenant_id")).isNull());

        const QVariantList audit
            = db()->execQuery(QStringLiteral("SELECT * FROM audit_logs WHERE table_name='installments'"));
        QCOMPARE(audit.size(), 1);
        const QVariantMap entry = audit.first().toMap();
        QVERIFY(entry.value(QStringLiteral("user_id")).isNull());
        QCOMPARE(entry.value(QStringLiteral("action")).toString(), QStringLiteral("تحصيل قسط"));
        QCOMPARE(entry.value(QStringLiteral("record_id")).toInt(), id);
        QCOMPARE(entry.value(QStringLiteral("details")).toString(),
            QStringLiteral("تم تحصيل مبلغ 500 بالشيك رقم 1001"));
    }

    void partialThenFull()
    {
        const int id = sellOneInstallment(500, QStringLiteral("1001"));
        QVERIFY(m_model->payInstallment(id, 200));
        QCOMPARE(status(id), QStringLiteral("partial"));
        QCOMPARE(paid(id), 200.0);
        // Neither collection covers the cheque of 500: it was not cashed and stays pending.
        QCOMPARE(chequeStatus(id), QStringLiteral("pending"));
        QCOMPARE(balance(), 300.0);

        QVERIFY(m_model->payInstallment(id, 300));
        QCOMPARE(status(id), QStringLiteral("paid"));
        QCOMPARE(paid(id), 500.0);
        QCOMPARE(balance(), 0.0);
        QCOMPARE(chequeStatus(id), QStringLiteral("pending"));
        QCOMPARE(
            m_db->value(QStringLiteral(
                            "SELECT GROUP_CONCAT(amount) FROM (SELECT amount FROM payments ORDER BY id)"))
                .toString(),
            QStringLiteral("200.0,300.0"));
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM audit_logs WHERE table_name='installments'")), 2);
    }

    void inWholeCents_data()
    {
        QTest::addColumn<double>("alreadyPaid");
        QTest::addColumn<double>("amount");
        QTest::addColumn<double>("collected"); // 0: refused
        QTest::addColumn<QString>("status");

        QTest::newRow("a cent over") << 0.0 << 500.01 << 0.0 << QStringLiteral("pending");
        QTest::newRow("half a cent short, rounded") << 0.0 << 499.995 << 500.0 << QStringLiteral("paid");
        QTest::newRow("a cent short") << 0.0 << 499.99 << 499.99 << QStringLiteral("partial");
        QTest::newRow("below a cent") << 0.0 << 0.004 << 0.0 << QStringLiteral("pending");
        QTest::newRow("on a paid installment, a cent") << 500.0 << 0.01 << 0.0 << QStringLiteral("paid");
    }
    void inWholeCents()
    {
        QFETCH(double, alreadyPaid);
        QFETCH(double, amount);
        QFETCH(double, collected);
        QFETCH(QString, status);

        const int id = sellOneInstallment(500, QStringLiteral("77"));
        if (alreadyPaid > 0)
            QVERIFY(m_model->payInstallment(id, alreadyPaid));
        const int paymentsBefore = m_db->count(QStringLiteral("payments"));
        const double balanceBefore = balance();
        QCOMPARE(m_model->payInstallment(id, amount), collected > 0);
        QCOMPARE(this->status(id), status);
        QCOMPARE(m_db->count(QStringLiteral("payments")), paymentsBefore + (collected > 0 ? 1 : 0));
        QCOMPARE(paid(id), alreadyPaid + collected);
        QCOMPARE(balance(), balanceBefore - collected);
    }

    void settledInBinaryFractionsLeavesExactlyNothing()
    {
        // 0.1 + 0.2 is 0.30000000000000004 in binary; counted in cents it is 0.3 and nothing is left.
        const int id = sellOneInstallment(0.3, QString());
        QVERIFY(m_model->payInstallment(id, 0.1));
        QCOMPARE(status(id), QStringLiteral("partial"));
        QVERIFY(m_model->payInstallment(id, 0.2));
        QCOMPARE(status(id), QStringLiteral("paid"));
        QCOMPARE(m_db->value(QStringLiteral(
                                 "SELECT installment_amount - paid_amount FROM installments WHERE id=?"),
                         { id })
                     .toDouble(),
            0.0);
        QCOMPARE(balance(), 0.0);
        QVERIFY(!m_model->payInstallment(id, 0.01));
        QCOMPARE(m_db->count(QStringLiteral("payments")), 2);
    }

    void refusedCollectionWritesNothing_data()
    {
        QTest::addColumn<int>("idOffset");
        QTest::addColumn<double>("amount");

        QTest::newRow("zero") << 0 << 0.0;
        QTest::newRow("negative") << 0 << -50.0;
        QTest::newRow("NaN") << 0 << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << 0 << std::numeric_limits<double>::infinity();
        QTest::newRow("over the open amount") << 0 << 600.0;
        QTest::newRow("unknown installment") << 1000 << 100.0;
    }
    void refusedCollectionWritesNothing()
    {
        QFETCH(int, idOffset);
        QFETCH(double, amount);
        const int id = sellOneInstallment(500, QStringLiteral("1001"));
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QVERIFY(!m_model->payInstallment(id + idOffset, amount));
        QCOMPARE(changed.count(), 0);
        expectUntouched(id);
    }

    void failedStepRollsTheCollectionBack_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");

        QTest::newRow("installment") << QStringLiteral("UPDATE") << QStringLiteral("installments");
        QTest::newRow("cheque") << QStringLiteral("UPDATE") << QStringLiteral("cheques");
        QTest::newRow("payment") << QStringLiteral("INSERT") << QStringLiteral("payments");
        QTest::newRow("buyer balance") << QStringLiteral("UPDATE") << QStringLiteral("buyers");
        QTest::newRow("audit row") << QStringLiteral("INSERT") << QStringLiteral("audit_logs");
    }
    void failedStepRollsTheCollectionBack()
    {
        QFETCH(QString, event);
        QFETCH(QString, table);
        const int id = sellOneInstallment(500, QStringLiteral("1001"));
        failOn(db(), event, table);
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QVERIFY(!m_model->payInstallment(id, 500));
        QCOMPARE(changed.count(), 0);
        expectUntouched(id);
        QVERIFY(db()->beginTransaction());
        QVERIFY(db()->rollbackTransaction());
    }

    void installmentWithoutChequeTouchesNoCheque()
    {
        const int withCheque = sellOneInstallment(500, QStringLiteral("1001"));
        const int manual
            = m_model->add(m_buyer, m_unit, 0, 0, 250, QStringLiteral("2025-04-01"), kPrimaryCurrency);
        QVERIFY(manual > 0);
        QVERIFY(m_model->payInstallment(manual, 250));
        QCOMPARE(status(manual), QStringLiteral("paid"));
        QCOMPARE(chequeStatus(withCheque), QStringLiteral("pending"));
    }

    void aBouncedChequeStaysBounced()
    {
        const int id = sellOneInstallment(500, QStringLiteral("1001"));
        db()->execInsert(QStringLiteral("INSERT INTO cheques (cheque_number, amount, status, installment_id) "
                                        "VALUES ('1001-b', 500, 'bounced', ?)"),
            { id });
        QVERIFY(m_model->payInstallment(id, 500));
        QCOMPARE(m_db->value(QStringLiteral("SELECT GROUP_CONCAT(cheque_number || ':' || status) FROM "
                                            "(SELECT * FROM cheques WHERE installment_id=? ORDER BY id)"),
                         { id })
                     .toString(),
            QStringLiteral("1001:paid,1001-b:bounced"));
    }

    void unitWithoutCostCenterCollectsWithNull()
    {
        const int bare = addUnit(db(), m_property, QStringLiteral("B-2"));
        QCOMPARE(
            m_model->sellUnit(m_buyer, bare, 100, 0, 1, QStringLiteral("2025-01-01"), kPrimaryCurrency), 1);
        const int id
            = m_db->value(QStringLiteral("SELECT id FROM installments WHERE unit_id=?"), { bare }).toInt();
        QVERIFY(m_model->payInstallment(id, 100));
        QCOMPARE(m_db->count(QStringLiteral("payments")), 1);
        QVERIFY(m_db->value(QStringLiteral("SELECT cost_center_id FROM payments")).isNull());
    }

    void auditAmountIsFormattedAsArgDoes_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("details");
        QTest::newRow("cents") << 333.33 << QStringLiteral("تم تحصيل مبلغ 333.33");
        QTest::newRow("half") << 1500.5 << QStringLiteral("تم تحصيل مبلغ 1500.5");
        QTest::newRow("million") << 1000000.0 << QStringLiteral("تم تحصيل مبلغ 1e+06");
    }
    void auditAmountIsFormattedAsArgDoes()
    {
        QFETCH(double, amount);
        QFETCH(QString, details);
        const int id = sellOneInstallment(amount, QString());
        QVERIFY(m_model->payInstallment(id, amount));
        QCOMPARE(m_db->value(QStringLiteral("SELECT details FROM audit_logs WHERE table_name='installments'"))
                     .toString(),
            details);
    }

    void addRaisesTheBalance()
    {
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        const int id
            = m_model->add(m_buyer, m_unit, 0, 0, 750.254, QStringLiteral("2025-05-01"), kPrimaryCurrency);
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = db()->getById(QStringLiteral("installments"), id);
        QCOMPARE(row.value(QStringLiteral("installment_amount")).toDouble(), 750.25);
        QCOMPARE(row.value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-05-01"));
        QCOMPARE(row.value(QStringLiteral("status")).toString(), QStringLiteral("pending"));
        QCOMPARE(row.value(QStringLiteral("paid_amount")).toDouble(), 0.0);
        QCOMPARE(row.value(QStringLiteral("currency_id")).toInt(), kPrimaryCurrency);
        QVERIFY(row.value(QStringLiteral("cheque_number")).isNull());
        QCOMPARE(m_db->count(QStringLiteral("cheques")), 0);
        QCOMPARE(balance(), 750.25);
    }

    void addRefusesBadInput_data()
    {
        QTest::addColumn<int>("buyerOffset");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("due");

        QTest::newRow("zero") << 0 << 0.0 << QStringLiteral("2025-05-01");
        QTest::newRow("negative") << 0 << -10.0 << QStringLiteral("2025-05-01");
        QTest::newRow("below a cent") << 0 << 0.004 << QStringLiteral("2025-05-01");
        QTest::newRow("NaN") << 0 << std::numeric_limits<double>::quiet_NaN() << QStringLiteral("2025-05-01");
        QTest::newRow("infinite") << 0 << std::numeric_limits<double>::infinity()
                                  << QStringLiteral("2025-05-01");
        QTest::newRow("bad date") << 0 << 100.0 << QStringLiteral("01/05/2025");
        QTest::newRow("empty date") << 0 << 100.0 << QStringLiteral("");
        QTest::newRow("unknown buyer") << 50 << 100.0 << QStringLiteral("2025-05-01");
    }
    void addRefusesBadInput()
    {
        QFETCH(int, buyerOffset);
        QFETCH(double, amount);
        QFETCH(QString, due);
        QSignalSpy changed(m_model.get(), &InstallmentModel::dataChanged);
        QCOMPARE(m_model->add(m_buyer + buyerOffset, m_unit, 0, 0, amount, due, kPrimaryCurrency), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 0);
        QCOMPARE(balance(), 0.0);
    }

    void addIsUndoneWhenTheBalanceCannotBeRaised()
    {
        failOn(db(), QStringLiteral("UPDATE"), QStringLiteral("buyers"));
        QCOMPARE(
            m_model->add(m_buyer, m_unit, 0, 0, 100, QStringLiteral("2025-05-01"), kPrimaryCurrency), -1);
        QCOMPARE(m_db->count(QStringLiteral("installments")), 0);
    }

    void overdueLeavesOutTodayAndPaid()
    {
        const int other = addBuyer(db(), QStringLiteral("أحمد"));
        const int late = addInstallment(m_buyer, 100, QStringLiteral("2025-03-09"));
        addInstallment(m_buyer, 100, QStringLiteral("2025-03-10")); // due today
        const int paidLate = addInstallment(m_buyer, 100, QStringLiteral("2025-03-01"));
        const int partialLate = addInstallment(other, 100, QStringLiteral("2025-02-01"));
        addInstallment(m_buyer, 100, QStringLiteral("2025-04-01"));
        QVERIFY(m_model->payInstallment(paidLate, 100));
        QVERIFY(m_model->payInstallment(partialLate, 40));

        const QVariantList overdue = m_model->getOverdue();
        QCOMPARE(overdue.size(), 2);
        const QVariantMap first = overdue.at(0).toMap();
        QCOMPARE(first.value(QStringLiteral("id")).toInt(), partialLate);
        QCOMPARE(first.value(QStringLiteral("status")).toString(), QStringLiteral("partial"));
        QCOMPARE(first.value(QStringLiteral("buyer_name")).toString(), QStringLiteral("أحمد"));
        QCOMPARE(first.value(QStringLiteral("unit_number")).toString(), QStringLiteral("A-101"));
        QVERIFY(!first.contains(QStringLiteral("property_name")));
        QCOMPARE(overdue.at(1).toMap().value(QStringLiteral("id")).toInt(), late);

        Clock::setToday(QDate(2025, 3, 11));
        QCOMPARE(m_model->getOverdue().size(), 3);
    }

    void listsAreByDueDateWithTheirNames()
    {
        const int other = addBuyer(db(), QStringLiteral("أحمد"));
        addInstallment(m_buyer, 100, QStringLiteral("2025-06-01"));
        addInstallment(other, 200, QStringLiteral("2025-01-01"));
        addInstallment(m_buyer, 300, QStringLiteral("2025-02-01"));
        // An installment whose unit has gone from the joins is not listed.
        db()->execNonQuery(QStringLiteral("PRAGMA foreign_keys=OFF"));
        db()->execInsert(
            QStringLiteral("INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
                           "due_date) VALUES (?, 999, 0, 1, '2024-01-01')"),
            { m_buyer });
        db()->execNonQuery(QStringLiteral("PRAGMA foreign_keys=ON"));

        const QVariantList all = m_model->getAll();
        QCOMPARE(all.size(), 3);
        QCOMPARE(
            all.at(0).toMap().value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-01-01"));
        QCOMPARE(all.at(0).toMap().value(QStringLiteral("buyer_name")).toString(), QStringLiteral("أحمد"));
        QCOMPARE(
            all.at(1).toMap().value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-02-01"));
        QCOMPARE(
            all.at(2).toMap().value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-06-01"));
        QCOMPARE(all.at(2).toMap().value(QStringLiteral("property_name")).toString(),
            QStringLiteral("برج الياسمين"));
        QCOMPARE(all.at(2).toMap().value(QStringLiteral("unit_number")).toString(), QStringLiteral("A-101"));

        const QVariantList mine = m_model->getByBuyer(m_buyer);
        QCOMPARE(mine.size(), 2);
        QCOMPARE(mine.at(0).toMap().value(QStringLiteral("installment_amount")).toDouble(), 300.0);
        QCOMPARE(mine.at(1).toMap().value(QStringLiteral("installment_amount")).toDouble(), 100.0);
        QCOMPARE(mine.at(0).toMap().value(QStringLiteral("property_name")).toString(),
            QStringLiteral("برج الياسمين"));
        QVERIFY(!mine.at(0).toMap().contains(QStringLiteral("buyer_name")));
    }

private:
    Database* db() const { return m_db->db(); }

    /** Sells a fresh unit in one installment due 2025-01-15, in JOD; returns the installment id. */
    int sellOneInstallment(double amount, const QString& cheque)
    {
        if (!db()->execNonQuery(QStringLiteral("UPDATE units SET status='available' WHERE id=?"), { m_unit }))
            return -1;
        if (m_model->sellUnit(m_buyer, m_unit, amount, 0, 1, QStringLiteral("2025-01-15"), 3, cheque,
                QStringLiteral("بنك فلسطين"))
            != 1)
            return -1;
        return m_db->value(QStringLiteral("SELECT MAX(id) FROM installments")).toInt();
    }
    int addInstallment(int buyer, double amount, const QString& due)
    {
        return m_model->add(buyer, m_unit, 0, 0, amount, due, kPrimaryCurrency);
    }
    double balance() const
    {
        return m_db->value(QStringLiteral("SELECT balance FROM buyers WHERE id=?"), { m_buyer }).toDouble();
    }
    QString status(int id) const
    {
        return m_db->value(QStringLiteral("SELECT status FROM installments WHERE id=?"), { id }).toString();
    }
    double paid(int id) const
    {
        return m_db->value(QStringLiteral("SELECT paid_amount FROM installments WHERE id=?"), { id })
            .toDouble();
    }
    QString chequeStatus(int installmentId) const
    {
        return m_db
            ->value(QStringLiteral("SELECT status FROM cheques WHERE installment_id=?"), { installmentId })
            .toString();
    }
    void expectUntouched(int id) const
    {
        QCOMPARE(status(id), QStringLiteral("pending"));
        QCOMPARE(paid(id), 0.0);
        QCOMPARE(chequeStatus(id), QStringLiteral("pending"));
        QCOMPARE(balance(), 500.0);
        QCOMPARE(m_db->count(QStringLiteral("payments")), 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM audit_logs WHERE table_name='installments'")), 0);
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InstallmentModel> m_model;
    int m_property = 0;
    int m_unit = 0;
    int m_costCenter = 0;
    int m_buyer = 0;
};

QTEST_GUILESS_MAIN(TestCollection)
#include "tst_collection.moc"
