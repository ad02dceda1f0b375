#pragma once

#include <QObject>
#include <QString>

/**
 * A back-end object that tells why it refused: every write a user can reach leaves a short Arabic
 * reason in `lastError` when it refuses (a duplicate identity number, a contract already ended, an
 * amount above what is owed...) and clears it when it succeeds, so a page shows the reason the
 * back end gave instead of guessing one.
 */
class Refusable : public QObject
{
    Q_OBJECT
    /** Why the last write was refused, in Arabic for the user; empty after a success. */
    Q_PROPERTY(QString lastError READ lastError NOTIFY lastErrorChanged)
public:
    using QObject::QObject;

    QString lastError() const { return m_lastError; }

signals:
    void lastErrorChanged();

protected:
    /** Keeps `reason` as the answer of the current call; returns false for the caller to return. */
    bool refuse(const QString& reason);
    /** As refuse(), for a call that answers the id of a new row: returns -1. */
    int refuseRow(const QString& reason)
    {
        refuse(reason);
        return -1;
    }
    /** The reason of a write the database did not take: nothing was changed. */
    bool refuseUnsaved();
    int refuseUnsavedRow()
    {
        refuseUnsaved();
        return -1;
    }
    /** The current call succeeded: an earlier refusal no longer applies. */
    void clearRefusal() { setLastError(QString()); }

private:
    void setLastError(const QString& text);

    QString m_lastError;
};
