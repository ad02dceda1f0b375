#include "applicationidentity.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQuickStyle>

namespace ApplicationIdentity {

void apply()
{
    QGuiApplication::setOrganizationName(QStringLiteral("Darvelinto"));
    QGuiApplication::setApplicationName(QStringLiteral("Darvelinto"));
    QGuiApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/logo.ico")));
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
}

} // namespace ApplicationIdentity
