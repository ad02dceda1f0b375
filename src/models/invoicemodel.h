#pragma once

#include "refusable.h"

#include <QHash>
#include <QSet>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

class Database;

/**
 * Tenant invoices: numbering, one-off invoices with their items, the monthly rent run and service
 * charges, and voiding. Every invoice raises its tenant's running balance by its total in the same
 * transaction that writes it; a void takes back what was still open.
 */
class InvoiceModel : public Refusable
{
    Q_OBJECT
public:
    explicit InvoiceModel(Database* db, QObject* parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    /**
     * One page of invoices, newest first, with the keys of getAll(). A non-empty `search` keeps the
     * invoices whose number, period, tenant, property or unit contains it. Ask for one row more
     * than shown to learn whether another page follows.
     */
    Q_INVOKABLE QVariantList getPage(int offset, int limit, const QString& search = QString());
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE QVariantList getItems(int invoiceId);
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    /** Invoices still open (neither paid nor void), earliest due first: what a payment is taken against. */
    Q_INVOKABLE QVariantList getPendingByTenant(int tenantId);

    /**
     * Writes one 'pending' invoice with its items and raises the tenant's balance by the total.
     * Amounts are kept in whole hundredths. Refused (-1, nothing written) when the tenant already
     * has a live invoice for the period, when the period is not "yyyy-MM", when a line carries an
     * amount that is negative, not finite or above 1e13, or when the total is not above 0 (such an
     * invoice could never be settled).
     */
    Q_INVOKABLE int createInvoice(
        int tenantId, int unitId, const QString& period, const QVariantList& items, int currencyId);
    /**
     * Brings the invoice's paid amount up to `amount` (rounded to hundredths) by recording the
     * missing part as a cash payment of today in the invoice's currency, with everything a payment
     * changes. Refused when the amount is below what was already paid (payments are never taken
     * back), above the total, or the invoice is void or unknown. True, writing nothing, when the
     * invoice already stands at that paid amount.
     */
    Q_INVOKABLE bool updatePaidAmount(int id, double amount);
    /**
     * Voids a live invoice; the tenant's balance falls by what was still open on it. What was paid
     * stays paid: the invoice's paid amount and its payments are kept, and the statements show the
     * invoice, its payments and the void taking back the open part.
     */
    Q_INVOKABLE bool voidInvoice(int id);

    /**
     * The monthly rent run: one invoice per active contract due in the period. Returns a map with
     * `made` (invoices written), `failed` (invoices due that could not be written; the log says
     * why), `refused` (true when nothing was tried: the period is not "yyyy-MM" or the
     * contracts could not be read) and, when invoices in another currency failed for lack of an
     * exchange rate, `refusal` (Arabic) and `missing_rates` (maps of `currency_id` and `date`).
     */
    Q_INVOKABLE QVariantMap issueRent(const QString& period);
    /** The rent run; returns how many invoices were made (issueRent() also says how many failed). */
    Q_INVOKABLE int generateAllRent(const QString& period);
    /**
     * Charges the full amount to each tenant of the list; no duplicate guard. Returns how many
     * invoices were made; an amount that is not at least a cent is refused (0).
     */
    Q_INVOKABLE int generateServiceInvoice(const QVariantList& tenantIds, const QString& serviceName,
        double amount, const QString& period, int currencyId);
    /**
     * Charges the full amount once to every tenant with an active contract in the property. The
     * map has the keys of issueRent(); an amount that is not above 0 is refused.
     */
    Q_INVOKABLE QVariantMap issuePropertyService(
        int propertyId, const QString& serviceName, double amount, const QString& period, int currencyId);
    /**
     * Bills the period's meter readings that no live invoice carries yet: the use times the
     * service's price, as usage lines of one invoice per let unit to the tenant whose contract
     * covers the month (the rent run puts the readings entered before it on the rent invoice
     * itself). Each invoice is written together with what marks its readings billed, so no
     * reading is billed twice. The map has the keys of issueRent() and `unbilled`: readings left
     * because their unit has no tenant that month or their cost cannot be billed.
     */
    Q_INVOKABLE QVariantMap billUsage(const QString& period);
    /** issuePropertyService(); returns how many invoices were made. */
    Q_INVOKABLE int generatePropertyServiceInvoice(
        int propertyId, const QString& serviceName, double amount, const QString& period, int currencyId);

    /**
     * The late-fee run of today: one fee invoice for each invoice still open past its due date and
     * the grace period, charged by the office's rule (LateFeePolicy) in the overdue invoice's
     * currency, dated today and charged for this month. Never on a void or paid invoice, on a late
     * fee, or twice for one invoice and month (a waived fee counts). All or nothing: when one fee
     * cannot be written none is. Returns `made`, `invoices` (each fee made: `id`,
     * `invoice_number`, `for_number`, `tenant_name`, `amount`, `currency_symbol`), `refused`
     * (true when nothing was written) and `refusal` (Arabic) when refused.
     */
    Q_INVOKABLE QVariantMap issueLateFees();
    /** How many fees a late-fee run would charge now (0 when the office charges none). */
    Q_INVOKABLE int lateFeesDue();
    /**
     * Waives a late fee: voids it, and writes the reason to the audit log, together. Refused for a
     * blank reason, an invoice that is not a late fee, and a fee already void or paid.
     */
    Q_INVOKABLE bool waiveLateFee(int id, const QString& reason);

signals:
    void dataChanged();

private:
    /** What a bulk run did. */
    struct Outcome
    {
        int made = 0;
        int failed = 0;
        bool refused = false;
        /** Why invoices could not be posted to the books (a missing exchange rate), in Arabic. */
        QString refusal;
        /** The rates missing for them: maps of `currency_id` and `date`, each once. */
        QVariantList missingRates;
        QVariantMap toMap() const;
    };

    struct Item
    {
        QString description;
        QString type;
        double quantity = 1;
        double unitPrice = 0;
        double total = 0;
        /** The reading a usage line bills; null for other lines. */
        QVariant usageRecordId;
    };

    struct Draft
    {
        int tenantId = 0;
        QVariant unitId;
        QVariant contractId;
        QString period;
        QVariant currencyId;
        QVector<Item> items;
        /** Empty for the period's usual due date. */
        QString dueDate;
        /** For a late fee: the overdue invoice and the month charged ("yyyy-MM"); null otherwise. */
        QVariant lateFeeFor;
        QVariant lateFeeMonth;
        QVariant notes;
        /** The sum of the lines in hundredths, or -1 when it passes the largest amount. */
        qint64 totalCents() const;
    };

    struct ServiceTarget
    {
        int tenantId = 0;
        QVariant unitId;
    };

    class Writer;

    [[nodiscard]] Outcome chargeService(const QVector<ServiceTarget>& targets, const QString& serviceName,
        double amount, const QString& period, int currencyId);
    [[nodiscard]] Outcome runRent(const QString& period);
    /** Voids a live invoice inside the caller's transaction; false (and the refusal) when refused. */
    [[nodiscard]] bool voidWithin(int id);
    /** The invoices a late-fee run of today charges; `failed` when they could not be read. */
    [[nodiscard]] QVariantList overdueForFees(bool* failed);
    /** An audit row by the signed-in clerk, inside the caller's transaction. */
    [[nodiscard]] bool audit(const QString& action, int recordId, const QString& details);
    /** Usage lines of the readings rows by unit; the units with a reading that cannot be billed in
     * `unbillable`. */
    static void sortUsage(
        const QVariantList& readings, QHash<int, QVector<Item>>* byUnit, QSet<int>* unbillable);
    /** Counts a failed invoice, and the exchange rate it lacked. */
    static void countFailure(Outcome* outcome, const Writer& writer);

    Database* m_db;
};
