#include "instancelock.h"

#include <QGuiApplication>
#include <QMessageBox>

InstanceLock::InstanceLock(const QString& dataDir)
    : m_lock(dataDir + QStringLiteral("/darvelinto.lock"))
{
    // A lock never goes stale by age: the owner may sit idle for days. A dead owner is detected
    // through its process id instead.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::acquire()
{
    return m_lock.tryLock(0);
}

void InstanceLock::reportAlreadyRunning()
{
    qWarning("Darvelinto is already running on this data folder; this copy exits.");
    const QString platform = QGuiApplication::platformName();
    // Headless platforms have nobody to press OK; a dialog there would keep the process alive.
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Darvelinto"),
        QStringLiteral("برنامج Darvelinto يعمل بالفعل. استخدم النافذة المفتوحة."));
    box.setLayoutDirection(Qt::RightToLeft);
    box.exec();
}
