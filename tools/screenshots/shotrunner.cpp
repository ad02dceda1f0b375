#include "shotrunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <deque>

ShotRunner::ShotRunner(QString theme, QString primaryCurrency, QString outputDir, QObject* parent)
    : QObject(parent)
    , m_theme(std::move(theme))
    , m_primaryCurrency(std::move(primaryCurrency))
    , m_outputDir(std::move(outputDir))
{ }

QObject* ShotRunner::find(const QString& name) const
{
    if (!m_window)
        return nullptr;
    // Breadth first over the visual tree, the QObject children (dialogs declared in a page) and the
    // content of popups, which lives outside the page's visual tree.
    std::deque<QObject*> queue { m_window->contentItem() };
    QSet<QObject*> seen;
    while (!queue.empty()) {
        QObject* object = queue.front();
        queue.pop_front();
        if (!object || seen.contains(object))
            continue;
        seen.insert(object);
        if (object->objectName() == name)
            return object;
        if (auto* item = qobject_cast<QQuickItem*>(object)) {
            for (QQuickItem* child : item->childItems())
                queue.push_back(child);
        }
        for (QObject* child : object->children())
            queue.push_back(child);
        const QVariant content = object->property("contentItem");
        if (content.isValid())
            queue.push_back(content.value<QObject*>());
    }
    return nullptr;
}

void ShotRunner::settle(int ms) const
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool ShotRunner::runStep(const QString& where, const QString& name, const QString& script)
{
    if (!script.isEmpty()) {
        QObject* root = m_window;
        QQmlExpression expression(qmlContext(root), root, script);
        expression.setSourceLocation(where, 0);
        expression.evaluate();
        if (expression.hasError()) {
            qWarning().noquote() << where << "script failed:" << expression.error().toString();
            return false;
        }
    }
    settle(m_settleMs);
    if (name.isEmpty())
        return true;
    const QString path
        = QDir(m_outputDir).filePath(name + QLatin1Char('-') + m_theme + QStringLiteral(".png"));
    const QImage image = m_window->grabWindow();
    if (image.isNull() || !image.save(path)) {
        qWarning().noquote() << where << "could not save" << path;
        return false;
    }
    qInfo().noquote() << "saved" << path;
    return true;
}

int ShotRunner::run(QQuickWindow* window, const QString& shotsDir)
{
    m_window = window;
    int failures = 0;
    const QDir dir(shotsDir);
    const QStringList lists = dir.entryList({ QStringLiteral("*.shots") }, QDir::Files, QDir::Name);
    static const QRegularExpression waitLine(QStringLiteral("^wait\\s+(\\d+)$"));
    for (const QString& fileName : lists) {
        QFile file(dir.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            qWarning().noquote() << "cannot read" << file.fileName();
            ++failures;
            continue;
        }
        QTextStream in(&file);
        int lineNumber = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            ++lineNumber;
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QString where = fileName + QLatin1Char(':') + QString::number(lineNumber);
            const QRegularExpressionMatch wait = waitLine.match(line);
            if (wait.hasMatch()) {
                m_settleMs = wait.captured(1).toInt();
                continue;
            }
            const int colon = line.indexOf(QLatin1Char(':'));
            if (colon < 0) {
                qWarning().noquote() << where << "expected '<name>: <script>'";
                ++failures;
                continue;
            }
            if (!runStep(where, line.left(colon).trimmed(), line.mid(colon + 1).trimmed()))
                ++failures;
        }
    }
    return failures;
}
