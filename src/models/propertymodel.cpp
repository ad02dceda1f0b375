#include "propertymodel.h"

#include "database.h"

PropertyModel::PropertyModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
