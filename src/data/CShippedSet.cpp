#include "data/CShippedSet.h"


CShippedSet::CShippedSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CShippedSet::GetDefaultSQL() const
{
    return QStringLiteral("[ShippedItems]");
}

void CShippedSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[ShipID]"), m_ShipID);
    DFX_LongNoNull(pFX, QStringLiteral("[ItemID]"), m_ItemID);
    DFX_LongNoNull(pFX, QStringLiteral("[ShiptoNo]"), m_ShiptoNo);
    DFX_LongNoNull(pFX, QStringLiteral("[QtyShipped]"), m_QtyShipped);
    DFX_LongNoNull(pFX, QStringLiteral("[QtyPerBox]"), m_QtyPerBox);
    DFX_LongNoNull(pFX, QStringLiteral("[Boxes]"), m_Boxes);
    DFX_Byte(pFX, QStringLiteral("[ShipBy]"), m_ShipBy);
    DFX_Byte(pFX, QStringLiteral("[Status]"), m_Status);
    DFX_Byte(pFX, QStringLiteral("[TaxBy]"), m_TaxBy);
    DFX_TextLimit(pFX, QStringLiteral("[ItemDes]"), m_ItemDes);
    DFX_TextLimit(pFX, QStringLiteral("[Tracking]"), m_Tracking);
    DFX_TextLimit(pFX, QStringLiteral("[ShipNote]"), m_ShipNote);
    DFX_DateTime(pFX, QStringLiteral("[Shipped]"), m_Shipped);
    DFX_DateTime(pFX, QStringLiteral("[Received]"), m_Received);
    DFX_Currency(pFX, QStringLiteral("[TaxAmt]"), m_TaxAmt);
    DFX_Currency(pFX, QStringLiteral("[ShipAmt]"), m_ShipAmt);
    m_nLastDfxOp = pFX->operation();
}

void CShippedSet::ResetFields()
{
    m_ItemID = 0;
    m_ShiptoNo = 0;
    m_QtyShipped = 0;
    m_QtyPerBox = 0;
    m_Boxes = 0;
    m_ShipBy = 0;
    m_Status = 0;
    m_TaxBy = 0;
    m_ItemDes.clear();
    m_Tracking.clear();
    m_ShipNote.clear();
    m_Shipped = DateTime();
    m_Received = DateTime();
    m_TaxAmt = Money::zero();
    m_ShipAmt = Money::zero();
}
