#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Taxes: the tax rates. A rate of type 2 or 3 is computed as two taxes
// in turn.
class CTaxSet : public CXDaoSet
{
public:
    explicit CTaxSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // True when the rate exists; number 0 is looked up like any other.
    bool FindTax(quint8 no);

    quint8 m_No = 0;
    QString m_Name;
    qint32 m_TaxPercent = 0; // the rate in ten-thousandths of a percent
    quint8 m_TaxShipping = 0; // shipping is taxed
    quint8 m_RoundUp = 0;
    quint8 m_Type = 0;
    quint8 m_TaxPostage = 0; // postage is taxed
};
