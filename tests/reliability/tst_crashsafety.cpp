// Kills a process that is busy writing the books (rent runs, payments, voids, unit sales with long
// schedules, collections, installment cheques cashed and bounced; see reliabilityworker.cpp) with SIGKILL at
// random moments, over and over on the same file, and checks after every kill that the file is sound, its
// balances agree with its rows, every sale has its whole schedule and nothing the process had committed is
// missing.
#include "buyermodel.h"
#include "consistency.h"
#include "database.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr int kKills = 40;
// The whole run stays well inside the suite's time: a worker that hangs fails the test instead.
constexpr int kBudgetMs = 150000;
constexpr int kWaitMs = 20000;

/** What the worker said before it was killed. */
struct Transcript
{
    QStringList lines;
    bool ready = false;
    int started = 0;
    bool inOperation = false;
};

Transcript readTranscript(const QByteArray& output)
{
    Transcript transcript;
    const QList<QByteArray> chunks = output.split('\n');
    // The last chunk is a line the kill cut short (or empty): nothing was claimed by it.
    for (int i = 0; i + 1 < chunks.size(); ++i) {
        const QString line = QString::fromUtf8(chunks.at(i));
        transcript.lines.append(line);
        if (line == QLatin1String("READY"))
            transcript.ready = true;
        else if (line.startsWith(QLatin1String("B ")))
            ++transcript.started;
    }
    transcript.inOperation
        = !transcript.lines.isEmpty() && transcript.lines.last().startsWith(QLatin1String("B "));
    return transcript;
}

QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : params)
        query.addBindValue(value);
    return query.exec() && query.next() ? query.value(0) : QVariant();
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private:
    quint32 m_seed = 20250613;

    // What the workers reported as committed, summed over all their lives.
    QHash<QString, int> m_rentReported;
    QHash<int, double> m_collected;
    int m_serviceReported = 0;
    int m_committed = 0;

    /**
     * A bounce ("bounce <cheque> <installment> <taken back>") takes its cheque's collection off what
     * the installment must still show; false when the cheque is not returned in the file.
     */
    bool takeBack(const QSqlDatabase& db, const QStringList& parts)
    {
        if (scalar(db, QStringLiteral("SELECT status FROM cheques WHERE id = ?"), { parts.value(2).toInt() })
                .toString()
            != QLatin1String("bounced"))
            return false;
        m_collected[parts.value(3).toInt()] -= parts.value(4).toDouble();
        return true;
    }

    /** Every operation a worker reported as committed is still in the file. */
    QStringList missingCommits(const QSqlDatabase& db, const Transcript& transcript)
    {
        static const QHash<QString, QString> tables
            = { { QStringLiteral("property"), QStringLiteral("properties") },
                  { QStringLiteral("unit"), QStringLiteral("units") },
                  { QStringLiteral("tenant"), QStringLiteral("tenants") },
                  { QStringLiteral("contract"), QStringLiteral("contracts") },
                  { QStringLiteral("buyer"), QStringLiteral("buyers") },
                  { QStringLiteral("payment"), QStringLiteral("payments") },
                  { QStringLiteral("invoice"), QStringLiteral("invoices") } };
        QStringList missing;
        for (const QString& line : transcript.lines) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.first() != QLatin1String("C") || parts.size() < 3)
                continue;
            ++m_committed;
            const QString& kind = parts.at(1);
            const QString& id = parts.at(2);
            bool present = true;
            if (tables.contains(kind)) {
                present = scalar(
                    db, QStringLiteral("SELECT 1 FROM %1 WHERE id = ?").arg(tables.value(kind)), { id })
                              .isValid();
            } else if (kind == QLatin1String("void")) {
                present = scalar(db, QStringLiteral("SELECT status FROM invoices WHERE id = ?"), { id })
                              .toString()
                    == QLatin1String("void");
            } else if (kind == QLatin1String("sale")) {
                present
                    = scalar(db, QStringLiteral("SELECT status FROM units WHERE id = ?"), { id }).toString()
                    == QLatin1String("sold");
            } else if (kind == QLatin1String("collect") || kind == QLatin1String("cash")) {
                m_collected[id.toInt()] += parts.value(3).toDouble();
            } else if (kind == QLatin1String("bounce")) {
                present = takeBack(db, parts);
            } else if (kind == QLatin1String("rent")) {
                m_rentReported[id] += parts.value(3).toInt();
            } else if (kind == QLatin1String("service")) {
                m_serviceReported += parts.value(3).toInt();
            }
            if (!present)
                missing.append(line);
        }
        // A bounce the kill cut short may have committed: the cheque's status tells.
        if (transcript.inOperation && transcript.lines.last().startsWith(QLatin1String("B bounce ")))
            (void)takeBack(db, transcript.lines.last().split(QLatin1Char(' ')));
        for (auto it = m_collected.cbegin(); it != m_collected.cend(); ++it) {
            if (scalar(db, QStringLiteral("SELECT paid_amount FROM installments WHERE id = ?"), { it.key() })
                    .toDouble()
                < it.value() - 0.005)
                missing.append(QStringLiteral("collections of installment %1").arg(it.key()));
        }
        for (auto it = m_rentReported.cbegin(); it != m_rentReported.cend(); ++it) {
            if (scalar(db,
                    QStringLiteral(
                        "SELECT COUNT(*) FROM invoices WHERE period = ? AND contract_id IS NOT NULL"),
                    { it.key() })
                    .toInt()
                < it.value())
                missing.append(QStringLiteral("rent invoices of %1").arg(it.key()));
        }
        const int serviceInvoices = scalar(db,
            QStringLiteral("SELECT COUNT(DISTINCT invoice_id) FROM invoice_items WHERE description = 'تنظيف' "
                           "AND type = 'service'"))
                                        .toInt();
        if (serviceInvoices < m_serviceReported)
            missing.append(
                QStringLiteral("service invoices: %1 of %2").arg(serviceInvoices).arg(m_serviceReported));
        return missing;
    }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        if (qEnvironmentVariableIsSet("RELIABILITY_SEED"))
            m_seed = qEnvironmentVariableIntValue("RELIABILITY_SEED");
        qInfo("seed %u (set RELIABILITY_SEED to repeat another run)", m_seed);
    }

    // The checks below are only worth something if they see a half-written record.
    void checksSeeHalfWrittenRecords_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an installment lost")
            << QStringLiteral("DELETE FROM installments WHERE id = (SELECT MAX(id) FROM installments)")
            << QStringLiteral("installments");
        QTest::newRow("a cheque lost")
            << QStringLiteral("DELETE FROM cheques WHERE id = (SELECT MAX(id) FROM cheques)")
            << QStringLiteral("cheque");
        QTest::newRow("down payment lost") << QStringLiteral("DELETE FROM payments WHERE is_down_payment = 1")
                                           << QStringLiteral("down payment");
        QTest::newRow("down payment unflagged")
            << QStringLiteral("UPDATE payments SET is_down_payment = 0") << QStringLiteral("down payment");
        QTest::newRow("rent flagged as a down payment")
            << QStringLiteral("UPDATE payments SET is_down_payment = 1 WHERE invoice_id IS NOT NULL")
            << QStringLiteral("no sale's");
        QTest::newRow("let unit out of service") << QStringLiteral(
            "UPDATE units SET status = 'maintenance' WHERE id IN (SELECT unit_id FROM contracts "
            "WHERE status = 'active')") << QStringLiteral("out of service");
        QTest::newRow("sold without record")
            << QStringLiteral("DELETE FROM audit_logs WHERE action = 'بيع وحدة'")
            << QStringLiteral("without a sale record");
        QTest::newRow("buyer balance not raised")
            << QStringLiteral("UPDATE buyers SET balance = 0") << QStringLiteral("buyer");
        QTest::newRow("an invoice item lost")
            << QStringLiteral("DELETE FROM invoice_items WHERE id = (SELECT MAX(id) FROM invoice_items)")
            << QStringLiteral("sum of its items");
        QTest::newRow("tenant balance not lowered")
            << QStringLiteral("UPDATE tenants SET balance = balance + 10")
            << QStringLiteral("tenant balance");
        QTest::newRow("payment without invoice update") << QStringLiteral(
            "UPDATE invoices SET paid_amount = 0, balance = total_amount, status = 'pending'")
                                                        << QStringLiteral("paid amount");
        QTest::newRow("collection without installment update")
            << QStringLiteral("UPDATE installments SET paid_amount = 0") << QStringLiteral("collections");
        QTest::newRow("void without balance")
            << QStringLiteral("UPDATE invoices SET status = 'void' WHERE id = (SELECT MIN(id) FROM invoices)")
            << QStringLiteral("invoice balance");
        QTest::newRow("cheque cashed without its collection")
            << QStringLiteral("UPDATE cheques SET status = 'paid' WHERE id = (SELECT MAX(id) FROM cheques)")
            << QStringLiteral("cashed cheque");
        QTest::newRow("bounced cheque keeps its collection") << QStringLiteral(
            "UPDATE cheques SET status = 'bounced' WHERE id = (SELECT MIN(id) FROM cheques)")
                                                             << QStringLiteral("cheque holds collections");
        QTest::newRow("infinite balance")
            << QStringLiteral("UPDATE buyers SET balance = 9e999") << QStringLiteral("figure out of range");
        QTest::newRow("a fraction of a cent") << QStringLiteral("UPDATE contracts SET deposit = 1000.004")
                                              << QStringLiteral("whole hundredths");
        QTest::newRow("paid beyond the total") << QStringLiteral(
            "UPDATE invoices SET status = 'paid', paid_amount = total_amount + 0.01, balance = -0.01")
                                               << QStringLiteral("invoice settled");
        QTest::newRow("an invoice of nothing")
            << QStringLiteral("UPDATE invoices SET total_amount = 0") << QStringLiteral("not above 0");
        QTest::newRow("a receipt lost")
            << QStringLiteral("DELETE FROM receipts WHERE receipt_number = 1") << QStringLiteral("receipt");
        QTest::newRow("paid in another currency")
            << QStringLiteral("UPDATE payments SET currency_id = 2 WHERE invoice_id IS NOT NULL")
            << QStringLiteral("another currency");
    }

    void checksSeeHalfWrittenRecords()
    {
        QFETCH(QString, damage);
        QFETCH(QString, expected);
        TestDatabase db;
        const RentalFixtures::RentedUnit let = RentalFixtures::addRentedUnit(
            db.db(), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 1000);
        InvoiceModel invoices(db.db());
        PaymentModel payments(db.db());
        QCOMPARE(invoices.generateAllRent(QStringLiteral("2025-02")), 1);
        QVERIFY(payments.add(db.value(QStringLiteral("SELECT id FROM invoices")).toInt(), let.tenantId, 400,
                    QStringLiteral("cash"), QStringLiteral("2025-02-03"), QString(), 1)
            > 0);
        const int unit = RentalFixtures::addUnit(db.db(), let.propertyId, QStringLiteral("S-1"));
        const int buyer
            = BuyerModel(db.db()).add(QStringLiteral("سامي"), QString(), QString(), QString(), QString());
        InstallmentModel installments(db.db());
        QCOMPARE(installments.sellUnit(
                     buyer, unit, 1000, 100, 3, QStringLiteral("2025-01-31"), 1, QStringLiteral("77")),
            1);
        QVERIFY(installments.payInstallment(
            db.value(QStringLiteral("SELECT MIN(id) FROM installments")).toInt(), 300));
        QCOMPARE(Consistency::problems(db->getDb()), QStringList());

        // Damage as a crash in the middle would leave it, foreign keys or not.
        QVERIFY(db->execNonQuery(QStringLiteral("PRAGMA foreign_keys = OFF")));
        QVERIFY(db->execNonQuery(damage));
        const QStringList problems = Consistency::problems(db->getDb());
        QVERIFY2(problems.join(QLatin1Char('\n')).contains(expected),
            qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void killsAtRandomMomentsLeaveAConsistentFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("darvelinto.db"));
        QRandomGenerator random(m_seed);
        QElapsedTimer budget;
        budget.start();

        int kills = 0;
        int killedInOperation = 0;
        int killedStarting = 0;
        for (int round = 0; round < kKills; ++round) {
            QVERIFY2(budget.elapsed() < kBudgetMs, "the crash test ran out of time");
            QProcess worker;
            worker.setProcessChannelMode(QProcess::SeparateChannels);
            worker.start(QStringLiteral(RELIABILITY_WORKER), { path, QString::number(m_seed + round) });
            QVERIFY2(worker.waitForStarted(kWaitMs), qPrintable(worker.errorString()));

            QByteArray output;
            const bool duringStartUp = round % 6 == 5;
            if (duringStartUp) {
                // Somewhere in opening the file: pragmas, schema, default data, the first writes.
                QThread::usleep(random.bounded(60000));
            } else {
                // Inside or between operations: after the k-th one has begun, a little later.
                const int target = 1 + random.bounded(12);
                while (readTranscript(output).started < target) {
                    QVERIFY2(budget.elapsed() < kBudgetMs, "the crash test ran out of time");
                    QVERIFY2(worker.state() == QProcess::Running,
                        qPrintable(QStringLiteral("the worker stopped by itself: ")
                            + QString::fromUtf8(worker.readAllStandardError())));
                    worker.waitForReadyRead(kWaitMs);
                    output += worker.readAllStandardOutput();
                }
                // Half of the kills come almost at once, where most operations are still running.
                QThread::usleep(random.bounded(2) == 0 ? random.bounded(3000) : random.bounded(25000));
            }
            QVERIFY2(worker.state() == QProcess::Running,
                qPrintable(QStringLiteral("the worker stopped by itself: ")
                    + QString::fromUtf8(worker.readAllStandardError())));
            worker.kill();
            QVERIFY(worker.waitForFinished(kWaitMs));
            QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
            ++kills;
            output += worker.readAllStandardOutput();
            const Transcript transcript = readTranscript(output);
            killedInOperation += transcript.inOperation ? 1 : 0;
            killedStarting += transcript.ready ? 0 : 1;

            Consistency::FileConnection file(path);
            QVERIFY(file.isOpen());
            const QStringList problems = Consistency::problems(file.db());
            QVERIFY2(problems.isEmpty(),
                qPrintable(QStringLiteral("after kill %1: ").arg(kills)
                    + problems.mid(0, 10).join(QStringLiteral("\n"))));
            const QStringList missing = missingCommits(file.db(), transcript);
            QVERIFY2(missing.isEmpty(),
                qPrintable(QStringLiteral("lost after kill %1: ").arg(kills)
                    + missing.mid(0, 10).join(QStringLiteral("\n"))));
        }

        // The program itself opens the file again and finds it whole.
        {
            Database database;
            QVERIFY(database.initialize(path));
            QVERIFY(Consistency::problems(database.getDb()).isEmpty());
        }
        Consistency::FileConnection file(path);
        const auto count = [&](const char* table) {
            return scalar(file.db(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
                .toInt();
        };
        qInfo("%d kills survived (%d inside an operation, %d while opening the file), %d commits checked, "
              "%.1f s",
            kills, killedInOperation, killedStarting, m_committed, budget.elapsed() / 1000.0);
        const auto cheques = [&](const char* status) {
            return scalar(file.db(), QStringLiteral("SELECT COUNT(*) FROM cheques WHERE status = ?"),
                { QLatin1String(status) })
                .toInt();
        };
        qInfo("file holds %d contracts, %d invoices, %d payments, %d sold units, %d installments, %d cheques "
              "(%d cashed, %d returned)",
            count("contracts"), count("invoices"), count("payments"),
            scalar(file.db(), QStringLiteral("SELECT COUNT(*) FROM units WHERE status = 'sold'")).toInt(),
            count("installments"), count("cheques"), cheques("paid"), cheques("bounced"));
        QVERIFY(kills >= 20);
        // The file was really worked on, not killed before it could write anything.
        QVERIFY(count("invoices") > 0);
        QVERIFY(count("installments") > 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
