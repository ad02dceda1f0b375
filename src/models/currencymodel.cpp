#include "currencymodel.h"

#include "database.h"

CurrencyModel::CurrencyModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
