#include "testdatabase.h"

#include <QLocale>
#include <QStandardPaths>
#include <QTest>

TestDatabase::TestDatabase()
    : m_db(std::make_unique<Database>())
{
    if (!m_dir.isValid() || !m_db->initialize(filePath()))
        qFatal("could not create the test database in %s", qPrintable(m_dir.path()));
}

TestDatabase::~TestDatabase() = default;

int TestDatabase::count(const QString& tableOrSql, const QVariantList& params) const
{
    const bool bareTable = !tableOrSql.contains(QLatin1Char(' '));
    const QString sql
        = bareTable ? QStringLiteral("SELECT COUNT(*) FROM ") + tableOrSql : QStringLiteral("SELECT COUNT(*) FROM (") + tableOrSql + QLatin1Char(')');
    return m_db->scalar(sql, params).toInt();
}

QVariant TestDatabase::value(const QString& sql, const QVariantList& params) const
{
    return m_db->scalar(sql, params);
}

void pinTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
