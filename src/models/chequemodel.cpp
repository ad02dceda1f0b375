#include "chequemodel.h"

#include "database.h"

ChequeModel::ChequeModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
