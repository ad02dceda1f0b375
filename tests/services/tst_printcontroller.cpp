#include "clock.h"
#include "printcontroller.h"
#include "recordingdesktop.h"
#include "settingsmanager.h"
#include "sqlitefiles.h"
#include "testdatabase.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace SqliteFiles;

namespace {

const QChar kIsolateStart(0x2068);
const QChar kIsolateEnd(0x2069);

/** Text as read, without the invisible marks that keep each value's own direction. */
QString withoutMarks(QString text)
{
    return text.remove(kIsolateStart).remove(kIsolateEnd);
}

/** The tables of a document as a reader sees them: rows top to bottom, cells right to left. */
QList<QList<QStringList>> readTables(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QList<QList<QStringList>> tables;
    const QList<QTextFrame*> frames = document.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QList<QStringList> rows;
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = table->columns() - 1; c >= 0; --c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                cells.append(withoutMarks(cursor.selectedText())
                                 .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                                 .replace(QChar::LineSeparator, QLatin1Char('\n')));
            }
            rows.append(cells);
        }
        tables.append(rows);
    }
    return tables;
}

QString plainText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return withoutMarks(document.toPlainText());
}

int pageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page[^s])"));
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
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), documents());
    }

    void init()
    {
        QDir(documents()).removeRecursively();
        QFile::remove(documents());
        m_db = std::make_unique<TestDatabase>();
        m_settings = std::make_unique<SettingsManager>(m_db->db());
        QVERIFY(m_settings->updateCompanyProfile(QStringLiteral("مكتب الريان العقاري"),
            QStringLiteral("02-2981234"), QStringLiteral("رام الله - شارع الإرسال"),
            QStringLiteral("office@rayyan.example")));
        m_desktop = std::make_unique<RecordingDesktop>();
        m_print = std::make_unique<PrintController>(m_settings.get());
        m_print->setDesktopServices(m_desktop.get());
    }

    void cleanup()
    {
        Clock::setToday(QDate());
        m_print.reset();
        m_desktop.reset();
        m_settings.reset();
        m_db.reset();
    }

    void translateHeader_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("heading");
        QTest::newRow("id") << "id"
                            << "م";
        QTest::newRow("status") << "status"
                                << "الحالة";
        QTest::newRow("capitalised is not known") << "Status"
                                                  << "Status";
        QTest::newRow("rented") << "rented"
                                << "مؤجر";
        QTest::newRow("sold") << "sold"
                              << "مباع";
        QTest::newRow("available") << "available"
                                   << "متاح";
        QTest::newRow("paid amount") << "paid_amount"
                                     << "المبلغ المدفوع";
        QTest::newRow("installment amount") << "installment_amount"
                                            << "قيمة القسط";
        QTest::newRow("bank") << "bank"
                              << "البنك";
        QTest::newRow("unknown") << "city"
                                 << "city";
        QTest::newRow("other status") << "pending"
                                      << "pending";
        QTest::newRow("empty") << ""
                               << "";
    }

    void translateHeader()
    {
        QFETCH(QString, key);
        QFETCH(QString, heading);
        QCOMPARE(PrintController::translateHeader(key), heading);
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks around and between") << "   تقرير    الوحدات  "
                                                   << "تقرير_الوحدات";
        QTest::newRow("tabs and line breaks") << "Rent\t\nReport"
                                              << "Rent_Report";
        QTest::newRow("slash is no folder") << "Rent 2024/05"
                                            << "Rent_2024-05";
        QTest::newRow("windows forbidden") << "a:b*c?d\"e<f>g|h\\i"
                                           << "a-b-c-d-e-f-g-h-i";
        QTest::newRow("parent folder") << "../../etc"
                                       << "..-..-etc";
    }

    void safeFileName()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(PrintController::safeFileName(text), name);
    }

    void reportIsWrittenAsPdfAndOpened()
    {
        QSignalSpy started(m_print.get(), &PrintController::printStarted);
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        QSignalSpy errors(m_print.get(), &PrintController::printError);
        QStringList order;
        connect(
            m_print.get(), &PrintController::printStarted, this, [&] { order << QStringLiteral("started"); });
        connect(m_print.get(), &PrintController::printFinished, this,
            [&] { order << QStringLiteral("finished"); });

        m_print->printReport(
            QStringLiteral("  تقرير   الوحدات "), QStringLiteral("units"), unitRecords(), unitSummary());

        QCOMPARE(order, (QStringList { QStringLiteral("started"), QStringLiteral("finished") }));
        QCOMPARE(started.count(), 1);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), true);
        const QString path = finished.first().at(1).toString();
        QCOMPARE(QFileInfo(path).absolutePath(), documents());
        static const QRegularExpression name(QStringLiteral(R"(^تقرير_الوحدات_\d{8}_\d{6}\.pdf$)"));
        QVERIFY2(name.match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));
        const QByteArray pdf = readBytes(path);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pageCount(pdf), 1);
        QCOMPARE(m_desktop->opened, QStringList { path });
        keepSample(path, QStringLiteral("report.pdf"));
    }

    void longReportBreaksIntoPages()
    {
        QVariantList records;
        for (int i = 1; i <= 150; ++i)
            records.append(QVariantMap { { QStringLiteral("unit_number"), QStringLiteral("U-%1").arg(i) },
                { QStringLiteral("amount"), 100.0 * i } });
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        m_print->printReport(QStringLiteral("long"), QString(), records, {});
        QVERIFY(finished.first().at(0).toBool());
        QVERIFY(pageCount(readBytes(finished.first().at(1).toString())) >= 3);
        keepSample(finished.first().at(1).toString(), QStringLiteral("long-report.pdf"));
    }

    void reportColumnsAreSortedKeysLessIdentifiers()
    {
        const QVariantList records {
            QVariantMap { { "address", "شارع القدس" }, { "city", "نابلس" }, { "id", 7 }, { "name", "برج" },
                { "status", "rented" } },
            QVariantMap { { "address", "حي الجامعة" }, { "id", 8 }, { "name", "عمارة" },
                { "status", "maintenance" }, { "late", "x" } },
        };
        const QList<QList<QStringList>> tables
            = readTables(m_print->reportHtml(QStringLiteral("t"), records, {}));
        QCOMPARE(tables.size(), 1);
        const QList<QStringList>& rows = tables.first();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0), (QStringList { "address", "city", "name", "الحالة" }));
        QCOMPARE(rows.at(1), (QStringList { "شارع القدس", "نابلس", "برج", "مؤجر" }));
        // A missing key prints empty, an unknown status as it is, a later-only key gets no column.
        QCOMPARE(rows.at(2), (QStringList { "حي الجامعة", "", "عمارة", "maintenance" }));
    }

    void identifierColumnsAreLeftOut()
    {
        const QVariantList records { QVariantMap { { "id", 1 }, { "property_id", 2 }, { "tenant_id", 3 },
            { "unit_id", 4 }, { "currency_id", 5 }, { "buyer_id", 6 }, { "active", 1 }, { "amount", 1500.0 },
            { "due_date", "2024-05-01" } } };
        const QList<QStringList> rows
            = readTables(m_print->reportHtml(QStringLiteral("t"), records, {})).first();
        QCOMPARE(rows.at(0), (QStringList { "المبلغ", "تاريخ الاستحقاق" }));
        QCOMPARE(rows.at(1), (QStringList { "1500", "2024-05-01" }));
    }

    void summaryCellsFollowKeyOrderInOneRow()
    {
        QVariantMap summary;
        summary.insert(QStringLiteral("ج المجموع"), QStringLiteral("3,000 ₪"));
        summary.insert(QStringLiteral("أ العدد"), 12);
        summary.insert(QStringLiteral("ب المتوسط"), 250.5);
        const QString html = m_print->reportHtml(QStringLiteral("t"), {}, summary);
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 1); // the summary only: no data, no table
        QCOMPARE(tables.first().size(), 1);
        QCOMPARE(tables.first().first(),
            (QStringList { "أ العدد: 12", "ب المتوسط: 250.5", "ج المجموع: 3,000 ₪" }));
    }

    void letterheadAndFooterOfAnEmptyReport()
    {
        const QString text = plainText(m_print->reportHtml(QStringLiteral("تقرير فارغ"), {}, {}));
        QVERIFY(readTables(m_print->reportHtml(QStringLiteral("تقرير فارغ"), {}, {})).isEmpty());
        QVERIFY(text.contains(QStringLiteral("مكتب الريان العقاري")));
        QVERIFY(text.contains(QStringLiteral("رام الله - شارع الإرسال | 02-2981234")));
        QVERIFY(text.contains(QStringLiteral("تقرير فارغ")));
        QVERIFY(text.contains(QStringLiteral("تاريخ التقرير: ")));
        QVERIFY(text.contains(QStringLiteral("طبع بواسطة نظام Darvelinto العقاري")));
        QVERIFY(!text.contains(QStringLiteral("office@rayyan.example")));
    }

    void printedValuesCannotChangeTheLayout()
    {
        const QString hostile = QStringLiteral("<b>x</b> & co");
        const QVariantList records { QVariantMap { { "full_name", hostile },
                                         { "notes", "</td></tr></table><h1>big</h1>" } },
            QVariantMap { { "full_name", "second" }, { "notes", "ok" } } };
        QVariantMap summary { { hostile, hostile } };
        const QString html = m_print->reportHtml(hostile, records, summary);
        QVERIFY(!html.contains(QStringLiteral("<b>x</b>")));
        QVERIFY(html.contains(QStringLiteral("&lt;b&gt;x&lt;/b&gt; &amp; co")));
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 2);
        QCOMPARE(tables.at(0).first(), QStringList { hostile + QStringLiteral(": ") + hostile });
        const QList<QStringList>& rows = tables.at(1);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(1), (QStringList { hostile, "</td></tr></table><h1>big</h1>" }));
        QCOMPARE(rows.at(2), (QStringList { "second", "ok" }));
        QVERIFY(plainText(html).contains(hostile));
        // Isolated as a unit, so the Latin text keeps its order inside the Arabic line.
        QVERIFY(html.contains(kIsolateStart + QStringLiteral("&lt;b&gt;x&lt;/b&gt; &amp; co") + kIsolateEnd));

        const QString statement = m_print->statementHtml(hostile, hostile,
            { QVariantMap { { "date", "2024-01-01" }, { "description", hostile }, { "reference", "<i>r</i>" },
                { "amount", "1 ₪" }, { "balance", "0" } } },
            summary);
        QVERIFY(!statement.contains(QStringLiteral("<b>x</b>")));
        QVERIFY(!statement.contains(QStringLiteral("<i>r</i>")));
        QVERIFY(plainText(statement).contains(QStringLiteral("اسم الحساب: ") + hostile));
    }

    void statementLayout()
    {
        Clock::setToday(QDate(2024, 5, 20));
        const QString html = m_print->statementHtml(
            QStringLiteral("سامي الخطيب"), QStringLiteral("مستأجر"), statementRows(), statementTotals());
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 4);

        // Letterhead: the company on the right, the statement's title and date on the left.
        QCOMPARE(tables.at(0).size(), 1);
        QCOMPARE(tables.at(0).first().at(0),
            QStringLiteral("مكتب الريان العقاري\nرام الله - شارع الإرسال\n02-2981234"));
        QCOMPARE(tables.at(0).first().at(1), QStringLiteral("كشف حساب مستأجر\nتاريخ: 2024-05-20"));

        // Totals in key order, read from the right.
        QCOMPARE(tables.at(1).size(), 1);
        QCOMPARE(tables.at(1).first(),
            (QStringList { "إجمالي المدفوع\n2,500 ₪", "الرصيد المتبقي\n500 ₪", "عدد الحركات\n2" }));

        const QList<QStringList>& data = tables.at(2);
        QCOMPARE(data.size(), 3);
        QCOMPARE(
            data.at(0), (QStringList { "التاريخ", "البيان / الوصف", "رقم المرجع", "المدفوع", "المتبقي" }));
        QCOMPARE(data.at(1),
            (QStringList { "2024-03-01", "دفعة إيجار آذار", "INV-2024-0001", "1,500 ₪", "1,500 ₪" }));
        QCOMPARE(data.at(2),
            (QStringList { "2024-04-01", "دفعة إيجار نيسان", "INV-2024-0002", "1,000 ₪", "500 ₪" }));

        // Signature on the right, stamp on the left.
        QCOMPARE(tables.at(3).first().at(0), QStringLiteral("توقيع المحاسب\n\n_________________"));
        QVERIFY(tables.at(3).first().at(1).startsWith(QStringLiteral("الختم الرسمي")));

        const QString text = plainText(html);
        QVERIFY(text.contains(QStringLiteral("اسم الحساب: سامي الخطيب")));
        // Dates and numbers next to Arabic labels keep their left-to-right order.
        QVERIFY(html.contains(
            QStringLiteral("تاريخ: ") + kIsolateStart + QStringLiteral("2024-05-20") + kIsolateEnd));
        QVERIFY(html.contains(kIsolateStart + QStringLiteral("02-2981234") + kIsolateEnd));
        QVERIFY(text.contains(QStringLiteral("طبع بواسطة نظام Darvelinto - شركة مكتب الريان العقاري")));
        QVERIFY(!text.contains(QStringLiteral("office@rayyan.example")));
    }

    void statementIsWrittenUnderTheNameAndDay()
    {
        Clock::setToday(QDate(2024, 5, 20));
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        m_print->printStatement(
            QStringLiteral(" سامي  الخطيب "), QStringLiteral("مستأجر"), statementRows(), statementTotals());
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.first().at(0).toBool());
        const QString path = finished.first().at(1).toString();
        QCOMPARE(path, documents() + QStringLiteral("/Statement_سامي_الخطيب_20240520.pdf"));
        const QByteArray pdf = readBytes(path);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pageCount(pdf), 1);
        keepSample(path, QStringLiteral("statement.pdf"));

        // A second statement the same day replaces the first.
        m_print->printStatement(QStringLiteral("سامي الخطيب"), QStringLiteral("مستأجر"), {}, {});
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(1).toString(), path);
        QVERIFY(readBytes(path) != pdf);
        QCOMPARE(QDir(documents()).entryList(QDir::Files).size(), 1);
        QCOMPARE(m_desktop->opened, (QStringList { path, path }));
    }

    void emptyStatementKeepsItsFrame()
    {
        const QString html = m_print->statementHtml(QStringLiteral("x"), QStringLiteral("مشتري"), {}, {});
        // The totals row is written without cells; the engine then drops that table.
        QVERIFY(html.contains(QStringLiteral("<table width='100%' cellspacing='10'><tr></tr></table>")));
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 3);
        QCOMPARE(
            tables.at(0).first().at(1).section(QLatin1Char('\n'), 0, 0), QStringLiteral("كشف حساب مشتري"));
        QCOMPARE(tables.at(1).size(), 1); // the head row alone
        QCOMPARE(tables.at(1).first(),
            (QStringList { "التاريخ", "البيان / الوصف", "رقم المرجع", "المدفوع", "المتبقي" }));
    }

    void unwritableDocumentsFolderIsReported()
    {
        // A plain file stands where the documents folder should be.
        QVERIFY(writeBytes(documents(), "not a folder"));
        QSignalSpy started(m_print.get(), &PrintController::printStarted);
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        QSignalSpy errors(m_print.get(), &PrintController::printError);

        m_print->printReport(QStringLiteral("units"), QString(), unitRecords(), {});
        QCOMPARE(started.count(), 1);
        QCOMPARE(errors.count(), 1);
        QVERIFY(!errors.first().first().toString().isEmpty());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY(!QFile::exists(finished.first().at(1).toString()));

        m_print->printStatement(QStringLiteral("x"), QStringLiteral("مشتري"), {}, {});
        QCOMPARE(errors.count(), 2);
        QCOMPARE(finished.at(1).at(0).toBool(), false);
        QVERIFY(m_desktop->opened.isEmpty());
    }

    void missingDocumentsFolderIsCreated()
    {
        QVERIFY(!QFileInfo::exists(documents()));
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        m_print->printReport(QStringLiteral("first"), QString(), {}, {});
        QVERIFY(finished.first().at(0).toBool());
        QVERIFY(QFileInfo(documents()).isDir());
    }

    void withoutACompanyProfileTheLetterheadIsEmpty()
    {
        PrintController bare(nullptr);
        const QString text = plainText(bare.reportHtml(QStringLiteral("t"), {}, {}));
        QVERIFY(text.contains(QStringLiteral("|")));
        QVERIFY(!text.contains(QStringLiteral("مكتب الريان")));
    }

    void tableColumnsKeepTheGivenOrder()
    {
        const QStringList headers { QStringLiteral("الاسم"), QStringLiteral("المبلغ"),
            QStringLiteral("<i>الحالة</i>") };
        const QVariantList rows { QVariantList { QStringLiteral("سامر"), QStringLiteral("1,500 ₪"),
                                      QStringLiteral("معلق") },
            QVariantList { QStringLiteral("ليلى") }, QVariantList { 2.5, 12, QString() } };
        const QVariantList summary { QVariantList { QStringLiteral("الإيرادات"), QStringLiteral("100 ₪") },
            QVariantList { QStringLiteral("المصروفات"), QStringLiteral("40 ₪") },
            QVariantList { QStringLiteral("الربح"), 60 } };
        const QString html = m_print->tableHtml(QStringLiteral("الملخص"), headers, rows, summary);
        const QList<QList<QStringList>> tables = readTables(html);
        QCOMPARE(tables.size(), 2);
        // The summary keeps its given order, not the order of its labels.
        QCOMPARE(
            tables.at(0), (QList<QStringList> { { "الإيرادات: 100 ₪", "المصروفات: 40 ₪", "الربح: 60" } }));
        QCOMPARE(tables.at(1).size(), 4);
        QCOMPARE(tables.at(1).at(0), (QStringList { "الاسم", "المبلغ", "<i>الحالة</i>" }));
        QCOMPARE(tables.at(1).at(1), (QStringList { "سامر", "1,500 ₪", "معلق" }));
        QCOMPARE(tables.at(1).at(2), (QStringList { "ليلى", "", "" }));
        QCOMPARE(tables.at(1).at(3), (QStringList { "2.5", "12", "" }));
        QVERIFY(plainText(html).contains(QStringLiteral("طبع بواسطة نظام Darvelinto العقاري")));
        QVERIFY(plainText(html).contains(QStringLiteral("مكتب الريان العقاري")));

        QVERIFY(readTables(m_print->tableHtml(QStringLiteral("t"), {}, {}, {})).isEmpty());

        // A row that is a single value, not a list, is one whole cell.
        const QList<QStringList> single
            = readTables(m_print->tableHtml(QStringLiteral("t"), { QStringLiteral("أ"), QStringLiteral("ب") },
                             { QStringLiteral("نص") }, {}))
                  .first();
        QCOMPARE(single.at(1), (QStringList { "نص", "" }));
    }

    void printTableReturnsTheWrittenFile()
    {
        QSignalSpy started(m_print.get(), &PrintController::printStarted);
        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        const QString path = m_print->printTable(QStringLiteral("حالة الوحدات"),
            { QStringLiteral("الوحدة"), QStringLiteral("الحالة") },
            { QVariant(QVariantList { QStringLiteral("A-1"), QStringLiteral("مؤجرة") }) });
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(1).toString(), path);
        QCOMPARE(QFileInfo(path).absolutePath(), documents());
        static const QRegularExpression name(QStringLiteral(R"(^حالة_الوحدات_\d{8}_\d{6}\.pdf$)"));
        QVERIFY2(name.match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));
        QVERIFY(readBytes(path).startsWith("%PDF"));
        QCOMPARE(m_desktop->opened, QStringList { path });
        keepSample(path, QStringLiteral("table.pdf"));
    }

    void printTextRendersTheMarkdown()
    {
        const QString markdown
            = QStringLiteral("### تحليل ذكاء الأعمال\n\n✅ **الأداء المالي:** إيرادات **1500 ₪**.\n\n"
                             "💡 **توصيات:**\n- بند أول\n- بند <b>ثان</b>\n");
        const QString html = m_print->textHtml(QStringLiteral("التحليل"), markdown);
        const QString text = plainText(html);
        QVERIFY(text.contains(QStringLiteral("تحليل ذكاء الأعمال")));
        QVERIFY(text.contains(QStringLiteral("✅ الأداء المالي: إيرادات 1500 ₪.")));
        QVERIFY(!text.contains(QStringLiteral("**")));
        QVERIFY(!text.contains(QStringLiteral("###")));
        QVERIFY(text.contains(QStringLiteral("بند أول")));
        // HTML inside the text is printed as text.
        QVERIFY(text.contains(QStringLiteral("بند <b>ثان</b>")));
        QVERIFY(text.contains(QStringLiteral("مكتب الريان العقاري")));
        QVERIFY(text.contains(QStringLiteral("طبع بواسطة نظام Darvelinto العقاري")));

        QSignalSpy finished(m_print.get(), &PrintController::printFinished);
        const QString path = m_print->printText(QStringLiteral("تقرير الذكاء الاصطناعي"), markdown);
        QVERIFY(!path.isEmpty());
        QVERIFY(readBytes(path).startsWith("%PDF"));
        QCOMPARE(finished.first().at(0).toBool(), true);
        QCOMPARE(m_desktop->opened, QStringList { path });
        keepSample(path, QStringLiteral("analysis.pdf"));
    }

    void failedTablePrintReturnsNoPath()
    {
        QVERIFY(writeBytes(documents(), "not a folder"));
        QSignalSpy errors(m_print.get(), &PrintController::printError);
        QCOMPARE(m_print->printTable(QStringLiteral("t"), { QStringLiteral("a") }, {}), QString());
        QCOMPARE(m_print->printText(QStringLiteral("t"), QStringLiteral("x")), QString());
        QCOMPARE(errors.count(), 2);
        QVERIFY(m_desktop->opened.isEmpty());
    }

    void markdownAsPlainText()
    {
        QCOMPARE(PrintController::markdownAsPlainText(
                     QStringLiteral("### عنوان\n\nفقرة **مهمة**.\nتكملة\n\n- أ\n- ب\n\nختام")),
            QStringLiteral("عنوان\n\nفقرة مهمة. تكملة\n\n• أ\n• ب\n\nختام"));
        QCOMPARE(PrintController::markdownAsPlainText(QString()), QString());
    }

    void copiesTheTextToTheClipboard()
    {
        const QString markdown = QStringLiteral("### عنوان\n\n- **أ**\n");
        QVERIFY(m_print->copyToClipboard(markdown));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("عنوان\n\n• أ"));
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime);
        QCOMPARE(QString::fromUtf8(mime->data(QStringLiteral("text/markdown"))), markdown);
    }

private:
    QString documents() const { return m_home.filePath(QStringLiteral("Documents")); }

    static QVariantList unitRecords()
    {
        QVariantList records;
        const char* statuses[] = { "available", "rented", "sold", "maintenance" };
        for (int i = 0; i < 12; ++i) {
            records.append(QVariantMap { { "id", i + 1 }, { "property_id", 3 },
                { "unit_number", QStringLiteral("A-%1").arg(101 + i) },
                { "property_name", QStringLiteral("برج الياسمين") }, { "floor", 1 + i / 4 }, { "rooms", 3 },
                { "area", 120.5 }, { "status", statuses[i % 4] },
                { "price", QStringLiteral("%1 ₪").arg(250000 + i * 5000) } });
        }
        records.append(QVariantMap { { "unit_number", QStringLiteral("<b>x</b> & co") },
            { "property_name", QStringLiteral("اسم طويل جداً لعقار يمتد على أكثر من سطر واحد في الخلية") },
            { "floor", 9 }, { "rooms", 5 }, { "area", 300.0 }, { "status", "available" },
            { "price", QStringLiteral("1,500,000 ₪") } });
        return records;
    }

    static QVariantMap unitSummary()
    {
        return { { QStringLiteral("عدد الوحدات"), 13 }, { QStringLiteral("المؤجرة"), 3 },
            { QStringLiteral("المتاحة"), 4 } };
    }

    static QVariantList statementRows()
    {
        return { QVariantMap { { "date", "2024-03-01" }, { "description", "دفعة إيجار آذار" },
                     { "reference", "INV-2024-0001" }, { "amount", "1,500 ₪" }, { "balance", "1,500 ₪" } },
            QVariantMap { { "date", "2024-04-01" }, { "description", "دفعة إيجار نيسان" },
                { "reference", "INV-2024-0002" }, { "amount", "1,000 ₪" }, { "balance", "500 ₪" } } };
    }

    static QVariantMap statementTotals()
    {
        return { { QStringLiteral("عدد الحركات"), 2 },
            { QStringLiteral("إجمالي المدفوع"), QStringLiteral("2,500 ₪") },
            { QStringLiteral("الرصيد المتبقي"), QStringLiteral("500 ₪") } };
    }

    /** Leaves a copy of a printed sample where a developer asked for it, to be looked at. */
    static void keepSample(const QString& path, const QString& name)
    {
        const QString folder = qEnvironmentVariable("DARVELINTO_PRINT_SAMPLES");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QFile::remove(folder + QLatin1Char('/') + name);
        QFile::copy(path, folder + QLatin1Char('/') + name);
    }

    QTemporaryDir m_home;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<SettingsManager> m_settings;
    std::unique_ptr<RecordingDesktop> m_desktop;
    std::unique_ptr<PrintController> m_print;
};

QTEST_MAIN(TestPrintController)
#include "tst_printcontroller.moc"
