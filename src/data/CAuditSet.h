#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table AuditTrail: a row each time the money fields of a job change, holding
// the job's number and type and the change of each of its nine amounts.
class CAuditSet : public CXDaoSet
{
public:
    explicit CAuditSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new row: dated today, job number, type and every amount 0.
    void ResetFields() override;

    qint32 m_TransNo = 0;
    DateTime m_TransDate;
    qint32 m_JobNo = 0;
    Money m_Subtotal;
    Money m_Discount;
    Money m_Shipping;
    Money m_Postage;
    Money m_Tax;
    Money m_Latefee;
    Money m_Paid;
    Money m_Writeoff;
    Money m_Balance;
    quint8 m_JobType = 0;
    quint8 m_PropID = 0;
};
