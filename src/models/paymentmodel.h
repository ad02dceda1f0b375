#pragma once

#include "refusable.h"

#include <QVariantList>

class Database;

/**
 * Money received from tenants against their open invoices. A payment, its invoice's new balance
 * and status and the tenant's lower balance are written together or not at all. The table is
 * shared with the sales side, whose buyer payments the lists show too.
 */
class PaymentModel : public Refusable
{
    Q_OBJECT
public:
    explicit PaymentModel(Database* db, QObject* parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantList getRecent(int limit = 10);
    /**
     * One page of payments, tenants' and buyers' alike, latest payment date first (the latest
     * recorded first within a day), with the keys of getAll(). A non-empty `search` keeps the
     * payments whose tenant, buyer, reference, date, invoice number, property or unit contains it.
     */
    Q_INVOKABLE QVariantList getPage(int offset, int limit, const QString& search = QString());
    Q_INVOKABLE QVariantList getByTenant(int tenantId);

    /**
     * Records a payment against one of the tenant's live invoices; the amount is kept in whole
     * hundredths, and paying the whole balance leaves exactly 0. Refused (-1, nothing written)
     * when the amount is not at least a cent once rounded, is above 1e13 or exceeds the invoice's
     * open balance, when the date is not "yyyy-MM-dd", when the currency is not the invoice's, or
     * when the invoice is void, unknown or belongs to another tenant. The payment's receipt is
     * issued with it (see ReceiptBook); `bank` is the bank of a cheque.
     */
    Q_INVOKABLE int add(int invoiceId, int tenantId, double amount, const QString& method,
        const QString& date, const QString& ref, int currId, const QString& bank = QString());

signals:
    void dataChanged();

private:
    Database* m_db;
};
