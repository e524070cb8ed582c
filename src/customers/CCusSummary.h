#pragma once

#include "customers/CSummaryBase.h"
#include "customers/SummaryFigures.h"

// The customer summary (template 601): one customer's sales rank over five
// years, last orders and payments, the aging of open invoices, the credit
// position and the monthly sales of three years as a chart. Read-only.
//
// Entry points: CCusSummary dlg(parent); dlg.m_nCusNo = n; dlg.DoModal();
// and FillCreditInfo(cusNo, list) for the credit position alone: into the
// list, or with no list as the "Credit Info" grid dialog.
class CCusSummary : public CSummaryBase
{
    Q_OBJECT

public:
    explicit CCusSummary(QWidget *parent);

    qint32 m_nCusNo = 0;
    QList<RankingYear> ranking() const { return m_ranking; }
    CreditPosition creditPosition() const { return m_credit; }

    // Fills the list with the customer's credit position; with no list, shows
    // it in the small grid dialog. Returns the figures.
    static CreditPosition FillCreditInfo(qint32 cusNo, CXListCtrl *list, QWidget *parent = nullptr);

protected:
    void Fill() override;

private:
    QList<RankingYear> m_ranking;
    CreditPosition m_credit;
};
