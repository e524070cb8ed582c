#include "data/CAuditSet.h"

#include "app/base/DateRanges.h"

CAuditSet::CAuditSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CAuditSet::GetDefaultSQL() const
{
    return QStringLiteral("[AuditTrail]");
}

void CAuditSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[TransNo]"), m_TransNo);
    DFX_DateTime(pFX, QStringLiteral("[TransDate]"), m_TransDate);
    DFX_LongNoNull(pFX, QStringLiteral("[JobNo]"), m_JobNo);
    DFX_Currency(pFX, QStringLiteral("[Subtotal]"), m_Subtotal);
    DFX_Currency(pFX, QStringLiteral("[Discount]"), m_Discount);
    DFX_Currency(pFX, QStringLiteral("[Shipping]"), m_Shipping);
    DFX_Currency(pFX, QStringLiteral("[Postage]"), m_Postage);
    DFX_Currency(pFX, QStringLiteral("[Tax]"), m_Tax);
    DFX_Currency(pFX, QStringLiteral("[Latefee]"), m_Latefee);
    DFX_Currency(pFX, QStringLiteral("[Paid]"), m_Paid);
    DFX_Currency(pFX, QStringLiteral("[Writeoff]"), m_Writeoff);
    DFX_Currency(pFX, QStringLiteral("[Balance]"), m_Balance);
    DFX_Byte(pFX, QStringLiteral("[JobType]"), m_JobType);
    DFX_Byte(pFX, QStringLiteral("[PropID]"), m_PropID);
    m_nLastDfxOp = pFX->operation();
}

void CAuditSet::ResetFields()
{
    m_TransDate = GetToday();
    m_JobNo = 0;
    m_Subtotal = Money::zero();
    m_Discount = Money::zero();
    m_Shipping = Money::zero();
    m_Postage = Money::zero();
    m_Tax = Money::zero();
    m_Latefee = Money::zero();
    m_Paid = Money::zero();
    m_Writeoff = Money::zero();
    m_Balance = Money::zero();
    m_JobType = 0;
    m_PropID = 0;
}
