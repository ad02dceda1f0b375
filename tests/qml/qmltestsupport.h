#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QStringList>
#include <QVariantList>
#include <memory>

class AppBackend;
class Database;
class QTemporaryDir;
class RecordingDesktop;

/**
 * Gives the interface tests what start-up gives the program: a database in a temporary folder and
 * the back-end objects published through AppBackend. Published to the tests as `testSupport`.
 * The file and folder choosers of the recording desktop answer what setChooserAnswer() set.
 */
class QmlTestSupport : public QObject
{
    Q_OBJECT
public:
    explicit QmlTestSupport(QQmlEngine* engine, QObject* parent = nullptr);
    ~QmlTestSupport() override;

    /**
     * Replaces the database and every back-end object by new ones on a new file and publishes them.
     * With `firstRun` no currency is primary, so the log-in leads to the first-run setup page.
     * Call it before creating the window (it drops objects waiting for deletion first).
     */
    Q_INVOKABLE bool freshDatabase(bool firstRun = false);

    /** Number of rows of a table (bare name) or of a query. */
    Q_INVOKABLE int count(const QString& tableOrSql, const QVariantList& params = {}) const;
    /** The first column of the first row of a query. */
    Q_INVOKABLE QVariant value(const QString& sql, const QVariantList& params = {}) const;
    /** A digest of every row of every table: equal digests mean nothing was written. */
    Q_INVOKABLE QString digest() const;
    /** What the shared consistency checks find wrong with the books; empty when sound. */
    Q_INVOKABLE QStringList problems() const;
    /** Runs a statement (to arrange a case); false when it failed. */
    Q_INVOKABLE bool exec(const QString& sql, const QVariantList& params = {}) const;
    /** Pins the business date ("yyyy-MM-dd"); an empty text returns to the real date. */
    Q_INVOKABLE void setToday(const QString& isoDate) const;
    /**
     * Files the back end handed to the desktop to open since the last freshDatabase() (printed
     * PDFs, export folders): the tests run with a recording desktop and HOME pinned under the
     * database's folder, so nothing is opened and nothing is written into the real home.
     */
    Q_INVOKABLE QStringList openedFiles() const;
    /** True when the file exists and is not empty. */
    Q_INVOKABLE bool fileExists(const QString& path) const;

    /** Folder of the current database (backups and exports of the back end go under it). */
    Q_INVOKABLE QString dataDir() const;
    /** The home folder of the test (Documents and Desktop lie under it). */
    Q_INVOKABLE QString homeDir() const;
    /** What the next folder or file chooser returns; empty text means the user cancelled. */
    Q_INVOKABLE void setChooserAnswer(const QString& path) const;
    /** The names of the files in a folder, sorted. */
    Q_INVOKABLE QStringList filesIn(const QString& folder) const;
    /** Where to keep the picture of a failed test: $QML_FAILURE_IMAGES (or the temp folder)/<name>.png. */
    Q_INVOKABLE QString failureImagePath(const QString& name) const;

private:
    void dropBackend();

    QPointer<QQmlEngine> m_engine; // the test runner may destroy the engine before this object
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<AppBackend> m_backend;
    std::unique_ptr<RecordingDesktop> m_desktop;
};
