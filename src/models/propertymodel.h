#pragma once

#include <QObject>

class Database;

class PropertyModel : public QObject
{
    Q_OBJECT
public:
    explicit PropertyModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
