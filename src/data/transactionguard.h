#pragma once

class Database;

/**
 * Keeps a multi-statement change all-or-nothing: begins a transaction, and rolls it back on
 * destruction unless commit() succeeded. Check isActive() before writing: a transaction that
 * could not begin (one is already open) must not be written into.
 */
class TransactionGuard
{
public:
    explicit TransactionGuard(Database* db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    [[nodiscard]] bool isActive() const { return m_active; }
    [[nodiscard]] bool commit();
    void rollback();

private:
    Database* m_db;
    bool m_active = false;
};
