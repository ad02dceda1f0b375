#include "qmltestsupport.h"

#include "appbackend.h"
#include "backend.h"
#include "backupmanager.h"
#include "clock.h"
#include "consistency.h"
#include "database.h"
#include "printcontroller.h"
#include "recordingdesktop.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QTemporaryDir>

QmlTestSupport::QmlTestSupport(QQmlEngine* engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{ }

QmlTestSupport::~QmlTestSupport()
{
    dropBackend();
}

void QmlTestSupport::dropBackend()
{
    // Windows of the previous test were destroyed with deleteLater(); let them go before the
    // objects their bindings point at.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_backend && m_engine)
        Backend::detach(m_engine);
    m_backend.reset();
    m_desktop.reset();
    m_database.reset();
    m_dir.reset();
}

bool QmlTestSupport::freshDatabase(bool firstRun)
{
    dropBackend();
    Clock::setToday(QDate());
    m_dir = std::make_unique<QTemporaryDir>();
    m_database = std::make_unique<Database>();
    if (!m_dir->isValid() || !m_database->initialize(m_dir->filePath(QStringLiteral("darvelinto.db")))) {
        qWarning("could not create the test database");
        return false;
    }
    if (firstRun && !m_database->execNonQuery(QStringLiteral("UPDATE currencies SET is_primary=0")))
        return false;
    pinHomeFolder(homeDir());
    m_backend = std::make_unique<AppBackend>(m_database.get(), m_dir->path());
    m_desktop = std::make_unique<RecordingDesktop>();
    m_backend->printController()->setDesktopServices(m_desktop.get());
    m_backend->backupManager()->setDesktopServices(m_desktop.get());
    Backend::attach(m_engine, *m_backend);
    return true;
}

int QmlTestSupport::count(const QString& tableOrSql, const QVariantList& params) const
{
    const bool bareTable = !tableOrSql.contains(QLatin1Char(' '));
    const QString sql = bareTable
        ? QStringLiteral("SELECT COUNT(*) FROM ") + tableOrSql
        : QStringLiteral("SELECT COUNT(*) FROM (") + tableOrSql + QStringLiteral(") AS counted");
    return m_database ? m_database->scalar(sql, params).toInt() : -1;
}

QVariant QmlTestSupport::value(const QString& sql, const QVariantList& params) const
{
    return m_database ? m_database->scalar(sql, params) : QVariant();
}

QString QmlTestSupport::digest() const
{
    return m_database ? QString::fromLatin1(Consistency::contentHash(m_database->getDb()).toHex())
                      : QString();
}

QStringList QmlTestSupport::problems() const
{
    return m_database ? Consistency::problems(m_database->getDb())
                      : QStringList { QStringLiteral("no database") };
}

bool QmlTestSupport::exec(const QString& sql, const QVariantList& params) const
{
    return m_database && m_database->execNonQuery(sql, params);
}

void QmlTestSupport::setToday(const QString& isoDate) const
{
    Clock::setToday(isoDate.isEmpty() ? QDate() : QDate::fromString(isoDate, Qt::ISODate));
}

QString QmlTestSupport::failureImagePath(const QString& name) const
{
    QString dir = qEnvironmentVariable("QML_FAILURE_IMAGES");
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    QString safe = name;
    safe.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QDir(dir).filePath(safe + QStringLiteral(".png"));
}

QString QmlTestSupport::dataDir() const
{
    return m_dir ? m_dir->path() : QString();
}

QStringList QmlTestSupport::openedFiles() const
{
    return m_desktop ? m_desktop->opened : QStringList();
}

bool QmlTestSupport::fileExists(const QString& path) const
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

QString QmlTestSupport::homeDir() const
{
    return m_dir ? m_dir->filePath(QStringLiteral("home")) : QString();
}

void QmlTestSupport::setChooserAnswer(const QString& path) const
{
    if (m_desktop)
        m_desktop->nextChoice = path;
}

QStringList QmlTestSupport::filesIn(const QString& folder) const
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
