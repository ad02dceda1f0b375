#include "refusable.h"

bool Refusable::refuse(const QString& reason)
{
    setLastError(reason);
    return false;
}

bool Refusable::refuseUnsaved()
{
    return refuse(QStringLiteral("تعذر حفظ البيانات، ولم يتغير شيء"));
}

void Refusable::setLastError(const QString& text)
{
    if (text == m_lastError)
        return;
    m_lastError = text;
    emit lastErrorChanged();
}
