#pragma once

#include <QObject>

class Database;

class MaintenanceModel : public QObject
{
    Q_OBJECT
public:
    explicit MaintenanceModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
