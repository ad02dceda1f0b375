#pragma once

#include <QString>

/**
 * Salted, slow password hashes (Argon2id through libsodium). Stored hashes begin with
 * "$argon2id$"; anything else in the password column is a plain password left by an older file.
 */
class PasswordHasher
{
public:
    static constexpr const char* kDefaultAdminPassword = "qorvu";

    /** A new hash of the password, or an empty string when hashing failed. */
    static QString hash(const QString& password);
    /** True when the stored value is a hash this class wrote. */
    static bool isHash(const QString& stored);
    /** Checks a password against a stored hash; never accepts a plain stored value. */
    static bool verify(const QString& password, const QString& storedHash);
    /** Hash of the default administrator password, computed once per process. */
    static QString defaultAdminHash();
    /** True when `stored` is the hash defaultAdminHash() gave in this process (no Argon2 work). */
    static bool isThisProcessDefaultHash(const QString& stored);
};
