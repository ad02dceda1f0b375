#pragma once

#include "refusable.h"

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * Reminders to the people who owe the office money past its due date: for each tenant with open
 * invoices and each buyer with open installments due before today, a ready-to-send Arabic text
 * (name, what is due in each currency, since when, the office's phone from the company profile),
 * and the record of who was reminded when, kept in the audit log. Nobody is reminded twice in a day.
 */
class ReminderModel : public Refusable
{
    Q_OBJECT
public:
    explicit ReminderModel(Database* db, QObject* parent = nullptr);

    /**
     * One reminder per tenant and buyer in arrears, the longest overdue first: `kind` ("tenant" or
     * "buyer"), `party_id`, `name`, `phone`, `email`, `count` (invoices or installments), `since`
     * (the earliest due date, "yyyy-MM-dd"; `since_text` as the text writes it), `due` (what is due, per
     * currency, as text), `subject` and `text` (the reminder), `mailto` (a mail link, empty without an e-mail
     * address), `last_reminded` (local "yyyy-MM-dd HH:mm", empty when never) and `reminded_today`.
     */
    Q_INVOKABLE QVariantList getReminders();
    /**
     * Records that `kind`/`partyId` was reminded today by `channel` ("copy", "mail" or "print").
     * Refused (false, nothing written, the reason in `lastError`) when that person was already
     * reminded today, owes nothing overdue, or is unknown.
     */
    Q_INVOKABLE bool markReminded(const QString& kind, int partyId, const QString& channel);
    /** Who was reminded when, newest first: `name`, `kind`, `channel`, `reminded_at` (local time). */
    Q_INVOKABLE QVariantList getReminderLog(int limit = 50);

signals:
    void dataChanged();

private:
    /** The reminders of one kind, or of one person when `partyId` is above 0. */
    QVariantList remindersOf(const QString& kind, int partyId);

    Database* m_db;
};
