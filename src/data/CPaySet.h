#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Payments: payments and deposits received from customers. A payment
// not yet taken by a posting run has PostingNo 0.
class CPaySet : public CXDaoSet
{
public:
    explicit CPaySet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;

    qint32 m_PayNo = 0;
    DateTime m_Date;
    Money m_Amount;
    qint32 m_CusNo = 0;
    quint8 m_PayGroup = 0;
    quint8 m_PaidBy = 0;
    QString m_Reference;
    QString m_Appliedto; // the invoices it was applied to, as text
    qint32 m_PostingNo = 0; // 0 until posted
};
