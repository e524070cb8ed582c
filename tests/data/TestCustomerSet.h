#pragma once

#include "data/CXDaoSet.h"

// A table class as the program's own are written: its table, its columns and
// the defaults of a new record.
class TestCustomerSet : public CXDaoSet
{
public:
    qint32 m_CusNo = 0;
    QString m_Name;
    Money m_Balance;
    double m_Rate = 0;
    DateTime m_DateCreated;
    QString m_Memo;
    quint8 m_Terms = 0;
    int resets = 0;

    QString GetDefaultSQL() const override { return QStringLiteral("Customers"); }
    void DoFieldExchange(FieldExchange *pFX) override
    {
        DFX_Long(pFX, QStringLiteral("CusNo"), m_CusNo);
        DFX_Text(pFX, QStringLiteral("[Name]"), m_Name);
        DFX_Currency(pFX, QStringLiteral("Balance"), m_Balance);
        DFX_Double(pFX, QStringLiteral("Rate"), m_Rate);
        DFX_DateTime(pFX, QStringLiteral("Customers.DateCreated"), m_DateCreated);
        DFX_Text(pFX, QStringLiteral("Memo"), m_Memo);
        DFX_Byte(pFX, QStringLiteral("Terms"), m_Terms);
    }
    void ResetFields() override
    {
        ++resets;
        m_CusNo = 0;
        m_Name = QStringLiteral("< new >");
        m_Balance = Money();
        m_Rate = 0;
        m_Terms = 0;
    }
    bool ListsChangedFieldsWhenAsking() const override { return true; }
};
