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
        QTest::newRow("a tabbed line keeps its commas") << "a b\tc,d" << QStringList { "a b", "c,d" };
        QTest::newRow("Arabic commas") << "أحمد، 123 ،0599" << QStringList { "أحمد", "123", "0599" };
        QTest::newRow("both commas") << "a،b,c" << QStringList { "a", "b", "c" };
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
        QCOMPARE(written(QStringLiteral("سامي الخطيب , 4011 , 0599123456"), QStringLiteral("tenants")), 1);
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
        QCOMPARE(written(QStringLiteral("Lina,77,0598,Ramallah,extra,more"), QStringLiteral("tenants")), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT address FROM tenants WHERE id_number='77'")).toString(),
            QStringLiteral("Ramallah"));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
    }

    void blankCellsAreStoredAsEmptyText()
    {
        QCOMPARE(written(QStringLiteral("Lina, 78 ,   ,   "), QStringLiteral("tenants")), 1);
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM tenants WHERE phone='' AND address=''")), 1);
    }

    void threeFieldsMakeABuyer()
    {
        QCOMPARE(written(QStringLiteral("سامي الخطيب , 4011 , 0599123456, ignored address"),
                     QStringLiteral("buyers")),
            1);
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
        QCOMPARE(written(pasted, QStringLiteral("tenants")), 2);
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
        QCOMPARE(
            written(QStringLiteral("3, B-12, 120.5, 900\n3,B-13,80,1200.75,450"), QStringLiteral("units")),
            2);
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

    void importedUnitsGetTheirCostCentre()
    {
        // Arabic digits and decimal point read as a person typed them.
        QCOMPARE(written(QStringLiteral("٣،B-12،١٢٠٫٥،٩٠٠"), QStringLiteral("units")), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT area FROM units")).toDouble(), 120.5);
        const QVariantList centres = m_db->db()->execQuery(QStringLiteral(R"(
            SELECT c.name, p.type AS parent_type, p.name AS parent_name FROM cost_centers c
            JOIN units u ON u.id = c.unit_id LEFT JOIN cost_centers p ON p.id = c.parent_id
            WHERE c.type = 'unit' AND u.property_id = 3)"));
        QCOMPARE(centres.size(), 1);
        QCOMPARE(centres.first().toMap().value("name").toString(), QStringLiteral("شقة / وحدة B-12"));
        QCOMPARE(centres.first().toMap().value("parent_type").toString(), QStringLiteral("project"));
        QCOMPARE(centres.first().toMap().value("parent_name").toString(), QStringLiteral("مجمع النور"));
    }

    void unreadableNumbersRefuseTheLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("area a word") << "1,C-1,wide,900";
        QTest::newRow("price a word") << "1,C-1,100,cheap";
        QTest::newRow("rent a word") << "1,C-1,100,900,much";
        QTest::newRow("infinite area") << "1,C-1,inf,900";
        QTest::newRow("price not a number") << "1,C-1,100,nan";
        QTest::newRow("a dash for a price") << "1,C-1,100,-";
        QTest::newRow("negative price") << "1,C-1,100,-5";
        QTest::newRow("price beyond the books") << "1,C-1,100,1e308";
        QTest::newRow("property with a fraction") << "1.5,C-1,100,900";
    }

    void unreadableNumbersRefuseTheLine()
    {
        QFETCH(QString, line);
        const QVariantMap report = m_import->importRawCSV(line, QStringLiteral("units"));
        QCOMPARE(report.value("written").toInt(), 0);
        QCOMPARE(report.value("refused").toList().size(), 1);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
    }

    void emptyFiguresAreNotGiven()
    {
        QCOMPARE(written(QStringLiteral("1,C-1,,,"), QStringLiteral("units")), 1);
        QCOMPARE(m_db->count(QStringLiteral(
                     "SELECT 1 FROM units WHERE area IS NULL AND sale_price=0 AND rent_monthly=0")),
            1);
    }

    void sameUnitTwiceIsAddedOnce()
    {
        const QString line = QStringLiteral("2,A-1,100,500\n");
        QCOMPARE(written(line + line, QStringLiteral("units")), 1);
        QCOMPARE(m_db->count(QStringLiteral("units")), 1);
    }

    void partialImportNamesEachRefusedLine()
    {
        QVERIFY(
            m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"),
                { QStringLiteral("existing"), QStringLiteral("900") })
            > 0);
        // Lines are numbered as pasted, the blank one included.
        const QString pasted = QStringLiteral("dup,900,1\nshort,1\n\n,901,2\nfresh,902,3\n");
        const QVariantMap report = m_import->importRawCSV(pasted, QStringLiteral("tenants"));
        QCOMPARE(report.value("written").toInt(), 1);
        QVERIFY(!report.value("failed").toBool());
        QList<int> lines;
        for (const QVariant& entry : report.value("refused").toList()) {
            lines << entry.toMap().value("line").toInt();
            QVERIFY(!entry.toMap().value("reason").toString().isEmpty());
        }
        QCOMPARE(lines, QList<int>({ 1, 2, 4 }));
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT full_name FROM tenants WHERE id_number='900'")).toString(),
            QStringLiteral("existing"));
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM tenants WHERE full_name='fresh'")), 1);
    }

    void partiesWithoutIdentityNumberDoNotCollide()
    {
        QCOMPARE(written(QStringLiteral("first,,0591\nsecond,,0592\n"), QStringLiteral("buyers")), 2);
        QCOMPARE(m_db->count(QStringLiteral("SELECT 1 FROM buyers WHERE id_number IS NULL")), 2);
    }

    void importWritesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("refused");
        QTest::newRow("empty text") << ""
                                    << "tenants" << 0;
        QTest::newRow("blank lines only") << "  \n\t\n \r\n"
                                          << "tenants" << 0;
        QTest::newRow("unknown table") << "a,1,2"
                                       << "contracts" << 0;
        QTest::newRow("table name in capitals") << "a,1,2"
                                                << "Tenants" << 0;
        QTest::newRow("two fields for tenants") << "أحمد,123"
                                                << "tenants" << 1;
        QTest::newRow("two fields for buyers") << "أحمد,123"
                                               << "buyers" << 1;
        QTest::newRow("three fields for units") << "1,A-1,100"
                                                << "units" << 1;
        QTest::newRow("single words") << "one\ntwo\nthree"
                                      << "tenants" << 3;
        QTest::newRow("unknown property") << "99,A-1,100,500"
                                          << "units" << 1;
        QTest::newRow("property not a number") << "معرف العقار,رقم الوحدة,المساحة,السعر"
                                               << "units" << 1;
        QTest::newRow("missing unit number") << "1,,100,500"
                                             << "units" << 1;
        QTest::newRow("missing name") << ",123,0599"
                                      << "tenants" << 1;
        QTest::newRow("every row a duplicate") << "existing,900,1\nagain,900,2"
                                               << "tenants" << 2;
    }

    void importWritesNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, table);
        QFETCH(int, refused);
        QVERIFY(
            m_db->db()->execInsert(QStringLiteral("INSERT INTO tenants (full_name, id_number) VALUES (?, ?)"),
                { QStringLiteral("existing"), QStringLiteral("900") })
            > 0);
        const QVariantMap report = m_import->importRawCSV(text, table);
        QCOMPARE(report.value("written").toInt(), 0);
        QCOMPARE(report.value("refused").toList().size(), refused);
        QCOMPARE(report.value("failed").toBool(), refused == 0);
        QVERIFY(!report.value("message").toString().isEmpty());
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 1);
        QCOMPARE(m_db->count(QStringLiteral("buyers")), 0);
        QCOMPARE(m_db->count(QStringLiteral("units")), 0);
        // Nothing left open: the next change goes through normally.
        QCOMPARE(written(QStringLiteral("next,901,1"), QStringLiteral("tenants")), 1);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2);
    }

    void aLineTheDatabaseCannotStoreKeepsNothing()
    {
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("CREATE TRIGGER block BEFORE INSERT ON tenants WHEN NEW.full_name = 'blocked' "
                           "BEGIN SELECT RAISE(ABORT, 'blocked'); END")));
        const QVariantMap report = m_import->importRawCSV(
            QStringLiteral("first,1,1\nblocked,2,2\nlast,3,3"), QStringLiteral("tenants"));
        QVERIFY(report.value("failed").toBool());
        QCOMPARE(report.value("written").toInt(), 0);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
    }

    void importInsideAnOpenTransactionIsRefused()
    {
        QVERIFY(m_db->db()->beginTransaction());
        QVERIFY(m_import->importRawCSV(QStringLiteral("a,1,2"), QStringLiteral("tenants"))
                    .value("failed")
                    .toBool());
        QVERIFY(m_db->db()->rollbackTransaction());
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 0);
    }

    void largePasteIsOneTransaction()
    {
        QString pasted;
        for (int i = 0; i < 2000; ++i)
            pasted += QStringLiteral("tenant %1,ID%1,059%1\n").arg(i);
        QCOMPARE(written(pasted, QStringLiteral("tenants")), 2000);
        QCOMPARE(m_db->count(QStringLiteral("tenants")), 2000);
        QCOMPARE(m_db->value(QStringLiteral("SELECT phone FROM tenants WHERE id_number='ID1999'")).toString(),
            QStringLiteral("0591999"));
    }

private:
    int written(const QString& text, const QString& table)
    {
        return m_import->importRawCSV(text, table).value(QStringLiteral("written")).toInt();
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ImportController> m_import;
};

QTEST_GUILESS_MAIN(TestImportController)
#include "tst_importcontroller.moc"
