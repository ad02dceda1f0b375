#pragma once

#include <QObject>

class Database;

class ChequeModel : public QObject
{
    Q_OBJECT
public:
    explicit ChequeModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
