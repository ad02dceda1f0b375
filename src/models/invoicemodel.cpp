#include "invoicemodel.h"

#include "database.h"

InvoiceModel::InvoiceModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
