#include "data/CTaxSet.h"


CTaxSet::CTaxSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CTaxSet::GetDefaultSQL() const
{
    return QStringLiteral("[Taxes]");
}

void CTaxSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Byte(pFX, QStringLiteral("[No]"), m_No);
    DFX_TextLimit(pFX, QStringLiteral("[Name]"), m_Name);
    DFX_LongNoNull(pFX, QStringLiteral("[TaxPercent]"), m_TaxPercent);
    DFX_Byte(pFX, QStringLiteral("[TaxShipping]"), m_TaxShipping);
    DFX_Byte(pFX, QStringLiteral("[RoundUp]"), m_RoundUp);
    DFX_Byte(pFX, QStringLiteral("[Type]"), m_Type);
    DFX_Byte(pFX, QStringLiteral("[TaxPostage]"), m_TaxPostage);
    m_nLastDfxOp = pFX->operation();
}

bool CTaxSet::FindTax(quint8 no)
{
    m_strFilter = QStringLiteral("Taxes.[No] = %1").arg(no);
    m_strSort.clear();
    return RequeryOrOpen(false);
}
