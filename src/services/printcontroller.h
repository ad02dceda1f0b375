#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class DesktopServices;
class SettingsManager;

/**
 * Turns what a page shows into an A4 PDF in the documents folder and opens it: a titled report
 * table with an optional summary, or a tenant's or buyer's account statement. The letterhead
 * comes from the company profile. Nothing is read from the database.
 *
 * Every printed text is HTML-escaped, so a value can never change the document's layout. The
 * rich-text engine lays tables out left to right whatever the text direction, so the columns are
 * written in reverse order to read right to left.
 */
class PrintController : public QObject
{
    Q_OBJECT
public:
    explicit PrintController(SettingsManager* settings, QObject* parent = nullptr);

    /** Prints data (records, one row each) under title, with summary (label to value) above it. */
    Q_INVOKABLE void printReport(
        const QString& title, const QString& type, const QVariantList& data, const QVariantMap& summary);
    /** Prints the statement of one account: transactions with date, description, reference, amount, balance.
     */
    Q_INVOKABLE void printStatement(const QString& entityName, const QString& entityType,
        const QVariantList& transactions, const QVariantMap& totals);

    /** The Arabic heading of a record key (and of the unit statuses); other keys come back unchanged. */
    static QString translateHeader(const QString& key);

    /** The documents the two print operations write, exposed so their content can be checked. */
    QString reportHtml(const QString& title, const QVariantList& data, const QVariantMap& summary) const;
    QString statementHtml(const QString& entityName, const QString& entityType,
        const QVariantList& transactions, const QVariantMap& totals) const;

    /** Runs of white space become one "_" and characters no file name may hold are replaced. */
    static QString safeFileName(const QString& text);

    /** Replaces the desktop that opens the written file; tests hand in a recording fake. */
    void setDesktopServices(DesktopServices* desktop);

signals:
    void printStarted();
    void printFinished(bool success, const QString& filePath);
    void printError(const QString& message);

private:
    void writeAndOpen(const QString& html, const QString& fileName);
    [[nodiscard]] static bool writePdf(const QString& html, const QString& path, QString* error);
    QString companyName() const;
    QString companyPhone() const;
    QString companyAddress() const;

    SettingsManager* m_settings;
    DesktopServices* m_desktop;
};
