#pragma once

#include <QObject>
#include <QStringList>
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

    /**
     * Prints a table whose columns are given in reading order: `headers` heads them and each row
     * of `rows` is a list of cell values in the same order (already formatted). `summary` is a list
     * of [label, value] pairs shown in that order above the table. Returns the path of the written
     * file, or empty text when it could not be written.
     */
    Q_INVOKABLE QString printTable(const QString& title, const QStringList& headers, const QVariantList& rows,
        const QVariantList& summary = QVariantList());
    /**
     * Prints a text written in Markdown (headings, emphasis, lists) under the letterhead. Returns the
     * path of the written file, or empty text when it could not be written.
     */
    Q_INVOKABLE QString printText(const QString& title, const QString& markdown);
    /**
     * Prints a letter of plain text (a reminder) under the letterhead, one paragraph per line, as
     * `Letter_<recipient>_<date>.pdf`. Returns the path of the written file, or empty text.
     */
    Q_INVOKABLE QString printLetter(const QString& title, const QString& recipient, const QString& text);
    /**
     * Puts a Markdown text on the clipboard as the plain text a reader sees (list items marked
     * with "•"), with the Markdown beside it for programs that take it. False without a clipboard.
     */
    Q_INVOKABLE bool copyToClipboard(const QString& markdown);

    /** The Arabic heading of a record key (and of the unit statuses); other keys come back unchanged. */
    static QString translateHeader(const QString& key);

    /** The documents the two print operations write, exposed so their content can be checked. */
    QString reportHtml(const QString& title, const QVariantList& data, const QVariantMap& summary) const;
    QString statementHtml(const QString& entityName, const QString& entityType,
        const QVariantList& transactions, const QVariantMap& totals) const;
    QString tableHtml(const QString& title, const QStringList& headers, const QVariantList& rows,
        const QVariantList& summary) const;
    QString textHtml(const QString& title, const QString& markdown) const;
    QString letterHtml(const QString& title, const QString& text) const;
    /** The plain text copyToClipboard() puts on the clipboard. */
    static QString markdownAsPlainText(const QString& markdown);

    /** Runs of white space become one "_" and characters no file name may hold are replaced. */
    static QString safeFileName(const QString& text);

    /**
     * For documents composed elsewhere (receipts): writes `html` as an A4 PDF named `fileName` in
     * the documents folder, right to left, without opening it. The path, or empty text (and
     * printError) when it could not be written.
     */
    QString writeDocument(const QString& html, const QString& fileName);
    /** Opens a document writeDocument() wrote and tells printFinished. */
    void openDocument(const QString& path);
    /** Text from outside a document, escaped and kept in its own direction inside an Arabic line. */
    static QString plainText(const QString& text);

    /** Replaces the desktop that opens the written file; tests hand in a recording fake. */
    void setDesktopServices(DesktopServices* desktop);

signals:
    void printStarted();
    void printFinished(bool success, const QString& filePath);
    void printError(const QString& message);

private:
    /** Writes the document, opens it and tells both signals; the path written, or empty text. */
    QString writeAndOpen(const QString& html, const QString& fileName);
    QString reportHead(const QString& title) const;
    static QString summaryBox(const QStringList& cells);
    static QString reportFileName(const QString& title);
    [[nodiscard]] static bool writePdf(const QString& html, const QString& path, QString* error);
    QString companyName() const;
    QString companyPhone() const;
    QString companyAddress() const;

    SettingsManager* m_settings;
    DesktopServices* m_desktop;
};
