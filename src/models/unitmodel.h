#pragma once

#include <QObject>

class Database;

class UnitModel : public QObject
{
    Q_OBJECT
public:
    explicit UnitModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
