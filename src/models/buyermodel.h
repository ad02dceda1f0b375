#pragma once

#include <QObject>

class Database;

class BuyerModel : public QObject
{
    Q_OBJECT
public:
    explicit BuyerModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
