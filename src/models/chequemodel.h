#pragma once

#include <QObject>
#include <QVariantList>

class Database;

/**
 * The cheque register: cheques received (from buyers, tenants or others) and issued by the
 * office. An entry moves no money; the money side of a sale's cheque is the installment
 * collection, which also marks the cheque cashed.
 *
 * Every list carries all cheque columns plus `currency_symbol`, `buyer_name`, `tenant_name`,
 * `unit_number` and `property_name` (the last two through the cheque's installment).
 */
class ChequeModel : public QObject
{
    Q_OBJECT
public:
    explicit ChequeModel(Database* db, QObject* parent = nullptr);

    /** Every cheque, latest due first, also with `currency_code`. */
    Q_INVOKABLE QVariantList getAll() const;
    /** Pending cheques, earliest due first. */
    Q_INVOKABLE QVariantList getPending() const;
    /** Pending cheques due after today, earliest first. */
    Q_INVOKABLE QVariantList getPostDated() const;
    /** Cheques of one type ("received", "issued"), latest due first. */
    Q_INVOKABLE QVariantList getByType(const QString& type) const;
    /** Cheques in one status, earliest due first. */
    Q_INVOKABLE QVariantList getByStatus(const QString& status) const;

    /**
     * Records a pending cheque issued today. `payerPayee` is the payer of a "received" cheque and
     * the payee of an "issued" one; the exchange rate is kept in the notes. Links of 0 stay NULL.
     * Returns the new id, or -1 for an amount or rate that is not a finite number, or a failed insert.
     */
    Q_INVOKABLE int add(const QString& num, const QString& type, double amount, const QString& bank,
        const QString& dueDate, const QString& payerPayee, int currId, double exchangeRate, int buyerId = 0,
        int tenantId = 0);
    /** Sets any status text; true when the statement ran. */
    Q_INVOKABLE bool updateStatus(int id, const QString& status);

signals:
    void dataChanged();

private:
    QVariantList select(
        const QString& tail, const QVariantList& params = {}, bool withCurrencyCode = false) const;

    Database* m_db;
};
