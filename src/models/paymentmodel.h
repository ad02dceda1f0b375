#pragma once

#include <QObject>

class Database;

class PaymentModel : public QObject
{
    Q_OBJECT
public:
    explicit PaymentModel(Database* db, QObject* parent = nullptr);

private:
    Database* m_db;
};
