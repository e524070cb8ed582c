#include "data/CPaySet.h"


CPaySet::CPaySet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CPaySet::GetDefaultSQL() const
{
    return QStringLiteral("Payments");
}

void CPaySet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[PayNo]"), m_PayNo);
    DFX_DateTime(pFX, QStringLiteral("[Date]"), m_Date);
    DFX_Currency(pFX, QStringLiteral("[Amount]"), m_Amount);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_Byte(pFX, QStringLiteral("[PayGroup]"), m_PayGroup);
    DFX_Byte(pFX, QStringLiteral("[PaidBy]"), m_PaidBy);
    DFX_TextLimit(pFX, QStringLiteral("[Reference]"), m_Reference);
    DFX_TextLimit(pFX, QStringLiteral("[Appliedto]"), m_Appliedto);
    DFX_LongNoNull(pFX, QStringLiteral("[PostingNo]"), m_PostingNo);
    m_nLastDfxOp = pFX->operation();
}
