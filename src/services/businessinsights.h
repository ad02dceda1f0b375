#pragma once

#include <QVariantList>
#include <QVariantMap>

class Database;

/**
 * The rule-based observations ("Darvelinto AI"): short insight cards and a longer analysis text in
 * Markdown. Fixed queries, thresholds and Arabic templates, evaluated afresh on every call; "today"
 * comes from Clock.
 */
class BusinessInsights
{
public:
    explicit BusinessInsights(Database* db);

    /** Occupancy and overdue-invoice cards always; overdue installments and received cheques due when any. */
    QVariantList cards() const;
    /**
     * The analysis text from the whole-history cash figures and the number of overdue installments,
     * with `occupancy` = rented and sold units over the units in service, percent, and the units
     * counted apart: `placed_units` (rented or sold), `available_units`, `out_of_service_units`.
     */
    QVariantMap analysis(double revenue, double netProfit, int overdueInstallments) const;

    /** Fixed, no decimals, rounded: 66.67 gives "67", 999.6 gives "1000". */
    static QString whole(double value);
    /** Fixed, one decimal: 66.666 gives "66.7". */
    static QString oneDecimal(double value);

private:
    /** An amount of the primary currency as every page writes it (Money::display). */
    QString money(double value) const;
    QVariantMap occupancyCard() const;
    QVariantMap overdueInvoicesCard() const;
    QVariantMap overdueInstallmentsCard() const;
    QVariantMap chequesDueCard() const;
    /** occupancy, placed_units, available_units, out_of_service_units (see analysis()). */
    QVariantMap placement() const;
    int chequesDueWithinAWeek() const;

    Database* m_db;
};
