#pragma once

#include <QObject>

class Database;

class ContractModel : public QObject
{
    Q_OBJECT
public:
    explicit ContractModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
