// Pasted lists of tenants, buyers and units: how a line is read, what is stored, which lines are
// refused and named in the report, and that a failure keeps nothing.
#include "importcontroller.h"
#include "rentalfixtures.h"
#include "rowvalues.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestImportController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_import = std::make_unique<ImportController>(m_db->db());
        for (const QString& name : { u"برج الياسمين"_s, u"عمارة السلام"_s, u"مجمع النور"_s })
            QVERIFY(m_db->db()->execInsert(u"INSERT INTO properties (name) VALUES (?)"_s, { name }) > 0);
        QVERIFY(
            m_db->db()->execInsert(u"INSERT INTO tenants (full_name, id_number) VALUES ('existing', '900')"_s)
            > 0);
    }

    void cleanup()
    {
        m_import.reset();
        m_db.reset();
    }

    void splitLine_data()
    {
        // clang-format off
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("commas with blanks") << " أحمد , 123 ,0599 " << QStringList { "أحمد", "123", "0599" };
        QTest::newRow("empty fields kept") << "a,,c," << QStringList { "a", "", "c", "" };
        QTest::newRow("tabs from a spreadsheet keep commas") << "a b\t\tc,d" << QStringList { "a b", "", "c,d" };
        QTest::newRow("Arabic commas") << "أحمد، 123 ،0599" << QStringList { "أحمد", "123", "0599" };
        QTest::newRow("carriage return") << "a,b,c\r" << QStringList { "a", "b", "c" };
        // clang-format on
    }

    void splitLine()
    {
        QFETCH(QString, line);
        QTEST(ImportController::splitLine(line), "fields");
    }

    void linesAreStoredAsTyped_data()
    {
        // clang-format off
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("query"); // one row must match
        QTest::newRow("tenant, blanks trimmed") << "tenants" << "سامي الخطيب , 4011 , 0599123456"
            << "full_name='سامي الخطيب' AND id_number='4011' AND phone='0599123456' AND address=''";
        QTest::newRow("tenant's address, more fields ignored") << "tenants" << "Lina,77,0598,Ramallah,extra"
            << "full_name='Lina' AND address='Ramallah'";
        QTest::newRow("blank cells are empty text") << "tenants" << "Lina, 78 ,   ,   " << "phone='' AND address=''";
        QTest::newRow("rows of a spreadsheet") << "tenants" << "منى\t501\t0591\tجنين\r\nخالد\t502\t0592\r\n"
            << "full_name='خالد' AND phone='0592' AND address=''";
        QTest::newRow("buyer, no address") << "buyers" << "سامي , 4011 , 0599, ignored"
            << "full_name='سامي' AND id_number='4011' AND address IS NULL";
        QTest::newRow("buyers without identity do not collide") << "buyers" << "first,,0591\nsecond,,0592"
            << "full_name='second' AND id_number IS NULL";
        QTest::newRow("unit of four fields") << "units" << "3, B-12, 120.5, 900"
            << "property_id=3 AND unit_number='B-12' AND area=120.5 AND sale_price=900 AND rent_monthly=0 AND status='available'";
        QTest::newRow("unit with its rent") << "units" << "3,B-13,80,1200.75,450" << "sale_price=1200.75 AND rent_monthly=450";
        QTest::newRow("Arabic digits") << "units" << "٣،B-12،١٢٠٫٥،٩٠٠" << "property_id=3 AND area=120.5 AND sale_price=900";
        QTest::newRow("figures not given") << "units" << "1,C-1,,," << "area IS NULL AND sale_price=0 AND rent_monthly=0";
        QTest::newRow("the same unit twice, once") << "units" << "2,A-1,100,500\n2,A-1,100,500" << "unit_number='A-1'";
        // clang-format on
    }

    void linesAreStoredAsTyped()
    {
        QFETCH(QString, table);
        QFETCH(QString, pasted);
        QFETCH(QString, query);
        const QVariantMap report = m_import->importRawCSV(pasted, table);
        QCOMPARE(report.value("written").toInt(), m_db->count(table) - (table == u"tenants" ? 1 : 0));
        QCOMPARE(m_db->count(u"SELECT 1 FROM "_s + table + u" WHERE "_s + query), 1);
    }

    void importedUnitsHangUnderTheirProject()
    {
        QCOMPARE(m_import->importRawCSV(u"3,B-12,100,900"_s, u"units"_s).value("written").toInt(), 1);
        QCOMPARE(m_db->count(
                     u"SELECT 1 FROM cost_centers c JOIN cost_centers p ON p.id = c.parent_id "
                     "JOIN units u ON u.id = c.unit_id WHERE u.unit_number = 'B-12' AND p.type = 'project' "
                     "AND p.property_id = 3"_s),
            1);
    }

    void refusedLinesAreNamedAndTheRestWritten()
    {
        // Lines are numbered as pasted, the blank one included.
        const QVariantMap report
            = m_import->importRawCSV(u"dup,900,1\nshort,1\n\n,901,2\nfresh,902,3\n"_s, u"tenants"_s);
        QCOMPARE(report.value("written").toInt(), 1);
        QVERIFY(!report.value("failed").toBool());
        QList<int> lines;
        for (const QVariant& entry : report.value("refused").toList()) {
            lines << entry.toMap().value("line").toInt();
            QVERIFY(!entry.toMap().value("reason").toString().isEmpty());
        }
        QCOMPARE(lines, QList<int>({ 1, 2, 4 }));
        QCOMPARE(
            m_db->value(u"SELECT group_concat(full_name) FROM tenants"_s).toString(), u"existing,fresh"_s);
    }

    // Meter readings pass the readings page's rules, line by line, in the order pasted.
    void readingsFollowTheirRules()
    {
        for (const char* number : { "A1", "A2" })
            QVERIFY(m_db->db()->execInsert(u"INSERT INTO units (property_id, unit_number) VALUES (1, ?)"_s,
                        { QString::fromLatin1(number) })
                > 0);
        const QVariantMap report = m_import->importRawCSV(u"1,A1,مياه,2025-02,100\n"
                                                          "1,A1,مياه,2025-03,130\n"
                                                          "1,A1,مياه,2025-04,120\n"
                                                          "1,A1,مياه,2025-04,5,نعم\n"
                                                          "1,A2,تنظيف,2025-04,10\n"
                                                          "1,A9,مياه,2025-04,10\n"
                                                          "1,A2,مياه,2025-04,many"_s,
            u"readings"_s);
        QCOMPARE(report.value("written").toInt(), 3);
        QList<int> lines;
        for (const QVariant& entry : report.value("refused").toList())
            lines << entry.toMap().value("line").toInt();
        QCOMPARE(lines, QList<int>({ 3, 5, 6, 7 }));
        QCOMPARE(columnOf(m_db->db()->execQuery(u"SELECT consumption FROM usage_records ORDER BY id"_s),
                     "consumption"),
            QStringList({ u"0"_s, u"30"_s, u"5"_s }));
        QCOMPARE(
            m_db->count(u"SELECT id FROM usage_records WHERE meter_change = 1 AND consumption = 5"_s), 1);
    }

    void importWritesNothing_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("refused");
        QTest::newRow("empty text") << "" << "tenants" << 0;
        QTest::newRow("blank lines only") << "  \n\t\n \r\n" << "tenants" << 0;
        QTest::newRow("unknown table") << "a,1,2" << "contracts" << 0;
        QTest::newRow("table name in capitals") << "a,1,2" << "Tenants" << 0;
        QTest::newRow("two fields for tenants") << "أحمد,123" << "tenants" << 1;
        QTest::newRow("two fields for buyers") << "أحمد,123" << "buyers" << 1;
        QTest::newRow("three fields for units") << "1,A-1,100" << "units" << 1;
        QTest::newRow("missing name") << ",123,0599" << "tenants" << 1;
        QTest::newRow("every row a duplicate") << "existing,900,1\nagain,900,2" << "tenants" << 2;
        QTest::newRow("unknown property") << "99,A-1,100,500" << "units" << 1;
        QTest::newRow("a heading line") << "معرف العقار,رقم الوحدة,المساحة,السعر" << "units" << 1;
        QTest::newRow("property with a fraction") << "1.5,C-1,100,900" << "units" << 1;
        QTest::newRow("missing unit number") << "1,,100,500" << "units" << 1;
        QTest::newRow("area a word") << "1,C-1,wide,900" << "units" << 1;
        QTest::newRow("rent a word") << "1,C-1,100,900,much" << "units" << 1;
        QTest::newRow("infinite area") << "1,C-1,inf,900" << "units" << 1;
        QTest::newRow("price not a number") << "1,C-1,100,nan" << "units" << 1;
        QTest::newRow("a dash for a price") << "1,C-1,100,-" << "units" << 1;
        QTest::newRow("negative price") << "1,C-1,100,-5" << "units" << 1;
        QTest::newRow("price beyond the books") << "1,C-1,100,1e308" << "units" << 1;
        // clang-format on
    }

    void importWritesNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, table);
        QFETCH(int, refused);
        const QVariantMap report = m_import->importRawCSV(text, table);
        QCOMPARE(report.value("written").toInt(), 0);
        QCOMPARE(report.value("refused").toList().size(), refused);
        QCOMPARE(report.value("failed").toBool(), refused == 0);
        QVERIFY(!report.value("message").toString().isEmpty());
        QCOMPARE(
            m_db->count(
                u"SELECT id FROM tenants UNION ALL SELECT id FROM buyers UNION ALL SELECT id FROM units"_s),
            1);
    }

    void aLineTheDatabaseCannotStoreKeepsNothing()
    {
        QVERIFY(RentalFixtures::failWhen(
            m_db->db(), u"block"_s, u"INSERT ON tenants"_s, u"NEW.full_name = 'blocked'"_s));
        const QVariantMap report
            = m_import->importRawCSV(u"first,1,1\nblocked,2,2\nlast,3,3"_s, u"tenants"_s);
        QVERIFY(report.value("failed").toBool());
        QCOMPARE(report.value("written").toInt(), 0);
        QCOMPARE(m_db->count(u"tenants"_s), 1);

        // Nor does one inside a transaction already open: its rollback would take the rows.
        QVERIFY(m_db->db()->beginTransaction());
        QVERIFY(m_import->importRawCSV(u"a,1,2"_s, u"tenants"_s).value("failed").toBool());
        QVERIFY(m_db->db()->rollbackTransaction());
        QCOMPARE(m_db->count(u"tenants"_s), 1);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ImportController> m_import;
};

QTEST_GUILESS_MAIN(TestImportController)
#include "tst_importcontroller.moc"
