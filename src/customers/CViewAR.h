#pragma once

#include "data/CJobSet.h"
#include "views/CView0.h"

#include <QtCore/QList>

// The receivables view (view 30004): invoices ready to post, unpaid and paid,
// payments expected and received, credits, late fees, write-offs and
// statements; posting, late fees, write-offs and credit limits and
// adjustments run from here.
class CViewAR : public CView0
{
    Q_OBJECT

public:
    static constexpr int kViewId = 30004;

    explicit CViewAR(QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    void FillList() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;

    void OnListNow();
    void OnOpen();
    void OnNew();
    void OnDelete();
    void OnNoticeButton();
    void OnAgingSummary();

    void OpenPayment(qint32 cusNo);
    void OpenJob();
    void ShowPaymentApplied();
    void PostInvoices();
    void ChargeLateFees();
    void ClearLateFees();
    bool AskWriteOffRule();
    void WriteOffSelected();
    void EditCreditLimit(qint32 cusNo);
    void AdjustCredit(qint32 cusNo);

    static QString AgingSql();

    CJobSet &jobs() { return m_jobSet; }

protected:
    void FillRibbons() override;

private:
    // Remarks on the ready-to-post rows read (from the first, so many).
    void MarkReadyToPost(int firstRow, int rows);
    QList<qint32> SelectedKeys();
    QList<qint32> AllKeys();

    CJobSet m_jobSet;
    bool m_remarked = false; // a row of the list shown has a remark
};
