#include "unitmodel.h"

#include "database.h"

UnitModel::UnitModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
