// Names and texts with quotes, markup, commas, line breaks, formulas, wildcards, Arabic and emoji go
// every way a name goes in the program: stored, listed (lists, search, invoices and their lines,
// payments, statements, alerts) and printed to PDF (read back where a PDF reader is at hand). Each
// must come out as it went in. How a name is quoted in CSV and escaped in print is checked by the
// services' own tests (csvField, the export, the print controller); the pages' tables by
// qml/tst_names.qml.
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

#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

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

        // Printed to PDF, read back where a PDF reader is at hand for Latin text: a line break inside
        // a name reads as a space, as everywhere in running text.
        PrintController* print = app.printController();
        const QString reads = name.simplified();
        QSignalSpy finished(print, &PrintController::printFinished);
        print->printStatement(name, u"مستأجر"_s, app.reportController()->getTenantStatement(tenant), {});
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
        // Without the direction isolates the program puts around names.
        const QString text = QString::fromUtf8(extract.readAllStandardOutput())
                                 .remove(QChar(0x2068))
                                 .remove(QChar(0x2069))
                                 .simplified();
        QVERIFY2(text.contains(reads), qPrintable(text));
        ++m_paths;
    }
};

QTEST_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
