#pragma once

#include <QObject>

class Database;

class AccountModel : public QObject
{
    Q_OBJECT
public:
    explicit AccountModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
