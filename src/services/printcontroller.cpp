#include "printcontroller.h"

#include "clock.h"
#include "desktopservices.h"
#include "settingsmanager.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

Q_LOGGING_CATEGORY(lcPrint, "darvelinto.print")

namespace {

// Laid out at screen resolution: at the writer's default 1200 dpi the document prints as
// microscopic text on near-blank pages.
constexpr int kPdfResolution = 96;
constexpr qreal kPageMarginMm = 15.0;

const QString kReportStyle = QStringLiteral(
    "body { font-family: 'Arial'; direction: rtl; margin: 20px; color: #1e293b; }"
    "header { text-align: center; border-bottom: 3px solid #C5A059; padding-bottom: 10px; margin-bottom: "
    "20px; }"
    "h1 { color: #C5A059; margin: 0; font-size: 24pt; }"
    "h2 { color: #334155; margin: 10px 0; font-size: 18pt; border-bottom: 1px solid #e2e8f0; display: "
    "inline-block; "
    "padding: 0 20px; }"
    ".summary-box { background: #f8fafc; border: 1px solid #cbd5e1; padding: 15px; border-radius: 8px; "
    "margin-bottom: 20px; }"
    "table { width: 100%; border-collapse: collapse; margin-top: 10px; table-layout: fixed; }"
    "th { background-color: #f1f5f9; color: #475569; border: 1px solid #cbd5e1; padding: 10px; font-size: "
    "11pt; "
    "text-align: center; }"
    "td { border: 1px solid #cbd5e1; padding: 8px; font-size: 10pt; text-align: center; word-wrap: "
    "break-word; }"
    "tr:nth-child(even) { background-color: #fcfcfc; }"
    "footer { margin-top: 40px; text-align: center; font-size: 9pt; color: #94a3b8; border-top: 1px solid "
    "#e2e8f0; "
    "padding-top: 10px; }");

const QString kStatementStyle = QStringLiteral(
    "body { font-family: 'Arial'; direction: rtl; margin: 20px; color: #1e293b; }"
    ".header-table { width: 100%; border-bottom: 3px solid #C5A059; margin-bottom: 20px; }"
    "h1 { color: #C5A059; margin: 0; font-size: 22pt; }"
    ".info-box { background: #f8fafc; border: 1px solid #e2e8f0; padding: 15px; border-radius: 8px; "
    "margin-bottom: 20px; width: 100%; }"
    ".totals-grid { display: table; width: 100%; margin-bottom: 20px; }"
    ".total-item { display: table-cell; background: #fff; border: 1px solid #C5A059; padding: 10px; "
    "text-align: center; border-radius: 6px; }"
    "table.data { width: 100%; border-collapse: collapse; }"
    "table.data th { background: #1e293b; color: #fff; padding: 10px; border: 1px solid #1e293b; }"
    "table.data td { padding: 10px; border: 1px solid #e2e8f0; text-align: center; }"
    ".footer-sig { margin-top: 50px; width: 100%; }");

// Keys that identify rows to the program, not to the reader of a report.
const QStringList kHiddenColumns = { QStringLiteral("id"), QStringLiteral("property_id"),
    QStringLiteral("tenant_id"), QStringLiteral("unit_id"), QStringLiteral("currency_id"),
    QStringLiteral("buyer_id"), QStringLiteral("active") };

/**
 * Text from outside the document, escaped so it prints as it reads, and isolated so its own
 * direction holds inside an Arabic line: a date after an Arabic label would otherwise come out
 * as "06-12-2024", a phone number as "2981234-02".
 */
QString isolated(const QString& text)
{
    return QChar(0x2068) + text.toHtmlEscaped() + QChar(0x2069);
}

/** A value in its plain text form (numbers in their shortest form), escaped and isolated. */
QString cellText(const QVariant& value)
{
    const QString text = value.typeId() == QMetaType::Double
        ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
        : value.toString();
    return isolated(text);
}

/** Cells in reading order, written last first: the engine places the first cell on the left. */
QString rightToLeftRow(QStringList cells)
{
    std::reverse(cells.begin(), cells.end());
    return QStringLiteral("<tr>") + cells.join(QString()) + QStringLiteral("</tr>");
}

/**
 * The engine reads neither "direction" nor "dir" from HTML: set right to left on the root frame
 * and every block. An explicit "text-align: right" or "left" means that side of the page, so it
 * is made absolute rather than mirrored along with the direction.
 */
void applyRightToLeft(QTextDocument& document)
{
    QTextFrameFormat root = document.rootFrame()->frameFormat();
    root.setLayoutDirection(Qt::RightToLeft);
    document.rootFrame()->setFrameFormat(root);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLayoutDirection(Qt::RightToLeft);
        const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
        if (format.hasProperty(QTextFormat::BlockAlignment)
            && (horizontal == Qt::AlignLeft || horizontal == Qt::AlignRight))
            format.setAlignment(format.alignment() | Qt::AlignAbsolute);
        QTextCursor(block).setBlockFormat(format);
    }
}

/** Reads Markdown with any HTML in it taken as text, so a value can never change the layout. */
void readMarkdown(QTextDocument& document, const QString& markdown)
{
    document.setMarkdown(markdown,
        QTextDocument::MarkdownFeatures(
            QTextDocument::MarkdownDialectGitHub | QTextDocument::MarkdownNoHTML));
}

/** One "label: value" cell of a report's summary box. */
QString summaryCell(const QString& label, const QVariant& value)
{
    return QStringLiteral("<td style='border:none; text-align:right;'><b>") + isolated(label)
        + QStringLiteral(":</b> <span style='color:#C5A059; font-weight:bold;'>") + cellText(value)
        + QStringLiteral("</span></td>");
}

const QString kReportFooter
    = QStringLiteral("<footer><p style='margin-top:40px; text-align:center; font-size:9pt; color:#94a3b8;'>"
                     "طبع بواسطة نظام Darvelinto العقاري</p></footer></body></html>");

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace

PrintController::PrintController(SettingsManager* settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_desktop(DesktopServices::system())
{ }

void PrintController::setDesktopServices(DesktopServices* desktop)
{
    m_desktop = desktop ? desktop : DesktopServices::system();
}

QString PrintController::companyName() const
{
    return m_settings ? m_settings->companyName() : QString();
}

QString PrintController::companyPhone() const
{
    return m_settings ? m_settings->companyPhone() : QString();
}

QString PrintController::companyAddress() const
{
    return m_settings ? m_settings->companyAddress() : QString();
}

QString PrintController::translateHeader(const QString& key)
{
    static const QHash<QString, QString> headings {
        { QStringLiteral("id"), QStringLiteral("م") },
        { QStringLiteral("unit_number"), QStringLiteral("رقم الوحدة") },
        { QStringLiteral("property_name"), QStringLiteral("اسم العقار") },
        { QStringLiteral("status"), QStringLiteral("الحالة") },
        { QStringLiteral("amount"), QStringLiteral("المبلغ") },
        { QStringLiteral("full_name"), QStringLiteral("الاسم الكامل") },
        { QStringLiteral("buyer_name"), QStringLiteral("اسم المشتري") },
        { QStringLiteral("tenant_name"), QStringLiteral("اسم المستأجر") },
        { QStringLiteral("due_date"), QStringLiteral("تاريخ الاستحقاق") },
        { QStringLiteral("payment_date"), QStringLiteral("تاريخ الدفع") },
        { QStringLiteral("area"), QStringLiteral("المساحة") },
        { QStringLiteral("rooms"), QStringLiteral("الغرف") },
        { QStringLiteral("floor"), QStringLiteral("الطابق") },
        { QStringLiteral("price"), QStringLiteral("السعر") },
        { QStringLiteral("balance"), QStringLiteral("الرصيد") },
        { QStringLiteral("description"), QStringLiteral("الوصف") },
        { QStringLiteral("cheque_number"), QStringLiteral("رقم الشيك") },
        { QStringLiteral("bank"), QStringLiteral("البنك") },
        { QStringLiteral("created_at"), QStringLiteral("تاريخ الإضافة") },
        { QStringLiteral("available"), QStringLiteral("متاح") },
        { QStringLiteral("sold"), QStringLiteral("مباع") },
        { QStringLiteral("rented"), QStringLiteral("مؤجر") },
        { QStringLiteral("out_of_service"), QStringLiteral("خارج الخدمة") },
        { QStringLiteral("installment_amount"), QStringLiteral("قيمة القسط") },
        { QStringLiteral("paid_amount"), QStringLiteral("المبلغ المدفوع") },
    };
    return headings.value(key, key);
}

QString PrintController::safeFileName(const QString& text)
{
    // A title such as "Rent 2024/05" must not turn into a folder path, nor hold a character
    // that Windows refuses in a file name.
    static const QRegularExpression forbidden(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    QString name = text.simplified();
    name.replace(forbidden, QStringLiteral("-"));
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return name;
}

QString PrintController::reportHead(const QString& title) const
{
    QString html
        = QStringLiteral("<html><head><style>") + kReportStyle + QStringLiteral("</style></head><body>");
    html += QStringLiteral("<header><h1>") + isolated(companyName()) + QStringLiteral("</h1>");
    html += QStringLiteral("<p>") + isolated(companyAddress()) + QStringLiteral(" | ")
        + isolated(companyPhone()) + QStringLiteral("</p>");
    html += QStringLiteral("<h2>") + isolated(title) + QStringLiteral("</h2>");
    html += QStringLiteral("<p>تاريخ التقرير: ")
        + isolated(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        + QStringLiteral("</p></header><hr>");
    return html;
}

QString PrintController::summaryBox(const QStringList& cells)
{
    // The engine paints a box around a table, not around a block: the table is the box.
    return QStringLiteral(
               "<table class='summary-box' width='100%' border='1' cellspacing='0' cellpadding='10' "
               "style='background-color:#f8fafc; border-color:#cbd5e1; border-style:solid; margin:0;'>")
        + rightToLeftRow(cells) + QStringLiteral("</table>");
}

QString PrintController::reportHtml(
    const QString& title, const QVariantList& data, const QVariantMap& summary) const
{
    QString html;
    html.reserve(4096 + data.size() * 256);
    html += reportHead(title);

    if (!summary.isEmpty()) {
        QStringList cells;
        for (auto it = summary.cbegin(); it != summary.cend(); ++it)
            cells.append(summaryCell(it.key(), it.value()));
        html += summaryBox(cells);
    }

    if (!data.isEmpty()) {
        QStringList columns;
        const QVariantMap first = data.first().toMap();
        for (auto it = first.cbegin(); it != first.cend(); ++it) {
            if (!kHiddenColumns.contains(it.key()))
                columns.append(it.key());
        }
        QStringList cells;
        for (const QString& column : columns)
            cells.append(
                QStringLiteral("<th>") + translateHeader(column).toHtmlEscaped() + QStringLiteral("</th>"));
        html += QStringLiteral("<table width='100%' cellspacing='0'><thead>") + rightToLeftRow(cells)
            + QStringLiteral("</thead><tbody>");
        for (const QVariant& item : data) {
            const QVariantMap record = item.toMap();
            cells.clear();
            for (const QString& column : columns) {
                QVariant value = record.value(column);
                if (column == QLatin1String("status"))
                    value = translateHeader(value.toString());
                cells.append(QStringLiteral("<td>") + cellText(value) + QStringLiteral("</td>"));
            }
            html += rightToLeftRow(cells);
        }
        html += QStringLiteral("</tbody></table>");
    }

    html += kReportFooter;
    return html;
}

QString PrintController::tableHtml(const QString& title, const QStringList& headers, const QVariantList& rows,
    const QVariantList& summary) const
{
    QString html;
    html.reserve(4096 + rows.size() * 256);
    html += reportHead(title);

    QStringList cells;
    for (const QVariant& item : summary) {
        const QVariantList pair = item.toList();
        if (!pair.isEmpty())
            cells.append(summaryCell(pair.value(0).toString(), pair.value(1)));
    }
    if (!cells.isEmpty())
        html += summaryBox(cells);

    if (!headers.isEmpty()) {
        cells.clear();
        for (const QString& header : headers)
            cells.append(QStringLiteral("<th>") + isolated(header) + QStringLiteral("</th>"));
        html += QStringLiteral("<table width='100%' cellspacing='0'><thead>") + rightToLeftRow(cells)
            + QStringLiteral("</thead><tbody>");
        for (const QVariant& item : rows) {
            // A row given as a single value (not a list) fills the first cell, whole.
            const bool isList
                = item.typeId() == QMetaType::QVariantList || item.typeId() == QMetaType::QStringList;
            const QVariantList values = isList ? item.toList() : QVariantList { item };
            cells.clear();
            // Every row gets the header's cells, so a short row cannot shift the columns.
            for (int column = 0; column < headers.size(); ++column)
                cells.append(
                    QStringLiteral("<td>") + cellText(values.value(column)) + QStringLiteral("</td>"));
            html += rightToLeftRow(cells);
        }
        html += QStringLiteral("</tbody></table>");
    }

    html += kReportFooter;
    return html;
}

QString PrintController::textHtml(const QString& title, const QString& markdown) const
{
    // The Markdown reader turns the text into blocks with their own escaping; only its body is
    // taken, inside this report's letterhead and footer.
    QTextDocument reader;
    readMarkdown(reader, markdown);
    const QString converted = reader.toHtml();
    const qsizetype bodyTag = converted.indexOf(QStringLiteral("<body"));
    const qsizetype bodyStart = bodyTag < 0 ? -1 : converted.indexOf(QLatin1Char('>'), bodyTag);
    const qsizetype bodyEnd = converted.lastIndexOf(QStringLiteral("</body>"));
    const QString body = bodyStart >= 0 && bodyEnd > bodyStart
        ? converted.mid(bodyStart + 1, bodyEnd - bodyStart - 1)
        : markdown.toHtmlEscaped();
    return reportHead(title) + QStringLiteral("<div style='font-size:12pt;'>") + body
        + QStringLiteral("</div>") + kReportFooter;
}

QString PrintController::letterHtml(const QString& title, const QString& text) const
{
    // Plain text, escaped line by line: a name or note can never become markup.
    QString body;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        body += line.trimmed().isEmpty()
            ? QStringLiteral("<p>&nbsp;</p>")
            : QStringLiteral("<p>") + line.toHtmlEscaped() + QStringLiteral("</p>");
    }
    return reportHead(title) + QStringLiteral("<div style='font-size:13pt;'>") + body
        + QStringLiteral("</div>") + kReportFooter;
}

QString PrintController::printLetter(const QString& title, const QString& recipient, const QString& text)
{
    emit printStarted();
    const QString fileName = QStringLiteral("Letter_") + safeFileName(recipient) + QLatin1Char('_')
        + Clock::today().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".pdf");
    return writeAndOpen(letterHtml(title, text), fileName);
}

QString PrintController::markdownAsPlainText(const QString& markdown)
{
    QTextDocument reader;
    readMarkdown(reader, markdown);
    QStringList lines;
    bool previousWasItem = false;
    for (QTextBlock block = reader.begin(); block.isValid(); block = block.next()) {
        const bool item = block.textList() != nullptr;
        // Paragraphs stand apart by an empty line, the items of one list follow each other.
        if (!lines.isEmpty() && !(item && previousWasItem))
            lines.append(QString());
        lines.append(item ? QStringLiteral("• ") + block.text() : block.text());
        previousWasItem = item;
    }
    return lines.join(QLatin1Char('\n'));
}

bool PrintController::copyToClipboard(const QString& markdown)
{
    // Without a GUI application (a console tool, a GUI-less test) there is no clipboard to write.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* mime = new QMimeData;
    mime->setText(markdownAsPlainText(markdown));
    mime->setData(QStringLiteral("text/markdown"), markdown.toUtf8());
    clipboard->setMimeData(mime);
    return true;
}

QString PrintController::statementHtml(const QString& entityName, const QString& entityType,
    const QVariantList& transactions, const QVariantMap& totals) const
{
    QString html;
    html.reserve(4096 + transactions.size() * 256);
    html += QStringLiteral("<html><head><style>") + kStatementStyle + QStringLiteral("</style></head><body>");

    html += QStringLiteral("<table class='header-table' width='100%'>")
        + rightToLeftRow({ QStringLiteral("<td style='text-align:right;'><h1>") + isolated(companyName())
                + QStringLiteral("</h1><p>") + isolated(companyAddress()) + QStringLiteral("<br>")
                + isolated(companyPhone()) + QStringLiteral("</p></td>"),
            QStringLiteral("<td style='text-align:left; vertical-align:top;'><h2 style='margin:0;'>كشف حساب ")
                + isolated(entityType) + QStringLiteral("</h2><p>تاريخ: ") + isolated(Clock::todayText())
                + QStringLiteral("</p></td>") })
        + QStringLiteral("</table><hr>");

    html += QStringLiteral("<div class='info-box'>اسم الحساب: <b>") + isolated(entityName)
        + QStringLiteral("</b></div>");

    QStringList cells;
    for (auto it = totals.cbegin(); it != totals.cend(); ++it) {
        cells.append(
            QStringLiteral(
                "<td style='background:#fdfaf3; border:1px solid #C5A059; padding:15px; "
                "text-align:center; border-radius:10px;'><div style='font-size:10pt; color:#64748b;'>")
            + isolated(it.key())
            + QStringLiteral("</div><div style='font-size:16pt; font-weight:bold; color:#1e293b;'>")
            + cellText(it.value()) + QStringLiteral("</div></td>"));
    }
    html += QStringLiteral("<table width='100%' cellspacing='10'>") + rightToLeftRow(cells)
        + QStringLiteral("</table>");

    html += QStringLiteral("<table class='data' width='100%' cellspacing='0'><thead>")
        + rightToLeftRow({ QStringLiteral("<th>التاريخ</th>"), QStringLiteral("<th>البيان / الوصف</th>"),
            QStringLiteral("<th>رقم المرجع</th>"), QStringLiteral("<th>المدفوع</th>"),
            QStringLiteral("<th>المتبقي</th>") })
        + QStringLiteral("</thead><tbody>");
    for (const QVariant& item : transactions) {
        const QVariantMap row = item.toMap();
        html += rightToLeftRow(
            { QStringLiteral("<td>") + cellText(row.value(QStringLiteral("date"))) + QStringLiteral("</td>"),
                // A cell's own style replaces the sheet's border for it, so it names the border again.
                QStringLiteral("<td style='text-align:right; border:1px solid #e2e8f0;'>")
                    + cellText(row.value(QStringLiteral("description"))) + QStringLiteral("</td>"),
                QStringLiteral("<td>") + cellText(row.value(QStringLiteral("reference")))
                    + QStringLiteral("</td>"),
                QStringLiteral("<td style='color:#22c55e; font-weight:bold; border:1px solid #e2e8f0;'>")
                    + cellText(row.value(QStringLiteral("amount"))) + QStringLiteral("</td>"),
                QStringLiteral("<td>") + cellText(row.value(QStringLiteral("balance")))
                    + QStringLiteral("</td>") });
    }
    html += QStringLiteral("</tbody></table>");

    // The engine draws no border around a block, so the stamp's dashed frame is a small table.
    html += QStringLiteral("<table class='footer-sig' width='100%'>")
        + rightToLeftRow(
            { QStringLiteral("<td style='text-align:center;'>توقيع المحاسب<br><br>_________________</td>"),
                QStringLiteral(
                    "<td style='text-align:center;'>الختم الرسمي<br><br><table align='center' border='2' "
                    "cellspacing='0' "
                    "cellpadding='0' style='border-style:dashed; border-color:#cbd5e1;'><tr><td width='100'>"
                    "&nbsp;<br>&nbsp;<br>&nbsp;<br>&nbsp;<br>&nbsp;</td></tr></table></td>") })
        + QStringLiteral("</table>");

    html
        += QStringLiteral(
               "<p style='text-align:center; margin-top:30px; font-size:9pt; color:#94a3b8;'>طبع بواسطة نظام "
               "Darvelinto - شركة ")
        + isolated(companyName()) + QStringLiteral("</p></body></html>");
    return html;
}

bool PrintController::writePdf(const QString& html, const QString& path, QString* error)
{
    QTextDocument document;
    document.setHtml(html);
    applyRightToLeft(document);

    // Rendered into memory first: a failure then never leaves a half-written file behind, and
    // an existing file of the same name is replaced in one step.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(
            QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm), QPageLayout::Millimeter);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Darvelinto"));
        document.setPageSize(writer.pageLayout().paintRectPixels(kPdfResolution).size());
        document.print(&writer);
    }
    if (!pdf.data().startsWith("%PDF")) {
        *error = QStringLiteral("the PDF engine produced no document");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder ") + QFileInfo(path).absolutePath();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf.data()) != pdf.data().size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString PrintController::writeAndOpen(const QString& html, const QString& fileName)
{
    const QString path = writeDocument(html, fileName);
    if (!path.isEmpty())
        openDocument(path);
    return path;
}

QString PrintController::writeDocument(const QString& html, const QString& fileName)
{
    const QString path = documentsFolder() + QLatin1Char('/') + fileName;
    QString error;
    if (!writePdf(html, path, &error)) {
        qCWarning(lcPrint) << "could not write" << path << ":" << error;
        emit printError(QStringLiteral("تعذر حفظ ملف PDF: ") + path);
        emit printFinished(false, path);
        return QString();
    }
    return path;
}

void PrintController::openDocument(const QString& path)
{
    qCInfo(lcPrint) << "printed" << path;
    m_desktop->openLocalPath(path);
    emit printFinished(true, path);
}

QString PrintController::plainText(const QString& text)
{
    return isolated(text);
}

QString PrintController::reportFileName(const QString& title)
{
    return safeFileName(title) + QLatin1Char('_') + Clock::now().toString(QStringLiteral("yyyyMMdd_HHmmss"))
        + QStringLiteral(".pdf");
}

void PrintController::printReport(
    const QString& title, const QString& type, const QVariantList& data, const QVariantMap& summary)
{
    Q_UNUSED(type) // the pages pass it; the document does not depend on it
    emit printStarted();
    writeAndOpen(reportHtml(title, data, summary), reportFileName(title));
}

QString PrintController::printTable(
    const QString& title, const QStringList& headers, const QVariantList& rows, const QVariantList& summary)
{
    emit printStarted();
    return writeAndOpen(tableHtml(title, headers, rows, summary), reportFileName(title));
}

QString PrintController::printText(const QString& title, const QString& markdown)
{
    emit printStarted();
    return writeAndOpen(textHtml(title, markdown), reportFileName(title));
}

void PrintController::printStatement(const QString& entityName, const QString& entityType,
    const QVariantList& transactions, const QVariantMap& totals)
{
    emit printStarted();
    const QString fileName = QStringLiteral("Statement_") + safeFileName(entityName) + QLatin1Char('_')
        + Clock::today().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".pdf");
    writeAndOpen(statementHtml(entityName, entityType, transactions, totals), fileName);
}
