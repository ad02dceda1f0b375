#include "importcontroller.h"
#include "testdatabase.h"

#include <QTest>

class TestImportController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_import = std::make_unique<ImportController>(m_db->db());
        for (const char* name : { "برج الياسمين", "عمارة السلام", "مجمع النور" })
            QVERIFY(m_db->db()->execInsert(QStringLiteral("INSERT INTO properties (name) VALUES (?)"),
                        { QString::fromUtf8(name) })
                > 0);
    }

    void cleanup()
    {
        m_import.reset();
        m_db.reset();
    }

    void splitLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("commas with blanks") << " أحمد , 123 ,0599 " << QStringList { "أحمد", "123", "0599" };
        QTest::newRow("empty fields kept") << "a,,c," << QStringList { "a", "", "c", "" };
        QTest::newRow("tabs from a spreadsheet")
            << "أحمد\t123\t0599\tنابلس" << QStringList { "أحمد", "123", "0599", "نابلس" };
        QTest::newRow("empty cell between tabs") << "a\t\tc" << QStringList { "a", "", "c" };
        QTest::newRow("commas win over tabs") << "a b\tc,d" << QStringList { "a b\tc", "d" };
        QTest::newRow("one field") << "alone" << QStringList { "alone" };
        QTest::newRow("carriage return trimmed") << "a,b,c\r" << QStringList { "a", "b", "c" };
    }

    void splitLine()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(ImportController::splitLine(line), fields);
    }

    void threeFieldsMakeATenantWithoutBlanks()
    {
        QVERIFY(m_import->importRawCSV(
            QStringLiteral("سامي الخطيب , 4011 , 0599123456"), QStringLiteral("tenants")));
        const QVariantList rows = m_db->db()->execQuery(
            QStringLiteral("SELECT full_name, id_number, phone, address, balance FROM tenants"));
        QCOMPARE(rows.size(), 1);
        const QVariantMap tenant = rows.first().toMap();
        QCOMPARE(tenant.value("full_name").toString(), QStringLiteral("سامي الخطيب"));
        QCOMPARE(tenant.value("id_number").toString(), QStringLiteral("4011"));
        QCOMPARE(tenant.value("phone").toString(), QStringLiteral("0599123456"));
        QVERIFY(!tenant.value("address").isNull());
        QCOMPARE(tenant.value("address").toString(), QString());
        QCOMPARE(tenant.value("balance").toDouble(), 0.0);
    }

    void fourthFieldIsTheTenantsAddressAndFurtherFieldsAreIgnored()
    {
        QVERIFY(m_import->importRawCSV(
            QStringLiteral("Lina,77,0598,Ramallah,extra,more"), QStringLiteral("tenants")));
        QCOMPARE(m_db->value(QStringLiteral("SELECT address FROM tenants WHERE id_number='77'")).toString(),
            QStringLiteral("Ramallah"));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
    }

    void blankCellsAreStoredAsEmptyText()
    {
        QVERIFY(m_import->importRawCSV(QStringLiteral("Lina, 78 ,   ,   "), QStringLiteral("tenants")));
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM tenants WHERE phone='' AND address=''")), 1);
    }

    void threeFieldsMakeABuyer()
    {
        QVERIFY(m_import->importRawCSV(
            QStringLiteral("سامي الخطيب , 4011 , 0599123456, ignored address"), QStringLiteral("buyers")));
        const QVariantList rows = m_db->db()->execQuery(
            QStringLiteral("SELECT full_name, id_number, phone, address FROM buyers"));
        QCOMPARE(rows.size(), 1);
        const QVariantMap buyer = rows.first().toMap();
        QCOMPARE(buyer.value("full_name").toString(), QStringLiteral("سامي الخطيب"));
        QCOMPARE(buyer.value("id_number").toString(), QStringLiteral("4011"));
        QCOMPARE(buyer.value("phone").toString(), QStringLiteral("0599123456"));
        QVERIFY(buyer.value("address").isNull());
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
    }

    void spreadsheetCellsSeparatedByTabsAreImported()
    {
        const QString pasted = QStringLiteral("منى\t501\t0591111111\tجنين\r\nخالد\t502\t0592222222\r\n");
        QVERIFY(m_import->importRawCSV(pasted, QStringLiteral("tenants")));
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT 1 FROM tenants WHERE full_name='منى' AND id_number='501' AND address='جنين'")),
            1);
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT 1 FROM tenants WHERE full_name='خالد' AND phone='0592222222' AND address=''")),
            1);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2);
    }

    void unitLineOfFourOrFiveFields()
    {
        QVERIFY(m_import->importRawCSV(
            QStringLiteral("3, B-12, 120.5, 900\n3,B-13,80,1200.75,450"), QStringLiteral("units")));
        const QVariantList rows
            = m_db->db()->execQuery(QStringLiteral("SELECT property_id, unit_number, area, sale_price, "
                                                   "rent_monthly, status FROM units ORDER BY unit_number"));
        QCOMPARE(rows.size(), 2);
        const QVariantMap first = rows.at(0).toMap();
        QCOMPARE(first.value("property_id").toInt(), 3);
        QCOMPARE(first.value("unit_number").toString(), QStringLiteral("B-12"));
        QCOMPARE(first.value("area").toDouble(), 120.5);
        QCOMPARE(first.value("sale_price").toDouble(), 900.0);
        QCOMPARE(first.value("rent_monthly").toDouble(), 0.0);
        QCOMPARE(first.value("status").toString(), QStringLiteral("available"));
        const QVariantMap second = rows.at(1).toMap();
        QCOMPARE(second.value("sale_price").toDouble(), 1200.75);
        QCOMPARE(second.value("rent_monthly").toDouble(), 450.0);
    }

    void unitNumbersThatAreNotNumbersBecomeZero()
    {
        QVERIFY(m_import->importRawCSV(
            QStringLiteral("1,C-1,wide,cheap,much\n1,C-2,inf,nan,-"), QStringLiteral("units")));
        QCOMPARE(m_db->count(
                     QStringLiteral("SELECT 1 FROM units WHERE area=0 AND sale_price=0 AND rent_monthly=0")),
            2);
    }

    void sameUnitTwiceIsAddedOnce()
    {
        const QString line = QStringLiteral("2,A-1,100,500\n");
        QVERIFY(m_import->importRawCSV(line + line, QStringLiteral("units")));
        QCOMPARE(m_db->count(QStringLiteral("units")), 1);
    }

    void refusedRowsAreSkippedAndTheOthersKept()
    {
        QVERIFY(
            m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"),
                { QStringLiteral("existing"), QStringLiteral("900") })
            > 0);
        const QString pasted = QStringLiteral("dup,900,1\nshort,1\n,901,2\nfresh,902,3\n");
        QVERIFY(m_import->importRawCSV(pasted, QStringLiteral("tenants")));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT full_name FROM tenants WHERE id_number='900'")).toString(),
            QStringLiteral("existing"));
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM tenants WHERE full_name='fresh'")), 1);
    }

    void partiesWithoutIdentityNumberDoNotCollide()
    {
        QVERIFY(
            m_import->importRawCSV(QStringLiteral("first,,0591\nsecond,,0592\n"), QStringLiteral("buyers")));
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM buyers WHERE id_number IS NULL")), 2);
    }

    void importWritesNothingAndFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::newRow("empty text") << ""
                                    << "tenants";
        QTest::newRow("blank lines only") << "  \n\t\n \r\n"
                                          << "tenants";
        QTest::newRow("unknown table") << "a,1,2"
                                       << "contracts";
        QTest::newRow("table name in capitals") << "a,1,2"
                                                << "Tenants";
        QTest::newRow("two fields for tenants") << "أحمد,123"
                                                << "tenants";
        QTest::newRow("two fields for buyers") << "أحمد,123"
                                               << "buyers";
        QTest::newRow("three fields for units") << "1,A-1,100"
                                                << "units";
        QTest::newRow("single words") << "one\ntwo\nthree"
                                      << "tenants";
        QTest::newRow("unknown property") << "99,A-1,100,500"
                                          << "units";
        QTest::newRow("property not a number") << "معرف العقار,رقم الوحدة,المساحة,السعر"
                                               << "units";
        QTest::newRow("missing unit number") << "1,,100,500"
                                             << "units";
        QTest::newRow("missing name") << ",123,0599"
                                      << "tenants";
        QTest::newRow("every row a duplicate") << "existing,900,1\nagain,900,2"
                                               << "tenants";
    }

    void importWritesNothingAndFails()
    {
        QFETCH(QString, text);
        QFETCH(QString, table);
        QVERIFY(
            m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"),
                { QStringLiteral("existing"), QStringLiteral("900") })
            > 0);
        QVERIFY(!m_import->importRawCSV(text, table));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
        QCOMPARE(m_db->count(QStringLiteral("buyers")), 0);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
        // Nothing left open: the next change goes through normally.
        QVERIFY(m_import->importRawCSV(QStringLiteral("next,901,1"), QStringLiteral("tenants")));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2);
    }

    void importInsideAnOpenTransactionIsRefused()
    {
        QVERIFY(m_db->db()->beginTransaction());
        QVERIFY(!m_import->importRawCSV(QStringLiteral("a,1,2"), QStringLiteral("tenants")));
        QVERIFY(m_db->db()->rollbackTransaction());
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
    }

    void largePasteIsOneTransaction()
    {
        QString pasted;
        for (int i = 0; i < 2000; ++i)
            pasted += QStringLiteral("tenant %1,ID%1,059%1\n").arg(i);
        QVERIFY(m_import->importRawCSV(pasted, QStringLiteral("tenants")));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2000);
        QCOMPARE(m_db->value(QStringLiteral("SELECT phone FROM tenants WHERE id_number='ID1999'")).toString(),
            QStringLiteral("0591999"));
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ImportController> m_import;
};

QTEST_GUILESS_MAIN(TestImportController)
#include "tst_importcontroller.moc"
