// Receipts: one number per sum received, drawn with the money and never lost or reused, the
// amount in Arabic words, and the printed receipt (the original, then copies).
#include "arabicamountwords.h"
#include "clock.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "receiptcontroller.h"
#include "recordingdesktop.h"
#include "rentalfixtures.h"
#include "settingsmanager.h"
#include "testdatabase.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReceipts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<InvoiceModel> m_invoices;
    std::unique_ptr<PaymentModel> m_payments;
    int m_tenant = 0;
    int m_invoice = 0;

    Database* db() const { return m_db->db(); }
    int pay(double amount, const QString& date = u"2025-03-20"_s)
    {
        return m_payments->add(m_invoice, m_tenant, amount, u"cheque"_s, date, u"8841"_s, 1, u"بنك فلسطين"_s);
    }
    /** Receipt number, payment and balance left of every receipt, in number order. */
    QList<QVariantList> receipts() const
    {
        QList<QVariantList> rows;
        for (const QVariant& row : db()->execQuery(QStringLiteral(
                 "SELECT receipt_number, payment_id, balance_after FROM receipts ORDER BY receipt_number")))
            rows << QVariantList { row.toMap().value("receipt_number").toInt(),
                row.toMap().value("payment_id").toInt(), row.toMap().value("balance_after").toDouble() };
        return rows;
    }
    int counter() const { return m_db->value(u"SELECT value FROM counters WHERE name='receipt'"_s).toInt(); }

private slots:
    void initTestCase() { pinTestEnvironment(); }

    void init()
    {
        Clock::setToday(QDate(2025, 3, 20));
        m_db = std::make_unique<TestDatabase>();
        m_invoices = std::make_unique<InvoiceModel>(db());
        m_payments = std::make_unique<PaymentModel>(db());
        using namespace RentalFixtures;
        const int unit = addUnit(db(), addProperty(db()), u"12"_s);
        m_tenant = addTenant(db(), u"منى الخطيب"_s);
        m_invoice = m_invoices->createInvoice(m_tenant, unit, u"2025-03"_s, { item(u"إيجار"_s, 1250) }, 1);
        QVERIFY(m_invoice > 0);
        db()->setActingUser(u"سامر المحاسب"_s);
    }

    void cleanup()
    {
        m_payments.reset();
        m_invoices.reset();
        m_db.reset();
    }

    void amountInWords_data()
    {
        // clang-format off
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("words");
        QTest::newRow("one agora") << qint64(1) << "ILS" << "أغورة واحدة";
        QTest::newRow("two agorot, dual") << qint64(2) << "ILS" << "أغورتان";
        QTest::newRow("3-10 feminine noun, masculine number") << qint64(8) << "ILS" << "ثماني أغورات";
        QTest::newRow("11 feminine") << qint64(11) << "ILS" << "إحدى عشرة أغورة";
        QTest::newRow("12 feminine") << qint64(12) << "ILS" << "اثنتا عشرة أغورة";
        QTest::newRow("25 feminine") << qint64(25) << "ILS" << "خمس وعشرون أغورة";
        QTest::newRow("one shekel") << qint64(100) << "ILS" << "شيكل واحد";
        QTest::newRow("two shekels, dual") << qint64(200) << "ILS" << "شيكلان";
        QTest::newRow("10 plural genitive") << qint64(1000) << "ILS" << "عشرة شواقل";
        QTest::newRow("11 accusative") << qint64(1100) << "ILS" << "أحد عشر شيكلاً";
        QTest::newRow("21 with agorot") << qint64(2102) << "ILS" << "واحد وعشرون شيكلاً وأغورتان";
        QTest::newRow("two hundred, construct") << qint64(20000) << "ILS" << "مئتا شيكل";
        QTest::newRow("hundred and three") << qint64(10300) << "ILS" << "مئة وثلاثة شواقل";
        QTest::newRow("hundred and one") << qint64(10100) << "ILS" << "مئة وواحد شيكل";
        QTest::newRow("1250") << qint64(125000) << "ILS" << "ألف ومئتان وخمسون شيكلاً";
        QTest::newRow("two thousand, construct") << qint64(200000) << "ILS" << "ألفا شيكل";
        QTest::newRow("2500, dual thousand") << qint64(250000) << "ILS" << "ألفان وخمسمئة شيكل";
        QTest::newRow("thousands plural") << qint64(300000) << "ILS" << "ثلاثة آلاف شيكل";
        QTest::newRow("eleven thousand, construct") << qint64(1100000) << "ILS" << "أحد عشر ألف شيكل";
        QTest::newRow("fifty thousand and more") << qint64(5050000) << "ILS" << "خمسون ألفاً وخمسمئة شيكل";
        QTest::newRow("two hundred thousand") << qint64(20000000) << "ILS" << "مئتا ألف شيكل";
        QTest::newRow("million") << qint64(100000000) << "ILS" << "مليون شيكل";
        QTest::newRow("two million and a thousand") << qint64(200100000) << "ILS" << "مليونان وألف شيكل";
        QTest::newRow("millions plural") << qint64(350000000) << "ILS" << "ثلاثة ملايين وخمسمئة ألف شيكل";
        QTest::newRow("largest") << ArabicAmountWords::kMaxCents << "ILS" << "تسعمئة وتسعة وتسعون مليوناً وتسعمئة وتسعة وتسعون ألفاً وتسعمئة وتسعة وتسعون شيكلاً وتسع وتسعون أغورة";
        QTest::newRow("nothing has no words") << qint64(0) << "ILS" << "";
        QTest::newRow("above the largest") << ArabicAmountWords::kMaxCents + 1 << "ILS" << "";
        // A currency not known by its code: named after the number, its hundredths a fraction.
        QTest::newRow("euro") << qint64(1205) << "EUR" << "اثنا عشر يورو و05/100";
        QTest::newRow("dollars and cents") << qint64(703) << "USD" << "سبعة دولارات وثلاثة سنتات";
        QTest::newRow("15.50 dollars") << qint64(1550) << "USD" << "خمسة عشر دولاراً وخمسون سنتاً";
        QTest::newRow("dinar, 1000 fils") << qint64(150) << "JOD" << "دينار واحد وخمسمئة فلس";
        QTest::newRow("250 fils") << qint64(25) << "JOD" << "مئتان وخمسون فلساً";
        QTest::newRow("10 fils") << qint64(1) << "JOD" << "عشرة فلوس";
        // clang-format on
    }

    void amountInWords()
    {
        QFETCH(qint64, cents);
        QFETCH(QString, currency);
        QTEST(ArabicAmountWords::fromCents(cents, currency, u"يورو"_s), "words");
    }

    void everySumReceivedIsNumberedWithItsMoney()
    {
        const int first = pay(1000);
        const int second = pay(250);
        QVERIFY(first > 0 && second > 0);
        // A sale's down payment and an installment collection number on.
        InstallmentModel installments(db());
        const int unit
            = RentalFixtures::addUnit(db(), RentalFixtures::addProperty(db(), u"مشروع الواحة"_s), u"V9"_s);
        const int buyer = RentalFixtures::addBuyer(db(), u"خالد"_s);
        QCOMPARE(installments.sellUnit(buyer, unit, 10000, 4000, 3, u"2025-04-01"_s, 1), 1);
        const int installment = installments.getByBuyer(buyer).first().toMap().value("id").toInt();
        QVERIFY(installments.payInstallment(installment, 500));

        const QList<QVariantList> rows = receipts();
        QCOMPARE(rows.size(), 4);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).at(0).toInt(), i + 1);
        QCOMPARE(counter(), 4);
        QCOMPARE(rows.at(0), (QVariantList { 1, first, 250.0 }));
        QCOMPARE(rows.at(1), (QVariantList { 2, second, 0.0 }));
        QCOMPARE(rows.at(2).at(2).toDouble(), 6000.0); // the price less the down payment
        QCOMPARE(rows.at(3).at(2).toDouble(), 1500.0); // the installment of 2000 less 500
        QCOMPARE(m_db->value(u"SELECT issued_by FROM receipts WHERE receipt_number=4"_s).toString(),
            u"سامر المحاسب"_s);
    }

    void failedPaymentLeavesNoReceiptAndNoGap_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("tenant balance fails") << "tenants";
        QTest::newRow("receipt fails") << "receipts";
        QTest::newRow("counter fails") << "counters";
    }

    void failedPaymentLeavesNoReceiptAndNoGap()
    {
        QFETCH(QString, table);
        QVERIFY(pay(100) > 0);
        RentalFixtures::failOn(db(), table == QLatin1String("receipts") ? u"INSERT"_s : u"UPDATE"_s, table);
        QCOMPARE(pay(200), -1);
        QCOMPARE(m_db->count(u"payments"_s), 1);
        QCOMPARE(m_db->count(u"receipts"_s), 1);
        QCOMPARE(counter(), 1);
        QVERIFY(RentalFixtures::stopFailing(db(),
            u"fail_%1_%2"_s.arg(table == QLatin1String("receipts") ? "insert" : "update", table), table));
        const int next = pay(200);
        QVERIFY(next > 0);
        QCOMPARE(receipts().last(), (QVariantList { 2, next, 950.0 }));
    }

    void olderFileIsNumberedInDateOrder()
    {
        // As a file written before receipts: three payments, the later recorded first.
        QVERIFY(pay(100, u"2025-03-10"_s) > 0);
        QVERIFY(pay(200, u"2025-03-02"_s) > 0);
        QVERIFY(pay(300, u"2025-03-10"_s) > 0);
        QVERIFY(db()->execNonQuery(u"DELETE FROM receipts"_s));
        QVERIFY(db()->execNonQuery(u"DELETE FROM counters"_s));
        db()->migrateSchema();
        // Numbered by date, then in the order recorded; each balance as the invoice's history shows it.
        QCOMPARE(receipts(), (QList<QVariantList> { { 1, 2, 950.0 }, { 2, 1, 1150.0 }, { 3, 3, 650.0 } }));
        QCOMPARE(counter(), 3);
        db()->migrateSchema(); // a second start changes nothing
        QCOMPARE(m_db->count(u"receipts"_s), 3);
    }

    void printedReceiptThenCopies()
    {
        QTemporaryDir home;
        pinHomeFolder(home.path());
        RecordingDesktop desktop;
        SettingsManager settings(db());
        settings.updateCompanyProfile(
            u"مكتب الريان للعقارات"_s, u"022981234"_s, u"رام الله - شارع الإرسال"_s, QString());
        PrintController print(&settings);
        print.setDesktopServices(&desktop);
        ReceiptController controller(db(), &settings, &print);
        const int payment = pay(1250);

        const QVariantMap receipt = controller.getReceipt(payment);
        QCOMPARE(receipt.value("amount_words").toString(), u"ألف ومئتان وخمسون شيكلاً"_s);
        QCOMPARE(receipt.value("method_text").toString(), u"شيك رقم 8841 - بنك فلسطين"_s);
        QCOMPARE(receipt.value("balance_text").toString(), u"0.00 ₪"_s);

        const QString original = controller.printReceipt(payment);
        QCOMPARE(QFileInfo(original).fileName(), u"Receipt_000001.pdf"_s);
        QVERIFY(QFileInfo(original).size() > 1000);
        QCOMPARE(desktop.opened, QStringList { original });
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, { original, u"-"_s });
        QVERIFY(pdftotext.waitForFinished());
        // The extracted text spaces the vowel marks and wraps runs in direction marks: compare letters.
        const auto letters = [](const QString& text) {
            QString kept;
            for (const QChar c : text.normalized(QString::NormalizationForm_KC))
                if (c.isLetterOrNumber())
                    kept += c;
            return kept;
        };
        const QString text = letters(QString::fromUtf8(pdftotext.readAllStandardOutput()));
        QVERIFY2(text.contains(letters(u"فقط ألف ومئتان وخمسون شيكلاً لا غير"_s)), qPrintable(text));
        QVERIFY(!text.contains(u"نسخة"_s));

        const QString copy = controller.printReceipt(payment);
        QCOMPARE(QFileInfo(copy).fileName(), u"Receipt_000001_copy_1.pdf"_s);
        QVERIFY(controller.receiptHtml(controller.getReceipt(payment), true, QString()).contains(u"نسخة"_s));
        QCOMPARE(controller.getReceipt(payment).value("print_count").toInt(), 2);
        QVERIFY(controller.printReceipt(payment + 100).isEmpty()); // no such payment
    }
};

QTEST_MAIN(TestReceipts)
#include "tst_receipts.moc"
