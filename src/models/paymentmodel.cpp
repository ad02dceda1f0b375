#include "paymentmodel.h"

#include "database.h"

PaymentModel::PaymentModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
