#pragma once

#include <QObject>

class Database;

class TenantModel : public QObject
{
    Q_OBJECT
public:
    explicit TenantModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
