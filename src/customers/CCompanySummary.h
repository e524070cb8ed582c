#pragma once

#include "customers/CSummaryBase.h"
#include "customers/SummaryFigures.h"

// The company summary (template 532 "Summary"): the shop-wide twin of the
// customer summary for the reports view: reorders and payments expected,
// payments received, the shop's receivables total and the monthly sales of
// three years. Read-only.
//
// Entry point: CCompanySummary dlg(parent); dlg.DoModal();
class CCompanySummary : public CSummaryBase
{
    Q_OBJECT

public:
    explicit CCompanySummary(QWidget *parent);

    CreditPosition position() const { return m_total; }

protected:
    void Fill() override;

private:
    CreditPosition m_total;
};
