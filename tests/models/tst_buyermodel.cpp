#include "buyermodel.h"
#include "salesfixtures.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

using namespace SalesFixtures;

class TestBuyerModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_model = std::make_unique<BuyerModel>(m_db->db());
    }
    void cleanup()
    {
        m_model.reset();
        m_db.reset();
    }

    void addStoresTheBuyer()
    {
        QSignalSpy changed(m_model.get(), &BuyerModel::dataChanged);
        const int id = m_model->add(QStringLiteral("سامي خليل"), QStringLiteral("400123456"),
            QStringLiteral("0599000111"), QStringLiteral("sami@example.com"), QStringLiteral("رام الله"));
        QVERIFY(id > 0);
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = m_db->db()->getById(QStringLiteral("buyers"), id);
        QCOMPARE(row.value(QStringLiteral("full_name")).toString(), QStringLiteral("سامي خليل"));
        QCOMPARE(row.value(QStringLiteral("id_number")).toString(), QStringLiteral("400123456"));
        QCOMPARE(row.value(QStringLiteral("phone")).toString(), QStringLiteral("0599000111"));
        QCOMPARE(row.value(QStringLiteral("email")).toString(), QStringLiteral("sami@example.com"));
        QCOMPARE(row.value(QStringLiteral("address")).toString(), QStringLiteral("رام الله"));
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 0.0);
    }

    void duplicateIdentityNumberIsRefused()
    {
        QVERIFY(m_model->add(QStringLiteral("أ"), QStringLiteral("77"), {}, {}, {}) > 0);
        QSignalSpy changed(m_model.get(), &BuyerModel::dataChanged);
        QCOMPARE(m_model->add(QStringLiteral("ب"), QStringLiteral("77"), {}, {}, {}), -1);
        QVERIFY(m_model->lastError().contains(QStringLiteral("رقم الهوية 77")));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->count(QStringLiteral("buyers")), 1);
    }

    void buyersWithoutIdentityNumberDoNotCollide()
    {
        // The page sends empty text when the field is left blank.
        const int first = m_model->add(QStringLiteral("أ"), QStringLiteral(""), {}, QStringLiteral(""), {});
        const int second
            = m_model->add(QStringLiteral("ب"), QStringLiteral("  "), {}, QStringLiteral(""), {});
        QVERIFY(first > 0);
        QVERIFY(second > 0);
        QCOMPARE(m_db->count(QStringLiteral("SELECT id FROM buyers WHERE id_number IS NULL")), 2);
        QCOMPARE(m_db->value(QStringLiteral("SELECT email FROM buyers WHERE id=?"), { first }).toString(),
            QStringLiteral(""));
    }

    void emptyNameIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QStringLiteral("");
        QTest::newRow("blank") << QStringLiteral("   ");
        QTest::newRow("null") << QString();
    }
    void emptyNameIsRefused()
    {
        QFETCH(QString, name);
        QSignalSpy changed(m_model.get(), &BuyerModel::dataChanged);
        QCOMPARE(m_model->add(name, QStringLiteral("1"), {}, {}, {}), -1);
        QCOMPARE(m_db->count(QStringLiteral("buyers")), 0);
        const int id = addBuyer(m_db->db(), QStringLiteral("قائم"));
        QVERIFY(!m_model->update(id, name, {}, {}, {}, {}));
        QCOMPARE(m_db->value(QStringLiteral("SELECT full_name FROM buyers WHERE id=?"), { id }).toString(),
            QStringLiteral("قائم"));
        QCOMPARE(changed.count(), 0);
    }

    void updateRewritesTheFieldsButNotTheBalance()
    {
        const int id = addBuyer(m_db->db(), QStringLiteral("قديم"), 1250.5);
        QSignalSpy changed(m_model.get(), &BuyerModel::dataChanged);
        QVERIFY(m_model->update(id, QStringLiteral("جديد"), QStringLiteral("900"), QStringLiteral("059"),
            QStringLiteral("n@x.ps"), QStringLiteral("نابلس")));
        QCOMPARE(changed.count(), 1);
        const QVariantMap row = m_db->db()->getById(QStringLiteral("buyers"), id);
        QCOMPARE(row.value(QStringLiteral("full_name")).toString(), QStringLiteral("جديد"));
        QCOMPARE(row.value(QStringLiteral("id_number")).toString(), QStringLiteral("900"));
        QCOMPARE(row.value(QStringLiteral("phone")).toString(), QStringLiteral("059"));
        QCOMPARE(row.value(QStringLiteral("email")).toString(), QStringLiteral("n@x.ps"));
        QCOMPARE(row.value(QStringLiteral("address")).toString(), QStringLiteral("نابلس"));
        QCOMPARE(row.value(QStringLiteral("balance")).toDouble(), 1250.5);
    }

    void updateToATakenIdentityNumberFails()
    {
        QVERIFY(m_model->add(QStringLiteral("أ"), QStringLiteral("11"), {}, {}, {}) > 0);
        const int other = m_model->add(QStringLiteral("ب"), QStringLiteral("22"), {}, {}, {});
        QSignalSpy changed(m_model.get(), &BuyerModel::dataChanged);
        QVERIFY(!m_model->update(other, QStringLiteral("ب"), QStringLiteral("11"), {}, {}, {}));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT id_number FROM buyers WHERE id=?"), { other }).toString(),
            QStringLiteral("22"));
    }

    void getAllIsByNameWithInstallmentCount()
    {
        const int zaid = addBuyer(m_db->db(), QStringLiteral("زيد"));
        const int ahmad = addBuyer(m_db->db(), QStringLiteral("أحمد"));
        const int unit = addUnit(m_db->db(), addProperty(m_db->db()), QStringLiteral("1"));
        for (const QString& due : { QStringLiteral("2025-01-01"), QStringLiteral("2025-02-01") })
            m_db->db()->execInsert(QStringLiteral("INSERT INTO installments (buyer_id, unit_id, total_price, "
                                                  "installment_amount, due_date) VALUES (?, ?, 100, 50, ?)"),
                { zaid, unit, due });

        const QVariantList buyers = m_model->getAll();
        QCOMPARE(buyers.size(), 2);
        const QVariantMap first = buyers.at(0).toMap();
        const QVariantMap second = buyers.at(1).toMap();
        QCOMPARE(first.value(QStringLiteral("id")).toInt(), ahmad);
        QCOMPARE(first.value(QStringLiteral("installment_count")).toInt(), 0);
        QCOMPARE(second.value(QStringLiteral("id")).toInt(), zaid);
        QCOMPARE(second.value(QStringLiteral("installment_count")).toInt(), 2);
        for (const char* key :
            { "full_name", "id_number", "phone", "email", "address", "notes", "balance", "created_at" })
            QVERIFY2(first.contains(QLatin1String(key)), key);
    }

    void statementListsOnlyTheBuyersInstallmentsByDueDate()
    {
        const int buyer = addBuyer(m_db->db(), QStringLiteral("مشتري"));
        const int other = addBuyer(m_db->db(), QStringLiteral("آخر"));
        const int property = addProperty(m_db->db(), QStringLiteral("مشروع الريحان"));
        const int unit = addUnit(m_db->db(), property, QStringLiteral("B-7"));
        const QString sql = QStringLiteral("INSERT INTO installments (buyer_id, unit_id, total_price, "
                                           "installment_amount, due_date) VALUES (?, ?, 300, 100, ?)");
        m_db->db()->execInsert(sql, { buyer, unit, QStringLiteral("2025-03-01") });
        m_db->db()->execInsert(sql, { other, unit, QStringLiteral("2025-02-01") });
        m_db->db()->execInsert(sql, { buyer, unit, QStringLiteral("2025-01-01") });

        const QVariantList rows = m_model->getStatement(buyer);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(
            rows.at(0).toMap().value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-01-01"));
        QCOMPARE(
            rows.at(1).toMap().value(QStringLiteral("due_date")).toString(), QStringLiteral("2025-03-01"));
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("unit_number")).toString(), QStringLiteral("B-7"));
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("property_name")).toString(),
            QStringLiteral("مشروع الريحان"));
        QCOMPARE(rows.at(0).toMap().value(QStringLiteral("installment_amount")).toDouble(), 100.0);
        QVERIFY(m_model->getStatement(9999).isEmpty());
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<BuyerModel> m_model;
};

QTEST_GUILESS_MAIN(TestBuyerModel)
#include "tst_buyermodel.moc"
