#pragma once

#include <QObject>
#include <QString>

class QQmlEngine;
class QQuickWindow;

/**
 * Drives the real window through the shot lists (`*.shots` files, read in name order) and saves
 * a PNG per named step. Published to the scripts as `shot`.
 *
 * A shot list holds one step per line:
 *     <name>: <JavaScript>    run the script in the window's scope, let it settle, save <name>
 *     : <JavaScript>          run the script only
 *     <name>:                 save the window as it is
 *     wait <ms>               let the next steps settle that long (default 700 ms)
 *     # comment
 */
class ShotRunner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString theme READ theme CONSTANT)
    Q_PROPERTY(QString primaryCurrency READ primaryCurrency CONSTANT)
public:
    ShotRunner(QString theme, QString primaryCurrency, QString outputDir, QObject* parent = nullptr);

    QString theme() const { return m_theme; }
    QString primaryCurrency() const { return m_primaryCurrency; }

    /** The first object called `name` under the window: items, their non-visual children, popups. */
    Q_INVOKABLE QObject* find(const QString& name) const;

    /** Runs every shot list of the folder against the window; returns the number of failed steps. */
    int run(QQuickWindow* window, const QString& shotsDir);

private:
    bool runStep(const QString& where, const QString& name, const QString& script);
    void settle(int ms) const;

    QString m_theme;
    QString m_primaryCurrency;
    QString m_outputDir;
    QQuickWindow* m_window = nullptr;
    int m_settleMs = 700;
};
