#include "expensemodel.h"

#include "database.h"

ExpenseModel::ExpenseModel(Database* db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}
