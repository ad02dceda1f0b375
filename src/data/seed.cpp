// Default data of a new database: the administrator, three currencies, the chart of accounts and
// the billable services. Runs on every start and writes only when the users table is empty (and
// the services only when there are none).
#include "database.h"
#include "passwordhasher.h"

#include <QSqlQuery>

namespace {

struct AccountSeed {
    const char* code;
    const char* name;
    const char* type;
    int parentId; // 0: a group account
};

void insertRow(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    query.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    query.exec(); // a row that already exists (unique code) is kept as it is
}

} // namespace

void Database::seedDefaultData()
{
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("SELECT COUNT(*) FROM users")) && query.next() && query.value(0).toInt() > 0)
        return;
    query.finish();

    m_db.transaction();
    insertRow(query, QStringLiteral("INSERT INTO users (username, password_hash, full_name, role) VALUES (?, ?, ?, ?)"),
        { QStringLiteral("admin"), PasswordHasher::defaultAdminHash(), QStringLiteral("مدير عام"),
            QStringLiteral("admin") });

    const QString currencySql
        = QStringLiteral("INSERT INTO currencies (code, name_ar, symbol, is_primary) VALUES (?, ?, ?, ?)");
    insertRow(query, currencySql, { QStringLiteral("ILS"), QStringLiteral("شيكل"), QStringLiteral("₪"), 1 });
    insertRow(query, currencySql, { QStringLiteral("USD"), QStringLiteral("دولار"), QStringLiteral("$"), 0 });
    insertRow(query, currencySql, { QStringLiteral("JOD"), QStringLiteral("دينار أردني"), QStringLiteral("د.ا"), 0 });

    static const AccountSeed accounts[] = {
        { "1000", "الأصول", "asset", 0 },
        { "1100", "النقدية", "asset", 1 },
        { "1200", "الذمم المدينة", "asset", 1 },
        { "2000", "الخصوم", "liability", 0 },
        { "2100", "الذمم الدائنة", "liability", 4 },
        { "3000", "حقوق الملكية", "equity", 0 },
        { "4000", "الإيرادات", "revenue", 0 },
        { "4100", "إيرادات الإيجار", "revenue", 7 },
        { "4200", "إيرادات الخدمات", "revenue", 7 },
        { "4300", "إيرادات المبيعات", "revenue", 7 },
        { "5000", "المصروفات", "expense", 0 },
        { "5100", "مصروفات الصيانة", "expense", 11 },
        { "5200", "مصروفات تشغيلية", "expense", 11 },
    };
    for (const AccountSeed& account : accounts) {
        const QString code = QString::fromUtf8(account.code);
        const QString name = QString::fromUtf8(account.name);
        const QString type = QString::fromUtf8(account.type);
        if (account.parentId == 0)
            insertRow(query, QStringLiteral("INSERT INTO accounts (code, name_ar, type, is_system) VALUES (?, ?, ?, ?)"),
                { code, name, type, 1 });
        else
            insertRow(query,
                QStringLiteral("INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES (?, ?, ?, ?, ?)"),
                { code, name, type, account.parentId, 1 });
    }

    // Services have no unique name: a file that already lists its own must not receive them twice.
    if (query.exec(QStringLiteral("SELECT COUNT(*) FROM services")) && query.next()
        && query.value(0).toInt() > 0) {
        m_db.commit();
        return;
    }
    query.finish();
    const QString serviceSql
        = QStringLiteral("INSERT INTO services (name, type, rate, unit_of_measure) VALUES (?, ?, ?, ?)");
    insertRow(query, serviceSql, { QStringLiteral("مياه"), QStringLiteral("usage"), 5.0, QStringLiteral("متر مكعب") });
    insertRow(query, serviceSql, { QStringLiteral("كهرباء"), QStringLiteral("usage"), 0.5, QStringLiteral("كيلوواط") });
    insertRow(query, serviceSql, { QStringLiteral("تنظيف"), QStringLiteral("fixed"), 100.0, QStringLiteral("شهري") });
    insertRow(query, serviceSql, { QStringLiteral("مصعد"), QStringLiteral("fixed"), 50.0, QStringLiteral("شهري") });
    insertRow(query, serviceSql, { QStringLiteral("حراسة"), QStringLiteral("fixed"), 75.0, QStringLiteral("شهري") });
    m_db.commit();
}
