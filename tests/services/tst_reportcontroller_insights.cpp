// Insight cards and the written analysis: thresholds, number formats and text branches, checked
// against texts written out by hand.
#include "businessinsights.h"
#include "clock.h"
#include "reportcontroller.h"
#include "reportfixtures.h"
#include "testdatabase.h"

#include <QTest>

namespace {

const QString kHeading = QStringLiteral("### تحليل ذكاء الأعمال (Darvelinto AI)\n\n");
const QString kNoData = QStringLiteral(
    "⚠️ لا توجد بيانات مالية كافية لتحليل الإيرادات "
    "حالياً.\n\n");
const QString kRecommendations = QStringLiteral("💡 **توصيات ذكية:**\n");
const QString kGrowthAdvice
    = QStringLiteral("هناك مساحة كبيرة للنمو، يُنصح بتكثيف النشاط التسويقي للوحدات المتاحة.");
const QString kHealthy = QStringLiteral("المحفظة في حالة صحية جيدة جداً من حيث الإشغال.");
const QString kReviewAdvice = QStringLiteral("يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح.");
const QString kExcellentMargin = QStringLiteral("هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية.");

QString portfolioLine(const QString& rate, const QString& verdict)
{
    return QStringLiteral("📊 **حالة المحفظة العقارية:** نسبة الإشغال والبيع الحالية هي **") + rate
        + QStringLiteral("%**. ") + verdict + QStringLiteral("\n\n");
}

QString financeLine(const QString& revenue, const QString& margin, const QString& verdict)
{
    return QStringLiteral("✅ **الأداء المالي:** تحقق المنظومة حالياً إيرادات إجمالية قدرها **") + revenue
        + QStringLiteral(" ₪**. بهامش ربح صافي يقدر بـ **") + margin + QStringLiteral("%**. ") + verdict
        + QStringLiteral("\n\n");
}

QVariantMap cardTitled(const QVariantList& cards, const QString& title)
{
    for (const QVariant& card : cards) {
        if (card.toMap().value("title").toString() == title)
            return card.toMap();
    }
    return {};
}

} // namespace

class TestReportControllerInsights : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTestEnvironment(); }
    void cleanupTestCase() { Clock::setToday(QDate()); }

    void init()
    {
        Clock::setToday(QDate(2025, 6, 15));
        m_db = std::make_unique<TestDatabase>();
        m_fx = std::make_unique<ReportFixtures>(m_db->db());
        m_reports = std::make_unique<ReportController>(m_db->db());
        m_property = m_fx->property(QStringLiteral("برج"));
        m_buyer = m_fx->buyer(QStringLiteral("هالة"));
        m_tenant = m_fx->tenant(QStringLiteral("سامر"));
    }
    void cleanup()
    {
        m_reports.reset();
        m_fx.reset();
        m_db.reset();
    }

    void occupancyCard_data()
    {
        QTest::addColumn<int>("rented");
        QTest::addColumn<int>("sold");
        QTest::addColumn<int>("available");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("description");
        QTest::newRow("no units") << 0 << 0 << 0 << QStringLiteral("🔴")
                                  << QStringLiteral("نسبة الإشغال 0% (0/0 وحدة). يمكن تحسين الإشغال.");
        QTest::newRow("9 of 10") << 9 << 0 << 1 << QStringLiteral("✅")
                                 << QStringLiteral("نسبة الإشغال 90% (9/10 وحدة). أداء ممتاز!");
        QTest::newRow("80 is not above 80")
            << 4 << 0 << 1 << QStringLiteral("⚠️")
            << QStringLiteral("نسبة الإشغال 80% (4/5 وحدة). يمكن تحسين الإشغال.");
        QTest::newRow("6 of 10") << 6 << 0 << 4 << QStringLiteral("⚠️")
                                 << QStringLiteral("نسبة الإشغال 60% (6/10 وحدة). يمكن تحسين الإشغال.");
        QTest::newRow("50 is not above 50")
            << 5 << 0 << 5 << QStringLiteral("🔴")
            << QStringLiteral("نسبة الإشغال 50% (5/10 وحدة). يمكن تحسين الإشغال.");
        QTest::newRow("two thirds shows 67")
            << 2 << 0 << 1 << QStringLiteral("⚠️")
            << QStringLiteral("نسبة الإشغال 67% (2/3 وحدة). يمكن تحسين الإشغال.");
        QTest::newRow("sold units are not occupied")
            << 5 << 5 << 0 << QStringLiteral("🔴")
            << QStringLiteral("نسبة الإشغال 50% (5/10 وحدة). يمكن تحسين الإشغال.");
    }

    void occupancyCard()
    {
        QFETCH(int, rented);
        QFETCH(int, sold);
        QFETCH(int, available);
        QFETCH(QString, icon);
        QFETCH(QString, description);
        addUnits(rented, sold, available);

        const QVariantList cards = m_reports->getAIInsights();
        const QVariantMap card = cards.value(0).toMap();
        QCOMPARE(card.keys(), QStringList({ "description", "icon", "title" }));
        QCOMPARE(card.value("title").toString(), QStringLiteral("تحليل الإشغال"));
        QCOMPARE(card.value("icon").toString(), icon);
        QCOMPARE(card.value("description").toString(), description);
    }

    void unitsOutOfServiceAreCountedApart()
    {
        // 4 rented and 1 sold of the 5 units in service; 2 more under repair stay outside the rates.
        addUnits(4, 1, 0);
        m_fx->unit(m_property, QStringLiteral("m1"), QStringLiteral("maintenance"));
        m_fx->unit(m_property, QStringLiteral("m2"), QStringLiteral("maintenance"));
        QCOMPARE(m_reports->getAIInsights().value(0).toMap().value("description").toString(),
            QStringLiteral("نسبة الإشغال 80% (4/5 وحدة). 2 وحدة خارج الخدمة. يمكن تحسين الإشغال."));
        const QVariantMap analysis = m_reports->getSmartAIAnalysis();
        QCOMPARE(analysis.value("occupancy").toDouble(), 100.0);
        QCOMPARE(analysis.value("placed_units").toInt(), 5);
        QCOMPARE(analysis.value("available_units").toInt(), 0);
        QCOMPARE(analysis.value("out_of_service_units").toInt(), 2);
    }

    void overdueInvoicesCard_data()
    {
        QTest::addColumn<double>("overdue");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing overdue") << 0.0 << QStringLiteral("✅") << QStringLiteral("0");
        QTest::newRow("999.4") << 999.4 << QStringLiteral("✅") << QStringLiteral("999");
        QTest::newRow("999.6 reads 1000 but stays green")
            << 999.6 << QStringLiteral("✅") << QStringLiteral("1000");
        QTest::newRow("1000 exactly") << 1000.0 << QStringLiteral("🔴") << QStringLiteral("1000");
        QTest::newRow("1234.4") << 1234.4 << QStringLiteral("🔴") << QStringLiteral("1234");
    }

    void overdueInvoicesCard()
    {
        QFETCH(double, overdue);
        QFETCH(QString, icon);
        QFETCH(QString, shown);
        if (overdue > 0) {
            // Half paid, due yesterday: only the open balance counts.
            m_fx->invoice(m_tenant, QVariant(), overdue + 300, 300, QStringLiteral("partial"),
                QStringLiteral("2025-06-14"));
        }
        // Due today, paid, or void: never overdue.
        m_fx->invoice(m_tenant, QVariant(), 5000, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->invoice(m_tenant, QVariant(), 800, 800, QStringLiteral("paid"), QStringLiteral("2025-01-28"));
        m_fx->invoice(m_tenant, QVariant(), 7000, 0, QStringLiteral("void"), QStringLiteral("2025-01-28"));

        const QVariantMap card = m_reports->getAIInsights().value(1).toMap();
        QCOMPARE(card.value("title").toString(), QStringLiteral("المستحقات المتأخرة"));
        QCOMPARE(card.value("icon").toString(), icon);
        QCOMPARE(card.value("description").toString(),
            QStringLiteral("إجمالي المتأخرات: ") + shown + QStringLiteral(" ₪"));
    }

    void quietOfficeHasTwoCards()
    {
        // Installments due today and cheques due in eight days are not yet worth a card.
        const int unit = m_fx->unit(m_property, QStringLiteral("1"), QStringLiteral("sold"));
        m_fx->installment(m_buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->installment(m_buyer, unit, 500, 500, QStringLiteral("paid"), QStringLiteral("2025-01-15"));
        m_fx->cheque(QStringLiteral("1"), 500, QStringLiteral("pending"), QStringLiteral("2025-06-23"));
        m_fx->cheque(QStringLiteral("2"), 500, QStringLiteral("paid"), QStringLiteral("2025-06-14"));

        const QVariantList cards = m_reports->getAIInsights();
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards.at(0).toMap().value("title").toString(), QStringLiteral("تحليل الإشغال"));
        QCOMPARE(cards.at(1).toMap().value("title").toString(), QStringLiteral("المستحقات المتأخرة"));
    }

    void busyOfficeHasFourCardsInOrder()
    {
        const int unit = m_fx->unit(m_property, QStringLiteral("1"), QStringLiteral("sold"));
        m_fx->installment(m_buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-01"));
        m_fx->installment(
            m_buyer, unit, 1000, 400.4, QStringLiteral("partial"), QStringLiteral("2025-06-14"));
        m_fx->installment(m_buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->installment(m_buyer, unit, 500, 500, QStringLiteral("paid"), QStringLiteral("2025-05-15"));
        // Pending and due yesterday, today and in exactly seven days; not in eight, not cashed.
        m_fx->cheque(QStringLiteral("1"), 250.2, QStringLiteral("pending"), QStringLiteral("2025-06-14"));
        m_fx->cheque(QStringLiteral("2"), 500, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->cheque(QStringLiteral("3"), 749.8, QStringLiteral("pending"), QStringLiteral("2025-06-22"));
        m_fx->cheque(QStringLiteral("4"), 9000, QStringLiteral("pending"), QStringLiteral("2025-06-23"));
        m_fx->cheque(QStringLiteral("5"), 9000, QStringLiteral("paid"), QStringLiteral("2025-06-16"));
        m_fx->cheque(QStringLiteral("6"), 9000, QStringLiteral("bounced"), QStringLiteral("2025-06-16"));
        // A cheque the office issued is paid out, not collected.
        const int issued = m_fx->cheque(
            QStringLiteral("7"), 9000, QStringLiteral("pending"), QStringLiteral("2025-06-16"));
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE cheques SET type='issued' WHERE id=?"), { issued }));

        const QVariantList cards = m_reports->getAIInsights();
        QCOMPARE(cards.size(), 4);
        const QVariantMap installments = cards.at(2).toMap();
        QCOMPARE(installments.value("icon").toString(), QStringLiteral("⚠️"));
        QCOMPARE(installments.value("title").toString(), QStringLiteral("أقساط متأخرة"));
        // 500 + 599.6 open.
        QCOMPARE(installments.value("description").toString(), QStringLiteral("2 قسط متأخر بقيمة 1100 ₪"));
        const QVariantMap cheques = cards.at(3).toMap();
        QCOMPARE(cheques.value("icon").toString(), QStringLiteral("🎫"));
        QCOMPARE(cheques.value("title").toString(), QStringLiteral("شيكات مستحقة"));
        QCOMPARE(
            cheques.value("description").toString(), QStringLiteral("3 شيك مستحق خلال 7 أيام بقيمة 1500"));
        QVERIFY(!cardTitled(cards, QStringLiteral("تحليل الإشغال")).isEmpty());
    }

    void analysisWithoutTakings()
    {
        const QVariantMap analysis = m_reports->getSmartAIAnalysis();
        QCOMPARE(analysis.keys(),
            QStringList({ "available_units", "occupancy", "out_of_service_units", "placed_units", "text" }));
        QCOMPARE(analysis.value("occupancy").toDouble(), 0.0);
        QCOMPARE(analysis.value("text").toString(),
            kHeading + kNoData + portfolioLine(QStringLiteral("0.0"), kGrowthAdvice) + kRecommendations);
    }

    void analysisAtThirtyPercentMarginAdvisesReview()
    {
        // Revenue 10000, net 3000: a margin of exactly 30 is not above 30. Seven of ten units
        // rented or sold: 70 is healthy. Two overdue installments, three cheques due this week.
        const int unit = m_fx->unit(m_property, QStringLiteral("S"), QStringLiteral("sold"));
        addUnits(4, 2, 3);
        m_fx->downPayment(m_buyer, unit, 6000, QStringLiteral("2025-01-01"));
        m_fx->buyerPayment(
            m_buyer, unit, 4000, QStringLiteral("2025-02-01"), QStringLiteral("تحصيل قسط - معرف: 1"));
        m_fx->expense(m_property, QVariant(), 7000, QStringLiteral("2025-01-05"));
        m_fx->installment(m_buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-01"));
        m_fx->installment(m_buyer, unit, 500, 100, QStringLiteral("partial"), QStringLiteral("2025-06-14"));
        m_fx->installment(m_buyer, unit, 500, 0, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->cheque(QStringLiteral("1"), 100, QStringLiteral("pending"), QStringLiteral("2025-06-01"));
        m_fx->cheque(QStringLiteral("2"), 100, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        m_fx->cheque(QStringLiteral("3"), 100, QStringLiteral("pending"), QStringLiteral("2025-06-22"));
        m_fx->cheque(QStringLiteral("4"), 100, QStringLiteral("pending"), QStringLiteral("2025-06-23"));
        const int issued
            = m_fx->cheque(QStringLiteral("5"), 100, QStringLiteral("pending"), QStringLiteral("2025-06-15"));
        QVERIFY(m_db->db()->execNonQuery(
            QStringLiteral("UPDATE cheques SET type='issued' WHERE id=?"), { issued }));

        const QVariantMap analysis = m_reports->getSmartAIAnalysis();
        QCOMPARE(analysis.value("occupancy").toDouble(), 70.0);
        const QString expected = kHeading
            + financeLine(QStringLiteral("10000"), QStringLiteral("30.0"), kReviewAdvice)
            + portfolioLine(QStringLiteral("70.0"), kHealthy) + kRecommendations
            + QStringLiteral(
                "- هناك **2** دفعات متأخرة. يُفضل التواصل مع العملاء لتحصيلها لضمان تدفق نقدي مستقر.\n")
            + QStringLiteral("- تنبيه: يوجد **3** شيكات تستحق خلال الأسبوع القادم. تأكد من توفر السيولة أو "
                             "متابعة التحصيل.\n");
        QCOMPARE(analysis.value("text").toString(), expected);
    }

    void analysisOfAHealthyMargin()
    {
        // Revenue 10000, expenses 1999: margin 80.01 shows 80.0.
        const int tenantUnit = m_fx->unit(m_property, QStringLiteral("R"), QStringLiteral("rented"));
        const int invoice = m_fx->invoice(
            m_tenant, tenantUnit, 10000, 10000, QStringLiteral("paid"), QStringLiteral("2025-03-28"));
        m_fx->rentPayment(invoice, m_tenant, 10000, QStringLiteral("2025-03-10"));
        m_fx->expense(m_property, QVariant(), 1999, QStringLiteral("2025-03-11"));

        const QString text = m_reports->getSmartAIAnalysis().value("text").toString();
        QCOMPARE(text,
            kHeading + financeLine(QStringLiteral("10000"), QStringLiteral("80.0"), kExcellentMargin)
                + portfolioLine(QStringLiteral("100.0"), kHealthy) + kRecommendations);
    }

    void analysisOfALoss()
    {
        const int unit = m_fx->unit(m_property, QStringLiteral("1"));
        m_fx->buyerPayment(m_buyer, unit, 1234.5, QStringLiteral("2025-01-01"), QString());
        m_fx->expense(m_property, QVariant(), 2469, QStringLiteral("2025-01-05"));
        const QString text = m_reports->getSmartAIAnalysis().value("text").toString();
        QVERIFY2(
            text.contains(financeLine(QStringLiteral("1234.5"), QStringLiteral("-100.0"), kReviewAdvice)),
            qPrintable(text));
    }

    void twoThirdsReadsSixtySevenOnTheCardAndSixtySixPointSevenInTheText()
    {
        addUnits(1, 1, 1);
        const QVariantMap analysis = m_reports->getSmartAIAnalysis();
        QCOMPARE(analysis.value("occupancy").toDouble(), 200.0 / 3);
        QVERIFY(
            analysis.value("text").toString().contains(portfolioLine(QStringLiteral("66.7"), kGrowthAdvice)));

        addUnits(1, 0, 0); // now 2 rented of 4 for the card; the analysis 3 of 4
        QCOMPARE(m_reports->getSmartAIAnalysis().value("occupancy").toDouble(), 75.0);
        m_db->db()->execNonQuery(QStringLiteral("DELETE FROM units WHERE status = 'sold'"));
        QCOMPARE(m_reports->getAIInsights().value(0).toMap().value("description").toString(),
            QStringLiteral("نسبة الإشغال 67% (2/3 وحدة). يمكن تحسين الإشغال."));
    }

    void largeRevenueIsWrittenOutInFull()
    {
        // Not 1.5e+06: a money figure in a sentence is written out, to the cent at most.
        const int unit = m_fx->unit(m_property, QStringLiteral("1"), QStringLiteral("sold"));
        m_fx->buyerPayment(m_buyer, unit, 1500000, QStringLiteral("2025-01-01"), QString());
        QVERIFY(m_reports->getSmartAIAnalysis().value("text").toString().contains(
            QStringLiteral("قدرها **1500000 ₪**")));
    }

    void moneyFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 10000.0 << QStringLiteral("10000");
        QTest::newRow("round million") << 1500000.0 << QStringLiteral("1500000");
        QTest::newRow("half") << 1500.5 << QStringLiteral("1500.5");
        QTest::newRow("cents") << 12.34 << QStringLiteral("12.34");
        QTest::newRow("sum noise") << (0.1 + 0.2) << QStringLiteral("0.3");
        QTest::newRow("sum noise above") << (1000.1 + 0.2) << QStringLiteral("1000.3");
        QTest::newRow("below a cent") << 0.004 << QStringLiteral("0");
        QTest::newRow("negative") << -250.75 << QStringLiteral("-250.75");
    }

    void moneyFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(BusinessInsights::money(value), text);
    }

private:
    void addUnits(int rented, int sold, int available)
    {
        static int next = 0;
        for (int i = 0; i < rented; ++i)
            m_fx->unit(m_property, QStringLiteral("r%1").arg(++next), QStringLiteral("rented"));
        for (int i = 0; i < sold; ++i)
            m_fx->unit(m_property, QStringLiteral("s%1").arg(++next), QStringLiteral("sold"));
        for (int i = 0; i < available; ++i)
            m_fx->unit(m_property, QStringLiteral("a%1").arg(++next), QStringLiteral("available"));
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ReportFixtures> m_fx;
    std::unique_ptr<ReportController> m_reports;
    int m_property = 0;
    int m_buyer = 0;
    int m_tenant = 0;
};

QTEST_GUILESS_MAIN(TestReportControllerInsights)
#include "tst_reportcontroller_insights.moc"
