#include "officevocabulary.h"

namespace {

const QStringList kMaleNames = {
    QStringLiteral("محمد"),
    QStringLiteral("أحمد"),
    QStringLiteral("محمود"),
    QStringLiteral("خالد"),
    QStringLiteral("يوسف"),
    QStringLiteral("إبراهيم"),
    QStringLiteral("عمر"),
    QStringLiteral("علي"),
    QStringLiteral("حسن"),
    QStringLiteral("سامي"),
    QStringLiteral("رامي"),
    QStringLiteral("فادي"),
    QStringLiteral("ماهر"),
    QStringLiteral("نادر"),
    QStringLiteral("طارق"),
    QStringLiteral("زياد"),
    QStringLiteral("باسل"),
    QStringLiteral("وائل"),
    QStringLiteral("جمال"),
    QStringLiteral("كريم"),
    QStringLiteral("سليم"),
    QStringLiteral("عادل"),
    QStringLiteral("مازن"),
    QStringLiteral("هشام"),
    QStringLiteral("أنس"),
    QStringLiteral("بلال"),
    QStringLiteral("إياد"),
    QStringLiteral("عماد"),
    QStringLiteral("مصطفى"),
    QStringLiteral("عبد الله"),
    QStringLiteral("عبد الرحمن"),
    QStringLiteral("سعيد"),
};

const QStringList kFemaleNames = {
    QStringLiteral("فاطمة"),
    QStringLiteral("مريم"),
    QStringLiteral("سارة"),
    QStringLiteral("ليلى"),
    QStringLiteral("هدى"),
    QStringLiteral("رنا"),
    QStringLiteral("دينا"),
    QStringLiteral("نور"),
    QStringLiteral("سلمى"),
    QStringLiteral("ريم"),
    QStringLiteral("هالة"),
    QStringLiteral("منى"),
    QStringLiteral("لينا"),
    QStringLiteral("عبير"),
    QStringLiteral("سناء"),
    QStringLiteral("أمل"),
};

const QStringList kFamilyNames = {
    QStringLiteral("الخطيب"),
    QStringLiteral("النجار"),
    QStringLiteral("الحداد"),
    QStringLiteral("العلي"),
    QStringLiteral("المصري"),
    QStringLiteral("الشريف"),
    QStringLiteral("عودة"),
    QStringLiteral("حمدان"),
    QStringLiteral("سلامة"),
    QStringLiteral("يونس"),
    QStringLiteral("القاسم"),
    QStringLiteral("الأحمد"),
    QStringLiteral("البزور"),
    QStringLiteral("التميمي"),
    QStringLiteral("الجعبري"),
    QStringLiteral("الحسيني"),
    QStringLiteral("الدجاني"),
    QStringLiteral("الرفاعي"),
    QStringLiteral("الزعبي"),
    QStringLiteral("السقا"),
    QStringLiteral("الشامي"),
    QStringLiteral("الصالح"),
    QStringLiteral("الطويل"),
    QStringLiteral("العمري"),
    QStringLiteral("الغول"),
    QStringLiteral("الفارس"),
    QStringLiteral("القدسي"),
    QStringLiteral("الكرمي"),
    QStringLiteral("اللحام"),
    QStringLiteral("المحتسب"),
    QStringLiteral("النابلسي"),
    QStringLiteral("الهندي"),
    QStringLiteral("أبو زيد"),
    QStringLiteral("أبو غوش"),
    QStringLiteral("أبو شقرة"),
    QStringLiteral("بركات"),
    QStringLiteral("جرار"),
    QStringLiteral("حجازي"),
    QStringLiteral("خليل"),
    QStringLiteral("دويك"),
    QStringLiteral("زيدان"),
    QStringLiteral("شاهين"),
    QStringLiteral("عابدين"),
    QStringLiteral("عيسى"),
    QStringLiteral("قعدان"),
    QStringLiteral("مرعي"),
    QStringLiteral("نصار"),
    QStringLiteral("ياسين"),
};

const QStringList kCities = {
    QStringLiteral("رام الله"),
    QStringLiteral("نابلس"),
    QStringLiteral("الخليل"),
    QStringLiteral("بيت لحم"),
    QStringLiteral("جنين"),
    QStringLiteral("طولكرم"),
    QStringLiteral("أريحا"),
    QStringLiteral("القدس"),
    QStringLiteral("عمّان"),
    QStringLiteral("إربد"),
    QStringLiteral("الزرقاء"),
};

const QStringList kStreets = {
    QStringLiteral("شارع الإرسال"),
    QStringLiteral("شارع القدس"),
    QStringLiteral("شارع الجامعة"),
    QStringLiteral("شارع النزهة"),
    QStringLiteral("شارع الملك فيصل"),
    QStringLiteral("شارع المدارس"),
    QStringLiteral("شارع الصناعة"),
    QStringLiteral("شارع البلدية"),
    QStringLiteral("شارع الحرية"),
    QStringLiteral("شارع السلام"),
    QStringLiteral("حي الماصيون"),
    QStringLiteral("حي الطيرة"),
    QStringLiteral("حي المصايف"),
    QStringLiteral("حي الشرفة"),
    QStringLiteral("دوار المنارة"),
};

const QStringList kBuildingWords = {
    QStringLiteral("عمارة"),
    QStringLiteral("برج"),
    QStringLiteral("مجمع"),
    QStringLiteral("إسكان"),
    QStringLiteral("مشروع"),
    QStringLiteral("بناية"),
};

const QStringList kBuildingNames = {
    QStringLiteral("الأمل"),
    QStringLiteral("النور"),
    QStringLiteral("الياسمين"),
    QStringLiteral("الزيتون"),
    QStringLiteral("الريحان"),
    QStringLiteral("السنابل"),
    QStringLiteral("الواحة"),
    QStringLiteral("الفردوس"),
    QStringLiteral("القمر"),
    QStringLiteral("الروابي"),
    QStringLiteral("النخيل"),
    QStringLiteral("الشروق"),
    QStringLiteral("الكرمل"),
    QStringLiteral("الأندلس"),
    QStringLiteral("اللؤلؤة"),
    QStringLiteral("المروج"),
    QStringLiteral("الربيع"),
    QStringLiteral("الجوهرة"),
    QStringLiteral("السلام"),
    QStringLiteral("الرياحين"),
};

const QStringList kCompanyWords = {
    QStringLiteral("شركة"),
    QStringLiteral("مؤسسة"),
    QStringLiteral("مكتب"),
    QStringLiteral("ورشة"),
};

const QStringList kBanks = {
    QStringLiteral("بنك فلسطين"),
    QStringLiteral("البنك العربي"),
    QStringLiteral("بنك القدس"),
    QStringLiteral("البنك الإسلامي الفلسطيني"),
    QStringLiteral("بنك الاستثمار"),
    QStringLiteral("بنك الإسكان"),
    QStringLiteral("البنك الأهلي الأردني"),
};

const QStringList kTrades = {
    QStringLiteral("سباكة"),
    QStringLiteral("كهرباء"),
    QStringLiteral("دهان"),
    QStringLiteral("نجارة"),
    QStringLiteral("تكييف وتبريد"),
    QStringLiteral("مصاعد"),
    QStringLiteral("تنظيف"),
    QStringLiteral("حدادة"),
    QStringLiteral("بلاط وسيراميك"),
    QStringLiteral("مقاولات عامة"),
};

const QStringList kExpenseCategories = {
    QStringLiteral("صيانة"),
    QStringLiteral("كهرباء"),
    QStringLiteral("مياه"),
    QStringLiteral("تنظيف"),
    QStringLiteral("رواتب"),
    QStringLiteral("ضرائب ورسوم"),
    QStringLiteral("تأمين"),
    QStringLiteral("تشطيبات"),
};

const QStringList kWorkCategories = {
    QStringLiteral("سباكة"),
    QStringLiteral("كهرباء"),
    QStringLiteral("دهان"),
    QStringLiteral("نجارة"),
    QStringLiteral("تكييف"),
    QStringLiteral("مصاعد"),
    QStringLiteral("أعمال عامة"),
};

const QStringList kMaintenanceTitles = {
    QStringLiteral("تسريب مياه في المطبخ"),
    QStringLiteral("عطل في سخان المياه"),
    QStringLiteral("انقطاع الكهرباء في غرفة النوم"),
    QStringLiteral("تكييف لا يبرد"),
    QStringLiteral("باب المدخل لا يغلق"),
    QStringLiteral("انسداد في المجاري"),
    QStringLiteral("تشقق في دهان الجدار"),
    QStringLiteral("عطل في جرس الباب"),
    QStringLiteral("تسريب من السقف"),
    QStringLiteral("كسر في زجاج النافذة"),
    QStringLiteral("عطل في المصعد"),
    QStringLiteral("صيانة خزان المياه"),
};

const QStringList kMaintenanceDetails = {
    QStringLiteral("أبلغ المستأجر عن المشكلة هاتفياً"),
    QStringLiteral("المشكلة متكررة منذ أسبوع"),
    QStringLiteral("يرجى التنسيق مع المستأجر قبل الزيارة"),
    QStringLiteral("تحتاج قطع غيار"),
    QStringLiteral("عاجل بسبب الأضرار"),
    QStringLiteral(""),
};

const QStringList kServiceCharges = {
    QStringLiteral("صيانة المصعد"),
    QStringLiteral("تنظيف الدرج والمداخل"),
    QStringLiteral("حراسة المبنى"),
    QStringLiteral("صيانة خزانات المياه"),
};

} // namespace

OfficeVocabulary::OfficeVocabulary(QRandomGenerator* random)
    : m_random(random)
{ }

const QString& OfficeVocabulary::pick(const QStringList& words)
{
    return words.at(static_cast<int>(m_random->bounded(static_cast<quint32>(words.size()))));
}

QString OfficeVocabulary::personName()
{
    const bool female = m_random->bounded(4u) == 0;
    QStringList parts { female ? pick(kFemaleNames) : pick(kMaleNames), pick(kMaleNames) };
    if (m_random->bounded(2u) == 0)
        parts.append(pick(kMaleNames));
    parts.append(pick(kFamilyNames));
    return parts.join(QLatin1Char(' '));
}

QString OfficeVocabulary::companyName()
{
    return pick(kCompanyWords) + QLatin1Char(' ') + pick(kFamilyNames) + QLatin1Char(' ')
        + (m_random->bounded(2u) == 0 ? QStringLiteral("للمقاولات") : QStringLiteral("للخدمات الفنية"));
}

QString OfficeVocabulary::city()
{
    return pick(kCities);
}

QString OfficeVocabulary::address(const QString& city)
{
    return pick(kStreets) + QStringLiteral("، ") + city;
}

QString OfficeVocabulary::propertyName(int index)
{
    // Names are dealt in turn rather than drawn, so that no two buildings share one; past the
    // 120 pairs the office tells them apart by a number.
    const int pairs = kBuildingWords.size() * kBuildingNames.size();
    const int pair = index % pairs;
    QString name = kBuildingWords.at(pair / kBuildingNames.size()) + QLatin1Char(' ')
        + kBuildingNames.at(pair % kBuildingNames.size());
    if (index >= pairs)
        name += QLatin1Char(' ') + QString::number(index / pairs + 1);
    return name;
}

QString OfficeVocabulary::phone()
{
    static const QStringList prefixes
        = { QStringLiteral("059"), QStringLiteral("056"), QStringLiteral("079"), QStringLiteral("077") };
    return pick(prefixes) + QString::number(1000000 + m_random->bounded(8999999u));
}

QString OfficeVocabulary::bank()
{
    return pick(kBanks);
}

QString OfficeVocabulary::trade()
{
    return pick(kTrades);
}

QString OfficeVocabulary::expenseCategory()
{
    return pick(kExpenseCategories);
}

QString OfficeVocabulary::workCategory()
{
    return pick(kWorkCategories);
}

QString OfficeVocabulary::maintenanceTitle()
{
    return pick(kMaintenanceTitles);
}

QString OfficeVocabulary::maintenanceDescription()
{
    return pick(kMaintenanceDetails);
}

QString OfficeVocabulary::buildingServiceCharge()
{
    return pick(kServiceCharges);
}
