#pragma once

#include <QString>
#include <QVariant>

class Database;

/**
 * Small hand-checked offices for the reading side (reports, dashboard, alerts), written with plain
 * INSERTs so the readers are tested against rows as the models store them, not through the models.
 * Every helper returns the new id; a refused insert stops the run (it is a fixture bug). Ids of 0
 * and null QVariant()s are stored as NULL.
 */
class ReportFixtures
{
public:
    explicit ReportFixtures(Database* db);

    /** Today plus `days`, as dates are stored: "yyyy-MM-dd". */
    static QString day(int days);
    /** The sum of one field over a list of rows. */
    static double sumOf(const QVariantList& rows, const QString& key);
    /** The values of the fields named (separated by blanks), as text separated by blanks. */
    static QString figures(const QVariantMap& row, const QString& keys);

    int property(const QString& name);
    int unit(int propertyId, const QString& number, const QString& status = QStringLiteral("available"),
        double salePrice = 0, const QVariant& salePriceActual = QVariant(), const QVariant& area = QVariant(),
        const QVariant& floor = QVariant());
    int tenant(const QString& name);
    int buyer(const QString& name);
    int contractor(const QString& name);
    /** A year-long contract of 1000 a month ending on `endDate`. */
    int contract(
        int unitId, int tenantId, const QString& endDate, const QString& status = QStringLiteral("active"));
    int maintenance(int unitId, const QString& status, const QString& createdAt);

    /** balance = total - paid; the period is the due date's month. */
    int invoice(int tenantId, const QVariant& unitId, double total, double paid, const QString& status,
        const QString& dueDate, const QString& createdAt = QStringLiteral("2025-01-01 09:00:00"));
    int rentPayment(int invoiceId, int tenantId, double amount, const QString& date,
        const QString& reference = QString());
    /** Money of a sale: an installment collection or other buyer payment, without invoice. */
    int buyerPayment(
        int buyerId, int unitId, double amount, const QString& date, const QString& notes = QString());
    /** A sale's down payment, flagged as the sale flags it. */
    int downPayment(int buyerId, int unitId, double amount, const QString& date);
    /** A payment tied to nothing, for figures that only count money by its day. */
    int payment(double amount, const QString& date);
    int installment(
        int buyerId, int unitId, double amount, double paid, const QString& status, const QString& dueDate);

    struct Cheque
    {
        QString number;
        double amount = 0;
        QString status = QStringLiteral("pending");
        QString due;
        int buyerId = 0;
        int tenantId = 0;
        int installmentId = 0;
        QString type = QStringLiteral("received");
    };
    int cheque(const Cheque& cheque);
    int expense(const QVariant& propertyId, const QVariant& unitId, double amount, const QString& date,
        const QVariant& contractorId = QVariant());
    int costCenter(const QString& name, const QString& type, int propertyId,
        const QVariant& unitId = QVariant(), const QVariant& parentId = QVariant());

private:
    int insert(const QString& sql, const QVariantList& params);

    Database* m_db;
    int m_invoiceSeq = 0;
};
