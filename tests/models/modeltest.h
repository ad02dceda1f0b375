#pragma once

// What every model test stands on: the books' consistency checks, a guard for "writes nothing",
// and the calls of the refusal tables.

#include "consistency.h"
#include "rentalfixtures.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

/** Fails the running test when the file breaks any of the consistency checks. */
#define VERIFY_CONSISTENT(database)                                                                          \
    do {                                                                                                     \
        const QStringList problems_ = Consistency::problems((database)->getDb());                            \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));                        \
    } while (false)

/** The status of a row of a table. */
inline QString statusOf(Database* db, const QString& table, int id)
{
    return db->scalar(QStringLiteral("SELECT status FROM %1 WHERE id=?").arg(table), { id }).toString();
}

/** One call of a refusal table, made on the test's own objects; true when it was accepted. */
using Call = std::function<bool()>;
Q_DECLARE_METATYPE(Call)

/**
 * Taken before a call that must be refused: holds() afterwards when nothing at all was written (a
 * digest of every table, ids used up included) and none of the models announced a change.
 */
class Unchanged
{
public:
    Unchanged(Database* db, std::initializer_list<QObject*> models)
        : m_db(db)
        , m_before(Consistency::contentHash(db->getDb()))
    {
        for (QObject* model : models)
            m_changes.push_back(std::make_unique<QSignalSpy>(model, SIGNAL(dataChanged())));
    }
    bool holds() const
    {
        const bool quiet = std::all_of(
            m_changes.cbegin(), m_changes.cend(), [](const auto& spy) { return spy->isEmpty(); });
        return quiet && Consistency::contentHash(m_db->getDb()) == m_before;
    }

private:
    Database* m_db;
    QByteArray m_before;
    std::vector<std::unique_ptr<QSignalSpy>> m_changes;
};

/**
 * A row of a refusal table: the call, and a statement to make fail before it ("EVENT table", or a
 * whole CREATE TRIGGER), if any.
 */
inline void refusal(const char* name, const Call& call, const char* failing = "")
{
    QTest::newRow(name) << QString::fromUtf8(failing) << call;
}

/** Runs a row of a refusal table: the call is refused and leaves the file and the models as they were. */
inline void verifyRefused(
    Database* db, const QString& failing, const Call& call, std::initializer_list<QObject*> models)
{
    if (failing.startsWith(QLatin1String("CREATE")) && db->isServer())
        QSKIP("a fault written as an SQLite trigger");
    if (failing.startsWith(QLatin1String("CREATE")))
        QVERIFY(db->execNonQuery(failing));
    else if (!failing.isEmpty())
        RentalFixtures::failOn(
            db, failing.section(QLatin1Char(' '), 0, 0), failing.section(QLatin1Char(' '), 1));
    const Unchanged refused(db, models);
    QVERIFY(!call());
    QVERIFY(refused.holds());
    // The connection is left usable: no transaction is still open.
    QVERIFY(db->beginTransaction() && db->rollbackTransaction());
}
