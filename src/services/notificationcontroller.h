#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <vector>

class QDate;

class Database;

/**
 * The active alerts: what needs the office's attention today, worked out from the tables on
 * every call. Nothing about an alert is stored, so it disappears once its cause is settled.
 */
class NotificationController : public QObject
{
    Q_OBJECT
public:
    explicit NotificationController(Database* db, QObject* parent = nullptr);

    /**
     * Every alert, rule after rule: installments due today or yesterday ("payment_due", high),
     * installments due earlier ("overdue", critical), pending received cheques due within 7 days or past
     * ("cheque", medium when still ahead, else high), open invoices due up to today
     * ("rent_invoice", high when past, medium today), active contracts ending within 30 days or
     * past ("contract", low). Each alert is its source row plus `type`, `title`, `detail` and
     * `severity`.
     */
    Q_INVOKABLE QVariantList getActiveAlerts() const;

    /** The number of entries getActiveAlerts() would return. */
    Q_INVOKABLE int getAlertCount() const;

    /** Read state is not kept: alerts live exactly as long as their cause. */
    Q_INVOKABLE void markAsRead(int alertId);

private:
    struct Rule;
    [[nodiscard]] static std::vector<Rule> rulesFor(const QDate& today);

    Database* m_db;
};
