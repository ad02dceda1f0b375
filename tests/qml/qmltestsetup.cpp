#include "qmltestsetup.h"

#include "applicationidentity.h"
#include "qmltestsupport.h"
#include "testdatabase.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>

void QmlTestSetup::applicationAvailable()
{
    pinTestEnvironment();
    ApplicationIdentity::apply();
}

void QmlTestSetup::qmlEngineAvailable(QQmlEngine* engine)
{
    // One engine per test file; each gets its own database.
    delete m_support;
    m_support = new QmlTestSupport(engine);
    engine->rootContext()->setContextProperty(QStringLiteral("testSupport"), m_support);
    if (!m_support->freshDatabase())
        qFatal("could not prepare the back end for the interface tests");
}

void QmlTestSetup::cleanupTestCase()
{
    delete m_support;
    m_support = nullptr;
}
