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
#include "sqlitefiles.h"
#include "tenantmodel.h"
#include "testdatabase.h"
#include "unitmodel.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

/** Records of a CSV text as RFC 4180 reads it: quoted fields may hold commas, quotes and line breaks. */
QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = text.startsWith(QChar(0xfeff)) ? 1 : 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool doubled = i + 1 < text.size() && text.at(i + 1) == c;
        if (quoted && c == u'"') {
            if (doubled)
                field += text.at(i++);
            else
                quoted = false;
        } else if (quoted || (c != u'"' && c != u',' && c != u'\r' && c != u'\n')) {
            field += c;
        } else if (c == u'"') {
            quoted = true;
        } else {
            record.append(field);
            field.clear();
            if (c == u',')
                continue;
            i += c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n' ? 1 : 0;
            records.append(record);
            record.clear();
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records.append(record << field);
    return records;
}

/** The text a reader sees, with the direction isolates the program puts around names taken out. */
QString readerText(QString text)
{
    text.remove(QChar(0x2068));
    text.remove(QChar(0x2069));
    return text.simplified();
}

/** A document made from HTML: its text as a reader sees it, and its tables' rows and columns. */
QPair<QString, QList<QPair<int, int>>> documentOf(const QString& html)
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
    return { readerText(document.toPlainText()), tables };
}

/** The field of `column` in the one record of a CSV file, checked to have the header's fields. */
QString onlyRecord(const QString& path, const QString& column)
{
    const QList<QStringList> records = readCsv(QString::fromUtf8(SqliteFiles::readBytes(path)));
    if (records.size() != 2 || records.at(1).size() != records.at(0).size())
        return u"<%1 records, shape broken>"_s.arg(records.size());
    return records.at(1).value(int(records.at(0).indexOf(column)));
}

} // namespace

class TestHostileNames : public QObject
{
    Q_OBJECT

private:
    int m_paths = 0;

private slots:
    void initTestCase()
    {
        pinTestEnvironment();
        QLoggingCategory::setFilterRules(u"darvelinto.*.info=false"_s);
        Clock::setToday(QDate(2025, 3, 10));
    }

    void cleanupTestCase() { qInfo("%d name paths checked", m_paths); }

    void nameComesOutAsTyped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes and markup") << u"O'Brien \"Bob\" <b>Bold</b> & Co"_s;
        QTest::newRow("arabic quotes and markup") << u"سارة \"أم علي\" <i>النجار</i> &amp;"_s;
        QTest::newRow("script") << u"<script>alert('x')</script>"_s;
        QTest::newRow("line feed") << u"أحمد\nعلي"_s;
        QTest::newRow("carriage return and line feed") << u"Line one\r\nLine two"_s;
        QTest::newRow("carriage return alone") << u"Carriage\rReturn"_s;
        QTest::newRow("commas") << u"Ali, Hassan & Sons, Ltd"_s;
        QTest::newRow("formula") << u"=HYPERLINK(\"http://evil\",\"x\")"_s;
        QTest::newRow("tab and wildcards") << u"Tab\there 50% _x_ back\\slash"_s;
        QTest::newRow("emoji") << u"🏠 عقار الأمل 🔑"_s;
    }

    void nameComesOutAsTyped()
    {
        QFETCH(QString, name);
        QTemporaryDir home;
        pinHomeFolder(home.path());
        TestDatabase file;
        AppBackend app(file.db(), file.dir());
        RecordingDesktop desktop;
        app.backupManager()->setDesktopServices(&desktop);
        app.printController()->setDesktopServices(&desktop);

        // The tenant `name` with a contract, an invoice line described by it, a payment referenced by it.
        const int property = app.propertyModel()->add(name, u"mixed"_s, name, name, name);
        const int unit = app.unitModel()->add(property, u"1"_s, 1, 100, 3, 1000, 0, 0, 1);
        const int tenant = app.tenantModel()->add(name, u"9001"_s, u"0599"_s, {}, name);
        QVERIFY(
            app.contractModel()->add(unit, tenant, u"2025-01-01"_s, u"2025-12-31"_s, 1000, u"monthly"_s, 0, 1)
            > 0);
        const QVariantMap item = { { u"description"_s, name }, { u"type"_s, u"service"_s },
            { u"quantity"_s, 1 }, { u"unit_price"_s, 250.0 }, { u"total"_s, 250.0 } };
        const int invoice = app.invoiceModel()->createInvoice(tenant, unit, u"2025-02"_s, { item }, 1);
        QVERIFY(app.paymentModel()->add(invoice, tenant, 100, u"cash"_s, u"2025-02-05"_s, name, 1) > 0);

        // Stored and listed as typed.
        const auto holds = [&](const QVariantList& rows, const char* key, const QString& value) {
            ++m_paths;
            return std::any_of(rows.cbegin(), rows.cend(), [&](const QVariant& row) {
                return row.toMap().value(QLatin1String(key)).toString() == value;
            });
        };
        QCOMPARE(app.tenantModel()->getById(tenant).value(u"full_name"_s).toString(), name);
        QVERIFY(holds({ app.tenantModel()->getById(tenant) }, "address", name));
        QVERIFY(holds(app.tenantModel()->getAll(), "full_name", name));
        QVERIFY(holds(app.tenantModel()->search(name), "full_name", name));
        QVERIFY(holds(app.propertyModel()->getAll(), "name", name));
        QVERIFY(holds(app.contractModel()->getAll(), "tenant_name", name));
        QVERIFY(holds(app.invoiceModel()->getAll(), "tenant_name", name));
        QVERIFY(holds(app.invoiceModel()->getItems(invoice), "description", name));
        QVERIFY(holds(app.paymentModel()->getAll(), "tenant_name", name));
        QVERIFY(holds(app.paymentModel()->getAll(), "reference", name));
        QVERIFY(holds(app.reportController()->getTenantStatement(tenant), "ref", name));
        // The open invoice is due (the 28th of February): its alert names the tenant as typed.
        QVERIFY(holds(
            app.notificationController()->getActiveAlerts(), "title", u"إيجار/فاتورة مستحقة: "_s + name));

        // Exported: every record keeps the header's fields, nothing in the name split a record or a
        // field. A spreadsheet must never run a stored name: one that starts like a formula is
        // defused with a leading apostrophe, which the spreadsheet shows as text.
        QVERIFY(app.backupManager()->exportAllToCSV());
        QCOMPARE(desktop.opened.size(), 1);
        const QString folder = desktop.opened.first() + u'/';
        const QString exported = name.startsWith(u'=') ? u'\'' + name : name;
        QCOMPARE(onlyRecord(folder + u"tenants.csv"_s, u"id"_s), QString::number(tenant));
        QCOMPARE(onlyRecord(folder + u"tenants.csv"_s, u"full_name"_s), exported);
        QCOMPARE(onlyRecord(folder + u"tenants.csv"_s, u"address"_s), exported);
        QCOMPARE(onlyRecord(folder + u"properties.csv"_s, u"name"_s), exported);
        QCOMPARE(onlyRecord(folder + u"payments.csv"_s, u"reference"_s), exported);
        m_paths += 4;

        // Printed: in print a line break inside a name reads as a space, as everywhere in running
        // text; the documents have the same tables, rows and columns as for a plain name.
        PrintController* print = app.printController();
        const QString reads = name.simplified();
        const auto statement = [](const QString& text) {
            return QVariantList { QVariantMap { { u"date"_s, u"2025-02-05"_s }, { u"description"_s, text },
                { u"reference"_s, text }, { u"amount"_s, 100.0 }, { u"balance"_s, 150.0 } } };
        };
        const auto totals = [](const QString& text) {
            return QVariantMap { { u"الرصيد"_s, 1150.0 }, { text, 1.0 } };
        };
        const auto printedStatement
            = documentOf(print->statementHtml(name, u"مستأجر"_s, statement(name), totals(name)));
        QVERIFY2(printedStatement.first.contains(reads), qPrintable(printedStatement.first));
        const QString plain = u"اسم عادي"_s;
        QCOMPARE(printedStatement.second,
            documentOf(print->statementHtml(plain, u"مستأجر"_s, statement(plain), totals(plain))).second);
        const QString report
            = documentOf(print->reportHtml(name, app.tenantModel()->getAll(), totals(name))).first;
        QVERIFY2(report.contains(reads), qPrintable(report));
        m_paths += 3;

        // The PDF itself, where a PDF reader is at hand to read Latin text back.
        QSignalSpy finished(print, &PrintController::printFinished);
        print->printStatement(name, u"مستأجر"_s, statement(name), totals(name));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.first().at(0).toBool());
        const QString pdf = finished.first().at(1).toString();
        QVERIFY(QFile::exists(pdf));
        const QString reader = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (reader.isEmpty()
            || std::any_of(reads.cbegin(), reads.cend(), [](QChar c) { return c.unicode() >= 0x80; }))
            return;
        QProcess extract;
        extract.start(reader, { u"-raw"_s, pdf, u"-"_s });
        QVERIFY(extract.waitForFinished(30000));
        const QString text = readerText(QString::fromUtf8(extract.readAllStandardOutput()));
        QVERIFY2(text.contains(reads), qPrintable(text));
        ++m_paths;
    }
};

QTEST_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
