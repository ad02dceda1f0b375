#include "unitcostcenter.h"

#include "database.h"

QVariant unitCostCenterId(Database* db, int unitId)
{
    const QVariant id = db->scalar(
        QStringLiteral(R"(SELECT id FROM cost_centers WHERE unit_id=? ORDER BY id LIMIT 1)"), { unitId });
    return id.isNull() ? QVariant() : id;
}
