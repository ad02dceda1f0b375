#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;

/**
 * Plain INSERTs for the reading side: the dashboard and alert tests build small, hand-checked
 * data sets straight into the tables, independent of the models that normally write them.
 * Every helper returns the new row id and fails the running test when the insert is refused.
 */
class DashboardFixtures
{
public:
    explicit DashboardFixtures(Database* db);

    int property(const QString& name);
    int unit(int propertyId, const QString& number, const QString& status = QStringLiteral("available"));
    int tenant(const QString& name);
    int buyer(const QString& name);
    int contract(
        int unitId, int tenantId, const QDate& end, const QString& status = QStringLiteral("active"));

    struct Invoice
    {
        QString number;
        int tenantId = 0;
        int unitId = 0; // 0: none
        QString period;
        double total = 0;
        double paid = 0;
        QString status = QStringLiteral("pending");
        QString dueDate; // empty: period + "-28"
    };
    int invoice(const Invoice& invoice);

    struct Payment
    {
        double amount = 0;
        QDate date;
        int invoiceId = 0; // 0: none, as for a sale's payments
        int tenantId = 0;
        int buyerId = 0;
        int unitId = 0;
    };
    int payment(const Payment& payment);

    int maintenance(int unitId, const QString& title, const QString& status, const QString& createdAt);

    int installment(int buyerId, int unitId, double amount, const QDate& due,
        const QString& status = QStringLiteral("pending"), double paid = 0);

    struct Cheque
    {
        QString number;
        double amount = 0;
        QDate due;
        QString status = QStringLiteral("pending");
        QString type = QStringLiteral("received");
        int buyerId = 0;
        int tenantId = 0;
        int installmentId = 0;
    };
    int cheque(const Cheque& cheque);

    /** Today plus `days`, as stored text "yyyy-MM-dd". */
    static QString day(int days);

private:
    int insert(const QString& sql, const QVariantList& params);

    Database* m_db;
};

/**
 * Counts how much work SQLite does for the statements finished while it lives: virtual-machine
 * steps and the steps spent walking whole tables. A query that reads a range through an index
 * costs in proportion to the rows it returns; one that scans costs in proportion to the table,
 * and that shows here without any timing.
 */
class StatementWork
{
public:
    explicit StatementWork(Database* db);
    ~StatementWork();
    StatementWork(const StatementWork&) = delete;
    StatementWork& operator=(const StatementWork&) = delete;

    qint64 steps() const { return m_steps; }
    qint64 fullScanSteps() const { return m_fullScanSteps; }
    /** The statements seen since the last reset, each with its step count, for failure messages. */
    QString report() const { return m_report.join(QLatin1Char('\n')); }
    void reset();

private:
    static int onTrace(unsigned type, void* self, void* statement, void* detail);

    void* m_handle = nullptr;
    qint64 m_steps = 0;
    qint64 m_fullScanSteps = 0;
    QStringList m_report;
};
