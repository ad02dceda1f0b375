#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

/**
 * The words an office in the region writes: people's names, streets, cities, buildings, trades,
 * banks and the texts of expenses and maintenance requests. Picks are drawn from the caller's
 * seeded generator, so the same seed gives the same office.
 */
class OfficeVocabulary
{
public:
    explicit OfficeVocabulary(QRandomGenerator* random);

    /** A full name of three or four parts: given name, father's name, (grandfather's), family. */
    QString personName();
    QString companyName();
    QString city();
    /** A street address in `city`. */
    QString address(const QString& city);
    /** A building or project name, numbered so that 200 of them stay distinct. */
    QString propertyName(int index);
    /** A mobile number of the region, ten digits. */
    QString phone();
    QString bank();
    QString trade();
    QString expenseCategory();
    QString workCategory();
    QString maintenanceTitle();
    QString maintenanceDescription();
    QString buildingServiceCharge();

    const QString& pick(const QStringList& words);

private:
    QRandomGenerator* m_random;
};
