#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/** Tenants. Their running balance is kept by the invoice and payment models, never here. */
class TenantModel : public Refusable
{
    Q_OBJECT
public:
    explicit TenantModel(Database* db, QObject* parent = nullptr);

    /** Every tenant by name, with active_contracts. */
    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    /**
     * -1 and nothing written for a blank name or an identity number already on file. An empty
     * identity number is stored as none, so any number of tenants may leave it out.
     */
    Q_INVOKABLE int add(const QString& name, const QString& idNum, const QString& phone, const QString& email,
        const QString& addr);
    Q_INVOKABLE bool update(int id, const QString& name, const QString& idNum, const QString& phone,
        const QString& email, const QString& addr);
    /**
     * Deletes a tenant without history. False with nothing changed while any contract (even a
     * terminated one), invoice, payment or cheque refers to the tenant.
     */
    Q_INVOKABLE bool remove(int id);
    /**
     * Invoices of every status (debit, at creation time), payments (credit, at payment date) and
     * voids (type "void": credit of what was still open, when voided) in date order; the rows add
     * up to the tenant's stored balance.
     */
    Q_INVOKABLE QVariantList getStatement(int id);
    Q_INVOKABLE QVariantList search(const QString& q);
    /**
     * One page of tenants for the tenants page, newest first, with the keys of getAll().
     * `search` (when not blank) keeps the tenants whose name, phone or identity number contains
     * it. Empty for a limit below 1; a negative offset counts as 0.
     */
    Q_INVOKABLE QVariantList getPage(int offset, int limit, const QString& search = QString());

signals:
    void dataChanged();

private:
    /** True when another tenant than `exceptId` holds the identity number (a blank one is no number). */
    bool identityTaken(const QString& idNum, int exceptId) const;

    Database* m_db;
};
