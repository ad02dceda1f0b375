#pragma once

#include <QObject>

class Database;

class InstallmentModel : public QObject
{
    Q_OBJECT
public:
    explicit InstallmentModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
