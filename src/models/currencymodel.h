#pragma once

#include <QObject>

class Database;

class CurrencyModel : public QObject
{
    Q_OBJECT
public:
    explicit CurrencyModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
