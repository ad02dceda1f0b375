#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

class Database;

/**
 * Tenant invoices: numbering, one-off invoices with their items, the monthly rent run and service
 * charges, and voiding. Every invoice raises its tenant's running balance by its total in the same
 * transaction that writes it; a void takes back what was still open.
 */
class InvoiceModel : public QObject
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
     * Refused (-1, nothing written) when the tenant already has a live invoice for the period, when
     * the period is not "yyyy-MM" or an item carries an amount that is not finite or above 1e13.
     */
    Q_INVOKABLE int createInvoice(
        int tenantId, int unitId, const QString& period, const QVariantList& items, int currencyId);
    /** Sets (does not add to) the paid amount and recomputes balance and status; the tenant's balance is left
     * alone. */
    Q_INVOKABLE bool updatePaidAmount(int id, double amount);
    /** Voids a live invoice; the tenant's balance falls by what was still open on it. */
    Q_INVOKABLE bool voidInvoice(int id);

    /** One rent invoice per active contract due in the period; returns how many were made. */
    Q_INVOKABLE int generateAllRent(const QString& period);
    /** Charges the full amount to each tenant of the list; no duplicate guard. */
    Q_INVOKABLE int generateServiceInvoice(const QVariantList& tenantIds, const QString& serviceName,
        double amount, const QString& period, int currencyId);
    /** Charges the full amount once to every tenant with an active contract in the property. */
    Q_INVOKABLE int generatePropertyServiceInvoice(
        int propertyId, const QString& serviceName, double amount, const QString& period, int currencyId);

signals:
    void dataChanged();

private:
    struct Item
    {
        QString description;
        QString type;
        double quantity = 1;
        double unitPrice = 0;
        double total = 0;
    };

    struct Draft
    {
        int tenantId = 0;
        QVariant unitId;
        QVariant contractId;
        QString period;
        QVariant currencyId;
        QVector<Item> items;
        double total() const;
    };

    struct ServiceTarget
    {
        int tenantId = 0;
        QVariant unitId;
    };

    class Writer;

    [[nodiscard]] int chargeService(const QVector<ServiceTarget>& targets, const QString& serviceName,
        double amount, const QString& period, int currencyId);

    Database* m_db;
};
