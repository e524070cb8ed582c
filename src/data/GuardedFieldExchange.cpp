#include "data/GuardedFieldExchange.h"

#include "data/CXDaoSet.h"

void DFX_TextLimit(FieldExchange *pFX, const QString &column, QString &value)
{
    if (pFX->isMarking()) {
        const qint32 size = pFX->recordset()->GetFieldSize(column);
        if (size >= 0 && value.size() > size)
            value.truncate(size);
    }
    DFX_Text(pFX, column, value);
}

void DFX_LongNoNull(FieldExchange *pFX, const QString &column, qint32 &value)
{
    if (pFX->isMarking() && value == FieldExchange::kLongNull)
        value = 0;
    DFX_Long(pFX, column, value);
}

void DFX_SingleNoNull(FieldExchange *pFX, const QString &column, float &value)
{
    if (value == FieldExchange::kSingleNull)
        value = 0;
    DFX_Single(pFX, column, value);
}
