// Names and texts with quotes, markup, commas, line breaks, formulas, Arabic and emoji go every way
// a name goes in the program: stored, listed (lists, search, invoices, payments, statements,
// alerts), exported to CSV (read back with a strict CSV reader), printed (the document the PDF is
// made from, and the PDF itself). Each must come out as it went in, and never change the shape of
// what carries it. The pages' tables are checked by qml/tst_names.qml.
#include "appbackend.h"
#include "backupmanager.h"
#include "clock.h"
#include "contractmodel.h"
#include "invoicemodel.h"
#include "notificationcontroller.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "recordingdesktop.h"
#include "reportcontroller.h"
#include "tenantmodel.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QDirIterator>
#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

/** Records of a CSV text as RFC 4180 reads it: quoted fields may hold commas, quotes and line breaks. */
QList<QStringList> readCsv(QString text)
{
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record.append(field);
            field.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            record.append(field);
            records.append(record);
            record.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

/** The text a reader sees in a document made from HTML: white space runs as one space, no isolates. */
QString readerText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QString text = document.toPlainText();
    text.remove(QChar(0x2068));
    text.remove(QChar(0x2069));
    return text.simplified();
}

/** Tables and their rows and columns: the shape of a printed document. */
QList<QPair<int, int>> tablesOf(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QList<QPair<int, int>> tables;
    QList<QTextFrame*> frames = { document.rootFrame() };
    while (!frames.isEmpty()) {
        QTextFrame* frame = frames.takeFirst();
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.append({ table->rows(), table->columns() });
        frames += frame->childFrames();
    }
    return tables;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHostileNames : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_file;
    std::unique_ptr<AppBackend> m_app;
    std::unique_ptr<QTemporaryDir> m_home;
    RecordingDesktop m_desktop;
    int m_paths = 0;

    /** The tenant `name` with a contract, an invoice described by the name, a payment referenced by it. */
    int tenantWithHistory(const QString& name, const QString& idNumber)
    {
        const int property = m_app->propertyModel()->add(name, QStringLiteral("mixed"), name, name, name);
        const int unit = m_app->unitModel()->add(property, QStringLiteral("1"), 1, 100, 3, 1000, 0, 0, 1);
        const int tenant = m_app->tenantModel()->add(name, idNumber, QStringLiteral("0599"), QString(), name);
        if (property <= 0 || unit <= 0 || tenant <= 0
            || m_app->contractModel()->add(unit, tenant, QStringLiteral("2025-01-01"),
                   QStringLiteral("2025-12-31"), 1000, QStringLiteral("monthly"), 0, 1)
                <= 0)
            return -1;
        const QVariantMap item = { { QStringLiteral("description"), name },
            { QStringLiteral("type"), QStringLiteral("service") }, { QStringLiteral("quantity"), 1 },
            { QStringLiteral("unit_price"), 250.0 }, { QStringLiteral("total"), 250.0 } };
        const int invoice
            = m_app->invoiceModel()->createInvoice(tenant, unit, QStringLiteral("2025-02"), { item }, 1);
        if (invoice <= 0
            || m_app->paymentModel()->add(
                   invoice, tenant, 100, QStringLiteral("cash"), QStringLiteral("2025-02-05"), name, 1)
                <= 0)
            return -1;
        return tenant;
    }

    static bool holds(const QVariantList& rows, const QString& key, const QString& value)
    {
        return std::any_of(rows.cbegin(), rows.cend(),
            [&](const QVariant& row) { return row.toMap().value(key).toString() == value; });
    }

    static void nameRows()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes and markup") << QStringLiteral("O'Brien \"Bob\" <b>Bold</b> & Co");
        QTest::newRow("arabic quotes and markup") << QStringLiteral("سارة \"أم علي\" <i>النجار</i> &amp;");
        QTest::newRow("script") << QStringLiteral("<script>alert('x')</script>");
        QTest::newRow("line feed") << QStringLiteral("أحمد\nعلي");
        QTest::newRow("carriage return and line feed") << QStringLiteral("Line one\r\nLine two");
        QTest::newRow("carriage return alone") << QStringLiteral("Carriage\rReturn");
        QTest::newRow("commas") << QStringLiteral("Ali, Hassan & Sons, Ltd");
        QTest::newRow("formula") << QStringLiteral("=HYPERLINK(\"http://evil\",\"x\")");
        QTest::newRow("tab and wildcards") << QStringLiteral("Tab\there 50% _x_ back\\slash");
        QTest::newRow("emoji") << QStringLiteral("🏠 عقار الأمل 🔑");
    }

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QLoggingCategory::setFilterRules(QStringLiteral("darvelinto.*.info=false"));
        Clock::setToday(QDate(2025, 3, 10));
    }

    void init()
    {
        m_desktop.opened.clear();
        m_home = std::make_unique<QTemporaryDir>();
        pinHomeFolder(m_home->path());
        m_file = std::make_unique<TestDatabase>();
        m_app = std::make_unique<AppBackend>(m_file->db(), m_file->dir());
        m_app->backupManager()->setDesktopServices(&m_desktop);
        m_app->printController()->setDesktopServices(&m_desktop);
    }

    void cleanup()
    {
        m_app.reset();
        m_file.reset();
        m_home.reset();
    }

    void cleanupTestCase() { qInfo("%d name paths checked", m_paths); }

    void storedAndListedAsTyped_data() { nameRows(); }
    void storedAndListedAsTyped()
    {
        QFETCH(QString, name);
        const int tenant = tenantWithHistory(name, QStringLiteral("9001"));
        QVERIFY(tenant > 0);

        const QVariantMap stored = m_app->tenantModel()->getById(tenant);
        QCOMPARE(stored.value(QStringLiteral("full_name")).toString(), name);
        QCOMPARE(stored.value(QStringLiteral("address")).toString(), name);
        QVERIFY(holds(m_app->tenantModel()->getAll(), QStringLiteral("full_name"), name));
        QVERIFY(holds(m_app->tenantModel()->search(name), QStringLiteral("full_name"), name));
        QVERIFY(holds(m_app->propertyModel()->getAll(), QStringLiteral("name"), name));
        QVERIFY(holds(m_app->contractModel()->getAll(), QStringLiteral("tenant_name"), name));
        QVERIFY(holds(m_app->invoiceModel()->getAll(), QStringLiteral("tenant_name"), name));
        QVERIFY(holds(m_app->invoiceModel()->getItems(
                          m_file->value(QStringLiteral("SELECT MAX(id) FROM invoices")).toInt()),
            QStringLiteral("description"), name));
        QVERIFY(holds(m_app->paymentModel()->getAll(), QStringLiteral("tenant_name"), name));
        QVERIFY(holds(m_app->paymentModel()->getAll(), QStringLiteral("reference"), name));
        QVERIFY(holds(m_app->reportController()->getTenantStatement(tenant), QStringLiteral("ref"), name));
        // The open invoice is due (the 28th of February): its alert names the tenant as typed.
        const QVariantList alerts = m_app->notificationController()->getActiveAlerts();
        QVERIFY(holds(alerts, QStringLiteral("title"), QStringLiteral("إيجار/فاتورة مستحقة: ") + name));
        m_paths += 12;
    }

    void exportedToCsvAsTyped_data() { nameRows(); }
    void exportedToCsvAsTyped()
    {
        QFETCH(QString, name);
        const int tenant = tenantWithHistory(name, QStringLiteral("9002"));
        QVERIFY(tenant > 0);
        QVERIFY(m_app->backupManager()->exportAllToCSV());
        QCOMPARE(m_desktop.opened.size(), 1);
        const QString folder = m_desktop.opened.first();

        // A spreadsheet must never run a stored name: one that starts like a formula is defused
        // with a leading apostrophe, which the spreadsheet shows as text.
        const QString expected = name.startsWith(QLatin1Char('=')) ? QLatin1Char('\'') + name : name;
        const QList<QStringList> tenants = readCsv(fileText(folder + QStringLiteral("/tenants.csv")));
        QVERIFY(!tenants.isEmpty());
        const QStringList header = tenants.first();
        const int idColumn = header.indexOf(QStringLiteral("id"));
        const int nameColumn = header.indexOf(QStringLiteral("full_name"));
        const int addressColumn = header.indexOf(QStringLiteral("address"));
        QVERIFY(idColumn >= 0 && nameColumn >= 0 && addressColumn >= 0);
        QCOMPARE(tenants.size(), 2);
        // Every record has the header's fields: nothing in the name split a record or a field.
        QCOMPARE(tenants.at(1).size(), header.size());
        QCOMPARE(tenants.at(1).at(idColumn), QString::number(tenant));
        QCOMPARE(tenants.at(1).at(nameColumn), expected);
        QCOMPARE(tenants.at(1).at(addressColumn), expected);

        const QList<QStringList> properties = readCsv(fileText(folder + QStringLiteral("/properties.csv")));
        QCOMPARE(properties.size(), 2);
        QCOMPARE(properties.at(1).size(), properties.first().size());
        QCOMPARE(properties.at(1).at(properties.first().indexOf(QStringLiteral("name"))), expected);
        const QList<QStringList> payments = readCsv(fileText(folder + QStringLiteral("/payments.csv")));
        QCOMPARE(payments.size(), 2);
        QCOMPARE(payments.at(1).at(payments.first().indexOf(QStringLiteral("reference"))), expected);
        m_paths += 4;
    }

    void printedAsTyped_data() { nameRows(); }
    void printedAsTyped()
    {
        QFETCH(QString, name);
        const int tenant = tenantWithHistory(name, QStringLiteral("9003"));
        QVERIFY(tenant > 0);
        PrintController* print = m_app->printController();
        // In print a line break inside a name reads as a space, as everywhere in running text.
        const QString reads = name.simplified();
        const QVariantList statement
            = { QVariantMap { { QStringLiteral("date"), QStringLiteral("2025-02-05") },
                { QStringLiteral("description"), name }, { QStringLiteral("reference"), name },
                { QStringLiteral("amount"), 100.0 }, { QStringLiteral("balance"), 150.0 } } };
        const QVariantMap totals = { { QStringLiteral("الرصيد"), 1150.0 }, { name, 1.0 } };

        const QString statementHtml = print->statementHtml(name, QStringLiteral("مستأجر"), statement, totals);
        QVERIFY2(readerText(statementHtml).contains(reads), qPrintable(readerText(statementHtml)));
        const QString reportHtml = print->reportHtml(name, m_app->tenantModel()->getAll(), totals);
        QVERIFY2(readerText(reportHtml).contains(reads), qPrintable(readerText(reportHtml)));
        // The same tables, rows and columns as for a plain name: the name added no structure.
        const QString plain = QStringLiteral("اسم عادي");
        QCOMPARE(tablesOf(statementHtml),
            tablesOf(print->statementHtml(plain, QStringLiteral("مستأجر"), statement,
                { { QStringLiteral("الرصيد"), 1150.0 }, { plain, 1.0 } })));

        // The PDF itself, where a PDF reader is at hand to read Latin text back.
        QSignalSpy finished(print, &PrintController::printFinished);
        print->printStatement(name, QStringLiteral("مستأجر"), statement, totals);
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.first().at(0).toBool());
        const QString pdf = finished.first().at(1).toString();
        QVERIFY(QFile::exists(pdf));
        m_paths += 3;
        const bool latin
            = std::all_of(reads.cbegin(), reads.cend(), [](QChar c) { return c.unicode() < 0x80; });
        const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (!latin || reader.isEmpty())
            return;
        QProcess extract;
        extract.start(reader, { QStringLiteral("-raw"), pdf, QStringLiteral("-") });
        QVERIFY(extract.waitForFinished(30000));
        QString text = QString::fromUtf8(extract.readAllStandardOutput());
        text.remove(QChar(0x2068));
        text.remove(QChar(0x2069));
        QVERIFY2(text.simplified().contains(reads), qPrintable(text));
        ++m_paths;
    }
};

QTEST_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
