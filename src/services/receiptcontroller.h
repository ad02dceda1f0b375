#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class Database;
class PrintController;
class SettingsManager;

/**
 * Receipts (سند قبض) of the money the office received: reads a payment's receipt with what it
 * paid, and prints it to PDF with the letterhead, the amount in figures and in words, the method,
 * the balance it left and the clerk who took it. The first print is the original; every later one
 * is marked as a copy, and the count of prints is kept with the receipt.
 */
class ReceiptController : public QObject
{
    Q_OBJECT
public:
    ReceiptController(
        Database* db, SettingsManager* settings, PrintController* print, QObject* parent = nullptr);

    /**
     * The receipt of a payment: `receipt_number`, `number_text`, `payer`, `amount`, `amount_text`
     * (figures with the currency), `amount_words`, `currency_name`, `method_text`, `pays`,
     * `balance_label`, `balance_text` (empty when the receipt keeps no balance), `payment_date`,
     * `issued_by`, `print_count`, `cancelled` (its cheque came back). Empty for a payment without one.
     */
    Q_INVOKABLE QVariantMap getReceipt(int paymentId) const;
    /** The receipts of an installment's collections, latest first: `payment_id`, `number_text`, `amount`,
     * `payment_date`. */
    Q_INVOKABLE QVariantList getInstallmentReceipts(int installmentId) const;
    /**
     * Prints the receipt of a payment and opens it; a reprint is marked "نسخة". Returns the path
     * of the PDF, or empty text when the payment has no receipt or the document or the count of
     * prints could not be written (then nothing is counted and no file is left).
     */
    Q_INVOKABLE QString printReceipt(int paymentId);

    /**
     * The receipt of a sum received toward a tenant's security deposit (a deposit movement), with
     * the keys of getReceipt(); `balance_text` is what the deposit holds then. Empty for a movement
     * without a receipt.
     */
    Q_INVOKABLE QVariantMap getDepositReceipt(int movementId) const;
    /** Prints a deposit's receipt as printReceipt() prints a payment's. */
    Q_INVOKABLE QString printDepositReceipt(int movementId);
    /**
     * Prints the settlement statement of a contract's deposit (held, each deduction with its reason,
     * the refund) and opens it. Returns the path, or empty text when the contract has no settlement
     * or the document could not be written.
     */
    Q_INVOKABLE QString printSettlement(int contractId);
    /** The document of a deposit settlement, as printSettlement writes it. */
    QString settlementHtml(const QVariantMap& settlement, const QString& printedBy) const;

    /** The document of a receipt, as printReceipt writes it. */
    QString receiptHtml(const QVariantMap& receipt, bool copy, const QString& printedBy) const;

private:
    QString letterhead(const QString& title, const QString& number, const QString& date) const;
    QString footer(const QString& printedBy) const;
    /** Counts a print of the receipt (or a deposit's), writes it and opens it, as printReceipt describes. */
    QString printCounted(const QString& countSql, int id, const std::function<QVariantMap()>& read);

    Database* m_db;
    SettingsManager* m_settings;
    PrintController* m_print;
};
