#include "passwordhasher.h"

#include <sodium.h>

namespace {

bool ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString PasswordHasher::hash(const QString& password)
{
    if (!ensureSodium())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

bool PasswordHasher::isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

bool PasswordHasher::verify(const QString& password, const QString& storedHash)
{
    if (!ensureSodium() || !isHash(storedHash))
        return false;
    const QByteArray hashBytes = storedHash.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(
               hashBytes.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size()))
        == 0;
}

namespace {
QString& cachedDefaultHash()
{
    static QString cached;
    return cached;
}
} // namespace

QString PasswordHasher::defaultAdminHash()
{
    // Every fresh database needs this hash; computing it once keeps start-up and test suites fast.
    QString& cached = cachedDefaultHash();
    if (cached.isEmpty())
        cached = hash(QString::fromLatin1(kDefaultAdminPassword));
    return cached;
}

bool PasswordHasher::isThisProcessDefaultHash(const QString& stored)
{
    const QString& cached = cachedDefaultHash();
    return !cached.isEmpty() && stored == cached;
}
