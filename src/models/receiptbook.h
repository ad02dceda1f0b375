#pragma once

#include <QVariant>

class Database;

/**
 * The book of receipts: every sum of money received gets the next receipt number, drawn from the
 * counter row in the same transaction as the money, so a payment and its receipt are committed or
 * rolled back together and a number is neither reused nor left behind by a failed payment.
 *
 * Runs inside the caller's transaction and never commits.
 */
class ReceiptBook
{
public:
    explicit ReceiptBook(Database* db);

    /**
     * Issues the receipt of payment `paymentId`, which left `balanceAfter` open on what it paid
     * (the invoice, the installment, or the sale price for a down payment), signed by the person
     * logged in. `installmentId` names the installment a collection paid. Returns the receipt
     * number, or 0 when a statement failed: the caller must then roll back.
     */
    [[nodiscard]] qint64 issue(
        int paymentId, double balanceAfter, const QVariant& installmentId = QVariant());

    /**
     * Draws the next receipt number, for a receipt kept elsewhere (a deposit received); 0 when a
     * statement failed: the caller must then roll back.
     */
    [[nodiscard]] qint64 drawNumber();

private:
    Database* m_db;
};
