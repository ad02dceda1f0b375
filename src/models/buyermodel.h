#pragma once

#include "refusable.h"

#include <QVariantList>

class Database;

/**
 * The register of buyers. A buyer's balance is what they still owe over all their purchases; it
 * is a running figure kept by the installment model (sale, added installment, collection).
 */
class BuyerModel : public Refusable
{
    Q_OBJECT
public:
    explicit BuyerModel(Database* db, QObject* parent = nullptr);

    /** Every buyer by name, with `installment_count`. */
    Q_INVOKABLE QVariantList getAll() const;
    /**
     * Adds a buyer; returns the new id, or -1 for an empty name or a failed insert (an identity
     * number already on file). An empty identity number is stored as NULL so that it stays
     * unique only when given.
     */
    Q_INVOKABLE int add(const QString& name, const QString& idNum, const QString& phone, const QString& email,
        const QString& addr);
    Q_INVOKABLE bool update(int id, const QString& name, const QString& idNum, const QString& phone,
        const QString& email, const QString& addr);
    /** The buyer's installments with `unit_number` and `property_name`, earliest due first. */
    Q_INVOKABLE QVariantList getStatement(int id) const;

signals:
    void dataChanged();

private:
    /** True when another buyer than `exceptId` holds the identity number (a blank one is no number). */
    bool identityTaken(const QString& idNum, int exceptId) const;

    Database* m_db;
};
