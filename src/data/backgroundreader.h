#pragma once

#include <QObject>
#include <QThreadPool>
#include <QVariantList>

#include <functional>

class Database;

/**
 * Runs a long read beside the interface, on a read-only connection of its own to the same file,
 * so a whole-history report does not hold the window still while it walks every payment. The file
 * is in write-ahead-log mode: the read sees the last committed state and never blocks a writer.
 *
 * The answer is handed back on this object's thread. Reads still running when the reader goes are
 * waited for, and their answers dropped.
 */
class BackgroundReader : public QObject
{
    Q_OBJECT
public:
    /** `ok` is false when the read could not be made (no file, a failing statement). */
    using Done = std::function<void(bool ok, const QVariantList& rows)>;

    explicit BackgroundReader(Database* db, QObject* parent = nullptr);
    ~BackgroundReader() override;

    void read(const QString& sql, const QVariantList& params, Done done);

private:
    Database* m_db;
    QThreadPool m_pool;
};
