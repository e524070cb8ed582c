#include "data/CPayAppliedSet.h"


CPayAppliedSet::CPayAppliedSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CPayAppliedSet::GetDefaultSQL() const
{
    return QStringLiteral("[PayApplied]");
}

void CPayAppliedSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_LongNoNull(pFX, QStringLiteral("[PayNo]"), m_PayNo);
    DFX_LongNoNull(pFX, QStringLiteral("[JobNo]"), m_JobNo);
    DFX_Currency(pFX, QStringLiteral("[Amount]"), m_Amount);
    m_nLastDfxOp = pFX->operation();
}

bool CPayAppliedSet::AddApplied(qint32 payNo, qint32 jobNo, Money amount)
{
    if (!SafeAddNew())
        return false;
    m_PayNo = payNo;
    m_JobNo = jobNo;
    m_Amount = amount;
    return SafeUpdate(GetDefaultSQL());
}
