#include "listpaging.h"

#include <algorithm>

namespace ListPaging {

int limit(int requested)
{
    return std::clamp(requested, 1, kMaxLimit);
}

int offset(int requested)
{
    return std::max(requested, 0);
}

QString containsPattern(const QString& search)
{
    const QString trimmed = search.trimmed();
    if (trimmed.isEmpty())
        return {};
    // A typed "%" or "_" is a character to find, not a wildcard.
    QString escaped;
    escaped.reserve(trimmed.size() + 4);
    for (const QChar c : trimmed) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace ListPaging
