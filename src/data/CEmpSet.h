#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Employees: the shop's people, their type and commission.
class CEmpSet : public CXDaoSet
{
public:
    explicit CEmpSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // False for 0 without a query.
    bool FindEmployee(quint8 empNo);
    // The employee's Name; "" when the employee is missing.
    QString GetEmployeeName(quint8 empNo);

    quint8 m_EmpNo = 0;
    QString m_Name;
    quint8 m_Type = 0;
    qint32 m_CommRate = 0; // commission rate
    quint8 m_PercentOf = 0; // what the commission is a share of
};
