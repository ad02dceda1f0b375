#pragma once

#include <QObject>

class Database;

class InvoiceModel : public QObject
{
    Q_OBJECT
public:
    explicit InvoiceModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
