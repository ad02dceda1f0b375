#include "installmentmodel.h"

#include "database.h"

InstallmentModel::InstallmentModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
