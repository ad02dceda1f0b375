#pragma once

#include <QObject>

class Database;

class ExpenseModel : public QObject
{
    Q_OBJECT
public:
    explicit ExpenseModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
