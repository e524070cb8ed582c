#include "data/CEmpSet.h"


CEmpSet::CEmpSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CEmpSet::GetDefaultSQL() const
{
    return QStringLiteral("[Employees]");
}

void CEmpSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Byte(pFX, QStringLiteral("[EmpNo]"), m_EmpNo);
    DFX_TextLimit(pFX, QStringLiteral("[Name]"), m_Name);
    DFX_Byte(pFX, QStringLiteral("[Type]"), m_Type);
    DFX_LongNoNull(pFX, QStringLiteral("[CommRate]"), m_CommRate);
    DFX_Byte(pFX, QStringLiteral("[PercentOf]"), m_PercentOf);
    m_nLastDfxOp = pFX->operation();
}

bool CEmpSet::FindEmployee(quint8 empNo)
{
    m_strFilter = QStringLiteral("EmpNo = %1").arg(empNo);
    m_strSort.clear();
    if (empNo == 0)
        return false;
    return RequeryOrOpen(false);
}

QString CEmpSet::GetEmployeeName(quint8 empNo)
{
    m_strFilter = QStringLiteral("EmpNo = %1").arg(empNo);
    m_strSort.clear();
    return RequeryOrOpen(false) ? m_Name : QString();
}
