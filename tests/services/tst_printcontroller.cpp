// Printed documents: what they show (values as text, never as markup; right to left with dates
// and numbers kept whole), where they are written, and a write that fails.
#include "clock.h"
#include "printcontroller.h"
#include "recordingdesktop.h"
#include "settingsmanager.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace SqliteFiles;
using namespace Qt::StringLiterals;

namespace {

const QChar kIsolateStart(0x2068);
const QChar kIsolateEnd(0x2069);

/** The tables of a document as a reader sees them: rows top to bottom, cells right to left. */
QList<QList<QStringList>> readTables(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QList<QList<QStringList>> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        QList<QStringList> rows;
        for (int r = 0; table && r < table->rows(); ++r) {
            QStringList cells;
            for (int c = table->columns() - 1; c >= 0; --c) {
                QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
                cursor.setPosition(
                    table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
                cells << cursor.selectedText()
                             .remove(kIsolateStart)
                             .remove(kIsolateEnd)
                             .replace(QChar::ParagraphSeparator, '\n');
            }
            rows << cells;
        }
        if (table)
            tables << rows;
    }
    return tables;
}

QString plainText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText().remove(kIsolateStart).remove(kIsolateEnd);
}

int pageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page[^s]"_s);
    int pages = 0;
    for (QRegularExpressionMatchIterator it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext();
         it.next())
        ++pages;
    return pages;
}

} // namespace

class TestPrintController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QVERIFY(m_home.isValid());
        pinHomeFolder(m_home.path());
    }

    void init()
    {
        QDir(documents()).removeRecursively();
        QFile::remove(documents());
        m_db = std::make_unique<TestDatabase>();
        m_settings = std::make_unique<SettingsManager>(m_db->db());
        QVERIFY(m_settings->updateCompanyProfile(
            u"مكتب الريان العقاري"_s, u"02-2981234"_s, u"رام الله"_s, u"office@rayyan.example"_s));
        m_print = std::make_unique<PrintController>(m_settings.get());
        m_print->setDesktopServices(&m_desktop);
        m_desktop.opened.clear();
    }

    void cleanup()
    {
        Clock::setToday(QDate());
        m_print.reset();
        m_settings.reset();
        m_db.reset();
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << u"   تقرير  \t\n الوحدات  "_s << u"تقرير_الوحدات"_s;
        QTest::newRow("slash is no folder") << u"Rent 2024/05"_s << u"Rent_2024-05"_s;
        QTest::newRow("forbidden on Windows") << u"a:b*c?d\"e<f>g|h\\i"_s << u"a-b-c-d-e-f-g-h-i"_s;
        QTest::newRow("parent folder") << u"../../etc"_s << u"..-..-etc"_s;
    }

    void safeFileName()
    {
        QFETCH(QString, text);
        QTEST(PrintController::safeFileName(text), "name");
    }

    void reportIsWrittenToDocumentsAndOpened()
    {
        QVariantList records;
        for (int i = 1; i <= 150; ++i)
            records << QVariantMap { { "unit_number", u"U-%1"_s.arg(i) }, { "amount", 100.0 * i } };
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        m_print->printReport(u"  تقرير   الوحدات "_s, u"units"_s, records, { { u"العدد"_s, 150 } });
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.first().at(0).toBool());
        const QString path = finished.first().at(1).toString();
        QVERIFY2(QRegularExpression(u"^%1/تقرير_الوحدات_\\d{8}_\\d{6}\\.pdf$"_s.arg(documents()))
                     .match(path)
                     .hasMatch(),
            qPrintable(path));
        QVERIFY(pageCount(readBytes(path)) >= 3); // a long list runs over pages
        QCOMPARE(m_desktop.opened, QStringList { path });
    }

    void reportShowsTheRecordsNotTheirIdentifiers()
    {
        const QVariantList records {
            QVariantMap { { "address", "شارع القدس" }, { "city", "نابلس" }, { "id", 7 }, { "property_id", 2 },
                { "status", "rented" }, { "amount", 1500.0 } },
            QVariantMap {
                { "address", "حي الجامعة" }, { "id", 8 }, { "status", "maintenance" }, { "late", "x" } },
        };
        const QList<QStringList> rows = readTables(m_print->reportHtml(u"t"_s, records, {})).value(0);
        // Columns in key order, less the identifiers; a known status and heading in Arabic, a
        // missing value empty, a key of a later record alone gets no column.
        QCOMPARE(rows,
            (QList<QStringList> { { "address", "المبلغ", "city", "الحالة" },
                { "شارع القدس", "1500", "نابلس", "مؤجر" }, { "حي الجامعة", "", "", "maintenance" } }));
        const QString text = plainText(m_print->reportHtml(u"t"_s, records, {}));
        QVERIFY(text.contains(u"مكتب الريان العقاري"_s));
        QVERIFY(!text.contains(u"office@rayyan.example"_s));
    }

    void valuesAreTextNeverMarkup()
    {
        const QString hostile = u"<b>x</b> & co"_s;
        const QString breakout = u"</td></tr></table><h1>big</h1>"_s;
        const QVariantList records { QVariantMap { { "full_name", hostile }, { "notes", breakout } },
            QVariantMap { { "full_name", "second" }, { "notes", "ok" } } };
        const QString html = m_print->reportHtml(hostile, records, { { hostile, hostile } });
        QVERIFY(!html.contains(u"<b>x</b>"_s));
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 2);
        QCOMPARE(tables.at(0), (QList<QStringList> { { hostile + u": "_s + hostile } }));
        QCOMPARE(tables.at(1).mid(1), (QList<QStringList> { { hostile, breakout }, { "second", "ok" } }));
        // Isolated as a unit, so the Latin text keeps its order inside the Arabic line.
        QVERIFY(html.contains(kIsolateStart + u"&lt;b&gt;x&lt;/b&gt; &amp; co"_s + kIsolateEnd));

        const QString statement = m_print->statementHtml(hostile, hostile,
            { QVariantMap { { "date", "2024-01-01" }, { "description", hostile }, { "reference", "<i>r</i>" },
                { "amount", "1 ₪" }, { "balance", "0" } } },
            {});
        QVERIFY(!statement.contains(u"<b>x</b>"_s) && !statement.contains(u"<i>r</i>"_s));
        QVERIFY(plainText(statement).contains(u"اسم الحساب: "_s + hostile));
        const QString text = plainText(m_print->textHtml(u"t"_s, u"### عنوان\n\n- **أ** <b>ثان</b>\n"_s));
        QVERIFY(text.contains(u"أ <b>ثان</b>"_s) && !text.contains(u"**"_s) && !text.contains(u"###"_s));
    }

    void statementReadsRightToLeft()
    {
        Clock::setToday(QDate(2024, 5, 20));
        const QVariantList rows { QVariantMap { { "date", "2024-03-01" },
                                      { "description", "دفعة إيجار آذار" }, { "reference", "INV-2024-0001" },
                                      { "amount", "1,500 ₪" }, { "balance", "1,500 ₪" } },
            QVariantMap { { "date", "2024-04-01" }, { "description", "دفعة إيجار نيسان" },
                { "reference", "INV-2024-0002" }, { "amount", "1,000 ₪" }, { "balance", "500 ₪" } } };
        const QVariantMap totals { { u"إجمالي المدفوع"_s, u"2,500 ₪"_s },
            { u"الرصيد المتبقي"_s, u"500 ₪"_s } };
        const QString html = m_print->statementHtml(u"سامي الخطيب"_s, u"مستأجر"_s, rows, totals);
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.at(1).value(0), (QStringList { "إجمالي المدفوع\n2,500 ₪", "الرصيد المتبقي\n500 ₪" }));
        QCOMPARE(tables.at(2).mid(1),
            (QList<QStringList> { { "2024-03-01", "دفعة إيجار آذار", "INV-2024-0001", "1,500 ₪", "1,500 ₪" },
                { "2024-04-01", "دفعة إيجار نيسان", "INV-2024-0002", "1,000 ₪", "500 ₪" } }));
        // Dates and numbers next to Arabic labels keep their left-to-right order.
        QVERIFY(html.contains(u"تاريخ: "_s + kIsolateStart + u"2024-05-20"_s + kIsolateEnd));
        QVERIFY(html.contains(kIsolateStart + u"02-2981234"_s + kIsolateEnd));

        // Written under the name and the day; a second statement that day replaces the first.
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        m_print->printStatement(u" سامي  الخطيب "_s, u"مستأجر"_s, rows, totals);
        const QString path = finished.value(0).value(1).toString();
        QCOMPARE(path, documents() + u"/Statement_سامي_الخطيب_20240520.pdf"_s);
        const QByteArray pdf = readBytes(path);
        QVERIFY(pdf.startsWith("%PDF"));
        m_print->printStatement(u"سامي الخطيب"_s, u"مستأجر"_s, {}, {});
        QCOMPARE(finished.value(1).value(1).toString(), path);
        QVERIFY(readBytes(path) != pdf);
        QCOMPARE(QDir(documents()).entryList(QDir::Files).size(), 1);
    }

    void tableKeepsTheGivenOrder()
    {
        const QVariantList rows { QVariantList { "سامر", "1,500 ₪", "معلق" }, QVariantList { "ليلى" },
            QVariantList { 2.5, 12, QString() } };
        const QVariantList summary { QVariantList { "الإيرادات", "100 ₪" },
            QVariantList { "المصروفات", "40 ₪" } };
        const QList<QList<QStringList>> tables = readTables(
            m_print->tableHtml(u"الملخص"_s, { "الاسم", "المبلغ", "<i>الحالة</i>" }, rows, summary));
        QCOMPARE(tables.value(0), (QList<QStringList> { { "الإيرادات: 100 ₪", "المصروفات: 40 ₪" } }));
        QCOMPARE(tables.value(1),
            (QList<QStringList> { { "الاسم", "المبلغ", "<i>الحالة</i>" }, { "سامر", "1,500 ₪", "معلق" },
                { "ليلى", "", "" }, { "2.5", "12", "" } }));

        const QString path = m_print->printTable(u"حالة الوحدات"_s, { "الوحدة" }, { QVariantList { "A-1" } });
        QVERIFY(readBytes(path).startsWith("%PDF"));
        QVERIFY(QFileInfo(path).fileName().startsWith(u"حالة_الوحدات_"_s));
        const QString text = m_print->printText(u"تحليل"_s, u"### عنوان"_s);
        QVERIFY(readBytes(text).startsWith("%PDF"));
        QCOMPARE(m_desktop.opened, (QStringList { path, text }));
    }

    void aDocumentThatCannotBeWrittenIsReported()
    {
        // A plain file stands where the documents folder should be.
        QVERIFY(writeBytes(documents(), "not a folder"));
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        QSignalSpy errors(m_print.get(), &PrintController::printError);
        m_print->printReport(u"units"_s, QString(), { QVariantMap { { "a", 1 } } }, {});
        m_print->printStatement(u"x"_s, u"مشتري"_s, {}, {});
        QCOMPARE(m_print->printTable(u"t"_s, { "a" }, {}), QString());
        QCOMPARE(m_print->printText(u"t"_s, u"x"_s), QString());
        QCOMPARE(errors.count(), 4);
        QCOMPARE(finished.count(), 4);
        for (const QList<QVariant>& done : finished)
            QVERIFY(!done.at(0).toBool() && !QFileInfo(done.at(1).toString()).isFile());
        QVERIFY(m_desktop.opened.isEmpty());

        // A missing folder is made.
        QFile::remove(documents());
        m_print->printReport(u"first"_s, QString(), {}, {});
        QVERIFY(finished.last().at(0).toBool());
    }

private:
    QString documents() const { return m_home.filePath(u"Documents"_s); }

    QTemporaryDir m_home;
    RecordingDesktop m_desktop;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<SettingsManager> m_settings;
    std::unique_ptr<PrintController> m_print;
};

QTEST_MAIN(TestPrintController)
#include "tst_printcontroller.moc"
