#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table PayApplied: how much of a payment went to which invoice (by the
// invoice's job number).
class CPayAppliedSet : public CXDaoSet
{
public:
    explicit CPayAppliedSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // Adds one row and saves it; false when the add or the save failed (the
    // failure has been shown).
    bool AddApplied(qint32 payNo, qint32 jobNo, Money amount);

    qint32 m_PayNo = 0;
    qint32 m_JobNo = 0;
    Money m_Amount;
};
