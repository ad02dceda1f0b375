#pragma once

#include <QString>
#include <QVariant>

class Database;

/**
 * Small hand-checked data sets for the report tests, written with plain INSERTs so the reports
 * are tested against rows as the operational models store them, not through those models.
 * Every helper returns the new id; a failed insert stops the test run (it is a fixture bug).
 * Pass a null QVariant() where a column should stay NULL.
 */
class ReportFixtures
{
public:
    explicit ReportFixtures(Database* db);

    int property(const QString& name);
    int unit(int propertyId, const QString& number, const QString& status = QStringLiteral("available"),
        double salePrice = 0, const QVariant& salePriceActual = QVariant(), const QVariant& area = QVariant(),
        const QVariant& floor = QVariant());
    int tenant(const QString& name);
    int buyer(const QString& name);
    int contractor(const QString& name);

    /** balance = total - paid, due date and creation time as given. */
    int invoice(int tenantId, const QVariant& unitId, double total, double paid, const QString& status,
        const QString& dueDate, const QString& createdAt = QStringLiteral("2025-01-01 09:00:00"));
    /** A tenant's payment against an invoice. */
    int rentPayment(int invoiceId, int tenantId, double amount, const QString& date,
        const QString& reference = QString());
    /** A buyer's payment (down payment or installment collection), without invoice. */
    int buyerPayment(int buyerId, int unitId, double amount, const QString& date, const QString& notes);
    /** A sale's down payment, flagged as the sale flags it. */
    int downPayment(int buyerId, int unitId, double amount, const QString& date);
    int installment(
        int buyerId, int unitId, double amount, double paid, const QString& status, const QString& dueDate);
    int cheque(const QString& number, double amount, const QString& status, const QString& dueDate,
        const QVariant& currencyId = QVariant());
    int expense(const QVariant& propertyId, const QVariant& unitId, double amount, const QString& date,
        const QVariant& contractorId = QVariant());
    int costCenter(const QString& name, const QString& type, int propertyId,
        const QVariant& unitId = QVariant(), const QVariant& parentId = QVariant());

private:
    int insert(const QString& sql, const QVariantList& params);

    Database* m_db;
    int m_invoiceSeq = 0;
};
