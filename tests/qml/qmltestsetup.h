#pragma once

#include <QObject>

class QQmlEngine;
class QmlTestSupport;

/**
 * Prepares every QML test file as start-up prepares the program: the same control style and
 * right-to-left layout, and the real back-end objects on a new temporary database.
 */
class QmlTestSetup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine* engine);
    void cleanupTestCase();

private:
    QmlTestSupport* m_support = nullptr;
};
